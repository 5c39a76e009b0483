#include "pages/JournalPrintout.h"

#include <algorithm>
#include <string>
#include <utility>

#include <wx/cmndata.h>
#include <wx/frame.h>
#include <wx/html/htmlcell.h>
#include <wx/html/winpars.h>

#include "common/Progress.h"
#include "events/EventTime.h"
#include "events/genericParser.h"
#include "gui/HtmlPrintout.h"
#include "gui/Printing.h"
#include "views/SharedTexts.h"

namespace {
const char* const layoutMessage = "Разметка страниц журнала";
const char* const printMessage = "Печать журнала";
} // namespace

struct JournalPrintout::Layout {
    explicit Layout(JournalPrintout& printout) : scope(printout) {}
    VectorPrintScope scope;
    HtmlPrintArea area;
    wxHtmlWinParser parser;
};

JournalPrintout::JournalPrintout(const wxString& title, const JournalRows& rows,
                                 const wxString& recorder, const wxPageSetupDialogData& setup,
                                 std::unique_ptr<Progress> progress)
    : wxPrintout(title), rows_(rows), marginLeft_(setup.GetMarginTopLeft().x),
      marginTop_(setup.GetMarginTopLeft().y), marginRight_(setup.GetMarginBottomRight().x),
      marginBottom_(setup.GetMarginBottomRight().y), progress_(std::move(progress)) {
    furniture_ = L"Журнал регистратора";
    if (!recorder.empty()) furniture_ += L" № " + recorder;
    if (!rows.empty()) {
        const genericParser *first = rows.front(), *last = rows.front();
        for (const genericParser* e : rows) {
            if (e->seconds < first->seconds ||
                (e->seconds == first->seconds && e->tenths < first->tenths))
                first = e;
            if (e->seconds > last->seconds ||
                (e->seconds == last->seconds && e->tenths > last->tenths))
                last = e;
        }
        // To the minute: the rows give the tenths.
        furniture_ += L", с " + wxString::FromUTF8(eventTimeText(first->seconds, 0).substr(0, 16)) +
                      L" по " + wxString::FromUTF8(eventTimeText(last->seconds, 0).substr(0, 16));
    }
}

JournalPrintout::~JournalPrintout() = default;

wxString JournalPrintout::rowHtml(size_t row) const {
    return wxString::FromUTF8(journalItemHtml(*rows_[row], timeWidth_));
}

bool JournalPrintout::begin(Layout& layout) {
    wxDC* dc = layout.scope.dc();
    if (!dc || !dc->IsOk()) return false;
    layout.area = htmlPrintArea(*this, *dc, layout.scope.onCairo(), marginLeft_, marginTop_,
                                marginRight_, marginBottom_);
    const HtmlPrintArea& a = layout.area;
    if (a.width <= 0 || a.height <= 0) return false;
    layout.parser.SetFS(&fs_);
    layout.parser.SetDC(dc, a.pixel, a.font);
    layout.parser.SetStandardFonts(htmlPrintFontSize);
    // What every page has is measured once for the surface's scales.
    if (measured_.width != a.width || measured_.font != a.font) {
        measured_.width = a.width;
        measured_.font = a.font;
        // The date column as wide as its widest text, in HTML pixels, as the view's.
        std::unique_ptr<wxHtmlContainerCell> cell(static_cast<wxHtmlContainerCell*>(
            layout.parser.Parse(L"<FONT SIZE=-2><TABLE BORDER=1 CELLSPACING=0><TR><TD NOWRAP>"
                                L"00/00/0000 00:00:00.0</TD></TR></TABLE></FONT>")));
        if (cell) {
            cell->Layout(a.width);
            timeWidth_ = int(cell->GetMaxTotalWidth() / a.pixel) + 8;
        }
        measured_.furniture =
            placeHtml(layout.parser, furnitureHtml(furniture_, 99999, 99999), a.width);
        measured_.head =
            placeHtml(layout.parser, wxString::FromUTF8(journalHeadHtml(timeWidth_)), a.width);
        measured_.columns =
            placeHtml(layout.parser, wxString::FromUTF8(journalColumnsHtml(timeWidth_)), a.width);
        measured_.footer = placeHtml(layout.parser, wxString::FromUTF8(htmlFooter), a.width);
        calibrate(layout);
    }
    return true;
}

