#include "views/PassportForm.h"

#include <algorithm>

#include "common/Format.h"
#include "common/Text1251.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"
#include "views/EventFilter.h"

namespace {

const char* const NotStored = "Информация не сохранена и в РП не записана.";

// "строка 2, позиция 5" in a text of several lines, "позиция 5" in one line.
std::string placeOf(const std::string& utf8, size_t charIndex) {
    size_t line = 1, column = 1, chars = 0;
    for (size_t i = 0; i < utf8.size() && chars < charIndex; ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue; // inside a character
        ++chars;
        if (utf8[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return utf8.find('\n') != std::string::npos ? strprintf("строка %zu, позиция %zu", line, column)
                                                : strprintf("позиция %zu", column);
}

// " (U+00E9)" for a character there is a code point for.
std::string codePointNote(char32_t c) {
    return c ? strprintf(" (U+%04X)", unsigned(c)) : std::string();
}

// Why utf8 cannot go into field's place of maxBytes, or nothing when it can.
std::optional<PassportRefusal> check(int field, const std::string& utf8, size_t maxBytes) {
    Utf8To1251Result r = utf8ToCp1251(utf8);
    const std::string name = passportFieldName(field);
    if (!r.ok)
        return PassportRefusal{
            field, r.badCharIndex, r.badCharIndex + 1,
            strprintf("Символ «%s»%s в поле «%s» (%s) нельзя записать в РП: в кодировке "
                      "Windows-1251 его нет. %s",
                      r.badChar.c_str(), codePointNote(r.badCodePoint).c_str(), name.c_str(),
                      placeOf(utf8, r.badCharIndex).c_str(), NotStored)};
    if (r.bytes.size() > maxBytes)
        return PassportRefusal{field, maxBytes, r.bytes.size(),
                               strprintf("Текст в поле «%s» длиннее %zu символов (%zu). %s",
                                         name.c_str(), maxBytes, r.bytes.size(), NotStored)};
    return std::nullopt;
}

} // namespace

DateFields dateFieldsOf(int32_t t) {
    const LocalFields f = localFields(t);
    return {strprintf("%02lu", f.day), strprintf("%02lu", f.month), strprintf("%04lu", f.year)};
}

PassportDisplay passportDisplayOf(const RecorderImage& image) {
    const PassportView view(image);
    PassportDisplay d;
    d.installation = dateFieldsOf(view.installation());
    d.commissioning = dateFieldsOf(view.commissioning());
    d.life = strprintf("%d", int(*view.serviceLife));
    const int group = *view.passportGroup;
    d.groupIndex = group >= 1 && group <= 8 ? group - 1 : -1;
    d.text = view.text();
    for (unsigned j = 0; j < PassportNameFields; ++j)
        d.names[j] = view.mechanismName(j);
    return d;
}

std::string passportFieldName(int field) {
    return field < 0 ? std::string("Блок текстовой информации")
                     : strprintf("Название механизма %d", field + 1);
}

std::optional<PassportRefusal> storePassport(RecorderImage& image, const PassportEdit& edit) {
    WritableView view(image);
    // Fewer slots than fields (a header with fewer channels): the names past
    // them would overwrite the group and the bytes after it.
    const unsigned slots = std::min(view.nameCount, PassportNameFields);
    if (auto refusal = check(-1, edit.text, WritableView::MaxTextChars)) return refusal;
    for (unsigned j = 0; j < slots; ++j)
        if (auto refusal = check(int(j), edit.names[j], WritableView::MaxNameChars)) return refusal;

    *view.serviceLife = static_cast<uint8_t>(leadingNumber(edit.life));
    *view.passportGroup = static_cast<uint8_t>(edit.groupIndex >= 0 ? edit.groupIndex + 1 : 0);
    view.setText(edit.text);
    for (unsigned j = 0; j < slots; ++j)
        view.setMechanismName(j, edit.names[j]);
    return std::nullopt;
}
