#include "views/EventExport.h"

#include "common/Csv.h"
#include "common/Format.h"
#include "common/OutputWriter.h"
#include "events/EventFields.h"
#include "events/EventTime.h"
#include "events/eventList.h"
#include "events/genericParser.h"

namespace {

// Into an ExportRecord, in the order the record gives them.
class RecordSink : public FieldSink {
public:
    explicit RecordSink(ExportRecord& r) : r_(r) {}
    void integer(const char* name, long long v) override {
        r_.emplace_back(name, ExportValue::of(v));
    }
    void decimal(const char* name, double v, int places) override {
        r_.emplace_back(name, ExportValue::ofDecimal(fixedDecimal(v, places)));
    }
    void text(const char* name, const std::string& v) override {
        r_.emplace_back(name, ExportValue::ofText(v));
    }

private:
    ExportRecord& r_;
};

// The column of a field's name; the names are few and short.
size_t columnOf(const char* name) {
    const auto& columns = eventExportColumns();
    for (size_t i = 5; i < columns.size(); ++i)
        if (columns[i] == name) return i;
    for (size_t i = 0; i < 5; ++i)
        if (columns[i] == name) return i;
    return columns.size();
}

// Into the cells of one CSV row.
class CellSink : public FieldSink {
public:
    explicit CellSink(std::vector<std::string>& cells) : cells_(cells) {}
    void integer(const char* name, long long v) override { put(name, std::to_string(v)); }
    void decimal(const char* name, double v, int places) override {
        put(name, fixedDecimal(v, places));
    }
    void text(const char* name, const std::string& v) override { put(name, v); }

private:
    void put(const char* name, std::string v) {
        const size_t column = columnOf(name);
        if (column < cells_.size()) cells_[column] = std::move(v);
    }
    std::vector<std::string>& cells_;
};

} // namespace

const std::vector<std::string>& eventExportColumns() {
    static const std::vector<std::string> columns = {
        "time",      "iso_time",    "importance", "class",   "description", "group",
        "relay",     "sensor",      "value",      "on",      "state",       "cell",
        "old_value", "new_value",   "key_cell",   "console", "inserted",    "reset_flags",
        "channels",  "record_type", "payload"};
    return columns;
}

ExportRecord eventRecord(const genericParser& e) {
    ExportRecord r;
    r.emplace_back("time", ExportValue::ofText(eventTimeText(e.seconds, e.tenths)));
    r.emplace_back("iso_time", ExportValue::ofText(isoLocalTime(e.seconds, e.tenths)));
    r.emplace_back("importance", ExportValue::of(e.importance));
    r.emplace_back("class", ExportValue::ofText(e.className()));
    r.emplace_back("description", ExportValue::ofText(e.plainText()));
    RecordSink sink(r);
    e.fields(sink);
    return r;
}

std::vector<const genericParser*> allEvents(const eventList& events) {
    std::vector<const genericParser*> v;
    for (const genericParser* e = events.front(); e; e = eventList::after(e))
        v.push_back(e);
    return v;
}

const std::vector<const genericParser*>&
listedEvents(const std::vector<const genericParser*>& filtered) {
    return filtered;
}

void writeEventsCsv(OutputWriter& w, const std::vector<const genericParser*>& events) {
    writeCsvRecord(w, eventExportColumns());
    std::vector<std::string> cells(eventExportColumns().size());
    for (const genericParser* e : events) {
        for (auto& c : cells)
            c.clear();
        cells[0] = eventTimeText(e->seconds, e->tenths);
        cells[1] = isoLocalTime(e->seconds, e->tenths);
        cells[2] = std::to_string(e->importance);
        cells[3] = e->className();
        cells[4] = e->plainText();
        CellSink sink(cells);
        e->fields(sink);
        writeCsvRecord(w, cells);
    }
}

namespace {

// A record's own fields as the members of its JSON object.
class JsonFieldSink : public FieldSink {
public:
    explicit JsonFieldSink(OutputWriter& w) : w_(w) {}
    void integer(const char* name, long long v) override {
        key(name);
        w_.number(v);
    }
    void decimal(const char* name, double v, int places) override {
        key(name);
        writeJsonDecimal(w_, fixedDecimal(v, places));
    }
    void text(const char* name, const std::string& v) override {
        key(name);
        writeJsonString(w_, v);
    }

private:
    void key(const char* name) {
        w_.put(',');
        writeJsonString(w_, name);
        w_.put(':');
    }
    OutputWriter& w_;
};

} // namespace

void writeEventsJson(OutputWriter& w, const std::vector<const genericParser*>& events) {
    w.put('[');
    const char* separator = "\n";
    for (const genericParser* e : events) {
        w.append(separator);
        separator = ",\n";
        w.append("{\"time\":");
        writeJsonString(w, eventTimeText(e->seconds, e->tenths));
        w.append(",\"iso_time\":");
        writeJsonString(w, isoLocalTime(e->seconds, e->tenths));
        w.append(",\"importance\":");
        w.number(e->importance);
        w.append(",\"class\":");
        writeJsonString(w, e->className());
        w.append(",\"description\":");
        writeJsonString(w, e->plainText());
        JsonFieldSink fields(w);
        e->fields(fields);
        w.put('}');
    }
    w.append("\n]\n");
}

std::string eventsCsv(const std::vector<const genericParser*>& events) {
    std::string out;
    out.reserve(events.size() * 120 + 256);
    StringSink sink(out);
    OutputWriter w(sink);
    writeEventsCsv(w, events);
    w.flush();
    return out;
}

std::string eventsJson(const std::vector<const genericParser*>& events) {
    std::string out;
    StringSink sink(out);
    OutputWriter w(sink);
    writeEventsJson(w, events);
    w.flush();
    return out;
}
