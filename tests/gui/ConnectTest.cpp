// The connect command and the write of the passport area through the main
// window, against the reader emulator over real pseudo-terminals offered as
// emulated bridges; and the device-choice dialog.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include <wx/bmpbuttn.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include "app/DevChoiceDialog.h"
#include "app/DialogProgress.h"
#include "app/InfoDialog.h"
#include "app/LinkDialogs.h"
#include "app/MainFrame.h"
#include "common/errorExc.h"
#include "device/DeviceChooser.h"
#include "device/Platform.h"
#include "device/emulated/EmulatedBridgeLibrary.h"
#include "gui/GuiTest.h"
#include "gui/Pictures.h"
#include "pages/ReportWindow.h"
#include "pages/TextLog.h"
#include "testsupport/AsUser.h"
#include "testsupport/LinkFakes.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/JournalHtml.h"

using guitest::utf8;

namespace {

// The reader fell silent: the message, then what to check, on a line of its own.
void expectNoAnswer(const std::vector<std::string>& logged) {
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].rfind("несоответствие потока данных при приеме\n", 0), 0u) << logged[0];
    EXPECT_NE(logged[0].find("ограничитель включен"), std::string::npos) << logged[0];
}

const char* const Done = "Cчитывание данных успешно завершено";
const char* const DoneTitle = "Считывание завершено";

// Answers the read's file dialog with path (or a cancel), after checking how
// the command set it up.
class SaveChoice : public wxExpectModalBase<wxFileDialog, SaveChoice> {
public:
    SaveChoice(const std::string& path, const wxString& folder, int id = wxID_OK)
        : path_(path), folder_(folder), id_(id) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetMessage()), "Выберите файл для сохранения считанной информации");
        EXPECT_EQ(utf8(dialog->GetWildcard()), "Файлы Gruvik2 (*.rpd)|*.rpd|Все файлы (*.*)|*.*");
        // No folder yet: the working one.
        EXPECT_EQ(dialog->GetDirectory(), folder_.empty() ? wxGetCwd() : folder_);
        EXPECT_TRUE(dialog->HasFlag(wxFD_SAVE));
        EXPECT_TRUE(dialog->HasFlag(wxFD_OVERWRITE_PROMPT));
        if (id_ == wxID_OK) dialog->SetPath(wxString::FromUTF8(path_));
        return id_;
    }

private:
    std::string path_;
    wxString folder_;
    int id_;
};

bool samePixels(const wxBitmap& a, const wxBitmap& b) {
    wxImage x = a.ConvertToImage(), y = b.ConvertToImage();
    if (x.GetSize() != y.GetSize() || x.HasAlpha() != y.HasAlpha()) return false;
    const size_t n = size_t(x.GetWidth()) * size_t(x.GetHeight());
    return std::equal(x.GetData(), x.GetData() + 3 * n, y.GetData()) &&
           (!x.HasAlpha() || std::equal(x.GetAlpha(), x.GetAlpha() + n, y.GetAlpha()));
}

// The texts of a dialog's static texts, wrapped lines joined again.
std::string textsOf(wxWindow* dialog) {
    std::string texts;
    for (wxWindow* child : dialog->GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            wxString label = text->GetLabel();
            label.Replace(L"\n", L" ");
            texts += utf8(label);
        }
    return texts;
}

wxBitmap pictureOf(wxWindow* dialog) {
    for (wxWindow* child : dialog->GetChildren())
        if (auto* picture = dynamic_cast<wxStaticBitmap*>(child)) return picture->GetBitmap();
    return {};
}

// The information dialog with its title, message and the reader's picture.
class InfoExpected : public wxExpectModalBase<InfoDialog, InfoExpected> {
public:
    InfoExpected(const char* title, const char* message) : title_(title), message_(message) {}

protected:
    int OnInvoked(InfoDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetTitle()), title_);
        EXPECT_EQ(textsOf(dialog), message_);
        EXPECT_TRUE(wxFileExists(L"bmps/connect.160.png"));
        EXPECT_TRUE(samePixels(pictureOf(dialog), loadPicture(L"bmps/connect.160.png", 160, 160)));
        return wxID_OK;
    }

private:
    std::string title_, message_;
};

