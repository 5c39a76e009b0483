#pragma once
// The two commands that move recorder memory through the reader device. Both
// report their outcome to the user through the LinkUi themselves and never
// throw; the report they return lets a caller act on the outcome.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/BridgeLibrary.h"
#include "device/Crc16.h"
#include "device/LinkUi.h"
#include "device/ProcessPriority.h"

class RecorderImage;

// What the commands borrow from the program for their run.
struct LinkContext {
    BridgeLibrary& bridges;
    ProcessPriority& priority;
    LinkUi& ui;
};

enum class LinkOutcome { Done, Cancelled, Failed };

struct ReadReport {
    LinkOutcome outcome = LinkOutcome::Failed;
    uint32_t pagesRead = 0;
    uint32_t pagesSkipped = 0;
    uint32_t pagesRepeated = 0;
    // Skipped pages asked for again because the rings made them suspect.
    uint32_t pagesRechecked = 0;
    const char* source = nullptr; // the memory read from, once the device named it
    bool saved = false;           // the image file was written
};

// The counters and the source as the read's progress shows them (two lines).
std::string readCountersText(const ReadReport& report);

struct WriteReport {
    LinkOutcome outcome = LinkOutcome::Failed;
    uint32_t pagesWritten = 0;
    uint32_t pagesSkipped = 0;
    uint32_t pagesRejected = 0;
    // Pages refused, left unanswered or not confirmed; the write then failed.
    std::vector<uint32_t> pagesNotWritten{};
};

// The counters as the write's progress shows them.
std::string writeCountersText(const WriteReport& report);

inline constexpr char kLinkPicture[] = "bmps/connect.160.png";

// Loads the image file filePath (a missing one as an erased image), makes
// sure it can be written before the device is opened, reads every
// page the device's copy differs in, and saves the file when a page arrived.
// A failed or cancelled read leaves the image reset and the file as it was; a
// file that was missing is still missing.
ReadReport readRecorder(LinkContext& link, RecorderImage& image, Crc16& crc,
                        const std::string& filePath);

// Asked when the recorder's serial number (first) differs from the image's
// (second); true writes all the same.
using SerialMismatch = std::function<bool(const std::string&, const std::string&)>;

// Compares the recorder's serial number with that of the image (located), then
// writes the image's writable area into the recorder and asks for every
// page sent again to confirm it. A page refused, unanswered or not confirmed
// fails the write, and the message says the passport is now partly written.
// Changes neither the image nor any file.
WriteReport writeRecorder(LinkContext& link, const RecorderImage& image, Crc16& crc,
                          const SerialMismatch& onSerialMismatch = {});
