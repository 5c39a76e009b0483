#pragma once
// The filter pane under the pages: the time range, the row limit and its
// direction, the level of detail and the kinds of events. It keeps what the
// user set up until «Наложить фильтр» hands it to the session, so the
// session's filter is always the one last applied. The button's command
// (CmdApplyFilter) goes up to the window.
#include <array>
#include <cstdint>

#include <wx/collpane.h>

#include "views/EventFilter.h"

class wxButton;
class wxCheckBox;
class wxComboBox;
class wxTextCtrl;

// The pane's controls; the main window's controls include them for the GUI
// tests and the batch print.
struct FilterPaneControls {
    wxTextCtrl* startDay;
    wxTextCtrl* startMonth;
    wxTextCtrl* startYear;
    wxTextCtrl* startHour;
    wxTextCtrl* startMinute;
    wxTextCtrl* startSecond;
    wxTextCtrl* endDay;
    wxTextCtrl* endMonth;
    wxTextCtrl* endYear;
    wxTextCtrl* endHour;
    wxTextCtrl* endMinute;
    wxTextCtrl* endSecond;
    wxTextCtrl* countField;
    wxComboBox* directionChoice;
    wxButton* firstRecordButton;
    wxButton* lastRecordButton;
    wxButton* lastHourButton;
    wxButton* lastDayButton;
    wxButton* lastWeekButton;
    wxComboBox* detailChoice;
    wxCheckBox* configCheck;
    wxCheckBox* discreteCheck;
    wxCheckBox* relayCheck;
    wxCheckBox* weightChecks[5];
};

class FilterPane : public wxCollapsiblePane, private FilterPaneControls {
public:
    // Collapsed, with the empty instant 0 for both ends (no fields shown) and
    // a limit of 1000 rows.
    explicit FilterPane(wxWindow* parent);

    const FilterPaneControls& controls() const { return *this; }

    // The pending range and row limit, shown in the fields as they are set.
    int32_t rangeStart() const { return rangeStart_; }
    int32_t rangeEnd() const { return rangeEnd_; }
    uint32_t maxCount() const { return maxCount_; }
    void setRangeStart(int32_t t);
    void setRangeEnd(int32_t t);
    void setMaxCount(uint32_t n);
    // maxCount := the number at the start of the count field (0 when none),
    // shown back as understood.
    void readMaxCount();

    // The record-bound buttons show, and set the range to, the times of the
    // first and last events.
    void showRecordBounds(int32_t first, int32_t last);

    // The settings as they stand: the pending range and limit, the count
    // field as typed, the choices and the boxes. Shows the range again, so
    // typed times not confirmed with Enter give way to the pending ones.
    FilterSettings take();
    // Shows settings: the choices, the row limit and the direction, and the
    // range ends that were given.
    void show(const FilterSettings& settings, bool startGiven, bool endGiven);
    // The settings as they stand, without touching the fields.
    FilterSettings settings() const;

    // The weight boxes as they stand.
    std::array<bool, 5> tickedWeights() const;

private:
    wxSizer* build();
    void onPickStart(wxCommandEvent& event);
    void onPickEnd(wxCommandEvent& event);
    void onTimeEntered(wxCommandEvent& event);

    int32_t rangeStart_ = 0;
    int32_t rangeEnd_ = 0;
    uint32_t maxCount_ = 0;
    int32_t firstRecord_ = 0;
    int32_t lastRecord_ = 0;
};