// Acts in the device-choice dialog (without its modal loop) and confirms.
class DeviceChoice : public wxExpectModalBase<DevChoiceDialog, DeviceChoice> {
public:
    explicit DeviceChoice(std::function<void(DevChoiceDialog&)> act) : act_(std::move(act)) {}

protected:
    int OnInvoked(DevChoiceDialog* dialog) const override {
        act_(*dialog);
        return wxID_OK;
    }

private:
    std::function<void(DevChoiceDialog&)> act_;
};

// How many of this process's descriptors are open on path.
int openDescriptors(const std::string& path) {
    int count = 0;
    DIR* fds = ::opendir("/proc/self/fd");
    while (dirent* entry = ::readdir(fds)) {
        char target[256];
        std::string link = std::string("/proc/self/fd/") + entry->d_name;
        ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, size_t(n)) == path) ++count;
    }
    ::closedir(fds);
    return count;
}

void press(wxWindow* dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog->FindWindow(id));
    dialog->GetEventHandler()->ProcessEvent(click);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string imageBytes(const RecorderImage& image) {
    return {reinterpret_cast<const char*>(image.data()), RecorderImage::ImageSize};
}

uint32_t pagesNotErased(const RecorderImage& image) {
    uint32_t n = 0;
    for (uint32_t p = 0; p < RecorderImage::PageCount; ++p)
        n += !std::all_of(image.page(p), image.page(p) + RecorderImage::PageSize,
                          [](uint8_t b) { return b == 0xFF; });
    return n;
}

class ConnectTest : public guitest::MainFrameTest {
protected:
    void SetUp() override {
        MainFrameTest::SetUp();
        synthesizeSampleMemory(recorder);
    }
    void TearDown() override {
        ::unsetenv("GRUVIK2_BRIDGES");
        MainFrameTest::TearDown();
    }

    // The bridges the program finds from now on.
    static void offerBridges(const std::vector<const EmulatorThread*>& emulators) {
        std::string list;
        for (const EmulatorThread* e : emulators)
            list += (list.empty() ? "" : ":") + e->path();
        ::setenv("GRUVIK2_BRIDGES", list.c_str(), 1);
    }

    void sendConnect() {
        wxCommandEvent event(wxEVT_MENU, CmdConnect);
        event.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(event);
    }
    // The connect command answered with path and the success dialog.
    void connect(const std::string& path) {
        wxTEST_DIALOG(sendConnect(), SaveChoice(path, frame->lastDir),
                      InfoExpected(DoneTitle, Done));
    }
    std::string journalHtml() const {
        return guitest::journalDocument(*controlsOf(*frame).journalPage);
    }
    // What the window shows, to see that a failed read leaves it.
    struct Shown {
        std::string image, journal, protocol, title, filePath;
        size_t events;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() const {
        return {imageBytes(frame->image),
                journalHtml(),
                utf8(controlsOf(*frame).protocolPage->html),
                utf8(frame->GetTitle()),
                utf8(frame->filePath),
                listSize(frame->events)};
    }
    // The recorder's memory opened from a file of its own, as before a read.
    Shown showRecorderImage() {
        const std::string path = dir.file("shown.rpd");
        recorder.save(path);
        EXPECT_TRUE(frame->openImageFile(wxString::FromUTF8(path)));
        EXPECT_FALSE(frame->events.empty());
        return shown();
    }
    void expectStill(const Shown& before) {
        const Shown now = shown();
        EXPECT_TRUE(now.image == before.image) << "the shown image changed";
        EXPECT_EQ(now.journal, before.journal);
        EXPECT_EQ(now.protocol, before.protocol);
        EXPECT_EQ(now.title, before.title);
        EXPECT_EQ(now.filePath, before.filePath);
        EXPECT_EQ(now.events, before.events);
    }
    // An image file other than the recorder's, to see that it stays.
    std::string writeOldFile(const std::string& name) {
        RecorderImage old;
        old.page(40)[7] = 0x12;
        std::string path = dir.file(name);
        old.save(path);
        return path;
    }

