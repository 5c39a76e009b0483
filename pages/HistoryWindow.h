#pragma once
// Page «История»: the open recorder's readings in the archive, as a table of
// their figures and a chart of the used share of the resource over time, and
// its printout with the period of the last two readings, the passport, the
// image's checksum and the engineer's block.
#include <string>
#include <vector>

#include "gui/HtmlPage.h"
#include "history/Archive.h"

class RecorderSession;
class wxHtmlWindow;
class wxSplitterWindow;
class wxStaticText;

class HistoryWindow : public HtmlPrintPanel {
public:
    // session: the recorder whose history the page shows.
    HistoryWindow(wxWindow* parent, const RecorderSession& session);
    ~HistoryWindow() override;

    // Reads the open recorder's readings from the archive in folder again;
    // imageFile is the open image's file (for the printout and to mark its
    // reading). An archive that cannot be read is said on the page.
    void regenerate(const std::string& archiveFolder, const wxString& imageFile);

    // Printable with readings to print.
    bool printable() const override { return !rows_.empty(); }
    // Refuses, saying why, while there is no reading to print.
    wxString printPdf(const wxString& path) override;

    const std::vector<HistoryRow>& rows() const { return rows_; }

    wxStaticText* heading; // the recorder and its count of readings
    wxSplitterWindow* splitter;
    wxHtmlWindow* table;
    wxWindow* chart;
    wxString tableHtml; // what the table shows

protected:
    std::optional<wxString> printedDocument(bool interactive) override;

private:
    void showMessage(const std::string& title, const std::string& text);

    const RecorderSession& session_;
    std::vector<HistoryRow> rows_;
    std::string serial_;
    std::string folder_;
    wxString imageFile_;
    std::string imageSha256_;
    std::string shaStamp_; // the file, its time and size the checksum was made of
    wxString drawingName_;
};
