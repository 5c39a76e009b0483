#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "common/errorExc.h"
#include "device/Link.h"
#include "device/linux/TermiosLine.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A pseudo-terminal: the test plays the device on the master side.
class Pty {
public:
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(master);
        ::unlockpt(master);
        path = ::ptsname(master);
    }
    ~Pty() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    void send(std::vector<uint8_t> bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::vector<uint8_t> receive(size_t n) const {
        std::vector<uint8_t> bytes(n);
        size_t got = 0;
        while (got < n) {
            ssize_t r = ::read(master, bytes.data() + got, n - got);
            if (r <= 0) break;
            got += size_t(r);
        }
        bytes.resize(got);
        return bytes;
    }

    int master;
    std::string path;
};

std::unique_ptr<TermiosLine> openLine(const Pty& pty) {
    std::unique_ptr<TermiosLine> line;
    EXPECT_EQ(TermiosLine::open(pty.path, line), 0);
    return line;
}

TEST(TermiosLine, EveryByteValuePassesUnchanged) {
    Pty pty;
    auto line = openLine(pty);
    std::vector<uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[size_t(i)] = uint8_t(i);
    sendAll(*line, all.data(), all.size());
    EXPECT_EQ(pty.receive(256), all);

    pty.send(all);
    std::vector<uint8_t> back(256);
    line->setCommTimeouts({0, 0, 2000, 0, 0});
    receiveAll(*line, back.data(), back.size());
    EXPECT_EQ(back, all);
}

TEST(TermiosLine, NominalRateIsSetAndReadBack) {
    Pty pty;
    auto line = openLine(pty);
    configureLine(*line);
    LineState state;
    ASSERT_TRUE(line->getCommState(state));
    EXPECT_EQ(state.baudRate, 256000u);
    EXPECT_EQ(state.byteSize, 8);
    EXPECT_EQ(state.parity, LineState::NoParity);
    EXPECT_EQ(state.stopBits, LineState::OneStopBit);
    state.byteSize = 9;
    EXPECT_FALSE(line->setCommState(state));
    EXPECT_EQ(line->lastError(), EINVAL);
}

// How many bytes a read of `length` returns, and after how long, when the
// device sends `bytes` in bursts `gap` apart.
struct Timed {
    uint32_t got;
    Clock::duration took;
};
Timed timedRead(const CommTimeouts& timeouts, uint32_t length,
                std::vector<std::vector<uint8_t>> bursts, Clock::duration gap) {
    Pty pty;
    auto line = openLine(pty);
    line->setCommTimeouts(timeouts);
    std::thread device([&] {
        for (auto& burst : bursts) {
            pty.send(burst);
            std::this_thread::sleep_for(gap);
        }
    });
    std::vector<uint8_t> buffer(length);
    uint32_t got = 0;
    auto start = Clock::now();
    EXPECT_TRUE(line->readFile(buffer.data(), length, got));
    auto took = Clock::now() - start;
    device.join();
    return {got, took};
}

TEST(TermiosLine, ReadTimeoutsFollowTheWindowsRules) {
    // Nothing arrives: the total time-out (per byte and constant) ends the read empty.
    Timed t = timedRead({0, 20, 100, 0, 0}, 5, {}, 0ms);
    EXPECT_EQ(t.got, 0u);
    EXPECT_GE(t.took, 200ms);

    // The interval time-out waits for the first byte however long, then ends a pause.
    t = timedRead({50, 0, 0, 0, 0}, 10, {{}, {1, 2, 3}}, 300ms);
    EXPECT_EQ(t.got, 3u);
    EXPECT_GE(t.took, 300ms);

    // The total time-out ends a read that keeps receiving bytes within the interval.
    t = timedRead({200, 0, 150, 0, 0}, 100, {{1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}}, 40ms);
    EXPECT_GE(t.got, 2u);
    EXPECT_LT(t.got, 8u);

    // All zero: waits for every byte, across pauses.
    t = timedRead({0, 0, 0, 0, 0}, 4, {{1, 2}, {3}, {4}}, 100ms);
    EXPECT_EQ(t.got, 4u);

    // Interval at its maximum with no totals: what has arrived, at once.
    t = timedRead({CommTimeouts::MaxInterval, 0, 0, 0, 0}, 10, {}, 0ms);
    EXPECT_EQ(t.got, 0u);
}

TEST(TermiosLine, WriteTimeoutReturnsWhatFitted) {
    Pty pty; // nobody reads the device side: the buffers fill up
    auto line = openLine(pty);
    line->setCommTimeouts({0, 0, 0, 0, 100});
    std::vector<uint8_t> lots(1 << 20, 0x55);
    uint32_t written = 0;
    ASSERT_TRUE(line->writeFile(lots.data(), uint32_t(lots.size()), written));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, lots.size());
    try {
        sendAll(*line, lots.data(), 1);
        ADD_FAILURE() << "a full line took a byte";
    } catch (const errorExc& e) {
        EXPECT_EQ(e.message(), "несоответствие потока данных при передаче");
    }
}

TEST(TermiosLine, HangupAndClosedHandleAreErrors) {
    Pty pty;
    auto line = openLine(pty);
    line->setCommTimeouts({0, 0, 2000, 0, 0});
    pty.closeMaster();
    uint8_t b;
    uint32_t got = 0;
    EXPECT_FALSE(line->readFile(&b, 1, got));
    EXPECT_EQ(line->lastError(), EIO);

    EXPECT_TRUE(line->closeHandle());
    EXPECT_FALSE(line->writeFile(&b, 1, got));
    EXPECT_EQ(line->lastError(), EBADF);
    EXPECT_FALSE(line->closeHandle());

    std::unique_ptr<TermiosLine> notTty;
    EXPECT_EQ(TermiosLine::open("/dev/null", notTty), ENOTTY);
    EXPECT_EQ(TermiosLine::open("/nonexistent/tty", notTty), ENOENT);
    EXPECT_FALSE(notTty);
}

} // namespace
