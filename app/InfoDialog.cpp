#include "app/InfoDialog.h"

InfoDialog::InfoDialog(wxWindow* parent, const wxString& title, const wxString& message,
                       const wxBitmap& picture)
    : QuestionDialog(parent, title, picture, message, {{wxID_OK, L"bmps/greencheck.32.png", {}}},
                     wxID_OK, wxID_OK, {wxSize(400, 192), 12, 240, 0}) {}
