#include "pages/JournalPrintout.h"

#include <string>
#include <unordered_map>
#include <utility>

#include <wx/cmndata.h>
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
    }
    return true;
}

void JournalPrintout::OnPreparePrinting() {
    starts_.clear();
    footerAlone_ = false;
    cancelled_ = false;
    Layout layout(*this);
    if (!begin(layout)) return;
    const HtmlPrintArea& a = layout.area;
    // A row's height depends on its description alone (the date is as wide
    // on every row): the heights of recent descriptions are kept.
    std::unordered_map<std::string, int> heights;
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
                    return;
                }
            }
        }
        std::string description = rows_[row]->describe();
        auto known = heights.find(description);
        int height;
        if (known != heights.end()) {
            height = known->second;
        } else {
            height = placeHtml(layout.parser, rowHtml(row), a.width);
            if (heights.size() > 100000) heights.clear();
            heights.emplace(std::move(description), height);
        }
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

bool JournalPrintout::HasPage(int page) {
    return page > 0 && size_t(page) < starts_.size() + (footerAlone_ ? 1 : 0);
}

void JournalPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    const int pages = starts_.size() < 2 ? 0 : int(starts_.size()) - 1 + (footerAlone_ ? 1 : 0);
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