namespace {

// The next code point of UTF-8 text at i (moved past it); 0xFFFD for bytes
// that do not make a well-formed one.
char32_t nextCodePoint(const std::string& text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80) return lead;
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || i + size_t(more) > text.size()) return 0xFFFD;
    char32_t c = lead & (0x3F >> more);
    for (; more > 0; --more) {
        if ((byte(i) & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (byte(i++) & 0x3F);
    }
    return c;
}

// Characters whose room in a row is not their own width: markup, entities,
// controls (laid out as breaks or boxes), malformed text, other planes.
bool laidOutWithItsRow(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == '<' || c == '>' || c == '&' ||
           c == 0xFFFD || c > 0xFFFF;
}

// The rightmost edge of the pieces of text in cell that start at left or to
// its right, and the rightmost start of such a piece.
void textEdges(const wxHtmlCell& cell, const wxHtmlCell& root, int left, int& right,
               int& rightmostStart) {
    for (const wxHtmlCell* c = cell.GetFirstChild(); c; c = c->GetNext()) {
        if (c->GetFirstChild()) {
            textEdges(*c, root, left, right, rightmostStart);
        } else if (!dynamic_cast<const wxHtmlContainerCell*>(c) && c->GetWidth() > 0) {
            const int x = c->GetAbsPos(&root).x;
            if (x < left) continue;
            right = std::max(right, x + c->GetWidth());
            rightmostStart = std::max(rightmostStart, x);
        }
    }
}

const std::string sampleTime = "00/00/0000 00:00:00.0";

} // namespace

JournalPrintout::Extent JournalPrintout::measure(Layout& layout,
                                                 const std::string& description) const {
    Extent e;
    std::unique_ptr<wxHtmlContainerCell> cell(static_cast<wxHtmlContainerCell*>(layout.parser.Parse(
        wxString::FromUTF8(journalRowHtml(sampleTime, description, 0, timeWidth_)))));
    if (!cell) return e;
    cell->Layout(layout.area.width);
    e.height = cell->GetHeight();
    textEdges(*cell, *cell, gauge_.left, e.right, e.start);
    return e;
}

int JournalPrintout::charWidth(Layout& layout, char32_t c) {
    int& width = gauge_.widths[c];
    if (width != notMeasured) return width;
    width = -1;
    if (c == ' ') {
        // A space has no width alone: it is what it adds between two letters.
        const int letter = charWidth(layout, 'x');
        const Extent e = measure(layout, "x x");
        if (letter >= 0 && e.height == gauge_.oneLine && e.right > gauge_.left)
            width = e.right - gauge_.left - 2 * letter;
    } else {
        const Extent e = measure(layout, std::string(wxString(wxUniChar(unsigned(c))).utf8_str()));
        if (e.height == gauge_.oneLine && e.right >= gauge_.left) width = e.right - gauge_.left;
    }
    return width;
}

void JournalPrintout::calibrate(Layout& layout) {
    gauge_ = Gauge();
    heights_.clear();
    // A row with one letter: its height is that of a line, and its letter the
    // rightmost piece of text, where every description starts.
    const Extent letter = measure(layout, "x");
    if (letter.start <= 0) return;
    gauge_.oneLine = letter.height;
    gauge_.left = letter.start;
    gauge_.widths.assign(0x10000, notMeasured);
    // The widest line of words that stays one line: more words double until
    // the row grows, then the count is halved down to the last that fits.
    const auto fits = [&](int words, int& right) {
        std::string text = "x";
        for (int k = 1; k < words; ++k)
            text += " x";
        const Extent e = measure(layout, text);
        right = e.right;
        return e.height == gauge_.oneLine && e.right > gauge_.left;
    };
    int fitting = 0, fittingRight = -1, growing = 0;
    for (int words = 1; words <= 4096; words *= 2) {
        int right = -1;
        if (!fits(words, right)) {
            growing = words;
            break;
        }
        fitting = words;
        fittingRight = right;
    }
    while (growing - fitting > 1) {
        const int words = (fitting + growing) / 2;
        int right = -1;
        if (fits(words, right)) {
            fitting = words;
            fittingRight = right;
        } else {
            growing = words;
        }
    }
    gauge_.room = fitting > 0 ? fittingRight - gauge_.left : 0;
}

