#include "app/GruvikApp.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <wx/cmndata.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/html/helpctrl.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/tooltip.h>

#include "app/MainFrame.h"
#include "app/PrintJob.h"
#include "app/ToolkitTexts.h"
#include "common/CommandLine.h"
#include "common/ErrorLog.h"
#include "common/errorExc.h"
#include "gui/PrintSettings.h"
#include "views/ReportOptions.h"

namespace {
// What the core reports goes to the toolkit's error log, which shows it in an
// error box.
class ToolkitErrorLog : public ErrorLog {
public:
    void error(const std::string& message) override {
        wxLogError(L"%s", wxString::FromUTF8(message));
    }
};
ToolkitErrorLog toolkitErrorLog;

const char* const UnexpectedFailure = "непредвиденная ошибка";

void reportCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        wxLogError(L"%s", wxString::FromUTF8(failureText(e, true)));
    } catch (...) {
        wxLogError(L"%s", wxString::FromUTF8(UnexpectedFailure));
    }
}
// The pictures and the help book are read relative to the working folder. An
// installed program started from a menu is not in that folder: it moves to
// the folder beside its executable, or the installed share/gruvik2, when
// those hold the pictures and the working folder does not.
// Returns true when it moved.
bool findRunTimeFiles() {
    if (wxDirExists(L"bmps")) return false;
    wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
    for (const wxString& relative : {wxString(L"."), wxString(L"../share/gruvik2")}) {
        wxFileName dir(exe.GetPath() + L"/" + relative + L"/");
        dir.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
        if (wxDirExists(dir.GetPath() + L"/bmps")) {
            return wxSetWorkingDirectory(dir.GetPath());
        }
    }
    return false;
}
const char* const windowUsage =
    "Использование: gruvik2 [фильтр] [ОБРАЗ.rpd]\n"
    "          или: gruvik2 --print-pdf ФАЙЛ.pdf --page СТРАНИЦА [--orientation ОРИЕНТАЦИЯ] "
    "[фильтр] ОБРАЗ.rpd\n";
// Before the filter options.
const char* const windowHelp =
    "Считывание, анализ и печать данных регистратора параметров ограничителя\n"
    "нагрузки крана. С ОБРАЗОМ окно открывается с этим файлом и применённым фильтром.\n"
    "  --print-pdf ФАЙЛ.pdf      напечатать страницу в PDF без диалогов и выйти\n"
    "                            (нужен дисплей; без него: xvfb-run -a gruvik2 …)\n"
    "  --page СТРАНИЦА           protocol, journal, graph или history\n"
    "  --orientation ОРИЕНТАЦИЯ  portrait (по умолчанию) или landscape\n"
    "  --archive ПАПКА           архив считываний (по умолчанию $GRUVIK2_ARCHIVE, иначе\n"
    "                            $XDG_DATA_HOME/gruvik2/archive)\n";
// After them.
const char* const windowHelpEnd = "  -h, --help                эта справка\n"
                                  "  -V, --version             версия программы\n"
                                  "Код завершения печати: 0 готово, 2 ошибка (причина в stderr).\n";

// The window's arguments: an error text or nothing.
std::optional<std::string> parseWindowArguments(const std::vector<std::string>& args,
                                                ReportOptions& options, bool& from, bool& to) {
    auto error = parseReportOptions(args, {"--archive"}, options, from, to, false);
    if (!error && options.outGiven)
        error = "параметр --out здесь не принимается (PDF: --print-pdf ФАЙЛ.pdf)";
    if (!error)
        for (size_t i = 0; i + 1 < options.extra.size(); i += 2)
            if (options.extra[i + 1].empty()) error = badValue("--archive", "", "папка архива");
    return error;
}

int refuse(const std::string& error) {
    std::fprintf(stderr, "gruvik2: %s\n%sСправка: gruvik2 --help\n", error.c_str(), windowUsage);
    return 2;
}

// Errors and warnings on stderr, one a line.
class StderrLog : public wxLog {
protected:
    void DoLogTextAtLevel(wxLogLevel level, const wxString& text) override {
        if (level <= wxLOG_Warning)
            std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
    }
};

// The arguments as the bytes the program was given, whatever the locale
// (the toolkit's argv went through the locale's conversion: a Cyrillic name
// under LANG=C comes out mangled). The toolkit's own when the system's list
// does not match them (it took some options for itself).
std::vector<std::string> argumentBytes(const wxCmdLineArgsArray& argv, int argc) {
    std::vector<std::string> raw;
    if (FILE* file = std::fopen("/proc/self/cmdline", "rb")) {
        std::string all;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            all.append(buffer, n);
        std::fclose(file);
        for (size_t start = 0; start < all.size();) {
            size_t end = all.find('\0', start);
            if (end == std::string::npos) end = all.size();
            raw.push_back(all.substr(start, end - start));
            start = end + 1;
        }
    }
    if (raw.size() == size_t(argc)) return raw;
    raw.clear();
    for (int i = 0; i < argc; ++i)
        raw.push_back(std::string(argv[i].utf8_str()));
    return raw;
}
} // namespace

int answerCommandLine(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto status = answerHelpOrVersion(args, "gruvik2",
                                                std::string(windowUsage) + windowHelp +
                                                    filterOptionsHelp + windowHelpEnd))
        return *status;
    std::string error;
    if (isPrintJob(args)) {
        if (!parsePrintJob(args, error)) return refuse(error);
    } else {
        ReportOptions options;
        bool from = false, to = false;
        if (auto e = parseWindowArguments(args, options, from, to)) return refuse(*e);
    }
    return -1;
}

GruvikApp::GruvikApp() = default;
GruvikApp::~GruvikApp() = default;

