#pragma once
// The protocol of the crane's usage conditions: general data, cycle counts per
// load group from the newest counters page, the classification computed from
// them, and the mechanisms' operating times. Built as HTML (UTF-8).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class RecorderImage;
class eventList;

// What the protocol takes from the event list: nothing when it is empty.
struct ProtocolPeriod {
    int32_t lastEventSeconds; // the last event of the list
    int32_t endSeconds;       // one second after it: the protocol's date
};

// The period of events' last event; nothing when events is empty.
std::optional<ProtocolPeriod> protocolPeriodOf(const eventList& events);

// One column of the cycle table (a group, or the crane as a whole last).
struct ProtocolColumn {
    float spectrumSum;       // A0
    float liftedKg;          // A1
    uint32_t modeCycles[4];  // A2..A5: cycles in Q1..Q4
    uint32_t overloadCycles; // A6
    uint32_t total;
    float kr;
    unsigned q, u, a;
    float usedResource; // percent, at most 100
};

struct ProtocolFigures {
    // False when the counters region holds no written page: the columns and
    // operating times then hold erased bytes, not figures, and are shown as
    // noData.
    bool countersWritten;
    double observedSeconds;
    float lifeFactor;
    std::vector<ProtocolColumn> columns;    // groupCount + 1
    std::vector<uint32_t> operatingSeconds; // one per mechanism
};

// The classification arithmetic on its own, for the page and for tests.
ProtocolFigures computeProtocol(const RecorderImage& image, const ProtocolPeriod& period);

// What stands for the figures of counters never written.
extern const char* const noDataText; // "нет данных"

// The figures as the page prints them, for the page and the exports alike; the
// decimal point is a point whatever the C library's locale says.
std::string countText(uint32_t count);       // "%lu"
std::string krText(float kr);                // "%.3f"
std::string liftedTonnesText(float kg);      // "%.1f" of kg / 1000
std::string usedResourceText(float percent); // "%.0f", without the "%"
// Operating time as shown, e.g. "3599 сек", "1.00 ч", "10 ч".
std::string operatingTimeShown(uint32_t seconds);

// Operating time cell text, e.g. "3599 сек</TD>", "1.00 ч</TD>", "10 ч</TD>".
std::string operatingTimeText(uint32_t seconds);

// The document; an empty string when period is empty (no events).
std::string buildProtocolHtml(const RecorderImage& image,
                              const std::optional<ProtocolPeriod>& period);