int JournalPrintout::rowHeight(Layout& layout, size_t row, std::string&& description) {
    // A text whose characters' widths (each rounded up) add up to no more
    // than a line known to fit is on one line: the row is a line high.
    if (gauge_.room > 0 && !description.empty()) {
        int width = 0;
        for (size_t i = 0; i < description.size() && width <= gauge_.room;) {
            const char32_t c = nextCodePoint(description, i);
            const int w = laidOutWithItsRow(c) ? -1 : charWidth(layout, c);
            width = w < 0 ? gauge_.room + 1 : width + w + 1;
        }
        if (width <= gauge_.room) return gauge_.oneLine;
    }
    auto known = heights_.find(description);
    if (known != heights_.end()) return known->second;
    const int height = placeHtml(layout.parser, rowHtml(row), layout.area.width);
    if (heights_.size() > 100000) heights_.clear();
    heights_.emplace(std::move(description), height);
    return height;
}

void JournalPrintout::OnPreparePrinting() {
    starts_.clear();
    footerAlone_ = false;
    cancelled_ = false;
    Layout layout(*this);
    if (!begin(layout)) return;
    const HtmlPrintArea& a = layout.area;
    int used = measured_.furniture + measured_.head;
    starts_.push_back(0);
    const size_t total = rows_.size();
    unsigned shown = ~0u;
    for (size_t row = 0; row < total; ++row) {
        if (progress_) {
            const unsigned value = unsigned(row * 10 / total);
            if (value != shown) {
                shown = value;
                if (!progress_->update(int(value), layoutMessage)) {
                    cancelled_ = true;
                    starts_.clear();
                    closePreview();
                    return;
                }
            }
        }
        const int height = rowHeight(layout, row, rows_[row]->describe());
        // A row taller than a page, which the journal's texts never give, is
        // cut where the page ends.
        const int top = measured_.furniture + measured_.columns;
        if (used + height > a.height && used > top) {
            starts_.push_back(row);
            used = top;
        }
        used += height;
    }
    if (progress_) progress_->update(10, layoutMessage);
    starts_.push_back(total);
    footerAlone_ = used + measured_.footer > a.height;
}

void JournalPrintout::closePreview() {
    // A preview counts the pages as its frame first paints: cancelled there,
    // the frame has nothing to show and goes.
    wxPrintPreview* preview = IsPreview() ? GetPreview() : nullptr;
    if (wxFrame* frame = preview ? preview->GetFrame() : nullptr)
        frame->CallAfter([frame] { frame->Close(); });
}

bool JournalPrintout::HasPage(int page) {
    return page > 0 && size_t(page) < starts_.size() + (footerAlone_ ? 1 : 0);
}

void JournalPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    int pages = starts_.size() < 2 ? 0 : int(starts_.size()) - 1 + (footerAlone_ ? 1 : 0);
    // A preview has a page to show until its frame goes.
    if (cancelled_ && IsPreview()) pages = 1;
    *minPage = 1;
    *maxPage = pages;
    *pageFrom = pages ? 1 : 0;
    *pageTo = pages;
}

bool JournalPrintout::OnPrintPage(int page) {
    int minPage = 0, pages = 0, from = 0, to = 0;
    GetPageInfo(&minPage, &pages, &from, &to);
    if (progress_ && !IsPreview() && pages > 0 &&
        !progress_->update(page * 10 / pages, printMessage)) {
        cancelled_ = true;
        return false;
    }
    Layout layout(*this);
    if (!begin(layout)) return false;
    if (!HasPage(page)) return true;
    wxDC* dc = layout.scope.dc();
    const HtmlPrintArea& a = layout.area;
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    int y = a.top;
    y += placeHtml(layout.parser, furnitureHtml(furniture_, page, pages), a.width, dc, a.left, y);
    const bool footerPage = page == pages;
    if (size_t(page) < starts_.size()) {
        const wxString head = page == 1 ? wxString::FromUTF8(journalHeadHtml(timeWidth_))
                                        : wxString::FromUTF8(journalColumnsHtml(timeWidth_));
        y += placeHtml(layout.parser, head, a.width, dc, a.left, y);
        for (size_t row = starts_[page - 1]; row < starts_[page]; ++row)
            y += placeHtml(layout.parser, rowHtml(row), a.width, dc, a.left, y);
    }
    if (footerPage)
        placeHtml(layout.parser, wxString::FromUTF8(htmlFooter), a.width, dc, a.left, y);
    return true;
}
