// Takes the README's pictures: starts Gruvik2, presses "Считать" against the
// reader emulator named in GRUVIK2_BRIDGES (scripts/screenshots.sh starts it),
// answers the file dialog and the closing message as a user would, then shows
// each page (the history from the archive of GRUVIK2_ARCHIVE) and grabs the
// screen. Given a second emulator paced at the
// reader's line rate, it then connects with both attached: the device choice
// with the second one shown, and the progress of a read from it a few seconds
// in (the read is then cancelled). Run under a virtual X server.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <wx/checkbox.h>
#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/notebook.h>
#include <wx/progdlg.h>
#include <wx/testing.h>
#include <wx/wx.h>

#include "app/DevChoiceDialog.h"
#include "app/GruvikApp.h"
#include "app/InfoDialog.h"
#include "app/MainFrame.h"
#include "pages/GraphWindow.h"

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

// The screen where w is, as it shows now.
void grabNow(wxWindow* w, const char* name) {
    wxRect r = w->GetScreenRect();
    std::string file = outDir + "/" + name;
    std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                          std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                          std::to_string(r.y) + " " + file;
    if (std::system(command.c_str()) == 0) std::printf("%s\n", file.c_str());
}

void grab(wxWindow* w, const char* name) {
    w->Raise();
    w->Refresh();
    w->Update();
    settle();
    grabNow(w, name);
}

// The file the read is saved to, chosen in the save dialog.
class SaveAs : public wxExpectModalBase<wxFileDialog, SaveAs> {
public:
    explicit SaveAs(std::string path) : path_(std::move(path)) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        dialog->SetPath(wxString::FromUTF8(path_));
        return wxID_OK;
    }

private:
    std::string path_;
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

// Shows the device choice (for the picture only: its modal loop is the
// test hook's), moves to the second bridge and confirms.
class ChooseSecond : public wxExpectModalBase<DevChoiceDialog, ChooseSecond> {
protected:
    int OnInvoked(DevChoiceDialog* dialog) const override {
        dialog->Show();
        press(dialog, DevChoiceDialog::IdNext);
        grab(dialog, "device-choice.png");
        dialog->Hide();
        return wxID_OK;
    }
};

// Grabs the read's progress dialog once it has been up for a while, then
// presses its cancel button. Acts from the events that the dialog's updates
// let through, so it must not yield itself.
class ProgressGrab : public wxEventFilter {
public:
    ProgressGrab() { wxEvtHandler::AddFilter(this); }
    ~ProgressGrab() override { wxEvtHandler::RemoveFilter(this); }

    int FilterEvent(wxEvent&) override {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window);
            if (done_ || !dialog || !dialog->IsShown()) continue;
            if (!clock_) clock_.emplace();
            if (clock_->Time() < 8000) continue;
            done_ = true;
            grabNow(dialog, "read-progress.png");
            press(dialog->FindWindow(wxID_CANCEL), wxID_CANCEL);
        }
        return Event_Skip;
    }

private:
    bool done_ = false;
    std::optional<wxStopWatch> clock_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: gruvik2-screenshots OUT-FOLDER IMAGE.rpd [PACED-BRIDGE]\n");
        return 2;
    }
    outDir = argv[1];
    imagePath = argv[2];
    // The program's own arguments are not the application's: it would take the
    // first for an image file to open.
    int appArgc = 1;
    if (!wxEntryStart(appArgc, argv)) return 1;
    if (!wxTheApp->CallOnInit()) return 1;
    // The window as it opens on a laptop's screen.
    MainFrame* frame = wxGetApp().mainFrame;
    settle();

    wxCommandEvent connect(wxEVT_MENU, CmdConnect);
    wxTEST_DIALOG(frame->GetEventHandler()->ProcessEvent(connect), SaveAs(imagePath), InfoOk());
    settle();

    controlsOf(*frame).notebook->SetSelection(2);
    grab(frame, "journal.png");
    controlsOf(*frame).notebook->SetSelection(0);
    grab(frame, "protocol.png");

    // The graph of the last working hours: search back to the last cycle and
    // look at an hour around it.
    controlsOf(*frame).notebook->SetSelection(1);
    GraphWindow* graph = controlsOf(*frame).graphPage;
    press(graph, CmdSearchEarlier);
    graph->scaleChoice->SetStringSelection(L"1 час");
    wxCommandEvent scale(wxEVT_COMBOBOX, CmdScaleChoice);
    scale.SetEventObject(graph->scaleChoice);
    graph->GetEventHandler()->ProcessEvent(scale);
    grab(frame, "graph.png");

    controlsOf(*frame).notebook->SetSelection(3);
    grab(frame, "settings.png");

    // The recorder's readings in the archive (GRUVIK2_ARCHIVE), the one just
    // read among them.
    controlsOf(*frame).notebook->SetSelection(4);
    grab(frame, "history.png");

    frame->showFilterPane(true);
    controlsOf(*frame).notebook->SetSelection(2);
    grab(frame, "filter.png");

    // The graph beside the open pane with every kind of event ticked: the
    // state tracks under the curves.
    controlsOf(*frame).discreteCheck->SetValue(true);
    controlsOf(*frame).relayCheck->SetValue(true);
    wxCommandEvent apply(wxEVT_BUTTON, CmdApplyFilter);
    apply.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(apply);
    controlsOf(*frame).notebook->SetSelection(1);
    grab(frame, "graph-filter.png");

    if (argc == 4) {
        const std::string bridges = std::string(std::getenv("GRUVIK2_BRIDGES")) + ":" + argv[3];
        setenv("GRUVIK2_BRIDGES", bridges.c_str(), 1);
        ProgressGrab progress;
        wxTEST_DIALOG(frame->GetEventHandler()->ProcessEvent(connect),
                      SaveAs(imagePath + ".paced.rpd"), ChooseSecond(), InfoOk());
    }

    frame->Destroy();
    settle(100);
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
