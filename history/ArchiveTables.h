#pragma once
// The archive's lists as export records, for the command line's CSV, JSON
// and text and for anything else that shows them: every record of a table
// has the same names in the same order.
#include <string>
#include <vector>

#include "history/Archive.h"
#include "views/ExportTable.h"

class OutputWriter;

// What a period's state reads as: "", "известен", "нет данных: счётчики
// сброшены", "нет данных".
std::string periodStateText(Period::State state);

// serial_number, reading, file, sha256, cycles_total, used_to_date_percent,
// exhaustion_date, service_life_end (the crane as a whole).
std::vector<ExportRecord> readingsTable(const std::vector<Reading>& readings);

// One record per reading and item: the groups, the crane, then the
// mechanisms. reading, file, item, the reading's figures to date (cycles_total,
// cycles_overload, cycles_q1..q4, kr, lifted_t, used_to_date_percent,
// exhaustion_date, operating_seconds), the period against the reading before
// (period, period_cycles_total, period_cycles_overload, period_cycles_q1..q4,
// period_kr, period_lifted_t, period_operating_seconds) and the events of the
// period (overload_starts, sensor_failures, power_ons, events_complete).
// Figures an item does not have, or a period without figures, are none.
std::vector<ExportRecord> historyTable(const std::vector<HistoryRow>& rows);

// The same, one record per reading for the crane as a whole: reading,
// cycles_total, period_cycles_total, kr, period_kr, overload_starts,
// used_to_date_percent, exhaustion_date, period.
std::vector<ExportRecord> historySummaryTable(const std::vector<HistoryRow>& rows);

// serial_number, readings, last_reading, used_to_date_percent (the largest
// of the columns), exhaustion_date (the soonest), service_life_end, the six
// flags as 0/1 (used_two_thirds, life_end_soon, exhaustion_soon,
// new_overloads, new_sensor_failures, stale), flags (their texts, "; "),
// file (the latest image).
std::vector<ExportRecord> fleetTable(const std::vector<FleetRow>& rows);

// The names of the records as a header, then a line per record.
void writeTableCsv(OutputWriter& w, const std::vector<ExportRecord>& records);
// An array of objects.
void writeTableJson(OutputWriter& w, const std::vector<ExportRecord>& records);
// Columns padded to their widest cell (in characters), two spaces apart,
// the names as the first line.
void writeTableText(OutputWriter& w, const std::vector<ExportRecord>& records);
