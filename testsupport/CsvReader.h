#pragma once
// Reads CSV as RFC 4180 defines it, for tests that check what the exports
// wrote: records ended by CR LF (a bare LF is taken too), quoted fields with
// doubled quotes and line breaks inside. Throws std::runtime_error on text
// that is not CSV (a quote inside an unquoted field, an unclosed quote).
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::vector<std::string>> readCsv(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string field;
    size_t i = 0;
    bool pending = false; // a record has begun
    while (i < text.size()) {
        pending = true;
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size()) throw std::runtime_error("unclosed quote");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                throw std::runtime_error("text after a closing quote");
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') throw std::runtime_error("quote in an unquoted field");
                field += text[i++];
            }
        }
        row.push_back(std::move(field));
        field.clear();
        if (i < text.size() && text[i] == ',') {
            ++i;
            if (i == text.size()) row.emplace_back();
            continue;
        }
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
        rows.push_back(std::move(row));
        row.clear();
        pending = false;
    }
    if (pending) rows.push_back(std::move(row));
    return rows;
}
