#include "app/FilterPane.h"

#include <algorithm>
#include <optional>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/MainFrame.h"
#include "gui/CalDialog.h"
#include "gui/DialogLook.h"

namespace {
wxTextCtrl* timeField(wxWindow* parent, int id) {
    return makeField(parent, id, wxSize(24, 20), 2, wxTE_PROCESS_ENTER);
}

wxTextCtrl* dateField(wxWindow* parent, int width, int maxLength) {
    return makeField(parent, wxID_ANY, wxSize(width, 20), maxLength, wxTE_READONLY);
}

wxStaticText* label(wxWindow* parent, const wxString& text, wxSize size = wxDefaultSize) {
    return new wxStaticText(parent, wxID_ANY, text, wxDefaultPosition, size);
}

// One line of the range: "С"/"По", h:m:s, d/m/y, ">>" and the bound button.
// Fills fields with hour, minute, second, day, month, year.
wxSizer* rangeLine(wxWindow* parent, const wxString& caption, int captionWidth, int hourId,
                   int pickId, const wxString& boundText, int boundId, wxTextCtrl* fields[6],
                   wxButton** bound) {
    const int centred = wxALIGN_CENTER_VERTICAL;
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(label(parent, caption, wxSize(captionWidth, -1)), 0, centred);
    for (int i = 0; i < 3; ++i) {
        if (i > 0) line->Add(label(parent, L":"), 0, centred);
        fields[i] = timeField(parent, hourId + i);
        line->Add(fields[i], 0, centred);
    }
    line->AddSpacer(8);
    for (int i = 3; i < 6; ++i) {
        if (i > 3) line->Add(label(parent, L"/"), 0, centred);
        fields[i] = i == 5 ? dateField(parent, 40, 4) : dateField(parent, 24, 2);
        line->Add(fields[i], 0, centred);
    }
    for (int i = 0; i < 3; ++i)
        fields[i]->SetToolTip(L"Часы, минуты, секунды; Enter применяет время");
    for (int i = 3; i < 6; ++i)
        fields[i]->SetToolTip(L"День, месяц, год: выбираются кнопкой «>>»");
    auto* pick = new wxButton(parent, pickId, L">>");
    pick->SetToolTip(L"Выбрать дату в календаре");
    line->AddSpacer(4);
    line->Add(pick, 0, centred);
    line->AddSpacer(4);
    *bound = new wxButton(parent, boundId, boundText);
    line->Add(*bound, 1, centred);
    return line;
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

// The date the user picks, starting from t; nothing when cancelled.
std::optional<int32_t> pickDate(wxWindow* parent, int32_t t) {
    CalDialog dialog(parent, wxDateTime(static_cast<time_t>(t)));
    if (dialog.ShowModal() != wxID_YES) return std::nullopt;
    return static_cast<int32_t>(dialog.calendar->GetDate().GetTicks());
}
} // namespace

FilterPane::FilterPane(wxWindow* parent)
    // The window fits itself to the pane (MainFrame::fitFilterPane): the
    // toolkit's own fitting would fix the window's size to the pane's.
    : wxCollapsiblePane(parent, wxID_ANY, L"Фильтр событий", wxDefaultPosition, wxDefaultSize,
                        wxCP_DEFAULT_STYLE | wxCP_NO_TLW_RESIZE) {
    wxSizer* paneSizer = build();
    GetPane()->SetSizer(paneSizer);
    paneSizer->SetSizeHints(GetPane());
    setMaxCount(1000);

    // Nothing is filtered until «Наложить фильтр».
    Bind(wxEVT_BUTTON, &FilterPane::onPickStart, this, CmdPickStart);
    Bind(wxEVT_BUTTON, &FilterPane::onPickEnd, this, CmdPickEnd);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { setRangeStart(firstRecord_); }, CmdFirstRecord);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { setRangeEnd(lastRecord_); }, CmdLastRecord);
    const std::pair<int, QuickRange> quick[] = {{CmdLastHour, QuickRange::lastHour},
                                                {CmdLastDay, QuickRange::lastDay},
                                                {CmdLastWeek, QuickRange::lastWeek}};
    for (auto [id, range] : quick)
        Bind(
            wxEVT_BUTTON,
            [this, range = range](wxCommandEvent&) {
                setRangeStart(quickRangeStart(rangeEnd_, range));
            },
            id);
    Bind(wxEVT_TEXT_ENTER, &FilterPane::onTimeEntered, this, CmdStartHour, CmdEndSecond);
    Bind(
        wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { readMaxCount(); }, CmdMaxCount);
}

