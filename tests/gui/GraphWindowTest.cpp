// The graph page: regeneration, the scale and search controls, the scroll bar,
// painting through a device context and the printout's page set-up.
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/cmndata.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/notebook.h>
#include <wx/print.h>
#include <wx/scrolbar.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include "app/GruvikApp.h"
#include "app/MainFrame.h"
#include "events/GL_records.h"
#include "gui/GuiTest.h"
#include "gui/WxCanvas.h"
#include "pages/GraphPrintout.h"
#include "pages/GraphWindow.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/ScopedTZ.h"
#include "views/GraphPage.h"

namespace {

constexpr int32_t t0 = 1709547300; // 04/03/2024 10:15:00 UTC

class GraphPageTest : public guitest::MainFrameTest {
protected:
    void SetUp() override {
        MainFrameTest::SetUp();
        page = controlsOf(*frame).graphPage;
        ASSERT_TRUE(page);
        controlsOf(*frame).notebook->SetSelection(controlsOf(*frame).notebook->FindPage(page));
        ImageBuilder(frame->image).header().passport({});
    }

    // Filters every event into the frame's lists, as the filter button would.
    void regenerate() {
        FilterSettings s;
        s.rangeStart = frame->events.minSeconds;
        s.rangeEnd = frame->events.maxSeconds;
        s.maxCount = 0;
        s.detail = 0;
        filterEvents(frame->events, s, frame->lists);
        frame->session.filter = s;
        page->regenerate();
    }
    void press(int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(page->FindWindow(id));
        page->GetEventHandler()->ProcessEvent(event);
    }
    void chooseScale(int index) {
        page->scaleChoice->SetSelection(index);
        wxCommandEvent event(wxEVT_COMBOBOX, CmdScaleChoice);
        event.SetEventObject(page->scaleChoice);
        page->scaleChoice->GetEventHandler()->ProcessEvent(event);
    }
    // An event of the scroll bar, as it sends them to the page.
    void scroll(wxEventType type, int position = 0) {
        wxScrollEvent event(type, CmdGraphScroll, position, wxHORIZONTAL);
        event.SetEventObject(bar());
        bar()->GetEventHandler()->ProcessEvent(event);
    }
    void key(int code) {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.SetEventObject(area());
        area()->GetEventHandler()->ProcessEvent(event);
    }
    void wheel(int rotation, wxMouseWheelAxis axis = wxMOUSE_WHEEL_VERTICAL) {
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.m_wheelRotation = rotation;
        event.m_wheelDelta = 120;
        event.m_wheelAxis = axis;
        event.SetEventObject(area());
        area()->GetEventHandler()->ProcessEvent(event);
    }
    GraphDraw& graph() { return page->draw->graph; }
    wxWindow* area() { return page->draw; }
    wxScrollBar* bar() { return page->scrollBar; }

