#include "gui/HtmlPage.h"

#include <wx/generic/prntdlgg.h>
#include <wx/html/htmlwin.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/printdlg.h>
#include <wx/sizer.h>

#include "common/Html.h"
#include "gui/HtmlPrintout.h"
#include "gui/Printing.h"

HtmlPrinter::HtmlPrinter(const wxString& name) : name(name) {
    printData.SetPaperId(wxPAPER_A4);
    pageSetupData.SetPrintData(printData);
    pageSetupData.EnableMargins(true);
    pageSetupData.SetMarginTopLeft(wxPoint(25, 25));
    pageSetupData.SetMarginBottomRight(wxPoint(25, 25));
}

std::unique_ptr<HtmlPrintout> HtmlPrinter::printout(const wxString& html) const {
    return std::make_unique<HtmlPrintout>(name, html, pageSetupData, furniture);
}

wxString HtmlPrinter::print(const wxString& html) {
    auto p = printout(html);
    return printWithDialog(nullptr, *p, printData);
}

void HtmlPrinter::pageSetup() {
    pageSetupData.SetPrintData(printData);
    // The toolkit's own set-up on GTK has no margin fields; the generic one has.
    wxGenericPageSetupDialog dialog(nullptr, &pageSetupData);
    if (dialog.ShowModal() == wxID_OK) {
        printData = dialog.GetPageSetupDialogData().GetPrintData();
        pageSetupData = dialog.GetPageSetupDialogData();
    }
}

void HtmlPrinter::preview(const wxString& html) {
    wxPrintDialogData data(printData);
    data.SetAllPages(true);
    showPreviewFrame(new wxPrintPreview(printout(html).release(), printout(html).release(), &data),
                     name + wxGetTranslation(L" Preview"));
}

wxString HtmlPrinter::printPdf(const wxString& html, const wxString& path) {
    auto p = printout(html);
    return printToPdf(*p, printData, path);
}

HtmlPrintPanel::HtmlPrintPanel(wxWindow* parent, const wxString& printerName)
    : PrintPanel(parent, wxTAB_TRAVERSAL), printer(printerName) {}

void HtmlPrintPanel::printPage() {
    if (auto document = printedDocument(true))
        if (const wxString error = printer.print(*document); !error.empty())
            wxLogError(L"%s", error);
}

void HtmlPrintPanel::pageSetup() {
    printer.pageSetup();
}

void HtmlPrintPanel::previewPage() {
    if (auto document = printedDocument(true)) printer.preview(*document);
}

wxString HtmlPrintPanel::printPdf(const wxString& path) {
    return printer.printPdf(printedDocument(false).value_or(wxString()), path);
}

HtmlPage::HtmlPage(wxWindow* parent, const wxString& printerName)
    : HtmlPrintPanel(parent, printerName) {
    // Made larger than its scroll bars: GTK complains when a view is given
    // less room than they need, and the notebook sizes the page later anyway.
    htmlView = new wxHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxSize(100, 100),
                                wxHW_SCROLLBAR_AUTO, L"htmlWindow");
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(htmlView, 1, wxEXPAND);
    SetSizer(sizer);
}

void HtmlPage::show(const std::string& utf8) {
    html = wxString::FromUTF8(utf8);
    printed = wxString::FromUTF8(wrapPreformatted(utf8));
    htmlView->SetPage(html);
}
