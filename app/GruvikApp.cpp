#include "app/GruvikApp.h"

#include <wx/cmndata.h>
#include <wx/config.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/html/helpctrl.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/tooltip.h>

#include "app/MainFrame.h"
#include "common/ErrorLog.h"

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
} // namespace

bool GruvikApp::OnInit() {
    // The command line is not interpreted, so wxApp::OnInit (the parser) is not called.
    SetVendorName(L"Tornvel");
    SetAppName(L"Gruvik2");
    // Created for the toolkit's sake; the program keeps nothing between runs.
    wxConfigBase::Get(true)->SetRecordDefaults(true);
    wxImage::AddHandler(new wxPNGHandler);
    setErrorLog(&toolkitErrorLog);

    mainFrame = new MainFrame;
    SetTopWindow(mainFrame);

    printData = new wxPrintData;
    pageSetupData = new wxPageSetupDialogData;
    pageSetupData->SetPaperId(wxPAPER_A4SMALL);
    pageSetupData->SetPaperSize(wxSize(210, 297));

    wxFileSystem::AddHandler(new wxArchiveFSHandler);
    constexpr int helpStyle = wxHF_TOOLBAR | wxHF_CONTENTS | wxHF_INDEX | wxHF_SEARCH |
                              wxHF_BOOKMARKS | wxHF_OPEN_FILES | wxHF_PRINT;
    static_assert(helpStyle == 127);
    helpController = new wxHtmlHelpController(helpStyle, nullptr);
    helpController->AddBook(wxString(L"help/gruvik2.htb"), false); // a missing book is no error

    wxToolTip::Enable(true);
    wxToolTip::SetDelay(1000);
    return true;
}

int GruvikApp::OnExit() {
    delete wxConfigBase::Set(nullptr);
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
