#pragma once
// Writing an output as it is made: the producer appends text to a writer,
// which keeps a small buffer and hands it on, piece by piece, to a sink (a
// file, stdout, a string, a code-page conversion in front of one of those).
// So a report of any length costs the same few tens of kilobytes beside the
// data it is made from.
#include <cstddef>
#include <string>
#include <string_view>

// Where the bytes go. write reports a failure by throwing.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(const char* data, size_t size) = 0;
};

// Appends everything to a string.
class StringSink : public ByteSink {
public:
    explicit StringSink(std::string& out) : out_(out) {}
    void write(const char* data, size_t size) override { out_.append(data, size); }

private:
    std::string& out_;
};

class OutputWriter {
public:
    explicit OutputWriter(ByteSink& sink, size_t capacity = size_t(1) << 16);
    // Whatever is still buffered is dropped: a writer left by an exception
    // passes nothing more on. Call flush at the end.
    ~OutputWriter() = default;
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    void append(std::string_view text) {
        if (buffer_.size() + text.size() > capacity_) spill(text.size());
        buffer_.append(text.data(), text.size());
    }
    void append(const char* data, size_t size) { append(std::string_view(data, size)); }
    void put(char c) {
        if (buffer_.size() >= capacity_) spill(1);
        buffer_.push_back(c);
    }
    OutputWriter& operator<<(std::string_view text) {
        append(text);
        return *this;
    }
    OutputWriter& operator<<(char c) {
        put(c);
        return *this;
    }
    // As a std::string is appended to, so that one template writes into either.
    OutputWriter& operator+=(std::string_view text) {
        append(text);
        return *this;
    }
    OutputWriter& operator+=(char c) {
        put(c);
        return *this;
    }
    // Appends the decimal digits of v.
    void number(long long v);

    // Hands the buffer on to the sink.
    void flush();

private:
    void spill(size_t coming);

    ByteSink& sink_;
    size_t capacity_;
    std::string buffer_;
};

// Converts the UTF-8 it is given to Windows-1251 for the sink behind it; a
// character split between two pieces waits for the rest. A character without
// a Windows-1251 form (or invalid UTF-8) throws NoWindows1251Form.
class Windows1251Sink : public ByteSink {
public:
    explicit Windows1251Sink(ByteSink& next) : next_(next) {}
    void write(const char* data, size_t size) override;
    // Throws when the text ended inside a character.
    void finish();

private:
    ByteSink& next_;
    std::string pending_; // the start of a character not yet complete
};

struct NoWindows1251Form {
    std::string character; // UTF-8
};
