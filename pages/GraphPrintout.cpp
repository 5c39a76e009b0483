#include "pages/GraphPrintout.h"

#include <wx/cmndata.h>

#include "gui/PrintSettings.h"
#include "gui/Printing.h"
#include "gui/WxCanvas.h"
#include "pages/GraphWindow.h"
#include "views/GraphPrint.h"

GraphPrintout::GraphPrintout(GraphDrawWindow* source) : wxPrintout(L"График"), source(source) {}

bool GraphPrintout::HasPage(int page) {
    return hasGraphPage(page);
}

void GraphPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

bool GraphPrintout::OnPrintPage(int) {
    VectorPrintScope scope(*this);
    wxDC* dc = scope.dc();
    if (!dc) return false;
    int width = 0, height = 0;
    GetPageSizePixels(&width, &height);
    dc->GetSize(&width, &height);
    PageSetupMm setup;
    if (const wxPageSetupDialogData* data = sharedPrintSettings().pageSetupData) {
        setup.paperWidth = data->GetPaperSize().x;
        setup.paperHeight = data->GetPaperSize().y;
        setup.left = data->GetMarginTopLeft().x;
        setup.top = data->GetMarginTopLeft().y;
        setup.right = data->GetMarginBottomRight().x;
        setup.bottom = data->GetMarginBottomRight().y;
    }
    GraphDraw& graph = source->graph;
    preparePrintedGraph(graph, width, height, setup);
    graph.minFontPoints = 0; // the page's own sizes, as on paper
    source->takeSources();
    WxCanvas canvas(*dc);
    graph.paint(canvas);
    return true;
}
