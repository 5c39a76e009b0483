#include <gtest/gtest.h>

#include "core/device/LinkTestSupport.h"

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
    static bool onlyWritableArea(const std::vector<uint32_t>& pages) {
        return std::all_of(pages.begin(), pages.end(), [](uint32_t p) { return p < 8; });
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

    EXPECT_EQ(stats.commands, "WW");
    EXPECT_EQ(stats.requestedPages.size(), 16u);
    EXPECT_TRUE(onlyWritableArea(stats.requestedPages));
    for (uint32_t p = 0; p < 8; ++p)
        EXPECT_EQ(std::memcmp(recorder.page(p), image.page(p), RecorderImage::PageSize), 0) << p;
    EXPECT_NE(recorder.page(700)[0], image.page(700)[0]);
    EXPECT_TRUE(sameBytes(image, before));
    EXPECT_TRUE(priority.classes.empty());
}

TEST_F(WriteRecorderTest, RefusedAndUnexpectedAnswersAreNotRetried) {
    struct Case {
        EmulatorFaults faults;
        uint32_t written, skipped, rejected, stored;
    };
    const Case cases[] = {
        {{.refuseWrites = true}, 0, 0, 8, 0},
        {{.badStatus = {{0, 'X'}, {5, '7'}}}, 1, 5, 0, 1},
    };
    for (const Case& c : cases) {
        startEmulator(c.faults);
        ui.events.clear();
        WriteReport report = write();
        auto stats = stopEmulator();
        EXPECT_EQ(report.outcome, LinkOutcome::Done);
        EXPECT_EQ(report.pagesWritten, c.written);
        EXPECT_EQ(report.pagesSkipped, c.skipped);
        EXPECT_EQ(report.pagesRejected, c.rejected);
        EXPECT_EQ(stats.pagesStored, c.stored);
        EXPECT_EQ(stats.requestedPages, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(ui.events.back(), kDoneInfo);
    }
}

TEST_F(WriteRecorderTest, RecorderNotAvailableWritesNothing) {
    startEmulator({.answerW = 'n'});
    WriteReport report = write();
    EXPECT_EQ(openDescriptors(linePath), 0);
    auto stats = stopEmulator();
    EXPECT_EQ(report.outcome, LinkOutcome::Failed);
    EXPECT_TRUE(stats.requestedPages.empty());
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
    EXPECT_EQ(stats.requestedPages, std::vector<uint32_t>{0});
    EXPECT_EQ(stats.pagesStored, 1u);
    EXPECT_EQ(ui.events, (Events{kProgress,
                                 "info Запись прервана|Запись данных прервана, файл не обновлен|"
                                 "bmps/connect.160.png",
                                 "progress closed"}));
}

} // namespace
