#include "common/SafeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/ErrorLog.h"
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

// Writes old to backup under a second name first, so that the backup appears
// complete or not at all, and keeps it locked while the file is rewritten.
// An invalid descriptor when the folder takes no file.
int keepBackup(const std::string& backup, const std::vector<uint8_t>& old) {
    const std::string part = backup + ".part";
    Descriptor fd(::open(part.c_str(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid()) return -1;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 ||
        !writeAllAt(fd.get(), old.data(), old.size(), 0) || ::fsync(fd.get()) != 0 ||
        ::rename(part.c_str(), backup.c_str()) != 0) {
        ::unlink(part.c_str());
        return -1;
    }
    Descriptor folder(::open(folderOf(backup).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) ::fsync(folder.get());
    return fd.release();
}

void rewriteInPlace(const Plan& plan, const std::string& given, const uint8_t* data, size_t size) {
    Descriptor fd(::open(plan.target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) refuse(given, errno);
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) refuse(given, errno);
    if (!S_ISREG(st.st_mode)) throw errorExc::withReason(CannotCreateFile, given, NotARegularFile);
    std::vector<uint8_t> old(size_t(st.st_size));
    ssize_t got = readAllAt(fd.get(), old.data(), old.size(), 0);
    if (got < 0) refuse(given, errno);
    old.resize(size_t(got));
    const std::string backupPath = backupPathOf(plan.target);
    Descriptor backup(keepBackup(backupPath, old));
    auto dropBackup = [&] {
        if (backup.valid()) ::unlink(backupPath.c_str());
    };

    if (!writeAllAt(fd.get(), data, size, 0) || ::ftruncate(fd.get(), off_t(size)) != 0 ||
        ::fsync(fd.get()) != 0) {
        const int code = errno;
        // Best effort: the blocks of the old content are the file's already.
        if (writeAllAt(fd.get(), old.data(), old.size(), 0) &&
            ::ftruncate(fd.get(), off_t(old.size())) == 0 && ::fsync(fd.get()) == 0)
            dropBackup();
        throw errorExc::withPath(CannotWriteFile, given, code);
    }
    if (!fd.close()) throw errorExc::withPath(CannotWriteFile, given, errno);
    dropBackup();
}

// A backup left beside target by a rewrite that was killed goes back into
// the file, and the user is told; one whose rewrite still works is locked
// and left alone.
void recoverInterruptedWrite(const std::string& target) {
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
    std::vector<uint8_t> old(size_t(st.st_size));
    if (readAllAt(backup.get(), old.data(), old.size(), 0) != ssize_t(old.size())) return;
    Descriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    if (!writeAllAt(fd.get(), old.data(), old.size(), 0) ||
        ::ftruncate(fd.get(), off_t(old.size())) != 0 || ::fsync(fd.get()) != 0)
        return;
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

// A temporary file in the target's folder. Unnamed where the system allows, so
// that nothing is left if the program dies before it is put in place; a named
// one is removed when it is not put in place.
class Temporary {
public:
    Temporary(int folder, std::string targetName)
        : folder_(folder), target_(std::move(targetName)) {}
    ~Temporary() {
        fd_.close();
        if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
    }

    // false with errno set.
    bool open(mode_t mode, bool unnamed) {
        if (unnamed) {
            fd_.reset(::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
            unnamed_ = fd_.valid();
            return unnamed_;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = hiddenName();
            int fd = ::openat(folder_, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
            if (fd >= 0) {
                fd_.reset(fd);
                name_ = name;
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }
    int fd() const { return fd_.get(); }
    bool close() { return fd_.close(); }

    // Gives an unnamed temporary a hidden name beside the target; false with
    // errno set when the system lets no name be given.
    bool name() {
        if (!unnamed_) return true;
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
    // Puts the named temporary in the target's place; false with errno set.
    bool commit() {
        if (::renameat(folder_, name_.c_str(), folder_, target_.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    std::string hiddenName() const {
        static unsigned counter = 0;
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        const unsigned long mix = (unsigned long)now.tv_nsec ^ ((unsigned long)::getpid() << 16) ^
                                  (unsigned long)(++counter * 2654435761u);
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%06lx", mix & 0xFFFFFF);
        return "." + target_ + "." + suffix;
    }

    int folder_;
    std::string target_;
    Descriptor fd_;
    bool unnamed_ = false;
    std::string name_;
};

// notReplaceable: a replacement could not be made to look like the file, or
// could not take its place (a mount point, say); the file is written in place.
enum class Replaced { done, notReplaceable, notNamed };

Replaced replaceAtomically(const Plan& plan, const std::string& given, const uint8_t* data,
                           size_t size, bool unnamed) {
    Descriptor folder(::open(plan.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) refuse(given, errno);
    Temporary temp(folder.get(), plan.name);
    // A new file gets 0666 less the umask from the system; a replacement the
    // mode of the file it replaces, set below.
    if (!temp.open(plan.way == Plan::create ? 0666 : 0600, unnamed)) {
        if (unnamed) return Replaced::notNamed;
        refuse(given, errno);
    }
    if (plan.way == Plan::replace) {
        struct stat st;
        if (::fstat(temp.fd(), &st) != 0) refuse(given, errno);
        // The owner first: changing it clears set-id bits that the mode restores.
        if ((st.st_uid != plan.st.st_uid || st.st_gid != plan.st.st_gid) &&
            ::fchown(temp.fd(), plan.st.st_uid, plan.st.st_gid) != 0)
            return Replaced::notReplaceable;
        if (::fchmod(temp.fd(), plan.st.st_mode & 07777) != 0) refuse(given, errno);
    }
    if (!writeAllAt(temp.fd(), data, size, 0) || ::fsync(temp.fd()) != 0)
        throw errorExc::withPath(CannotWriteFile, given, errno);
    // An unnamed file is named through its descriptor: it closes only then.
    if (!temp.name()) {
        if (unnamed) return Replaced::notNamed;
        refuse(given, errno);
    }
    if (!temp.close()) throw errorExc::withPath(CannotWriteFile, given, errno);
    if (!temp.commit()) {
        if (plan.way == Plan::replace && (errno == EBUSY || errno == EPERM || errno == EACCES))
            return Replaced::notReplaceable;
        refuse(given, errno);
    }
    // The rename is durable only once the folder is; a folder that cannot be
    // synced at all (EINVAL) has nothing to sync.
    if (::fsync(folder.get()) != 0 && errno != EINVAL)
        throw errorExc::withPath(CannotWriteFile, given, errno);
    return Replaced::done;
}

} // namespace

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
    const Plan plan = planWrite(path);
    recoverInterruptedWrite(plan.target);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (plan.way != Plan::inPlace) {
        Replaced r = replaceAtomically(plan, path, bytes, size, true);
        if (r == Replaced::notNamed) r = replaceAtomically(plan, path, bytes, size, false);
        if (r == Replaced::done) return;
    }
    rewriteInPlace(plan, path, bytes, size);
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

SafeFileWriter::SafeFileWriter(const std::string& path) : path_(path) {
    checkWritable(path);
}

void SafeFileWriter::write(const void* data, size_t size) {
    data_.append(static_cast<const char*>(data), size);
}

void SafeFileWriter::commit() {
    writeFileSafely(path_, data_.data(), data_.size());
}
