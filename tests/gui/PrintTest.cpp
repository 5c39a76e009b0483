// Printing of the pages: the HTML printout's pages and page breaks, the PDF
// file written without a dialog (and left alone when that fails), the print
// dialog's print to a file, and the preview frames, which open centred at a
// usable size however many came before.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <wx/cmndata.h>
#include <wx/dir.h>
#include <wx/display.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/gtk/print.h>
#include <wx/print.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include "app/GruvikApp.h"
#include "app/MainFrame.h"
#include "common/Progress.h"
#include "gui/GuiTest.h"
#include "gui/HtmlPrintout.h"
#include "gui/PrintSettings.h"
#include "gui/Printing.h"
#include "pages/GraphWindow.h"
#include "pages/JournalPrintout.h"
#include "pages/ReportWindow.h"
#include "pages/SetupWindow.h"
#include "pages/TextLog.h"
#include "testsupport/ScopedTZ.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The output of a command (its standard error dropped).
std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

int pdfPages(const std::string& pdf) {
    const std::string info = output("pdfinfo '" + pdf + "'");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// GTK's functions, looked up in the process as the program looks them up (its
// headers are no part of the build).
template <class F> F gtk(const char* name) {
    auto f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    if (!f) ADD_FAILURE() << "no " << name;
    return f;
}

struct GtkList {
    void* data;
    GtkList *next, *prev;
};

constexpr int gtkAccept = -3, gtkOk = -5, gtkCancel = -6;

void respond(void* dialog, int response) {
    gtk<void (*)(void*, int)>("gtk_dialog_response")(dialog, response);
}

// The name GTK's file printer has in this locale.
std::string filePrinter() {
    return gtk<const char* (*)(const char*, const char*)>("g_dgettext")("gtk30", "Print to File");
}

// Answers GTK's print dialog from inside its loop, as a user would: once the
// file printer is selected (the dialog was opened with it), optionally types
// page ranges, then presses response; a question whether to replace an
// existing file is answered «Replace». Whatever is still open after a few
// seconds is cancelled, and the driver says it was overdue.
class PrintDialogDriver : public wxTimer {
public:
    PrintDialogDriver(int response, const char* pageRanges)
        : response_(response), ranges_(pageRanges), printer_(filePrinter()) {
        Start(20);
    }
    ~PrintDialogDriver() override { Stop(); }

    bool answered = false, overdue = false;
    int questions = 0;

    void Notify() override {
        using Type = size_t (*)();
        using IsA = int (*)(void*, size_t);
        static const auto isA = gtk<IsA>("g_type_check_instance_is_a");
        static const auto printDialog = gtk<Type>("gtk_print_unix_dialog_get_type")();
        static const auto messageDialog = gtk<Type>("gtk_message_dialog_get_type")();
        static const auto mapped = gtk<int (*)(void*)>("gtk_widget_get_mapped");
        void *print = nullptr, *question = nullptr;
        GtkList* windows = gtk<GtkList* (*)()>("gtk_window_list_toplevels")();
        for (GtkList* w = windows; w; w = w->next) {
            if (!mapped(w->data)) continue;
            if (isA(w->data, printDialog)) print = w->data;
            if (isA(w->data, messageDialog)) question = w->data;
        }
        gtk<void (*)(GtkList*)>("g_list_free")(windows);
        if (clock_.Time() > 8000) {
            overdue = true;
            if (question) respond(question, gtkCancel);
            if (print) respond(print, gtkCancel);
            return;
        }
        if (question) {
            ++questions;
            respond(question, gtkAccept);
            return;
        }
        if (!print || answered || !printerChosen(print)) return;
        if (ranges_) {
            auto* settings = gtk<void* (*)(void*)>("gtk_print_unix_dialog_get_settings")(print);
            const auto set =
                gtk<void (*)(void*, const char*, const char*)>("gtk_print_settings_set");
            set(settings, "print-pages", "ranges");
            set(settings, "page-ranges", ranges_);
            gtk<void (*)(void*, void*)>("gtk_print_unix_dialog_set_settings")(print, settings);
            gtk<void (*)(void*)>("g_object_unref")(settings);
        }
        answered = true;
        // From a timer of its own: the dialog may ask a question in a loop of
        // its own before it closes, which this one answers.
        press_.dialog = print;
        press_.response = response_;
        press_.StartOnce(50);
    }

private:
    bool printerChosen(void* dialog) {
        void* printer = gtk<void* (*)(void*)>("gtk_print_unix_dialog_get_selected_printer")(dialog);
        const char* name =
            printer ? gtk<const char* (*)(void*)>("gtk_printer_get_name")(printer) : nullptr;
        return name && name == printer_;
    }

    struct Press : wxTimer {
        void* dialog = nullptr;
        int response = 0;
        void Notify() override { respond(dialog, response); }
    };

    int response_;
    const char* ranges_;
    std::string printer_;
    wxStopWatch clock_;
    Press press_;
};

// The print dialog lists GTK's file printer alone: no waiting for the
// printing system's printers, which a test machine may or may not have.
void onlyTheFilePrinter() {
    void* settings = gtk<void* (*)()>("gtk_settings_get_default")();
    gtk<void (*)(void*, const char*, ...)>("g_object_set")(settings, "gtk-print-backends", "file",
                                                           nullptr);
}

// Print data whose print dialog opens on GTK's file printer, aimed at path in
// PDF.
wxPrintData printToFileData(const std::string& path) {
    wxPrintData data;
    data.SetPaperId(wxPAPER_A4);
    data.SetPrinterName(wxString::FromUTF8(filePrinter()));
    auto* native = dynamic_cast<wxGtkPrintNativeData*>(data.GetNativeData());
    char* uri = gtk<char* (*)(const char*, void*, void*)>("g_filename_to_uri")(path.c_str(),
                                                                               nullptr, nullptr);
    const auto set = gtk<void (*)(void*, const char*, const char*)>("gtk_print_settings_set");
    set(native->GetPrintConfig(), "output-uri", uri);
    set(native->GetPrintConfig(), "output-file-format", "pdf");
    gtk<void (*)(void*)>("g_free")(uri);
    return data;
}

// Stops a printout as its second page is printed.
struct StopAtSecondPage : Progress {
    int pages = 0;
    bool update(int, const std::string& message) override {
        return message.find("Печать") == std::string::npos || ++pages < 2;
    }
};

class PrintTest : public guitest::MainFrameTest {
protected:
    void SetUp() override {
        MainFrameTest::SetUp();
        folder = "print-test-" + std::to_string(::getpid());
        ::mkdir(folder.c_str(), 0755);
    }
    void TearDown() override {
        wxFileName::Rmdir(wxString::FromUTF8(folder), wxPATH_RMDIR_RECURSIVE);
        MainFrameTest::TearDown();
    }
    // The demo recorder the build makes, analysed as the open command does.
    void openDemo() {
        frame->openImageFile(wxGetCwd() + L"/demo.rpd");
        ASSERT_FALSE(frame->events.empty());
    }
    std::string folder;
    ScopedTZ tz{"UTC"};
};

TEST(KeepTogether, MovesABreakThatCutsASpanUpToItsTop) {
    const std::vector<std::pair<int, int>> kept{{700, 900}, {1500, 2300}};
    EXPECT_EQ(keepTogether(0, 800, 1000, kept), 700);   // inside the first span
    EXPECT_EQ(keepTogether(0, 650, 1000, kept), 650);   // before it
    EXPECT_EQ(keepTogether(0, 900, 1000, kept), 900);   // at its end: nothing cut
    EXPECT_EQ(keepTogether(750, 800, 1000, kept), 800); // it starts above the page
    // Taller than a page: it has to be cut somewhere.
    EXPECT_EQ(keepTogether(1000, 2000, 700, kept), 2000);
    EXPECT_EQ(keepTogether(1000, 2000, 800, kept), 1500);
}

TEST_F(PrintTest, HtmlPrintoutOffersAllPagesAndKeepsHeadingsWithTheirTables) {
    openDemo();
    auto printout =
        controlsOf(*frame).protocolPage->printer.printout(controlsOf(*frame).protocolPage->printed);
    // Before it is laid out no page range is proposed: the print dialog then
    // selects all pages.
    int info[4] = {-1, -1, -1, -1};
    printout->GetPageInfo(&info[0], &info[1], &info[2], &info[3]);
    EXPECT_EQ(std::vector<int>(info, info + 4), (std::vector<int>{1, 0, 0, 0}));

    const std::string pdf = folder + "/protocol.pdf";
    ASSERT_EQ(
        guitest::utf8(printToPdf(*printout, controlsOf(*frame).protocolPage->printer.printData,
                                 wxString::FromUTF8(pdf))),
        "");
    printout->GetPageInfo(&info[0], &info[1], &info[2], &info[3]);
    const int pages = int(printout->pageBreaks().size()) - 1;
    EXPECT_GE(pages, 2);
    EXPECT_EQ(std::vector<int>(info, info + 4), (std::vector<int>{1, pages, 1, pages}));
    EXPECT_TRUE(printout->HasPage(pages));
    EXPECT_FALSE(printout->HasPage(pages + 1));
    EXPECT_EQ(readFile(pdf).rfind("%PDF-", 0), 0u);

    // Three sections, each a heading bar over a table: six spans, and no
    // break inside one that fits on a page.
    ASSERT_EQ(printout->keptTogether().size(), 6u);
    for (const auto& [top, bottom] : printout->keptTogether()) {
        if (bottom - top > printout->pageHeight()) continue;
        for (int b : printout->pageBreaks())
            EXPECT_FALSE(b > top && b < bottom) << "break " << b << " in " << top << "-" << bottom;
    }
}

TEST_F(PrintTest, PdfOfEveryPageAndNothingLeftWhenItFails) {
    openDemo();
    const std::string journal = folder + "/journal.pdf";
    EXPECT_EQ(guitest::utf8(controlsOf(*frame).journalPage->printPdf(wxString::FromUTF8(journal))),
              "");
    EXPECT_EQ(readFile(journal).rfind("%PDF-", 0), 0u);
    const std::string graph = folder + "/graph.pdf";
    EXPECT_EQ(guitest::utf8(controlsOf(*frame).graphPage->printPdf(wxString::FromUTF8(graph))), "");
    EXPECT_EQ(readFile(graph).rfind("%PDF-", 0), 0u);
    // The settings page prints nothing, and says so.
    EXPECT_NE(guitest::utf8(
                  controlsOf(*frame).settingsPage->printPdf(wxString::FromUTF8(folder + "/s.pdf"))),
              "");
    EXPECT_FALSE(exists(folder + "/s.pdf"));

    // A folder that does not exist: a message and no file.
    EXPECT_NE(guitest::utf8(controlsOf(*frame).journalPage->printPdf(
                  wxString::FromUTF8(folder + "/missing/journal.pdf"))),
              "");
    // A target that cannot be replaced (a folder) stays as it was, and no
    // temporary file is left beside it.
    ::mkdir((folder + "/taken.pdf").c_str(), 0755);
    EXPECT_NE(guitest::utf8(controlsOf(*frame).journalPage->printPdf(
                  wxString::FromUTF8(folder + "/taken.pdf"))),
              "");
    struct stat st;
    ASSERT_EQ(::stat((folder + "/taken.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    wxArrayString left;
    wxDir::GetAllFiles(wxString::FromUTF8(folder), &left, wxEmptyString,
                       wxDIR_FILES | wxDIR_HIDDEN);
    EXPECT_EQ(left.size(), 2u); // journal.pdf and graph.pdf
    // A file printed again is replaced whole.
    const std::string before = readFile(journal);
    EXPECT_EQ(guitest::utf8(controlsOf(*frame).journalPage->printPdf(wxString::FromUTF8(journal))),
              "");
    EXPECT_EQ(readFile(journal).size(), before.size());
}

TEST_F(PrintTest, PrintToFileInTheDialog) {
    openDemo();
    onlyTheFilePrinter();
    const std::string dir = guitest::utf8(wxGetCwd()) + "/" + folder;
    // A journal of a few pages.
    const JournalRows& rows = controlsOf(*frame).journalPage->view->rows();
    const JournalRows some(rows.begin(), rows.begin() + std::min<size_t>(rows.size(), 200));
    JournalPrintout printout(L"Журнал", some, L"",
                             controlsOf(*frame).journalPage->printer.pageSetupData, nullptr);
    // Prints through the dialog, which is aimed at target and answered with
    // response after the page ranges (GTK's: pages from 0) are typed in.
    const auto print = [&](const std::string& target, int response, const char* ranges,
                           wxPrintout* other = nullptr) {
        wxPrintData data = printToFileData(target);
        PrintDialogDriver driver(response, ranges);
        guitest::allowNextModal();
        const std::string error =
            guitest::utf8(printWithDialog(frame, other ? *other : printout, data));
        EXPECT_TRUE(driver.answered);
        EXPECT_FALSE(driver.overdue);
        return std::make_pair(error, driver.questions);
    };
    const auto text = [](const std::string& pdf, int first, int last) {
        return output("pdftotext -f " + std::to_string(first) + " -l " + std::to_string(last) +
                      " '" + pdf + "' -");
    };

    // Every page: the file has the printout's pages. The other prints are
    // compared with it (the dialog's printer sets the resolution they are laid
    // out at).
    const std::string all = dir + "/all.pdf";
    ASSERT_EQ(print(all, gtkOk, nullptr), std::make_pair(std::string(), 0));
    int minPage = 0, pages = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &pages, &from, &to);
    ASSERT_GE(pages, 3);
    EXPECT_EQ(readFile(all).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(pdfPages(all), pages);

    // The open image, a link to it, and a PDF of another name linked twice.
    const std::string image = dir + "/image.rpd", link = dir + "/link.rpd";
    ASSERT_TRUE(wxCopyFile(L"demo.rpd", wxString::FromUTF8(image)));
    ASSERT_EQ(::symlink(image.c_str(), link.c_str()), 0);
    const std::string imageBytes = readFile(image);
    struct ImageFile {
        std::string was = sharedPrintSettings().imageFile;
        ~ImageFile() { sharedPrintSettings().imageFile = was; }
    } restored;
    sharedPrintSettings().imageFile = image;
    const std::string kept = dir + "/kept.pdf", twin = dir + "/twin.pdf";
    { std::ofstream(kept) << "old"; }
    ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
    ASSERT_EQ(::link(kept.c_str(), twin.c_str()), 0);
    struct stat before;
    ASSERT_EQ(::stat(kept.c_str(), &before), 0);
    // A print that stops part-way leaves that file as it was.
    {
        JournalPrintout stopping(L"Журнал", some, L"",
                                 controlsOf(*frame).journalPage->printer.pageSetupData,
                                 std::make_unique<StopAtSecondPage>());
        EXPECT_NE(print(kept, gtkOk, nullptr, &stopping).first, "");
        EXPECT_EQ(readFile(kept), "old");
    }

    struct Case {
        const char* name;
        std::string target;
        int response;
        const char* ranges; // GTK's, pages from 0; null: all pages
        std::string shown;  // the text of the file made; empty: none made
        bool refused;
    };
    const Case cases[] = {
        {"pages 2 to 3", dir + "/some.pdf", gtkOk, "1-2", text(all, 2, 3), false},
        {"pages 3 and 1", dir + "/two.pdf", gtkOk, "2,0", text(all, 1, 1) + text(all, 3, 3), false},
        {"pages beyond the last", dir + "/none.pdf", gtkOk, "20-30", "", false},
        {"cancelled", dir + "/none.pdf", gtkCancel, nullptr, "", false},
        {"the image", image, gtkOk, nullptr, "", true},
        {"a link to the image", link, gtkOk, nullptr, "", true},
        {"a file linked twice", kept, gtkOk, nullptr, text(all, 1, pages), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool existed = exists(c.target);
        const auto [error, questions] = print(c.target, c.response, c.ranges);
        // GTK asks before it lets a file that exists be chosen.
        EXPECT_EQ(questions, existed && c.response == gtkOk ? 1 : 0);
        if (c.refused) {
            EXPECT_NE(error.find("это входной файл, он не будет перезаписан"), std::string::npos)
                << error;
            EXPECT_EQ(readFile(image), imageBytes);
        } else if (c.shown.empty()) {
            EXPECT_EQ(error.empty(), c.response == gtkCancel) << error;
            EXPECT_FALSE(exists(c.target));
        } else {
            EXPECT_EQ(error, "");
            EXPECT_EQ(readFile(c.target).rfind("%PDF-", 0), 0u);
            EXPECT_TRUE(output("pdftotext '" + c.target + "' -") == c.shown);
        }
    }
    // The file linked twice is still one file, with its mode.
    struct stat after, other;
    ASSERT_EQ(::stat(kept.c_str(), &after), 0);
    ASSERT_EQ(::stat(twin.c_str(), &other), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(other.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    // Nothing else was left in the folder: no temporary.
    wxArrayString left;
    wxDir::GetAllFiles(wxString::FromUTF8(folder), &left, wxEmptyString,
                       wxDIR_FILES | wxDIR_HIDDEN);
    EXPECT_EQ(left.size(), 7u); // all, some, two, image, link, kept, twin
}

TEST_F(PrintTest, PreviewsOpenCentredAtAUsableSizeEveryTime) {
    openDemo();
    const wxRect area = wxDisplay(0u).GetClientArea();
    PrintPanel* pages[] = {controlsOf(*frame).journalPage, controlsOf(*frame).protocolPage,
                           controlsOf(*frame).graphPage};
    for (int round = 0; round < 5; ++round) {
        for (PrintPanel* page : pages) {
            page->previewPage();
            wxPreviewFrame* preview = nullptr;
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* p = dynamic_cast<wxPreviewFrame*>(w))
                    if (!wxTheApp->IsScheduledForDestruction(p)) preview = p;
            ASSERT_TRUE(preview) << "round " << round;
            ASSERT_TRUE(guitest::waitFor([&] { return preview->IsShownOnScreen(); }));
            guitest::waitFor([] { return false; }, 100); // let the toolkit settle its size
            const wxRect r = preview->GetScreenRect();
            EXPECT_TRUE(area.Contains(r)) << "round " << round << ": " << r.x << "," << r.y << " "
                                          << r.width << "x" << r.height;
            EXPECT_GT(r.height, area.height * 8 / 10) << "round " << round;
            EXPECT_GT(r.width, 600) << "round " << round;
            EXPECT_LE(std::abs(r.x + r.width / 2 - (area.x + area.width / 2)), 8);
            EXPECT_LE(std::abs(r.y + r.height / 2 - (area.y + area.height / 2)), 8);
            preview->Close(true);
            wxTheApp->ProcessPendingEvents();
            guitest::waitFor([&] { return !wxTheApp->IsScheduledForDestruction(preview); }, 200);
        }
    }
}

} // namespace
