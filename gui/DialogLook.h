#pragma once
// The look that the shell's small dialogs share: a "Times" face of the Swiss
// family, and 32-pixel picture buttons with a text label beside them.
#include <wx/font.h>

#include <wx/gdicmn.h>

class wxBitmapButton;
class wxSizer;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

wxFont dialogFont(int points);

// Sets sizer and lays the dialog out in the size it was created with, grown
// where the content needs more (the sizes suit a classic desktop; toolkits with
// larger buttons and fonts would otherwise cut texts off).
void keepSizeOrFit(wxWindow* dialog, wxSizer* sizer);

// A label in font, sized for that font.
wxStaticText* fontLabel(wxWindow* parent, const wxString& text, const wxFont& font);

// Adds to row: the picture button (id, picture under bmps/), an 8 x 32 spacer
// and the label in font; every item vertically centred. Returns the button.
wxBitmapButton* addPictureButton(wxSizer* row, wxWindow* parent, int id, const wchar_t* picture,
                                 const wxString& label, const wxFont& font);

// A text field of maxLength characters. Sizes are given for a classic desktop;
// where the toolkit's entries carry more padding the field grows to what its
// longest text needs, so the digits stay readable. A read-only field is not a
// stop of the Tab key.
wxTextCtrl* makeField(wxWindow* parent, int id, wxSize size, int maxLength, long style);
