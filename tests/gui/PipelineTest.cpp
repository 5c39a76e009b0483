// From an image file to the pages: the open and save commands, the analysis
// under its progress dialog, the filter pane's handlers, and the journal and
// protocol pages with their printing.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/dcmemory.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/html/htmlwin.h>
#include <wx/html/htmprint.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/print.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/MainFrame.h"
#include "app/UnsavedDialog.h"
#include "common/Progress.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "events/Analysis.h"
#include "gui/CalDialog.h"
#include "gui/DateChoice.h"
#include "gui/GuiTest.h"
#include "image/WritableView.h"
#include "pages/ReportWindow.h"
#include "pages/SetupWindow.h"
#include "pages/TextLog.h"
#include "testsupport/AsUser.h"
#include "testsupport/FullMemory.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/JournalHtml.h"
#include "views/ProtocolDocument.h"

// The unsaved-changes question answers the id it is given.
template <> class wxExpectModal<UnsavedDialog> : public wxExpectModalBase<UnsavedDialog> {
public:
    explicit wxExpectModal(int answer) : answer_(answer) {}

protected:
    int OnInvoked(UnsavedDialog*) const override { return answer_; }
    int answer_;
};

using guitest::DateChoice;
using guitest::utf8;

namespace {

// Answers a file dialog with a path (or a cancel) after checking how the
// command set it up.
class FileChoice : public wxExpectModalBase<wxFileDialog, FileChoice> {
public:
    FileChoice(const std::string& path, bool saving, const wxString& folder, int id = wxID_OK)
        : path_(path), saving_(saving), folder_(folder), id_(id) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetMessage()), "Выберите файл");
        EXPECT_EQ(utf8(dialog->GetWildcard()), "Файлы Gruvik2 (*.rpd)|*.rpd|Все файлы (*.*)|*.*");
        // No folder yet: the working one.
        EXPECT_EQ(dialog->GetDirectory(), folder_.empty() ? wxGetCwd() : folder_);
        EXPECT_EQ(dialog->HasFlag(wxFD_SAVE), saving_);
        EXPECT_EQ(dialog->HasFlag(wxFD_OVERWRITE_PROMPT), saving_);
        if (id_ == wxID_OK) dialog->SetPath(wxString::FromUTF8(path_));
        return id_;
    }

private:
    std::string path_;
    bool saving_;
    wxString folder_;
    int id_;
};

// Cancels at its first report.
struct CancelAtOnce : Progress {
    bool update(int, const std::string&) override { return false; }
};

void sendCommand(wxWindow* frame, int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(event);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string emptyJournal() {
    JournalRows none;
    std::string html;
    buildJournalHtml(none, nullptr, html);
    return html;
}

class PipelineTest : public guitest::MainFrameTest {
protected:
    // Writes the image that build states and returns its path.
    std::string writeImage(const std::string& name,
                           const std::function<void(RecorderImage&)>& build) {
        RecorderImage image;
        build(image);
        std::string path = dir.file(name);
        image.save(path);
        return path;
    }
    std::string writeSample(const std::string& name = "sample.rpd") {
        return writeImage(name, synthesizeSampleMemory);
    }

    void open(const std::string& path) {
        wxTEST_DIALOG(sendCommand(frame, wxID_OPEN), FileChoice(path, false, frame->lastDir));
    }
    void save(const std::string& path) {
        wxTEST_DIALOG(sendCommand(frame, wxID_SAVE), FileChoice(path, true, frame->lastDir));
    }

    std::string journalHtml() const {
        return guitest::journalDocument(*controlsOf(*frame).journalPage);
    }
    std::string journalText() const {
        return guitest::journalText(*controlsOf(*frame).journalPage);
    }
    std::string protocolHtml() const { return utf8(controlsOf(*frame).protocolPage->html); }
    // The journal that the filtered list gives now.
    std::string journalOfList() const {
        std::string html;
        buildJournalHtml(frame->lists.journalList, nullptr, html);
        return html;
    }
    std::string rangeText(bool start) const {
        wxTextCtrl* const* f = start ? &controlsOf(*frame).startDay : &controlsOf(*frame).endDay;
        wxTextCtrl* const* t = start ? &controlsOf(*frame).startHour : &controlsOf(*frame).endHour;
        return utf8(f[0]->GetValue() + L"/" + f[1]->GetValue() + L"/" + f[2]->GetValue() + L" " +
                    t[0]->GetValue() + L":" + t[1]->GetValue() + L":" + t[2]->GetValue());
    }
    void showFilterPane() {
        frame->showFilterPane(true);
        ASSERT_TRUE(
            guitest::waitFor([&] { return controlsOf(*frame).lastWeekButton->IsShownOnScreen(); }));
    }
    // Types text into field through the X server (ASCII only).
    void typeInto(wxTextCtrl* field, const char* text) {
        field->ChangeValue(wxEmptyString);
        field->SetFocus();
        ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == field; }));
        wxUIActionSimulator().Text(text);
        ASSERT_TRUE(guitest::waitFor([&] { return utf8(field->GetValue()) == text; }));
    }
    void enterIn(wxTextCtrl* field, const std::function<bool()>& done) {
        guitest::pressEnter(field);
        EXPECT_TRUE(guitest::waitFor(done));
    }
    // A button's command, as its click sends it: from the button up.
    void pressButton(int id) {
        wxWindow* button = frame->FindWindow(id);
        ASSERT_NE(button, nullptr);
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(event);
    }
    void click(wxButton* button, const std::function<bool()>& done) {
        guitest::clickOn(button);
        EXPECT_TRUE(guitest::waitFor(done));
    }

    ScopedTZ tz{"Europe/Moscow"};
    TempDir dir;
};

} // namespace

