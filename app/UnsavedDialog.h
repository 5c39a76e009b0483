#pragma once
// Asks what becomes of changes of the image not saved to its file, before
// they would be lost (the window closes, another image comes). Ends with
// wxID_YES (save them), wxID_NO (drop them) or wxID_CANCEL (do not go on);
// Esc and the close box cancel, and so does Enter, which holds no answer
// that could lose data.
#include "gui/QuestionDialog.h"

class UnsavedDialog : public QuestionDialog {
public:
    // fileName: the image's file, shown in the question (may be empty).
    UnsavedDialog(wxWindow* parent, const wxString& fileName);
};
