#include <csignal>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/errorExc.h"
#include "image/KeyCell.h"
#include "image/RecorderImage.h"
#include "testsupport/AsUser.h"
#include "testsupport/Errors.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/TempDir.h"

namespace {

void writeFile(const std::string& path, size_t size, uint8_t fill) {
    std::ofstream out(path, std::ios::binary);
    std::string bytes(size, char(fill));
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

TEST(RecorderImage, ResetGivesDefaultRegionsAndErasedBytes) {
    RecorderImage image;
    image.page(100)[3] = 0;
    image.reset();
    EXPECT_EQ(image.page(100)[3], 0xFF);
    EXPECT_EQ(image.countersFirst(), 513u);
    EXPECT_EQ(image.countersCount(), 31u);
    EXPECT_EQ(image.generalFirst(), 544u);
    EXPECT_EQ(image.generalCount(), 7648u);
    EXPECT_EQ(image.writableFirst(), 0u);
    EXPECT_EQ(image.writableCount(), 8u);
    EXPECT_EQ(image.settingsFirst(), 8u);
    EXPECT_EQ(image.settingsCount(), 504u);
    EXPECT_EQ(image.page(1) - image.page(0), 528);
    // Defined before any location of the heads
    EXPECT_EQ(image.generalSeq(), 0xFF);
    EXPECT_EQ(image.discreteCount(), 0);
    EXPECT_EQ(image.settingsHeadPage(), 8u);
}

TEST(RecorderImageFile, SaveThenLoadReproducesEveryByte) {
    TempDir dir;
    RecorderImage a;
    for (uint32_t i = 0; i < RecorderImage::ImageSize; i += 4099)
        a.data()[i] = uint8_t(i * 7);
    a.save(dir.file("x.rpd"));
    EXPECT_EQ(std::filesystem::file_size(dir.file("x.rpd")), RecorderImage::ImageSize);
    RecorderImage b;
    b.load(dir.file("x.rpd"), false);
    EXPECT_EQ(0, std::memcmp(a.data(), b.data(), RecorderImage::ImageSize));
}

TEST(RecorderImageFile, ShortLongAndMissingFiles) {
    TempDir dir;
    RecorderImage image;
    writeFile(dir.file("short.rpd"), RecorderImage::ImageSize - 1, 0x11);
    EXPECT_EQ(errorMessageOf([&] { image.load(dir.file("short.rpd"), false); }),
              "не могу прочесть файл!");

    writeFile(dir.file("long.rpd"), RecorderImage::ImageSize + 1, 0x22);
    image.load(dir.file("long.rpd"), false);
    EXPECT_EQ(image.data()[RecorderImage::ImageSize - 1], 0x22);

    EXPECT_EQ(errorMessageOf([&] { image.load(dir.file("missing.rpd"), false); }),
              "не могу открыть файл!");
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.rpd")));

    // A missing file is an erased image; the file appears with the first save.
    image.data()[5] = 0;
    EXPECT_FALSE(image.load(dir.file("new.rpd"), true));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.rpd")));
    for (uint32_t i = 0; i < RecorderImage::ImageSize; i += 997)
        ASSERT_EQ(image.data()[i], 0xFF);
    EXPECT_EQ(image.data()[5], 0xFF);
    image.locateHeads();
    EXPECT_EQ(image.generalHead(), 544u);
    EXPECT_TRUE(image.load(dir.file("long.rpd"), true));
}

TEST(RecorderImageFile, FailuresNameThePathAndTheReason) {
    TempDir dir;
    RecorderImage image;
    writeFile(dir.file("short.rpd"), 1000, 0x11);
    try {
        image.load(dir.file("short.rpd"), false);
        FAIL() << "a short file loaded";
    } catch (const errorExc& e) {
        EXPECT_EQ(e.message(), "не могу прочесть файл!");
        EXPECT_EQ(e.detail(), dir.file("short.rpd") + ": в файле 1000 байт из 4325376");
    }
    try {
        image.load(dir.file("missing.rpd"), false);
        FAIL() << "a missing file loaded";
    } catch (const errorExc& e) {
        EXPECT_EQ(e.fullMessage(), "не могу открыть файл! (" + dir.file("missing.rpd") + ": " +
                                       systemReason(ENOENT) + ")");
    }
}

// Only a missing file counts as missing: whatever else cannot be opened is
// refused and left as it is, also when the caller would create a missing one.
TEST(RecorderImageFile, WhatCannotBeOpenedIsRefusedAndLeftAlone) {
    TempDir dir;
    AsUser::give(dir.path());
    ASSERT_EQ(::mkfifo(dir.file("fifo.rpd").c_str(), 0666), 0);
    std::filesystem::create_directory(dir.file("folder.rpd"));
    writeFile(dir.file("unreadable.rpd"), RecorderImage::ImageSize, 0x5A);
    ::chmod(dir.file("unreadable.rpd").c_str(), 0200);
    AsUser::give(dir.file("unreadable.rpd"));
    std::vector<std::string> paths = {dir.file("fifo.rpd"), dir.file("folder.rpd")};
    if (AsUser::user()) paths.push_back(dir.file("unreadable.rpd"));
    RecorderImage image;
    AsUser user;
    for (const std::string& path : paths)
        for (bool create : {false, true}) {
            image.data()[7] = 7;
            EXPECT_EQ(errorMessageOf([&] { image.load(path, create); }), "не могу открыть файл!")
                << path;
            EXPECT_EQ(image.data()[7], 7) << "the image is the caller's to reset";
        }
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("fifo.rpd")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.rpd")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("unreadable.rpd")), RecorderImage::ImageSize);
}

TEST(RecorderImageFile, ASaveThroughALinkWritesItsTarget) {
    TempDir dir;
    RecorderImage image;
    image.data()[100] = 0x42;
    image.save(dir.file("target.rpd"));
    std::filesystem::create_symlink("target.rpd", dir.file("link.rpd"));
    image.data()[100] = 0x43;
    image.save(dir.file("link.rpd"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.rpd")));
    RecorderImage back;
    EXPECT_TRUE(back.load(dir.file("target.rpd"), false));
    EXPECT_EQ(back.data()[100], 0x43);
}

TEST(RecorderImageFile, FailedSaveLeavesOldFileAndImage) {
    if (!AsUser::user()) GTEST_SKIP() << AsUser::noUser;
    TempDir dir;
    AsUser::give(dir.path());
    RecorderImage image;
    image.data()[0] = 0x42;
    image.save(dir.file("keep.rpd"));
    ::chmod(dir.file("keep.rpd").c_str(), 0444); // the user may not write it
    AsUser::give(dir.file("keep.rpd"));
    image.data()[0] = 0x43;
    {
        AsUser user;
        EXPECT_EQ(errorMessageOf([&] { image.save(dir.file("keep.rpd")); }),
                  "не могу открыть/создать файл!");
    }
    EXPECT_EQ(image.data()[0], 0x43);
    RecorderImage back;
    back.load(dir.file("keep.rpd"), false);
    EXPECT_EQ(back.data()[0], 0x42);
}

TEST(RecorderImageFile, WriteErrorLeavesOldFileAndNoTemporary) {
    TempDir dir;
    RecorderImage image;
    image.data()[0] = 1;
    image.save(dir.file("a.rpd"));
    image.data()[0] = 2;
    // A file-size limit makes the write itself fail half-way (EFBIG).
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 1 << 20;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string msg = errorMessageOf([&] { image.save(dir.file("a.rpd")); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(msg, "не могу записать файл!");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_EQ(std::filesystem::file_size(dir.file("a.rpd")), RecorderImage::ImageSize);
    RecorderImage back;
    back.load(dir.file("a.rpd"), false);
    EXPECT_EQ(back.data()[0], 1);
}

TEST(RecorderImageFile, UnreplaceableTargetsAreReported) {
    TempDir dir;
    RecorderImage image;
    std::filesystem::create_directory(dir.file("folder.rpd"));
    EXPECT_EQ(errorMessageOf([&] { image.save(dir.file("folder.rpd")); }),
              "не могу открыть/создать файл!");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_EQ(errorMessageOf([&] { image.save("/nonexistent-folder/x.rpd"); }),
              "не могу открыть/создать файл!");
    EXPECT_EQ(errorMessageOf([&] { image.load("/nonexistent-folder/x.rpd", true); }),
              "не могу открыть/создать файл!");
}

TEST(KeyCell, InvalidCodesMapAbove99AndTableIsSearchedUpToKeyCount) {
    RecorderImage image;
    ImageBuilder b(image);
    ImageBuilder::Header h;
    KeyCode k0 = makeKey(0xABCDEF), k1 = makeKey(0x123456), k2 = makeKey(0x777);
    h.keys = {k0, k1, k2};
    h.keyCount = 2; // entry 2 is beyond the count
    b.header(h).done();
    uint8_t ff[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    uint8_t zero[8] = {};
    EXPECT_EQ(image.keyCellOf(ff), 99);
    EXPECT_EQ(image.keyCellOf(zero), 100);
    EXPECT_EQ(image.keyCellOf(k0.data()), 0);
    EXPECT_EQ(image.keyCellOf(k1.data()), 1);
    EXPECT_EQ(image.keyCellOf(k2.data()), 255);
    EXPECT_EQ(image.keyCellOf(makeKey(0x999).data()), 255);
    KeyCode broken = k0;
    broken[3] ^= 1; // CRC no longer 0
    EXPECT_EQ(image.keyCellOf(broken.data()), uint8_t(broken[0] + 100));
    EXPECT_EQ(keyCrc8(k0.data()), 0);
}

} // namespace
