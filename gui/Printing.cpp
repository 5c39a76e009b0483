#include "gui/Printing.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <dlfcn.h>

#include <cairo-pdf.h>
#include <cairo.h>
#include <wx/app.h>
#include <wx/cmndata.h>
#include <wx/dcgraph.h>
#include <wx/dcprint.h>
#include <wx/display.h>
#include <wx/graphics.h>
#include <wx/gtk/print.h>
#include <wx/paper.h>
#include <wx/print.h>

#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "gui/PrintSettings.h"

// ---- the surface -------------------------------------------------------------

VectorPrintScope::VectorPrintScope(wxPrintout& printout)
    : printout_(printout), original_(printout.GetDC()) {
    if (auto* printer = dynamic_cast<wxPrinterDC*>(original_)) {
        surface_ = std::make_unique<wxGCDC>(*printer);
        printout_.SetDC(surface_.get());
    }
}

VectorPrintScope::~VectorPrintScope() {
    printout_.SetDC(original_);
}

wxDC* VectorPrintScope::dc() const {
    return printout_.GetDC();
}

bool VectorPrintScope::onCairo() const {
    wxDC* d = dc();
    return d && d->GetGraphicsContext() != nullptr;
}

int printResolution(const wxPrintData& data) {
    const int quality = data.GetQuality();
    if (quality > 0) return quality;
    // wxPRINT_QUALITY_HIGH (-1) is 1200 dpi, each lower quality half of it.
    if (quality < 0 && quality >= wxPRINT_QUALITY_DRAFT) return (1 << (quality + 4)) * 150;
    return 600;
}

// ---- printing to a PDF file ------------------------------------------------------

namespace {

// A page of a cairo PDF surface as a device context of the page's size in
// printer dots: user space is scaled to dots before it is made.
class PdfPageImpl : public wxGCDCImpl {
public:
    PdfPageImpl(wxDC* owner, cairo_t* cr, wxSize pixels, wxSize mm, int dpi)
        : wxGCDCImpl(owner,
                     wxGraphicsRenderer::GetCairoRenderer()->CreateContextFromNativeContext(cr)),
          pixels_(pixels), mm_(mm), dpi_(dpi) {}

