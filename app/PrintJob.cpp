#include "app/PrintJob.h"

#include <cstdio>

#include <wx/checkbox.h>
#include <wx/cmndata.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "app/MainFrame.h"
#include "common/SafeFile.h"
#include "gui/PrintSettings.h"
#include "pages/GraphWindow.h"
#include "pages/ReportWindow.h"
#include "pages/TextLog.h"

const char* const printJobUsage =
    "usage: gruvik2 --print-pdf OUT.pdf --page protocol|journal|graph "
    "[--orientation portrait|landscape] [filter options] IMAGE\n"
    "  filter options: [--from T] [--to T] [--max N] [--direction first|last] [--level 1..5]\n"
    "  [--config on|off] [--discrete on|off] [--relays on|off] [--weights 11111]";

std::optional<PrintJob> parsePrintJob(const std::vector<std::string>& args, std::string& error) {
    PrintJob job;
    if (args.empty() || args[0].rfind("--", 0) == 0) {
        error = "the PDF file to write is missing";
        return std::nullopt;
    }
    job.out = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (auto e = parseReportOptions(rest, {"--page", "--orientation"}, job.options, job.fromGiven,
                                    job.toGiven)) {
        error = *e;
        return std::nullopt;
    }
    if (!job.options.out.empty()) {
        error = "--out is not taken here: the PDF file comes after --print-pdf";
        return std::nullopt;
    }
    bool pageGiven = false;
    for (size_t i = 0; i + 1 < job.options.extra.size(); i += 2) {
        const std::string &name = job.options.extra[i], &value = job.options.extra[i + 1];
        if (name == "--page") {
            pageGiven = true;
            if (value == "protocol")
                job.page = PrintJob::protocol;
            else if (value == "journal")
                job.page = PrintJob::journal;
            else if (value == "graph")
                job.page = PrintJob::graph;
            else {
                error = "bad value for --page: " + value;
                return std::nullopt;
            }
        } else if (value == "portrait" || value == "landscape") {
            job.landscape = value == "landscape";
        } else {
            error = "bad value for --orientation: " + value;
            return std::nullopt;
        }
    }
    if (!pageGiven) {
        error = "--page protocol|journal|graph is needed";
        return std::nullopt;
    }
    return job;
}

namespace {
// Messages go to stderr (there is nobody to answer a message box), and an
// error is remembered.
class BatchLog : public wxLog {
public:
    bool failed = false;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& text, const wxLogRecordInfo&) override {
        if (level > wxLOG_Warning) return;
        std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
        if (level <= wxLOG_Error) failed = true;
    }
};

wxString absolute(const std::string& path, const wxString& folder) {
    wxFileName name(wxString::FromUTF8(path));
    name.MakeAbsolute(folder);
    return name.GetFullPath();
}
} // namespace

int runPrintJob(MainFrame& frame, const PrintJob& job, const wxString& startFolder) {
    auto* log = new BatchLog;
    wxLog* previous = wxLog::SetActiveTarget(log);
    auto finish = [&](int status) {
        wxLog::FlushActive();
        wxLog::SetActiveTarget(previous);
        delete log;
        return status;
    };

    // The PDF never replaces the image it prints.
    protectInput(std::string(absolute(job.options.image, startFolder).utf8_str()));
    frame.openImageFile(absolute(job.options.image, startFolder));
    if (log->failed) return finish(2);

    frame.filters().show(job.options.filter, job.fromGiven, job.toGiven);
    frame.applyFilter(nullptr);

    const wxPrintOrientation orientation = job.landscape ? wxLANDSCAPE : wxPORTRAIT;
    sharedPrintSettings().printData->SetOrientation(orientation);
    controlsOf(frame).journalPage->printer.printData.SetOrientation(orientation);
    controlsOf(frame).protocolPage->printer.printData.SetOrientation(orientation);
    PrintPanel* page =
        job.page == PrintJob::protocol  ? static_cast<PrintPanel*>(controlsOf(frame).protocolPage)
        : job.page == PrintJob::journal ? static_cast<PrintPanel*>(controlsOf(frame).journalPage)
                                        : static_cast<PrintPanel*>(controlsOf(frame).graphPage);
    const wxString error = page->printPdf(absolute(job.out, startFolder));
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", static_cast<const char*>(error.utf8_str()));
        return finish(2);
    }
    return finish(log->failed ? 2 : 0);
}
