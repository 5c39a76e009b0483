#include "app/PrintJob.h"

#include <cstdio>

#include <wx/checkbox.h>
#include <wx/cmndata.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "app/MainFrame.h"
#include "common/CommandLine.h"
#include "common/SafeFile.h"
#include "gui/PrintSettings.h"
#include "pages/GraphWindow.h"
#include "pages/HistoryWindow.h"
#include "pages/ReportWindow.h"
#include "pages/TextLog.h"

bool isPrintJob(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--print-pdf" || a.rfind("--print-pdf=", 0) == 0) return true;
    }
    return false;
}

std::optional<PrintJob> parsePrintJob(const std::vector<std::string>& args, std::string& error) {
    PrintJob job;
    if (auto e = parseReportOptions(args, {"--print-pdf", "--page", "--orientation", "--archive"},
                                    job.options, job.fromGiven, job.toGiven)) {
        error = *e;
        return std::nullopt;
    }
    if (job.options.outGiven) {
        error = "параметр --out здесь не принимается: файл PDF указывают после --print-pdf";
        return std::nullopt;
    }
    bool pageGiven = false;
    for (size_t i = 0; i + 1 < job.options.extra.size(); i += 2) {
        const std::string &name = job.options.extra[i], &value = job.options.extra[i + 1];
        if (name == "--print-pdf") {
            job.out = value;
            if (value.empty()) {
                error = badValue(name, value, "имя файла PDF");
                return std::nullopt;
            }
        } else if (name == "--page") {
            pageGiven = true;
            if (value == "protocol")
                job.page = PrintJob::protocol;
            else if (value == "journal")
                job.page = PrintJob::journal;
            else if (value == "graph")
                job.page = PrintJob::graph;
            else if (value == "history")
                job.page = PrintJob::history;
            else {
                error = badValue(name, value, "protocol, journal, graph или history");
                return std::nullopt;
            }
        } else if (name == "--archive") {
            if (value.empty()) {
                error = badValue(name, value, "папка архива");
                return std::nullopt;
            }
        } else if (value == "portrait" || value == "landscape") {
            job.landscape = value == "landscape";
        } else {
            error = badValue(name, value, "portrait или landscape");
            return std::nullopt;
        }
    }
    if (!pageGiven) {
        error = "нужен --page protocol|journal|graph|history";
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
    frame.openImageFile(absolute(job.options.image, startFolder), [&] {
        frame.filters().show(job.options.filter, job.fromGiven, job.toGiven);
    });
    if (log->failed) return finish(2);

    const wxPrintOrientation orientation = job.landscape ? wxLANDSCAPE : wxPORTRAIT;
    sharedPrintSettings().printData->SetOrientation(orientation);
    controlsOf(frame).journalPage->printer.printData.SetOrientation(orientation);
    controlsOf(frame).protocolPage->printer.printData.SetOrientation(orientation);
    controlsOf(frame).historyPage->printer.printData.SetOrientation(orientation);
    MainFrameControls& c = controlsOf(frame);
    PrintPanel* page = job.page == PrintJob::protocol  ? static_cast<PrintPanel*>(c.protocolPage)
                       : job.page == PrintJob::journal ? static_cast<PrintPanel*>(c.journalPage)
                       : job.page == PrintJob::history ? static_cast<PrintPanel*>(c.historyPage)
                                                       : static_cast<PrintPanel*>(c.graphPage);
    const wxString error = page->printPdf(absolute(job.out, startFolder));
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", static_cast<const char*>(error.utf8_str()));
        return finish(2);
    }
    return finish(log->failed ? 2 : 0);
}
