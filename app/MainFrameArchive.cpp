// The main window and the archive of readings: «В архив», the filing of a
// fresh read, and «Парк кранов».
#include <ctime>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/notebook.h>
#include <wx/utils.h>

#include "app/FleetDialog.h"
#include "app/MainFrame.h"
#include "common/errorExc.h"
#include "history/Archive.h"
#include "pages/HistoryWindow.h"

void MainFrame::fileIntoArchive(const wxString& path, const wxString& what) {
    const wxString folder = wxString::FromUTF8(archiveFolder);
    // The archive analyses the image to index it: a moment for a full memory.
    wxBusyCursor busy;
    try {
        if (archiveFolder.empty())
            throw errorExc("папка архива не задана: нет домашней папки, укажите её в "
                           "GRUVIK2_ARCHIVE или --archive");
        const Archive::Added added = Archive(archiveFolder).add(std::string(path.utf8_str()));
        const wxString where = wxString::FromUTF8(added.path);
        SetStatusText(added.alreadyFiled ? what + L" уже был в архиве: " + where
                                         : what + L" сохранён в архиве: " + where);
    } catch (const std::exception& e) {
        SetStatusText(what + L" не сохранён в архиве");
        wxLogWarning(L"%s не сохранён в архиве считываний (%s).\n%s", what, folder,
                     wxString::FromUTF8(failureText(e, true)));
    }
    historyPage->regenerate(archiveFolder, filePath);
}

void MainFrame::onToArchive(wxCommandEvent&) {
    if (filePath.empty() || events.empty()) {
        wxLogError(L"Нет открытого образа для архива: откройте файл образа или считайте "
                   L"регистратор");
        return;
    }
    // The archive keeps files: what is not saved yet is not in the copy.
    if (unsavedChanges())
        wxLogWarning(L"Изменения образа не сохранены: в архив попадёт файл %s в том виде, "
                     L"в каком он сохранён.",
                     filePath);
    fileIntoArchive(filePath, L"Образ");
}

void MainFrame::onFleet(wxCommandEvent&) {
    std::vector<FleetRow> rows;
    wxString note;
    try {
        // A folder not made yet holds no readings; looking does not make it.
        if (wxDirExists(wxString::FromUTF8(archiveFolder)))
            rows = Archive(archiveFolder).fleet(int64_t(std::time(nullptr)));
    } catch (const std::exception& e) {
        note = L"Архив не прочитан: " + wxString::FromUTF8(failureText(e, true));
    }
    FleetDialog dialog(this, std::move(rows), wxString::FromUTF8(archiveFolder), note);
    if (dialog.ShowModal() != wxID_OK || !dialog.chosen()) return;
    const wxString path = wxString::FromUTF8(dialog.chosen()->latest.path);
    if (!confirmDiscardChanges()) return;
    if (openImageFile(path)) notebook->SetSelection(notebook->FindPage(historyPage));
}
