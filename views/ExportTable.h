#pragma once
// What the exports share: a value as it leaves the program (nothing, a whole
// number, a decimal as the page prints it, or text), records of named values,
// and their two written forms: a CSV field and a JSON value.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

class OutputWriter;

struct ExportValue {
    enum Kind { none, integer, decimal, text };
    Kind kind = none;
    long long number = 0; // integer
    std::string printed;  // decimal: as printed ("0.261", "nan"); text: UTF-8

    static ExportValue of(long long v) { return {integer, v, {}}; }
    static ExportValue ofDecimal(std::string printed) { return {decimal, 0, std::move(printed)}; }
    static ExportValue ofText(std::string s) { return {text, 0, std::move(s)}; }
    // Text, or nothing when s is empty.
    static ExportValue ofTextOrNone(std::string s) {
        return s.empty() ? ExportValue{} : ofText(std::move(s));
    }
};

// Named values in the order they are written.
using ExportRecord = std::vector<std::pair<std::string, ExportValue>>;

// The CSV field's text before quoting: nothing is empty, a decimal as printed
// (empty when it has no value: "nan", "-nan", "inf").
std::string csvText(const ExportValue& v);

// nothing: null; a decimal: the number it prints (null when not finite).
nlohmann::ordered_json jsonValue(const ExportValue& v);
nlohmann::ordered_json jsonObject(const ExportRecord& record);

// JSON text in UTF-8; indent < 0: one line. Bytes that are not UTF-8 (none
// should be) become U+FFFD rather than failing the export.
std::string jsonText(const nlohmann::ordered_json& j, int indent);

// The same JSON as jsonText(jsonValue(v), -1) gives, written as it goes: a
// string with its escapes, a value, an object of one line.
void writeJsonString(OutputWriter& w, std::string_view text);
void writeJsonValue(OutputWriter& w, const ExportValue& v);
// The number that the printed decimal reads as (jsonValue's rule).
void writeJsonDecimal(OutputWriter& w, std::string_view printed);
void writeJsonObject(OutputWriter& w, const ExportRecord& record);
// Whether a name comes twice in record (the library then keeps one member).
bool repeatsAName(const ExportRecord& record);
// The members of record as jsonText(jsonObject(record), 2) writes them inside
// an object whose brace is indented by depth levels of two spaces: each on a
// line of its own, without the braces. record must not repeat a name.
void writeJsonMembers(OutputWriter& w, const ExportRecord& record, int depth);
// A line break and the indent of depth levels.
void writeJsonIndent(OutputWriter& w, int depth);
// An array of objects as jsonText(..., 2) writes it at depth.
void writeJsonObjects(OutputWriter& w, const std::vector<ExportRecord>& records, int depth);

// ISO 8601 local time with its offset: "2024-04-26T17:45:00+03:00", with
// tenths ("…:00.3+03:00") when tenths is 0..9. Empty when seconds has no
// local time.
std::string isoLocalTime(int32_t seconds, int tenths = -1);
// "2024-04-26", local; empty when seconds has no local time.
std::string isoLocalDate(int32_t seconds);