    ScopedTZ tz{"UTC"};
    GraphWindow* page = nullptr;
};

TEST_F(GraphPageTest, ControlsWithPicturesAndToolTips) {
    EXPECT_EQ(page->eventTypeChoice->GetCount(), 3u);
    EXPECT_EQ(guitest::utf8(page->eventTypeChoice->GetValue()), "Начало/конец цикла");
    EXPECT_EQ(page->scaleChoice->GetCount(), 11u);
    EXPECT_EQ(guitest::utf8(page->scaleChoice->GetValue()), "5 мин.");
    EXPECT_EQ(guitest::utf8(page->scaleChoice->GetString(10)), "1 неделя");
    const struct {
        int id;
        const char* tip;
    } buttons[] = {
        {CmdSearchEarlier, "Поиск более раннего события указанного типа"},
        {CmdSearchLater, "Поиск более позднего события указанного типа"},
        {CmdScaleDown, "Уменьшение масштаба шкалы времени"},
        {CmdScaleUp, "Увеличение масштаба шкалы времени"},
    };
    for (const auto& b : buttons) {
        auto* button = dynamic_cast<wxBitmapButton*>(page->FindWindow(b.id));
        ASSERT_TRUE(button) << b.id;
        EXPECT_EQ(guitest::utf8(button->GetToolTipText()), b.tip);
        EXPECT_EQ(button->GetBitmap().GetSize(), wxSize(32, 32));
    }
    EXPECT_EQ(guitest::utf8(page->scaleChoice->GetToolTipText()), "Выбор масштаба шкалы времени");
    // The time window's scroll bar is a control of its own, not the drawing's.
    EXPECT_FALSE(area()->HasFlag(wxHSCROLL));
    ASSERT_TRUE(bar());
    EXPECT_FALSE(bar()->IsVertical());
}

// The labels are laid out for their own 14-point font, so neither loses its
// last letters next to the controls.
TEST_F(GraphPageTest, LabelsGetTheRoomOfTheirFont) {
    frame->SetSize(1100, 700);
    frame->Layout();
    page->Layout();
    // A window manager sizes the page once the window is on screen.
    guitest::waitFor([&] { return page->GetSize().x >= 1000; });
    page->Layout();
    int found = 0;
    for (wxWindow* child : page->GetChildren()) {
        auto* text = dynamic_cast<wxStaticText*>(child);
        if (!text) continue;
        ++found;
        EXPECT_EQ(text->GetFont().GetPointSize(), 14);
        const wxSize needed = text->GetTextExtent(text->GetLabel());
        EXPECT_GE(text->GetSize().x, needed.x) << guitest::utf8(text->GetLabel());
    }
    EXPECT_EQ(found, 2);
}

TEST_F(GraphPageTest, EmptyListGivesTheIdleScrollBar) {
    regenerate();
    EXPECT_EQ(graph().dataStart, 0);
    EXPECT_EQ(graph().viewStart, 0);
    EXPECT_EQ(bar()->GetThumbPosition(), 0);
    EXPECT_EQ(bar()->GetThumbSize(), 10);
    EXPECT_EQ(bar()->GetRange(), 10);
}

TEST_F(GraphPageTest, DataShorterThanTheWindowEndsAtTheRightEdgeAfterAScroll) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 99);
    regenerate();
    EXPECT_EQ(graph().viewStart, t0);
    scroll(wxEVT_SCROLL_LINEDOWN);
    EXPECT_EQ(graph().viewStart, t0 + 100 - 300);
}

TEST_F(GraphPageTest, ScaleChoiceKeepsTheCentreAndTheButtonsStopAtTheEnds) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 7200);
    regenerate();
    const int32_t start = t0 + 7201 - 300;
    EXPECT_EQ(graph().viewStart, start);
    EXPECT_EQ(bar()->GetThumbPosition(), 7201 - 300);
    EXPECT_EQ(bar()->GetThumbSize(), 300);
    EXPECT_EQ(bar()->GetRange(), 7201);

    chooseScale(2); // "1 мин."
    EXPECT_EQ(graph().viewStart, start + 120);
    EXPECT_EQ(graph().viewSpan, 60);
    EXPECT_EQ(bar()->GetThumbSize(), 60);

    page->scaleChoice->SetSelection(0); // no event: the scale is still one minute
    press(CmdScaleDown);
    EXPECT_EQ(page->scaleChoice->GetSelection(), 0);
    EXPECT_EQ(graph().viewSpan, 5); // applied again all the same
    EXPECT_EQ(graph().viewStart, start + 120 + 27);

    page->scaleChoice->SetSelection(10);
    press(CmdScaleUp);
    EXPECT_EQ(page->scaleChoice->GetSelection(), 10);
    EXPECT_EQ(graph().viewSpan, 604800);
    press(CmdScaleDown);
    EXPECT_EQ(page->scaleChoice->GetSelection(), 9);
    EXPECT_EQ(graph().viewSpan, 86400);
}

