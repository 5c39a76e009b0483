#include "views/GraphPrint.h"

#include <utility>

void preparePrintedGraph(GraphDraw& draw, int width, int height, const PageSetupMm& setup) {
    // The set-up names the sheet upright; a landscape page has it turned.
    PageSetupMm s = setup;
    if ((width > height) != (s.paperWidth > s.paperHeight)) std::swap(s.paperWidth, s.paperHeight);
    draw.width = width;
    draw.height = height;
    auto scale = [](int mm, int pixels, int paper) {
        return paper > 0 ? int(int64_t(mm) * pixels / paper) : 0;
    };
    draw.marginLeft = scale(s.left, width, s.paperWidth);
    draw.marginTop = scale(s.top, height, s.paperHeight);
    draw.marginRight = scale(s.right, width, s.paperWidth);
    draw.marginBottom = scale(s.bottom, height, s.paperHeight);
}
