#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

#include "common/errorExc.h"
#include "core/device/LinkTestSupport.h"
#include "testsupport/AsUser.h"

namespace {

using Events = std::vector<std::string>;

const std::string kPicture = "bmps/connect.160.png";
const std::string kDoneInfo =
    "info Считывание завершено|Cчитывание данных успешно завершено|" + kPicture;
const std::string kCancelInfo =
    "info Считывание прервано|Cчитывание данных прервано, файл не обновлен|" + kPicture;
const std::string kProgress =
    "progress Считывание данных|Установка параметров последовательного порта|8192";
const std::vector<uint32_t> kHighThenNormal = {ProcessPriority::HighPriorityClass,
                                               ProcessPriority::NormalPriorityClass};
const char* const kRecorder = "регистратор параметров";

std::string progressText(uint32_t read, uint32_t skipped, uint32_t repeated, const char* source) {
    return "Страниц памяти: считано " + std::to_string(read) + " пропущено " +
           std::to_string(skipped) + " повторено " + std::to_string(repeated) +
           "\nИсточник данных: " + source;
}

struct FileId {
    ino_t inode;
    struct timespec modified;
};
FileId fileId(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {st.st_ino, st.st_mtim};
}
bool sameFile(const FileId& a, const FileId& b) {
    return a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec;
}

class ReadRecorderTest : public LinkFixture {
protected:
    // An existing file of erased pages: a read into it moves only the pages
    // that are not erased on the recorder, so the tests that are not about a
    // new file keep their traffic small.
    std::string erasedFile(const std::string& name) {
        const std::string file = dir.file(name);
        RecorderImage().save(file);
        return file;
    }
};

// Gives page the CRC of an erased page by choosing its last two bytes.
void forgeErasedCrc(uint8_t* page) {
    Crc16 crc;
    RecorderImage erased;
    const uint16_t target = crc.compute(erased.page(0), RecorderImage::PageSize);
    for (uint32_t v = 0; v < 0x10000; ++v) {
        page[RecorderImage::PageSize - 2] = uint8_t(v >> 8);
        page[RecorderImage::PageSize - 1] = uint8_t(v);
        if (crc.compute(page, RecorderImage::PageSize) == target) return;
    }
    FAIL() << "no two last bytes give the erased page's CRC";
}

// A new file holds no copy of the recorder: a page the device calls the same
// as the file's erased one is asked for again with another CRC, so that a
// written page with an erased page's CRC is not lost.
TEST_F(ReadRecorderTest, NewFileGetsEveryPageEvenOneWithTheErasedPagesCrc) {
    const uint32_t forged = 7000;
    for (uint32_t i = 0; i < RecorderImage::PageSize; ++i)
        recorder.page(forged)[i] = uint8_t(i * 7 + 3);
    forgeErasedCrc(recorder.page(forged));
    startEmulator();
    const std::string file = dir.file("new.rpd");
    ReadReport report = read(file);
    EXPECT_EQ(openDescriptors(linePath), 0);
    auto stats = stopEmulator();

    const uint32_t differing = pagesDifferingFromErased(recorder);
    ASSERT_GT(differing, 10u);
    EXPECT_EQ(report.outcome, LinkOutcome::Done);
    EXPECT_EQ(report.pagesRead, RecorderImage::PageCount);
    EXPECT_EQ(report.pagesSkipped, 0u);
    EXPECT_EQ(report.pagesRepeated, 0u);
    EXPECT_TRUE(report.saved);
    EXPECT_TRUE(sameBytes(image, recorder));
    RecorderImage saved;
    saved.load(file, false);
    EXPECT_TRUE(sameBytes(saved, recorder));

    EXPECT_EQ(ui.events, (Events{kProgress, "progress closed", kDoneInfo}));
    EXPECT_EQ(priority.classes, kHighThenNormal);
    ASSERT_EQ(ui.updates.size(), RecorderImage::PageCount + 1);
    EXPECT_EQ(ui.updates[0], std::make_pair(0, std::string("Подготовка к считыванию данных")));
    EXPECT_EQ(ui.updates.back(),
              std::make_pair(8191, progressText(RecorderImage::PageCount, 0, 0, kRecorder)));
    EXPECT_EQ(stats.commands, "ECM");
    // Pages in order; those with an erased page's CRC twice, the forged one among them.
    ASSERT_EQ(stats.requestedPages.size(), 2 * RecorderImage::PageCount - differing + 1);
    EXPECT_EQ(std::count(stats.requestedPages.begin(), stats.requestedPages.end(), forged), 2);
    EXPECT_EQ(std::count(stats.requestedPages.begin(), stats.requestedPages.end(), 8191u), 2);
    EXPECT_TRUE(std::is_sorted(stats.requestedPages.begin(), stats.requestedPages.end()));
    // The configuration was written once into the unconfigured bridge.
    EXPECT_EQ(bridges->config(0).maxPower, 50);
    EXPECT_EQ(bridges->config(0).selfPower, 0);
}

TEST_F(ReadRecorderTest, ReadingAgainLeavesTheFileUntouched) {
    const std::string file = dir.file("same.rpd");
    recorder.save(file);
    const FileId before = fileId(file);
    startEmulator();
    ReadReport report = read(file);
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Done);
    EXPECT_EQ(report.pagesRead, 0u);
    EXPECT_EQ(report.pagesSkipped, RecorderImage::PageCount);
    EXPECT_FALSE(report.saved);
    EXPECT_TRUE(sameFile(before, fileId(file)));
    // Only the pages the rings make suspect travel, and they are the same.
    EXPECT_EQ(stats.pagesSent, report.pagesRechecked);
    EXPECT_LE(report.pagesRechecked, 16u);
    EXPECT_EQ(ui.events.back(), kDoneInfo);
}

