#include "common/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <mutex>
#include <signal.h>
#include <string_view>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/ErrorLog.h"
#include "common/OutputWriter.h"
#include "common/errorExc.h"

namespace {

// Closes on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now; false (errno set) when the close reports a failure.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// false with errno set when a write fails.
bool writeAllAt(int fd, const uint8_t* data, size_t size, off_t at) {
    size_t done = 0;
    while (done < size) {
        ssize_t w = ::pwrite(fd, data + done, size - done, at + off_t(done));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return false;
        if (w == 0) {
            errno = EIO;
            return false;
        }
        done += size_t(w);
    }
    return true;
}

// Bytes read before the end of the file, or -1 with errno set.
ssize_t readAllAt(int fd, uint8_t* buffer, size_t size, off_t at) {
    size_t got = 0;
    while (got < size) {
        ssize_t r = ::pread(fd, buffer + got, size - got, at + off_t(got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return -1;
        if (r == 0) break;
        got += size_t(r);
    }
    return ssize_t(got);
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool mayAccess(const std::string& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

// Where a write to a path lands, and how it is done there.
struct Plan {
    enum Way { create, replace, inPlace };
    std::string target; // the path with every symbolic link followed
    std::string folder, name;
    Way way = create;
    struct stat st {}; // of the existing target
};

struct Inputs {
    std::mutex mutex;
    std::vector<std::pair<dev_t, ino_t>> files;
};

Inputs& inputs() {
    static Inputs list;
    return list;
}

bool isInput(const struct stat& st) {
    Inputs& list = inputs();
    std::lock_guard lock(list.mutex);
    for (const auto& [dev, ino] : list.files)
        if (dev == st.st_dev && ino == st.st_ino) return true;
    return false;
}

[[noreturn]] void refuse(const std::string& path, int code) {
    throw errorExc::withPath(CannotCreateFile, path, code);
}

Plan planWrite(const std::string& given) {
    Plan plan;
    plan.target = given;
    bool exists = false;
    // Links are followed by hand so that one whose target does not exist yet
    // names the file to create, as an open with O_CREAT would.
    for (int hops = 0;; ++hops) {
        if (plan.target.empty()) refuse(given, ENOENT);
        if (::lstat(plan.target.c_str(), &plan.st) != 0) {
            if (errno != ENOENT) refuse(given, errno);
            break;
        }
        if (!S_ISLNK(plan.st.st_mode)) {
            exists = true;
            break;
        }
        if (hops == 40) refuse(given, ELOOP);
        // As the kernel's protected_symlinks: a link in a sticky folder that
        // everyone may write is followed only when it is the user's or the
        // folder owner's; another user could have planted it there.
        struct stat folder;
        if (::stat(folderOf(plan.target).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) &&
            (folder.st_mode & S_IWOTH) && plan.st.st_uid != folder.st_uid &&
            plan.st.st_uid != ::geteuid())
            throw errorExc::withReason(CannotCreateFile, given, PlantedLink);
        std::vector<char> link(size_t(plan.st.st_size > 0 ? plan.st.st_size : 255) + 1);
        ssize_t n = ::readlink(plan.target.c_str(), link.data(), link.size());
        if (n < 0) refuse(given, errno);
        if (size_t(n) >= link.size()) refuse(given, ENAMETOOLONG); // changed meanwhile
        std::string to(link.data(), size_t(n));
        plan.target = to[0] == '/' ? to : folderOf(plan.target) + "/" + to;
    }
    plan.folder = folderOf(plan.target);
    plan.name = nameOf(plan.target);
    if (plan.name.empty() || plan.name == "." || plan.name == "..") refuse(given, EISDIR);

    const bool folderWritable = mayAccess(plan.folder, W_OK | X_OK);
    if (!exists) {
        if (!folderWritable) refuse(given, errno);
        plan.way = Plan::create;
        return plan;
    }
    if (S_ISDIR(plan.st.st_mode)) refuse(given, EISDIR);
    if (!S_ISREG(plan.st.st_mode))
        throw errorExc::withReason(CannotCreateFile, given, NotARegularFile);
    if (isInput(plan.st)) throw errorExc::withReason(CannotCreateFile, given, IsAnInput);
    if (!mayAccess(plan.target, W_OK)) refuse(given, errno);
    // A new file gets the writer's owner: only root can give it another.
    const bool ownerKept = ::geteuid() == 0 || plan.st.st_uid == ::geteuid();
    if (plan.st.st_nlink == 1 && folderWritable && ownerKept) {
        plan.way = Plan::replace;
    } else {
        // The old content is read back first, to be restored if the write fails.
        if (!mayAccess(plan.target, R_OK)) refuse(given, errno);
        plan.way = Plan::inPlace;
    }
    return plan;
}

// Beside a file rewritten in place: its old content, complete, while the
// rewrite works. A kill leaves it, and the next read or write of the file
// puts it back (recoverInterruptedWrite).
std::string backupPathOf(const std::string& target) {
    return folderOf(target) + "/." + nameOf(target) + ".gruvik2-old";
}

// Copies the first size bytes of from over the start of to; false with errno
// set when reading or writing fails or from is shorter.
bool copyAll(int from, int to, off_t size) {
    std::vector<uint8_t> buffer(size_t(std::min<off_t>(size, off_t(1) << 20)));
    for (off_t at = 0; at < size;) {
        const size_t n = size_t(std::min<off_t>(size - at, off_t(buffer.size())));
        const ssize_t got = readAllAt(from, buffer.data(), n, at);
        if (got < 0) return false;
        if (size_t(got) != n) {
            errno = EIO;
            return false;
        }
        if (!writeAllAt(to, buffer.data(), n, at)) return false;
        at += off_t(n);
    }
    return true;
}

// Makes the file fd hold exactly the first size bytes of source, synced.
bool overwrite(int fd, int source, off_t size) {
    return copyAll(source, fd, size) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
}

// The switch that makes the writer act as on a file system without unnamed
// temporaries (see the header).
bool unnamedAllowed() {
    const char* v = std::getenv("GRUVIK2_NO_TMPFILE");
    return !v || !*v || std::strcmp(v, "0") == 0;
}

// What a named temporary's name holds after ".NAME": the mark, the writer's
// process id and a count.
constexpr std::string_view TemporaryMark = ".gruvik2-tmp.";

// Whether name in the folder open as dirFd is a named temporary whose writer
// is gone: no process with the id in the name, and no lock on the file.
bool abandonedTemporaryAt(int dirFd, std::string_view name) {
    const size_t mark = name.rfind(TemporaryMark);
    if (name.size() < 2 || name[0] != '.' || mark == std::string_view::npos || mark == 0)
        return false;
    // PID.COUNT, digits only.
    const std::string_view tail = name.substr(mark + TemporaryMark.size());
    const size_t dot = tail.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == tail.size() ||
        tail.find_first_not_of("0123456789.") != std::string_view::npos ||
        tail.find('.', dot + 1) != std::string_view::npos)
        return false;
    const long pid = std::strtol(std::string(tail.substr(0, dot)).c_str(), nullptr, 10);
    if (pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH) return false;
    Descriptor fd(::openat(dirFd, std::string(name).c_str(),
                           O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat st;
    return fd.valid() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0;
}

// Named temporaries whose writer is gone are removed from folder.
void removeAbandonedTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const struct dirent* entry = ::readdir(dir))
        if (abandonedTemporaryAt(::dirfd(dir), entry->d_name))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::closedir(dir);
}

// A temporary file. For a replacement: in the target's folder, unnamed where
// the system allows, so that nothing is left if the program dies before it
// is put in place; otherwise named recognisably (.NAME.gruvik2-tmp.PID.N) and
// locked while it lives, removed when it is not put in place, and by a later
// run when a kill left it. As a spool: never named.
class Temporary {
public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() { discard(); }

    // In folder, for the file target; false with errno set.
    bool open(int folder, const std::string& target, mode_t mode, bool unnamed) {
        discard();
        folder_ = folder;
        target_ = target;
        if (unnamed) {
            fd_.reset(::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
            return fd_.valid() && ::flock(fd_.get(), LOCK_EX) == 0;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = hiddenName();
            int fd = ::openat(folder_, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode);
            if (fd >= 0) {
                fd_.reset(fd);
                name_ = name;
                return ::flock(fd, LOCK_EX) == 0;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }
    // An unnamed file for data on their way elsewhere: in folder where the
    // system allows, else in the temporary folder, else in memory. With a
    // source, the first place that takes a copy of its first size bytes.
    // False with errno set.
    bool openSpool(const std::string& folder, int source = -1, off_t size = 0) {
        discard();
        const char* tmp = std::getenv("TMPDIR");
        const std::string places[] = {folder, tmp && *tmp ? tmp : "/tmp"};
        int code = 0;
        for (size_t place = unnamedAllowed() ? 0 : std::size(places); place <= std::size(places);
             ++place) {
            fd_.reset(place < std::size(places)
                          ? ::open(places[place].c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600)
                          : ::memfd_create("gruvik2-spool", MFD_CLOEXEC));
            if (fd_.valid() && (source < 0 || copyAll(source, fd_.get(), size))) return true;
            code = errno;
            fd_.close();
        }
        errno = code;
        return false;
    }
    int fd() const { return fd_.get(); }
    bool named() const { return !name_.empty(); }
    bool close() { return fd_.close(); }

    // Gives an unnamed temporary a hidden name beside the target; false with
    // errno set when the system lets no name be given.
    bool name() {
        if (named()) return true;
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = hiddenName();
            if (::linkat(fd_.get(), "", folder_, name.c_str(), AT_EMPTY_PATH) == 0 ||
                (errno != EEXIST &&
                 ::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0)) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }
    // The named temporary opened again for reading; -1 with errno set.
    int reopen() const {
        return ::openat(folder_, name_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    // Puts the named temporary in the target's place; false with errno set.
    bool commit() {
        if (::renameat(folder_, name_.c_str(), folder_, target_.c_str()) != 0) return false;
        name_.clear();
        return true;
    }
    // Closes and removes the temporary.
    void discard() {
        fd_.close();
        if (named()) ::unlinkat(folder_, name_.c_str(), 0);
        name_.clear();
    }

private:
    std::string hiddenName() const {
        static std::atomic<unsigned> counter{0};
        return "." + target_ + std::string(TemporaryMark) + std::to_string(::getpid()) + "." +
               std::to_string(++counter);
    }

    int folder_ = -1;
    std::string target_;
    Descriptor fd_;
    std::string name_;
};

// Writes the size bytes of old to backup under a second name first, so that
// the backup appears complete or not at all, and keeps it locked while the
// file is rewritten. An invalid descriptor when the folder takes no file.
int keepBackup(const std::string& backup, int old, off_t size) {
    const std::string part = backup + ".part";
    Descriptor fd(::open(part.c_str(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid()) return -1;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || !copyAll(old, fd.get(), size) ||
        ::fsync(fd.get()) != 0 || ::rename(part.c_str(), backup.c_str()) != 0) {
        ::unlink(part.c_str());
        return -1;
    }
    Descriptor folder(::open(folderOf(backup).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) ::fsync(folder.get());
    return fd.release();
}

// Makes the file hold the size bytes of source, written over its old content,
// which is kept (in the backup beside it, or in a spool where the folder
// takes no backup) and put back when the write fails.
void rewriteInPlace(const Plan& plan, const std::string& given, int source, off_t size) {
    Descriptor fd(::open(plan.target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) refuse(given, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) refuse(given, errno);
    if (!S_ISREG(st.st_mode)) throw errorExc::withReason(CannotCreateFile, given, NotARegularFile);
    const std::string backupPath = backupPathOf(plan.target);
    Descriptor backup(keepBackup(backupPath, fd.get(), st.st_size));
    Temporary spool;
    int old = backup.get();
    if (!backup.valid()) {
        if (!spool.openSpool(plan.folder, fd.get(), st.st_size)) refuse(given, errno);
        old = spool.fd();
    }
    auto dropBackup = [&] {
        if (backup.valid()) ::unlink(backupPath.c_str());
    };

    if (!overwrite(fd.get(), source, size)) {
        const int code = errno;
        // Best effort: the blocks of the old content are the file's already.
        if (overwrite(fd.get(), old, st.st_size)) dropBackup();
        throw errorExc::withPath(CannotWriteFile, given, code);
    }
    if (!fd.close()) throw errorExc::withPath(CannotWriteFile, given, errno);
    dropBackup();
}

// A backup left beside target by a rewrite that was killed goes back into
// the file, and the user is told; one whose rewrite still works is locked
// and left alone. Temporaries that killed writers left in its folder go.
void recoverInterruptedWrite(const std::string& target) {
    removeAbandonedTemporaries(folderOf(target));
    const std::string backupPath = backupPathOf(target);
    // A backup the kill cut short: the file was not touched yet.
    const std::string part = backupPath + ".part";
    Descriptor partial(::open(part.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (partial.valid() && ::flock(partial.get(), LOCK_EX | LOCK_NB) == 0) ::unlink(part.c_str());
    Descriptor backup(::open(backupPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!backup.valid()) return;
    struct stat st;
    if (::flock(backup.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(backup.get(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return;
    Descriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat file;
    if (!fd.valid() || ::fstat(fd.get(), &file) != 0 || !S_ISREG(file.st_mode)) return;
    if (!overwrite(fd.get(), backup.get(), st.st_size)) return;
    ::unlink(backupPath.c_str());
    logError(std::string(InterruptedWriteUndone) + " (" + target + ")");
}

// The final target of path, links followed; path itself when it cannot be resolved.
std::string resolved(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string result(real);
    std::free(real);
    return result;
}

} // namespace

// Where the pieces go: a temporary in the target's folder that replaces the
// file at commit, or a spool that is copied into the file at commit.
struct SafeFileWriter::State {
    std::string given;
    Plan plan;
    Descriptor folder;
    std::unique_ptr<Temporary> temp = std::make_unique<Temporary>();
    Descriptor source; // the data, where they are not in temp
    bool inPlace = false;
    bool failed = false, committed = false;
    off_t size = 0;
    std::string buffer;

    static constexpr size_t Capacity = size_t(1) << 16;

    // Opens temp in the folder for a replacement and gives it the identity
    // of the file it replaces; false when it cannot be given the file's
    // owner: the file is then written in place.
    bool openReplacement(bool unnamed) {
        // A new file gets 0666 less the umask from the system; a replacement the
        // mode of the file it replaces, set below.
        const mode_t mode = plan.way == Plan::create ? 0666 : 0600;
        if (!temp->open(folder.get(), plan.name, mode, unnamed) &&
            (!unnamed || !temp->open(folder.get(), plan.name, mode, false)))
            refuse(given, errno);
        if (plan.way != Plan::replace) return true;
        struct stat st;
        if (::fstat(temp->fd(), &st) != 0) refuse(given, errno);
        // The owner first: changing it clears set-id bits that the mode restores.
        if ((st.st_uid != plan.st.st_uid || st.st_gid != plan.st.st_gid) &&
            ::fchown(temp->fd(), plan.st.st_uid, plan.st.st_gid) != 0)
            return false;
        if (::fchmod(temp->fd(), plan.st.st_mode & 07777) != 0) refuse(given, errno);
        return true;
    }

    // Opens the temporary the plan asks for: a replacement in the folder,
    // or a spool where none can take the file's place.
    void start() {
        temp->discard();
        inPlace = false;
        if (plan.way != Plan::inPlace) {
            folder.reset(::open(plan.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!folder.valid()) refuse(given, errno);
            if (openReplacement(unnamedAllowed())) return;
        }
        inPlace = true;
        if (!temp->openSpool(plan.folder)) refuse(given, errno);
    }

    // The target as it is now, planned again: when it is no longer the file
    // (or the kind of file) the data were meant for, they go where and as the
    // plan says now.
    void planAgain() {
        Plan now = planWrite(given);
        const bool same = now.target == plan.target && now.way == plan.way &&
                          (now.way == Plan::create ||
                           (now.st.st_dev == plan.st.st_dev && now.st.st_ino == plan.st.st_ino &&
                            now.st.st_uid == plan.st.st_uid && now.st.st_gid == plan.st.st_gid &&
                            now.st.st_mode == plan.st.st_mode));
        if (same) return;
        Descriptor data(::dup(temp->fd()));
        if (!data.valid()) refuse(given, errno);
        plan = std::move(now);
        start();
        if (inPlace)
            source.reset(data.release());
        else if (!copyAll(data.get(), temp->fd(), size))
            throw errorExc::withPath(CannotWriteFile, given, errno);
    }

    void put(const char* data, size_t n) {
        if (!writeAllAt(temp->fd(), reinterpret_cast<const uint8_t*>(data), n, size)) {
            failed = true;
            throw errorExc::withPath(CannotWriteFile, given, errno);
        }
        size += off_t(n);
    }
    void flush() {
        if (buffer.empty()) return;
        put(buffer.data(), buffer.size());
        buffer.clear();
    }

    // Gives an unnamed temporary a name; where the system lets it have none,
    // its data go to a named one. False when that one cannot be given the
    // file's owner: source then holds the data for a rewrite in place.
    bool name() {
        if (temp->name()) return true;
        std::unique_ptr<Temporary> unnamed = std::move(temp);
        temp = std::make_unique<Temporary>();
        if (!openReplacement(false)) {
            source.reset(::dup(unnamed->fd()));
            if (!source.valid()) refuse(given, errno);
            return false;
        }
        if (!copyAll(unnamed->fd(), temp->fd(), size) || ::fsync(temp->fd()) != 0)
            throw errorExc::withPath(CannotWriteFile, given, errno);
        return true;
    }

    // The replacement put in the file's place; false when it could not take
    // the place (a mount point, say): the file is then written in place.
    bool replace() {
        if (::fsync(temp->fd()) != 0) throw errorExc::withPath(CannotWriteFile, given, errno);
        // An unnamed file is named through its descriptor: it closes only then.
        if (!name()) return false;
        if (!temp->close()) throw errorExc::withPath(CannotWriteFile, given, errno);
        if (!temp->commit()) {
            if (plan.way == Plan::replace &&
                (errno == EBUSY || errno == EPERM || errno == EACCES)) {
                source.reset(temp->reopen());
                if (!source.valid()) refuse(given, errno);
                return false;
            }
            refuse(given, errno);
        }
        // The rename is durable only once the folder is; a folder that cannot be
        // synced at all (EINVAL) has nothing to sync.
        if (::fsync(folder.get()) != 0 && errno != EINVAL)
            throw errorExc::withPath(CannotWriteFile, given, errno);
        return true;
    }
};

std::optional<size_t> readRegularFile(const std::string& path, void* buffer, size_t size) {
    recoverInterruptedWrite(resolved(path));
    // A status first, so that a device is never opened; the open does not wait
    // (a FIFO without a writer would block it) and the file is checked again
    // once open, in case it was replaced meanwhile.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        throw errorExc::withPath(CannotOpenFile, path, errno);
    }
    if (S_ISDIR(st.st_mode)) throw errorExc::withPath(CannotOpenFile, path, EISDIR);
    if (!S_ISREG(st.st_mode)) throw errorExc::withReason(CannotOpenFile, path, NotARegularFile);
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        if (errno == ENOENT) return std::nullopt;
        throw errorExc::withPath(CannotOpenFile, path, errno);
    }
    if (::fstat(fd.get(), &st) != 0) throw errorExc::withPath(CannotOpenFile, path, errno);
    if (!S_ISREG(st.st_mode)) throw errorExc::withReason(CannotOpenFile, path, NotARegularFile);
    ssize_t got = readAllAt(fd.get(), static_cast<uint8_t*>(buffer), size, 0);
    if (got < 0) throw errorExc::withPath(CannotReadFile, path, errno);
    return size_t(got);
}

void protectInput(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return;
    Inputs& list = inputs();
    std::lock_guard lock(list.mutex);
    list.files.emplace_back(st.st_dev, st.st_ino);
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void checkWritable(const std::string& path) {
    planWrite(path);
}

void writeFileSafely(const std::string& path, const void* data, size_t size) {
    SafeFileWriter file(path);
    file.write(data, size);
    file.commit();
}

FileLock::FileLock(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) return; // the load reports what is wrong with the file
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd_);
        fd_ = -1;
        if (code == EWOULDBLOCK) throw errorExc::withReason(CannotOpenFile, path, FileBusy);
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);
}

SafeFileWriter::SafeFileWriter(const std::string& path) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.given = path;
    s.plan = planWrite(path);
    recoverInterruptedWrite(s.plan.target);
    s.start();
}

SafeFileWriter::~SafeFileWriter() = default;

void SafeFileWriter::write(const void* data, size_t size) {
    State& s = *state_;
    if (s.failed || s.committed) throw errorExc::withPath(CannotWriteFile, s.given, EIO);
    const auto* bytes = static_cast<const char*>(data);
    if (s.buffer.size() + size <= State::Capacity) {
        s.buffer.append(bytes, size);
        return;
    }
    s.flush();
    if (size < State::Capacity)
        s.buffer.append(bytes, size);
    else
        s.put(bytes, size);
}

void SafeFileWriter::commit() {
    State& s = *state_;
    if (s.failed || s.committed) throw errorExc::withPath(CannotWriteFile, s.given, EIO);
    s.flush();
    s.failed = true; // until it is done
    s.planAgain();
    if (s.inPlace || !s.replace())
        rewriteInPlace(s.plan, s.given, s.source.valid() ? s.source.get() : s.temp->fd(), s.size);
    s.failed = false;
    s.committed = true;
    s.temp.reset();
    s.source.close();
}

namespace {

class SafeFileSink : public ByteSink {
public:
    explicit SafeFileSink(SafeFileWriter& file) : file_(file) {}
    void write(const char* data, size_t size) override { file_.write(data, size); }

private:
    SafeFileWriter& file_;
};

} // namespace

void writeFileStreamed(const std::string& path, const std::function<void(ByteSink&)>& produce) {
    SafeFileWriter file(path);
    SafeFileSink sink(file);
    produce(sink);
    file.commit();
}

bool isAbandonedTemporary(const std::string& folder, const std::string& name) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.valid() && abandonedTemporaryAt(dir.get(), name);
}
