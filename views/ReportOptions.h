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
    std::string out;       // empty: stdout
    bool outGiven = false; // --out, a file or "-"
    FilterSettings filter;
    std::vector<std::string> extra; // options the caller handles itself, as name/value pairs
};

// Parses IMAGE and the filter options (--from --to --max --direction --level
// --config --discrete --relays --weights --out; "--out -" is stdout) with
// getopt_long's conventions (parseCommandLine); --help and --version are the
// caller's to look for first (helpRequested). Names in extraNames take one
// value each and are returned in extra. The range defaults are filled in later
// from the events. Returns an error text, or nothing; without imageRequired
// the image may be missing.
std::optional<std::string> parseReportOptions(const std::vector<std::string>& args,
                                              const std::vector<std::string>& extraNames,
                                              ReportOptions& options, bool& fromGiven,
                                              bool& toGiven, bool imageRequired = true);

// A time given as "DD/MM/YYYY HH:MM:SS" or "DD.MM.YYYY HH:MM:SS" local time,
// ISO 8601 "YYYY-MM-DDTHH:MM:SS" (local, or with Z or an offset such as
// +03:00), any of these dates alone (local midnight), or calendar seconds.
// Nothing for any other text and for a date or time that does not exist
// (31/02, 24:00, a time the clocks skip), or lies beyond 32-bit seconds.
std::optional<int32_t> parseTimeArgument(const std::string& text);
// The accepted forms, for messages.
extern const char* const timeArgumentForms;

// Common usage text of the filter options.
extern const char* const filterOptionsUsage;
// Their lines in --help, the same for the window and the command line.
extern const char* const filterOptionsHelp;
