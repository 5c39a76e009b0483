#include "gui/DialogLook.h"

#include <algorithm>

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/Pictures.h"

wxFont dialogFont(int points) {
    return wxFont(points, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                  L"Times", wxFONTENCODING_CP1251);
}

void keepSizeOrFit(wxWindow* dialog, wxSizer* sizer) {
    dialog->SetSizer(sizer);
    wxSize needed = dialog->ClientToWindowSize(sizer->GetMinSize());
    wxSize size = dialog->GetSize();
    size.IncTo(needed);
    dialog->SetSize(size);
    dialog->Layout();
}

wxStaticText* fontLabel(wxWindow* parent, const wxString& text, const wxFont& font) {
    auto* label = new wxStaticText(parent, wxID_ANY, text);
    label->SetFont(font);
    // GTK measures a label in a font set after its creation only once it is
    // on screen; until then the sizers would give it the default font's room.
    wxSize needed = label->GetTextExtent(text);
    needed.IncTo(label->GetBestSize());
    label->SetMinSize(needed);
    return label;
}

wxBitmapButton* addPictureButton(wxSizer* row, wxWindow* parent, int id, const wchar_t* picture,
                                 const wxString& label, const wxFont& font) {
    auto* button = new wxBitmapButton(parent, id, loadPicture(picture, 32, 32));
    row->Add(button, 0, wxALIGN_CENTER_VERTICAL);
    row->Add(8, 32, 0, wxALIGN_CENTER_VERTICAL);
    row->Add(fontLabel(parent, label, font), 0, wxALIGN_CENTER_VERTICAL);
    return button;
}

namespace {
// A field that only shows what a button set: Tab passes it by. A click still
// selects its text for copying.
class ShownField : public wxTextCtrl {
public:
    using wxTextCtrl::wxTextCtrl;
    bool AcceptsFocusFromKeyboard() const override { return false; }
};
} // namespace

wxTextCtrl* makeField(wxWindow* parent, int id, wxSize size, int maxLength, long style) {
    wxTextCtrl* field =
        (style & wxTE_READONLY)
            ? new ShownField(parent, id, wxEmptyString, wxDefaultPosition, size, style)
            : new wxTextCtrl(parent, id, wxEmptyString, wxDefaultPosition, size, style);
    field->SetMaxLength(maxLength);
    wxSize needed = field->GetSizeFromTextSize(field->GetTextExtent(wxString('0', maxLength)));
    field->SetInitialSize(wxSize(std::max(size.x, needed.x), std::max(size.y, needed.y)));
    return field;
}
