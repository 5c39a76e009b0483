#pragma once
// A message with a picture at its left and one button; ends with wxID_OK.
#include <wx/dialog.h>

class InfoDialog : public wxDialog {
public:
    InfoDialog(wxWindow* parent, const wxString& title, const wxString& message,
               const wxBitmap& picture);

private:
    void onOk(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