    ScopedTZ tz{"Europe/Moscow"};
    TempDir dir;
    RecorderImage recorder;
};

TEST_F(ConnectTest, ReadsTheRecorderIntoANewFileThenNothingNew) {
    EmulatorThread emulator(recorder);
    offerBridges({&emulator});
    const std::string path = dir.file("crane.rpd");
    {
        guitest::ProgressWatch watch;
        connect(path);
        EXPECT_EQ(watch.titles,
                  (std::vector<std::string>{"Считывание данных", "Анализ памяти регистратора"}));
        ASSERT_GE(watch.messages.size(), 2u);
        EXPECT_EQ(watch.messages[0], "Установка параметров последовательного порта");
        EXPECT_EQ(watch.messages[1], "Подготовка к считыванию данных");
        // The counters as the pages went by, with the source.
        const std::regex counters("Страниц памяти: считано (\\d+) пропущено (\\d+) повторено 0\n"
                                  "Источник данных: регистратор параметров");
        int seen = 0, pages = 0;
        for (size_t i = 2; i < watch.messages.size(); ++i) {
            std::smatch m;
            if (watch.messages[i].rfind("Страниц", 0) != 0) break; // the analysis
            ASSERT_TRUE(std::regex_match(watch.messages[i], m, counters)) << watch.messages[i];
            int n = std::stoi(m[1]) + std::stoi(m[2]);
            EXPECT_GT(n, pages);
            pages = n, ++seen;
        }
        EXPECT_GT(seen, 0);
        // A new file: the erased pages answer '0' and are then sent on the
        // second request, so every page crosses the line once.
        EXPECT_EQ(emulator.stats().pagesSent, 8192u);
        EXPECT_EQ(emulator.stats().pagesSame, 8192 - pagesNotErased(recorder));
    }
    EXPECT_EQ(fileBytes(path), imageBytes(recorder));
    EXPECT_EQ(imageBytes(frame->image), imageBytes(recorder));
    EXPECT_EQ(utf8(frame->filePath), path);
    EXPECT_EQ(utf8(frame->lastDir), dir.path().string());
    // A copy went into the archive, as the status line says.
    const std::string status = utf8(frame->GetStatusBar()->GetStatusText());
    EXPECT_EQ(status.rfind("Считанный образ сохранён в архиве: " + frame->archiveFolder + "/", 0),
              0u)
        << status;
    // The journal shows the recorder's events.
    EXPECT_EQ(utf8(controlsOf(*frame).firstRecordButton->GetLabel()), "07:55:00 04/03/2024");
    EXPECT_EQ(utf8(controlsOf(*frame).lastRecordButton->GetLabel()), "16:46:41 08/03/2024");
    EXPECT_EQ(listSize(frame->lists.journalList), 18u);
    EXPECT_NE(guitest::journalText(*controlsOf(*frame).journalPage).find(sample::firstPowerOn),
              std::string::npos);
    const std::string journal = journalHtml();

    // Again: every page answered '0', the file not rewritten, the same pages.
    const auto written = std::filesystem::last_write_time(path);
    const auto sentBefore = emulator.stats().pagesSent;
    const auto sameBefore = emulator.stats().pagesSame;
    connect(path);
    // Only the few pages the rings make suspect travel again (they are the same).
    EXPECT_LE(emulator.stats().pagesSent, sentBefore + 16);
    EXPECT_EQ(emulator.stats().pagesSame, sameBefore + 8192);
    EXPECT_EQ(std::filesystem::last_write_time(path), written);
    EXPECT_EQ(imageBytes(frame->image), imageBytes(recorder));
    EXPECT_EQ(journalHtml(), journal);

    // An archive that cannot be written costs the copy, not the reading.
    frame->archiveFolder = path + "/archive";
    connect(path);
    EXPECT_EQ(utf8(frame->GetStatusBar()->GetStatusText()), "Считанный образ не сохранён в архиве");
    EXPECT_EQ(fileBytes(path), imageBytes(recorder));
    EXPECT_EQ(utf8(frame->filePath), path);
}

// An emulated bridge is configured by the first command of the run and keeps
// that configuration for the next, as a real bridge keeps it in its memory.
TEST_F(ConnectTest, EmulatedBridgesKeepTheirConfigurationForTheRun) {
    EmulatorThread emulator(recorder);
    offerBridges({&emulator});
    const std::shared_ptr<BridgeLibrary> library = commandBridgeLibrary();
    auto* emulated = dynamic_cast<EmulatedBridgeLibrary*>(library.get());
    ASSERT_TRUE(emulated);
    connect(dir.file("first.rpd"));
    EXPECT_EQ(commandBridgeLibrary(), library);
    EXPECT_EQ(emulated->config(0).maxPower, 50);
    EXPECT_EQ(emulated->config(0).selfPower, 0);

    // Other lines, other bridges.
    EmulatorThread other(recorder);
    offerBridges({&other});
    EXPECT_NE(commandBridgeLibrary(), library);
}

TEST_F(ConnectTest, ASilentDeviceIsReportedAndKeepsTheShownImage) {
    recorder.page(3)[0] = 0x55;
    EmulatorFaults faults;
    faults.silentAfter = 20;
    EmulatorThread emulator(recorder, faults);
    offerBridges({&emulator});
    const Shown before = showRecorderImage();
    const std::string path = writeOldFile("old.rpd");
    const std::string old = fileBytes(path);

    guitest::ProgressWatch watch;
    wxTEST_DIALOG(sendConnect(), SaveChoice(path, frame->lastDir));
    expectNoAnswer(guitest::takeLoggedErrors());
    ASSERT_FALSE(watch.titles.empty());
    EXPECT_EQ(watch.titles[0], "Считывание данных");
    EXPECT_EQ(fileBytes(path), old);
    expectStill(before);
}

TEST_F(ConnectTest, CancelledReadLeavesTheFileAndTheShownImage) {
    EmulatorThread emulator(recorder);
    offerBridges({&emulator});
    const Shown before = showRecorderImage();
    const std::string path = writeOldFile("old.rpd");
    const std::string old = fileBytes(path);

    guitest::ProgressWatch watch(true);
    wxTEST_DIALOG(
        sendConnect(), SaveChoice(path, frame->lastDir),
        InfoExpected("Считывание прервано", "Cчитывание данных прервано, файл не обновлен"));
    EXPECT_TRUE(watch.cancelled);
    EXPECT_EQ(fileBytes(path), old);
    expectStill(before);
}

TEST_F(ConnectTest, AFailedReadIntoANewFileLeavesNoFile) {
    EmulatorFaults faults;
    faults.silentAfter = 20;
    EmulatorThread emulator(recorder, faults);
    offerBridges({&emulator});
    const Shown before = showRecorderImage();
    const std::string path = dir.file("new.rpd");
    wxTEST_DIALOG(sendConnect(), SaveChoice(path, frame->lastDir));
    expectNoAnswer(guitest::takeLoggedErrors());
    EXPECT_FALSE(std::filesystem::exists(path));
    expectStill(before);
}

// Known before the transfer, not after it: the user (root may write any file)
// cannot write the chosen file. The message has the path and the reason under it.
TEST_F(ConnectTest, AFileTheUserCannotWriteIsRefusedBeforeTheDevice) {
    if (!AsUser::user()) GTEST_SKIP() << AsUser::noUser;
    EmulatorThread emulator(recorder);
    offerBridges({&emulator});
    const Shown before = showRecorderImage();
    const std::string path = writeOldFile("readonly.rpd");
    const std::string old = fileBytes(path);
    ::chmod(path.c_str(), 0444);
    AsUser::give(path);
    AsUser::give(dir.path());
    {
        AsUser user;
        wxTEST_DIALOG(sendConnect(), SaveChoice(path, frame->lastDir));
    }
    EXPECT_EQ(guitest::takeLoggedErrors(),
              std::vector<std::string>{"не могу открыть/создать файл!\n" + path + ": " +
                                       systemReason(EACCES)});
    emulator.stop();
    EXPECT_EQ(emulator.stats().commands, "");
    EXPECT_EQ(fileBytes(path), old);
    expectStill(before);
}

TEST_F(ConnectTest, NoFileChosenLeavesTheDeviceAlone) {
    EmulatorThread emulator(recorder);
    offerBridges({&emulator});
    const Shown before = showRecorderImage();
    wxTEST_DIALOG(sendConnect(), SaveChoice("", frame->lastDir, wxID_CANCEL));
    EXPECT_EQ(guitest::takeLoggedErrors(),
              std::vector<std::string>{
                  "Необходимо выбрать файл для сохранения образа памяти регистратора"});
    emulator.stop();
    EXPECT_EQ(emulator.stats().commands, "");
    EXPECT_EQ(openDescriptors(emulator.path()), 0);
    expectStill(before);
}

TEST_F(ConnectTest, TheSecondOfTwoDevicesIsChosenWithTheArrows) {
    RecorderImage erased;
    EmulatorThread first(erased), second(recorder);
    offerBridges({&first, &second});
    const std::string path = dir.file("second.rpd");

    auto shown = [&](int index) {
        EXPECT_EQ(openDescriptors(first.path()), index == 0 ? 1 : 0);
        EXPECT_EQ(openDescriptors(second.path()), index == 1 ? 1 : 0);
    };
    wxTEST_DIALOG(sendConnect(), SaveChoice(path, frame->lastDir),
                  DeviceChoice([&](DevChoiceDialog& dialog) {
                      EXPECT_EQ(dialog.deviceIndex(), 0);
                      shown(0);
                      press(&dialog, DevChoiceDialog::IdPrevious);
                      EXPECT_EQ(dialog.deviceIndex(), 0);
                      shown(0);
                      press(&dialog, DevChoiceDialog::IdNext);
                      EXPECT_EQ(dialog.deviceIndex(), 1);
                      shown(1);
                      press(&dialog, DevChoiceDialog::IdNext);
                      EXPECT_EQ(dialog.deviceIndex(), 1);
                      shown(1);
                  }),
                  InfoExpected(DoneTitle, Done));
    first.stop();
    second.stop();
    EXPECT_EQ(first.stats().commands, "");
    EXPECT_EQ(second.stats().sessions, 1u);
    EXPECT_EQ(openDescriptors(first.path()), 0);
    EXPECT_EQ(openDescriptors(second.path()), 0);
    EXPECT_EQ(fileBytes(path), imageBytes(recorder));
    EXPECT_EQ(listSize(frame->lists.journalList), 18u);
}

TEST_F(ConnectTest, WriteStoresThePassportPagesOnly) {
    EmulatorThread emulator(recorder);
    offerBridges({&emulator});
    synthesizeSampleMemory(frame->image);
    frame->image.page(1)[10] ^= 0x5A;
    frame->image.page(7)[527] ^= 0x01;
    frame->image.page(100)[0] ^= 0xFF; // outside the writable area
    const uint8_t page100 = recorder.page(100)[0];

    guitest::ProgressWatch watch;
    WriteReport report;
    wxTEST_DIALOG(report = frame->writeToRecorder(),
                  InfoExpected("Запись завершена", "Запись данных данных успешно завершена"));
    EXPECT_EQ(watch.titles, std::vector<std::string>{"Запись данных"});
    ASSERT_GE(watch.messages.size(), 2u);
    EXPECT_EQ(watch.messages[0], "Установка параметров последовательного порта");
    EXPECT_EQ(watch.messages[1], "Подготовка к записи данных");
    for (size_t i = 2; i < watch.messages.size(); ++i)
        EXPECT_TRUE(std::regex_match(
            watch.messages[i],
            std::regex("Страниц памяти: записано [0-2] пропущено [0-6] отклонено 0")))
            << watch.messages[i];
    EXPECT_EQ(report.outcome, LinkOutcome::Done);
    EXPECT_EQ(report.pagesWritten, 2u);
    EXPECT_EQ(report.pagesSkipped, 6u);
    EXPECT_EQ(report.pagesRejected, 0u);

    // Again: nothing to write.
    wxTEST_DIALOG(report = frame->writeToRecorder(),
                  InfoExpected("Запись завершена", "Запись данных данных успешно завершена"));
    EXPECT_EQ(report.pagesWritten, 0u);
    EXPECT_EQ(report.pagesSkipped, 8u);
    EXPECT_EQ(report.pagesRejected, 0u);

    emulator.stop();
    for (uint32_t p = 0; p < 8; ++p)
        EXPECT_TRUE(std::equal(recorder.page(p), recorder.page(p) + RecorderImage::PageSize,
                               frame->image.page(p)))
            << "page " << p;
    EXPECT_EQ(recorder.page(100)[0], page100);
    // Each write reads the recorder's header (its serial number) first, and
    // asks for the pages it sent again to confirm them.
    const std::vector<uint32_t> requested = {512, 0,   1, 2, 3, 4, 5, 6, 7, 1,
                                             7,   512, 0, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(emulator.stats().requestedPages, requested);
    EXPECT_EQ(emulator.stats().pagesStored, 2u);
}

// ---- the device-choice dialog on screen -------------------------------------

class DevChoiceTest : public ::testing::Test {
protected:
    RecorderImage memory;
    EmulatorThread first{memory}, second{memory}, third{memory};
    EmulatedBridgeLibrary library{{first.path(), second.path(), third.path()}};
    std::vector<std::string> reports;
    DeviceChooser::ReportFn report = [this](const std::string& m) { reports.push_back(m); };

    // Which bridges are open, as "100" for the first.
    std::string openBridges() const {
        std::string open;
        for (const EmulatorThread* e : {&first, &second, &third})
            open += char('0' + openDescriptors(e->path()));
        return open;
    }
};

TEST_F(DevChoiceTest, LaidOutWithTextPictureAndArrows) {
    DeviceChooser chooser(library, 3, report);
    DevChoiceDialog dialog(nullptr, chooser);
    EXPECT_EQ(utf8(dialog.GetTitle()), "Выбор устройства считывания");
    EXPECT_TRUE(dialog.HasFlag(wxCLOSE_BOX));
    EXPECT_TRUE(dialog.HasFlag(wxSYSTEM_MENU));
    EXPECT_EQ(textsOf(&dialog),
              "Выберите нужное устройство считывания с помощью нажатия на кнопки со стрелочками. "
              "Текущее выбранное устройство считывания будет раз в секунду подмаргивать красным "
              "светодиодом");
    wxStaticText* text = nullptr;
    for (wxWindow* child : dialog.GetChildren())
        if (auto* t = dynamic_cast<wxStaticText*>(child)) text = t;
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(utf8(text->GetFont().GetFaceName()), "Times");
    EXPECT_EQ(text->GetFont().GetPointSize(), 12);
    EXPECT_LE(text->GetSize().x, 240);
    EXPECT_TRUE(samePixels(pictureOf(&dialog), loadPicture(L"bmps/connect.160.png", 160, 160)));

    const std::pair<int, const wchar_t*> buttons[] = {
        {2500, L"bmps/yellowleftarr.32.png"},
        {5100, L"bmps/greencheck.32.png"},
        {2501, L"bmps/yellowrightarr.32.png"},
    };
    int left = -1;
    for (auto [id, picture] : buttons) {
        auto* button = dynamic_cast<wxBitmapButton*>(dialog.FindWindow(id));
        ASSERT_NE(button, nullptr) << id;
        EXPECT_TRUE(samePixels(button->GetBitmap(), loadPicture(picture, 32, 32))) << id;
        // In a row below the text, left to right.
        EXPECT_GT(button->GetPosition().x, left) << id;
        EXPECT_GE(button->GetPosition().y, text->GetRect().GetBottom()) << id;
        left = button->GetPosition().x;
    }
    EXPECT_EQ(dialog.GetDefaultItem(), dialog.FindWindow(wxID_OK));
    // Sized to its content: the picture and the column fit.
    EXPECT_GE(dialog.GetClientSize().x, 160 + text->GetSize().x);
    EXPECT_GE(dialog.GetClientSize().y, 160);
}

TEST_F(DevChoiceTest, ArrowsMoveWithinTheBridgesAndTheCheckMarkClosesTheHandle) {
    DeviceChooser chooser(library, 3, report);
    DevChoiceDialog dialog(nullptr, chooser);
    EXPECT_EQ(openBridges(), "100");
    int result = guitest::runModal(dialog, [&](wxDialog&) {
        wxWindow* left = dialog.FindWindow(DevChoiceDialog::IdPrevious);
        wxWindow* right = dialog.FindWindow(DevChoiceDialog::IdNext);
        guitest::clickOn(left); // at the first bridge: nothing
        guitest::waitFor([] { return false; }, 100);
        EXPECT_EQ(dialog.deviceIndex(), 0);
        EXPECT_EQ(openBridges(), "100");
        for (const char* open : {"010", "001", "001"}) {
            guitest::clickOn(right);
            EXPECT_TRUE(guitest::waitFor([&] { return openBridges() == open; })) << open;
        }
        EXPECT_EQ(dialog.deviceIndex(), 2);
        guitest::clickOn(left);
        EXPECT_TRUE(guitest::waitFor([&] { return openBridges() == "010"; }));
        guitest::clickOn(dialog.FindWindow(wxID_OK));
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(dialog.deviceIndex(), 1);
    EXPECT_EQ(openBridges(), "000");
    EXPECT_EQ(reports, std::vector<std::string>{});
}

TEST_F(DevChoiceTest, CloseBoxAndEscapeCloseTheHandleToo) {
    for (bool escape : {false, true}) {
        DeviceChooser chooser(library, 3, report);
        DevChoiceDialog dialog(nullptr, chooser);
        int result = guitest::runModal(dialog, [&](wxDialog&) {
            press(&dialog, DevChoiceDialog::IdNext);
            if (escape) {
                dialog.FindWindow(wxID_OK)->SetFocus();
                guitest::waitFor([] { return false; }, 100);
                wxUIActionSimulator().Char(WXK_ESCAPE);
            } else {
                dialog.Close();
            }
        });
        // Without a cancel button, both stand for the check mark; the code is
        // not looked at anyway.
        EXPECT_EQ(result, wxID_OK);
        EXPECT_EQ(dialog.deviceIndex(), 1);
        EXPECT_EQ(openBridges(), "000") << (escape ? "Escape" : "close box");
    }
    EXPECT_EQ(reports, std::vector<std::string>{});
}

TEST_F(DevChoiceTest, ABridgeThatCannotBeOpenedIsReportedAndTheDialogStays) {
    EmulatedBridgeLibrary partly{{first.path(), "/nonexistent/tty", third.path()}};
    DeviceChooser chooser(partly, 3, report);
    DevChoiceDialog dialog(nullptr, chooser);
    int result = guitest::runModal(dialog, [&](wxDialog&) {
        press(&dialog, DevChoiceDialog::IdNext);
        ASSERT_EQ(reports.size(), 1u);
        // The system's reason (in the system's language), then what to do.
        EXPECT_EQ(reports[0].rfind("не могу открыть USB-порт 2\n", 0), 0u) << reports[0];
        EXPECT_NE(reports[0].find(": устройство считывания отключено; проверьте кабель USB"),
                  std::string::npos)
            << reports[0];
        EXPECT_EQ(openBridges(), "000");
        EXPECT_TRUE(dialog.IsModal());
        press(&dialog, DevChoiceDialog::IdNext);
        EXPECT_EQ(openBridges(), "001");
        press(&dialog, wxID_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(dialog.deviceIndex(), 2);
    EXPECT_EQ(openBridges(), "000");
}

} // namespace

// ---- the transfer's progress dialog -----------------------------------------

namespace {

wxGenericProgressDialog* progressDialog() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxGenericProgressDialog*>(window)) return dialog;
    return nullptr;
}

// The dialog leaves its message the room it needs.
bool messageFits(wxWindow* dialog) {
    const wxSize needed = dialog->GetSizer()->GetMinSize(), have = dialog->GetClientSize();
    return needed.x <= have.x && needed.y <= have.y;
}

std::string readCounters(int read, int skipped) {
    return "Страниц памяти: считано " + std::to_string(read) + " пропущено " +
           std::to_string(skipped) + " повторено 0\nИсточник данных: регистратор параметров";
}

TEST(TransferProgress, GrowsWithTheCountersMessage) {
    DialogProgress progress(nullptr, L"Считывание данных",
                            L"Установка параметров последовательного порта", 8192);
    wxGenericProgressDialog* dialog = progressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(utf8(dialog->GetMessage()), "Установка параметров последовательного порта");
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_TRUE(progress.update(0, "Подготовка к считыванию данных"));
    for (int skipped = 0; skipped < 7400; skipped += 370) {
        const int read = skipped / 10;
        const std::string message = readCounters(read, skipped);
        EXPECT_TRUE(progress.update(read + skipped, message));
        EXPECT_EQ(utf8(dialog->GetMessage()), message);
        ASSERT_TRUE(messageFits(dialog)) << message;
    }
}

TEST(TransferProgress, ReportsBetweenRepaintsStillSeeTheCancel) {
    DialogProgress progress(nullptr, L"Запись данных",
                            L"Установка параметров последовательного порта", 8192,
                            std::chrono::hours(1));
    EXPECT_TRUE(progress.update(0, "Подготовка к записи данных")); // shown
    guitest::ProgressWatch watch(true);
    EXPECT_TRUE(guitest::waitFor([&] { return watch.cancelled; }));
    EXPECT_FALSE(progress.update(1, "Страниц памяти: записано 0 пропущено 1 отклонено 0"));
    // Not repainted: the message is the last one shown.
    EXPECT_EQ(utf8(progressDialog()->GetMessage()), "Подготовка к записи данных");
}

} // namespace
