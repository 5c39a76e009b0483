#include "app/InfoDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "gui/DialogLook.h"
#include "gui/Pictures.h"

InfoDialog::InfoDialog(wxWindow* parent, const wxString& title, const wxString& message,
                       const wxBitmap& picture)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxSize(400, 192)) {
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(new wxStaticBitmap(this, wxID_ANY, picture), 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(12, 120);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(120, 12);
    auto* text = new wxStaticText(this, wxID_ANY, message);
    text->SetFont(dialogFont(14));
    text->Wrap(240);
    column->Add(text, 1, wxEXPAND);
    column->Add(120, 12);
    auto* ok = new wxBitmapButton(this, wxID_OK, loadPicture(L"bmps/greencheck.32.png", 32, 32));
    ok->SetDefault();
    column->Add(ok, 0, wxALIGN_CENTER_HORIZONTAL);
    column->Add(120, 8);
    sizer->Add(column, 1, wxEXPAND);
    sizer->Add(12, 120);

    SetSizerAndFit(sizer);
}

void InfoDialog::onOk(wxCommandEvent&) {
    EndModal(wxID_OK);
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(InfoDialog, wxDialog)
    EVT_BUTTON(wxID_OK, InfoDialog::onOk)
wxEND_EVENT_TABLE()
