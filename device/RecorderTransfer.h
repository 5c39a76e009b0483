#pragma once
// The two commands that move recorder memory through the reader device. Both
// report their outcome to the user through the LinkUi themselves and never
// throw; the report they return lets a caller act on the outcome.
#include <cstdint>
#include <string>

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
    bool saved = false; // the image file was written
};

struct WriteReport {
    LinkOutcome outcome = LinkOutcome::Failed;
    uint32_t pagesWritten = 0;
    uint32_t pagesSkipped = 0;
    uint32_t pagesRejected = 0;
};

inline constexpr char kLinkPicture[] = "bmps/connect.160.png";

// Asks for the image file (remembered in lastDir and filePath), loads it
// (creating it erased when missing), reads every page the device's copy
// differs in, and saves the file when a page arrived. A failed or cancelled
// read leaves the image reset and the file as it was.
ReadReport readRecorder(LinkContext& link, RecorderImage& image, Crc16& crc, std::string& lastDir,
                        std::string& filePath);

// Writes the image's writable area into the recorder; changes neither the
// image nor any file.
WriteReport writeRecorder(LinkContext& link, const RecorderImage& image, Crc16& crc);
