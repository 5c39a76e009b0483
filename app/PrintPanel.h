#pragma once
// Base of the four notebook pages: the print commands of the main window go to
// the page that is selected.
#include <wx/panel.h>

class PrintPanel : public wxPanel {
public:
    PrintPanel(wxWindow* parent, long style);

    virtual void printPage() = 0;
    virtual void pageSetup() = 0;
    virtual void previewPage() = 0;
};

// Holds a page's place in the notebook until that page's window is built: shows
// nothing and has nothing to print.
class PendingPage : public PrintPanel {
public:
    explicit PendingPage(wxWindow* parent) : PrintPanel(parent, wxTAB_TRAVERSAL) {}

    void printPage() override {}
    void pageSetup() override {}
    void previewPage() override {}
};
