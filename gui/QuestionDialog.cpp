#include "gui/QuestionDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "gui/DialogLook.h"
#include "gui/Pictures.h"

QuestionDialog::QuestionDialog(wxWindow* parent, const wxString& title, const wxBitmap& picture,
                               const wxString& text, const std::vector<QuestionAnswer>& answers,
                               int defaultId, int escapeId, const QuestionLook& look)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, look.size) {
    const wxFont font = dialogFont(14);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(new wxStaticBitmap(this, wxID_ANY, picture), 0,
               wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, look.pictureMargin);

    // The text and the answers keep their own heights, centred in the
    // column: proportions would make the column's smallest height a multiple
    // of the answers' row, and a fitted dialog mostly empty.
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(120, 4, 1);
    auto* question = new wxStaticText(this, wxID_ANY, text);
    question->SetFont(font);
    question->Wrap(look.textWidth);
    column->Add(question, 0, wxEXPAND);
    column->Add(120, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    wxWindow* focused = nullptr;
    for (const QuestionAnswer& a : answers) {
        if (!buttons->IsEmpty()) buttons->Add(look.answerGap, 32, 0, wxALIGN_CENTER_VERTICAL);
        wxBitmapButton* button;
        if (a.label.empty()) {
            button = new wxBitmapButton(this, a.id, loadPicture(a.picture, 32, 32));
            buttons->Add(button, 0, wxALIGN_CENTER_VERTICAL);
        } else {
            button = addPictureButton(buttons, this, a.id, a.picture, a.label, font);
        }
        button->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { EndModal(event.GetId()); });
        if (a.id == defaultId) {
            button->SetDefault();
            focused = button;
        }
    }
    column->Add(buttons, 0, answers.size() == 1 ? wxALIGN_CENTER_HORIZONTAL : 0);
    column->Add(120, 4, 1);
    sizer->Add(column, 1, wxEXPAND | wxRIGHT, 8);

    SetEscapeId(escapeId);
    if (focused)
        Bind(wxEVT_SHOW, [this, focused](wxShowEvent& event) {
            if (event.IsShown()) CallAfter([focused] { focused->SetFocus(); });
            event.Skip();
        });
    keepSizeOrFit(this, sizer);
}
