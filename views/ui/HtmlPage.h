#pragma once
// A notebook page that shows one generated HTML document and prints that same
// document: what is printed or previewed is always what the view shows, its
// preformatted text wrapped to the paper's width.
#include <string>

#include <wx/html/htmprint.h>

#include "app/PrintPanel.h"

class wxHtmlWindow;

class HtmlPage : public PrintPanel {
public:
    // printerName titles the print job and the preview.
    HtmlPage(wxWindow* parent, const wxString& printerName);

    void printPage() override;
    void pageSetup() override;
    void previewPage() override;

    wxHtmlWindow* htmlView;
    wxString html;    // the document on screen
    wxString printed; // the same, as printed (wrapPreformatted)
    // Keeps its own print and page settings, apart from the application's.
    wxHtmlEasyPrinting printer;

protected:
    // Replaces the document on screen and the one printed.
    void show(const std::string& utf8);
};
