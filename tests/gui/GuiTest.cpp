#include "gui/GuiTest.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/modalhook.h>
#include <wx/progdlg.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <wx/statbmp.h>

#include "app/GruvikApp.h"
#include "app/MainFrame.h"
#include "pages/TextLog.h"

#include <wx/dcclient.h>
#include <wx/html/htmlcell.h>
#include <wx/html/winpars.h>

namespace guitest {
namespace {
bool allowNextDialog = false;

// Every modal dialog that a test did not ask to see for real is answered with
// cancel at once (and fails the test); wxTEST_DIALOG's hooks come first.
class DialogGuard : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        if (allowNextDialog) {
            allowNextDialog = false;
            return wxID_NONE;
        }
        ADD_FAILURE() << "unexpected modal dialog \"" << utf8(dialog->GetTitle()) << "\"";
        return wxID_CANCEL;
    }
};

wxDialog* openModalDialog() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
            return dialog;
    return nullptr;
}

// Polls for the modal dialog; acts once it is on screen, ends it when it
// outstays the limit.
class ModalDriver : public wxTimer {
public:
    ModalDriver(const std::function<void(wxDialog&)>& act, int limitMs)
        : act_(act), limitMs_(limitMs) {
        Start(20);
    }

    bool acted() const { return acted_; }
    bool overdue() const { return overdue_; }

    void Notify() override {
        wxDialog* dialog = openModalDialog();
        if (!acted_) {
            // A window manager places the dialog after it is mapped: its
            // position holds once it has been on screen a moment.
            if (dialog && dialog->IsShownOnScreen() && !shownClock_) {
                shownClock_ = true;
                clock_.Start();
            }
            if (dialog && shownClock_ && clock_.Time() >= 300) {
                acted_ = true;
                clock_.Start();
                act_(*dialog);
            }
            return;
        }
        if (dialog && clock_.Time() > limitMs_) {
            overdue_ = true;
            dialog->EndModal(-1);
        }
    }

private:
    std::function<void(wxDialog&)> act_;
    int limitMs_;
    bool acted_ = false;
    bool shownClock_ = false;
    bool overdue_ = false;
    wxStopWatch clock_;
};

void settle() {
    for (int i = 0; i < 5; ++i) {
        wxYield();
        wxMilliSleep(10);
    }
}
} // namespace

void installDialogGuard() {
    static DialogGuard guard;
    guard.Register();
}

void allowNextModal() {
    allowNextDialog = true;
}

std::string utf8(const wxString& s) {
    return std::string(s.utf8_str());
}

std::string journalDocument(const TextLog& page) {
    std::string html;
    EXPECT_TRUE(page.document(nullptr, html));
    return html;
}

std::string journalText(const TextLog& page) {
    wxClientDC dc(page.view);
    wxHtmlWinParser parser;
    parser.SetDC(&dc);
    wxString text;
    for (size_t n = 0; n < page.view->GetItemCount(); ++n) {
        std::unique_ptr<wxHtmlContainerCell> cell(
            static_cast<wxHtmlContainerCell*>(parser.Parse(page.view->itemHtml(n))));
        if (!cell) continue;
        cell->Layout(page.view->GetClientSize().x);
        // The cells' texts, their runs of spaces taken as one.
        wxString line;
        for (wxHtmlTerminalCellsInterator i(cell->GetFirstTerminal(), cell->GetLastTerminal()); i;
             ++i)
            for (wxUniChar c : i->ConvertToText(nullptr))
                if (c != L' ' || (!line.empty() && line.Last() != L' ')) line += c;
        text += line.Trim() + L"\n";
    }
    return utf8(text);
}

bool waitFor(const std::function<bool()>& ready, int limitMs) {
    wxStopWatch clock;
    while (!ready()) {
        if (clock.Time() > limitMs) return false;
        wxYield();
        wxMilliSleep(10);
    }
    return true;
}

int runModal(wxDialog& dialog, const std::function<void(wxDialog&)>& act, int limitMs) {
    ModalDriver driver(act, limitMs);
    allowNextDialog = true;
    int result = dialog.ShowModal();
    allowNextDialog = false;
    EXPECT_TRUE(driver.acted()) << "the dialog never came on screen";
    EXPECT_FALSE(driver.overdue()) << "the dialog did not close";
    return result;
}

void runCommandWithModal(const std::function<void()>& command,
                         const std::function<void(wxDialog&)>& act, int limitMs) {
    ModalDriver driver(act, limitMs);
    allowNextDialog = true;
    command();
    allowNextDialog = false;
    EXPECT_TRUE(driver.acted()) << "no dialog came on screen";
    EXPECT_FALSE(driver.overdue()) << "the dialog did not close";
}

namespace {
void pointAt(wxUIActionSimulator& sim, wxWindow* window) {
    wxRect r = window->GetScreenRect();
    sim.MouseMove(r.x + r.width / 2, r.y + r.height / 2);
    settle();
}
} // namespace

void clickOn(wxWindow* window) {
    wxUIActionSimulator sim;
    pointAt(sim, window);
    sim.MouseClick();
}

void doubleClickOn(wxWindow* window) {
    wxUIActionSimulator sim;
    pointAt(sim, window);
    sim.MouseDblClick();
}

void pressEnter(wxWindow* focus) {
    focus->SetFocus();
    settle();
    wxUIActionSimulator().Char(WXK_RETURN);
}

void pressEnterIn(wxWindow* window) {
    wxWindow* target = window;
    for (wxWindow* child : window->GetChildren())
        if (dynamic_cast<wxStaticBitmap*>(child)) target = child;
    wxUIActionSimulator sim;
    pointAt(sim, target);
    sim.Char(WXK_RETURN);
}

ProgressWatch::ProgressWatch(bool cancel) : cancel_(cancel) {
    wxEvtHandler::AddFilter(this);
}

ProgressWatch::~ProgressWatch() {
    wxEvtHandler::RemoveFilter(this);
}

int ProgressWatch::FilterEvent(wxEvent&) {
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window);
        if (!dialog || dialog->IsBeingDeleted()) continue;
        if (std::none_of(seen_.begin(), seen_.end(), [&](auto& w) { return w == dialog; })) {
            seen_.emplace_back(dialog);
            titles.push_back(utf8(dialog->GetTitle()));
        }
        // The message exists once the dialog is built, and it is shown last.
        if (dialog->IsShown()) {
            std::string message = utf8(dialog->GetMessage());
            if (messages.empty() || messages.back() != message) messages.push_back(message);
        }
        if (!cancel_ || cancelled || !dialog->IsShown()) continue;
        auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_CANCEL));
        if (!button) continue;
        cancelled = true; // first: the click below comes through here again
        wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    return Event_Skip;
}

void MainFrameTest::SetUp() {
    frame = new MainFrame;
    wxGetApp().mainFrame = frame;
    ASSERT_TRUE(waitFor([&] { return frame->IsShownOnScreen(); }));
    // Placed and stacked by the window manager before a test clicks on it.
    waitFor([] { return false; }, 300);
}

void MainFrameTest::TearDown() {
    if (!closing()) frame->Destroy();
    wxTheApp->ProcessPendingEvents();
    wxGetApp().mainFrame = nullptr;
    EXPECT_EQ(takeLoggedErrors(), std::vector<std::string>{});
}

bool MainFrameTest::closing() const {
    return wxTheApp->IsScheduledForDestruction(frame);
}

} // namespace guitest
