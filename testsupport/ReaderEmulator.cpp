#include "testsupport/ReaderEmulator.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "device/Link.h"

namespace {

constexpr int FrameTimeoutMs = 500; // rest of a page request, or a written page
constexpr int HangupPollMs = 20;    // no program has the device side open
constexpr int StopQuietMs = 50;
constexpr size_t PacedChunk = 16;

std::runtime_error systemError(const char* what) {
    return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

} // namespace

bool parsePageList(const std::string& text, std::set<uint32_t>& pages) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t comma = text.find(',', pos);
        std::string item =
            text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        char* end = nullptr;
        unsigned long first = std::strtoul(item.c_str(), &end, 10);
        unsigned long last = first;
        if (end == item.c_str()) return false;
        if (*end == '-') {
            const char* from = end + 1;
            last = std::strtoul(from, &end, 10);
            if (end == from) return false;
        }
        if (*end != '\0' || last < first || last >= RecorderImage::PageCount) return false;
        for (unsigned long p = first; p <= last; ++p)
            pages.insert(uint32_t(p));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return true;
}

ReaderEmulator::ReaderEmulator(RecorderImage& memory, EmulatorFaults faults)
    : memory_(memory), faults_(std::move(faults)) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) throw systemError("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw systemError("unlockpt");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) throw systemError("ptsname");
    path_ = name;
    // Raw from the start, so nothing is echoed or translated before the program
    // opens the line; the setting outlives this descriptor.
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) throw systemError("open pty");
    struct termios t;
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    ::close(slave);
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) throw systemError("pipe");
}

ReaderEmulator::~ReaderEmulator() {
    ::close(master_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

void ReaderEmulator::stop() {
    char c = 'Q';
    [[maybe_unused]] ssize_t n = ::write(wake_[1], &c, 1);
}

void ReaderEmulator::requestSave() {
    char c = 'S';
    [[maybe_unused]] ssize_t n = ::write(wake_[1], &c, 1);
}

ReaderEmulator::Stats ReaderEmulator::stats() const {
    std::lock_guard lock(mutex_);
    return stats_;
}

ReaderEmulator::Wait ReaderEmulator::waitInput(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (inputPos_ < input_.size()) return Wait::Data;
        int left = -1;
        if (timeoutMs >= 0) {
            left = int(std::chrono::ceil<std::chrono::milliseconds>(
                           deadline - std::chrono::steady_clock::now())
                           .count());
            if (left <= 0) return Wait::Timeout;
        }
        struct pollfd fds[2] = {{wake_[0], POLLIN, 0}, {master_, POLLIN, 0}};
        int ready;
        if (stopping_) {
            // Bytes the program wrote just before closing may still be on
            // their way: stop once the line has been quiet for a moment.
            ready = ::poll(fds + 1, 1, StopQuietMs);
            if (ready == 0 || !(fds[1].revents & POLLIN)) return Wait::Wake;
            fds[0].revents = 0;
        } else {
            ready = ::poll(fds, 2, left);
        }
        if (ready < 0 && errno != EINTR) throw systemError("poll");
        if (ready <= 0) continue;
        if (fds[0].revents & POLLIN) {
            char c;
            while (::read(wake_[0], &c, 1) == 1) {
                if (c == 'Q') stopping_ = true;
                if (c == 'S' && onSave_ && *onSave_) (*onSave_)();
            }
            continue;
        }
        if (fds[1].revents & POLLIN) {
            uint8_t buffer[4096];
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                input_.erase(input_.begin(), input_.begin() + long(inputPos_));
                inputPos_ = 0;
                input_.insert(input_.end(), buffer, buffer + n);
                continue;
            }
        }
        if (fds[1].revents & (POLLHUP | POLLERR)) {
            // The program closed the line: its session is over.
            endSession();
            ::poll(fds, 1, HangupPollMs);
        }
    }
}

bool ReaderEmulator::takeBytes(uint8_t* out, size_t n, int timeoutMs) {
    for (size_t i = 0; i < n; ++i) {
        if (waitInput(timeoutMs) != Wait::Data) return false;
        out[i] = input_[inputPos_++];
    }
    paceReceived(n);
    return true;
}

