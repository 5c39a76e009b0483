#include "gui/HtmlPrintout.h"

#include <algorithm>
#include <climits>
#include <string>
#include <typeinfo>

#include <wx/cmndata.h>
#include <wx/html/htmlcell.h>
#include <wx/html/winpars.h>

#include "gui/Printing.h"

namespace {
// The screen resolution that HTML pixel sizes refer to.
constexpr double typicalScreenDpi = 96.0;

// The toolkit's table cell has no class information of its own (it reports
// its base's) and no public header: it is known by its C++ type's name.
bool isTable(const wxHtmlCell* cell) {
    return cell && std::string(typeid(*cell).name()).find("wxHtmlTableCell") != std::string::npos;
}

// The table that cell is or wraps alone (an aligned table sits in a container
// of its own), or null.
const wxHtmlContainerCell* tableIn(const wxHtmlCell* cell) {
    while (cell) {
        if (isTable(cell)) return static_cast<const wxHtmlContainerCell*>(cell);
        const wxHtmlCell* child = cell->GetFirstChild();
        if (!child || child->GetNext()) return nullptr;
        cell = child;
    }
    return nullptr;
}

// The rows of a table are its cells' distinct tops.
int rowCount(const wxHtmlContainerCell& table) {
    std::vector<int> tops;
    for (const wxHtmlCell* c = table.GetFirstChild(); c; c = c->GetNext())
        if (std::find(tops.begin(), tops.end(), c->GetPosY()) == tops.end())
            tops.push_back(c->GetPosY());
    return int(tops.size());
}

int firstRowBottom(const wxHtmlContainerCell& table) {
    int top = INT_MAX, bottom = 0;
    for (const wxHtmlCell* c = table.GetFirstChild(); c; c = c->GetNext())
        top = std::min(top, c->GetPosY());
    for (const wxHtmlCell* c = table.GetFirstChild(); c; c = c->GetNext())
        if (c->GetPosY() == top) bottom = std::max(bottom, c->GetPosY() + c->GetHeight());
    return bottom;
}

void collectHeadings(const wxHtmlCell& cell, const wxHtmlContainerCell& root,
                     std::vector<std::pair<int, int>>& spans) {
    for (const wxHtmlCell* c = cell.GetFirstChild(); c; c = c->GetNext()) {
        const wxHtmlContainerCell* heading = tableIn(c);
        const wxHtmlContainerCell* next = heading ? tableIn(c->GetNext()) : nullptr;
        if (heading && next && rowCount(*heading) == 1 && next->GetFirstChild()) {
            const int top = heading->GetAbsPos(&root).y;
            const int tableTop = next->GetAbsPos(&root).y;
            // The whole section where it fits on a page, else at least the
            // heading with the first row.
            spans.emplace_back(top, tableTop + next->GetHeight());
            spans.emplace_back(top, tableTop + firstRowBottom(*next));
        }
        if (!isTable(c)) collectHeadings(*c, root, spans);
    }
}
} // namespace

std::vector<std::pair<int, int>> headingSpans(const wxHtmlContainerCell& root) {
    std::vector<std::pair<int, int>> spans;
    collectHeadings(root, root, spans);
    return spans;
}

int keepTogether(int previous, int candidate, int pageHeight,
                 const std::vector<std::pair<int, int>>& kept) {
    int adjusted = candidate;
    for (const auto& [top, bottom] : kept)
        if (top > previous && top < candidate && candidate < bottom && bottom - top <= pageHeight)
            adjusted = std::min(adjusted, top);
    return adjusted;
}

int placeHtml(wxHtmlWinParser& parser, const wxString& html, int width, wxDC* dc, int x, int y) {
    std::unique_ptr<wxHtmlContainerCell> cell(
        static_cast<wxHtmlContainerCell*>(parser.Parse(html)));
    if (!cell) return 0;
    cell->Layout(width);
    if (dc) {
        wxHtmlRenderingInfo info;
        wxDefaultHtmlRenderingStyle style;
        info.SetStyle(&style);
        cell->Draw(*dc, x, y, y, y + cell->GetHeight(), info);
    }
    return cell->GetHeight();
}

wxString furnitureHtml(const wxString& what, int page, int pages) {
    return L"<FONT SIZE=-2 COLOR=\"#404040\"><TABLE WIDTH=100% CELLSPACING=0 CELLPADDING=2>"
           L"<TR><TD WIDTH=75%>" +
           what + L"</TD><TD ALIGN=RIGHT NOWRAP>" +
           wxString::Format(L"Страница %d из %d", page, pages) + L"</TD></TR></TABLE></FONT><HR>";
}

HtmlPrintout::HtmlPrintout(const wxString& title, const wxString& html,
                           const wxPageSetupDialogData& setup, const wxString& furniture)
    : wxPrintout(title), html_(html), furniture_(furniture),
      marginLeft_(setup.GetMarginTopLeft().x), marginTop_(setup.GetMarginTopLeft().y),
      marginRight_(setup.GetMarginBottomRight().x), marginBottom_(setup.GetMarginBottomRight().y) {}

