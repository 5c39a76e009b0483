#pragma once
// The one exception of the program: it carries a ready Russian message (UTF-8)
// that whoever catches it shows to the user as it stands.
#include <string>

class errorExc {
public:
    // printf-style: errorExc("Ошибка функции GetCommState(): %ld", code)
    explicit errorExc(const char* format, ...) __attribute__((format(printf, 2, 3)));
    static errorExc plain(std::string text);

    std::string message() const { return text_; }

private:
    errorExc() = default;
    std::string text_;
};
