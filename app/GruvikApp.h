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
