#include "pages/GraphWindow.h"

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dcclient.h>
#include <wx/generic/prntdlgg.h>
#include <wx/log.h>
#include <wx/printdlg.h>
#include <wx/scrolbar.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "gui/DialogLook.h"
#include "gui/Pictures.h"
#include "gui/PrintSettings.h"
#include "gui/Printing.h"
#include "gui/WxCanvas.h"
#include "pages/GraphPrintout.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

// ---- the drawing ----------------------------------------------------------

GraphScroll graphScrollForKey(int keyCode) {
    switch (keyCode) {
    case WXK_LEFT:
    case WXK_UP:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_UP:
        return GraphScroll::lineUp;
    case WXK_RIGHT:
    case WXK_DOWN:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_DOWN:
        return GraphScroll::lineDown;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        return GraphScroll::pageUp;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        return GraphScroll::pageDown;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        return GraphScroll::top;
    case WXK_END:
    case WXK_NUMPAD_END:
        return GraphScroll::bottom;
    default:
        return GraphScroll::other;
    }
}

GraphDrawWindow::GraphDrawWindow(wxWindow* parent, const RecorderSession& session,
                                 const PageActions& actions)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxSUNKEN_BORDER | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      session_(session), actions_(actions) {
    SetBackgroundColour(*wxWHITE);
}

void GraphDrawWindow::takeSources() {
    session_.wireGraph(graph, actions_.tickedWeights());
}

void GraphDrawWindow::updateScrollBar() {
    if (!scrollBar) return;
    ScrollBarState s = scrollBarState(graph);
    scrollBar->SetScrollbar(s.position, s.thumb, s.range, s.thumb, true);
}

void GraphDrawWindow::scroll(GraphScroll action, int thumbPosition) {
    const int position = scrollGraph(graph, action, thumbPosition);
    if (scrollBar) scrollBar->SetThumbPosition(position);
    if (action != GraphScroll::other) Refresh();
}

void GraphDrawWindow::onPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    GetClientSize(&graph.width, &graph.height);
    graph.marginLeft = graph.marginRight = graph.marginTop = graph.marginBottom = 0;
    // Legible on a laptop's screen at any window size (a printout sets its own).
    graph.minFontPoints = 9;
    takeSources();
    WxCanvas canvas(dc);
    graph.paint(canvas);
}

void GraphDrawWindow::onKey(wxKeyEvent& event) {
    const GraphScroll action = graphScrollForKey(event.GetKeyCode());
    if (action == GraphScroll::other || event.HasAnyModifiers()) {
        event.Skip(); // Tab and the rest go on as usual
        return;
    }
    scroll(action);
}

void GraphDrawWindow::onWheel(wxMouseEvent& event) {
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    // Up (a positive rotation) is earlier; right on a horizontal wheel is later.
    const int rotation = event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL ? -event.GetWheelRotation()
                                                                        : event.GetWheelRotation();
    wheelRotation_ += rotation;
    // A line step a notch; a fine wheel's parts of a notch add up.
    for (; wheelRotation_ >= delta; wheelRotation_ -= delta)
        scroll(GraphScroll::lineDown);
    for (; wheelRotation_ <= -delta; wheelRotation_ += delta)
        scroll(GraphScroll::lineUp);
}

void GraphDrawWindow::onClick(wxMouseEvent& event) {
    SetFocus(); // for the keys
    event.Skip();
}

// clang-format off
wxBEGIN_EVENT_TABLE(GraphDrawWindow, wxWindow)
    EVT_PAINT(GraphDrawWindow::onPaint)
    EVT_KEY_DOWN(GraphDrawWindow::onKey)
    EVT_MOUSEWHEEL(GraphDrawWindow::onWheel)
    EVT_LEFT_DOWN(GraphDrawWindow::onClick)
