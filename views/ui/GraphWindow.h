#pragma once
// The notebook page "График": the graph drawing with its scroll bar, and the
// row of controls that searches events and chooses the time scale.
#include <array>

#include <wx/window.h>

#include "app/PrintPanel.h"
#include "views/GraphDraw.h"

class MainFrame;
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
    explicit GraphDrawWindow(wxWindow* parent);

    // The painting procedure with its time window, load range and header view.
    GraphDraw graph;

    // Points the graph at the main window's data and ticked weight boxes.
    void takeSources();
    // Shows the time window on the scroll bar.
    void updateScrollBar();

private:
    void onPaint(wxPaintEvent& event);
    void onScroll(wxScrollWinEvent& event);

    wxDECLARE_EVENT_TABLE();
};

class GraphWindow : public PrintPanel {
public:
    explicit GraphWindow(wxWindow* parent);

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

    wxDECLARE_EVENT_TABLE();
};

// The main window that holds w, or null.
MainFrame* mainFrameOf(wxWindow* w);
// The ticked states of the main window's weight boxes.
std::array<bool, 5> tickedWeights(const MainFrame& frame);
