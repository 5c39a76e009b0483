#pragma once
// The demo recorder: the memory a service engineer reads from the load limiter
// of a double-cantilever gantry crane (main hoist 20 t, auxiliary hoist 5 t,
// load groups 1 and 2) at a steel stockyard, on Friday 26 April 2024, a year
// and a half after the recorder was installed.
//
// Everything in it follows from one simulated history: two shifts a day with a
// lunch break, lifts whose loads rise, sway and fall, overloads stopped by the
// relays with the siren, loads carried onto the cantilevers, the mechanisms'
// discrete channels, a force sensor that fails on 9 April and is repaired the
// next day, service visits with registered keys and one with a stranger's key.
// The general log has wrapped; the counters hold every cycle since the
// installation. The same seed gives the same bytes.
#include <cstdint>
#include <vector>

#include "image/Stamp.h"

class RecorderImage;

namespace demo {

// Columns 0 and 1 are load groups 1 and 2, column 2 the crane as a whole.
inline constexpr int32_t NominalKg[3] = {20000, 5000, 20000};

// The day the general log started being kept in detail; the ring has wrapped
// past it since.
inline const Stamp DetailedLogStart(2024, 2, 26, 0, 0, 0);

// The general log has been kept in detail for the 60 days before a reading.
inline constexpr int DetailedLogDays = 60;

struct Day {
    int year, month, day;
};
// The readings of the crane's life: every three months since the
// installation (4 October 2022), then the demo's own day, 26 April 2024.
std::vector<Day> seriesDays();

} // namespace demo

void synthesizeDemoMemory(RecorderImage& image, uint32_t seed = 1);
// The same crane read after the shift of an earlier day: the counters and the
// logs its recorder held then (the same history up to that day, so the
// counters of later readings are never smaller). The last of the series is
// the demo memory itself.
void synthesizeDemoMemoryOn(RecorderImage& image, const demo::Day& day, uint32_t seed = 1);
