#pragma once
// The notebook page "График": the graph drawing with its scroll bar, and the
// row of controls that searches events and chooses the time scale.
#include <array>

#include <wx/window.h>

#include "gui/PageActions.h"
#include "gui/PrintPanel.h"
#include "views/GraphDraw.h"

class RecorderSession;
class wxComboBox;
class wxScrollWinEvent;

enum GraphCommandId : int {
    CmdSearchEarlier = 523,
    CmdEventType = 524,
    CmdSearchLater = 525,
    CmdScaleDown = 526,
    CmdScaleChoice = 527,
    CmdScaleUp = 528,
};

// The drawing area: paints its graph on every paint event and moves the time
// window with its horizontal scroll bar.
class GraphDrawWindow : public wxWindow {
public:
    // session: what is drawn; actions: the weight boxes ticked.
    GraphDrawWindow(wxWindow* parent, const RecorderSession& session, const PageActions& actions);

    // The painting procedure with its time window, load range and header view.
    GraphDraw graph;

    // Points the graph at the session's data and the ticked weight boxes.
    void takeSources();
    // Shows the time window on the scroll bar.
    void updateScrollBar();

private:
    void onPaint(wxPaintEvent& event);
    void onScroll(wxScrollWinEvent& event);

    const RecorderSession& session_;
    const PageActions& actions_;

    wxDECLARE_EVENT_TABLE();
};

class GraphWindow : public PrintPanel {
public:
    // session: the recorder shown; actions: the weight boxes ticked in the
    // window that holds the page.
    GraphWindow(wxWindow* parent, const RecorderSession& session, const PageActions& actions);

    GraphDrawWindow* draw;
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

    const RecorderSession& session_;
    const PageActions& actions_;

    wxDECLARE_EVENT_TABLE();
};
