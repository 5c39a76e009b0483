#include "pages/SetupWindow.h"

#include <algorithm>
#include <limits>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/log.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/CalDialog.h"
#include "gui/DialogLook.h"
#include "gui/Pictures.h"
#include "image/WritableView.h"
#include "views/RecorderSession.h"

namespace {

const int centred = wxALIGN_CENTER_VERTICAL;

wxStaticText* label(wxWindow* parent, const wxString& text) {
    return new wxStaticText(parent, wxID_ANY, text);
}

wxString fromUtf8(const std::string& s) {
    return wxString::FromUTF8(s.data(), s.size());
}

std::string utf8Of(const wxTextCtrl* field) {
    return std::string(field->GetValue().utf8_str());
}

// Day / month / year of one date with its ">>" button; fills fields.
wxSizer* dateRow(wxWindow* parent, int pickId, wxTextCtrl* fields[3]) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    for (int i = 0; i < 3; ++i) {
        if (i > 0) row->Add(label(parent, L"/"), 0, centred);
        fields[i] = i == 2 ? makeField(parent, wxID_ANY, wxSize(40, 20), 4, wxTE_READONLY)
                           : makeField(parent, wxID_ANY, wxSize(24, 20), 2, wxTE_READONLY);
        fields[i]->SetToolTip(L"День, месяц, год: выбираются кнопкой «>>»");
        row->Add(fields[i], 0, centred);
    }
    auto* pick =
        new wxButton(parent, pickId, L">>", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    pick->SetToolTip(L"Выбрать дату в календаре; она сразу вносится в образ памяти");
    // Room around the arrows: an exactly fitted button looks cramped.
    pick->SetMinSize(pick->GetBestSize() + wxSize(12, 0));
    row->AddSpacer(4);
    row->Add(pick, 0, centred);
    return row;
}

void showDate(const DateFields& date, wxTextCtrl* day, wxTextCtrl* month, wxTextCtrl* year) {
    day->ChangeValue(fromUtf8(date.day));
    month->ChangeValue(fromUtf8(date.month));
    year->ChangeValue(fromUtf8(date.year));
}

// The days whose calendar seconds fit the recorder's signed 32 bits in any
// time zone.
const wxDateTime FirstStorableDay(1, wxDateTime::Jan, 1902);
const wxDateTime LastStorableDay(31, wxDateTime::Dec, 2037);

} // namespace

