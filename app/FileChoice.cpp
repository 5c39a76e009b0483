#include "app/FileChoice.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

namespace {
// "rpd" of "Label|*.rpd|...": the extension of the wildcard's first pattern.
wxString firstExtension(const wxString& wildcard) {
    const wxString pattern = wildcard.AfterFirst(L'|').BeforeFirst(L'|').BeforeFirst(L';');
    if (!pattern.StartsWith(L"*.")) return {};
    const wxString ext = pattern.Mid(2);
    return ext.find_first_of(L"*?") == wxString::npos ? ext : wxString();
}
} // namespace

wxString withDefaultExtension(const wxString& path, const wxString& wildcard) {
    wxFileName file(path);
    const wxString ext = firstExtension(wildcard);
    // "name." names its extension as none, deliberately.
    if (ext.empty() || file.HasExt() || file.GetFullName().empty()) return path;
    file.SetExt(ext);
    return file.GetFullPath();
}

wxString chooseFile(wxWindow* parent, const wxString& title, const wxString& folder,
                    const wxString& wildcard, long style, const wxString& name) {
    // Without a folder GTK would offer "." as the file's name.
    wxString startFolder = folder.empty() ? wxGetCwd() : folder;
    wxString startName = name;
    for (;;) {
        wxFileDialog dialog(parent, title, startFolder, startName, wildcard, style);
        if (dialog.ShowModal() != wxID_OK) return {};
        // GTK's chooser knows a path only once it has been on screen; a path
        // given to a dialog that was answered without showing it (SetPath) is
        // kept as folder and file name.
        wxString path = dialog.GetPath();
        if (path.empty())
            path = wxFileName(dialog.GetDirectory(), dialog.GetFilename()).GetFullPath();
        if (!(style & wxFD_SAVE)) return path;
        // A name typed without an extension gets the wildcard's, so that the
        // dialog's own filter shows the file afterwards.
        const wxString completed = withDefaultExtension(path, wildcard);
        if (completed == path || !(style & wxFD_OVERWRITE_PROMPT) || !wxFileExists(completed))
            return completed;
        // The dialog asked about the name as typed, not about this file.
        const wxFileName file(completed);
        wxMessageDialog ask(parent,
                            L"Файл «" + file.GetFullName() + L"» уже существует. Заменить его?",
                            title, wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
        ask.SetYesNoLabels(L"Заменить", L"Нет");
        if (ask.ShowModal() == wxID_YES) return completed;
        startFolder = file.GetPath();
        startName = file.GetFullName();
    }
}
