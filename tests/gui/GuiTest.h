#pragma once
// Harness of the window tests: the real GruvikApp runs (see GuiTestMain.cpp),
// commands arrive as the real command events, modal dialogs are answered from
// the test, and anything unexpected (a wx assert, an error logged, a dialog no
// test asked for) fails the test instead of blocking it.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/string.h>
#include <wx/weakref.h>

class MainFrame;
class TextLog;

namespace guitest {

// Answers with cancel (and a test failure) every modal dialog that no test
// asked for; called once at start.
void installDialogGuard();

// Lets the next modal dialog through the guard, for a test that drives a
// dialog of the toolkit's own (the print dialog) itself.
void allowNextModal();

// Yields to the toolkit until ready() holds or limitMs pass; returns ready().
bool waitFor(const std::function<bool()>& ready, int limitMs = 3000);

// Error-level messages logged since the last call (they are also on stderr).
std::vector<std::string> takeLoggedErrors();

// Shows dialog for real (ShowModal) and, once it is on screen, runs act inside
// its modal loop. Returns the modal result; -1 (and a test failure) when the
// dialog was still open limitMs after act.
int runModal(wxDialog& dialog, const std::function<void(wxDialog&)>& act, int limitMs = 4000);

// Runs command, which is expected to show one modal dialog for real, and runs
// act inside that dialog's loop; fails the test when no dialog came or it
// did not close.
void runCommandWithModal(const std::function<void()>& command,
                         const std::function<void(wxDialog&)>& act, int limitMs = 4000);

// Real input through the X server (the window must be on screen).
void clickOn(wxWindow* window);
void doubleClickOn(wxWindow* window);
void pressEnter(wxWindow* focus);
// Enter with the pointer over window's first picture, whatever is focused.
void pressEnterIn(wxWindow* window);

std::string utf8(const wxString& s);

// The journal page's whole document, as it prints.
std::string journalDocument(const TextLog& page);
// The text of the journal view's items as they are laid out, one line an item.
std::string journalText(const TextLog& page);

// Sees the progress dialogs that open while it lives. Work under a progress
// dialog runs synchronously and lets through only repaint and input events,
// so the watch acts from inside those. With cancel, it presses the cancel
// button of the first dialog once that is shown.
class ProgressWatch : public wxEventFilter {
public:
    explicit ProgressWatch(bool cancel = false);
    ~ProgressWatch() override;
    int FilterEvent(wxEvent& event) override;

    std::vector<std::string> titles;   // one per dialog seen
    std::vector<std::string> messages; // each change of a dialog's message seen
    bool cancelled = false;

private:
    bool cancel_;
    // Weak: a dialog destroyed is forgotten, so one made later at its address
    // counts as new.
    std::vector<wxWeakRef<wxWindow>> seen_;
};

// A main window of its own for each test, made the application's mainFrame.
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // True when the window was asked to close and is on its way out.
    bool closing() const;

    MainFrame* frame = nullptr;
};

} // namespace guitest
