#include "app/FileChoice.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

wxString chooseFile(wxWindow* parent, const wxString& title, const wxString& folder,
                    const wxString& wildcard, long style) {
    wxFileDialog dialog(parent, title, folder, wxEmptyString, wildcard, style);
    if (dialog.ShowModal() != wxID_OK) return {};
    // GTK's chooser knows a path only once it has been on screen; a path given
    // to a dialog that was answered without showing it (SetPath) is kept as
    // folder and file name.
    wxString path = dialog.GetPath();
    return path.empty() ? wxFileName(dialog.GetDirectory(), dialog.GetFilename()).GetFullPath()
                        : path;
}