TEST_F(PipelineTest, OpeningAnImageShowsItsJournalAndProtocol) {
    // The analysis sets the count and direction back whatever the user left there.
    frame->filters().setMaxCount(5);
    controlsOf(*frame).directionChoice->SetSelection(0);
    const std::string path = writeSample();
    guitest::ProgressWatch watch;
    open(path);

    EXPECT_EQ(watch.titles, std::vector<std::string>{"Анализ памяти регистратора"});
    EXPECT_EQ(utf8(frame->filePath), path);
    EXPECT_EQ(utf8(frame->lastDir), dir.path().string());
    EXPECT_EQ(utf8(controlsOf(*frame).firstRecordButton->GetLabel()), "07:55:00 04/03/2024");
    EXPECT_EQ(utf8(controlsOf(*frame).lastRecordButton->GetLabel()), "16:46:41 08/03/2024");
    EXPECT_EQ(frame->filters().rangeStart(), frame->events.minSeconds);
    EXPECT_EQ(frame->filters().rangeEnd(), frame->events.maxSeconds);
    EXPECT_EQ(rangeText(true), "04/03/2024 07:55:00");
    EXPECT_EQ(rangeText(false), "08/03/2024 16:46:41");
    EXPECT_EQ(utf8(controlsOf(*frame).countField->GetValue()), "1000");
    EXPECT_EQ(frame->filters().maxCount(), 1000u);
    EXPECT_EQ(controlsOf(*frame).directionChoice->GetSelection(), 1);

    // Level 4: power, sensor failures, overloads, configuration, the reader.
    EXPECT_EQ(listSize(frame->lists.journalList), 18u);
    EXPECT_EQ(journalHtml(), journalOfList());
    const std::string text = journalText();
    for (const char* row : {sample::firstPowerOn, sample::overloadStart, "Выключение питания",
                            "Устройство считывания вытащено"})
        EXPECT_NE(text.find(row), std::string::npos) << row;
    EXPECT_EQ(text.find(sample::sensorLoadRow), std::string::npos);
    EXPECT_NE(text.find("08/03/2024 16:46:40.0"), std::string::npos);

    EXPECT_EQ(protocolHtml(), buildProtocolHtml(frame->image, protocolPeriodOf(frame->events)));
    EXPECT_NE(protocolHtml().find("Протокол условий эксплуатации крана<BR>от 08/03/2024 16:46"),
              std::string::npos);
    EXPECT_NE(utf8(controlsOf(*frame).protocolPage->htmlView->ToText()).find("Кран в целом"),
              std::string::npos);
}

TEST_F(PipelineTest, CancellingTheAnalysisLeavesNoEventsAndEmptyPages) {
    open(writeSample());
    ASSERT_FALSE(frame->events.empty());
    const int32_t start = frame->filters().rangeStart();

    guitest::ProgressWatch watch(true);
    open(writeSample("again.rpd"));
    EXPECT_TRUE(watch.cancelled);
    EXPECT_EQ(guitest::takeLoggedErrors(),
              std::vector<std::string>{"Анализ памяти регистратора прерван"});
    EXPECT_TRUE(frame->events.empty());
    EXPECT_TRUE(frame->lists.journalList.empty());
    frame->lists.forEachGraphList([](EventRefs& l) { EXPECT_TRUE(l.empty()); });
    EXPECT_EQ(journalHtml(), emptyJournal());
    EXPECT_EQ(protocolHtml(), "");
    EXPECT_EQ(frame->filters().rangeStart(), start); // the range stays for the next image
}

