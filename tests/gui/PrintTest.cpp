// Printing of the pages: the HTML printout's pages and page breaks, the PDF
// file written without a dialog (and left alone when that fails), and the
// preview frames, which open centred at a usable size however many came before.
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
#include <wx/print.h>

#include "app/GruvikApp.h"
#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "gui/HtmlPrintout.h"
#include "gui/Printing.h"
#include "pages/GraphWindow.h"
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
