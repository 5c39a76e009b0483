#include "pages/TextLog.h"

#include <wx/clipbrd.h>
#include <wx/dcclient.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmlwin.h>
#include <wx/html/winpars.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/print.h>
#include <wx/progdlg.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "common/Progress.h"
#include "events/EventTime.h"
#include "events/genericParser.h"
#include "gui/Printing.h"
#include "image/HeaderView.h"
#include "pages/JournalPrintout.h"
#include "views/RecorderSession.h"

namespace {

// The widest date and time a row shows, in a cell as the rows have it.
int measureTimeWidth(wxWindow* window) {
    wxClientDC dc(window);
    wxHtmlWinParser parser;
    parser.SetDC(&dc);
    std::unique_ptr<wxHtmlContainerCell> cell(static_cast<wxHtmlContainerCell*>(
        parser.Parse(L"<FONT SIZE=-2><TABLE BORDER=1 CELLSPACING=0><TR><TD NOWRAP>"
                     L"00/00/0000 00:00:00.0</TD></TR></TABLE></FONT>")));
    if (!cell) return 0;
    cell->Layout(1000);
    // A little room over the text, as the document's table leaves.
    return cell->GetMaxTotalWidth() + 8;
}

// Journals longer than this print under a progress dialog; shorter ones
// are made before the dialog would show.
constexpr size_t rowsWorthADialog = 20000;

// A progress dialog with «Отмена» that opens at the first report (a print
// dialog may come before it) and closes at the last.
class DialogSteps : public Progress {
public:
    explicit DialogSteps(wxWindow* parent) : parent_(parent) {}
    bool update(int value, const std::string& message) override {
        if (!dialog_)
            dialog_ = std::make_unique<wxProgressDialog>(
                L"Журнал", wxString::FromUTF8(message), 10, parent_,
                wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE);
        const bool going = dialog_->Update(value, wxString::FromUTF8(message));
        if (!going || value >= 10) dialog_.reset();
        return going;
    }

private:
    wxWindow* parent_;
    std::unique_ptr<wxProgressDialog> dialog_;
};

} // namespace

// ---- the rows ----------------------------------------------------------------

JournalView::JournalView(wxWindow* parent, const RecorderSession& session)
    : wxHtmlListBox(parent, wxID_ANY, wxDefaultPosition, wxSize(100, 100), wxLB_MULTIPLE,
                    L"journalRows"),
      session_(session) {
    SetBackgroundColour(*wxWHITE);
    timeWidth_ = measureTimeWidth(this);
    Bind(wxEVT_KEY_DOWN, &JournalView::onKey, this);
}

void JournalView::onKey(wxKeyEvent& event) {
    if (event.GetModifiers() == wxMOD_CONTROL &&
        (event.GetKeyCode() == 'C' || event.GetKeyCode() == WXK_INSERT)) {
        copySelection();
        return;
    }
    event.Skip();
}

wxString JournalView::selectedText() const {
    const JournalRows& shown = rows();
    std::string text;
    unsigned long cookie = 0;
    for (int n = GetFirstSelected(cookie); n != wxNOT_FOUND; n = GetNextSelected(cookie)) {
        if (size_t(n) >= shown.size()) break;
        const genericParser& e = *shown[size_t(n)];
        text += eventTimeText(e.seconds, e.tenths) + "\t" + e.plainText() + "\n";
    }
    return wxString::FromUTF8(text);
}

bool JournalView::copySelection() {
    const wxString text = selectedText();
    if (text.empty()) return false;
    wxClipboardLocker locker;
    if (!locker) return false;
    return wxTheClipboard->SetData(new wxTextDataObject(text));
}

void JournalView::show(JournalRows rows, unsigned long generation) {
    rows_.swap(rows);
    generation_ = generation;
    SetItemCount(rows_.size());
    SetSelection(wxNOT_FOUND); // no row selected, none current
    ScrollToRow(0);
    RefreshAll();
}

const JournalRows& JournalView::rows() const {
    static const JournalRows none;
    return generation_ == session_.eventsGeneration() ? rows_ : none;
}

wxString JournalView::itemHtml(size_t n) const {
    const JournalRows& shown = rows();
    return n < shown.size() ? wxString::FromUTF8(journalItemHtml(*shown[n], timeWidth_))
                            : wxString();
}

wxString JournalView::OnGetItem(size_t n) const {
    return itemHtml(n);
}

// ---- the page ----------------------------------------------------------------

TextLog::TextLog(wxWindow* parent, const RecorderSession& session)
    : HtmlPrintPanel(parent, L"Журнал"), session_(session) {
    header = new wxHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxSize(100, 20),
                              wxHW_SCROLLBAR_NEVER, L"htmlWindow");
    // No border of its own: its columns stand over the rows' columns.
    header->SetBorders(0);
    view = new JournalView(this, session);
    header->SetPage(wxString::FromUTF8(journalHeadHtml(view->timeWidth())));
    // As high as the header's text at the width it gets: a narrow page wraps the title.
    header->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        CallAfter(&TextLog::fitHeader);
    });
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(header, 0, wxEXPAND);
    sizer->Add(view, 1, wxEXPAND);
    SetSizer(sizer);
}

void TextLog::fitHeader() {
    const wxHtmlContainerCell* laidOut = header->GetInternalRepresentation();
    if (!laidOut) return;
    const int height = laidOut->GetHeight();
    if (height <= 0 || height == header->GetClientSize().y) return;
    header->SetMinSize(wxSize(-1, height));
    Layout();
}

void TextLog::regenerate(Progress* progress) {
    wxBusyCursor busy;
    JournalRows rows;
    if (session_.journalRows(progress, rows)) {
        view->show(std::move(rows), session_.eventsGeneration());
    } else if (view->generation() != session_.eventsGeneration()) {
        view->show({}, session_.eventsGeneration());
    }
}

bool TextLog::document(Progress* progress, std::string& html) const {
    // The journal has no preformatted text: printed as it is.
    return buildJournalHtml(view->rows(), progress, html);
}

std::optional<wxString> TextLog::printedDocument(bool interactive) {
    wxBusyCursor busy;
    std::string html;
    if (interactive && view->rows().size() > rowsWorthADialog) {
        DialogSteps steps(this);
        if (!document(&steps, html)) return std::nullopt;
    } else {
        document(nullptr, html);
    }
    return wxString::FromUTF8(html);
}

std::unique_ptr<JournalPrintout> TextLog::printout(bool interactive) {
    std::unique_ptr<Progress> progress;
    if (interactive && view->rows().size() > rowsWorthADialog)
        progress = std::make_unique<DialogSteps>(this);
    const wxString recorder = wxString::FromUTF8(HeaderView(session_.image).serialNumber).Trim();
    return std::make_unique<JournalPrintout>(printer.name, view->rows(), recorder,
                                             printer.pageSetupData, std::move(progress));
}

void TextLog::printPage() {
    auto p = printout(true);
    const wxString error = printWithDialog(nullptr, *p, printer.printData);
    if (!error.empty() && !p->cancelled()) wxLogError(L"%s", error);
}

void TextLog::previewPage() {
    wxPrintDialogData data(printer.printData);
    data.SetAllPages(true);
    showPreviewFrame(new wxPrintPreview(printout(true).release(), printout(true).release(), &data),
                     printer.name + wxGetTranslation(L" Preview"));
}

wxString TextLog::printPdf(const wxString& path) {
    auto p = printout(false);
    return printToPdf(*p, printer.printData, path);
}
