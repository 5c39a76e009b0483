// The export command: the journal as filtered and the protocol's figures
// saved in one step, under names made of the recorder's serial number and the
// protocol's date (the protocol beside the journal the user names), in the
// CSV form a spreadsheet set to Russian opens as columns and numbers.
#include <functional>

#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "app/FileChoice.h"
#include "app/MainFrame.h"
#include "common/Csv.h"
#include "common/OutputWriter.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "image/HeaderView.h"
#include "views/EventExport.h"
#include "views/ExportTable.h"
#include "views/ProtocolExport.h"

namespace {

const wchar_t* const ExportTitle = L"Экспорт журнала и протокола (CSV)";
const wchar_t* const CsvWildcard = L"Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*";
const wchar_t* const JournalSuffix = L"журнал.csv";
const wchar_t* const ProtocolSuffix = L"протокол.csv";

// "РП0417-2024-04-26-": the serial number as the recorder has it, less what
// a file name cannot hold, and the date the protocol ends (today without one).
wxString exportStem(const RecorderSession& session) {
    wxString serial = wxString::FromUTF8(HeaderView(session.image).serialNumber);
    wxString kept;
    for (wxUniChar c : serial)
        kept += (c < 0x20 || c == '/' || c == '\\' || c == ' ') ? wxUniChar('_') : c;
    const auto period = session.protocolPeriod();
    std::string date = period ? isoLocalDate(period->endSeconds) : std::string();
    if (date.empty()) date = std::string(wxDateTime::Now().FormatISODate().utf8_str());
    return L"РП" + kept + L"-" + wxString::FromUTF8(date) + L"-";
}

// The RFC 4180 CSV that produce writes into path, in the Russian form, as it
// is made; image: the open image's file, which an export never replaces.
bool write(const wxString& path, const std::function<void(OutputWriter&)>& produce,
           const wxString& image) {
    try {
        const std::string out(path.fn_str());
        if (!image.empty() && sameFile(out, std::string(image.fn_str())))
            throw errorExc::withReason(CannotCreateFile, out, IsAnInput);
        writeFileStreamed(out, [&](ByteSink& file) {
            RussianCsvSink russian(file);
            OutputWriter writer(russian);
            produce(writer);
            writer.flush();
            russian.finish();
        });
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
    const wxString chosen = chooseFile(this, ExportTitle, lastDir, CsvWildcard, wxFD_SAVE,
                                       exportStem(session) + JournalSuffix);
    if (chosen.empty()) return;
    // The protocol beside the journal: "…журнал.csv" becomes "…протокол.csv",
    // another name gets "-протокол.csv" after its stem.
    const wxFileName journal(chosen);
    wxFileName protocol(journal);
    const wxString name = journal.GetFullName();
    if (name.EndsWith(JournalSuffix) && name != JournalSuffix)
        protocol.SetFullName(name.substr(0, name.length() - wxString(JournalSuffix).length()) +
                             ProtocolSuffix);
    else
        protocol.SetFullName(journal.GetName() + L"-" + ProtocolSuffix);
    const wxString folder = journal.GetPath();

    wxString existing;
    for (const wxFileName& f : {journal, protocol})
        if (f.FileExists()) existing += L"\n" + f.GetFullName();
    if (!existing.empty()) {
        wxMessageDialog ask(this, L"Файлы уже существуют:" + existing + L"\nЗаменить их?",
                            ExportTitle, wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
        ask.SetYesNoLabels(L"Заменить", L"Нет");
        if (ask.ShowModal() != wxID_YES) return;
    }
    lastDir = folder;
    const auto rows = listedEvents(lists.journalList);
    if (!write(
            journal.GetFullPath(), [&](OutputWriter& w) { writeEventsCsv(w, rows); }, filePath))
        return;
    const ProtocolExport figures = protocolExport(session);
    if (!write(
            protocol.GetFullPath(), [&](OutputWriter& w) { writeProtocolCsv(w, figures); },
            filePath)) {
        wxLogError(L"Журнал событий сохранён в %s; протокол не сохранён.", journal.GetFullPath());
        return;
    }
    wxMessageDialog done(
        this,
        wxString::Format(L"Сохранено в папке %s:\n%s — журнал событий, строк: %zu\n"
                         L"%s — числа протокола\n\n"
                         L"Файлы CSV для таблиц на русском: разделитель «;», "
                         L"десятичная запятая, кодировка UTF-8.",
                         folder, journal.GetFullName(), rows.size(), protocol.GetFullName()),
        ExportTitle, wxOK | wxICON_INFORMATION);
    done.ShowModal();
}