TEST_F(PipelineTest, EightDiscreteChannelsAreRefusedWithoutAProgressDialog) {
    open(writeSample());
    const std::string path = writeImage("eight.rpd", [](RecorderImage& image) {
        synthesizeSampleMemory(image);
        image.page(RecorderImage::HeaderPage)[5] = 8;
    });
    guitest::ProgressWatch watch;
    open(path);
    EXPECT_EQ(watch.titles, std::vector<std::string>{});
    EXPECT_EQ(guitest::takeLoggedErrors(),
              std::vector<std::string>{
                  "Эта версия программы не может работать с количеством дискретных каналов, "
                  "отличных от 6!"});
    EXPECT_EQ(frame->image.discreteCount(), 8); // the image is kept
    EXPECT_TRUE(frame->events.empty());
    EXPECT_TRUE(frame->lists.journalList.empty());
    EXPECT_EQ(journalHtml(), emptyJournal());
    EXPECT_EQ(protocolHtml(), "");
}

TEST_F(PipelineTest, AnErasedImageGivesEmptyPagesAndADefinedRange) {
    const std::string path = writeImage("erased.rpd", [](RecorderImage&) {});
    const auto before = int32_t(std::time(nullptr));
    open(path);
    EXPECT_TRUE(frame->events.empty());
    EXPECT_EQ(journalHtml(), emptyJournal());
    EXPECT_EQ(protocolHtml(), "");
    EXPECT_GE(frame->filters().rangeStart(), before);
    EXPECT_EQ(frame->filters().rangeEnd(), frame->filters().rangeStart());
}

TEST_F(PipelineTest, AFileThatCannotBeReadKeepsTheImageAndThePages) {
    const std::string sample = writeSample();
    open(sample);
    const std::string journal = journalHtml(), protocol = protocolHtml();
    const std::string shownImage(reinterpret_cast<const char*>(frame->image.data()),
                                 RecorderImage::ImageSize);
    const size_t events = listSize(frame->events);

    const std::string shortFile = dir.file("short.rpd");
    std::ofstream(shortFile, std::ios::binary) << std::string(1000, '\x11');
    ASSERT_EQ(::mkfifo(dir.file("fifo.rpd").c_str(), 0644), 0);
    // The message, and under it the path with the system's reason.
    struct Case {
        std::string path;
        std::string message;
    };
    std::vector<Case> cases = {
        {shortFile, "не могу прочесть файл!\n" + shortFile + ": в файле 1000 байт из 4325376"},
        {dir.file("missing.rpd"),
         "не могу открыть файл!\n" + dir.file("missing.rpd") + ": " + systemReason(ENOENT)},
        // Refused at once: an open that waited for a writer would never return.
        {dir.file("fifo.rpd"),
         "не могу открыть файл!\n" + dir.file("fifo.rpd") + ": " + NotARegularFile},
        {dir.path().string(),
         "не могу открыть файл!\n" + dir.path().string() + ": " + systemReason(EISDIR)},
    };
    // Root reads any file: the unreadable one is opened as a user.
    const std::string unreadable = dir.file("unreadable.rpd");
    if (AsUser::user()) {
        std::ofstream(unreadable, std::ios::binary)
            << std::string(RecorderImage::ImageSize, '\x22');
        ::chmod(unreadable.c_str(), 0200);
        AsUser::give(unreadable);
        AsUser::give(dir.path());
        cases.push_back(
            {unreadable, "не могу открыть файл!\n" + unreadable + ": " + systemReason(EACCES)});
    }
    for (const auto& c : cases) {
        {
            AsUser user;
            open(c.path);
        }
        EXPECT_EQ(guitest::takeLoggedErrors(), std::vector<std::string>{c.message});
        EXPECT_TRUE(std::equal(shownImage.begin(), shownImage.end(),
                               reinterpret_cast<const char*>(frame->image.data())))
            << c.path;
        EXPECT_EQ(utf8(frame->filePath), sample);
        EXPECT_EQ(utf8(frame->GetTitle()), "sample.rpd — Грувик2 1.0.0");
        EXPECT_EQ(listSize(frame->events), events);
        EXPECT_EQ(journalHtml(), journal);
        EXPECT_EQ(protocolHtml(), protocol);
    }
    EXPECT_FALSE(std::ifstream(dir.file("missing.rpd")).good()); // not created
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("fifo.rpd")));
}