SetupWindow::SetupWindow(wxWindow* parent, RecorderSession& session, PageActions& actions)
    : PrintPanel(parent, wxTAB_TRAVERSAL), session_(session), actions_(actions) {
    // The fields scroll when the window is smaller than they need (a laptop's
    // screen with the filter pane open); the page asks for little room itself.
    auto* area = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                      wxVSCROLL | wxHSCROLL | wxTAB_TRAVERSAL);
    area->SetMinSize(wxSize(160, 120));
    auto* top = new wxFlexGridSizer(2, 4, 2, 8);
    wxTextCtrl* install[3];
    wxTextCtrl* commission[3];
    top->Add(label(area, L"Дата установки регистратора:"), 0, centred);
    top->Add(dateRow(area, CmdPickInstallation, install), 0, centred);
    top->Add(label(area, L"Срок службы крана, лет:"), 0, centred);
    lifeField = makeField(area, wxID_ANY, wxSize(88, 20), 2, 0);
    lifeField->SetToolTip(L"Срок службы крана по паспорту, лет (до 255)");
    top->Add(lifeField, 0, centred);
    top->Add(label(area, L"Дата ввода крана в эксплуатацию:"), 0, centred);
    top->Add(dateRow(area, CmdPickCommissioning, commission), 0, centred);
    top->Add(label(area, L"Паспортная группа классификации:"), 0, centred);
    wxArrayString groups;
    for (int g = 1; g <= 8; ++g)
        groups.Add(wxString::Format(L"A%d", g));
    groupChoice = new wxComboBox(area, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(88, 20),
                                 groups, wxCB_READONLY | wxCB_DROPDOWN);
    wxSize groupSize = groupChoice->GetBestSize();
    groupSize.IncTo(wxSize(88, 20));
    groupChoice->SetInitialSize(groupSize);
    groupChoice->SetToolTip(L"Группа классификации крана по паспорту");
    top->Add(groupChoice, 0, centred);
    installDay = install[0], installMonth = install[1], installYear = install[2];
    commissionDay = commission[0], commissionMonth = commission[1], commissionYear = commission[2];

    textField = new wxTextCtrl(area, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(600, 120),
                               wxTE_MULTILINE | wxHSCROLL);
    // GTK keeps no limit on a multi-line field: keepTextLimit does.
    textField->Bind(wxEVT_TEXT, &SetupWindow::keepTextLimit, this);
    textField->SetToolTip(L"Текст в \"шапке\" протокола, до 2111 знаков");
    lifeField->Bind(wxEVT_TEXT, &SetupWindow::fieldEdited, this);
    groupChoice->Bind(wxEVT_COMBOBOX, &SetupWindow::fieldEdited, this);

    auto* names = new wxFlexGridSizer(6, 2, 2, 8);
    for (unsigned i = 0; i < PassportNameFields; ++i) {
        names->Add(label(area, wxString::Format(L"Название механизма %u:", i + 1)), 0, centred);
        nameFields[i] =
            makeField(area, wxID_ANY, wxSize(480, 20), int(WritableView::MaxNameChars), 0);
        names->Add(nameFields[i], 0, centred);
        nameFields[i]->Bind(wxEVT_TEXT, &SetupWindow::fieldEdited, this);
        nameFields[i]->SetToolTip(L"Название механизма в протоколе и на графике, до 31 знака");
    }

    auto* update = new wxFlexGridSizer(1, 2, 8, 16);
    update->Add(
        new wxBitmapButton(area, CmdUpdateRecorder, loadPicture(L"bmps/greencheck.32.png", 32, 32)),
        0, centred);
    update->Add(fontLabel(area, L"Обновить информацию в РП", dialogFont(14)), 0, centred);

    const int item = wxALIGN_CENTER_HORIZONTAL | wxALIGN_CENTER_VERTICAL;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(top, 0, item);
    sizer->Add(128, 16, 0, item);
    sizer->Add(label(area, L"Блок текстовой информации для печати в \"шапке\" протокола"), 0, item);
    sizer->Add(textField, 0, item);
    sizer->Add(names, 0, item);
    sizer->Add(128, 16, 0, item);
    sizer->Add(update, 0, item);
    area->SetSizer(sizer);
    area->SetScrollRate(8, 8);
    auto* whole = new wxBoxSizer(wxVERTICAL);
    whole->Add(area, 1, wxEXPAND);
    SetSizer(whole);
}

void SetupWindow::keepTextLimit(wxCommandEvent& event) {
    // What was just typed or pasted loses its end, as in a single-line field
    // with a maximum length; storing checks the length again.
    const long excess = long(textField->GetValue().length()) - long(WritableView::MaxTextChars);
    if (excess > 0) {
        const long end = textField->GetInsertionPoint();
        textField->Remove(std::max(0L, end - excess), end);
    }
    fieldEdited(event);
}

void SetupWindow::fieldEdited(wxCommandEvent&) {
    // Nothing to edit while no passport is shown.
    if (filling_ || session_.events.empty()) return;
    typed_ = true;
    actions_.imageEdited();
}

