#pragma once
// Events as data for spreadsheets and programs: one CSV row or JSON object per
// event with its journal time, ISO time, importance, class, plain-text
// description and the record's own fields.
#include <string>
#include <vector>

#include "views/ExportTable.h"

class OutputWriter;
class eventList;
class genericParser;

// The columns in order: time, iso_time, importance, class, description, then
// every field a record type gives (empty in the rows of the others).
const std::vector<std::string>& eventExportColumns();

// The event's values: the five every event has, then its own fields.
ExportRecord eventRecord(const genericParser& e);

// Every event of events, in order; the events a filtered list refers to (the
// list itself, which already is one pointer an event).
std::vector<const genericParser*> allEvents(const eventList& events);
const std::vector<const genericParser*>&
listedEvents(const std::vector<const genericParser*>& filtered);

// A header row and a row per event (RFC 4180, UTF-8).
std::string eventsCsv(const std::vector<const genericParser*>& events);
// An array of objects, one a line; an object has the five common fields and
// only the fields its record has.
std::string eventsJson(const std::vector<const genericParser*>& events);

// The same, written as they go.
void writeEventsCsv(OutputWriter& w, const std::vector<const genericParser*>& events);
void writeEventsJson(OutputWriter& w, const std::vector<const genericParser*>& events);