// The last resort of the window's commands: whatever escapes a handler is
// shown and the program goes on.
TEST_F(PipelineTest, AFailureNoCommandExpectedIsShownAndTheWindowGoesOn) {
    const int standard = wxWindow::NewControlId(), other = wxWindow::NewControlId();
    frame->Bind(
        wxEVT_MENU, [](wxCommandEvent&) { throw std::runtime_error("сбой"); }, standard);
    frame->Bind(
        wxEVT_MENU, [](wxCommandEvent&) { throw 42; }, other);
    sendCommand(frame, standard);
    EXPECT_EQ(guitest::takeLoggedErrors(), std::vector<std::string>{"сбой"});
    sendCommand(frame, other);
    EXPECT_EQ(guitest::takeLoggedErrors(), std::vector<std::string>{"непредвиденная ошибка"});
    open(writeSample());
    EXPECT_TRUE(guitest::takeLoggedErrors().empty());
    EXPECT_FALSE(frame->events.empty());
}

TEST_F(PipelineTest, SavingThenOpeningGivesTheSameJournal) {
    const std::string original = writeSample();
    open(original);
    const std::string journal = journalHtml(), protocol = protocolHtml();

    const std::string copy = dir.file("copy.bin"); // any name opens
    save(copy);
    EXPECT_EQ(fileBytes(copy), fileBytes(original));
    EXPECT_EQ(utf8(frame->filePath), copy);
    EXPECT_EQ(journalHtml(), journal); // saving does not analyse

    open(writeImage("erased.rpd", [](RecorderImage&) {}));
    ASSERT_NE(journalHtml(), journal);
    open(copy);
    EXPECT_EQ(journalHtml(), journal);
    EXPECT_EQ(protocolHtml(), protocol);
}

TEST_F(PipelineTest, ASaveThatFailsKeepsEverything) {
    open(writeSample());
    const std::string journal = journalHtml();
    save(dir.file("no-such-folder/copy.rpd"));
    EXPECT_EQ(guitest::takeLoggedErrors(),
              std::vector<std::string>{"не могу открыть/создать файл!\n" +
                                       dir.file("no-such-folder/copy.rpd") + ": " +
                                       systemReason(ENOENT)});
    EXPECT_EQ(frame->image.discreteCount(), 6);
    EXPECT_EQ(frame->image.page(RecorderImage::HeaderPage)[5], 6);
    EXPECT_EQ(journalHtml(), journal);
}

TEST_F(PipelineTest, ASavedNameWithoutExtensionGetsRpd) {
    open(writeSample());
    save(dir.file("copy"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("copy.rpd")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("copy")));
    EXPECT_EQ(utf8(frame->filePath), dir.file("copy.rpd"));
    save(dir.file("copy.bin")); // an extension of its own stays
    EXPECT_TRUE(std::filesystem::exists(dir.file("copy.bin")));

    // The completed name is another file than the dialog asked about: it is
    // replaced only when the user agrees.
    const std::string other = writeImage("other.rpd", [](RecorderImage& i) { i.page(9)[0] = 1; });
    const std::string before = fileBytes(other);
    wxTEST_DIALOG(sendCommand(frame, wxID_SAVE),
                  FileChoice(dir.file("other"), true, frame->lastDir),
                  wxExpectModal<wxMessageDialog>(wxID_NO),
                  FileChoice(dir.file("x"), true, frame->lastDir, wxID_CANCEL));
    EXPECT_EQ(fileBytes(other), before);
    wxTEST_DIALOG(sendCommand(frame, wxID_SAVE),
                  FileChoice(dir.file("other"), true, frame->lastDir),
                  wxExpectModal<wxMessageDialog>(wxID_YES));
    EXPECT_EQ(fileBytes(other), fileBytes(dir.file("copy.rpd")));
}