TEST_F(GraphPageTest, SearchSkipsUntickedGroupsAndStaysWhenNothingIsFound) {
    addEvent<GL_powerOn>(frame->events, t0);
    addLoad<GL_cycleStart>(frame->events, t0 + 100, 1, 500);
    addLoad<GL_cycleStop>(frame->events, t0 + 500, 2, 900);
    addEvent<GL_powerOff>(frame->events, t0 + 10000);
    regenerate();
    controlsOf(*frame).weightChecks[2]->SetValue(false);
    graph().viewStart = t0 + 1000 - 150; // centre t0 + 1000

    press(CmdSearchEarlier);
    EXPECT_EQ(graph().viewStart, t0 + 100 - 150);
    EXPECT_EQ(bar()->GetThumbPosition(), 100 - 150 < 0 ? 0 : 100 - 150);

    graph().viewStart = t0 + 1000 - 150;
    press(CmdSearchLater);
    EXPECT_EQ(graph().viewStart, t0 + 1000 - 150);

    page->eventTypeChoice->SetSelection(2); // power on and off
    press(CmdSearchLater);
    EXPECT_EQ(graph().viewStart, t0 + 10000 - 150);
}

TEST_F(GraphPageTest, LineStepsFollowTheScale) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 30 * 86400);
    regenerate();
    const struct { int scale, step; } cases[] = {{10, 600}, {4, 10}, {2, 1}};
    for (const auto& c : cases) {
        chooseScale(c.scale);
        graph().viewStart = t0 + 86400;
        scroll(wxEVT_SCROLL_LINEDOWN);
        EXPECT_EQ(graph().viewStart, t0 + 86400 + c.step) << c.scale;
        scroll(wxEVT_SCROLL_LINEUP);
        EXPECT_EQ(graph().viewStart, t0 + 86400) << c.scale;
        EXPECT_EQ(bar()->GetThumbPosition(), 86400);
    }
    scroll(wxEVT_SCROLL_THUMBTRACK, 5000);
    EXPECT_EQ(graph().viewStart, t0 + 5000);
    scroll(wxEVT_SCROLL_THUMBRELEASE, 30);
    EXPECT_EQ(graph().viewStart, t0 + 30);
    scroll(wxEVT_SCROLL_PAGEUP);      // a minute back
    EXPECT_EQ(graph().viewStart, t0); // clamped to the data
}

// Over the drawing the keys and the wheel move the window in the scroll
// bar's steps, and the scroll bar follows.
TEST_F(GraphPageTest, KeysAndWheelMoveInTheLineAndPageSteps) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 30 * 86400);
    regenerate();
    chooseScale(4); // "20 мин.": a line is 10 s, a page 1200 s
    const int32_t start = t0 + 86400;
    const struct {
        int key;
        int32_t moved; // from start
    } keys[] = {
        {WXK_RIGHT, 10},      {WXK_LEFT, -10},     {WXK_DOWN, 10},         {WXK_UP, -10},
        {WXK_PAGEDOWN, 1200}, {WXK_PAGEUP, -1200}, {WXK_NUMPAD_RIGHT, 10},
    };
    for (const auto& k : keys) {
        graph().viewStart = start;
        key(k.key);
        EXPECT_EQ(graph().viewStart, start + k.moved) << k.key;
        EXPECT_EQ(bar()->GetThumbPosition(), 86400 + k.moved) << k.key;
    }
    graph().viewStart = start;
    key('A');
    EXPECT_EQ(graph().viewStart, start);
    key(WXK_HOME);
    EXPECT_EQ(graph().viewStart, t0);
    key(WXK_END);
    EXPECT_EQ(graph().viewStart, t0 + 30 * 86400 + 1 - 1200);
    EXPECT_EQ(bar()->GetThumbPosition(), 30 * 86400 + 1 - 1200);

    // A notch of the wheel is a line: down or right later, up or left earlier;
    // the parts of a notch that a fine wheel sends add up.
    graph().viewStart = start;
    wheel(-120);
    EXPECT_EQ(graph().viewStart, start + 10);
    wheel(240);
    EXPECT_EQ(graph().viewStart, start - 10);
    wheel(-60);
    EXPECT_EQ(graph().viewStart, start - 10);
    wheel(-60);
    EXPECT_EQ(graph().viewStart, start);
    wheel(120, wxMOUSE_WHEEL_HORIZONTAL);
    EXPECT_EQ(graph().viewStart, start + 10);
    EXPECT_EQ(bar()->GetThumbPosition(), 86400 + 10);
    chooseScale(10); // a week: a line is 600 s
    graph().viewStart = start;
    wheel(-120);
    EXPECT_EQ(graph().viewStart, start + 600);
}

