#pragma once
// Asks before the program ends. Ends with wxID_YES or wxID_NO; Enter, Esc and
// the close box answer no: a stray Enter must not end the program.
#include "gui/QuestionDialog.h"

class ExitDialog : public QuestionDialog {
public:
    explicit ExitDialog(wxWindow* parent);
};