wxEND_EVENT_TABLE()
    // clang-format on

    // ---- the page -------------------------------------------------------------

    GraphWindow::GraphWindow(wxWindow* parent, const RecorderSession& session,
                             const PageActions& actions)
    : PrintPanel(parent, wxTAB_TRAVERSAL), session_(session), actions_(actions) {
    draw = new GraphDrawWindow(this, session, actions);

    const wxFont labelFont(14, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                           L"Times", wxFONTENCODING_CP1251);
    auto label = [&](const wchar_t* text) { return fontLabel(this, text, labelFont); };
    auto button = [&](int id, const wchar_t* picture, const wchar_t* tip) {
        auto* b = new wxBitmapButton(this, id, loadPicture(picture, 32, 32));
        b->SetToolTip(tip);
        return b;
    };
    const wxString kinds[] = {L"Начало/конец цикла", L"Перегрузка", L"Вкл/выкл питания"};
    eventTypeChoice = new wxComboBox(this, CmdEventType, kinds[0], wxDefaultPosition, wxDefaultSize,
                                     3, kinds, wxCB_READONLY | wxCB_DROPDOWN);
    eventTypeChoice->SetSelection(0);
    eventTypeChoice->SetToolTip(L"Выбор типа события, которое надо найти");
    wxArrayString scales;
    for (const GraphScale& s : graphScales)
        scales.Add(wxString::FromUTF8(s.item));
    scaleChoice = new wxComboBox(this, CmdScaleChoice, scales[defaultGraphScale], wxDefaultPosition,
                                 wxDefaultSize, scales, wxCB_READONLY | wxCB_DROPDOWN);
    scaleChoice->SetSelection(defaultGraphScale);
    scaleChoice->SetToolTip(L"Выбор масштаба шкалы времени");

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    const int centred = wxALIGN_CENTER_VERTICAL;
    row->Add(label(L"Поиск:"), 0, centred);
    row->Add(8, 8);
    row->Add(button(CmdSearchEarlier, L"bmps/blueleftarr.32.png",
                    L"Поиск более раннего события указанного типа"),
             0, centred);
    row->Add(eventTypeChoice, 0, centred);
    row->Add(button(CmdSearchLater, L"bmps/bluerightarr.32.png",
                    L"Поиск более позднего события указанного типа"),
             0, centred);
    row->Add(8, 32, 1);
    row->Add(label(L"Масштаб:"), 0, centred);
    row->Add(8, 8);
    row->Add(
        button(CmdScaleDown, L"bmps/yellowleftarr.32.png", L"Уменьшение масштаба шкалы времени"), 0,
        centred);
    row->Add(scaleChoice, 0, centred);
    row->Add(
        button(CmdScaleUp, L"bmps/yellowrightarr.32.png", L"Увеличение масштаба шкалы времени"), 0,
        centred);

    // A control of its own rather than the drawing's: GTK would lay that over
    // the drawing's bottom, hidden until the pointer comes near.
    scrollBar =
        new wxScrollBar(this, CmdGraphScroll, wxDefaultPosition, wxDefaultSize, wxSB_HORIZONTAL);
    draw->scrollBar = scrollBar;
    draw->updateScrollBar();

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(draw, 1, wxEXPAND);
    sizer->Add(scrollBar, 0, wxEXPAND);
    sizer->Add(row, 0, wxEXPAND);
    SetSizer(sizer);
}

void GraphWindow::regenerate() {
    draw->takeSources();
    regenerateGraph(draw->graph, session_.events, session_.filter.rangeStart,
                    session_.filter.rangeEnd, scaleChoice->GetSelection());
    showLatestCurve(draw->graph);
    draw->updateScrollBar();
    draw->Refresh();
}

void GraphWindow::search(bool later) {
    if (!searchEvent(draw->graph, session_.events, later, eventTypeChoice->GetSelection(),
                     actions_.tickedWeights()))
        return;
    draw->updateScrollBar();
    draw->Refresh();
}

void GraphWindow::applyScaleFromControls() {
    applyScale(draw->graph, scaleChoice->GetSelection());
    draw->updateScrollBar();
    draw->Refresh();
}

