#include <gtest/gtest.h>

#include "core/device/LinkTestSupport.h"
#include "image/HeaderView.h"

namespace {

using Events = std::vector<std::string>;

const std::string kProgress =
    "progress Запись данных|Установка параметров последовательного порта|8192";
const std::string kDoneInfo =
    "info Запись завершена|Запись данных данных успешно завершена|bmps/connect.160.png";

std::string counters(uint32_t written, uint32_t skipped, uint32_t rejected) {
    return "Страниц памяти: записано " + std::to_string(written) + " пропущено " +
           std::to_string(skipped) + " отклонено " + std::to_string(rejected);
}

class WriteRecorderTest : public LinkFixture {
protected:
    WriteRecorderTest() {
        std::memcpy(image.data(), recorder.data(), RecorderImage::ImageSize);
        image.locateHeads();
        // Edited passport pages, and a page outside the writable area that must not travel.
        image.page(0)[10] ^= 0x21;
        image.page(4)[200] ^= 0x21;
        image.page(700)[0] ^= 0x21;
        std::memcpy(before.data(), image.data(), RecorderImage::ImageSize);
    }
    // The requests of the write itself; the others read the header.
    static std::vector<uint32_t> writableRequests(const std::vector<uint32_t>& pages) {
        std::vector<uint32_t> written;
        for (uint32_t p : pages) {
            if (p < 8)
                written.push_back(p);
            else
                EXPECT_GE(p, RecorderImage::HeaderPage);
        }
        return written;
    }
    RecorderImage before;
};

TEST_F(WriteRecorderTest, WritingTwiceSendsTheEditedPagesOnce) {
    startEmulator();
    WriteReport first = write();
    EXPECT_EQ(first.outcome, LinkOutcome::Done);
    EXPECT_EQ(first.pagesWritten, 2u);
    EXPECT_EQ(first.pagesSkipped, 6u);
    EXPECT_EQ(first.pagesRejected, 0u);
    EXPECT_EQ(ui.events, (Events{kProgress, "progress closed", kDoneInfo}));
    EXPECT_EQ(ui.updates.front(), std::make_pair(0, std::string("Подготовка к записи данных")));
    EXPECT_EQ(ui.updates.back(), std::make_pair(7, counters(2, 6, 0)));

    WriteReport second = write();
    EXPECT_EQ(openDescriptors(linePath), 0);
    auto stats = stopEmulator();
    EXPECT_EQ(second.outcome, LinkOutcome::Done);
    EXPECT_EQ(second.pagesWritten, 0u);
    EXPECT_EQ(second.pagesSkipped, 8u);
    EXPECT_EQ(second.pagesRejected, 0u);

    // Each write reads the recorder's serial number first; the pages sent are
    // asked for again to confirm them.
    EXPECT_EQ(stats.commands, "ECMWECMW");
    const auto written = writableRequests(stats.requestedPages);
    EXPECT_EQ(written.size(), 18u);
    for (uint32_t p = 0; p < 8; ++p)
        EXPECT_EQ(std::memcmp(recorder.page(p), image.page(p), RecorderImage::PageSize), 0) << p;
    EXPECT_NE(recorder.page(700)[0], image.page(700)[0]);
    EXPECT_TRUE(sameBytes(image, before));
    EXPECT_TRUE(priority.classes.empty());
}

// A page refused, or answered with a byte that means nothing after it was
// asked again, fails the write with a message naming the pages.
TEST_F(WriteRecorderTest, RefusedAndUnansweredPagesFailTheWrite) {
    struct Case {
        EmulatorFaults faults;
        uint32_t written, skipped, rejected, stored;
        std::vector<uint32_t> requests, notWritten;
        std::string message;
    };
    const Case cases[] = {
        {{.refuseWrites = true},
         0,
         0,
         8,
         0,
         {0, 1, 2, 3, 4, 5, 6, 7},
         {0, 1, 2, 3, 4, 5, 6, 7},
         "error Страницы 0, 1, 2, 3, 4, 5, 6, 7 не записаны в регистратор. Паспорт в регистратор "
         "не записан."},
        {{.badStatus = {{0, 'X'}, {5, '7'}}},
         1,
         5,
         0,
         1,
         {0, 0, 0, 0, 1, 2, 3, 4, 5, 5, 5, 5, 6, 7, 4},
         {0, 5},
         "error Страницы 0, 5 не записаны в регистратор. Паспорт регистратора записан частично: "
         "запишите его еще раз."},
    };
    for (const Case& c : cases) {
        startEmulator(c.faults);
        ui.events.clear();
        WriteReport report = write();
        auto stats = stopEmulator();
        EXPECT_EQ(report.outcome, LinkOutcome::Failed);
        EXPECT_EQ(report.pagesWritten, c.written);
        EXPECT_EQ(report.pagesSkipped, c.skipped);
        EXPECT_EQ(report.pagesRejected, c.rejected);
        EXPECT_EQ(report.pagesNotWritten, c.notWritten);
        EXPECT_EQ(stats.pagesStored, c.stored);
        EXPECT_EQ(writableRequests(stats.requestedPages), c.requests);
        EXPECT_EQ(ui.events.back(), c.message);
    }
}

// A write stopped part-way says that the passport may now be mixed.
TEST_F(WriteRecorderTest, InterruptedWriteSaysThePassportMayBeMixed) {
    startEmulator({.silentAfter = 2});
    WriteReport report = write();
    stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_EQ(report.pagesWritten, 1u);
    EXPECT_NE(ui.events.back().find("записан частично"), std::string::npos) << ui.events.back();
}

// Another recorder's passport goes in only when the question says yes.
TEST_F(WriteRecorderTest, SerialNumberMismatchAsksFirst) {
    recorder.locateHeads();
    HeaderView header(recorder);
    uint8_t* serial = const_cast<uint8_t*>(header.rows[header.serialRow()]);
    std::memcpy(serial, "9999", 4);
    for (bool yes : {false, true}) {
        startEmulator();
        ui.events.clear();
        std::vector<std::string> asked;
        LinkContext link{*bridges, priority, ui};
        WriteReport report = writeRecorder(link, image, crc,
                                           [&](const std::string& theirs, const std::string& ours) {
                                               asked.push_back(theirs + "/" + ours);
                                               return yes;
                                           });
        auto stats = stopEmulator();
        EXPECT_EQ(asked, std::vector<std::string>{"9999/" + HeaderView(image).serialNumber});
        EXPECT_EQ(report.outcome, yes ? LinkOutcome::Done : LinkOutcome::Failed);
        EXPECT_EQ(stats.pagesStored, yes ? 2u : 0u);
    }
}

TEST_F(WriteRecorderTest, RecorderNotAvailableWritesNothing) {
    startEmulator({.answerW = 'n'});
    WriteReport report = write();
    EXPECT_EQ(openDescriptors(linePath), 0);
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_TRUE(writableRequests(stats.requestedPages).empty());
    EXPECT_EQ(ui.events,
              (Events{kProgress, "progress closed", "error Память регистратора не доступна"}));
    EXPECT_TRUE(sameBytes(image, before)); // a failed write does not reset the image
}

TEST_F(WriteRecorderTest, CancelStopsAfterThePageAnswered) {
    startEmulator();
    ui.onUpdate = [](int value, const std::string& message) {
        return value != 0 || message == "Подготовка к записи данных";
    };
    WriteReport report = write();
    EXPECT_EQ(openDescriptors(linePath), 0);
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Cancelled);
    EXPECT_EQ(writableRequests(stats.requestedPages), std::vector<uint32_t>{0});
    EXPECT_EQ(stats.pagesStored, 1u);
    EXPECT_EQ(ui.events, (Events{kProgress,
                                 "info Запись прервана|Запись данных прервана, файл не обновлен|"
                                 "bmps/connect.160.png",
                                 "progress closed"}));
}

} // namespace