// Real input: a click gives the drawing the keys, and End goes to the end.
TEST_F(GraphPageTest, AClickThenEndShowsTheLatestData) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 86400);
    regenerate();
    key(WXK_HOME);
    ASSERT_EQ(graph().viewStart, t0);
    ASSERT_TRUE(guitest::waitFor([&] { return area()->IsShownOnScreen(); }));
    guitest::clickOn(area());
    ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == area(); }));
    wxUIActionSimulator().Char(WXK_END);
    EXPECT_TRUE(guitest::waitFor([&] { return graph().viewStart == t0 + 86401 - 300; }));
}

// The scroll bar sits below the drawing, not over it, on the screen of a
// laptop; its thumb is the window's share of the data.
TEST_F(GraphPageTest, TheScrollBarIsAControlBelowTheDrawing) {
    frame->SetSize(1366, 740);
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 7200);
    regenerate();
    ASSERT_TRUE(guitest::waitFor([&] { return bar()->IsShownOnScreen(); }));
    frame->Layout();
    page->Layout();
    const wxRect drawing = area()->GetScreenRect(), scrollBar = bar()->GetScreenRect();
    EXPECT_GE(scrollBar.GetTop(), drawing.GetBottom());
    EXPECT_GE(scrollBar.height, 8);
    EXPECT_GE(scrollBar.width, drawing.width - 2);
    EXPECT_EQ(bar()->GetThumbSize(), 300);
    EXPECT_EQ(bar()->GetPageSize(), 300);
    EXPECT_EQ(bar()->GetRange(), 7201);
    chooseScale(5); // an hour: half the data
    EXPECT_EQ(bar()->GetThumbSize(), 3600);
}

// The demo's newest five minutes hold a power-on and the reader: the first
// view shows the latest piece of curve instead, at the same scale, in letters one can read at
// the window's first size.
TEST_F(GraphPageTest, TheFirstViewShowsDataInLegibleText) {
    frame->openImageFile(wxGetCwd() + L"/demo.rpd");
    ASSERT_FALSE(frame->events.empty());
    EXPECT_EQ(graph().viewSpan, 300);
    const int64_t from = graph().viewStart, to = from + graph().viewSpan;
    // At least two points of the total's curve.
    int points = 0;
    for (const genericParser* event : frame->lists.groupLists[0]) {
        const genericParser& e = *event;
        points += e.seconds >= from && e.seconds <= to && eventAs<GL_groupLoad>(&e);
    }
    EXPECT_GE(points, 2);

    area()->Refresh();
    area()->Update();
    ASSERT_TRUE(guitest::waitFor([&] { return graph().width == area()->GetClientSize().x; }));
    std::printf("graph area %dx%d, text height %d px\n", graph().width, graph().height,
                graph().textHeight);
    EXPECT_GE(graph().textHeight, 12);
}

