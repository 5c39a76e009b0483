#pragma once
// The notebook page "График": the graph drawing with its scroll bar below it,
// and the row of controls that searches events and chooses the time scale.
// The wheel and the keys over the drawing move the time window as the scroll
// bar's buttons and trough do.
#include <array>

#include <wx/window.h>

#include "gui/PageActions.h"
#include "gui/PrintPanel.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"

class RecorderSession;
class wxComboBox;
class wxScrollBar;
class wxScrollEvent;

enum GraphCommandId : int {
    CmdSearchEarlier = 523,
    CmdEventType = 524,
    CmdSearchLater = 525,
    CmdScaleDown = 526,
    CmdScaleChoice = 527,
    CmdScaleUp = 528,
    CmdGraphScroll = 529,
};

// What a key does to the time window: the arrows a line step (left and up
// earlier, right and down later), Page Up and Page Down a window, Home and
// End the start and the end of the data; other keys nothing.
GraphScroll graphScrollForKey(int keyCode);

// The drawing area: paints its graph on every paint event and moves the time
// window for its scroll bar, the wheel and the keys.
class GraphDrawWindow : public wxWindow {
public:
    // session: what is drawn; actions: the weight boxes ticked.
    GraphDrawWindow(wxWindow* parent, const RecorderSession& session, const PageActions& actions);

    // The painting procedure with its time window, load range and header view.
    GraphDraw graph;
    // The time window's scroll bar, a control of its own below the drawing
    // (set by the page).
    wxScrollBar* scrollBar = nullptr;

    // Points the graph at the session's data and the ticked weight boxes.
    void takeSources();
    // Shows the time window on the scroll bar.
    void updateScrollBar();
    // Moves the time window (thumbPosition for the thumb), shows it on the
    // scroll bar and repaints.
    void scroll(GraphScroll action, int thumbPosition = 0);

    bool AcceptsFocus() const override { return true; }

private:
    void onPaint(wxPaintEvent& event);
    void onKey(wxKeyEvent& event);
    void onWheel(wxMouseEvent& event);
    void onClick(wxMouseEvent& event);

    const RecorderSession& session_;
    const PageActions& actions_;
    int wheelRotation_ = 0; // left over from the notches taken so far

    wxDECLARE_EVENT_TABLE();
};

class GraphWindow : public PrintPanel {
public:
    // session: the recorder shown; actions: the weight boxes ticked in the
    // window that holds the page.
    GraphWindow(wxWindow* parent, const RecorderSession& session, const PageActions& actions);

    GraphDrawWindow* draw;
    wxScrollBar* scrollBar; // below draw
    wxComboBox* eventTypeChoice;
    wxComboBox* scaleChoice;
    // The load range (the graph's minLoad and maxLoad) is kept in draw->graph.

    // Rebuilds the time window and the load range after filtering.
    void regenerate();

    void printPage() override;
    void pageSetup() override;
    void previewPage() override;
    wxString printPdf(const wxString& path) override;

private:
    void search(bool later);
    void applyScaleFromControls();
    void onSearchEarlier(wxCommandEvent& event);
    void onSearchLater(wxCommandEvent& event);
    void onScaleDown(wxCommandEvent& event);
    void onScaleUp(wxCommandEvent& event);
    void onScaleChoice(wxCommandEvent& event);
    void onScroll(wxScrollEvent& event);

    const RecorderSession& session_;
    const PageActions& actions_;

    wxDECLARE_EVENT_TABLE();
};
