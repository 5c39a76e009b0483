#pragma once
// What the report commands share: load an image, analyse it, filter it the way
// the filter pane would, and write a page as Windows-1251 bytes.
#include <optional>
#include <string>
#include <vector>

#include "views/EventFilter.h"
#include "views/ReportOptions.h"

class RecorderSession;

// Loads path into the session and analyses it; returns 0 on success, else the
// exit status (the messages are already on stderr).
int loadAndAnalyse(const std::string& path, RecorderSession& session);

// Loads and analyses options.image and filters its events with options.filter,
// whose range defaults to the span of the events where it was not given.
// Returns 0 or the exit status.
int loadAndFilter(ReportOptions& options, bool fromGiven, bool toGiven, RecorderSession& session);

// Writes utf8 as Windows-1251 to options.out or stdout; returns an exit status.
int writeWindows1251(const std::string& utf8, const std::string& out);
