#pragma once
// How a printed page of the graph is laid out: the printer surface's size in
// pixels and margins from the page set-up in millimetres. One page only.
#include "views/GraphDraw.h"

struct PageSetupMm {
    int paperWidth = 210, paperHeight = 297;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Stores the surface size and the margins converted to its pixels. The paper
// is taken turned when the surface is landscape and the paper upright (or the
// other way round). A paper dimension of 0 leaves the margins of that
// direction at 0.
void preparePrintedGraph(GraphDraw& draw, int width, int height, const PageSetupMm& setup);

inline bool hasGraphPage(int page) {
    return page < 2;
}
