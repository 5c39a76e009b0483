#pragma once
// Asks before the program ends. Ends with wxID_YES or wxID_NO; Enter answers no.
#include <wx/dialog.h>

class ExitDialog : public wxDialog {
public:
    explicit ExitDialog(wxWindow* parent);

private:
    void onYes(wxCommandEvent& event);
    void onNo(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
