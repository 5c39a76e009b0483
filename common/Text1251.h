#pragma once
// The single crossing between the program's UTF-8 texts and the Windows-1251
// bytes that the recorder memory and exported files hold.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Every byte has a form: the undefined byte 0x98 maps to U+0098 so that a
// round trip keeps the bytes.
std::string cp1251ToUtf8(std::string_view bytes);

// Bytes 0..n of a zero-terminated field of at most n bytes, converted.
std::string cp1251FieldToUtf8(const unsigned char* field, size_t maxBytes);

struct Utf8To1251Result {
    std::string bytes; // converted text, valid when ok
    bool ok = true;
    size_t badCharIndex = 0;   // index (in characters) of the first character without a form
    std::string badChar;       // that character, UTF-8
    char32_t badCodePoint = 0; // its code point; 0 when the UTF-8 is invalid
};

// Converts UTF-8 to Windows-1251. Characters without a Windows-1251 form (and
// invalid UTF-8) make the result not ok; nothing is substituted.
Utf8To1251Result utf8ToCp1251(std::string_view utf8);

// Number of characters (code points) of a UTF-8 text.
size_t utf8Length(std::string_view utf8);
