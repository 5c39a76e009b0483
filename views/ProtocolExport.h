#pragma once
// The protocol's figures as data: the period, the recorder, the passport, the
// cycle table of every group and the whole crane, and the mechanisms'
// operating times, with the numbers the page shows to the places it shows
// them.
#include <string>
#include <vector>

#include "views/ExportTable.h"

class OutputWriter;
class RecorderSession;

struct ProtocolExport {
    // protocol_date, first_event, last_event, observed_seconds, serial_number,
    // firmware, commissioning_date, installation_date, service_life_years,
    // service_life_end, passport_group, text. Without events the period and dates are none.
    ExportRecord general;
    // One per column of the cycle table, the groups and then the crane:
    // group (0: the crane), label, cycles_total, cycles_overload,
    // cycles_q1..q4, kr, lifted_t, loading_mode, utilisation_class,
    // classification_group, used_resource_percent, used_to_date_percent,
    // exhaustion_date (views/ResourceFigures.h). Empty without events.
    // The figures are none when the counters were never written, and a
    // decimal is none when it is not a finite number.
    std::vector<ExportRecord> columns;
    // number, name, operating_seconds, operating_time. Empty without events;
    // the times are none when the counters were never written.
    std::vector<ExportRecord> mechanisms;
    // False with columns when the counters region holds no written page.
    bool countersWritten = false;
};

// Why a protocol has no figures although it has events.
extern const char* const countersNotWrittenText;

ProtocolExport protocolExport(const RecorderSession& session);

// One object: the general fields, then "columns" and "mechanisms" arrays.
std::string protocolJson(const ProtocolExport& p);
// Rows of item, column, value: the general fields with an empty column, the
// cycle table's figures with the column's label, the mechanisms' values with
// the mechanism's number.
std::string protocolCsv(const ProtocolExport& p);
// The same, written as they go.
void writeProtocolJson(OutputWriter& w, const ProtocolExport& p);
void writeProtocolCsv(OutputWriter& w, const ProtocolExport& p);
