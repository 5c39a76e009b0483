#pragma once
// The passport data as the settings page edits it: texts for its fields, and
// the way back from the edited fields into the image. Storing is all or
// nothing, so a text the recorder cannot hold never leaves the passport (and
// what is written to the recorder) half updated.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

class RecorderImage;

inline constexpr unsigned PassportNameFields = 6;

// Day ("%02lu"), month ("%02lu", 1 to 12) and year ("%04lu") of a local date.
struct DateFields {
    std::string day, month, year;
};
DateFields dateFieldsOf(int32_t t);

// What the page shows; erased fields as their defaults.
struct PassportDisplay {
    DateFields installation, commissioning;
    std::string life;
    int groupIndex = -1; // entry of A1..A8; -1 when the stored group is none of them
    std::string text;
    std::array<std::string, PassportNameFields> names; // empty past the slots there are
};
PassportDisplay passportDisplayOf(const RecorderImage& image);

// The page's fields as edited (UTF-8).
struct PassportEdit {
    std::string life;
    int groupIndex = -1; // selected entry; -1 when none
    std::string text;
    std::array<std::string, PassportNameFields> names;
};

// Why a field could not be stored.
struct PassportRefusal {
    int field; // -1 the text block, 0..5 a name field
    // The characters to point out: the bad one, or those past the place.
    size_t from, to;
    std::string message;
};

// Labels of the fields in messages: "Название механизма 3" and the like.
std::string passportFieldName(int field);

// Stores life (its leading number, low 8 bits), the group (index + 1, 0 when
// none), the text block and the name slots the image has. Nothing is stored
// when a text holds a character without a Windows-1251 form or is longer than
// its place (2111 bytes, 31 per name); the refusal names the field.
std::optional<PassportRefusal> storePassport(RecorderImage& image, const PassportEdit& edit);
