#include "views/ui/HtmlPage.h"

#include <wx/html/htmlwin.h>
#include <wx/sizer.h>

#include "common/Html.h"

HtmlPage::HtmlPage(wxWindow* parent, const wxString& printerName)
    : PrintPanel(parent, wxTAB_TRAVERSAL), printer(printerName, nullptr) {
    // Made larger than its scroll bars: GTK complains when a view is given
    // less room than they need, and the notebook sizes the page later anyway.
    htmlView = new wxHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxSize(100, 100),
                                wxHW_SCROLLBAR_AUTO, L"htmlWindow");
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(htmlView, 1, wxEXPAND);
    SetSizer(sizer);
}

void HtmlPage::printPage() {
    printer.PrintText(printed);
}

void HtmlPage::pageSetup() {
    printer.PageSetup();
}

void HtmlPage::previewPage() {
    printer.PreviewText(printed);
}

void HtmlPage::show(const std::string& utf8) {
    html = wxString::FromUTF8(utf8);
    printed = wxString::FromUTF8(wrapPreformatted(utf8));
    htmlView->SetPage(html);
}
