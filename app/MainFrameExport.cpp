// The export command: the journal as filtered and the protocol's figures,
// each saved as a CSV file the user names in a file dialog.
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "app/FileChoice.h"
#include "app/MainFrame.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "views/EventExport.h"
#include "views/ProtocolExport.h"

namespace {
const wchar_t* const CsvWildcard = L"Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*";

// The file the user names under title, written with content; false when the
// dialog was cancelled or the write failed (reported).
bool exportFile(MainFrame* frame, const wchar_t* title, const std::string& content) {
    const wxString path =
        chooseFile(frame, title, frame->lastDir, CsvWildcard, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (path.empty()) return false;
    frame->lastDir = wxFileName(path).GetPath();
    try {
        const std::string out(path.fn_str());
        // The open image is never replaced by an export.
        if (!frame->filePath.empty() && sameFile(out, std::string(frame->filePath.fn_str())))
            throw errorExc::withReason(CannotCreateFile, out, IsAnInput);
        writeFileSafely(out, content.data(), content.size());
    } catch (const std::exception& e) {
        wxLogError(L"%s", wxString::FromUTF8(failureText(e, true)));
        return false;
    }
    return true;
}
} // namespace

void MainFrame::onExport(wxCommandEvent&) {
    if (events.empty()) {
        wxLogError(L"Нет данных для экспорта");
        return;
    }
    if (!exportFile(this, L"Экспорт журнала событий (CSV)",
                    eventsCsv(listedEvents(lists.journalList))))
        return;
    exportFile(this, L"Экспорт протокола (CSV)", protocolCsv(protocolExport(session)));
}
