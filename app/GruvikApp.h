#pragma once
// The application object: starts the run and holds the objects that printing
// and help share.
#include <wx/app.h>

class MainFrame;
class wxHtmlHelpController;
class wxPageSetupDialogData;
class wxPrintData;

class GruvikApp : public wxApp {
public:
    bool OnInit() override;
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
};

wxDECLARE_APP(GruvikApp);