void ReaderEmulator::paceReceived(size_t n) {
    if (faults_.lineRate == 0) return;
    // Only accounted: the next answer waits for the line.
    auto now = std::chrono::steady_clock::now();
    if (lineFree_ < now) lineFree_ = now;
    lineFree_ += std::chrono::nanoseconds(uint64_t(n) * 10'000'000'000ull / faults_.lineRate);
}

void ReaderEmulator::paceOn(size_t n) {
    lineFree_ += std::chrono::nanoseconds(uint64_t(n) * 10'000'000'000ull / faults_.lineRate);
    std::this_thread::sleep_until(lineFree_);
}

void ReaderEmulator::send(const uint8_t* data, size_t n) {
    if (faults_.lineRate) {
        auto now = std::chrono::steady_clock::now();
        if (lineFree_ < now) lineFree_ = now;
    }
    size_t done = 0;
    while (done < n) {
        size_t chunk = faults_.lineRate ? std::min(PacedChunk, n - done) : n - done;
        // One schedule for the whole answer, so that late wake-ups do not add up.
        if (faults_.lineRate) paceOn(chunk);
        ssize_t w = ::write(master_, data + done, chunk);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return; // the program has gone; it will notice
        done += size_t(w);
    }
}

void ReaderEmulator::endSession() {
    mode_ = Mode::Idle;
    sessionPages_ = 0;
}

void ReaderEmulator::serve(const std::function<void()>& onSave) {
    onSave_ = &onSave;
    while (!stopping_) {
        uint8_t b;
        if (!takeBytes(&b, 1, -1)) break;
        // Page numbers stay below 0x2000, so a first byte from 0x20 up is a command.
        if (mode_ != Mode::Idle && b < 0x20)
            pageRequest(b);
        else
            command(b);
    }
    onSave_ = nullptr;
}

void ReaderEmulator::command(uint8_t b) {
    endSession();
    {
        std::lock_guard lock(mutex_);
        stats_.commands.push_back(char(b));
    }
    switch (b) {
    case wire::SelectRecorder:
        sendByte(faults_.answerE.value_or(faults_.internalMemory ? wire::RecorderUnavailable
                                                                 : wire::SelectRecorder));
        break;
    case wire::SelectInternal:
        sendByte(faults_.answerI.value_or(wire::SelectInternal));
        break;
    case wire::SelectMethod:
        sendByte(faults_.answerC.value_or(wire::SelectMethod));
        break;
    case wire::StartRead:
    case wire::StartWrite: {
        uint8_t answer =
            (b == wire::StartRead ? faults_.answerM : faults_.answerW).value_or(wire::Ready);
        sendByte(answer);
        if (answer == wire::Ready) {
            mode_ = b == wire::StartRead ? Mode::Read : Mode::Write;
            std::lock_guard lock(mutex_);
            ++stats_.sessions;
        }
        break;
    }
    default:
        break; // noise on the line
    }
}

void ReaderEmulator::pageRequest(uint8_t first) {
    uint8_t rest[3];
    if (!takeBytes(rest, 3, FrameTimeoutMs)) return;
    const uint32_t page = uint32_t(first) << 8 | rest[0];
    const uint16_t theirs = uint16_t(rest[1] | rest[2] << 8);
    {
        std::lock_guard lock(mutex_);
        stats_.requestedPages.push_back(page);
    }
    if (page >= RecorderImage::PageCount) return;
    if (faults_.silentAfter && sessionPages_ >= *faults_.silentAfter) return;
    ++sessionPages_;
    if (auto it = faults_.badStatus.find(page); it != faults_.badStatus.end()) {
        sendByte(it->second);
        return;
    }
    uint8_t* data = memory_.page(page);
    const uint16_t ours = crc_.compute(data, RecorderImage::PageSize);

    if (mode_ == Mode::Write) {
        if (faults_.refuseWrites) {
            sendByte(wire::PageRefused);
            std::lock_guard lock(mutex_);
            ++stats_.pagesRefused;
        } else if (theirs == ours) {
            sendByte(wire::PageSame);
            std::lock_guard lock(mutex_);
            ++stats_.pagesSame;
        } else {
            sendByte(wire::PageDiffers);
            uint8_t received[RecorderImage::PageSize];
            if (!takeBytes(received, sizeof received, FrameTimeoutMs)) return;
            std::lock_guard lock(mutex_);
            std::memcpy(data, received, sizeof received);
            ++stats_.pagesStored;
        }
        return;
    }

    if (theirs == ours) {
        sendByte(wire::PageSame);
        std::lock_guard lock(mutex_);
        ++stats_.pagesSame;
        return;
    }
    uint8_t frame[3 + RecorderImage::PageSize];
    frame[0] = wire::PageDiffers;
    frame[1] = uint8_t(ours);
    frame[2] = uint8_t(ours >> 8);
    std::memcpy(frame + 3, data, RecorderImage::PageSize);
    bool damage = faults_.badCrcAlways.count(page) ||
                  (faults_.badCrcOnce.count(page) && damagedOnce_.insert(page).second);
    if (damage) frame[3 + 100] ^= 0x5A;
    send(frame, sizeof frame);
    std::lock_guard lock(mutex_);
    ++stats_.pagesSent;
}
