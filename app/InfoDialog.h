#pragma once
// A message with a picture at its left and one button; ends with wxID_OK
// (the button, Enter, Esc or the close box).
#include "gui/QuestionDialog.h"

class InfoDialog : public QuestionDialog {
public:
    InfoDialog(wxWindow* parent, const wxString& title, const wxString& message,
               const wxBitmap& picture);
};
