#pragma once
// The graph on one printed page: the page's drawing painted at the printer's
// resolution with the margins of the application's page set-up.
#include <wx/print.h>

class GraphDrawWindow;

class GraphPrintout : public wxPrintout {
public:
    explicit GraphPrintout(GraphDrawWindow* source);

    bool HasPage(int page) override;
    // One page: the preview and the print dialog offer no others.
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool OnPrintPage(int page) override;

private:
    GraphDrawWindow* source; // not owned; outlives the printout
};