// The file's copy is erased where the recorder has since written a page with
// an erased page's CRC: the device says '0', and the ring makes the page
// suspect, so it is asked for with another CRC.
TEST_F(ReadRecorderTest, PageBehindAnEqualCrcIsAskedForAgain) {
    const uint32_t newest = recorder.generalFirst() + 4;
    ASSERT_NE(recorder.page(newest)[7], 0xFF);
    forgeErasedCrc(recorder.page(newest));
    const std::string file = dir.file("stale.rpd");
    RecorderImage old;
    std::memcpy(old.data(), recorder.data(), RecorderImage::ImageSize);
    std::memset(old.page(newest), 0xFF, RecorderImage::PageSize);
    old.save(file);
    startEmulator();
    ReadReport report = read(file);
    stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Done);
    EXPECT_EQ(report.pagesRead, 1u);
    EXPECT_GE(report.pagesRechecked, 1u);
    EXPECT_TRUE(report.saved);
    RecorderImage saved;
    saved.load(file, false);
    EXPECT_TRUE(sameBytes(saved, recorder));
    EXPECT_NE(readCountersText(report).find(" перепроверено "), std::string::npos);
}

TEST_F(ReadRecorderTest, DamagedPagesAreRequestedAgain) {
    startEmulator({.badCrcOnce = {0, 545}});
    ASSERT_NE(recorder.page(545)[0], 0xFF);
    ReadReport report = read(erasedFile("crc.rpd"));
    auto stats = stopEmulator();
    const uint32_t differing = pagesDifferingFromErased(recorder);
    EXPECT_EQ(report.outcome, LinkOutcome::Done);
    EXPECT_EQ(report.pagesRepeated, 2u);
    EXPECT_EQ(report.pagesRead, differing + 2);
    EXPECT_EQ(report.pagesSkipped, RecorderImage::PageCount - differing);
    EXPECT_TRUE(sameBytes(image, recorder));
    // Page 0 twice, and the progress stays at 0 after its first, damaged copy.
    ASSERT_GE(stats.requestedPages.size(), 3u);
    EXPECT_EQ(std::vector<uint32_t>(stats.requestedPages.begin(), stats.requestedPages.begin() + 3),
              (std::vector<uint32_t>{0, 0, 1}));
    EXPECT_EQ(ui.updates[1], std::make_pair(0, progressText(1, 0, 1, kRecorder)));
    EXPECT_EQ(ui.updates[2], std::make_pair(0, progressText(2, 0, 1, kRecorder)));
    EXPECT_EQ(std::count(stats.requestedPages.begin(), stats.requestedPages.end(), 545u), 2);
}

TEST_F(ReadRecorderTest, InternalMemoryIsNamedAsTheSource) {
    startEmulator({.internalMemory = true});
    ReadReport report = read(erasedFile("internal.rpd"));
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Done);
    EXPECT_EQ(stats.commands, "EICM");
    EXPECT_NE(
        ui.updates.back().second.find("\nИсточник данных: внутренняя память устройства считывания"),
        std::string::npos);
}

