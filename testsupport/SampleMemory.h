#pragma once
// A small recorder memory that reads like a real one: a working week of a
// two-group crane (power on and off each day, lifting cycles with group and
// sensor loads, relay and siren states, discrete inputs, an overload, a sensor
// failure, the reader device, some configuration changes) and a counters page
// with plausible figures. Times are recorder stamps, read as local time.
#include "testsupport/ImageBuilder.h"

void synthesizeSampleMemory(RecorderImage& image);

// Texts the sample's journal shows at the default level and with everything shown.
namespace sample {
extern const char* const firstPowerOn;  // a row at every level
extern const char* const overloadStart; // removed at level 5 only
extern const char* const sensorLoadRow; // shown at level 1 only
} // namespace sample
