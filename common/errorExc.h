#pragma once
// The one exception of the program: it carries a ready Russian message (UTF-8)
// that whoever catches it shows to the user as it stands. A failure of the
// system under it (a file's path and the system's reason) rides along as a
// detail, which each front end adds in its own way.
#include <exception>
#include <string>

class errorExc : public std::exception {
public:
    // printf-style: errorExc("Ошибка функции GetCommState(): %ld", code)
    explicit errorExc(const char* format, ...) __attribute__((format(printf, 2, 3)));
    static errorExc plain(std::string text);
    // text with the detail "path: strerror(code)".
    static errorExc withPath(std::string text, const std::string& path, int code);
    // text with the detail "path: reason".
    static errorExc withReason(std::string text, const std::string& path,
                               const std::string& reason);

    // The message alone, as the program's texts give it.
    std::string message() const { return text_; }
    // "path: reason", or empty.
    const std::string& detail() const { return detail_; }
    // The message, then the detail: "message (detail)" on one line, or on a
    // line of its own after the message.
    std::string fullMessage(bool detailOnOwnLine = false) const;
    const char* what() const noexcept override { return text_.c_str(); }

private:
    errorExc() = default;
    std::string text_;
    std::string detail_;
};

// The system's reason for an errno value, as strerror gives it.
std::string systemReason(int code);

// An exception's message with its detail as fullMessage gives it; for one that
// is not an errorExc, its what().
std::string failureText(const std::exception& e, bool detailOnOwnLine = false);
