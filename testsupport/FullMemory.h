#pragma once
// A recorder memory as full as it gets: every general-log page written with 65
// records and every settings slot written, both rings wrapped, the settings
// changes spread over the same weeks as the general log, and the recorder's
// clock set back and forward now and then. The same seed gives the same bytes.
#include <cstdint>

class RecorderImage;
class RecorderSession;
struct FilterSettings;

void synthesizeFullMemory(RecorderImage& image, uint32_t seed = 1);

// For the benchmarks: one session of the process holding the full memory,
// analysed when first asked for.
RecorderSession& analysedFullMemory();
// The filter the window applies after the analysis of that session, or with
// everything the «everything» one: level 1, every box, no row limit.
FilterSettings fullMemoryFilter(bool everything);