void GraphWindow::onSearchEarlier(wxCommandEvent&) {
    search(false);
}
void GraphWindow::onSearchLater(wxCommandEvent&) {
    search(true);
}

void GraphWindow::onScaleDown(wxCommandEvent&) {
    const int selected = scaleChoice->GetSelection();
    if (selected == wxNOT_FOUND) return;
    if (selected > 0) scaleChoice->SetSelection(selected - 1);
    applyScaleFromControls();
}

void GraphWindow::onScaleUp(wxCommandEvent&) {
    const int selected = scaleChoice->GetSelection();
    if (selected == wxNOT_FOUND) return;
    if (selected + 1 < int(scaleChoice->GetCount())) scaleChoice->SetSelection(selected + 1);
    applyScaleFromControls();
}

void GraphWindow::onScaleChoice(wxCommandEvent&) {
    applyScaleFromControls();
}

void GraphWindow::onScroll(wxScrollEvent& event) {
    const wxEventType type = event.GetEventType();
    GraphScroll action = GraphScroll::other;
    if (type == wxEVT_SCROLL_LINEUP)
        action = GraphScroll::lineUp;
    else if (type == wxEVT_SCROLL_LINEDOWN)
        action = GraphScroll::lineDown;
    else if (type == wxEVT_SCROLL_PAGEUP)
        action = GraphScroll::pageUp;
    else if (type == wxEVT_SCROLL_PAGEDOWN)
        action = GraphScroll::pageDown;
    else if (type == wxEVT_SCROLL_TOP)
        action = GraphScroll::top;
    else if (type == wxEVT_SCROLL_BOTTOM)
        action = GraphScroll::bottom;
    else if (type == wxEVT_SCROLL_THUMBTRACK || type == wxEVT_SCROLL_THUMBRELEASE)
        action = GraphScroll::thumb;
    draw->scroll(action, event.GetPosition());
}

// ---- printing -------------------------------------------------------------

void GraphWindow::printPage() {
    GraphPrintout printout(draw);
    if (const wxString error = printWithDialog(this, printout, *sharedPrintSettings().printData);
        !error.empty())
        wxLogError(L"%s", error);
}

void GraphWindow::pageSetup() {
    SharedPrintSettings& app = sharedPrintSettings();
    *app.pageSetupData = *app.printData;
    // The toolkit's own set-up on GTK has no margin fields; the generic one has.
    wxGenericPageSetupDialog dialog(this, app.pageSetupData);
    if (dialog.ShowModal() != wxID_OK) return;
    *app.printData = dialog.GetPageSetupDialogData().GetPrintData();
    *app.pageSetupData = dialog.GetPageSetupDialogData();
}

void GraphWindow::previewPage() {
    wxPrintDialogData data(*sharedPrintSettings().printData);
    showPreviewFrame(new wxPrintPreview(new GraphPrintout(draw), new GraphPrintout(draw), &data),
                     L"Предварительный просмотр перед распечаткой графиков");
}

wxString GraphWindow::printPdf(const wxString& path) {
    GraphPrintout printout(draw);
    return printToPdf(printout, *sharedPrintSettings().printData, path);
}

// clang-format off
wxBEGIN_EVENT_TABLE(GraphWindow, PrintPanel)
    EVT_BUTTON(CmdSearchEarlier, GraphWindow::onSearchEarlier)
    EVT_BUTTON(CmdSearchLater, GraphWindow::onSearchLater)
    EVT_BUTTON(CmdScaleDown, GraphWindow::onScaleDown)
    EVT_BUTTON(CmdScaleUp, GraphWindow::onScaleUp)
    EVT_COMBOBOX(CmdScaleChoice, GraphWindow::onScaleChoice)
    EVT_COMMAND_SCROLL(CmdGraphScroll, GraphWindow::onScroll)
wxEND_EVENT_TABLE()
    // clang-format on
