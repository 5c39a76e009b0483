#include "app/AboutBox.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/statline.h>

#include "common/Html.h"
#include "views/SharedTexts.h"

namespace {
std::string aboutBody() {
    return "</head><body><center>"
           "<img src=\"bmps/logo.200.png\" width=200 height=160><br>"
           "<font size=+2><b>Грувик2</b></font><br>"
           "версия 1.0.0<br><br>"
           "Программа считывания и анализа данных регистратора параметров<br>"
           "ОГП серии РАНД с блоком логики МИРТ<br><br>"
           "<font size=-1>" +
           escapeHtml(noticeLine) + "</font></center></body></html>";
}
} // namespace

void showAboutBox(wxWindow* parent) {
    wxDialog dialog(parent, wxID_ANY, L"О программе");
    auto* view = new wxHtmlWindow(&dialog, wxID_ANY, wxDefaultPosition, wxSize(400, 160),
                                  wxHW_SCROLLBAR_NEVER, L"htmlWindow");
    view->SetBorders(0);
    view->SetPage(wxString::FromUTF8("<html><head>" + htmlCharsetMeta + aboutBody()));
    const wxHtmlContainerCell* content = view->GetInternalRepresentation();
    view->SetInitialSize(wxSize(content->GetWidth(), content->GetHeight()));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(view, 1, wxALL, 10);
    sizer->Add(new wxStaticLine(&dialog, wxID_ANY), 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    auto* ok = new wxButton(&dialog, wxID_OK, L"OK");
    ok->SetDefault();
    sizer->Add(ok, 0, wxALIGN_RIGHT | wxALL, 15);
    dialog.SetSizerAndFit(sizer);
    dialog.ShowModal();
}
