#include "app/FleetDialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "common/Format.h"
#include "common/LocalTime.h"

namespace {

wxString shownDate(const std::string& iso) {
    if (iso.size() != 10) return iso.empty() ? wxString(L"—") : wxString::FromUTF8(iso);
    return wxString::FromUTF8(iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4));
}

// The highest used share to date of the reading's columns and whose it is.
wxString usedText(const Reading& r) {
    if (!r.countersWritten || r.columns.empty()) return L"нет данных";
    const ReadingColumn& crane = r.columns.back();
    size_t most = r.columns.size() - 1;
    for (size_t c = 0; c + 1 < r.columns.size(); ++c)
        if (r.columns[c].usedToDatePercent > r.columns[most].usedToDatePercent) most = c;
    wxString text = wxString::FromUTF8(fixedDecimal(crane.usedToDatePercent, 1)) + L" %";
    if (most + 1 < r.columns.size())
        text += wxString::Format(L" (гр. %zu: ", most + 1) +
                wxString::FromUTF8(fixedDecimal(r.columns[most].usedToDatePercent, 1)) + L" %)";
    return text;
}

wxString exhaustionText(const Reading& r) {
    if (!r.countersWritten || r.columns.empty()) return L"нет данных";
    // The earliest of the columns: the resource that runs out first.
    std::string first;
    for (const ReadingColumn& c : r.columns)
        if (!c.exhaustionDate.empty() && (first.empty() || c.exhaustionDate < first))
            first = c.exhaustionDate;
    return shownDate(first);
}

} // namespace

FleetDialog::FleetDialog(wxWindow* parent, std::vector<FleetRow> rows, const wxString& folder,
                         const wxString& note)
    : wxDialog(parent, wxID_ANY, L"Парк кранов", wxDefaultPosition, wxSize(1200, 460),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      rows_(std::move(rows)) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    wxString heading = L"Архив считываний: " + folder;
    if (!note.empty())
        heading += L"\n" + note;
    else if (rows_.empty())
        heading += L"\nВ архиве нет считываний. Образы попадают в него командой «В архив» меню "
                   L"«Файл» и после каждого чтения регистратора («Считать»).";
    auto* text = new wxStaticText(this, wxID_ANY, heading);
    sizer->Add(text, 0, wxALL | wxEXPAND, 8);

    list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(1180, 300),
                          wxLC_REPORT | wxLC_SINGLE_SEL);
    const std::pair<const wchar_t*, int> columns[] = {{L"Регистратор", 90},
                                                      {L"Считываний", 80},
                                                      {L"Последнее считывание", 140},
                                                      {L"Израсходовано на дату", 170},
                                                      {L"Исчерпание ресурса", 130},
                                                      {L"Конец срока службы", 130},
                                                      {L"Отметки", 400}};
    for (const auto& [title, width] : columns)
        list->AppendColumn(title, wxLIST_FORMAT_LEFT, width);
    for (size_t i = 0; i < rows_.size(); ++i) {
        const FleetRow& row = rows_[i];
        const Reading& r = row.latest;
        const long item = list->InsertItem(long(i), wxString::FromUTF8(r.serial));
        list->SetItem(item, 1, wxString::Format(L"%zu", row.readings));
        list->SetItem(item, 2,
                      wxString::FromUTF8(localTimeText(r.lastEventSeconds, "%d/%m/%Y %H:%M")));
        list->SetItem(item, 3, usedText(r));
        list->SetItem(item, 4, exhaustionText(r));
        list->SetItem(item, 5, shownDate(r.serviceLifeEnd));
        wxString flags;
        for (const std::string& f : row.flagTexts)
            flags += (flags.empty() ? L"" : L"; ") + wxString::FromUTF8(f);
        list->SetItem(item, 6, flags.empty() ? wxString(L"—") : flags);
        if (!row.flagTexts.empty()) list->SetItemTextColour(item, wxColour(160, 0, 0));
    }
    // Every heading and value whole; the flags of the row chosen are also
    // spelt out under the list, one a line.
    for (int c = 0; c < list->GetColumnCount(); ++c) {
        list->SetColumnWidth(c, wxLIST_AUTOSIZE);
        const int content = rows_.empty() ? 0 : list->GetColumnWidth(c);
        list->SetColumnWidth(c, wxLIST_AUTOSIZE_USEHEADER);
        list->SetColumnWidth(c, std::max(content, list->GetColumnWidth(c)));
    }
    sizer->Add(list, 1, wxLEFT | wxRIGHT | wxEXPAND, 8);
    details = new wxStaticText(this, wxID_ANY, wxString());
    sizer->Add(details, 0, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, 8);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* open = new wxButton(this, wxID_OK, L"Открыть последний образ");
    auto* close = new wxButton(this, wxID_CANCEL, L"Закрыть");
    buttons->Add(open, 0, wxRIGHT, 8);
    buttons->Add(close);
    sizer->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 8);
    open->SetDefault();
    open->Enable(!rows_.empty());
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { EndModal(wxID_OK); });
    list->Bind(wxEVT_LIST_ITEM_SELECTED, [this, open](wxListEvent&) {
        open->Enable();
        showDetails();
    });
    list->Bind(wxEVT_LIST_ITEM_DESELECTED, [open](wxListEvent&) { open->Disable(); });
    SetSizer(sizer);
    if (!rows_.empty())
        list->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                           wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    showDetails();
    SetMinSize(wxSize(600, 300));
    // Within the screen's room.
    wxSize size = GetSize();
    size.DecTo(wxDisplay(this).GetClientArea().GetSize());
    SetSize(size);
    Layout();
    CentreOnParent();
    list->SetFocus();
}

void FleetDialog::showDetails() {
    wxString text;
    if (const FleetRow* row = chosen()) {
        text = L"Регистратор № " + wxString::FromUTF8(row->latest.serial) + L": ";
        if (row->flagTexts.empty()) text += L"отметок нет";
        for (const std::string& f : row->flagTexts)
            text += L"\n  • " + wxString::FromUTF8(f);
    }
    details->SetLabel(text);
    Layout();
}

const FleetRow* FleetDialog::chosen() const {
    const long item = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return item >= 0 && size_t(item) < rows_.size() ? &rows_[size_t(item)] : nullptr;
}
