#include "app/UnsavedDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "gui/DialogLook.h"
#include "gui/Pictures.h"

UnsavedDialog::UnsavedDialog(wxWindow* parent, const wxString& fileName)
    : wxDialog(parent, wxID_ANY, L"Несохраненные изменения", wxDefaultPosition, wxSize(560, 192)) {
    const wxFont font = dialogFont(14);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(new wxStaticBitmap(this, wxID_ANY, loadMaskedPicture(L"bmps/save.32.png", 64, 64)),
               0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 16);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(120, 4, 1);
    const wxString file = fileName.empty() ? wxString() : L" «" + fileName + L"»";
    auto* question = new wxStaticText(this, wxID_ANY,
                                      L"Данные в программе изменены и не сохранены в файле" + file +
                                          L". Сохранить изменения?");
    question->SetFont(font);
    question->Wrap(560 - 96 - 16);
    column->Add(question, 6, wxEXPAND);
    column->Add(120, 4, 2);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    addPictureButton(buttons, this, wxID_YES, L"bmps/greencheck.32.png", L"Сохранить", font);
    buttons->Add(24, 32, 0, wxALIGN_CENTER_VERTICAL);
    addPictureButton(buttons, this, wxID_NO, L"bmps/redcross.32.png", L"Не сохранять", font);
    buttons->Add(24, 32, 0, wxALIGN_CENTER_VERTICAL);
    wxBitmapButton* cancel =
        addPictureButton(buttons, this, wxID_CANCEL, L"bmps/yellowleftarr.32.png", L"Отмена", font);
    column->Add(buttons, 1);
    column->Add(120, 4, 2);
    sizer->Add(column, 1, wxEXPAND | wxRIGHT, 8);

    SetEscapeId(wxID_CANCEL);
    // As in the exit dialog: the toolkit focuses the first button when the
    // dialog appears, and Enter presses the focused one.
    cancel->SetDefault();
    Bind(wxEVT_SHOW, [this, cancel](wxShowEvent& event) {
        if (event.IsShown()) CallAfter([cancel] { cancel->SetFocus(); });
        event.Skip();
    });
    keepSizeOrFit(this, sizer);
}

void UnsavedDialog::onAnswer(wxCommandEvent& event) {
    EndModal(event.GetId());
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(UnsavedDialog, wxDialog)
    EVT_BUTTON(wxID_YES, UnsavedDialog::onAnswer)
    EVT_BUTTON(wxID_NO, UnsavedDialog::onAnswer)
    EVT_BUTTON(wxID_CANCEL, UnsavedDialog::onAnswer)
wxEND_EVENT_TABLE()
