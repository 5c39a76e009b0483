#pragma once
// One generated HTML document on printed pages. It lays the document out on
// the surface it prints on (VectorPrintScope), breaks it into pages where the
// HTML printer allows, keeping a section's heading bar on the page of its
// table's first row, and offers every page for printing.
#include <memory>
#include <utility>
#include <vector>

#include <wx/filesys.h>
#include <wx/html/htmprint.h>
#include <wx/print.h>

class wxHtmlContainerCell;
class wxHtmlWinParser;
class wxPageSetupDialogData;

// The text area of a page in page pixels and the scales HTML is laid out at on
// dc (whose user scale it sets so that the page is in printer pixels whatever
// the surface: the preview's is smaller). Margins in millimetres.
struct HtmlPrintArea {
    double pixel = 0, font = 0;
    int left = 0, top = 0, width = 0, height = 0;
};
HtmlPrintArea htmlPrintArea(wxPrintout& printout, wxDC& dc, bool onCairo, float marginLeft,
                            float marginTop, float marginRight, float marginBottom);
// The size of normal text (HTML size 0) in points, as the toolkit's HTML printer.
constexpr int htmlPrintFontSize = 12;

// html parsed with parser (set to the page's DC and scales) and laid out at
// width; drawn on dc at (x, y) when dc is given. Returns its height.
int placeHtml(wxHtmlWinParser& parser, const wxString& html, int width, wxDC* dc = nullptr,
              int x = 0, int y = 0);

// The line at the top of every page that says what the page belongs to:
// what at the left, «Страница page из pages» at the right.
wxString furnitureHtml(const wxString& what, int page, int pages);

class HtmlPrintout : public wxPrintout {
public:
    // margins: the top-left and bottom-right margins of setup, in millimetres.
    // furniture: what the line at the top of every page says beside the
    // page's number; no line when empty.
    HtmlPrintout(const wxString& title, const wxString& html, const wxPageSetupDialogData& setup,
                 const wxString& furniture = wxString());
    ~HtmlPrintout() override;

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    // Before the document is laid out the pages are not known: no page range
    // is proposed then, so the print dialog offers all pages.
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool OnPrintPage(int page) override;

    // The tops of the pages in the laid-out document (its units), then its end.
    const std::vector<int>& pageBreaks() const { return breaks_; }
    // The height of a page's text area in the same units.
    int pageHeight() const { return areaHeight_; }
    // Spans (top, bottom) of the document that a page break must not cut: a
    // heading bar with its table, and with its table's first row.
    const std::vector<std::pair<int, int>>& keptTogether() const { return kept_; }

private:
    using Scales = HtmlPrintArea;
    Scales scalesFor(wxDC& dc, bool onCairo);
    void paginate();

    wxString html_;
    wxString furniture_;
    int furnitureHeight_ = 0;
    float marginLeft_, marginTop_, marginRight_, marginBottom_; // millimetres
    wxFileSystem fs_; // pictures, relative to the working folder
    std::unique_ptr<wxHtmlWinParser> parser_;
    std::unique_ptr<wxHtmlContainerCell> cells_;
    wxHtmlDCRenderer renderer_;
    std::vector<int> breaks_;
    std::vector<std::pair<int, int>> kept_;
    int areaHeight_ = 0;
};

// The spans of root that a page break should not cut: each table of one row
// (a heading bar) that is followed by another table, from its top to the
// bottom of that table, and to the bottom of that table's first row.
// Positions are absolute in root.
std::vector<std::pair<int, int>> headingSpans(const wxHtmlContainerCell& root);

// The page break candidate (the toolkit's own) moved up to the top of a kept
// span that it would cut, when that span fits on a page and starts below the
// previous break; candidate itself otherwise.
int keepTogether(int previous, int candidate, int pageHeight,
                 const std::vector<std::pair<int, int>>& kept);
