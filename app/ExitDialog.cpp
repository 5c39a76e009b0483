#include "app/ExitDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "gui/DialogLook.h"
#include "gui/Pictures.h"

ExitDialog::ExitDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, L"Выход из программы", wxDefaultPosition, wxSize(400, 192)) {
    const wxFont font = dialogFont(14);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(
        new wxStaticBitmap(this, wxID_ANY, loadMaskedPicture(L"bmps/exit.160.png", 160, 160)), 0,
        wxALIGN_CENTER_VERTICAL);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(120, 4, 1);
    auto* question =
        new wxStaticText(this, wxID_ANY, L"Вы действительно хотите завершить работу с програмой?");
    question->SetFont(font);
    question->Wrap(400 - 160 - 8);
    column->Add(question, 6, wxEXPAND);
    column->Add(120, 4, 2);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    addPictureButton(buttons, this, wxID_YES, L"bmps/greencheck.32.png", L"Да", font);
    buttons->Add(48, 32, 0, wxALIGN_CENTER_VERTICAL);
    wxBitmapButton* no =
        addPictureButton(buttons, this, wxID_NO, L"bmps/redcross.32.png", L"Нет", font);
    column->Add(buttons, 1);
    column->Add(120, 4, 2);
    sizer->Add(column, 1, wxEXPAND);

    // Enter goes to the focused button, so "no" must hold the focus as well as
    // being the default: a stray Enter must not end the program. The toolkit
    // focuses the first button when the dialog appears, hence the delay.
    no->SetDefault();
    SetEscapeId(wxID_NO); // Esc and the close box answer no

    Bind(wxEVT_SHOW, [this, no](wxShowEvent& event) {
        if (event.IsShown()) CallAfter([no] { no->SetFocus(); });
        event.Skip();
    });
    SetSizer(sizer);
    Layout();
}

void ExitDialog::onAnswer(wxCommandEvent& event) {
    EndModal(event.GetId());
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(ExitDialog, wxDialog)
    EVT_BUTTON(wxID_YES, ExitDialog::onAnswer)
    EVT_BUTTON(wxID_NO, ExitDialog::onAnswer)
wxEND_EVENT_TABLE()
