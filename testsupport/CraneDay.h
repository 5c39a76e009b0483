#pragma once
// A recorder's day on a working crane, to look at the pages with data that
// resembles a real one: power on in the morning; lifts of the main and the
// auxiliary hoist with cycle starts and stops, loads rising and falling in
// quick slants and in steps of a few seconds, the overload relay and the
// siren at the heaviest lifts; console mode for a while; the hoist and trolley
// channels; a lunch break with the power off; power off in the evening.
// Loads are kilograms of groups 1 and 2 and their total; the header is the
// builder's default (two groups, three relays, six channels).
#include "testsupport/ImageBuilder.h"

// Writes general-log pages for 08:00 to 17:00 of that day (local time).
void writeCraneDay(ImageBuilder& builder, int year, int month, int day);
