#include "common/Csv.h"

#include <cstdio>

namespace {

// A number as the exports write them: sign, digits, a point, an exponent;
// or nan, inf.
bool looksNumeric(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    // Figures the page shows for no value: "nan", "inf".
    if (t.substr(i) == "nan" || t.substr(i) == "inf") return true;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9')
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
        size_t exponent = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == t.size();
}

// Length of the valid UTF-8 sequence at t[i], or 0.
size_t utf8Length(std::string_view t, size_t i) {
    const auto b = static_cast<unsigned char>(t[i]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > t.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return 0;
    const auto b1 = static_cast<unsigned char>(n > 1 ? t[i + 1] : 0);
    if ((n == 2 && b < 0xC2) || (n == 3 && b == 0xE0 && b1 < 0xA0) ||
        (n == 3 && b == 0xED && b1 >= 0xA0) || (n == 4 && b == 0xF0 && b1 < 0x90) ||
        (n == 4 && (b > 0xF4 || (b == 0xF4 && b1 >= 0x90))))
        return 0;
    return n;
}

} // namespace

std::string csvField(std::string_view given) {
    std::string text;
    text.reserve(given.size() + 1);
    // A text a spreadsheet would take for a formula starts with an apostrophe.
    if (!given.empty() && std::string_view("=+-@\t\r").find(given[0]) != std::string_view::npos &&
        !looksNumeric(given))
        text += '\'';
    for (size_t i = 0; i < given.size();) {
        if (size_t n = utf8Length(given, i)) {
            text.append(given.substr(i, n));
            i += n;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned char>(given[i++]));
            text += escaped;
        }
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
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
