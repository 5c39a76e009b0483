// «Экспорт» of the file menu: one file dialog offering a name of the serial
// number and the date, the journal's rows as filtered and the protocol's
// figures written beside each other in the Russian spreadsheet form; what was
// saved is said; a cancel or a refused replacement writes nothing.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/EventFilter.h"
#include "views/ProtocolDocument.h"

using guitest::utf8;

namespace {

// Answers the export's file dialog with path (or a cancel), checking the name
// it offers.
class CsvChoice : public wxExpectModalBase<wxFileDialog, CsvChoice> {
public:
    CsvChoice(const std::string& offered, const std::string& path, int id = wxID_OK)
        : offered_(offered), path_(path), id_(id) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetMessage()), "Экспорт журнала и протокола (CSV)");
        EXPECT_EQ(utf8(dialog->GetFilename()), offered_);
        EXPECT_TRUE(dialog->HasFlag(wxFD_SAVE));
        if (id_ == wxID_OK) dialog->SetPath(wxString::FromUTF8(path_));
        return id_;
    }

private:
    std::string offered_, path_;
    int id_;
};

// The message that says what was saved: kept for the test to read.
class SavedMessage : public wxExpectModalBase<wxMessageDialog, SavedMessage> {
public:
    explicit SavedMessage(std::string& text) : text_(text) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        text_ = utf8(dialog->GetMessage());
        return wxID_OK;
    }

private:
    std::string& text_;
};

void sendExport(wxWindow* frame) {
    wxCommandEvent event(wxEVT_MENU, CmdExport);
    event.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(event);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
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

// The sample recorder's serial number and the protocol's last day.
const char* const JournalName = "РП0417-2024-03-08-журнал.csv";
const char* const ProtocolName = "РП0417-2024-03-08-протокол.csv";

TEST_F(ExportTest, WritesTheFilteredJournalAndTheProtocolFiguresInOneStep) {
    openSample();
    // A filter of its own, so the journal's rows are not all the events.
    frame->filters().setMaxCount(7);
    frame->applyFilter(nullptr);
    ASSERT_EQ(listSize(frame->lists.journalList), 7u);

    std::string said;
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalName, dir.file(JournalName)),
                  SavedMessage(said));
    const std::string journal = fileBytes(dir.file(JournalName));
    const std::string protocol = fileBytes(dir.file(ProtocolName));
    EXPECT_NE(said.find(JournalName), std::string::npos) << said;
    EXPECT_NE(said.find(ProtocolName), std::string::npos) << said;
    EXPECT_NE(said.find("строк: 7"), std::string::npos) << said;

    // The Russian spreadsheet form: the byte-order mark, semicolons, CR LF.
    EXPECT_EQ(journal.rfind("\xEF\xBB\xBFtime;iso_time;importance;class;", 0), 0u);
    EXPECT_EQ(count(journal, "\r\n"), 8u); // the header and the seven rows
    const auto* first = frame->lists.journalList.front();
    EXPECT_NE(journal.find(std::string(";") + first->className() + ";"), std::string::npos);

    // The crane's total cycles as the protocol computes them, Кр with its comma.
    const ProtocolFigures f = computeProtocol(frame->image, *frame->session.protocolPeriod());
    EXPECT_NE(protocol.find("cycles_total;Кран в целом;" + std::to_string(f.columns.back().total) +
                            "\r\n"),
              std::string::npos);
    std::string kr = krText(f.columns.back().kr);
    kr[kr.find('.')] = ',';
    EXPECT_NE(protocol.find("\r\nkr;Кран в целом;" + kr + "\r\n"), std::string::npos) << kr;
    EXPECT_EQ(utf8(frame->lastDir), dir.path().string());

    // A name of the user's own: the protocol goes beside it.
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalName, dir.file("visit")), SavedMessage(said));
    EXPECT_EQ(fileBytes(dir.file("visit.csv")), journal);
    EXPECT_EQ(fileBytes(dir.file("visit-протокол.csv")), protocol);
}

TEST_F(ExportTest, ACancelOrARefusedReplacementWritesNothing) {
    openSample();
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalName, "", wxID_CANCEL));
    EXPECT_FALSE(std::filesystem::exists(dir.file(JournalName)));
    { std::ofstream(dir.file(ProtocolName)) << "old"; }
    wxTEST_DIALOG(sendExport(frame), CsvChoice(JournalName, dir.file(JournalName)),
                  wxExpectModal<wxMessageDialog>(wxID_NO));
    EXPECT_FALSE(std::filesystem::exists(dir.file(JournalName)));
    EXPECT_EQ(fileBytes(dir.file(ProtocolName)), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2); // the image and the old file: no temporary left
}

TEST_F(ExportTest, AFolderThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    openSample();
    wxTEST_DIALOG(sendExport(frame),
                  CsvChoice(JournalName, dir.file(std::string("no-such-folder/") + JournalName)));
    const auto errors = guitest::takeLoggedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(std::string("no-such-folder/") + JournalName), std::string::npos)
        << errors[0];
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
