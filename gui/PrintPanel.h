#pragma once
// Base of the four notebook pages: the print commands of the main window go to
// the page that is selected.
#include <wx/panel.h>

class PrintPanel : public wxPanel {
public:
    PrintPanel(wxWindow* parent, long style);

    // false for a page with no printed form: the print commands are
    // disabled while it is selected.
    virtual bool printable() const { return true; }
    virtual void printPage() = 0;
    virtual void pageSetup() = 0;
    virtual void previewPage() = 0;
    // Prints the page, as printPage does with all pages, into a PDF file at
    // path without a dialog. Returns an empty string or the reason of the
    // failure (a page that prints nothing refuses).
    virtual wxString printPdf(const wxString& path);
};