TEST_F(ReadRecorderTest, WrongAnswersEndTheReadWithTheirMessages) {
    struct Case {
        EmulatorFaults faults;
        std::string commands;
        std::string message;
    };
    const Case cases[] = {
        {{.answerE = 'X'}, "E", "Ошибка при выборе считываемой памяти"},
        {{.internalMemory = true, .answerI = 'E'}, "EI", "Ошибка при выборе считываемой памяти"},
        {{.answerC = 'M'}, "EC", "Ошибка при выборе метода считывания"},
        {{.answerM = 'M'}, "ECM", "Устройство считывания не готово"},
    };
    for (const Case& c : cases) {
        startEmulator(c.faults);
        image.page(3)[0] = 0;
        ui.events.clear();
        priority.classes.clear();
        ReadReport report = read(dir.file("wrong.rpd"));
        EXPECT_EQ(openDescriptors(linePath), 0) << c.message;
        auto stats = stopEmulator();
        EXPECT_EQ(report.outcome, LinkOutcome::Failed);
        EXPECT_EQ(stats.commands, c.commands);
        EXPECT_TRUE(stats.requestedPages.empty());
        EXPECT_EQ(ui.events, (Events{kProgress, "progress closed", "error " + c.message}));
        EXPECT_EQ(priority.classes, kHighThenNormal);
        EXPECT_TRUE(isErased(image));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("wrong.rpd")));
}

// The file is made once a page has arrived: a read into a new path that fails
// or is cancelled leaves nothing, and the next read into it is a read into a
// new file again (every page asked for).
TEST_F(ReadRecorderTest, AFailedOrCancelledReadIntoANewPathLeavesNoFile) {
    const std::string file = dir.file("new.rpd");
    startEmulator({.silentAfter = 100});
    EXPECT_EQ(read(file).outcome, LinkOutcome::Failed);
    stopEmulator();
    EXPECT_FALSE(std::filesystem::exists(file));

    startEmulator();
    ui.onUpdate = [](int value, const std::string&) { return value < 300; };
    EXPECT_EQ(read(file).outcome, LinkOutcome::Cancelled);
    stopEmulator();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 0);

    startEmulator();
    ui.onUpdate = nullptr;
    ReadReport report = read(file);
    stopEmulator();
    EXPECT_EQ(report.pagesRead, RecorderImage::PageCount);
    EXPECT_TRUE(report.saved);
    RecorderImage saved;
    EXPECT_TRUE(saved.load(file, false));
    EXPECT_TRUE(sameBytes(saved, recorder));
}

// Checked before the device is touched, as a user (root may write anything):
// an image the user cannot read, one the user cannot write, and a new file in
// a folder the user cannot write. Each stays as it was.
TEST_F(ReadRecorderTest, AnImageThatCannotBeReadOrWrittenIsRefusedBeforeTheTransfer) {
    if (!AsUser::user()) GTEST_SKIP() << AsUser::noUser;
    AsUser::give(dir.path());
    RecorderImage old;
    old.page(9)[1] = 0x17;
    const std::string unreadable = dir.file("unreadable.rpd"), readOnly = dir.file("ro.rpd");
    old.save(unreadable);
    old.save(readOnly);
    ::chmod(unreadable.c_str(), 0200);
    ::chmod(readOnly.c_str(), 0444);
    std::filesystem::create_directory(dir.file("locked"));
    ::chmod(dir.file("locked").c_str(), 0555);
    for (const std::string& f : {unreadable, readOnly, dir.file("locked")})
        AsUser::give(f);
    const std::string inLocked = dir.file("locked/new.rpd");
    const struct {
        std::string path;
        std::string message;
        int code;
    } cases[] = {
        {unreadable, "не могу открыть файл!", EACCES},
        {readOnly, "не могу открыть/создать файл!", EACCES},
        {inLocked, "не могу открыть/создать файл!", EACCES},
    };
    startEmulator();
    for (const auto& c : cases) {
        ui.events.clear();
        ui.errorDetails.clear();
        image.page(1)[1] = 1;
        ReadReport report;
        {
            AsUser user;
            report = read(c.path);
        }
        EXPECT_EQ(report.outcome, LinkOutcome::Failed);
        EXPECT_EQ(ui.events, (Events{"error " + c.message}));
        EXPECT_EQ(ui.errorDetails, (Events{c.path + ": " + systemReason(c.code)}));
        EXPECT_TRUE(isErased(image));
    }
    EXPECT_TRUE(priority.classes.empty());
    EXPECT_TRUE(stopEmulator().commands.empty());
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_FALSE(std::filesystem::exists(inLocked));
    for (const std::string& f : {unreadable, readOnly}) {
        ::chmod(f.c_str(), 0644);
        RecorderImage onDisk;
        onDisk.load(f, false);
        EXPECT_TRUE(sameBytes(onDisk, old)) << f;
    }
}

