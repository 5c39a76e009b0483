#include "common/Csv.h"

#include <algorithm>
#include <cstdio>

#include "common/OutputWriter.h"

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

// Where the first of a, b, c, d is in text from i on, or text's size: a
// plain loop (find_first_of asks memchr once a byte).
size_t firstOf(std::string_view text, size_t i, char a, char b, char c, char d) {
    for (; i < text.size(); ++i) {
        const char x = text[i];
        if (x == a || x == b || x == c || x == d) return i;
    }
    return text.size();
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
    if (firstOf(text, 0, ',', '"', '\r', '\n') == text.size()) return text;
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

namespace {

// text as csvField writes it, straight into w: one look at each byte, and
// the text in as few pieces as its quotes allow.
void writeCsvField(OutputWriter& w, std::string_view text) {
    bool quote = false;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (!(c & 0x80)) {
            quote = quote || c == ',' || c == '"' || c == '\r' || c == '\n';
            ++i;
        } else if (static_cast<unsigned char>(c) >= 0xC2 && static_cast<unsigned char>(c) < 0xE0 &&
                   i + 1 < text.size() && (text[i + 1] & 0xC0) == 0x80) {
            i += 2; // a letter of two bytes, as Cyrillic ones are
        } else if (const size_t n = utf8Length(text, i)) {
            i += n;
        } else {
            w.append(csvField(text)); // bytes to escape: rare enough to take the long way
            return;
        }
    }
    if (quote) w.put('"');
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos &&
        !looksNumeric(text))
        w.put('\'');
    if (!quote) {
        w.append(text);
        return;
    }
    for (size_t from = 0; from < text.size();) {
        const size_t q = std::min(text.find('"', from), text.size());
        w.append(text.substr(from, q - from));
        if (q < text.size()) w.append("\"\"");
        from = q + 1;
    }
    w.put('"');
}

} // namespace

void writeCsvRecord(OutputWriter& w, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) w.put(',');
        writeCsvField(w, fields[i]);
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
    if (firstOf(text, 0, ';', '"', '\r', '\n') == text.size()) {
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
    std::string out;
    out.reserve(rfc.size() + 3);
    StringSink sink(out);
    RussianCsvSink russian(sink);
    russian.write(rfc.data(), rfc.size());
    russian.finish();
    return out;
}

RussianCsvSink::RussianCsvSink(ByteSink& next) : next_(next), out_("\xEF\xBB\xBF") {}

void RussianCsvSink::endField(std::string_view field) {
    if (decimalNumber(field)) {
        const size_t point = field.find('.');
        out_.append(field.substr(0, point));
        out_ += ',';
        out_.append(field.substr(point + 1));
    } else {
        appendField(out_, field);
    }
}

void RussianCsvSink::endField() {
    endField(field_);
    field_.clear();
}

void RussianCsvSink::flush() {
    if (!out_.empty()) next_.write(out_.data(), out_.size());
    out_.clear();
}

void RussianCsvSink::write(const char* data, size_t size) {
    const std::string_view text(data, size);
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        switch (state_) {
        case State::afterCr: // the LF of CR LF, if it follows
            state_ = State::fieldStart;
            if (c == '\n') ++i;
            break;
        case State::fieldStart:
            if (c == '"') {
                state_ = State::quoted;
                ++i;
            } else {
                state_ = State::plain;
            }
            break;
        case State::plain: {
            // The field runs to the next comma or the record's end.
            const size_t end = firstOf(text, i, ',', '\r', '\n', '\n');
            if (end == text.size()) {
                field_.append(text.substr(i));
                i = end;
                break;
            }
            if (field_.empty()) {
                endField(text.substr(i, end - i)); // the whole field is at hand
            } else {
                field_.append(text.substr(i, end - i));
                endField();
            }
            i = end;
            const char stop = text[i++];
            out_ += stop == ',' ? ";" : "\r\n";
            state_ = stop == '\r' ? State::afterCr : State::fieldStart;
            break;
        }
        case State::quoted: {
            const size_t end = std::min(text.find('"', i), text.size());
            field_.append(text.substr(i, end - i));
            i = end;
            if (i < text.size()) {
                state_ = State::quoteSeen;
                ++i;
            }
            break;
        }
        case State::quoteSeen:
            if (c == '"') { // a doubled quote: one quote of the text
                field_ += '"';
                state_ = State::quoted;
                ++i;
                break;
            }
            endField();
            if (c == ',') {
                out_ += ';';
                state_ = State::fieldStart;
                ++i;
            } else {
                // The record's end (a lone LF, or anything else, taken as one too).
                out_ += "\r\n";
                state_ = c == '\r' ? State::afterCr : State::fieldStart;
                if (c == '\r' || c == '\n') ++i;
            }
            break;
        }
        if (out_.size() >= (size_t(1) << 16)) flush();
    }
}

void RussianCsvSink::finish() {
    endField();
    flush();
}
