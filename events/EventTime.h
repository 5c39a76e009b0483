#pragma once
// An event's time as the program shows it: "DD/MM/YYYY HH:MM:SS.T", broken
// down in local time (TZ applies).
#include <cstdint>
#include <string>

std::string eventTimeText(int32_t seconds, uint8_t tenths);
