// The journal page's view: every row of the journal list, each laid out as
// the document's row when it comes on screen, under a header that stays; a
// journal of any length opens, scrolls and shrinks without holding the whole
// document. The figures of a full memory are printed for the record.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <unistd.h>
#include <vector>

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmlwin.h>
#include <wx/notebook.h>
#include <wx/print.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/MainFrame.h"
#include "common/Progress.h"
#include "events/EventTime.h"
#include "gui/GuiTest.h"
#include "gui/Printing.h"
#include "pages/JournalPrintout.h"
#include "pages/TextLog.h"
#include "testsupport/FullMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/JournalHtml.h"

using guitest::utf8;

namespace {

// The resident memory of this process, in megabytes.
double residentMb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct CancelAtOnce : Progress {
    bool update(int, const std::string&) override { return false; }
};

class JournalViewTest : public guitest::MainFrameTest {
protected:
    TextLog& page() { return *controlsOf(*frame).journalPage; }
    JournalView& view() { return *page().view; }

    void showJournal() {
        auto* notebook = controlsOf(*frame).notebook;
        notebook->SetSelection(notebook->FindPage(&page()));
        ASSERT_TRUE(guitest::waitFor([&] { return view().IsShownOnScreen(); }));
    }
    // A full recorder memory saved in dir, opened, its journal shown.
    void openFullMemory(TempDir& dir) {
        {
            RecorderImage image;
            synthesizeFullMemory(image);
            image.save(dir.file("full.rpd"));
        }
        frame->openImageFile(wxString::FromUTF8(dir.file("full.rpd")));
        showJournal();
    }
    // Level 1, every box, no row limit: the longest journal there is.
    void applyEverything(const char* count = "0") {
        controlsOf(*frame).detailChoice->SetSelection(0);
        controlsOf(*frame).discreteCheck->SetValue(true);
        controlsOf(*frame).relayCheck->SetValue(true);
        controlsOf(*frame).countField->ChangeValue(wxString::FromUTF8(count));
        wxCommandEvent apply(wxEVT_BUTTON, CmdApplyFilter);
        apply.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(apply);
    }
    void expectEveryRowOfTheList() {
        const size_t rows = listSize(frame->lists.journalList);
        ASSERT_EQ(view().rows().size(), rows);
        EXPECT_EQ(view().GetItemCount(), rows);
        size_t k = 0;
        for (const genericParser* e : frame->lists.journalList) {
            ASSERT_EQ(view().rows()[k], e) << k;
            ++k;
        }
    }
    // Presses End in the view, as the user would, and waits for the last row.
    void endKey() {
        view().SetFocus();
        ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == &view(); }));
        wxUIActionSimulator().Char(WXK_END);
        EXPECT_TRUE(
            guitest::waitFor([&] { return view().IsRowVisible(view().rows().size() - 1); }));
    }

    ScopedTZ tz{"Europe/Moscow"};
};

TEST_F(JournalViewTest, TheDemoAtLevelOneShowsEveryRowAsTheDocumentHasIt) {
    frame->openImageFile(wxGetCwd() + L"/demo.rpd");
    ASSERT_FALSE(frame->events.empty());
    showJournal();
    applyEverything();
    ASSERT_GT(listSize(frame->lists.journalList), 100000u);
    expectEveryRowOfTheList();

    // Each item is its event's row with the document's colours and pictures.
    bool coloured = false, pictured = false;
    for (size_t k = 0; k < 5000; ++k) {
        const std::string item = utf8(view().itemHtml(k));
        ASSERT_EQ(item, journalItemHtml(*view().rows()[k], view().timeWidth())) << k;
        std::string row;
        appendJournalRow(row, *view().rows()[k]);
        const std::string description = row.substr(row.find("</TD><TD") + 8);
        EXPECT_NE(item.find(description.substr(description.find('>') + 1, 20)), std::string::npos);
        coloured |= item.find("BGCOLOR=") != std::string::npos;
        pictured |=
            item.find("<IMG") != std::string::npos || item.find("<img") != std::string::npos;
    }
    EXPECT_TRUE(coloured);
    EXPECT_TRUE(pictured);

    // The header names the columns above the rows and stays there.
    const std::string header = utf8(page().header->ToText());
    EXPECT_NE(header.find("Дата и время"), std::string::npos) << header;
    EXPECT_NE(header.find("Описание события"), std::string::npos);
    EXPECT_LE(page().header->GetRect().GetBottom(), view().GetRect().GetTop());
    // As high as its two lines, whatever the width.
    EXPECT_TRUE(guitest::waitFor([&] {
        const wxHtmlContainerCell* cell = page().header->GetInternalRepresentation();
        return cell && cell->GetHeight() > 20 &&
               page().header->GetClientSize().y == cell->GetHeight();
    })) << page().header->GetClientSize().y;
    endKey();
    EXPECT_TRUE(page().header->IsShownOnScreen());
    EXPECT_FALSE(view().IsRowVisible(0));
}

