#pragma once
// Shared by the transfer tests: a recorder with content, the emulator serving
// it on a pseudo-terminal, and the program's side wired to it.
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "device/Crc16.h"
#include "device/RecorderTransfer.h"
#include "device/emulated/EmulatedBridgeLibrary.h"
#include "image/RecorderImage.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/LinkFakes.h"
#include "testsupport/TempDir.h"

// Descriptors of this process open on path.
inline int openDescriptors(const std::string& path) {
    int n = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec))
        if (std::filesystem::read_symlink(entry.path(), ec) == path) ++n;
    return n;
}

inline void fillRecorder(RecorderImage& recorder) {
    ImageBuilder b(recorder);
    ImageBuilder::Header h;
    h.keys = {makeKey(0x2001)};
    b.header(h).passport({});
    for (int day = 1; day <= 5; ++day) {
        b.generalPage(Stamp(2024, 5, day, 7, 0, 0, 0), {{5, 0, {1, 0, 0, 0, 0}}});
        b.settings(Stamp(2024, 5, day, 7, 30, 0, 0), h.keys[0], 2, {});
    }
    b.countersPage(std::vector<uint8_t>(64, 3));
    b.done();
}

inline uint32_t pagesDifferingFromErased(const RecorderImage& image) {
    RecorderImage erased;
    uint32_t n = 0;
    for (uint32_t p = 0; p < RecorderImage::PageCount; ++p)
        n += std::memcmp(image.page(p), erased.page(0), RecorderImage::PageSize) != 0;
    return n;
}

inline bool sameBytes(const RecorderImage& a, const RecorderImage& b) {
    return std::memcmp(a.data(), b.data(), RecorderImage::ImageSize) == 0;
}

inline bool isErased(const RecorderImage& image) {
    RecorderImage erased;
    return sameBytes(image, erased);
}

class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() { fillRecorder(recorder); }

    void startEmulator(EmulatorFaults faults = {}) {
        emulator = std::make_unique<EmulatorThread>(recorder, std::move(faults));
        linePath = emulator->path();
        bridges =
            std::make_unique<EmulatedBridgeLibrary>(std::vector<std::string>{emulator->path()});
    }
    // The emulator is done with every request once it is stopped.
    ReaderEmulator::Stats stopEmulator() {
        emulator->stop();
        auto stats = emulator->stats();
        emulator.reset();
        return stats;
    }

    ReadReport read(const std::string& file) {
        LinkContext link{*bridges, priority, ui};
        return readRecorder(link, image, crc, file);
    }
    WriteReport write() {
        LinkContext link{*bridges, priority, ui};
        return writeRecorder(link, image, crc);
    }

    TempDir dir;
    RecorderImage recorder; // the device's side
    RecorderImage image;    // the program's side
    Crc16 crc;
    RecordingLinkUi ui;
    RecordingPriority priority;
    std::unique_ptr<EmulatorThread> emulator;
    std::string linePath;
    std::unique_ptr<EmulatedBridgeLibrary> bridges;
};
