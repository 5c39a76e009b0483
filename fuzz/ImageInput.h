#pragma once
// How a fuzzer input becomes a recorder image and the choices of one pipeline
// run. A whole image is 4 MB of mostly erased pages; the input carries only
// the pages the decoders read, so that mutations land on records:
//
//   control block (ControlSize bytes, read by readControl)
//   general-log pages 0 to 3 of the region
//   settings-log pages 0 and 1 of the region
//   header page 512
//   the first counters page
//   writable page 4 (dates, service life, names, group), then the first
//   TextPrefix bytes of the text block
//   the last settings-log page
//   the last two pages of the memory (the general log's end)
//   the last counters page
//
// A short input leaves the rest erased. Unless the control block asks for the
// raw header, the header's counts are made plausible (six discrete channels,
// default region sizes) so that the analysis is not refused; the raw header
// takes counts and the counters page count as they are. The fill modes write
// unbroken sequence-number chains over whole regions, so that full rings and
// their wrap are reached too.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "views/EventFilter.h"

class RecorderImage;

namespace fuzz {

constexpr size_t ControlSize = 31;
constexpr size_t TextPrefix = 64;
// With its 13 pages an input needs at most 6,959 bytes (scripts/fuzz.sh: -max_len=8192).

// Control byte 0.
enum Mode : uint8_t {
    rawHeader = 0x01,
    fillGeneral = 0x02,
    fillCounters = 0x04,
    fillSettings = 0x08,
    moscowTime = 0x10,  // else UTC
    linearCheck = 0x20, // compare the order with linear insertion
    progress = 0x40,    // the analysis and the journal report progress
    cancel = 0x80,      // with progress: cancelled at the (1 + first action's arg)th update
};

struct GraphAction {
    uint8_t op;  // GraphOp
    uint8_t arg; // 0..15
};
enum GraphOp : uint8_t {
    opLineUp,
    opLineDown,
    opPageUp,
    opPageDown,
    opTop,
    opBottom,
    opThumb,
    opOther,
    opScale,
    opSearchEarlier,
    opSearchLater,
    opPaint,
    opCount
};

struct Control {
    uint8_t mode = 0;
    uint8_t filterBits = 0; // direction, detail, config, discrete, relays
    uint8_t weightBits = 0; // weights, max-count choice
    int scaleIndex = 3;     // -1..11 (11 lies outside the table)
    int width = 800, height = 600;
    int marginX = 0, marginY = 0;
    uint8_t rangeCutStart = 0, rangeCutEnd = 0; // 256ths of the span cut off each end
    // Fill modes: the first sequence number, the chain's length (general log:
    // 255ths of the region; counters: pages; settings: slots, 255 for the
    // whole ring) and one unit
    // (at breakAt 255ths of the length; 0: none) that carries breakValue instead.
    struct Chain {
        uint8_t first = 0;
        uint32_t length = 0;
        uint8_t breakAt = 0, breakValue = 0;
    };
    Chain general, counters, settings;
    std::array<GraphAction, 5> actions{};
};

Control readControl(const uint8_t* data, size_t size);

// The filter settings the control block asks for, over events in
// [minSeconds, maxSeconds).
FilterSettings filterFrom(const Control& c, int32_t minSeconds, int32_t maxSeconds);

// Puts the input into image. The image must hold what the previous call left
// (or be new): only what that call wrote is erased again, unless the region
// sizes moved, which takes a full reset. Leaves the heads located.
class ImageInput {
public:
    Control apply(RecorderImage& image, const uint8_t* data, size_t size);

private:
    void eraseTouched(RecorderImage& image);
    std::vector<uint32_t> touched_; // whole pages written or handed to the pipeline
};

// The input that reproduces the decoded pages of image (for seeds): the
// inverse of apply for an image whose pages outside the mapped ones are erased.
std::vector<uint8_t> encodeInput(const RecorderImage& image,
                                 const std::array<uint8_t, ControlSize>& control);

} // namespace fuzz
