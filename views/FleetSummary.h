#pragma once
// One row per recorder image for a round of visits: the recorder, the
// passport, the span of the events and the crane's figures from the protocol,
// with the counts of overloads, sensor failures and power-ons among the
// events. Each image is loaded and analysed in a session of its own, on as
// many threads as asked; an image that cannot be loaded or is refused gets a
// row with its error text and the batch goes on; so does one whose counters
// were never written (its figures empty, the reason in its error column).
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "views/ExportTable.h"

class OutputWriter;
// file, error, serial_number, firmware, passport_group, commissioning_date,
// installation_date, first_event, last_event, cycles_total, cycles_overload,
// kr, loading_mode, utilisation_class, classification_group,
// used_resource_percent, used_to_date_percent, exhaustion_date,
// service_life_end, overloads, sensor_failures, power_ons.
const std::vector<std::string>& summaryColumns();

struct FleetSummary {
    std::vector<ExportRecord> rows; // in the order of the paths, every column in each
    size_t failed = 0;              // rows with an error
};

// workers 0: one per core. progress(done, total), when given, is called on
// the calling thread each time an image is finished. The analyses report
// their failures into the rows, not into the error log.
FleetSummary summarizeImages(const std::vector<std::string>& paths, unsigned workers = 0,
                             const std::function<void(size_t, size_t)>& progress = {});

std::string summaryCsv(const FleetSummary& summary);
// An array of objects with every column (null where a row has nothing).
std::string summaryJson(const FleetSummary& summary);
// The same, written as they go.
void writeSummaryCsv(OutputWriter& w, const FleetSummary& summary);
void writeSummaryJson(OutputWriter& w, const FleetSummary& summary);
