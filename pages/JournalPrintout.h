#pragma once
// The journal on printed pages, laid out a page at a time from its rows: each
// row is the view's own (a table of its own), drawn on its own, so a journal
// of any length prints in the memory of one page. The pages are found first
// by the rows' heights: a description whose characters plainly fit on one
// line makes a row one line high, the others are laid out to know. A row is
// never cut by a page break. Every page carries a line saying which recorder and
// period it belongs to with its number of the count, and the columns' names;
// the first page the title, the last the program's footer.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <wx/filesys.h>
#include <wx/print.h>

#include "views/JournalHtml.h"

class Progress;
class wxHtmlWinParser;
class wxPageSetupDialogData;

class JournalPrintout : public wxPrintout {
public:
    // rows: the journal's events, which must outlive the printout. recorder:
    // what the line at the top of every page names the recorder by. progress,
    // when given, hears of the layout and of every page printed (not
    // previewed); a cancel there stops the printout (cancelled()).
    JournalPrintout(const wxString& title, const JournalRows& rows, const wxString& recorder,
                    const wxPageSetupDialogData& setup, std::unique_ptr<Progress> progress);
    ~JournalPrintout() override;

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool OnPrintPage(int page) override;

    // A cancel while a preview counts the pages closes the preview's frame.
    bool cancelled() const { return cancelled_; }
    // The index of the first row of every page, then the number of rows.
    const std::vector<size_t>& pageStarts() const { return starts_; }

private:
    struct Layout;
    bool begin(Layout& layout);
    wxString rowHtml(size_t row) const;
    void closePreview();
    // The height of a row with description, from the gauge when the text
    // plainly fits on one line, else laid out (kept by description).
    int rowHeight(Layout& layout, size_t row, std::string&& description);
    // A row with description laid out: its height, the right edge of the
    // description's text and the start of its last piece (-1 without text).
    struct Extent {
        int height = 0, right = -1, start = -1;
    };
    Extent measure(Layout& layout, const std::string& description) const;
    // The width of c (a character of the basic plane) in a description, -1
    // when a row of it alone is taller than one line; measured once.
    int charWidth(Layout& layout, char32_t c);
    // Sets the gauge up for the layout's scales.
    void calibrate(Layout& layout);

    const JournalRows& rows_;
    wxString furniture_; // the recorder and the period
    float marginLeft_, marginTop_, marginRight_, marginBottom_;
    std::unique_ptr<Progress> progress_;
    bool cancelled_ = false;
    int timeWidth_ = 0;
    wxFileSystem fs_;
    std::vector<size_t> starts_;
    bool footerAlone_ = false; // the footer has a last page of its own
    struct Measured {
        int width = -1;
        double font = 0;
        int furniture = 0, head = 0, columns = 0, footer = 0; // heights
    } measured_;
    // What tells most rows' heights without laying them out: the row height
    // of a description on one line, where a description's text starts, a
    // width of text known to fit on that line, and the characters' widths.
    struct Gauge {
        int oneLine = 0, left = 0, room = 0;
        std::vector<int> widths; // by code point; unknown: notMeasured
    } gauge_;
    static constexpr int notMeasured = -2;

    std::unordered_map<std::string, int> heights_; // rows laid out, by description
};
