// «Экспорт» of the file menu: two file dialogs, the journal's rows as filtered
// and the protocol's figures written as CSV; a cancel writes nothing.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <wx/filedlg.h>
#include <wx/testing.h>

#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "testsupport/CsvReader.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/EventFilter.h"
#include "views/ProtocolDocument.h"

using guitest::utf8;

namespace {

// Answers a CSV save dialog with path (or a cancel), checking its set-up.
class CsvChoice : public wxExpectModalBase<wxFileDialog, CsvChoice> {
public:
    CsvChoice(const char* title, const std::string& path, int id = wxID_OK)
        : title_(title), path_(path), id_(id) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetMessage()), title_);
        EXPECT_EQ(utf8(dialog->GetWildcard()), "Файлы CSV (*.csv)|*.csv|Все файлы (*.*)|*.*");
        EXPECT_TRUE(dialog->HasFlag(wxFD_SAVE));
        EXPECT_TRUE(dialog->HasFlag(wxFD_OVERWRITE_PROMPT));
        if (id_ == wxID_OK) dialog->SetPath(wxString::FromUTF8(path_));
        return id_;
    }

private:
    std::string title_;
    std::string path_;
    int id_;
};

const char* const JournalTitle = "Экспорт журнала событий (CSV)";
const char* const ProtocolTitle = "Экспорт протокола (CSV)";

void sendExport(wxWindow* frame) {
    wxCommandEvent event(wxEVT_MENU, CmdExport);
    event.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(event);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ExportTest : public guitest::MainFrameTest {
protected:
    void openSample() {
        RecorderImage image;
        synthesizeSampleMemory(image);
        const std::string path = dir.file("sample.rpd");
        image.save(path);
        frame->openImageFile(wxString::FromUTF8(path));
        ASSERT_FALSE(frame->events.empty());
    }
    ScopedTZ tz{"Europe/Moscow"};
    TempDir dir;
};

TEST_F(ExportTest, WritesTheFilteredJournalAndTheProtocolFigures) {
    openSample();
    // A filter of its own, so the journal's rows are not all the events.
    frame->filters().setMaxCount(7);
    frame->applyFilter(nullptr);
    ASSERT_EQ(listSize(frame->lists.journalList), 7u);

    const std::string journal = dir.file("journal.csv"), protocol = dir.file("protocol.csv");
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalTitle, journal),
                  CsvChoice(ProtocolTitle, protocol));

    const auto rows = readCsv(fileBytes(journal));
    ASSERT_EQ(rows.size(), 8u); // the header and the seven rows
    EXPECT_EQ(rows[0][0], "time");
    const auto* first = frame->lists.journalList.front();
    EXPECT_EQ(rows[1][3], first->className());

    // The crane's total cycles as the protocol computes them.
    const ProtocolFigures f = computeProtocol(frame->image, *frame->session.protocolPeriod());
    bool found = false;
    for (const auto& r : readCsv(fileBytes(protocol)))
        if (r.size() == 3 && r[0] == "cycles_total" && r[1] == "Кран в целом") {
            EXPECT_EQ(r[2], std::to_string(f.columns.back().total));
            found = true;
        }
    EXPECT_TRUE(found);
    EXPECT_EQ(utf8(frame->lastDir), dir.path().string());
}

TEST_F(ExportTest, ACancelledDialogWritesNothingMore) {
    openSample();
    const std::string journal = dir.file("journal.csv"), protocol = dir.file("protocol.csv");
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalTitle, journal, wxID_CANCEL));
    EXPECT_FALSE(std::filesystem::exists(journal));
    // Cancelling the second leaves the first written and no protocol.
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalTitle, journal),
                  CsvChoice(ProtocolTitle, protocol, wxID_CANCEL));
    EXPECT_TRUE(std::filesystem::exists(journal));
    EXPECT_FALSE(std::filesystem::exists(protocol));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2); // the image and the journal: no temporary left
}

TEST_F(ExportTest, AFolderThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    openSample();
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalTitle, dir.file("no-such-folder/j.csv")));
    const auto errors = guitest::takeLoggedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("no-such-folder/j.csv"), std::string::npos) << errors[0];
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1); // the image alone
}

TEST_F(ExportTest, WithoutEventsThereIsNothingToExport) {
    sendExport(frame);
    const auto errors = guitest::takeLoggedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Нет данных для экспорта");
}

} // namespace
