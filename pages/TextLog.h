#pragma once
// Page "Журнал": the events the filter chose for the journal, one coloured row
// each. The rows are laid out only as they come on screen, so a journal of any
// length opens and scrolls at once; the whole document is made only to print.
#include <memory>

#include <wx/htmllbox.h>

#include "gui/HtmlPage.h"
#include "views/JournalHtml.h"

class JournalPrintout;
class Progress;
class RecorderSession;
class wxHtmlWindow;

// The journal's rows under the page's header, each item the row of the
// document as a table of its own. The document's footer is the printed
// page's: the view has none.
class JournalView : public wxHtmlListBox {
public:
    JournalView(wxWindow* parent, const RecorderSession& session);

    // Shows rows, pointers into the session's events of generation.
    void show(JournalRows rows, unsigned long generation);
    // The rows shown; none once their events are gone.
    const JournalRows& rows() const;
    unsigned long generation() const { return generation_; }

    // Pixels of the date column, the same in the header and every row.
    int timeWidth() const { return timeWidth_; }
    // The HTML of row n.
    wxString itemHtml(size_t n) const;
    // The selected rows as text, a line each: time, a tab, the description.
    wxString selectedText() const;
    // Puts selectedText on the clipboard (Ctrl+C); false when nothing is
    // selected or the clipboard is not there.
    bool copySelection();

protected:
    wxString OnGetItem(size_t n) const override;
    void onKey(wxKeyEvent& event);

private:
    const RecorderSession& session_;
    JournalRows rows_;
    unsigned long generation_ = 0;
    int timeWidth_ = 0;
};

class TextLog : public HtmlPrintPanel {
public:
    // session: the recorder whose journal list the page shows, read at every regenerate.
    TextLog(wxWindow* parent, const RecorderSession& session);

    // Rebuilds the journal, reporting into progress when given. A cancel keeps
    // the previous journal on screen, and printing then gives that one too,
    // unless its events are gone with a new analysis: then the page is empty.
    virtual void regenerate(Progress* progress);

    // The whole journal on screen as one document: what the page prints.
    // false (html incomplete) when progress reports a cancel.
    bool document(Progress* progress, std::string& html) const;

    wxHtmlWindow* header; // the title and the columns' names, above the rows
    JournalView* view;

    // The journal is printed a page at a time from the view's rows
    // (JournalPrintout), a long one under a progress dialog with a cancel.
    void printPage() override;
    void previewPage() override;
    wxString printPdf(const wxString& path) override;

protected:
    std::optional<wxString> printedDocument(bool interactive) override;

private:
    void fitHeader();
    // A printout of the rows shown; with a progress dialog when interactive
    // and the journal is long.
    std::unique_ptr<JournalPrintout> printout(bool interactive);

    const RecorderSession& session_;
};
