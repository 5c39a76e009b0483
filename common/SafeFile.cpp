#include "common/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
            fd_.reset(::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
            unnamed_ = fd_.valid();
            return unnamed_;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = hiddenName();
            int fd = ::openat(folder_, name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, mode);
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
    bool unnamed() const { return unnamed_; }
    bool close() { return fd_.close(); }
    // The named temporary, opened again for reading; -1 with errno set.
    int reopen() const { return ::openat(folder_, name_.c_str(), O_RDONLY | O_CLOEXEC); }

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

// Copies size bytes of the file from into the file to at 0; false with errno set.
bool copyContent(int from, int to, off_t size) {
    std::vector<uint8_t> piece(size_t(1) << 16);
    for (off_t at = 0; at < size;) {
        const ssize_t got = readAllAt(from, piece.data(),
                                      size_t(std::min<off_t>(off_t(piece.size()), size - at)), at);
        if (got < 0) return false;
        if (got == 0) {
            errno = EIO;
            return false;
        }
        if (!writeAllAt(to, piece.data(), size_t(got), at)) return false;
        at += got;
    }
    return true;
}

} // namespace

std::optional<size_t> readRegularFile(const std::string& path, void* buffer, size_t size) {
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

void checkWritable(const std::string& path) {
    planWrite(path);
}

// The data goes either to a temporary that replaces the file at the end
// (create, replace) or into the file itself, whose old content is kept to be
// put back (inPlace).
struct SafeFileWriter::State {
    std::string given;
    Plan plan;
    Descriptor folder;
    std::unique_ptr<Temporary> temp;
    Descriptor target; // in place
    std::vector<uint8_t> old;
    off_t written = 0;
    bool done = false;

    // Opens the temporary; false when the file cannot be made to look like
    // the one it replaces (it is then written in place).
    bool openTemporary() {
        folder.reset(::open(plan.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder.valid()) refuse(given, errno);
        temp = std::make_unique<Temporary>(folder.get(), plan.name);
        // A new file gets 0666 less the umask from the system; a replacement the
        // mode of the file it replaces, set below. Unnamed where the system allows.
        const mode_t mode = plan.way == Plan::create ? 0666 : 0600;
        if (!temp->open(mode, true) && !temp->open(mode, false)) refuse(given, errno);
        if (plan.way == Plan::replace) {
            struct stat st;
            if (::fstat(temp->fd(), &st) != 0) refuse(given, errno);
            // The owner first: changing it clears set-id bits that the mode restores.
            if ((st.st_uid != plan.st.st_uid || st.st_gid != plan.st.st_gid) &&
                ::fchown(temp->fd(), plan.st.st_uid, plan.st.st_gid) != 0) {
                temp.reset();
                return false;
            }
            if (::fchmod(temp->fd(), plan.st.st_mode & 07777) != 0) refuse(given, errno);
        }
        return true;
    }

    void openInPlace() {
        target.reset(::open(plan.target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!target.valid()) refuse(given, errno);
        struct stat st;
        if (::fstat(target.get(), &st) != 0) refuse(given, errno);
        if (!S_ISREG(st.st_mode))
            throw errorExc::withReason(CannotCreateFile, given, NotARegularFile);
        old.resize(size_t(st.st_size));
        ssize_t got = readAllAt(target.get(), old.data(), old.size(), 0);
        if (got < 0) refuse(given, errno);
        old.resize(size_t(got));
    }

    // The old content back, as far as it goes: its blocks are the file's already.
    void restore() {
        writeAllAt(target.get(), old.data(), old.size(), 0);
        (void)!::ftruncate(target.get(), off_t(old.size()));
        ::fsync(target.get());
    }

    [[noreturn]] void failInPlace(int code) {
        restore();
        done = true;
        throw errorExc::withPath(CannotWriteFile, given, code);
    }

    // Gives the temporary a name; an unnamed one that the system will not
    // name is copied into a named one.
    void nameTemporary() {
        if (temp->name()) return;
        if (!temp->unnamed()) refuse(given, errno);
        auto named = std::make_unique<Temporary>(folder.get(), plan.name);
        if (!named->open(plan.way == Plan::create ? 0666 : 0600, false)) refuse(given, errno);
        if (plan.way == Plan::replace) {
            if (::fchown(named->fd(), plan.st.st_uid, plan.st.st_gid) != 0 ||
                ::fchmod(named->fd(), plan.st.st_mode & 07777) != 0)
                refuse(given, errno);
        }
        if (!copyContent(temp->fd(), named->fd(), written) || ::fsync(named->fd()) != 0)
            throw errorExc::withPath(CannotWriteFile, given, errno);
        temp = std::move(named);
    }

    void commitTemporary() {
        if (::fsync(temp->fd()) != 0) throw errorExc::withPath(CannotWriteFile, given, errno);
        // An unnamed file is named through its descriptor: it closes only then.
        nameTemporary();
        if (!temp->close()) throw errorExc::withPath(CannotWriteFile, given, errno);
        if (!temp->commit()) {
            if (plan.way == Plan::replace &&
                (errno == EBUSY || errno == EPERM || errno == EACCES)) {
                // The file cannot be replaced (a mount point, say): it is written in place.
                Descriptor source(temp->reopen());
                if (!source.valid()) refuse(given, errno);
                temp.reset();
                openInPlace();
                if (!copyContent(source.get(), target.get(), written)) failInPlace(errno);
                commitInPlace();
                return;
            }
            refuse(given, errno);
        }
        // The rename is durable only once the folder is; a folder that cannot be
        // synced at all (EINVAL) has nothing to sync.
        if (::fsync(folder.get()) != 0 && errno != EINVAL)
            throw errorExc::withPath(CannotWriteFile, given, errno);
    }

    void commitInPlace() {
        if (::ftruncate(target.get(), written) != 0 || ::fsync(target.get()) != 0)
            failInPlace(errno);
        if (!target.close()) throw errorExc::withPath(CannotWriteFile, given, errno);
    }
};

SafeFileWriter::SafeFileWriter(const std::string& path) : s_(std::make_unique<State>()) {
    s_->given = path;
    s_->plan = planWrite(path);
    if (s_->plan.way == Plan::inPlace || !s_->openTemporary()) s_->openInPlace();
}

SafeFileWriter::~SafeFileWriter() {
    // Not committed: a temporary goes with its descriptor (or its name); a
    // file written in place gets its old content back.
    if (!s_->done && s_->target.valid()) s_->restore();
}

void SafeFileWriter::write(const void* data, size_t size) {
    State& s = *s_;
    if (s.done) throw errorExc::withPath(CannotWriteFile, s.given, EIO);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (s.temp) {
        if (!writeAllAt(s.temp->fd(), bytes, size, s.written)) {
            s.done = true;
            throw errorExc::withPath(CannotWriteFile, s.given, errno);
        }
    } else if (!writeAllAt(s.target.get(), bytes, size, s.written)) {
        s.failInPlace(errno);
    }
    s.written += off_t(size);
}

void SafeFileWriter::commit() {
    State& s = *s_;
    if (s.done) throw errorExc::withPath(CannotWriteFile, s.given, EIO);
    s.done = true;
    if (s.temp)
        s.commitTemporary();
    else
        s.commitInPlace();
}

void writeFileSafely(const std::string& path, const void* data, size_t size) {
    SafeFileWriter writer(path);
    writer.write(data, size);
    writer.commit();
}
