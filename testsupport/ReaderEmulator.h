#pragma once
// The reader device's side of the wire protocol on a pseudo-terminal, serving
// reads and writes from an in-memory recorder image, with switches for the
// faults a real device or line shows. Used by the reader-emulator tool and,
// in a thread, by the link tests.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "device/Crc16.h"
#include "image/RecorderImage.h"

struct EmulatorFaults {
    // Pages sent with a damaged byte (the CRC then does not match): the first
    // time they are sent, or every time.
    std::set<uint32_t> badCrcOnce{}, badCrcAlways{};
    // Pages answered with this status byte instead of the protocol's.
    std::map<uint32_t, uint8_t> badStatus{};
    bool refuseWrites = false;
    // 'E' answered 'n': the recorder is not reachable, the device's own memory is.
    bool internalMemory = false;
    // Replacement answers to the commands.
    std::optional<uint8_t> answerE{}, answerI{}, answerC{}, answerM{}, answerW{};
    // After this many page requests of a session the device answers nothing.
    std::optional<uint32_t> silentAfter{};
    // Bytes in both directions paced at this line rate (10 bits a byte); 0: as fast as possible.
    uint32_t lineRate = 0;
};

// Parses "3,10-12,100" into page numbers; false on bad syntax.
bool parsePageList(const std::string& text, std::set<uint32_t>& pages);

class ReaderEmulator {
public:
    struct Stats {
        std::string commands;                 // command bytes in arrival order
        std::vector<uint32_t> requestedPages; // page requests, reads and writes
        uint32_t pagesSent = 0, pagesSame = 0, pagesStored = 0, pagesRefused = 0;
        uint32_t sessions = 0; // 'M' or 'W' answered 'R'
    };

    // memory is the recorder's (and the device's own) memory; writes land in it.
    ReaderEmulator(RecorderImage& memory, EmulatorFaults faults);
    ~ReaderEmulator();
    ReaderEmulator(const ReaderEmulator&) = delete;
    ReaderEmulator& operator=(const ReaderEmulator&) = delete;

    // The path of the pseudo-terminal's device side, for the program to open.
    const std::string& path() const { return path_; }

    // Serves until stop(); onSave runs (in the serving thread) for each requestSave().
    void serve(const std::function<void()>& onSave = {});
    // Both safe from another thread and from a signal handler.
    void stop();
    void requestSave();

    Stats stats() const;

private:
    enum class Mode { Idle, Read, Write };
    enum class Wait { Data, Timeout, Wake };

    Wait waitInput(int timeoutMs);
    bool takeBytes(uint8_t* out, size_t n, int timeoutMs);
    void send(const uint8_t* data, size_t n);
    void sendByte(uint8_t b) { send(&b, 1); }
    void paceReceived(size_t n);
    void paceOn(size_t n);
    void command(uint8_t b);
    void pageRequest(uint8_t first);
    void endSession();

    RecorderImage& memory_;
    EmulatorFaults faults_;
    Crc16 crc_;
    int master_ = -1;
    int wake_[2] = {-1, -1};
    std::string path_;
    std::vector<uint8_t> input_;
    size_t inputPos_ = 0;
    Mode mode_ = Mode::Idle;
    uint32_t sessionPages_ = 0;
    std::set<uint32_t> damagedOnce_;
    bool stopping_ = false;
    const std::function<void()>* onSave_ = nullptr;
    std::chrono::steady_clock::time_point lineFree_{};
    mutable std::mutex mutex_;
    Stats stats_;
};