TEST_F(PipelineTest, TheTitleNamesTheFileAndMarksChangesNotSavedToIt) {
    EXPECT_EQ(utf8(frame->GetTitle()), "Грувик2 1.0.0");
    open(writeSample());
    EXPECT_EQ(utf8(frame->GetTitle()), "sample.rpd — Грувик2 1.0.0");
    SetupWindow* settings = controlsOf(*frame).settingsPage;
    auto pickInstallation = [&](const wxDateTime& day) {
        wxCommandEvent event(wxEVT_BUTTON, CmdPickInstallation);
        event.SetEventObject(settings->FindWindow(CmdPickInstallation));
        wxTEST_DIALOG(settings->GetEventHandler()->ProcessEvent(event), DateChoice(day, wxID_YES));
    };
    const int32_t was = PassportView(frame->image).installation();
    pickInstallation(wxDateTime(15, wxDateTime::Mar, 2023));
    EXPECT_EQ(utf8(frame->GetTitle()), "*sample.rpd — Грувик2 1.0.0");
    WritableView(frame->image).setInstallation(was); // back to what the file holds
    frame->imageEdited();
    EXPECT_EQ(utf8(frame->GetTitle()), "sample.rpd — Грувик2 1.0.0");
    pickInstallation(wxDateTime(15, wxDateTime::Mar, 2023));

    // Opening another image asks first: cancel keeps everything.
    const std::string journal = journalHtml();
    wxTEST_DIALOG(sendCommand(frame, wxID_OPEN), wxExpectModal<UnsavedDialog>(wxID_CANCEL));
    EXPECT_EQ(journalHtml(), journal);
    EXPECT_EQ(utf8(frame->GetTitle()), "*sample.rpd — Грувик2 1.0.0");
    // Closing asks too, and a cancel keeps the window.
    wxTEST_DIALOG(frame->Close(), wxExpectModal<UnsavedDialog>(wxID_CANCEL));
    EXPECT_FALSE(closing());
    // Saved on the way out: into the open file.
    wxTEST_DIALOG(frame->Close(), wxExpectModal<UnsavedDialog>(wxID_YES));
    EXPECT_TRUE(closing());
    RecorderImage saved;
    saved.load(dir.file("sample.rpd"), false);
    EXPECT_EQ(wxDateTime(static_cast<time_t>(PassportView(saved).installation())).GetDay(), 15);
}

// A name typed on «Настройка» is a change like a picked date: the title
// shows it, «Наложить фильтр» keeps it, and closing asks and saves it.
TEST_F(PipelineTest, ATypedNameIsAChangeKeptByTheFilterAndAskedAbout) {
    const std::string copy = dir.file("demo.rpd"); // the demo has the names
    std::filesystem::copy_file(std::string((wxGetCwd() + L"/demo.rpd").fn_str()), copy);
    open(copy);
    SetupWindow* settings = controlsOf(*frame).settingsPage;
    settings->nameFields[0]->SetValue(wxString::FromUTF8("Кран-балка")); // as typed: an event
    EXPECT_EQ(utf8(frame->GetTitle()), "*demo.rpd — Грувик2 1.0.0");
    wxCommandEvent apply(wxEVT_BUTTON, CmdApplyFilter);
    apply.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(apply);
    EXPECT_EQ(utf8(settings->nameFields[0]->GetValue()), "Кран-балка");
    EXPECT_EQ(utf8(frame->GetTitle()), "*demo.rpd — Грувик2 1.0.0");
    wxTEST_DIALOG(frame->Close(), wxExpectModal<UnsavedDialog>(wxID_CANCEL));
    EXPECT_FALSE(closing());
    EXPECT_EQ(utf8(settings->nameFields[0]->GetValue()), "Кран-балка");
    wxTEST_DIALOG(frame->Close(), wxExpectModal<UnsavedDialog>(wxID_YES));
    EXPECT_TRUE(closing());
    RecorderImage saved;
    saved.load(copy, false);
    saved.locateHeads(); // the header's counts place the names
    EXPECT_EQ(PassportView(saved).mechanismName(0), "Кран-балка");
}

TEST_F(PipelineTest, DroppedChangesLetTheNextImageIn) {
    open(writeSample());
    WritableView(frame->image).setCommissioning(123456789);
    frame->imageEdited();
    EXPECT_EQ(utf8(frame->GetTitle()), "*sample.rpd — Грувик2 1.0.0");
    const std::string other = writeSample("other.rpd");
    wxTEST_DIALOG(sendCommand(frame, wxID_OPEN), wxExpectModal<UnsavedDialog>(wxID_NO),
                  FileChoice(other, false, frame->lastDir));
    EXPECT_EQ(utf8(frame->GetTitle()), "other.rpd — Грувик2 1.0.0");
    // The dropped change never reached the first file.
    RecorderImage first;
    first.load(dir.file("sample.rpd"), false);
    EXPECT_NE(PassportView(first).commissioning(), 123456789);
    frame->Close(); // nothing to ask about
    EXPECT_TRUE(closing());
}