TEST_F(GraphPageTest, PaintEventDrawsAtTheClientSize) {
    addEvent<GL_powerOn>(frame->events, t0);
    addLoad<GL_groupLoad>(frame->events, t0 + 100, 0, 4000);
    addEvent<GL_powerOff>(frame->events, t0 + 200);
    regenerate();
    graph().marginLeft = 99;
    area()->Refresh();
    area()->Update();
    ASSERT_TRUE(guitest::waitFor([&] { return graph().width == area()->GetClientSize().x; }));
    EXPECT_EQ(graph().height, area()->GetClientSize().y);
    EXPECT_EQ(graph().marginLeft, 0);
    EXPECT_EQ(graph().maxLoad, 4000);

    // The same painting through the device-context canvas on a bitmap.
    wxBitmap bitmap(800, 600, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        graph().width = 800;
        graph().height = 600;
        WxCanvas canvas(dc);
        graph().paint(canvas);
    }
    wxImage image = bitmap.ConvertToImage();
    int legend = 0, axis = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            const unsigned char r = image.GetRed(x, y), g = image.GetGreen(x, y),
                                b = image.GetBlue(x, y);
            legend += r == 0 && g == 0 && b == 204;
            axis += r == 255 && g == 64 && b == 64;
        }
    EXPECT_GT(legend, 500);
    EXPECT_GT(axis, 500);
}

TEST_F(GraphPageTest, PrintoutTakesItsMarginsFromThePageSetUpAndHasOnePage) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 200);
    regenerate();
    wxPageSetupDialogData& setup = *wxGetApp().pageSetupData;
    setup.SetMarginTopLeft(wxPoint(10, 10));
    setup.SetMarginBottomRight(wxPoint(10, 20));
    GraphPrintout printout(page->draw);
    EXPECT_EQ(guitest::utf8(printout.GetTitle()), "График");
    EXPECT_TRUE(printout.HasPage(1));
    EXPECT_FALSE(printout.HasPage(2));
    int pages[4] = {};
    printout.GetPageInfo(&pages[0], &pages[1], &pages[2], &pages[3]);
    EXPECT_EQ(std::vector<int>(pages, pages + 4), (std::vector<int>{1, 1, 1, 1}));
    wxBitmap bitmap(2480, 3508, 24);
    wxMemoryDC dc(bitmap);
    printout.SetDC(&dc);
    printout.SetPageSizePixels(2480, 3508);
    EXPECT_TRUE(printout.OnPrintPage(1));
    EXPECT_EQ(graph().width, 2480);
    EXPECT_EQ(graph().marginLeft, 118);
    EXPECT_EQ(graph().marginTop, 118);
    EXPECT_EQ(graph().marginRight, 118);
    EXPECT_EQ(graph().marginBottom, 236);
    printout.SetDC(nullptr);
}

TEST_F(GraphPageTest, PreviewOpensItsOwnFrame) {
    addEvent<GL_powerOn>(frame->events, t0);
    addEvent<GL_powerOff>(frame->events, t0 + 200);
    regenerate();
    page->previewPage();
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* p = dynamic_cast<wxPreviewFrame*>(w)) preview = p;
    ASSERT_TRUE(preview);
    EXPECT_EQ(guitest::utf8(preview->GetTitle()),
              "Предварительный просмотр перед распечаткой графиков");
    EXPECT_EQ(guitest::utf8(preview->GetName()), "frame");
    EXPECT_FALSE(preview->GetParent());
    // Sized for the page, and still whole on the screen (1280 x 1024 here).
    const wxRect area = wxDisplay(preview).GetClientArea();
    EXPECT_TRUE(area.Contains(preview->GetScreenRect()))
        << preview->GetScreenRect().GetBottom() << " below " << area.GetBottom();
    EXPECT_GT(preview->GetSize().y, 600);
    // The toolkit's own button speaks the program's language.
    wxWindow* close = preview->FindWindow(wxID_PREVIEW_CLOSE);
    ASSERT_TRUE(close);
    EXPECT_EQ(guitest::utf8(wxControl::RemoveMnemonics(close->GetLabel())), "Закрыть");
    preview->Destroy();
    wxTheApp->ProcessPendingEvents();
}

} // namespace
