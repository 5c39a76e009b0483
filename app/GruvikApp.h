#pragma once
// The application object: starts the run and holds the objects that printing
// and help share.
#include <memory>

#include <wx/app.h>

class MainFrame;
class wxHtmlHelpController;
class wxPageSetupDialogData;
class wxPrintData;
struct PrintJob;

class GruvikApp : public wxApp {
public:
    GruvikApp();
    ~GruvikApp() override;

    bool OnInit() override;
    // With --print-pdf, prints and returns the exit status instead of running
    // the event loop.
    int OnRun() override;
    int OnExit() override;
    // The last resort of every command: an exception that its handler did not
    // take is shown through the error log, and the program goes on.
    void CallEventHandler(wxEvtHandler* handler, wxEventFunctor& functor,
                          wxEvent& event) const override;
    bool OnExceptionInMainLoop() override;

    MainFrame* mainFrame = nullptr;
    wxPrintData* printData = nullptr;
    wxPageSetupDialogData* pageSetupData = nullptr;
    wxHtmlHelpController* helpController = nullptr;

private:
    std::unique_ptr<PrintJob> printJob_;
    int printJobStatus_ = 0;
    wxString startFolder_;
};

wxDECLARE_APP(GruvikApp);

// The command line looked at before the toolkit starts (no display needed):
// --help and --version are answered on stdout, a wrong line is refused on
// stderr; returns that exit status, or -1 to start the program.
int answerCommandLine(int argc, char** argv);