// The figures of the longest journal: not a speed check (tests never assert
// on time), printed for the record; the memory is checked by what is kept.
TEST_F(JournalViewTest, AFullMemoryWithoutALimitOpensScrollsAndShrinks) {
    TempDir dir;
    openFullMemory(dir);
    const double before = residentMb();
    const auto started = std::chrono::steady_clock::now();
    applyEverything();
    view().Update();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    const double after = residentMb();
    expectEveryRowOfTheList();
    const size_t rows = view().rows().size();
    EXPECT_GT(rows, 500000u);

    const auto endStarted = std::chrono::steady_clock::now();
    endKey();
    const auto endMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - endStarted)
                           .count();
    view().ScrollToRow(rows / 2);
    EXPECT_TRUE(view().IsRowVisible(rows / 2));

    applyEverything("1000");
    EXPECT_EQ(view().rows().size(), listSize(frame->lists.journalList));
    EXPECT_LE(view().rows().capacity(), 1000u); // the long journal's room is given back
    const double shrunk = residentMb();
    std::printf("full memory, level 1, no limit: %zu rows, applied in %lld ms, End in %lld ms; "
                "resident %.0f MB before, %.0f MB after, %.0f MB at 1000 rows\n",
                rows, static_cast<long long>(ms), static_cast<long long>(endMs), before, after,
                shrunk);
    RecordProperty("apply_ms", static_cast<int>(ms));
    RecordProperty("resident_mb", static_cast<int>(after));
}

// The rows point into the events: once those are gone the view shows none,
// and a cancelled rebuild cannot bring the old ones back.
TEST_F(JournalViewTest, RowsGoWithTheirEvents) {
    frame->openImageFile(wxGetCwd() + L"/demo.rpd");
    showJournal();
    ASSERT_EQ(view().rows().size(), listSize(frame->lists.journalList));
    ASSERT_GT(view().rows().size(), 0u);
    frame->clearEvents();
    EXPECT_TRUE(view().rows().empty());
    view().Refresh();
    view().Update(); // paints no row
    CancelAtOnce cancel;
    page().regenerate(&cancel);
    EXPECT_TRUE(view().rows().empty());
    EXPECT_EQ(view().GetItemCount(), 0u);
    JournalRows none;
    std::string empty;
    buildJournalHtml(none, nullptr, empty);
    EXPECT_EQ(guitest::journalDocument(page()), empty);
    EXPECT_EQ(guitest::journalText(page()).find("/"), std::string::npos);
}

// Ctrl+C puts the selected rows on the clipboard: time, a tab, the
// description, a line each.
TEST_F(JournalViewTest, CtrlCCopiesTheSelectedRows) {
    frame->openImageFile(wxGetCwd() + L"/demo.rpd");
    showJournal();
    ASSERT_GT(view().rows().size(), 3u);
    view().Select(0);
    view().Select(2);
    view().SetFocus();
    ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == &view(); }));
    {
        wxClipboardLocker locker;
        wxTheClipboard->SetData(new wxTextDataObject(L"before"));
    }
    wxUIActionSimulator().Char('c', wxMOD_CONTROL);
    std::string copied;
    guitest::waitFor([&] {
        wxClipboardLocker locker;
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data)) copied = utf8(data.GetText());
        return copied != "before";
    });
    std::string expected;
    for (size_t k : {size_t(0), size_t(2)}) {
        const genericParser& e = *view().rows()[k];
        expected += eventTimeText(e.seconds, e.tenths) + "\t" + e.plainText() + "\n";
    }
    EXPECT_EQ(copied, expected);
    EXPECT_NE(expected.find("/2022 10:0"), std::string::npos) << expected;
}

// Cancels at the first report of the printing of pages, after they were counted.
struct CancelWhenPrinting : Progress {
    bool update(int, const std::string& message) override {
        return message.find("Печать") == std::string::npos;
    }
};

// The print previews open.
std::vector<wxPreviewFrame*> previews() {
    std::vector<wxPreviewFrame*> open;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* preview = dynamic_cast<wxPreviewFrame*>(w);
            preview && !wxTheApp->IsScheduledForDestruction(preview) && !preview->IsBeingDeleted())
            open.push_back(preview);
    return open;
}

TEST_F(JournalViewTest, ACancelledLongPrintLeavesNothingAndThePageGoesOn) {
    TempDir dir;
    openFullMemory(dir);
    applyEverything();
    ASSERT_GT(view().rows().size(), 20000u);

    // The preview's progress dialog, cancelled while the pages are counted:
    // no preview stays open.
    {
        guitest::ProgressWatch watch(true);
        page().previewPage();
        EXPECT_TRUE(guitest::waitFor([&] { return watch.cancelled && previews().empty(); }));
    }

    // A PDF cancelled while its pages are counted, or after some are made:
    // no file, nothing else beside it.
    for (bool counting : {true, false}) {
        std::unique_ptr<Progress> cancel;
        if (counting)
            cancel = std::make_unique<CancelAtOnce>();
        else
            cancel = std::make_unique<CancelWhenPrinting>();
        JournalPrintout printout(L"Журнал", view().rows(), L"", page().printer.pageSetupData,
                                 std::move(cancel));
        EXPECT_FALSE(printToPdf(printout, page().printer.printData,
                                wxString::FromUTF8(dir.file("journal.pdf")))
                         .empty());
        EXPECT_TRUE(printout.cancelled());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1); // the image alone
    }

    // The page goes on: its preview opens with its pages.
    page().previewPage();
    const auto shown = previews();
    ASSERT_EQ(shown.size(), 1u);
    wxPrintPreviewBase* preview = shown[0]->GetControlBar()->GetPrintPreview();
    EXPECT_TRUE(guitest::waitFor([&] { return preview->GetMaxPage() > 1000; }));
    shown[0]->Destroy();
    wxTheApp->ProcessPendingEvents();
}

} // namespace
