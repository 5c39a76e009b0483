// The window on a laptop's screen, filling it: a full memory's journal at
// level 1 without a row limit, scrolled to its end, and the demo's graph as
// it first shows. With GRUVIK2_SHOTS naming a folder, the screen is also
// photographed there (scripts/laptop-shots.sh runs it at 1366 x 768 under a
// window manager).
#include <cstdlib>
#include <string>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/display.h>
#include <wx/notebook.h>
#include <wx/scrolbar.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "pages/GraphWindow.h"
#include "pages/TextLog.h"
#include "testsupport/FullMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"

namespace {

class LaptopTest : public guitest::MainFrameTest {
protected:
    // The screen where window is, as it shows now, into the shots' folder.
    void shoot(wxWindow* window, const char* name) {
        const char* folder = std::getenv("GRUVIK2_SHOTS");
        if (!folder) return;
        window->Refresh();
        window->Update();
        guitest::waitFor([] { return false; }, 500); // let the toolkit paint
        const wxRect r = window->GetScreenRect();
        const std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                                    std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                                    std::to_string(r.y) + " " + folder + "/" + name;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    void show(wxWindow* page) {
        auto* notebook = controlsOf(*frame).notebook;
        notebook->SetSelection(notebook->FindPage(page));
        ASSERT_TRUE(guitest::waitFor([&] { return page->IsShownOnScreen(); }));
    }
    // The window over the screen's free area, by the window manager where
    // there is one.
    void fillTheScreen() {
        const wxRect area = wxDisplay(frame).GetClientArea();
        frame->Maximize();
        if (!guitest::waitFor([&] { return frame->GetSize().x >= area.width - 10; }, 1500))
            frame->SetSize(area);
        frame->Layout();
    }
    // The window's controls are all within the screen.
    void expectOnScreen(wxWindow* window) {
        const wxRect screen = wxDisplay(frame).GetGeometry();
        EXPECT_TRUE(screen.Contains(window->GetScreenRect()))
            << window->GetName() << " at " << window->GetScreenRect().GetBottom();
    }

    ScopedTZ tz{"Europe/Moscow"};
    TempDir dir;
};

TEST_F(LaptopTest, AFullJournalAndTheGraphFillTheScreen) {
    fillTheScreen();
    {
        RecorderImage image;
        synthesizeFullMemory(image);
        image.save(dir.file("full.rpd"));
    }
    frame->openImageFile(wxString::FromUTF8(dir.file("full.rpd")));
    TextLog* journal = controlsOf(*frame).journalPage;
    show(journal);
    controlsOf(*frame).detailChoice->SetSelection(0);
    controlsOf(*frame).discreteCheck->SetValue(true);
    controlsOf(*frame).relayCheck->SetValue(true);
    controlsOf(*frame).countField->ChangeValue(L"0");
    wxCommandEvent apply(wxEVT_BUTTON, CmdApplyFilter);
    apply.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(apply);
    ASSERT_EQ(journal->view->rows().size(), listSize(frame->lists.journalList));
    journal->view->SetFocus();
    ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == journal->view; }));
    wxUIActionSimulator().Char(WXK_END);
    ASSERT_TRUE(guitest::waitFor(
        [&] { return journal->view->IsRowVisible(journal->view->rows().size() - 1); }));
    expectOnScreen(journal->view);
    shoot(frame, "journal.png");

    frame->openImageFile(wxGetCwd() + L"/demo.rpd");
    frame->showFilterPane(true);
    GraphWindow* graph = controlsOf(*frame).graphPage;
    show(graph);
    expectOnScreen(graph->scrollBar);
    EXPECT_TRUE(graph->scrollBar->IsShownOnScreen());
    shoot(frame, "graph.png");
    // The pane open, every kind of event ticked: the state tracks leave the
    // plot room for two load ticks at least.
    graph->draw->Refresh();
    graph->draw->Update();
    const GraphDraw& drawn = graph->draw->graph;
    EXPECT_GT(drawn.textHeight, 0);
    EXPECT_GE(drawn.plotBottom - drawn.plotTop, 8 * drawn.textHeight)
        << "plot " << drawn.plotTop << ".." << drawn.plotBottom << " in " << drawn.height;
}

} // namespace
