#pragma once
// Asks before the program ends. Ends with wxID_YES or wxID_NO; Enter answers no.
#include <wx/dialog.h>

class ExitDialog : public wxDialog {
public:
    explicit ExitDialog(wxWindow* parent);

private:
    // Ends the dialog with the id of the button pressed.
    void onAnswer(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
