#pragma once
// The open handle of a reader device's bridge, used as a serial line. Keeps
// the operations of the Windows serial functions the transfer code was written
// against: success as a bool, the failure's code from lastError(), time-outs
// that are not errors but reads and writes that move fewer bytes.
#include <cstdint>
#include <memory>

// Line settings the program changes; a backend keeps everything else as it was.
struct LineState {
    // Windows' values for parity and stop bits.
    enum Parity : uint8_t {
        NoParity = 0,
        OddParity = 1,
        EvenParity = 2,
        MarkParity = 3,
        SpaceParity = 4
    };
    enum StopBits : uint8_t { OneStopBit = 0, One5StopBits = 1, TwoStopBits = 2 };

    uint32_t baudRate = 0;
    uint8_t byteSize = 8;
    uint8_t parity = NoParity;
    uint8_t stopBits = OneStopBit;
};

// Milliseconds, in the order of the Windows time-out record, with its rules:
// - read: the total time-out (multiplier × bytes requested + constant, 0/0 =
//   none) runs from the start of the call; the interval time-out starts at the
//   first byte and restarts on every byte (0 = unused); all read values 0 waits
//   for every byte; interval MaxInterval with both totals 0 returns at once
//   with what has arrived;
// - write: multiplier × bytes + constant, 0/0 = none.
struct CommTimeouts {
    static constexpr uint32_t MaxInterval = 0xFFFFFFFF;

    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;

    bool operator==(const CommTimeouts&) const = default;
};

class SerialLine {
public:
    virtual ~SerialLine() = default;

    virtual bool getCommState(LineState& state) = 0;
    virtual bool setCommState(const LineState& state) = 0;
    virtual bool setCommTimeouts(const CommTimeouts& timeouts) = 0;
    // A time-out returns true with fewer bytes (possibly none).
    virtual bool readFile(uint8_t* buffer, uint32_t length, uint32_t& got) = 0;
    virtual bool writeFile(const uint8_t* data, uint32_t length, uint32_t& written) = 0;
    // Later calls fail; destroying the handle closes it too.
    virtual bool closeHandle() = 0;
    // The system's code of the last failing call (errno on Linux).
    virtual long lastError() const = 0;
};

using LineHandle = std::unique_ptr<SerialLine>;
