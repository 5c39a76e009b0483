// The main window's road from an image to the pages: the file commands, the
// analysis and the filter.
#include <algorithm>

#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "app/DialogProgress.h"
#include "app/FileChoice.h"
#include "app/MainFrame.h"
#include "app/UnsavedDialog.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "gui/PrintSettings.h"
#include "pages/GraphWindow.h"
#include "pages/HistoryWindow.h"
#include "pages/ReportWindow.h"
#include "pages/SetupWindow.h"
#include "pages/TextLog.h"

namespace {
const wchar_t* const FileDialogTitle = L"Выберите файл";
const wchar_t* const ImageWildcard = L"Файлы Gruvik2 (*.rpd)|*.rpd|Все файлы (*.*)|*.*";

// The message, and on a line of its own what the system said under it.
void reportError(const std::exception& e) {
    wxLogError(L"%s", wxString::FromUTF8(failureText(e, true)));
}

wxString chooseFile(wxWindow* parent, const wxString& folder, long style) {
    return ::chooseFile(parent, FileDialogTitle, folder, ImageWildcard, style);
}

std::string fileName(const wxString& path) {
    return std::string(path.fn_str());
}
} // namespace

// ---- file commands and the analysis -----------------------------------------

void MainFrame::onOpen(wxCommandEvent&) {
    if (!confirmDiscardChanges()) return;
    const wxString path = chooseFile(this, lastDir, wxFD_OPEN);
    if (!path.empty()) openImageFile(path);
}

bool MainFrame::openImageFile(const wxString& path, const std::function<void()>& showChoices) {
    lastDir = wxFileName(path).GetPath();
    // An image of the archive is never altered: a save over it is refused.
    wxFileName archive = wxFileName::DirName(wxString::FromUTF8(archiveFolder));
    archive.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    wxFileName file(path);
    file.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    if (!archiveFolder.empty() &&
        file.GetFullPath().StartsWith(archive.GetPath(wxPATH_GET_SEPARATOR)))
        protectInput(fileName(path));
    try {
        // Loaded beside the shown image, which stays with its events and
        // pages when the file cannot be read.
        session.load(fileName(path));
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
    filePath = path;
    // Typed edits were asked about before the file was chosen.
    settingsPage->dropTypedEdits();
    analyse(showChoices);
    // What the analysis fills in (the passport's defaults) is no change of the user's.
    session.markSaved();
    updateTitle();
    return true;
}

void MainFrame::onSave(wxCommandEvent&) {
    saveWithDialog();
}

bool MainFrame::saveWithDialog() {
    wxString path = chooseFile(this, lastDir, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (path.empty()) return false;
    lastDir = wxFileName(path).GetPath();
    return saveTo(path);
}

bool MainFrame::saveTo(const wxString& path) {
    try {
        image.save(fileName(path));
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
    filePath = path;
    session.markSaved();
    updateTitle();
    return true;
}

void MainFrame::imageEdited() {
    updateTitle();
}

void MainFrame::updateTitle() {
    // The file named is the one a print to a file must not replace.
    sharedPrintSettings().imageFile = std::string(filePath.fn_str());
    wxString title = ProgramTitle;
    if (!filePath.empty())
        title =
            (unsavedChanges() ? L"*" : L"") + wxFileName(filePath).GetFullName() + L" — " + title;
    if (GetTitle() != title) SetTitle(title);
}

bool MainFrame::unsavedChanges() const {
    return session.unsaved() || settingsPage->hasTypedEdits();
}

bool MainFrame::confirmDiscardChanges() {
    if (!unsavedChanges()) return true;
    UnsavedDialog dialog(this, wxFileName(filePath).GetFullName());
    switch (dialog.ShowModal()) {
    case wxID_YES:
        // What is typed on «Настройка» is saved with the rest.
        if (settingsPage->hasTypedEdits() && !settingsPage->storeTypedEdits()) return false;
        return filePath.empty() ? saveWithDialog() : saveTo(filePath);
    case wxID_NO:
        return true;
    default:
        return false;
    }
}

void MainFrame::onClose(wxCloseEvent& event) {
    if (event.CanVeto() && !confirmDiscardChanges()) {
        event.Veto();
        return;
    }
    event.Skip(); // the window goes
}

void MainFrame::clearEvents() {
    session.clearEvents();
}

bool MainFrame::analyse() {
    return analyse({});
}

bool MainFrame::analyse(const std::function<void()>& showChoices) {
    try {
        DialogProgress progress(this, L"Анализ памяти регистратора", 10);
        if (session.analyse(&progress) != AnalysisResult::done) {
            // No events any more: the pages show so, rather than what they used to.
            regeneratePages(nullptr);
            return false;
        }
        // The session's filter now spans the new events; the pane shows it
        // with its own choices of detail and kinds, and that is applied.
        filterPane->showRecordBounds(events.minSeconds, events.maxSeconds);
        filterPane->setRangeStart(session.filter.rangeStart);
        filterPane->setRangeEnd(session.filter.rangeEnd);
        filterPane->setMaxCount(session.filter.maxCount);
        directionChoice->SetSelection(session.filter.direction);
        if (showChoices) showChoices();
        applyFilter(&progress);
        return true;
    } catch (const std::exception& e) {
        // Half-made lists and pages are not shown: empty ones are.
        clearEvents();
        reportError(e);
        regeneratePages(nullptr);
        return false;
    }
}

// ---- filter state -----------------------------------------------------------

void MainFrame::applyFilter(Progress* progress) {
    session.applyFilter(filterPane->take());
    regeneratePages(progress);
}

void MainFrame::regeneratePages(Progress* progress) {
    journalPage->regenerate(progress);
    protocolPage->regenerate(progress);
    settingsPage->showHeader();
    graphPage->regenerate();
    historyPage->regenerate(archiveFolder, filePath);
}

void MainFrame::filterEvents() {
    session.applyFilter(filterPane->settings());
}

void MainFrame::onApplyFilter(wxCommandEvent&) {
    // No progress dialog here: the pages are quick, but a full memory at the
    // finest level still takes a moment.
    wxBusyCursor busy;
    applyFilter(nullptr);
}