    void DoGetSize(int* width, int* height) const override {
        if (width) *width = pixels_.x;
        if (height) *height = pixels_.y;
    }
    void DoGetSizeMM(int* width, int* height) const override {
        if (width) *width = mm_.x;
        if (height) *height = mm_.y;
    }
    wxSize GetPPI() const override { return wxSize(dpi_, dpi_); }
    bool StartDoc(const wxString&) override { return true; }

private:
    wxSize pixels_, mm_;
    int dpi_;
};

class PdfPage : public wxDC {
public:
    PdfPage(cairo_t* cr, wxSize pixels, wxSize mm, int dpi)
        : wxDC(new PdfPageImpl(this, cr, pixels, mm, dpi)) {}
};

// The user space of cr scaled to printer dots while it lives.
class DotsScope {
public:
    DotsScope(cairo_t* cr, int dpi) : cr_(cr) {
        cairo_save(cr_);
        cairo_scale(cr_, 72.0 / dpi, 72.0 / dpi);
    }
    ~DotsScope() { cairo_restore(cr_); }

private:
    cairo_t* cr_;
};

// The PDF's bytes on their way into the file's temporary; the first failure
// stops the document.
struct Sink {
    SafeFileWriter& file;
    std::string failure;
};

cairo_status_t writeToSink(void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<Sink*>(closure);
    if (!sink->failure.empty()) return CAIRO_STATUS_WRITE_ERROR;
    try {
        sink->file.write(data, length);
    } catch (const std::exception& e) {
        sink->failure = failureText(e);
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

wxSize paperMm(const wxPrintData& data) {
    wxSize mm(210, 297);
    if (const wxPrintPaperType* paper =
            wxThePrintPaperDatabase ? wxThePrintPaperDatabase->FindPaperType(data.GetPaperId())
                                    : nullptr)
        mm = paper->GetSizeMM();
    else if (data.GetPaperSize().x > 0 && data.GetPaperSize().y > 0)
        mm = data.GetPaperSize();
    if (data.GetOrientation() == wxLANDSCAPE) std::swap(mm.x, mm.y);
    return mm;
}

// The pages of ranges (either end first) within minPage..maxPage, each once,
// in order; every page of the printout when ranges is empty.
std::vector<int> pagesToPrint(const PageRanges& ranges, int minPage, int maxPage) {
    std::vector<int> pages;
    if (ranges.empty()) {
        for (int page = minPage; page <= maxPage; ++page)
            pages.push_back(page);
        return pages;
    }
    for (const auto& [first, last] : ranges)
        for (int page = std::max(std::min(first, last), minPage);
             page <= std::min(std::max(first, last), maxPage); ++page)
            pages.push_back(page);
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

// Runs the printout over the pages of ranges it has, as the toolkit's printer
// does. Returns an empty string or the reason it stopped.
wxString runPrintout(wxPrintout& printout, cairo_t* cr, wxSize mm, int dpi,
                     const PageRanges& ranges) {
    const wxSize pixels(int(mm.x * dpi / 25.4 + 0.5), int(mm.y * dpi / 25.4 + 0.5));
    // Text on a cairo surface is set at 96 dots per inch of its user space.
    printout.SetPPIScreen(96, 96);
    printout.SetPPIPrinter(dpi, dpi);
    printout.SetPageSizePixels(pixels.x, pixels.y);
    printout.SetPaperRectPixels(wxRect(0, 0, pixels.x, pixels.y));
    printout.SetPageSizeMM(mm.x, mm.y);

    int minPage = 0, maxPage = 0, fromPage = 0, toPage = 0;
    {
        DotsScope dots(cr, dpi);
        PdfPage layout(cr, pixels, mm, dpi);
        printout.SetDC(&layout);
        printout.OnPreparePrinting();
        printout.GetPageInfo(&minPage, &maxPage, &fromPage, &toPage);
        printout.SetDC(nullptr);
    }
    if (minPage < 1) minPage = 1;
    const std::vector<int> pages = pagesToPrint(ranges, minPage, maxPage);
    if (pages.empty()) return L"нет страниц для печати";

    printout.OnBeginPrinting();
    wxString error;
    bool begun = false;
    for (size_t n = 0; n < pages.size() && printout.HasPage(pages[n]); ++n) {
        const int page = pages[n];
        DotsScope dots(cr, dpi);
        PdfPage surface(cr, pixels, mm, dpi);
        printout.SetDC(&surface);
        if (!begun) {
            begun = printout.OnBeginDocument(page, pages.back());
            if (!begun) error = L"печать не началась";
        }
        if (begun && !printout.OnPrintPage(page)) error = L"страница не напечатана";
        if (!error.empty()) {
            printout.SetDC(nullptr);
            break;
        }
        if (n + 1 == pages.size() || !printout.HasPage(pages[n + 1])) printout.OnEndDocument();
        printout.SetDC(nullptr);
        cairo_show_page(cr);
    }
    printout.OnEndPrinting();
    if (error.empty() && !begun) error = L"нет страниц для печати";
    return error;
}

} // namespace

wxString printToPdf(wxPrintout& printout, const wxPrintData& data, const wxString& path,
                    const PageRanges& pages) {
    const std::string target(path.utf8_str());
    // What cannot be written is refused before a page is drawn; the pages
    // then go, as they are made, into the temporary of the program's one
    // writer, which keeps the file's identity and leaves no temporary behind.
    std::optional<SafeFileWriter> file;
    try {
        file.emplace(target);
    } catch (const std::exception& e) {
        return wxString::FromUTF8(failureText(e));
    }
    Sink sink{*file, {}};
    const wxSize mm = paperMm(data);
    cairo_surface_t* surface =
        cairo_pdf_surface_create_for_stream(writeToSink, &sink, mm.x * 72 / 25.4, mm.y * 72 / 25.4);
    cairo_t* cr = cairo_create(surface);
    wxString error = runPrintout(printout, cr, mm, printResolution(data), pages);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!sink.failure.empty()) return wxString::FromUTF8(sink.failure);
    if (!error.empty()) return error;
    if (!drawn)
        return wxString::FromUTF8(
            errorExc::withReason(CannotWriteFile, target, "ошибка формирования PDF").fullMessage());
    try {
        file->commit();
    } catch (const std::exception& e) {
        return wxString::FromUTF8(failureText(e));
    }
    return wxString();
}

// ---- printing through the dialog -----------------------------------------------

namespace {

// What GTK's print dialog chose to print to: a file, its format ("pdf", "ps",
// "svg") and the print operation under way. The toolkit's GTK library is in
// the process with wx; its functions are looked up there, so that its headers
// are no part of the build.
struct ChosenFile {
    std::string path, format;
    PageRanges pages; // empty: all pages
    GtkPrintOperation* job = nullptr;
};

// GTK's page range: pages from 0, last included.
struct GtkRange {
    int start, end;
};

template <class F> F gtkFunction(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// printer's settings, which the dialog has updated by the time the printout
// is prepared, with the dialog's choices into chosen.
std::optional<ChosenFile> chosenFile(wxPrinter& printer, wxPrintData& chosen) {
    chosen = printer.GetPrintDialogData().GetPrintData();
    auto* native = dynamic_cast<wxGtkPrintNativeData*>(chosen.GetNativeData());
    using Get = const char* (*)(GtkPrintSettings*, const char*);
    using FromUri = char* (*)(const char*, char**, void**);
    using Free = void (*)(void*);
    const auto get = gtkFunction<Get>("gtk_print_settings_get");
    const auto fromUri = gtkFunction<FromUri>("g_filename_from_uri");
    const auto release = gtkFunction<Free>("g_free");
    if (!native || !native->GetPrintConfig() || !get || !fromUri || !release) return std::nullopt;
    const char* uri = get(native->GetPrintConfig(), "output-uri");
    char* path = uri ? fromUri(uri, nullptr, nullptr) : nullptr;
    if (!path) return std::nullopt;
    ChosenFile file;
    file.path = path;
    release(path);
    const char* format = get(native->GetPrintConfig(), "output-file-format");
    file.format = format ? format : "";
    // The dialog's page ranges, all of them (wx keeps only the first).
    using Ranges = GtkRange* (*)(GtkPrintSettings*, int*);
    const char* which = get(native->GetPrintConfig(), "print-pages");
    if (const auto ranges = gtkFunction<Ranges>("gtk_print_settings_get_page_ranges");
        ranges && which && std::string_view(which) == "ranges") {
        int count = 0;
        GtkRange* range = ranges(native->GetPrintConfig(), &count);
        for (int n = 0; n < count; ++n)
            file.pages.emplace_back(range[n].start + 1, range[n].end + 1);
        release(range);
    }
    file.job = native->GetPrintJob();
    chosen.ConvertFromNative();
    return file;
}

// Stands for printout before the toolkit's printer: once the dialog has
// chosen, a file it chose is looked at before anything is drawn, and the
// toolkit's print is stopped when the program writes the file itself or
// refuses it. Everything else is passed on.
class ChosenFileCheck : public wxPrintout {
public:
    ChosenFileCheck(wxPrintout& printout, wxPrinter& printer, const std::string& image)
        : wxPrintout(printout.GetTitle()), printout_(printout), printer_(printer), image_(image) {}

    void OnPreparePrinting() override {
        if (dynamic_cast<wxPrinterDC*>(GetDC()) && (file_ = chosenFile(printer_, chosen_))) {
            if (!image_.empty() && sameFile(file_->path, image_)) {
                refused_ = true;
            } else if (file_->format == "pdf" ||
                       (file_->format.empty() && file_->path.ends_with(".pdf"))) {
                ownPdf_ = true;
            }
            if (stopped()) {
                using Cancel = void (*)(GtkPrintOperation*);
                if (const auto cancel = gtkFunction<Cancel>("gtk_print_operation_cancel");
                    cancel && file_->job)
                    cancel(file_->job);
                return;
            }
        }
        pass();
        printout_.OnPreparePrinting();
    }
    bool HasPage(int page) override { return !stopped() && (pass(), printout_.HasPage(page)); }
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override {
        if (stopped()) {
            *minPage = *maxPage = *pageFrom = *pageTo = 1;
            return;
        }
        pass();
        printout_.GetPageInfo(minPage, maxPage, pageFrom, pageTo);
    }
    void OnBeginPrinting() override {
        if (!stopped()) pass(), printout_.OnBeginPrinting();
    }
    void OnEndPrinting() override {
        if (!stopped()) pass(), printout_.OnEndPrinting();
    }
    bool OnBeginDocument(int startPage, int endPage) override {
        return !stopped() && (pass(), printout_.OnBeginDocument(startPage, endPage));
    }
    void OnEndDocument() override {
        if (!stopped()) pass(), printout_.OnEndDocument();
    }
    bool OnPrintPage(int page) override {
        return !stopped() && (pass(), printout_.OnPrintPage(page));
    }

    bool stopped() const { return refused_ || ownPdf_; }
    bool refused() const { return refused_; }
    bool ownPdf() const { return ownPdf_; }
    const std::string& path() const { return file_->path; }
    const PageRanges& pages() const { return file_->pages; }
    const wxPrintData& chosen() const { return chosen_; }

private:
    // The printout draws on what this one was given.
    void pass() {
        int w = 0, h = 0;
        printout_.SetDC(GetDC());
        GetPageSizePixels(&w, &h);
        printout_.SetPageSizePixels(w, h);
        GetPageSizeMM(&w, &h);
        printout_.SetPageSizeMM(w, h);
        GetPPIScreen(&w, &h);
        printout_.SetPPIScreen(w, h);
        GetPPIPrinter(&w, &h);
        printout_.SetPPIPrinter(w, h);
        printout_.SetPaperRectPixels(GetPaperRectPixels());
    }

    wxPrintout& printout_;
    wxPrinter& printer_;
    std::string image_;
    std::optional<ChosenFile> file_;
    wxPrintData chosen_;
    bool refused_ = false, ownPdf_ = false;
};

} // namespace

wxString printWithDialog(wxWindow* parent, wxPrintout& printout, wxPrintData& data) {
    wxPrintDialogData dialogData(data);
    dialogData.SetAllPages(true);
    wxPrinter printer(&dialogData);
    ChosenFileCheck check(printout, printer, sharedPrintSettings().imageFile);
    const bool printed = printer.Print(parent, &check, true);
    if (check.refused())
        return wxString::FromUTF8(
            failureText(errorExc::withReason(CannotCreateFile, check.path(), IsAnInput), true));
    if (check.ownPdf()) {
        data = check.chosen();
        return printToPdf(printout, data, wxString(check.path().c_str(), wxConvFile),
                          check.pages());
    }
    if (printed) data = printer.GetPrintDialogData().GetPrintData();
    return wxString();
}

// ---- the preview frame ---------------------------------------------------------

void showPreviewFrame(wxPrintPreview* preview, const wxString& title) {
    if (!preview->IsOk()) {
        delete preview;
        return;
    }
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    const int index = top ? wxDisplay::GetFromWindow(top) : wxNOT_FOUND;
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    // Nine tenths of the screen's height, as wide as a portrait page with the
    // control bar needs, and never wider than the screen.
    wxSize size(0, area.height * 9 / 10);
    size.x = std::min(area.width * 9 / 10, std::max(640, size.y * 4 / 5));
    auto* frame = new wxPreviewFrame(preview, nullptr, title, area.GetPosition(), size,
                                     wxDEFAULT_FRAME_STYLE, L"frame");
    frame->Initialize();
    // Wide enough for the whole control bar, «Закрыть» at its end included.
    if (const wxPreviewControlBar* bar = frame->GetControlBar())
        size.x = std::min(area.width, std::max(size.x, bar->GetBestSize().x + frame->GetSize().x -
                                                           frame->GetClientSize().x));
    const wxRect rect(
        wxPoint(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2), size);
    // Initialize lays the frame out around its control bar and may shrink it
    // to that: the size and place are set again once it is built.
    frame->SetMinSize(wxSize(std::min(480, size.x), std::min(360, size.y)));
    frame->SetSize(rect);
    // A window manager places a new window where it likes: the frame goes
    // back to the middle once it is on screen.
    frame->Bind(wxEVT_SHOW, [frame, rect](wxShowEvent& event) {
        if (event.IsShown()) frame->CallAfter([frame, rect] { frame->SetSize(rect); });
        event.Skip();
    });
    frame->Show();
}
