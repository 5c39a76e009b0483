#pragma once
// Picks a date. Ends with wxID_YES when a date is chosen (the button or a double
// click on a day), wxID_NO when the choice is cancelled; the caller then reads
// calendar->GetDate().
#include <wx/calctrl.h>
#include <wx/dialog.h>
#include <wx/generic/calctrlg.h>

class CalDialog : public wxDialog {
public:
    CalDialog(wxWindow* parent, const wxDateTime& date);

    // The toolkit-independent calendar: the native one ignores the week start
    // and the holidays.
    wxGenericCalendarCtrl* calendar;

private:
    // Ends the dialog with the id of the button pressed.
    void onAnswer(wxCommandEvent& event);
    void onDayDoubleClick(wxCalendarEvent& event);

    wxDECLARE_EVENT_TABLE();
};
