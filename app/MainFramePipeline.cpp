// The main window's road from an image to the pages: the file commands, the
// analysis, and the filter pane's state and handlers.
#include <algorithm>
#include <optional>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "app/DialogProgress.h"
#include "app/FileChoice.h"
#include "app/MainFrame.h"
#include "app/UnsavedDialog.h"
#include "common/errorExc.h"
#include "gui/CalDialog.h"
#include "views/ui/GraphWindow.h"
#include "views/ui/ReportWindow.h"
#include "views/ui/SetupWindow.h"
#include "views/ui/TextLog.h"

namespace {
const wchar_t* const FileDialogTitle = L"Выберите файл";
const wchar_t* const ImageWildcard = L"Файлы Gruvik2 (*.rpd)|*.rpd|Все файлы (*.*)|*.*";

// The message, and on a line of its own what the system said under it.
void reportError(const std::exception& e) {
    wxLogError(L"%s", wxString::FromUTF8(failureText(e, true)));
}

long leadingNumberOf(const wxTextCtrl* field) {
    return leadingNumber(std::string(field->GetValue().utf8_str()));
}

wxString twoDigits(unsigned long v) {
    return wxString::Format(L"%02lu", v);
}

// Day, month, year, hour, minute, second of t into the six fields of one end.
void showTime(int32_t t, wxTextCtrl* day, wxTextCtrl* month, wxTextCtrl* year, wxTextCtrl* hour,
              wxTextCtrl* minute, wxTextCtrl* second) {
    LocalFields f = localFields(t);
    day->ChangeValue(twoDigits(f.day));
    month->ChangeValue(twoDigits(f.month));
    year->ChangeValue(wxString::Format(L"%04lu", f.year));
    hour->ChangeValue(twoDigits(f.hour));
    minute->ChangeValue(twoDigits(f.minute));
    second->ChangeValue(twoDigits(f.second));
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
    try {
        // Loaded beside the shown image, which stays with its events and
        // pages when the file cannot be read.
        session.load(fileName(path));
    } catch (const std::exception& e) {
        reportError(e);
        return false;
    }
    filePath = path;
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
    wxString title = ProgramTitle;
    if (!filePath.empty())
        title =
            (session.unsaved() ? L"*" : L"") + wxFileName(filePath).GetFullName() + L" — " + title;
    if (GetTitle() != title) SetTitle(title);
}

bool MainFrame::confirmDiscardChanges() {
    if (!session.unsaved()) return true;
    UnsavedDialog dialog(this, wxFileName(filePath).GetFullName());
    switch (dialog.ShowModal()) {
    case wxID_YES:
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

void MainFrame::analyse() {
    analyse({});
}

void MainFrame::analyse(const std::function<void()>& showChoices) {
    try {
        DialogProgress progress(this, L"Анализ памяти регистратора", 10);
        if (session.analyse(&progress) != AnalysisResult::done) {
            // No events any more: the pages show so, rather than what they used to.
            regeneratePages(nullptr);
            return;
        }
        // The session's filter now spans the new events; the pane shows it.
        showRecordBounds();
        setRangeStart(session.filter.rangeStart);
        setRangeEnd(session.filter.rangeEnd);
        setMaxCount(session.filter.maxCount);
        directionChoice->SetSelection(session.filter.direction);
        if (showChoices) showChoices();
        applyFilter(&progress);
    } catch (const std::exception& e) {
        // Half-made lists and pages are not shown: empty ones are.
        clearEvents();
        reportError(e);
        regeneratePages(nullptr);
    }
}

// ---- filter state -----------------------------------------------------------

void MainFrame::applyFilter(Progress* progress) {
    readMaxCount();
    setRangeStart(rangeStart);
    setRangeEnd(rangeEnd);
    filterEvents();
    regeneratePages(progress);
}

void MainFrame::regeneratePages(Progress* progress) {
    journalPage->regenerate(progress);
    protocolPage->regenerate(progress);
    settingsPage->showHeader();
    graphPage->regenerate();
}

void MainFrame::showFilterSettings(const FilterSettings& f, bool startGiven, bool endGiven) {
    if (startGiven) setRangeStart(f.rangeStart);
    if (endGiven) setRangeEnd(f.rangeEnd);
    setMaxCount(f.maxCount);
    directionChoice->SetSelection(f.direction);
    detailChoice->SetSelection(f.detail);
    configCheck->SetValue(f.config);
    discreteCheck->SetValue(f.discrete);
    relayCheck->SetValue(f.relays);
    for (size_t g = 0; g < f.weights.size(); ++g)
        weightChecks[g]->SetValue(f.weights[g]);
}

void MainFrame::filterEvents() {
    session.applyFilter(filterSettings());
}

FilterSettings MainFrame::filterSettings() const {
    FilterSettings s;
    s.rangeStart = rangeStart;
    s.rangeEnd = rangeEnd;
    s.maxCount = maxCount;
    s.direction = directionChoice->GetSelection() == FilterSettings::fromStart
                      ? FilterSettings::fromStart
                      : FilterSettings::toEnd;
    s.detail = std::max(0, detailChoice->GetSelection());
    s.config = configCheck->GetValue();
    s.discrete = discreteCheck->GetValue();
    s.relays = relayCheck->GetValue();
    for (size_t g = 0; g < s.weights.size(); ++g)
        s.weights[g] = weightChecks[g]->GetValue();
    return s;
}

void MainFrame::setRangeStart(int32_t t) {
    rangeStart = t;
    showTime(t, startDay, startMonth, startYear, startHour, startMinute, startSecond);
}

void MainFrame::setRangeEnd(int32_t t) {
    rangeEnd = t;
    showTime(t, endDay, endMonth, endYear, endHour, endMinute, endSecond);
}

void MainFrame::setMaxCount(uint32_t n) {
    maxCount = n;
    countField->ChangeValue(wxString::Format(L"%lu", static_cast<unsigned long>(n)));
}

void MainFrame::readMaxCount() {
    // atol's result taken as the 32-bit count, as the field's seven characters allow.
    setMaxCount(static_cast<uint32_t>(leadingNumberOf(countField)));
}

void MainFrame::showRecordBounds() {
    firstRecordButton->SetLabel(wxString::FromUTF8(recordBoundText(events.minSeconds)));
    lastRecordButton->SetLabel(wxString::FromUTF8(recordBoundText(events.maxSeconds)));
    filterPane->GetPane()->Layout();
}

// ---- filter pane handlers (nothing is filtered until "Наложить фильтр") -------

namespace {
// The date the user picks, starting from t; nothing when cancelled.
std::optional<int32_t> pickDate(wxWindow* parent, int32_t t) {
    CalDialog dialog(parent, wxDateTime(static_cast<time_t>(t)));
    if (dialog.ShowModal() != wxID_YES) return std::nullopt;
    return static_cast<int32_t>(dialog.calendar->GetDate().GetTicks());
}
} // namespace

void MainFrame::onPickStart(wxCommandEvent&) {
    if (auto t = pickDate(this, rangeStart)) setRangeStart(*t);
}

void MainFrame::onFirstRecord(wxCommandEvent&) {
    setRangeStart(events.minSeconds);
}

void MainFrame::onPickEnd(wxCommandEvent&) {
    if (auto t = pickDate(this, rangeEnd)) setRangeEnd(*t);
}

void MainFrame::onLastRecord(wxCommandEvent&) {
    setRangeEnd(events.maxSeconds);
}

void MainFrame::onTimeEntered(wxCommandEvent&) {
    // Whichever field got the Enter, both ends take over what was typed.
    setRangeStart(withTimeOfDay(rangeStart, leadingNumberOf(startHour),
                                leadingNumberOf(startMinute), leadingNumberOf(startSecond)));
    setRangeEnd(withTimeOfDay(rangeEnd, leadingNumberOf(endHour), leadingNumberOf(endMinute),
                              leadingNumberOf(endSecond)));
}

void MainFrame::onCountEntered(wxCommandEvent&) {
    readMaxCount();
}

void MainFrame::onLastHour(wxCommandEvent&) {
    setRangeStart(quickRangeStart(rangeEnd, QuickRange::lastHour));
}

void MainFrame::onLastDay(wxCommandEvent&) {
    setRangeStart(quickRangeStart(rangeEnd, QuickRange::lastDay));
}

void MainFrame::onLastWeek(wxCommandEvent&) {
    setRangeStart(quickRangeStart(rangeEnd, QuickRange::lastWeek));
}

void MainFrame::onApplyFilter(wxCommandEvent&) {
    // No progress dialog here: the pages are quick, but a full memory at the
    // finest level still takes a moment.
    wxBusyCursor busy;
    applyFilter(nullptr);
}
