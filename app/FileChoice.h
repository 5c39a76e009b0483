#pragma once
// A file dialog asked for one path.
#include <wx/string.h>

class wxWindow;

// The chosen path, or empty when the user did not confirm.
wxString chooseFile(wxWindow* parent, const wxString& title, const wxString& folder,
                    const wxString& wildcard, long style);