HtmlPrintout::~HtmlPrintout() = default;

HtmlPrintArea htmlPrintArea(wxPrintout& printout, wxDC& dc, bool onCairo, float marginLeft,
                            float marginTop, float marginRight, float marginBottom) {
    int pageWidth = 0, pageHeight = 0, mmWidth = 0, mmHeight = 0, dcWidth = 0, dcHeight = 0;
    printout.GetPageSizePixels(&pageWidth, &pageHeight);
    printout.GetPageSizeMM(&mmWidth, &mmHeight);
    dc.GetSize(&dcWidth, &dcHeight);
    HtmlPrintArea s;
    if (pageWidth <= 0 || pageHeight <= 0 || mmWidth <= 0 || mmHeight <= 0) return s;
    // The page is laid out in printer pixels whatever the surface (the
    // preview's is smaller).
    dc.SetUserScale(double(dcWidth) / pageWidth, double(dcHeight) / pageHeight);
    const float ppmmH = float(pageWidth) / mmWidth, ppmmV = float(pageHeight) / mmHeight;
    int ppiPrinterX = 0, ppiPrinterY = 0, ppiScreenX = 0, ppiScreenY = 0;
    printout.GetPPIPrinter(&ppiPrinterX, &ppiPrinterY);
    printout.GetPPIScreen(&ppiScreenX, &ppiScreenY);
    // Fonts are sized for the resolution the surface sets text at: a cairo
    // surface's own, or the screen's for the others.
    const double textDpi = onCairo || ppiScreenY <= 0 ? typicalScreenDpi : ppiScreenY;
    s.pixel = ppiPrinterY / typicalScreenDpi;
    s.font = ppiPrinterY / textDpi;
    s.left = int(ppmmH * marginLeft);
    s.top = int(ppmmV * marginTop);
    s.width = int(ppmmH * (mmWidth - marginLeft - marginRight));
    s.height = int(ppmmV * (mmHeight - marginTop - marginBottom));
    return s;
}

HtmlPrintout::Scales HtmlPrintout::scalesFor(wxDC& dc, bool onCairo) {
    return htmlPrintArea(*this, dc, onCairo, marginLeft_, marginTop_, marginRight_, marginBottom_);
}

void HtmlPrintout::OnPreparePrinting() {
    breaks_.clear();
    kept_.clear();
    VectorPrintScope scope(*this);
    wxDC* dc = scope.dc();
    if (!dc || !dc->IsOk()) return;
    const Scales s = scalesFor(*dc, scope.onCairo());
    if (s.width <= 0 || s.height <= 0) return;
    parser_ = std::make_unique<wxHtmlWinParser>();
    parser_->SetFS(&fs_);
    parser_->SetDC(dc, s.pixel, s.font);
    parser_->SetStandardFonts(htmlPrintFontSize);
    furnitureHeight_ = furniture_.empty()
                           ? 0
                           : placeHtml(*parser_, furnitureHtml(furniture_, 99999, 99999), s.width);
    renderer_.SetDC(dc, s.pixel, s.font);
    renderer_.SetSize(s.width, s.height - furnitureHeight_);
    cells_.reset(static_cast<wxHtmlContainerCell*>(parser_->Parse(html_)));
    if (!cells_) return;
    renderer_.SetHtmlCell(*cells_);
    areaHeight_ = s.height - furnitureHeight_;
    kept_ = headingSpans(*cells_);
    paginate();
}

void HtmlPrintout::paginate() {
    breaks_.clear();
    for (int pos = 0; pos != wxNOT_FOUND;) {
        breaks_.push_back(pos);
        int next = renderer_.FindNextPageBreak(pos);
        if (next != wxNOT_FOUND) next = keepTogether(pos, next, areaHeight_, kept_);
        pos = next;
    }
}

bool HtmlPrintout::HasPage(int page) {
    return page > 0 && size_t(page) < breaks_.size();
}

void HtmlPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    const int pages = breaks_.size() < 2 ? 0 : int(breaks_.size()) - 1;
    *minPage = 1;
    *maxPage = pages;
    *pageFrom = pages ? 1 : 0;
    *pageTo = pages;
}

bool HtmlPrintout::OnPrintPage(int page) {
    VectorPrintScope scope(*this);
    wxDC* dc = scope.dc();
    if (!dc || !dc->IsOk()) return false;
    if (!HasPage(page) || !cells_) return true;
    const Scales s = scalesFor(*dc, scope.onCairo());
    renderer_.SetDC(dc, s.pixel, s.font);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    if (!furniture_.empty()) {
        parser_->SetDC(dc, s.pixel, s.font);
        placeHtml(*parser_, furnitureHtml(furniture_, page, int(breaks_.size()) - 1), s.width, dc,
                  s.left, s.top);
    }
    renderer_.Render(s.left, s.top + furnitureHeight_, breaks_[page - 1], breaks_[page]);
    return true;
}
