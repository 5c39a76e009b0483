#pragma once
// A file dialog asked for one path.
#include <wx/string.h>

class wxWindow;

// The chosen path, or empty when the user did not confirm. A save dialog
// offers name, adds the extension of the wildcard's first pattern to a name
// without one and asks before that completed name replaces an existing file.
wxString chooseFile(wxWindow* parent, const wxString& title, const wxString& folder,
                    const wxString& wildcard, long style, const wxString& name = {});

// path with the extension of wildcard's first pattern ("Files|*.rpd|...")
// when its name has none.
wxString withDefaultExtension(const wxString& path, const wxString& wildcard);