wxSizer* FilterPane::build() {
    wxWindow* pane = GetPane();
    const int centred = wxALIGN_CENTER_VERTICAL;

    // "Временной диапазон"
    auto* rangeBox = new wxStaticBoxSizer(wxVERTICAL, pane, L"Временной диапазон");
    wxWindow* range = rangeBox->GetStaticBox();
    wxTextCtrl* start[6];
    wxTextCtrl* end[6];
    // The captions are 16 pixels wide, or as wide as the toolkit's font needs.
    const int captionWidth =
        std::max({16, range->GetTextExtent(L"С").x, range->GetTextExtent(L"По").x});
    rangeBox->Add(rangeLine(range, L"С", captionWidth, CmdStartHour, CmdPickStart, L"Первая запись",
                            CmdFirstRecord, start, &firstRecordButton),
                  1, wxEXPAND);
    rangeBox->Add(rangeLine(range, L"По", captionWidth, CmdEndHour, CmdPickEnd, L"Последняя запись",
                            CmdLastRecord, end, &lastRecordButton),
                  1, wxEXPAND);
    startHour = start[0], startMinute = start[1], startSecond = start[2];
    startDay = start[3], startMonth = start[4], startYear = start[5];
    endHour = end[0], endMinute = end[1], endSecond = end[2];
    endDay = end[3], endMonth = end[4], endYear = end[5];

    auto* countLine = new wxBoxSizer(wxHORIZONTAL);
    countLine->Add(label(range, L"Показывать не более "), 0, centred);
    countField = makeField(range, CmdMaxCount, wxSize(60, 20), 7, wxTE_PROCESS_ENTER);
    countField->SetToolTip(L"Сколько записей журнала показывать; 0 — все");
    countLine->Add(countField, 0, centred);
    countLine->Add(label(range, L" записей"), 0, centred);
    const wxString directions[] = {L"с указанной даты", L"по указанную дату"};
    directionChoice = new wxComboBox(range, wxID_ANY, directions[1], wxDefaultPosition,
                                     wxDefaultSize, 2, directions, wxCB_READONLY | wxCB_DROPDOWN);
    directionChoice->SetSelection(1);
    directionChoice->SetToolTip(L"Считать записи от начала или от конца диапазона");
    countLine->Add(directionChoice, 0, centred);
    rangeBox->Add(countLine, 0, wxEXPAND);

    auto* quickLine = new wxBoxSizer(wxHORIZONTAL);
    lastHourButton = new wxButton(range, CmdLastHour, L"Последний час");
    lastDayButton = new wxButton(range, CmdLastDay, L"Последний день");
    lastWeekButton = new wxButton(range, CmdLastWeek, L"Последняя неделя");
    for (wxButton* b : {lastHourButton, lastDayButton, lastWeekButton})
        quickLine->Add(b, 1, centred);
    rangeBox->Add(quickLine, 0, wxEXPAND);

    // "Типы событий и уровень детализации"
    auto* kindBox = new wxStaticBoxSizer(wxVERTICAL, pane, L"Типы событий и уровень детализации");
    wxWindow* kinds = kindBox->GetStaticBox();
    const wxString levels[] = {
        L"1 - Максимальная детализация",
        L"2 - Только нагрузка на группы",
        L"3 - Только начала/концы циклов и режим работы",
        L"4 - Только факты перегрузок",
        L"5 - Только вкл/выкл, сбои датчиков силы и считывание данных",
    };
    detailChoice = new wxComboBox(kinds, wxID_ANY, levels[3], wxDefaultPosition, wxDefaultSize, 5,
                                  levels, wxCB_READONLY | wxCB_DROPDOWN);
    detailChoice->SetSelection(3);
    detailChoice->SetToolTip(L"Какие события журнала показывать: 1 — все, 5 — только главные");
    kindBox->Add(detailChoice);
    // The kinds and the weights side by side: one column of eight boxes
    // would make the pane too tall for a laptop's screen.
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    auto* kindColumn = new wxBoxSizer(wxVERTICAL);
    auto* weightColumn = new wxBoxSizer(wxVERTICAL);
    columns->Add(kindColumn);
    columns->AddSpacer(8);
    columns->Add(weightColumn);
    kindBox->AddSpacer(4);
    kindBox->Add(columns);
    auto check = [&](wxSizer* column, const wxString& text, bool ticked) {
        auto* box = new wxCheckBox(kinds, wxID_ANY, text);
        box->SetValue(ticked);
        column->Add(box);
        return box;
    };
    configCheck = check(kindColumn, L"Изменения конфигурации", true);
    discreteCheck = check(kindColumn, L"Состояние дискретных входов", false);
    relayCheck = check(kindColumn, L"Cостояние реле, режима работы и сирены", false); // Latin "C"
    configCheck->SetToolTip(L"Записи журнала настроек регистратора");
    discreteCheck->SetToolTip(L"Включения и выключения дискретных входов; на графике — полосы");
    relayCheck->SetToolTip(L"Реле, сирена и режим работы; на графике — полосы под кривыми");
    weightChecks[0] = check(weightColumn, L"Показ суммарного веса", true);
    for (int g = 1; g <= 4; ++g)
        weightChecks[g] = check(weightColumn, wxString::Format(L"Показ веса группы %d", g), true);
    for (wxCheckBox* box : weightChecks)
        box->SetToolTip(L"Кривая этой нагрузки на графике и её записи в журнале");

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddSpacer(8);
    // Room under the boxes, so that their frames are drawn whole above the
    // button.
    row->Add(rangeBox, 0, wxEXPAND | wxBOTTOM,
             4); // as tall as its neighbour: the first two lines stretch
    row->AddSpacer(8);
    row->Add(kindBox, 0, wxEXPAND | wxBOTTOM, 4);
    row->AddSpacer(8);

    auto* paneSizer = new wxBoxSizer(wxVERTICAL);
    paneSizer->Add(row);
    paneSizer->Add(new wxButton(pane, CmdApplyFilter, L"Наложить фильтр"), 0, wxEXPAND);

    return paneSizer;
}

