#include <deque>
#include <functional>
#include <gtest/gtest.h>

#include "device/Link.h"
#include "testsupport/Errors.h"

namespace {

// A line that moves at most the scripted number of bytes per call; -1 fails the call.
class ScriptedLine : public SerialLine {
public:
    std::deque<int> readSizes, writeSizes;
    std::vector<uint32_t> readRequests;
    std::vector<uint8_t> sent;
    bool stateFails = false, setStateFails = false, timeoutsFail = false;
    LineState state{9600, 7, LineState::EvenParity, LineState::TwoStopBits};
    uint8_t nextByte = 0;

    bool getCommState(LineState& s) override { return s = state, !stateFails; }
    bool setCommState(const LineState& s) override { return state = s, !setStateFails; }
    bool setCommTimeouts(const CommTimeouts&) override { return !timeoutsFail; }
    bool readFile(uint8_t* buffer, uint32_t length, uint32_t& got) override {
        readRequests.push_back(length);
        int n = take(readSizes, length);
        got = n < 0 ? 0 : uint32_t(n);
        for (uint32_t i = 0; i < got; ++i)
            buffer[i] = nextByte++;
        return n >= 0;
    }
    bool writeFile(const uint8_t* data, uint32_t length, uint32_t& written) override {
        int n = take(writeSizes, length);
        written = n < 0 ? 0 : uint32_t(n);
        sent.insert(sent.end(), data, data + written);
        return n >= 0;
    }
    bool closeHandle() override { return true; }
    long lastError() const override { return 5; }

private:
    static int take(std::deque<int>& sizes, uint32_t length) {
        if (sizes.empty()) return int(length);
        int n = sizes.front();
        sizes.pop_front();
        return n < 0 ? n : std::min(n, int(length));
    }
};

TEST(Link, PageRequestMixesByteOrders) {
    EXPECT_EQ(pageRequest(0x1234, 0xABCD), (std::array<uint8_t, 4>{0x12, 0x34, 0xCD, 0xAB}));
}

TEST(Link, SendAllWritesTheRestUntilDone) {
    ScriptedLine line;
    line.writeSizes = {3, 1, 100};
    const uint8_t data[] = {1, 2, 3, 4, 5, 6, 7};
    sendAll(line, data, sizeof data);
    EXPECT_EQ(line.sent, std::vector<uint8_t>(data, data + 7));

    line.writeSizes = {2, 0};
    EXPECT_EQ(errorMessageOf([&] { sendAll(line, data, 7); }),
              "несоответствие потока данных при передаче");
    line.writeSizes = {-1};
    EXPECT_EQ(errorMessageOf([&] { sendAll(line, data, 7); }),
              "ошибка при передаче данных (код: 5)");
}

TEST(Link, ReceiveAllAsksForAtMost1024BytesAtATime) {
    ScriptedLine line;
    line.readSizes = {1024, 500, 476};
    std::vector<uint8_t> buffer(2000);
    receiveAll(line, buffer.data(), buffer.size());
    EXPECT_EQ(line.readRequests, (std::vector<uint32_t>{1024, 976, 476}));
    EXPECT_EQ(buffer[1999], uint8_t(1999));

    line.readSizes = {1, 0};
    EXPECT_EQ(errorMessageOf([&] { receiveAll(line, buffer.data(), 5); }),
              "несоответствие потока данных при приеме");
    line.readSizes = {-1};
    EXPECT_EQ(errorMessageOf([&] { receiveAll(line, buffer.data(), 5); }),
              "ошибка при приеме данных (код: 5)");
}

TEST(Link, LineSettingsPurgeAndTheirFailures) {
    ScriptedLine line;
    configureLine(line);
    EXPECT_EQ(line.state.baudRate, 256000u);
    EXPECT_EQ(line.state.byteSize, 8);
    EXPECT_EQ(line.state.parity, LineState::NoParity);
    EXPECT_EQ(line.state.stopBits, LineState::OneStopBit);

    line.readSizes = {1024, 17, 0};
    purgeInput(line);
    EXPECT_EQ(line.readRequests, (std::vector<uint32_t>{1024, 1024, 1024}));

    struct Case {
        std::function<void(ScriptedLine&)> spoil;
        std::function<void(ScriptedLine&)> run;
        std::string message;
    };
    const Case cases[] = {
        {[](ScriptedLine& l) { l.stateFails = true; }, configureLine,
         "Ошибка функции GetCommState(): 5"},
        {[](ScriptedLine& l) { l.setStateFails = true; }, configureLine,
         "Ошибка функции SetCommState(): 5"},
        {[](ScriptedLine& l) { l.timeoutsFail = true; },
         [](ScriptedLine& l) { applyTimeouts(l, TransferTimeouts); },
         "Ошибка функции SetCommTimeouts(): 5"},
        {[](ScriptedLine& l) {
             l.readSizes = {4, -1};
         },
         purgeInput, "Ошибка при очистке буфера последовательного порта (5)"},
    };
    for (const Case& c : cases) {
        ScriptedLine failing;
        c.spoil(failing);
        EXPECT_EQ(errorMessageOf([&] { c.run(failing); }), c.message);
    }
}

} // namespace