void SetupWindow::showHeader() {
    if (typed_) return;
    filling_ = true;
    struct Filled {
        bool& filling;
        ~Filled() { filling = false; }
    } filled{filling_};
    if (session_.events.empty()) {
        // No passport to show (an erased or refused image): none, rather than
        // the one of the image shown before.
        for (wxTextCtrl* field : {installDay, installMonth, installYear, commissionDay,
                                  commissionMonth, commissionYear, lifeField, textField})
            field->ChangeValue(wxEmptyString);
        for (wxTextCtrl* field : nameFields)
            field->ChangeValue(wxEmptyString);
        groupChoice->SetSelection(wxNOT_FOUND);
        groupChoice->ChangeValue(wxEmptyString);
        return;
    }
    const PassportDisplay d = passportDisplayOf(session_.image);
    showDate(d.installation, installDay, installMonth, installYear);
    showDate(d.commissioning, commissionDay, commissionMonth, commissionYear);
    lifeField->ChangeValue(fromUtf8(d.life));
    groupChoice->SetSelection(d.groupIndex);
    // GTK keeps the entry's text when the selection goes.
    if (d.groupIndex < 0) groupChoice->ChangeValue(wxEmptyString);
    textField->ChangeValue(fromUtf8(d.text));
    for (unsigned i = 0; i < PassportNameFields; ++i)
        nameFields[i]->ChangeValue(fromUtf8(d.names[i]));
}

void SetupWindow::pickDate(bool installation) {
    const PassportView passport(session_.image);
    const int32_t stored = installation ? passport.installation() : passport.commissioning();
    CalDialog dialog(this, wxDateTime(static_cast<time_t>(stored)));
    // A later or earlier day would not fit the recorder's 32-bit seconds.
    dialog.calendar->SetDateRange(FirstStorableDay, LastStorableDay);
    if (dialog.ShowModal() != wxID_YES) return;

    const wxDateTime date = dialog.calendar->GetDate();
    const time_t ticks = date.IsValid() ? date.GetTicks() : time_t(-1);
    if (ticks < std::numeric_limits<int32_t>::min() || ticks > std::numeric_limits<int32_t>::max())
        return;
    const auto t = static_cast<int32_t>(ticks);
    WritableView view(session_.image);
    if (installation) {
        view.setInstallation(t);
        showDate(dateFieldsOf(t), installDay, installMonth, installYear);
    } else {
        view.setCommissioning(t);
        showDate(dateFieldsOf(t), commissionDay, commissionMonth, commissionYear);
    }
    actions_.imageEdited();
}

void SetupWindow::pickInstallationDate(wxCommandEvent&) {
    pickDate(true);
}

void SetupWindow::pickCommissioningDate(wxCommandEvent&) {
    pickDate(false);
}

bool SetupWindow::storeTypedEdits() {
    PassportEdit edit;
    edit.life = utf8Of(lifeField);
    edit.groupIndex = groupChoice->GetSelection();
    edit.text = utf8Of(textField);
    for (unsigned i = 0; i < PassportNameFields; ++i)
        edit.names[i] = utf8Of(nameFields[i]);

    if (auto refusal = storePassport(session_.image, edit)) {
        wxLogError(L"%s", fromUtf8(refusal->message));
        // The user finds the character marked in its field.
        wxTextCtrl* field = refusal->field < 0 ? textField : nameFields[size_t(refusal->field)];
        field->SetFocus();
        field->SetSelection(long(refusal->from), long(refusal->to));
        return false;
    }
    typed_ = false;
    return true;
}

void SetupWindow::updateRecorder(wxCommandEvent&) {
    if (!storeTypedEdits()) return;
    actions_.imageEdited();
    // What the analysis refuses is not written, as the command line's write
    // refuses it: the recorder would hold a passport the program cannot read.
    if (!actions_.analyse()) {
        wxLogError(L"%s", L"Запись в регистратор не выполнена: анализ образа не завершен");
        return;
    }
    actions_.writeToRecorder();
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(SetupWindow, PrintPanel)
    EVT_BUTTON(CmdPickInstallation, SetupWindow::pickInstallationDate)
    EVT_BUTTON(CmdPickCommissioning, SetupWindow::pickCommissioningDate)
    EVT_BUTTON(CmdUpdateRecorder, SetupWindow::updateRecorder)
wxEND_EVENT_TABLE()