// A file dropped on the window opens, after the question about changes.
TEST_F(PipelineTest, ADroppedFileOpensAfterTheQuestion) {
    open(writeSample());
    WritableView(frame->image).setCommissioning(123456789);
    frame->imageEdited();
    auto* target = dynamic_cast<wxFileDropTarget*>(frame->GetDropTarget());
    ASSERT_NE(target, nullptr);
    wxArrayString files;
    files.Add(wxString::FromUTF8(writeSample("other.rpd")));
    bool taken = true;
    wxTEST_DIALOG(taken = target->OnDropFiles(10, 10, files),
                  wxExpectModal<UnsavedDialog>(wxID_CANCEL));
    EXPECT_FALSE(taken);
    EXPECT_EQ(utf8(frame->GetTitle()), "*sample.rpd — Грувик2 1.0.0");
    wxTEST_DIALOG(taken = target->OnDropFiles(10, 10, files),
                  wxExpectModal<UnsavedDialog>(wxID_NO));
    EXPECT_TRUE(taken);
    EXPECT_EQ(utf8(frame->GetTitle()), "other.rpd — Грувик2 1.0.0");
    EXPECT_FALSE(frame->events.empty());
}

TEST_F(PipelineTest, CancellingAFileDialogChangesNothing) {
    open(writeSample());
    const wxString folder = frame->lastDir, path = frame->filePath;
    const std::string journal = journalHtml();
    for (int id : {wxID_OPEN, wxID_SAVE})
        wxTEST_DIALOG(sendCommand(frame, id), FileChoice("", id == wxID_SAVE, folder, wxID_CANCEL));
    EXPECT_EQ(frame->lastDir, folder);
    EXPECT_EQ(frame->filePath, path);
    EXPECT_EQ(journalHtml(), journal);
}

TEST_F(PipelineTest, ApplyingTheFilterTakesTheLevelCountAndStoredRange) {
    open(writeSample());
    showFilterPane();
    controlsOf(*frame).detailChoice->SetSelection(0);
    typeInto(controlsOf(*frame).countField, "5");
    typeInto(controlsOf(*frame).startHour, "12"); // not confirmed with Enter: discarded
    auto* apply = static_cast<wxButton*>(frame->FindWindow(CmdApplyFilter));
    const std::string before = journalHtml();
    click(apply, [&] { return journalHtml() != before; });

    EXPECT_EQ(frame->filters().maxCount(), 5u);
    EXPECT_EQ(utf8(controlsOf(*frame).startHour->GetValue()), "07");
    // The latest five rows at level 1: the last lift's end and the reader.
    EXPECT_EQ(listSize(frame->lists.journalList), 5u);
    EXPECT_EQ(journalHtml(), journalOfList());
    const std::string text = journalText();
    EXPECT_NE(text.find("Конец цикла в группе 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Выключение питания"), std::string::npos);
    EXPECT_EQ(text.find(sample::firstPowerOn), std::string::npos);

    // Everything at level 1: the sensor loads come in.
    typeInto(controlsOf(*frame).countField, "0");
    click(apply, [&] { return listSize(frame->lists.journalList) > 5; });
    EXPECT_NE(journalText().find(sample::sensorLoadRow), std::string::npos);

    // The weight box of group 1 takes its loads out of the journal and its list.
    controlsOf(*frame).weightChecks[1]->SetValue(false);
    const size_t all = listSize(frame->lists.journalList);
    click(apply, [&] { return listSize(frame->lists.journalList) < all; });
    EXPECT_EQ(journalText().find(sample::sensorLoadRow), std::string::npos);
    EXPECT_TRUE(frame->lists.groupLists[1].empty());
}

TEST_F(PipelineTest, QuickRangesAndRecordButtonsSetTheStartWithoutFiltering) {
    open(writeSample());
    showFilterPane();
    const std::string journal = journalHtml();
    const struct {
        int32_t end;
        wxButton* button;
        const char* start;
    } cases[] = {
        {frame->events.maxSeconds, controlsOf(*frame).lastHourButton, "08/03/2024 15:46:41"},
        {frame->events.maxSeconds, controlsOf(*frame).lastDayButton, "07/03/2024 16:46:41"},
        {frame->events.maxSeconds, controlsOf(*frame).lastWeekButton, "01/03/2024 16:46:41"},
        {int32_t(wxDateTime(1, wxDateTime::Mar, 2023, 0, 30).GetTicks()),
         controlsOf(*frame).lastDayButton, "28/02/2023 00:30:00"},
        {int32_t(wxDateTime(3, wxDateTime::Mar, 2024, 0, 30).GetTicks()),
         controlsOf(*frame).lastWeekButton, "25/02/2024 00:30:00"},
    };
    for (const auto& c : cases) {
        frame->filters().setRangeEnd(c.end);
        click(c.button, [&] { return rangeText(true) == c.start; });
        EXPECT_EQ(rangeText(true), c.start);
        EXPECT_EQ(frame->filters().rangeEnd(), c.end);
    }

    click(controlsOf(*frame).firstRecordButton,
          [&] { return frame->filters().rangeStart() == frame->events.minSeconds; });
    EXPECT_EQ(rangeText(true), "04/03/2024 07:55:00");
    frame->filters().setRangeEnd(0);
    click(controlsOf(*frame).lastRecordButton,
          [&] { return frame->filters().rangeEnd() == frame->events.maxSeconds; });
    EXPECT_EQ(rangeText(false), "08/03/2024 16:46:41");
    EXPECT_EQ(journalHtml(), journal);
}