void FilterPane::setRangeStart(int32_t t) {
    rangeStart_ = t;
    showTime(t, startDay, startMonth, startYear, startHour, startMinute, startSecond);
}

void FilterPane::setRangeEnd(int32_t t) {
    rangeEnd_ = t;
    showTime(t, endDay, endMonth, endYear, endHour, endMinute, endSecond);
}

void FilterPane::setMaxCount(uint32_t n) {
    maxCount_ = n;
    countField->ChangeValue(wxString::Format(L"%lu", static_cast<unsigned long>(n)));
}

void FilterPane::readMaxCount() {
    // atol's result taken as the 32-bit count, as the field's seven characters allow.
    setMaxCount(static_cast<uint32_t>(leadingNumberOf(countField)));
}

void FilterPane::showRecordBounds(int32_t first, int32_t last) {
    firstRecord_ = first;
    lastRecord_ = last;
    firstRecordButton->SetLabel(wxString::FromUTF8(recordBoundText(first)));
    lastRecordButton->SetLabel(wxString::FromUTF8(recordBoundText(last)));
    GetPane()->Layout();
}

FilterSettings FilterPane::take() {
    readMaxCount();
    setRangeStart(rangeStart_);
    setRangeEnd(rangeEnd_);
    return settings();
}

FilterSettings FilterPane::settings() const {
    FilterSettings s;
    s.rangeStart = rangeStart_;
    s.rangeEnd = rangeEnd_;
    s.maxCount = maxCount_;
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

void FilterPane::show(const FilterSettings& f, bool startGiven, bool endGiven) {
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

std::array<bool, 5> FilterPane::tickedWeights() const {
    std::array<bool, 5> ticked{};
    for (size_t i = 0; i < ticked.size(); ++i)
        ticked[i] = weightChecks[i]->GetValue();
    return ticked;
}

void FilterPane::onPickStart(wxCommandEvent&) {
    if (auto t = pickDate(this, rangeStart_)) setRangeStart(*t);
}

void FilterPane::onPickEnd(wxCommandEvent&) {
    if (auto t = pickDate(this, rangeEnd_)) setRangeEnd(*t);
}

void FilterPane::onTimeEntered(wxCommandEvent&) {
    // Whichever field got the Enter, both ends take over what was typed.
    setRangeStart(withTimeOfDay(rangeStart_, leadingNumberOf(startHour),
                                leadingNumberOf(startMinute), leadingNumberOf(startSecond)));
    setRangeEnd(withTimeOfDay(rangeEnd_, leadingNumberOf(endHour), leadingNumberOf(endMinute),
                              leadingNumberOf(endSecond)));
}
