#pragma once
// The filter options of the report commands (gruvik2-cli journal, graph and the
// program's --print-pdf): IMAGE and the choices the filter pane would make.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "views/EventFilter.h"

struct ReportOptions {
    std::string image;
    std::string out; // empty: stdout
    FilterSettings filter;
    std::vector<std::string> extra; // options the caller handles itself, as name/value pairs
};

// Parses IMAGE and the filter options (--from --to --max --direction --level
// --config --discrete --relays --weights --out). Names in extraNames take one
// value each and are returned in extra. The range defaults are filled in later
// from the events. Returns an error text, or nothing; without imageRequired
// the image may be missing.
std::optional<std::string> parseReportOptions(const std::vector<std::string>& args,
                                              const std::vector<std::string>& extraNames,
                                              ReportOptions& options, bool& fromGiven,
                                              bool& toGiven, bool imageRequired = true);

// A time given as calendar seconds or "DD/MM/YYYY HH:MM:SS" local time.
std::optional<int32_t> parseTimeArgument(const std::string& text);

// Common usage text of the filter options.
extern const char* const filterOptionsUsage;
