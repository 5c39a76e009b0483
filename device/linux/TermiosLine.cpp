#include "device/linux/TermiosLine.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "device/linux/Termios2.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds until deadline for poll(), rounded up so a wait never ends early.
int msUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : int(std::min<long long>(left, 1 << 30));
}

Clock::time_point after(Clock::time_point from, uint64_t ms) {
    return from + std::chrono::milliseconds(ms);
}

} // namespace

int TermiosLine::openTty(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    struct termios t;
    if (::tcgetattr(fd, &t) != 0) {
        int error = errno;
        ::close(fd);
        fd = -1;
        return error;
    }
    // Another program on the same tty would corrupt the transfer. TIOCEXCL
    // holds off other programs but not root; the lock holds off every copy of
    // this program, root's too, and goes with the descriptor.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        fd = -1;
        return error;
    }
    ::ioctl(fd, TIOCEXCL);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~CRTSCTS;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        int error = errno;
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        fd = -1;
        return error;
    }
    return 0;
}

int TermiosLine::open(const std::string& path, std::unique_ptr<TermiosLine>& line) {
    int fd = -1;
    int error = openTty(path, fd);
    if (error == 0) line.reset(new TermiosLine(fd, path));
    return error;
}

TermiosLine::~TermiosLine() {
    if (fd_ >= 0) closeHandle();
}

bool TermiosLine::fail(int error) {
    lastError_ = error;
    return false;
}

bool TermiosLine::getCommState(LineState& state) {
    if (fd_ < 0) return fail(EBADF);
    LineFormat format;
    if (int error = readLineFormat(fd_, format)) return fail(error);
    state.baudRate = format.baudRate;
    state.byteSize = format.dataBits;
    state.parity = format.parity;
    state.stopBits = format.stopBits;
    return true;
}

bool TermiosLine::setCommState(const LineState& state) {
    if (fd_ < 0) return fail(EBADF);
    LineFormat format{state.baudRate, state.byteSize, state.parity, state.stopBits};
    if (int error = writeLineFormat(fd_, format)) return fail(error);
    return true;
}

bool TermiosLine::setCommTimeouts(const CommTimeouts& timeouts) {
    if (fd_ < 0) return fail(EBADF);
    timeouts_ = timeouts;
    return true;
}

bool TermiosLine::readFile(uint8_t* buffer, uint32_t length, uint32_t& got) {
    got = 0;
    if (fd_ < 0) return fail(EBADF);
    const CommTimeouts& t = timeouts_;
    const bool immediate = t.readInterval == CommTimeouts::MaxInterval &&
                           t.readTotalMultiplier == 0 && t.readTotalConstant == 0;
    const bool useInterval = t.readInterval != 0 && !immediate;
    std::optional<Clock::time_point> total;
    if (t.readTotalMultiplier != 0 || t.readTotalConstant != 0)
        total = after(Clock::now(), uint64_t(t.readTotalMultiplier) * length + t.readTotalConstant);
    Clock::time_point lastByte{};

    while (got < length) {
        int wait = -1;
        if (immediate) {
            wait = 0;
        } else {
            std::optional<Clock::time_point> deadline = total;
            if (useInterval && got > 0) {
                auto interval = after(lastByte, t.readInterval);
                if (!deadline || interval < *deadline) deadline = interval;
            }
            if (deadline) {
                if (Clock::now() >= *deadline) return true;
                wait = msUntil(*deadline);
            }
        }
        struct pollfd pfd {
            fd_, POLLIN, 0
        };
        int ready = ::poll(&pfd, 1, wait);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (ready == 0) {
            if (immediate) return true;
            continue;
        }
        if (pfd.revents & POLLIN) {
            ssize_t n = ::read(fd_, buffer + got, length - got);
            if (n > 0) {
                got += uint32_t(n);
                lastByte = Clock::now();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            // Readable but nothing to read: the other end has hung up.
            return fail(n == 0 ? EIO : errno);
        }
        return fail((pfd.revents & POLLNVAL) ? EBADF : EIO);
    }
    return true;
}

bool TermiosLine::writeFile(const uint8_t* data, uint32_t length, uint32_t& written) {
    written = 0;
    if (fd_ < 0) return fail(EBADF);
    const CommTimeouts& t = timeouts_;
    std::optional<Clock::time_point> total;
    if (t.writeTotalMultiplier != 0 || t.writeTotalConstant != 0)
        total =
            after(Clock::now(), uint64_t(t.writeTotalMultiplier) * length + t.writeTotalConstant);

    while (written < length) {
        ssize_t n = ::write(fd_, data + written, length - written);
        if (n > 0) {
            written += uint32_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return fail(errno);
        // Output buffer full: wait for room until the time-out.
        int wait = -1;
        if (total) {
            if (Clock::now() >= *total) return true;
            wait = msUntil(*total);
        }
        struct pollfd pfd {
            fd_, POLLOUT, 0
        };
        int ready = ::poll(&pfd, 1, wait);
        if (ready < 0 && errno != EINTR) return fail(errno);
        if (ready > 0 && !(pfd.revents & POLLOUT))
            return fail((pfd.revents & POLLNVAL) ? EBADF : EIO);
    }
    return true;
}

bool TermiosLine::closeHandle() {
    if (fd_ < 0) return fail(EBADF);
    ::ioctl(fd_, TIOCNXCL);
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0 || errno == EINTR || fail(errno);
}
