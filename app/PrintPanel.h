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
