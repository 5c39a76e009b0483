// The main window on a laptop's screen: the filter pane's controls within
// reach, the window resizable and maximisable whether the pane is open or not,
// the pages taking the room the pane leaves. The test run's screen is
// 1366 x 768 under a window manager (scripts/test.sh).
#include <cstdio>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/display.h>
#include <wx/notebook.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/MainFrame.h"
#include "gui/GuiTest.h"

using guitest::MainFrameTest;

namespace {
// The pane's controls that the user works with, and its apply button.
std::vector<wxWindow*> paneControls(MainFrame& frame) {
    MainFrameControls& c = controlsOf(frame);
    std::vector<wxWindow*> all = {
        c.startHour,      c.startMinute,     c.startSecond,       c.startDay,
        c.startMonth,     c.startYear,       c.endHour,           c.endMinute,
        c.endSecond,      c.endDay,          c.endMonth,          c.endYear,
        c.countField,     c.directionChoice, c.firstRecordButton, c.lastRecordButton,
        c.lastHourButton, c.lastDayButton,   c.lastWeekButton,    c.detailChoice,
        c.configCheck,    c.discreteCheck,   c.relayCheck,
    };
    for (wxCheckBox* box : c.weightChecks)
        all.push_back(box);
    all.push_back(c.filterPane->GetPane()->FindWindow(CmdApplyFilter));
    all.push_back(c.filterPane->GetPane()->FindWindow(CmdPickStart));
    all.push_back(c.filterPane->GetPane()->FindWindow(CmdPickEnd));
    return all;
}

void settle(int ms = 400) {
    guitest::waitFor([] { return false; }, ms);
}

// Opens or closes the pane as the user does: a click on its header.
void toggleByClick(wxCollapsiblePane* pane) {
    const bool wasCollapsed = pane->IsCollapsed();
    wxWindow* header = pane;
    for (wxWindow* child : pane->GetChildren())
        if (child != pane->GetPane()) header = child;
    settle(300);
    const wxRect r = pane->GetScreenRect();
    wxUIActionSimulator sim;
    sim.MouseMove(r.x + 40, r.y + 8);
    settle(100);
    sim.MouseClick();
    ASSERT_TRUE(guitest::waitFor([&] { return pane->IsCollapsed() != wasCollapsed; }))
        << "the click at the header " << header->GetName() << " did not toggle the pane";
    settle();
}

wxRect workArea(wxWindow* window) {
    return wxDisplay(wxDisplay::GetFromWindow(window) == wxNOT_FOUND
                         ? 0u
                         : unsigned(wxDisplay::GetFromWindow(window)))
        .GetClientArea();
}

void expectReachable(MainFrame& frame) {
    const wxRect screen = workArea(&frame);
    const wxRect client(frame.ClientToScreen(wxPoint(0, 0)), frame.GetClientSize());
    const wxRect pane = controlsOf(frame).filterPane->GetScreenRect();
    for (wxWindow* w : paneControls(frame)) {
        ASSERT_NE(w, nullptr);
        const wxRect r = w->GetScreenRect();
        EXPECT_TRUE(w->IsShownOnScreen()) << guitest::utf8(w->GetLabel());
        EXPECT_TRUE(screen.Contains(r)) << guitest::utf8(w->GetLabel()) << " at " << r.x << ","
                                        << r.y << " " << r.width << "x" << r.height;
        EXPECT_TRUE(pane.Contains(r)) << guitest::utf8(w->GetLabel());
        EXPECT_TRUE(client.Contains(r)) << guitest::utf8(w->GetLabel());
    }
    wxStatusBar* status = frame.GetStatusBar();
    EXPECT_TRUE(screen.Contains(status->GetScreenRect()));
    EXPECT_TRUE(screen.Contains(controlsOf(frame).notebook->GetScreenRect()));
}

void report(const char* when, MainFrame& frame) {
    const wxSize s = frame.GetSize(), n = controlsOf(frame).notebook->GetSize(),
                 p = controlsOf(frame).filterPane->GetSize(), m = frame.GetMinSize();
    const wxRect a = workArea(&frame);
    std::printf("%s: work area %dx%d, window %dx%d (min %dx%d), notebook %dx%d, pane %dx%d\n", when,
                a.width, a.height, s.x, s.y, m.x, m.y, n.x, n.y, p.x, p.y);
}
} // namespace

TEST_F(MainFrameTest, EveryFilterControlIsWithinReachWithThePaneOpen) {
    report("collapsed", *frame);
    toggleByClick(controlsOf(*frame).filterPane);
    ASSERT_FALSE(controlsOf(*frame).filterPane->IsCollapsed());
    report("open", *frame);
    expectReachable(*frame);
    // Within a 1280 x 800 screen too, less a panel and the window's frame.
    EXPECT_LE(frame->GetMinSize().x, 1280);
    EXPECT_LE(frame->GetMinSize().y, 720);
}

TEST_F(MainFrameTest, PagesTakeTheRoomThePaneLeaves) {
    wxCollapsiblePane* pane = controlsOf(*frame).filterPane;
    wxNotebook* notebook = controlsOf(*frame).notebook;
    const wxSize window = frame->GetSize();
    const int collapsedPages = notebook->GetSize().y;
    const int together = collapsedPages + pane->GetSize().y;
    toggleByClick(pane);
    // The window keeps its size; the pages give up what the pane takes.
    EXPECT_EQ(frame->GetSize(), window);
    EXPECT_LT(notebook->GetSize().y, collapsedPages);
    EXPECT_EQ(notebook->GetSize().y + pane->GetSize().y, together);
    toggleByClick(pane);
    EXPECT_EQ(frame->GetSize(), window);
    EXPECT_EQ(notebook->GetSize().y, collapsedPages);
}

TEST_F(MainFrameTest, WindowResizesAndMaximisesWithThePaneOpenOrClosed) {
    wxCollapsiblePane* pane = controlsOf(*frame).filterPane;
    const wxRect screen = workArea(frame);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round == 1 ? "pane open" : round == 0 ? "pane never opened" : "pane closed");
        if (round > 0) toggleByClick(pane);
        EXPECT_EQ(frame->GetMaxSize(), wxDefaultSize);
        const wxSize min = frame->GetMinSize();
        EXPECT_LE(min.x, screen.width);
        EXPECT_LE(min.y, screen.height);

        frame->SetSize(min.x + 40, min.y + 30);
        settle();
        EXPECT_EQ(frame->GetSize(), wxSize(min.x + 40, min.y + 30));
        const int pagesBefore = controlsOf(*frame).notebook->GetSize().y;

        frame->Maximize();
        ASSERT_TRUE(guitest::waitFor([&] { return frame->IsMaximized(); }));
        settle();
        EXPECT_GE(frame->GetSize().x, screen.width - 8);
        EXPECT_GE(frame->GetSize().y, screen.height - 8);
        EXPECT_GT(controlsOf(*frame).notebook->GetSize().y, pagesBefore);
        if (round == 1) expectReachable(*frame);
        frame->Maximize(false);
        ASSERT_TRUE(guitest::waitFor([&] { return !frame->IsMaximized(); }));
        settle();
    }
}
