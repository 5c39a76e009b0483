// Takes the README's pictures: starts Gruvik2, presses "Считать" against the
// reader emulator named in GRUVIK2_BRIDGES (scripts/screenshots.sh starts it),
// answers the file dialog and the closing message as a user would, then shows
// each page and grabs the screen. Run under a virtual X server.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/notebook.h>
#include <wx/testing.h>
#include <wx/wx.h>

#include "app/GruvikApp.h"
#include "app/InfoDialog.h"
#include "app/MainFrame.h"
#include "views/ui/GraphWindow.h"

wxIMPLEMENT_APP_NO_MAIN(GruvikApp);

namespace {

std::string outDir;
std::string imagePath;

void settle(int ms = 500) {
    wxStopWatch watch;
    while (watch.Time() < ms) {
        wxYield();
        wxMilliSleep(10);
    }
}

void grab(wxWindow* w, const char* name) {
    w->Raise();
    w->Refresh();
    w->Update();
    settle();
    wxRect r = w->GetScreenRect();
    std::string file = outDir + "/" + name;
    std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                          std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                          std::to_string(r.y) + " " + file;
    if (std::system(command.c_str()) == 0) std::printf("%s\n", file.c_str());
}

// The file the read is saved to, chosen in the save dialog.
class SaveAs : public wxExpectModalBase<wxFileDialog, SaveAs> {
protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        dialog->SetPath(wxString::FromUTF8(imagePath));
        return wxID_OK;
    }
};

// The message that closes the read.
class InfoOk : public wxExpectModalBase<InfoDialog, InfoOk> {
protected:
    int OnInvoked(InfoDialog*) const override { return wxID_OK; }
};

void press(wxWindow* target, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(target);
    target->GetEventHandler()->ProcessEvent(click);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gruvik2-screenshots OUT-FOLDER IMAGE.rpd\n");
        return 2;
    }
    outDir = argv[1];
    imagePath = argv[2];
    if (!wxEntryStart(argc, argv)) return 1;
    if (!wxTheApp->CallOnInit()) return 1;
    MainFrame* frame = wxGetApp().mainFrame;
    frame->SetSize(1100, 800);
    settle();

    wxCommandEvent connect(wxEVT_MENU, CmdConnect);
    wxTEST_DIALOG(frame->GetEventHandler()->ProcessEvent(connect), SaveAs(),
                  InfoOk());
    settle();

    frame->notebook->SetSelection(2);
    grab(frame, "journal.png");
    frame->notebook->SetSelection(0);
    grab(frame, "protocol.png");

    // The graph of the last working hours: search back to the last cycle and
    // look at an hour around it.
    frame->notebook->SetSelection(1);
    GraphWindow* graph = frame->graphPage;
    press(graph, CmdSearchEarlier);
    graph->scaleChoice->SetStringSelection(L"1 час");
    wxCommandEvent scale(wxEVT_COMBOBOX, CmdScaleChoice);
    scale.SetEventObject(graph->scaleChoice);
    graph->GetEventHandler()->ProcessEvent(scale);
    grab(frame, "graph.png");

    frame->notebook->SetSelection(3);
    grab(frame, "settings.png");

    frame->filterPane->Expand();
    frame->Layout();
    frame->SetSize(1100, 960);
    frame->notebook->SetSelection(2);
    grab(frame, "filter.png");

    frame->Destroy();
    settle(100);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
