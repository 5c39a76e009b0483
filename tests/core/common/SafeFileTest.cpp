// Writing a user's file keeps its identity and its content on every failure;
// reading takes regular files only and never waits.
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "testsupport/AsUser.h"
#include "testsupport/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void put(const std::string& path, const std::string& content, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << content;
    ::chmod(path.c_str(), mode);
}

void write(const std::string& path, const std::string& content) {
    writeFileSafely(path, content.data(), content.size());
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

size_t entries(const fs::path& dir) {
    return size_t(std::distance(fs::directory_iterator(dir), {}));
}

// The errorExc that f throws, as message and detail.
std::pair<std::string, std::string> failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const errorExc& e) {
        return {e.message(), e.detail()};
    }
    return {"(no error)", ""};
}

// A folder that the unprivileged user owns, when the tests run as root.
class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override { AsUser::give(dir.path()); }
    TempDir dir;
};

TEST_F(SafeFileTest, ANewFileGetsTheDataAndTheUsualModeAndNothingElseIsLeft) {
    const mode_t mask = ::umask(022);
    write(dir.file("new.txt"), "abc");
    ::umask(mask);
    EXPECT_EQ(bytesOf(dir.file("new.txt")), "abc");
    EXPECT_EQ(statOf(dir.file("new.txt")).st_mode & 07777, 0644u);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST_F(SafeFileTest, AReplacedFileKeepsItsModeAndOwner) {
    const std::string file = dir.file("old.txt");
    put(file, "old content", 0640);
    auto user = AsUser::user();
    if (::geteuid() == 0 && user) ASSERT_EQ(::chown(file.c_str(), user->first, user->second), 0);
    const struct stat before = statOf(file);
    write(file, "new");
    const struct stat after = statOf(file);
    EXPECT_EQ(bytesOf(file), "new");
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST_F(SafeFileTest, SymbolicLinksAreFollowedToTheirFinalTarget) {
    fs::create_directory(dir.file("real"));
    put(dir.file("real/target.txt"), "old");
    fs::create_symlink("real/target.txt", dir.file("hop"));
    fs::create_symlink("hop", dir.file("link.txt"));
    write(dir.file("link.txt"), "through the links");
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_TRUE(fs::is_symlink(dir.file("hop")));
    EXPECT_EQ(bytesOf(dir.file("real/target.txt")), "through the links");
    EXPECT_EQ(entries(dir.file("real")), 1u);

    // A link to a file not there yet creates that file.
    fs::create_symlink("real/later.txt", dir.file("dangling"));
    write(dir.file("dangling"), "created");
    EXPECT_TRUE(fs::is_symlink(dir.file("dangling")));
    EXPECT_EQ(bytesOf(dir.file("real/later.txt")), "created");
}

TEST_F(SafeFileTest, AHardLinkedFileStaysOneFileWithTwoNames) {
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    put(a, "a long old content that the new one is shorter than");
    fs::create_hard_link(a, b);
    const ino_t inode = statOf(a).st_ino;
    write(b, "new");
    EXPECT_EQ(bytesOf(a), "new");
    EXPECT_EQ(statOf(a).st_ino, inode);
    EXPECT_EQ(statOf(b).st_ino, inode);
    EXPECT_EQ(statOf(a).st_nlink, 2u);
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST_F(SafeFileTest, TargetsThatAreNoRegularFileAreRefusedAndKept) {
    fs::create_directory(dir.file("folder"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    for (const std::string& path :
         {dir.file("folder"), dir.file("fifo"), std::string("/dev/null")}) {
        auto [message, detail] = failureOf([&] { write(path, "x"); });
        EXPECT_EQ(message, CannotCreateFile) << path;
        EXPECT_EQ(detail.rfind(path + ": ", 0), 0u) << detail;
        EXPECT_THROW(checkWritable(path), errorExc);
    }
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_TRUE(fs::is_fifo(dir.file("fifo")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST_F(SafeFileTest, PathsWhoseStatusCannotBeTakenAreReportedWithTheReason) {
    fs::create_symlink("loop2", dir.file("loop1"));
    fs::create_symlink("loop1", dir.file("loop2"));
    const std::string longName = dir.file(std::string(300, 'x') + ".rpd");
    const struct {
        std::string path;
        int code;
    } cases[] = {
        {dir.file("loop1"), ELOOP},
        {longName, ENAMETOOLONG},
        {dir.file("no-folder/x.rpd"), ENOENT},
        {"", ENOENT},
    };
    for (const auto& c : cases) {
        auto [message, detail] = failureOf([&] { write(c.path, "x"); });
        EXPECT_EQ(message, CannotCreateFile) << c.path;
        EXPECT_EQ(detail, c.path + ": " + systemReason(c.code));
        EXPECT_EQ(failureOf([&] { checkWritable(c.path); }).second, detail);
    }
    EXPECT_EQ(entries(dir.path()), 2u);
}

// Root may write any file: the checks run as a user.
TEST_F(SafeFileTest, AFileTheUserMayNotWriteIsNeverReplaced) {
    if (!AsUser::user()) GTEST_SKIP() << AsUser::noUser;
    const std::string file = dir.file("readonly.txt");
    put(file, "keep me", 0444);
    AsUser::give(file);
    fs::create_directory(dir.file("locked"));
    AsUser::give(dir.file("locked"));
    ::chmod(dir.file("locked").c_str(), 0555);
    const ino_t inode = statOf(file).st_ino;
    {
        AsUser user;
        ASSERT_TRUE(user.ok());
        auto [message, detail] = failureOf([&] { write(file, "lost"); });
        EXPECT_EQ(message, CannotCreateFile);
        EXPECT_EQ(detail, file + ": " + systemReason(EACCES));
        EXPECT_THROW(checkWritable(file), errorExc);
        // A new file in a folder the user may not write: refused before anything is written.
        EXPECT_EQ(failureOf([&] { checkWritable(dir.file("locked/new.txt")); }).second,
                  dir.file("locked/new.txt") + ": " + systemReason(EACCES));
    }
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(bytesOf(file), "keep me");
    EXPECT_EQ(statOf(file).st_ino, inode);
    EXPECT_EQ(entries(dir.file("locked")), 0u);
}

// Files the user may write but a replacement could not be made for: in a folder
// the user may not write, and owned by someone else. Both are written in place.
TEST_F(SafeFileTest, AWritableFileIsWrittenInPlaceWhereItCannotBeReplaced) {
    if (!AsUser::user()) GTEST_SKIP() << AsUser::noUser;
    fs::create_directory(dir.file("locked"));
    const std::string inLocked = dir.file("locked/file.txt");
    put(inLocked, "old", 0644);
    AsUser::give(inLocked);
    AsUser::give(dir.file("locked"));
    ::chmod(dir.file("locked").c_str(), 0555);
    const std::string foreign = dir.file("foreign.txt");
    put(foreign, "old", 0666);
    const bool root = ::geteuid() == 0; // then foreign stays root's
    const struct stat before = statOf(foreign);
    {
        AsUser user;
        ASSERT_TRUE(user.ok());
        EXPECT_NO_THROW(checkWritable(inLocked));
        write(inLocked, "new content");
        write(foreign, "new content");
    }
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(bytesOf(inLocked), "new content");
    EXPECT_EQ(entries(dir.file("locked")), 1u);
    EXPECT_EQ(bytesOf(foreign), "new content");
    if (root) {
        EXPECT_EQ(statOf(foreign).st_uid, 0u);
        EXPECT_EQ(statOf(foreign).st_ino, before.st_ino);
    }
    EXPECT_EQ(statOf(foreign).st_mode, before.st_mode);
}

// A file-size limit makes the write itself fail half-way (EFBIG), in both ways
// of writing.
TEST_F(SafeFileTest, AWriteThatFailsHalfWayLeavesTheOldContentAndNoTemporary) {
    const std::string single = dir.file("single.txt"), linked = dir.file("linked.txt");
    const std::string old(1000, 'o');
    put(single, old);
    put(linked, old);
    fs::create_hard_link(linked, dir.file("other-name.txt"));
    const std::string big(1 << 20, 'n');

    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    auto single_ = failureOf([&] { write(single, big); });
    auto linked_ = failureOf([&] { write(linked, big); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    for (const auto& f : {single_, linked_}) {
        EXPECT_EQ(f.first, CannotWriteFile);
        EXPECT_NE(f.second.find(systemReason(EFBIG)), std::string::npos) << f.second;
    }
    EXPECT_EQ(bytesOf(single), old);
    EXPECT_EQ(bytesOf(linked), old);
    EXPECT_EQ(entries(dir.path()), 3u);
}

// Without unnamed temporaries: a named one that its writer's death left is
// removed by the next write in its folder; a live writer's is kept.
TEST_F(SafeFileTest, NamedTemporariesThatAKillLeftAreRemovedByTheNextWrite) {
    ::setenv("GRUVIK2_NO_TMPFILE", "1", 1);
    const std::string out = dir.file("out.txt");
    put(out, "old", 0640);
    const pid_t child = ::fork();
    if (child == 0) {
        SafeFileWriter file(out);
        file.write("partial", 7);
        ::_exit(0); // as a kill: no destructor runs
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string left = ".out.txt.gruvik2-tmp." + std::to_string(child) + ".";
    auto leftBehind = [&] {
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind(left, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(leftBehind());
    EXPECT_EQ(bytesOf(out), "old");

    SafeFileWriter live(dir.file("other.txt"));
    live.write("other", 5);
    write(out, "new");
    EXPECT_FALSE(leftBehind());
    EXPECT_EQ(entries(dir.path()), 2u); // out.txt and the live writer's temporary
    live.commit();
    ::unsetenv("GRUVIK2_NO_TMPFILE");
    EXPECT_EQ(bytesOf(out), "new");
    EXPECT_EQ(statOf(out).st_mode & 07777, 0640u);
    EXPECT_EQ(bytesOf(dir.file("other.txt")), "other");
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST_F(SafeFileTest, ReadingTakesRegularFilesOnlyAndNeverWaits) {
    char buffer[16];
    put(dir.file("ten.txt"), "0123456789");
    EXPECT_EQ(readRegularFile(dir.file("ten.txt"), buffer, sizeof buffer), 10u);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(readRegularFile(dir.file("ten.txt"), buffer, 4), 4u);
    EXPECT_EQ(readRegularFile(dir.file("missing.txt"), buffer, 4), std::nullopt);

    // No writer: an open that waited would never return.
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    fs::create_directory(dir.file("folder"));
    const struct {
        std::string path;
        std::string reason;
    } refused[] = {
        {dir.file("fifo"), NotARegularFile},
        {"/dev/zero", NotARegularFile},
        {dir.file("folder"), systemReason(EISDIR)},
    };
    for (const auto& r : refused) {
        auto [message, detail] = failureOf([&] { readRegularFile(r.path, buffer, 4); });
        EXPECT_EQ(message, CannotOpenFile);
        EXPECT_EQ(detail, r.path + ": " + r.reason);
    }

    if (!AsUser::user()) return;
    put(dir.file("secret.txt"), "secret", 0200);
    AsUser::give(dir.file("secret.txt"));
    AsUser user;
    auto [message, detail] = failureOf([&] { readRegularFile(dir.file("secret.txt"), buffer, 4); });
    EXPECT_EQ(message, CannotOpenFile);
    EXPECT_EQ(detail, dir.file("secret.txt") + ": " + systemReason(EACCES));
}

TEST(ErrorExc, IsAStandardExceptionWhoseDetailFollowsTheMessage) {
    const errorExc plain("ошибка %d", 5);
    EXPECT_STREQ(plain.what(), "ошибка 5");
    EXPECT_EQ(plain.fullMessage(), "ошибка 5");
    const errorExc withPath = errorExc::withPath(CannotOpenFile, "/x.rpd", EACCES);
    EXPECT_EQ(withPath.message(), CannotOpenFile);
    EXPECT_EQ(withPath.detail(), "/x.rpd: " + systemReason(EACCES));
    EXPECT_EQ(withPath.fullMessage(), std::string(CannotOpenFile) + " (" + withPath.detail() + ")");
    EXPECT_EQ(withPath.fullMessage(true), std::string(CannotOpenFile) + "\n" + withPath.detail());
    const std::exception& e = withPath;
    EXPECT_EQ(failureText(e), withPath.fullMessage());
    EXPECT_EQ(failureText(std::runtime_error("other")), "other");
}

} // namespace
