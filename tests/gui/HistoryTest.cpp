// The archive in the window: «История» says how to file a reading while the
// recorder has none, «В архив» files the open image once and says where, the
// page lists the demo crane's series in time order with the figures of its
// periods and marks the open image's row, and «Парк кранов» opens the
// recorder's latest image.
#include <ctime>
#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/testing.h>

#include "app/FleetDialog.h"
#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "history/Archive.h"
#include "image/RecorderImage.h"
#include "pages/HistoryWindow.h"
#include "testsupport/DemoRecorder.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"

using guitest::utf8;

namespace {

class HistoryTest : public guitest::MainFrameTest {
protected:
    void command(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        frame->GetEventHandler()->ProcessEvent(event);
    }
    std::string status() { return utf8(frame->GetStatusBar()->GetStatusText()); }
    std::string table() { return utf8(controlsOf(*frame).historyPage->tableHtml); }

    ScopedTZ tz{"UTC"};
    TempDir dir;
};

// Chooses the fleet's only recorder, which the dialog has selected.
class FleetChoice : public wxExpectModalBase<FleetDialog, FleetChoice> {
protected:
    int OnInvoked(FleetDialog* dialog) const override {
        EXPECT_EQ(dialog->list->GetItemCount(), 1);
        EXPECT_EQ(utf8(dialog->list->GetItemText(0, 0)), "0417");
        EXPECT_NE(dialog->chosen(), nullptr);
        return wxID_OK;
    }
};

} // namespace

TEST_F(HistoryTest, FilesTheOpenImageListsTheSeriesAndOpensTheLatest) {
    frame->archiveFolder = dir.file("archive");
    HistoryWindow* page = controlsOf(*frame).historyPage;

    // The crane's earlier readings, every three months since its installation.
    std::vector<std::string> images;
    for (const demo::Day& day : demo::seriesDays()) {
        RecorderImage image;
        synthesizeDemoMemoryOn(image, day);
        images.push_back(dir.file("demo-" + std::to_string(images.size()) + ".rpd"));
        image.save(images.back());
    }
    ASSERT_GE(images.size(), 3u);
    ASSERT_TRUE(frame->openImageFile(wxString::FromUTF8(images[1])));
    EXPECT_TRUE(page->rows().empty());
    EXPECT_FALSE(page->printable());
    EXPECT_NE(table().find("Регистратор № 0417: считываний в архиве нет"), std::string::npos);
    EXPECT_NE(table().find("«В архив»"), std::string::npos);

    command(CmdToArchive);
    const std::string filed = dir.file("archive") + "/0417/";
    EXPECT_EQ(status().rfind("Образ сохранён в архиве: " + filed, 0), 0u) << status();
    ASSERT_EQ(page->rows().size(), 1u);
    command(CmdToArchive);
    EXPECT_EQ(status().rfind("Образ уже был в архиве: " + filed, 0), 0u) << status();
    ASSERT_EQ(page->rows().size(), 1u);

    {
        Archive archive(frame->archiveFolder);
        for (const std::string& image : images)
            archive.add(image);
    }
    frame->openImageFile(wxString::FromUTF8(images[1]));
    const std::vector<HistoryRow>& rows = page->rows();
    ASSERT_EQ(rows.size(), images.size());
    EXPECT_EQ(utf8(page->heading->GetLabel()),
              "Регистратор № 0417: считываний в архиве " + std::to_string(rows.size()));
    EXPECT_TRUE(page->heading->IsShown());
    EXPECT_TRUE(page->printable());
    // In time order, each period the difference of the crane's counters, the
    // open image's row marked.
    size_t at = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Reading& r = rows[i].reading;
        if (i > 0) {
            ASSERT_GT(r.lastEventSeconds, rows[i - 1].reading.lastEventSeconds);
            ASSERT_EQ(rows[i].period.state, Period::State::known);
            EXPECT_EQ(rows[i].period.columns.back().cyclesTotal,
                      r.columns.back().cyclesTotal -
                          rows[i - 1].reading.columns.back().cyclesTotal);
        }
        char date[32];
        const time_t t = r.lastEventSeconds;
        std::strftime(date, sizeof date, "%d/%m/%Y %H:%M", std::gmtime(&t));
        at = table().find(date, at);
        ASSERT_NE(at, std::string::npos) << date;
    }
    EXPECT_NE(table().find("первое считывание в архиве"), std::string::npos);
    EXPECT_NE(table().find("<TR BGCOLOR=\"#FFF4C0\"><TD NOWRAP><B>"), std::string::npos);

    // «Парк кранов» opens the latest reading's image, which stays as filed.
    wxTEST_DIALOG(command(CmdFleet), FleetChoice());
    EXPECT_EQ(utf8(frame->filePath), rows.back().reading.path);
    EXPECT_EQ(controlsOf(*frame).notebook->GetCurrentPage(), page);
}
