#include "common/ExportFile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/errorExc.h"

namespace {

[[noreturn]] void fail(const std::string& path, int error) {
    throw errorExc("Не удалось записать файл %s: %s", path.c_str(), std::strerror(error));
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

void writeExportFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) fail(path, ENOENT);
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Created with the usual permissions (the umask applies); a file replaced
    // keeps its own.
    static std::atomic<unsigned> serial{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = folderOf(path) + "/." + name + ".tmp" + std::to_string(::getpid()) + "-" +
               std::to_string(serial++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) fail(path, errno);
    }
    if (fd < 0) fail(path, EEXIST);
    int error = 0;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) error = errno;
    for (size_t done = 0; !error && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            error = n < 0 ? errno : EIO;
        else
            done += size_t(n);
    }
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(temp.c_str());
        fail(path, error);
    }
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}
