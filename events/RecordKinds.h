#pragma once
// What every record type shares: the type check of parse, the accepts rule by
// type code and the index conventions of the records. A record type derives
// from GL_record or SL_record (through a layout family where several types
// share one), names itself in `name` and fills its own fields in `fill`.
#include <cstdint>
#include <string>
#include <type_traits>
#include <typeinfo>

#include "common/Format.h"
#include "common/errorExc.h"
#include "events/EventFields.h"
#include "events/genericParser.h"
#include "image/BigEndian.h"
#include "image/RecorderImage.h"

// AnyType: the catch-all type that takes every written record.
constexpr int AnyType = -1;

// The object parse fills: into itself when it is an E, a new E when null.
template <class E> E* parseTarget(genericParser* into, const char* name) {
    if (into && typeid(*into) != typeid(E))
        throw errorExc("Ошибка преобразования типа в функции %s::parse()", name);
    return into ? static_cast<E*>(into) : new E;
}

// Index conventions: record indexes are 0-based, event fields 1-based, and
// 255 wraps to 0.
inline uint8_t plainIndex(uint8_t b) {
    return uint8_t(b + 1);
}
// A group index equal to the header's group count stands for the total load (0).
inline uint8_t groupWithTotal(uint8_t b, const RecorderImage& image) {
    return b == image.groupCount() ? 0 : uint8_t(b + 1);
}

// "01 02 03": bytes as two upper-case hexadecimal digits, blank-separated.
std::string hexBytes(const uint8_t* p, size_t n);

template <class Self, int Code, uint8_t Importance> class GL_record : public GL_parser {
public:
    static constexpr int typeCode = Code;

    bool accepts(const uint8_t* record) const override {
        return GL_parser::accepts(record) && (Code == AnyType || record[0] == Code);
    }
    const char* className() const override { return Self::name; }
    int kind() const override { return Code == AnyType ? GeneralUnknownKind : Code; }
    GL_parser* parse(const uint8_t* record, const RecorderImage& image, const uint8_t* pageStamp,
                     GL_parser* into) const override {
        Self* e = parseTarget<Self>(into, Self::name);
        GL_parser::parse(record, image, pageStamp, e);
        e->importance = Importance;
        e->fill(record, image);
        return e;
    }
};

template <class Self, int Code, uint8_t Importance> class SL_record : public SL_parser {
public:
    static constexpr int typeCode = Code;

    bool accepts(const uint8_t* record) const override {
        return SL_parser::accepts(record) && (Code == AnyType || record[16] == Code);
    }
    const char* className() const override { return Self::name; }
    int kind() const override {
        return Code == AnyType ? SettingsUnknownKind : SettingsKindBase + Code;
    }
    SL_parser* parse(const uint8_t* record, const RecorderImage& image,
                     SL_parser* into) const override {
        Self* e = parseTarget<Self>(into, Self::name);
        SL_parser::parse(record, image, e);
        e->importance = Importance;
        e->fill(record, image);
        return e;
    }

protected:
    // The sentence, a blank and the key text.
    std::string keyed(const std::string& sentence) const {
        return sentence + " " + SL_parser::describe();
    }
};

// The kind number of a record class (see genericParser::kind).
template <class T> constexpr int kindOf() {
    if constexpr (std::is_base_of_v<SL_parser, T>)
        return T::typeCode == AnyType ? genericParser::SettingsUnknownKind
                                      : genericParser::SettingsKindBase + T::typeCode;
    else
        return T::typeCode == AnyType ? genericParser::GeneralUnknownKind : T::typeCode;
}

// e as a T when it is one, told by its kind rather than by a type test.
template <class T> const T* eventAs(const genericParser* e) {
    return e->kind() == kindOf<T>() ? static_cast<const T*>(e) : nullptr;
}