TEST_F(PipelineTest, EnterInAnyTimeFieldTakesOverBothEnds) {
    open(writeSample());
    showFilterPane();
    const std::string journal = journalHtml();

    typeInto(controlsOf(*frame).startHour, "9");
    typeInto(controlsOf(*frame).endHour, "25"); // normalised into the next day
    typeInto(controlsOf(*frame).endMinute, "x");
    enterIn(controlsOf(*frame).endSecond,
            [&] { return utf8(controlsOf(*frame).startHour->GetValue()) == "09"; });
    EXPECT_EQ(rangeText(true), "04/03/2024 09:55:00");
    EXPECT_EQ(rangeText(false), "09/03/2024 01:00:41");
    EXPECT_EQ(frame->filters().rangeStart(),
              int32_t(wxDateTime(4, wxDateTime::Mar, 2024, 9, 55).GetTicks()));

    typeInto(controlsOf(*frame).startMinute, "75");
    enterIn(controlsOf(*frame).startMinute,
            [&] { return utf8(controlsOf(*frame).startMinute->GetValue()) == "15"; });
    EXPECT_EQ(rangeText(true), "04/03/2024 10:15:00");
    EXPECT_EQ(rangeText(false), "09/03/2024 01:00:41");

    typeInto(controlsOf(*frame).countField, "12ab");
    enterIn(controlsOf(*frame).countField, [&] { return frame->filters().maxCount() == 12; });
    EXPECT_EQ(utf8(controlsOf(*frame).countField->GetValue()), "12");
    EXPECT_EQ(journalHtml(), journal);
}

TEST_F(PipelineTest, DateDialogsSetTheirEndOnlyWhenADayIsChosen) {
    frame->filters().setRangeStart(int32_t(wxDateTime(4, wxDateTime::Mar, 2024, 7, 55).GetTicks()));
    frame->filters().setRangeEnd(int32_t(wxDateTime(8, wxDateTime::Mar, 2024, 16, 46).GetTicks()));
    const wxDateTime leapDay(29, wxDateTime::Feb, 2024);
    wxTEST_DIALOG(pressButton(CmdPickStart), DateChoice(leapDay, wxID_NO));
    EXPECT_EQ(rangeText(true), "04/03/2024 07:55:00");
    wxTEST_DIALOG(pressButton(CmdPickStart), DateChoice(leapDay, wxID_YES));
    // The time of day is the one the calendar returns with its date.
    EXPECT_EQ(rangeText(true), "29/02/2024 00:00:00");
    wxTEST_DIALOG(pressButton(CmdPickEnd),
                  DateChoice(wxDateTime(10, wxDateTime::Mar, 2024), wxID_YES));
    EXPECT_EQ(rangeText(false).substr(0, 10), "10/03/2024");
}

TEST_F(PipelineTest, ACancelledJournalKeepsTheOneOnScreenForPrinting) {
    open(writeSample());
    const std::string journal = journalHtml();
    const std::string text = journalText();
    controlsOf(*frame).detailChoice->SetSelection(0);
    frame->filterEvents();
    ASSERT_NE(journalOfList(), journal);
    CancelAtOnce cancel;
    controlsOf(*frame).journalPage->regenerate(&cancel);
    EXPECT_EQ(journalHtml(), journal);
    EXPECT_EQ(journalText(), text);
}

namespace {
// Pages in the open print preview (which it then closes), or -1 when none opened.
int previewedPages(const char* title) {
    for (wxWindow* w : wxTopLevelWindows) {
        auto* preview = dynamic_cast<wxPreviewFrame*>(w);
        if (!preview || wxTheApp->IsScheduledForDestruction(preview)) continue;
        EXPECT_TRUE(utf8(preview->GetTitle()).starts_with(title)) << utf8(preview->GetTitle());
        int pages = preview->GetControlBar()->GetPrintPreview()->GetMaxPage();
        preview->Destroy();
        wxTheApp->ProcessPendingEvents();
        return pages;
    }
    return -1;
}
} // namespace

