#pragma once
// What the report commands share: load an image, analyse it, filter it the way
// the filter pane would, and write a page as Windows-1251 bytes.
#include <optional>
#include <string>
#include <vector>

#include "views/EventFilter.h"

class RecorderSession;

// Loads path into the session and analyses it; returns 0 on success, else the
// exit status (the messages are already on stderr).
int loadAndAnalyse(const std::string& path, RecorderSession& session);

// Command-line options of the report commands.
struct ReportOptions {
    std::string image;
    std::string out; // empty: stdout
    FilterSettings filter;
    std::vector<std::string> extra; // options the caller handles itself, as name/value pairs
};

// Parses IMAGE and the filter options (--from --to --max --direction --level
// --config --discrete --relays --weights --out). Names in extraNames take one
// value each and are returned in extra. The range defaults are filled in later
// from the events (applyDefaults). Returns an error text, or nothing.
std::optional<std::string> parseReportOptions(const std::vector<std::string>& args,
                                              const std::vector<std::string>& extraNames,
                                              ReportOptions& options, bool& fromGiven,
                                              bool& toGiven);

// Loads and analyses options.image and filters its events with options.filter,
// whose range defaults to the span of the events where it was not given.
// Returns 0 or the exit status.
int loadAndFilter(ReportOptions& options, bool fromGiven, bool toGiven, RecorderSession& session);

// A time given as calendar seconds or "DD/MM/YYYY HH:MM:SS" local time.
std::optional<int32_t> parseTimeArgument(const std::string& text);

// Writes utf8 as Windows-1251 to options.out or stdout; returns an exit status.
int writeWindows1251(const std::string& utf8, const std::string& out);

// Common usage text of the filter options.
extern const char* const filterOptionsUsage;
