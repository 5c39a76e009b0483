#include "common/OutputWriter.h"

#include <charconv>

#include "common/Text1251.h"

OutputWriter::OutputWriter(ByteSink& sink, size_t capacity)
    : sink_(sink), capacity_(capacity ? capacity : 1) {
    buffer_.reserve(capacity_);
}

void OutputWriter::number(long long v) {
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, v);
    append(digits, size_t(r.ptr - digits));
}

void OutputWriter::flush() {
    if (buffer_.empty()) return;
    sink_.write(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void OutputWriter::spill(size_t coming) {
    flush();
    // A piece longer than the buffer is let in whole; the next append spills it.
    if (coming > buffer_.capacity()) buffer_.reserve(coming);
}

namespace {

// Bytes at the end of text that begin a UTF-8 character not yet complete.
size_t incompleteTail(std::string_view text) {
    const size_t n = text.size();
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(text[n - back]);
        if ((c & 0xC0) == 0x80) continue; // a continuation byte: look further back
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

void Windows1251Sink::write(const char* data, size_t size) {
    std::string_view text(data, size);
    if (!pending_.empty()) {
        // Completes the waiting character with the bytes that continue it.
        size_t take = 0;
        while (take < text.size() && pending_.size() + take < 4 &&
               (static_cast<unsigned char>(text[take]) & 0xC0) == 0x80)
            ++take;
        pending_.append(text.substr(0, take));
        text.remove_prefix(take);
        if (incompleteTail(pending_) != 0) {
            if (text.empty()) return;
            throw NoWindows1251Form{pending_}; // broken off by a byte that starts another
        }
        auto converted = utf8ToCp1251(pending_);
        if (!converted.ok) throw NoWindows1251Form{converted.badChar};
        pending_.clear();
        next_.write(converted.bytes.data(), converted.bytes.size());
    }
    const size_t tail = incompleteTail(text);
    const std::string_view whole = text.substr(0, text.size() - tail);
    auto converted = utf8ToCp1251(whole);
    if (!converted.ok) throw NoWindows1251Form{converted.badChar};
    if (!converted.bytes.empty()) next_.write(converted.bytes.data(), converted.bytes.size());
    pending_.assign(text.substr(text.size() - tail));
}

void Windows1251Sink::finish() {
    if (!pending_.empty()) throw NoWindows1251Form{pending_};
}
