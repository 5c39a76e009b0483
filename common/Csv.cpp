#include "common/Csv.h"

#include "common/OutputWriter.h"

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void appendCsvRecord(std::string& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

void writeCsvRecord(OutputWriter& w, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) w.put(',');
        const std::string& text = fields[i];
        bool plain = true;
        for (char c : text)
            if (c == ',' || c == '"' || c == '\r' || c == '\n') {
                plain = false;
                break;
            }
        if (plain) {
            w.append(text);
            continue;
        }
        w.put('"');
        for (char c : text) {
            if (c == '"') w.put('"');
            w.put(c);
        }
        w.put('"');
    }
    w.append("\r\n");
}

namespace {

// "-12.5", "0.193": what a spreadsheet takes as a number with a fraction.
bool decimalNumber(std::string_view t) {
    size_t i = t.size() > 1 && t[0] == '-' ? 1 : 0;
    size_t digitsBefore = 0, digitsAfter = 0, points = 0;
    for (; i < t.size(); ++i) {
        if (t[i] == '.')
            ++points;
        else if (t[i] >= '0' && t[i] <= '9')
            ++(points ? digitsAfter : digitsBefore);
        else
            return false;
    }
    return points == 1 && digitsBefore && digitsAfter;
}

void appendField(std::string& out, std::string_view text) {
    if (text.find_first_of(";\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

std::string csvInForm(std::string rfc, CsvForm form) {
    if (form == CsvForm::rfc4180) return rfc;
    std::string out = "\xEF\xBB\xBF";
    out.reserve(rfc.size() + 3);
    std::string field;
    size_t i = 0;
    while (i < rfc.size()) {
        // One field: quoted or as it stands.
        field.clear();
        if (rfc[i] == '"') {
            for (++i; i < rfc.size(); ++i) {
                if (rfc[i] == '"') {
                    if (i + 1 < rfc.size() && rfc[i + 1] == '"')
                        ++i;
                    else {
                        ++i;
                        break;
                    }
                }
                field += rfc[i];
            }
        } else {
            const size_t end = rfc.find_first_of(",\r\n", i);
            field.assign(rfc, i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? rfc.size() : end;
        }
        if (decimalNumber(field)) field[field.find('.')] = ',';
        appendField(out, field);
        if (i < rfc.size() && rfc[i] == ',') {
            out += ';';
            ++i;
        } else if (i < rfc.size()) {
            // The record's end: CR LF (a lone LF is taken as the end too).
            if (rfc[i] == '\r') ++i;
            if (i < rfc.size() && rfc[i] == '\n') ++i;
            out += "\r\n";
        }
    }
    return out;
}
