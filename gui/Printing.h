#pragma once
// What the printouts of the pages share: the surface they draw on, the PDF
// file they can be printed to without a dialog, and the preview frame.
#include <memory>
#include <utility>
#include <vector>

#include <wx/string.h>

class wxDC;
class wxPrintData;
class wxPrintout;
class wxPrintPreview;
class wxWindow;

// While it lives, printout draws on a vector surface over the page its DC
// belongs to when that DC is the toolkit's printer DC (GTK's paints the whole
// page, rasterised, whenever a background colour is set on it, which the HTML
// printer does for every cell with a background). Other DCs are kept.
class VectorPrintScope {
public:
    explicit VectorPrintScope(wxPrintout& printout);
    ~VectorPrintScope();
    VectorPrintScope(const VectorPrintScope&) = delete;
    VectorPrintScope& operator=(const VectorPrintScope&) = delete;

    wxDC* dc() const;
    // True when the surface is a cairo one (a printer page or a PDF page): its
    // text is set at 96 dots per inch of its user space.
    bool onCairo() const;

private:
    wxPrintout& printout_;
    wxDC* original_;
    std::unique_ptr<wxDC> surface_;
};

// The resolution a print with data is laid out at (dots per inch), as the
// toolkit's printer derives it from the print quality.
int printResolution(const wxPrintData& data);

// Pages to print: ranges of page numbers (from 1), each both ends included,
// in any order and possibly overlapping; empty for every page.
using PageRanges = std::vector<std::pair<int, int>>;

// Prints the pages of printout in pages (every page when empty, as the print
// dialog's "all pages" would; those of several ranges once each, in order)
// into a PDF file at path, on the paper and in the orientation of data,
// without a dialog. The pages go, as they are made, into the temporary of a
// SafeFileWriter (common/SafeFile.h), which takes the file's place once the
// document is complete; on failure, or when no page of pages is in the
// printout, an existing file is untouched. Returns an empty string or the
// failure's message and reason.
wxString printToPdf(wxPrintout& printout, const wxPrintData& data, const wxString& path,
                    const PageRanges& pages = {});

// Prints printout through the toolkit's print dialog, starting from data,
// which then holds the dialog's choices. When the dialog chose to print to a
// file, the file is checked once it is chosen: the file of the open image
// (sharedPrintSettings) is refused, with the message the program's other
// outputs give; a PDF file is made by printToPdf, with the pages chosen in
// the dialog (all, or its page ranges), and so written by the program's safe
// writer; other formats, and printers, are left to the toolkit. Returns an
// empty string (printed, or cancelled in the dialog) or the failure's message.
wxString printWithDialog(wxWindow* parent, wxPrintout& printout, wxPrintData& data);

// Opens a preview frame of preview titled title, centred on the screen at a
// size that shows a page, whatever frames came before. Deletes preview
// instead when it is not valid.
void showPreviewFrame(wxPrintPreview* preview, const wxString& title);
