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
