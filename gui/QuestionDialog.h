#pragma once
// The shell's one question dialog: a picture at the left, the text beside it
// in the dialogs' face, and a row of answers under the text. Each answer ends
// the dialog with its id. One answer holds the focus and is the default, so
// Enter presses it (the toolkit would focus the first button); Esc and the
// close box give the escape answer.
#include <vector>

#include <wx/dialog.h>

struct QuestionAnswer {
    int id;
    const wchar_t* picture; // a 32-pixel picture under bmps/
    wxString label;         // beside the picture; empty for a picture alone
};

// How a question is laid out: the size it opens with (grown where the
// content needs more), the room beside the picture, the width the text
// wraps at and the gap between the answers.
struct QuestionLook {
    wxSize size;
    int pictureMargin;
    int textWidth;
    int answerGap;
};

class QuestionDialog : public wxDialog {
public:
    QuestionDialog(wxWindow* parent, const wxString& title, const wxBitmap& picture,
                   const wxString& text, const std::vector<QuestionAnswer>& answers, int defaultId,
                   int escapeId, const QuestionLook& look);
};
