#pragma once
// The journal on printed pages, laid out a page at a time from its rows: each
// row is the view's own (a table of its own), measured and drawn on its own,
// so a journal of any length prints in the memory of one page. A row is never
// cut by a page break. Every page carries a line saying which recorder and
// period it belongs to with its number of the count, and the columns' names;
// the first page the title, the last the program's footer.
#include <memory>
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

    bool cancelled() const { return cancelled_; }
    // The index of the first row of every page, then the number of rows.
    const std::vector<size_t>& pageStarts() const { return starts_; }

private:
    struct Layout;
    bool begin(Layout& layout);
    wxString rowHtml(size_t row) const;

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
};
