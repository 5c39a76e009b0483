#pragma once
// Notebook pages that print HTML. HtmlPage shows one generated document and
// prints that same document: what is printed or previewed is always what the
// view shows, its preformatted text wrapped to the paper's width.
#include <memory>
#include <optional>
#include <string>

#include <wx/cmndata.h>

#include "gui/PrintPanel.h"

class HtmlPrintout;
class wxHtmlWindow;

// The page's HTML printing: its own print and page settings (A4, margins of
// 25 mm), the print dialog, the page set-up, the preview and the dialog-less
// PDF file, all through the same printout.
class HtmlPrinter {
public:
    // name titles the print job and the preview.
    explicit HtmlPrinter(const wxString& name);

    std::unique_ptr<HtmlPrintout> printout(const wxString& html) const;
    // Prints with the print dialog (printWithDialog); all pages unless the
    // user chooses others. Returns an empty string or the failure's message.
    wxString print(const wxString& html);
    void pageSetup();
    void preview(const wxString& html);
    // Returns an empty string or the reason of the failure.
    wxString printPdf(const wxString& html, const wxString& path);

    wxString name;
    // What the line at the top of every printed page says beside the page's
    // number; no line when empty.
    wxString furniture;
    wxPrintData printData;
    wxPageSetupDialogData pageSetupData;
};

// A notebook page that prints an HTML document with its own printer; the
// page gives the document when a print command needs it.
class HtmlPrintPanel : public PrintPanel {
public:
    // printerName titles the print job and the preview.
    HtmlPrintPanel(wxWindow* parent, const wxString& printerName);

    void printPage() override;
    void pageSetup() override;
    void previewPage() override;
    wxString printPdf(const wxString& path) override;

    // Keeps its own print and page settings, apart from the application's.
    HtmlPrinter printer;

protected:
    // The document as printed; nothing when the user cancelled making it.
    // interactive is false for the dialog-less PDF file.
    virtual std::optional<wxString> printedDocument(bool interactive) = 0;
};

class HtmlPage : public HtmlPrintPanel {
public:
    // printerName titles the print job and the preview.
    HtmlPage(wxWindow* parent, const wxString& printerName);

    wxHtmlWindow* htmlView;
    wxString html;    // the document on screen
    wxString printed; // the same, as printed (wrapPreformatted)

protected:
    // Replaces the document on screen and the one printed.
    void show(const std::string& utf8);
    std::optional<wxString> printedDocument(bool) override { return printed; }
};
