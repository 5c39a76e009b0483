#include "gui/CalDialog.h"

#include <ctime>
#include <cwchar>

#include <wx/bmpbuttn.h>
#include <wx/choice.h>
#include <wx/sizer.h>

#include "gui/DialogLook.h"

namespace {
constexpr int CalendarId = 500;
}

CalDialog::CalDialog(wxWindow* parent, const wxDateTime& date)
    : wxDialog(parent, wxID_ANY, L"Выберите дату", wxDefaultPosition, wxSize(360, 240)) {
    const wxFont font = dialogFont(12);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    calendar = new wxGenericCalendarCtrl(this, CalendarId, date, wxDefaultPosition, wxDefaultSize,
                                         wxCAL_MONDAY_FIRST | wxCAL_SHOW_HOLIDAYS | wxRAISED_BORDER,
                                         L"CalendarCtrl");
    sizer->Add(calendar, 0, wxALIGN_CENTER_HORIZONTAL);
    // The month list takes the names as they stand alone ("январь"), not in
    // the form they take in a date ("января").
    if (auto* months = dynamic_cast<wxChoice*>(calendar->GetMonthControl()))
        for (unsigned m = 0; m < months->GetCount() && m < 12; ++m) {
            struct tm t {};
            t.tm_mon = int(m);
            t.tm_mday = 1;
            t.tm_year = 100;
            wchar_t name[64];
            if (std::wcsftime(name, 64, L"%OB", &t) > 0) months->SetString(m, name);
        }

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    wxBitmapButton* choose =
        addPictureButton(row, this, wxID_YES, L"bmps/greencheck.32.png", L"Выбрать дату", font);
    row->Add(32, 32, 0, wxALIGN_CENTER_VERTICAL);
    addPictureButton(row, this, wxID_NO, L"bmps/redcross.32.png", L"Отменить выбор", font);
    sizer->Add(row, 1, wxALIGN_RIGHT);
    choose->SetDefault();
    SetEscapeId(wxID_NO); // Esc and the close box cancel the choice

    keepSizeOrFit(this, sizer);
}

void CalDialog::onAnswer(wxCommandEvent& event) {
    EndModal(event.GetId());
}

void CalDialog::onDayDoubleClick(wxCalendarEvent&) {
    EndModal(wxID_YES);
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(CalDialog, wxDialog)
    EVT_BUTTON(wxID_YES, CalDialog::onAnswer)
    EVT_BUTTON(wxID_NO, CalDialog::onAnswer)
    EVT_CALENDAR(CalendarId, CalDialog::onDayDoubleClick)
wxEND_EVENT_TABLE()