// Whatever fails in the middle of the transfer, not only the link's own
// errors, ends it the same way: reported, the line closed, the priority normal.
TEST_F(ReadRecorderTest, AnyExceptionDuringTheTransferRestoresTheSafeState) {
    const std::string file = erasedFile("kept.rpd");
    const FileId before = fileId(file);
    startEmulator();
    ui.onUpdate = [](int value, const std::string&) -> bool {
        if (value == 100) throw std::runtime_error("out of memory");
        return true;
    };
    ReadReport report = read(file);
    EXPECT_EQ(openDescriptors(linePath), 0);
    stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_EQ(ui.events.back(), "error out of memory");
    EXPECT_EQ(priority.classes, kHighThenNormal);
    EXPECT_TRUE(isErased(image));
    EXPECT_TRUE(sameFile(before, fileId(file)));
}

// A read through a symbolic link and into a hard-linked file keeps both.
TEST_F(ReadRecorderTest, LinksSurviveARead) {
    const std::string target = erasedFile("target.rpd"), second = dir.file("second.rpd");
    std::filesystem::create_symlink("target.rpd", dir.file("link.rpd"));
    std::filesystem::create_hard_link(target, second);
    startEmulator();
    EXPECT_TRUE(read(dir.file("link.rpd")).saved);
    stopEmulator();
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.rpd")));
    EXPECT_EQ(std::filesystem::hard_link_count(target), 2u);
    RecorderImage onDisk;
    onDisk.load(second, false);
    EXPECT_TRUE(sameBytes(onDisk, recorder));
}

TEST_F(ReadRecorderTest, SilentDeviceFailsWithinTheTimeouts) {
    const std::string file = dir.file("silent.rpd");
    RecorderImage old;
    old.page(5)[7] = 0x42;
    old.save(file);
    startEmulator({.silentAfter = 100});
    auto start = std::chrono::steady_clock::now();
    ReadReport report = read(file);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(openDescriptors(linePath), 0);
    stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_EQ(ui.events.back(), "error несоответствие потока данных при приеме");
    EXPECT_NE(ui.errorDetails.back().find("проверьте кабель USB"), std::string::npos);
    EXPECT_EQ(priority.classes, kHighThenNormal);
    EXPECT_TRUE(isErased(image));
    RecorderImage onDisk;
    onDisk.load(file, false);
    EXPECT_TRUE(sameBytes(onDisk, old));
    // A second of purging and one transfer time-out, not the command time-outs again and again.
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

TEST_F(ReadRecorderTest, CancelKeepsTheOldFileAndErasesTheImage) {
    const std::string file = dir.file("cancel.rpd");
    RecorderImage old;
    old.page(9)[1] = 0x17;
    old.save(file);
    const FileId before = fileId(file);
    startEmulator();
    ui.onUpdate = [](int value, const std::string&) { return value < 600; };
    ReadReport report = read(file);
    EXPECT_EQ(openDescriptors(linePath), 0);
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Cancelled);
    EXPECT_EQ(stats.requestedPages.back(), 600u);
    EXPECT_TRUE(sameFile(before, fileId(file)));
    EXPECT_TRUE(isErased(image));
    EXPECT_EQ(ui.events, (Events{kProgress, kCancelInfo, "progress closed"}));
    EXPECT_EQ(priority.classes, kHighThenNormal);
}

// A status byte that means nothing is asked for again, and a page the device
// keeps answering so fails the read, naming it; the file is not written.
TEST_F(ReadRecorderTest, UnexpectedStatusFailsTheReadNamingThePage) {
    const uint32_t page = recorder.generalFirst();
    startEmulator({.badStatus = {{page, 'Z'}}});
    const std::string file = erasedFile("status.rpd");
    const FileId before = fileId(file);
    ReadReport report = read(file);
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_FALSE(report.saved);
    EXPECT_TRUE(sameFile(before, fileId(file)));
    EXPECT_TRUE(isErased(image));
    EXPECT_EQ(std::count(stats.requestedPages.begin(), stats.requestedPages.end(), page), 4);
    EXPECT_NE(ui.events.back().find("страницу " + std::to_string(page)), std::string::npos)
        << ui.events.back();
}

TEST_F(ReadRecorderTest, UnloadableFileTouchesNoDevice) {
    startEmulator();
    image.page(1)[1] = 1;
    ReadReport report = read(dir.path().string()); // a folder
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_EQ(ui.events.size(), 1u);
    EXPECT_EQ(ui.events[0].rfind("error не могу", 0), 0u) << ui.events[0];
    EXPECT_TRUE(isErased(image));
    EXPECT_TRUE(priority.classes.empty());
    EXPECT_TRUE(stopEmulator().commands.empty());
}

} // namespace