TEST_F(PipelineTest, PreviewsShowThePagesAsTheyAre) {
    open(writeSample());
    const struct {
        int tab;
        const char* title;
    } pages[] = {{0, "Отчет"}, {2, "Журнал"}};
    for (const auto& p : pages) {
        controlsOf(*frame).notebook->SetSelection(p.tab);
        sendCommand(frame, CmdPreview);
        EXPECT_GE(previewedPages(p.title), 1) << p.title;
    }

    // With no event the protocol page is empty, and so is what it prints.
    frame->clearEvents();
    frame->applyFilter(nullptr);
    EXPECT_EQ(protocolHtml(), "");
    EXPECT_EQ(utf8(controlsOf(*frame).protocolPage->htmlView->ToText()), "");
    EXPECT_EQ(journalHtml(), emptyJournal());
    for (const auto& p : pages) {
        controlsOf(*frame).notebook->SetSelection(p.tab);
        sendCommand(frame, CmdPreview);
        EXPECT_EQ(previewedPages(p.title), 1) << p.title;
    }
}

// A file named on the command line opens as one chosen in the open dialog.
TEST_F(PipelineTest, OpensAFileGivenByPath) {
    const std::string path = writeSample("given.rpd");
    frame->openImageFile(wxString::FromUTF8(path));
    EXPECT_EQ(utf8(frame->filePath), path);
    EXPECT_EQ(utf8(frame->lastDir), dir.path().string());
    EXPECT_EQ(utf8(controlsOf(*frame).firstRecordButton->GetLabel()), "07:55:00 04/03/2024");
    EXPECT_FALSE(protocolHtml().empty());

    // A file that is not there: the toolkit's error log says so, and the
    // events of the earlier file stay.
    frame->openImageFile(wxString::FromUTF8(dir.file("missing.rpd")));
    const auto errors = guitest::takeLoggedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("не могу"), std::string::npos) << errors[0];
    EXPECT_FALSE(frame->events.empty());
}

// A text block with a long line: on screen the page scrolls; the printed
// protocol wraps the line, so its tables keep to the paper's width.
TEST_F(PipelineTest, PrintedProtocolKeepsALongTextLineWithinThePaper) {
    const std::string line = "Ограничитель грузоподъёмности с регистратором установлен 04.10.2022, "
                             "поверен 12.01.2024, пломба № 7731; крюковая подвеска 20 т, "
                             "канат 22-Г-1-Н-1770 ГОСТ 2688-80, длина 180 м";
    open(writeImage("long.rpd", [&](RecorderImage& image) {
        synthesizeSampleMemory(image);
        ASSERT_TRUE(WritableView(image).setText("Кран козловой\n" + line));
    }));
    ASSERT_NE(protocolHtml().find(line), std::string::npos);

    wxBitmap bitmap(2000, 100);
    wxMemoryDC dc(bitmap);
    auto widthOf = [&](const wxString& html) {
        // About an A4 page's printable width on a 96 dpi surface.
        wxHtmlDCRenderer renderer;
        renderer.SetDC(&dc);
        renderer.SetSize(700, 1000);
        renderer.SetHtmlText(html);
        return renderer.GetTotalWidth();
    };
    EXPECT_GT(widthOf(controlsOf(*frame).protocolPage->html), 700);
    EXPECT_LE(widthOf(controlsOf(*frame).protocolPage->printed), 700);
    const std::string printedText = utf8(controlsOf(*frame).protocolPage->printed);
    EXPECT_EQ(printedText.find("<PRE>"), std::string::npos);
    EXPECT_NE(printedText.find("Кран козловой<BR>Ограничитель"), std::string::npos);
}

// Not a speed check (tests never assert on time): a full memory opens end to
// end, and the time it took is printed for the record.
TEST_F(PipelineTest, AFullMemoryOpensWithTheLatestThousandRows) {
    const std::string path =
        writeImage("full.rpd", [](RecorderImage& image) { synthesizeFullMemory(image); });
    const auto started = std::chrono::steady_clock::now();
    open(path);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    std::printf("opening a full memory took %lld ms\n", static_cast<long long>(ms));
    RecordProperty("open_ms", static_cast<int>(ms));
    EXPECT_EQ(listSize(frame->lists.journalList), 1000u);
    EXPECT_EQ(journalHtml(), journalOfList());
}