bool GruvikApp::OnInit() {
    // The arguments are a print job, or the journal's filter options and the
    // image file to open (below); wxApp::OnInit (the option parser) is not
    // called.
    SetVendorName(L"Tornvel");
    SetAppName(L"Gruvik2");
    useRussianToolkitTexts();
    const wxString startFolder = wxGetCwd();
    startFolder_ = startFolder;
    const std::vector<std::string> given = argumentBytes(argv, argc);
    std::vector<std::string> arguments(given.begin() + 1, given.end());
    if (isPrintJob(arguments)) {
        std::string error;
        auto job = parsePrintJob(arguments, error);
        if (!job) {
            refuse(error);
            // OnRun ends the run at once with this status.
            printJobStatus_ = 2;
            printJob_ = std::make_unique<PrintJob>();
            return true;
        }
        printJob_ = std::make_unique<PrintJob>(std::move(*job));
    }
    // A print job has no one to close a message box: whatever the toolkit
    // logs outside the job itself (a configuration folder it cannot create
    // under a missing HOME, at exit) goes to stderr instead.
    if (printJob_) delete wxLog::SetActiveTarget(new StderrLog);
    ReportOptions startOptions;
    bool startFrom = false, startTo = false;
    if (argc > 1 && !printJob_) {
        if (auto error = parseWindowArguments(arguments, startOptions, startFrom, startTo)) {
            refuse(*error);
            printJobStatus_ = 2;
            printJob_ = std::make_unique<PrintJob>();
            return true;
        }
    }
    const bool movedToRunTimeFiles = findRunTimeFiles();
    // Created for the toolkit's sake; the program keeps nothing between runs.
    wxConfigBase::Get(true)->SetRecordDefaults(true);
    wxImage::AddHandler(new wxPNGHandler);
    setErrorLog(&toolkitErrorLog);

    mainFrame = new MainFrame;
    // A print job shows no window of its own: only the analysis's progress.
    if (printJob_) mainFrame->Hide();
    // The file dialogs would otherwise open in the program's own folder.
    if (movedToRunTimeFiles) mainFrame->lastDir = wxGetHomeDir();
    SetTopWindow(mainFrame);

    printData = new wxPrintData;
    pageSetupData = new wxPageSetupDialogData;
    pageSetupData->SetPaperId(wxPAPER_A4SMALL);
    pageSetupData->SetPaperSize(wxSize(210, 297));
    // Margins any A4 printer can print within, for the graph printout.
    pageSetupData->EnableMargins(true);
    pageSetupData->SetMarginTopLeft(wxPoint(10, 10));
    pageSetupData->SetMarginBottomRight(wxPoint(10, 10));
    sharedPrintSettings() = {printData, pageSetupData, {}};

    wxFileSystem::AddHandler(new wxArchiveFSHandler);
    constexpr int helpStyle = wxHF_TOOLBAR | wxHF_CONTENTS | wxHF_INDEX | wxHF_SEARCH |
                              wxHF_BOOKMARKS | wxHF_OPEN_FILES | wxHF_PRINT;
    static_assert(helpStyle == 127);
    helpController = new wxHtmlHelpController(helpStyle, nullptr);
    helpController->AddBook(wxString(L"help/gruvik2.htb"), false); // a missing book is no error

    wxToolTip::Enable(true);
    wxToolTip::SetDelay(1000);

    // An image file named on the command line (a file manager's "open with")
    // opens once the window is on screen, as if chosen in the open dialog;
    // filter options given with it are then applied to it.
    // The archive named on the command line, relative to the folder the
    // program was started in.
    const std::vector<std::string>& extra =
        printJob_ ? printJob_->options.extra : startOptions.extra;
    for (size_t i = 0; i + 1 < extra.size(); i += 2)
        if (extra[i] == "--archive") {
            wxFileName folder = wxFileName::DirName(wxString::FromUTF8(extra[i + 1]));
            folder.MakeAbsolute(startFolder);
            mainFrame->archiveFolder = std::string(folder.GetPath().utf8_str());
        }
    if (argc > 1 && !printJob_) {
        mainFrame->filters().show(startOptions.filter, startFrom, startTo);
        if (!startOptions.image.empty()) {
            wxFileName file(wxString::FromUTF8(startOptions.image));
            file.MakeAbsolute(startFolder);
            mainFrame->CallAfter(
                [frame = mainFrame, path = file.GetFullPath(), startOptions, startFrom, startTo] {
                    frame->openImageFile(path, [&] {
                        frame->filters().show(startOptions.filter, startFrom, startTo);
                    });
                });
        }
    }
    return true;
}

int GruvikApp::OnRun() {
    if (!printJob_) return wxApp::OnRun();
    if (printJobStatus_ == 0 && mainFrame)
        printJobStatus_ = runPrintJob(*mainFrame, *printJob_, startFolder_);
    if (mainFrame) {
        mainFrame->Destroy();
        mainFrame = nullptr;
        DeletePendingObjects();
    }
    return printJobStatus_;
}

void GruvikApp::CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor,
                                 wxEvent& event) const {
    try {
        wxApp::CallEventHandler(handler, functor, event);
    } catch (...) {
        reportCurrentException();
    }
}

bool GruvikApp::OnExceptionInMainLoop() {
    reportCurrentException();
    return true; // the loop goes on
}

int GruvikApp::OnExit() {
    delete wxConfigBase::Set(nullptr);
    sharedPrintSettings() = {};
    delete printData;
    printData = nullptr;
    delete pageSetupData;
    pageSetupData = nullptr;
    delete helpController;
    helpController = nullptr;
    // The tab images hold toolkit bitmaps: release them while the toolkit is alive.
    pageImages.RemoveAll();
    setErrorLog(nullptr);
    return wxApp::OnExit();
}
