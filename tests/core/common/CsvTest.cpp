// The CSV quoting of the exports and the writing of an exported file.
#include <gtest/gtest.h>

#include "common/Csv.h"
#include "testsupport/CsvReader.h"
#include "views/ExportTable.h"

namespace {

TEST(Csv, QuotesOnlyFieldsThatNeedItAndDoublesTheirQuotes) {
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("Кран в целом"), "Кран в целом");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"нуля\""), "\"say \"\"нуля\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(csvField("\""), "\"\"\"\"");
}

TEST(Csv, RecordsEndWithCrLfAndReadBackAsWritten) {
    const std::vector<std::vector<std::string>> rows = {
        {"time", "description", "value"},
        {"01/02/2024 10:00:00.5", "Изменение точки отсчета (\"нуля\"), группа 1", "-5"},
        {"", "line one\r\nline two", ""},
        {"\"", ",", "; x\t"},
    };
    std::string out;
    for (const auto& r : rows)
        appendCsvRecord(out, r);
    EXPECT_EQ(out.substr(0, 25), "time,description,value\r\n0");
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
    EXPECT_EQ(readCsv(out), rows);
}

// The Russian spreadsheet form of the same records: the byte-order mark,
// semicolons, decimal commas in numbers only, quotes where a semicolon or a
// quote needs them; and an undefined figure leaves an empty field, not "-nan".
TEST(Csv, TheRussianSpreadsheetFormKeepsTheFieldsAndGivesNumbersTheirComma) {
    const struct {
        std::vector<std::string> fields;
        const char* ru;
    } records[] = {
        {{"item", "column", "value"}, "item;column;value"},
        {{"kr", "Кран в целом", "0.193"}, "kr;Кран в целом;0,193"},
        {{"value", "", "-12.5"}, "value;;-12,5"},
        {{"cycles", "1", "14654"}, "cycles;1;14654"},
        {{"firmware", "", "РП-3 в.3.07"}, "firmware;;РП-3 в.3.07"},
        {{"time", "26/04/2024 16:19:09.9", "1.2.3"}, "time;26/04/2024 16:19:09.9;1.2.3"},
        {{"text", "a;b", "say \"0.5\", then"}, "text;\"a;b\";\"say \"\"0.5\"\", then\""},
        {{"two\r\nlines", ".5", "5."}, "\"two\r\nlines\";.5;5."},
        {{"kr", "Группа №1", csvText(ExportValue::ofDecimal("-nan"))}, "kr;Группа №1;"},
    };
    std::string rfc, expected = "\xEF\xBB\xBF";
    for (const auto& r : records) {
        appendCsvRecord(rfc, r.fields);
        expected += std::string(r.ru) + "\r\n";
    }
    EXPECT_EQ(csvInForm(rfc, CsvForm::ru), expected);
    EXPECT_EQ(csvInForm(rfc, CsvForm::rfc4180), rfc);
    EXPECT_EQ(csvInForm("", CsvForm::ru), "\xEF\xBB\xBF");
}

// Text a spreadsheet would run as a formula gets an apostrophe; numbers keep
// their sign; bytes that are not UTF-8 are written as \xNN.
TEST(Csv, FormulasAreMadeInertAndFileNamesValidUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+7 кран", "'+7 кран"},
        {"-cmd", "'-cmd"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"-1", "-1"},
        {"+0.5", "+0.5"},
        {"-1.5e3", "-1.5e3"},
        {"a = b", "a = b"},
        {"visits/\xFF\xD0.rpd", "visits/\\xFF\\xD0.rpd"},
        {"кран.rpd", "кран.rpd"},
    };
    for (const auto& [given, written] : cases)
        EXPECT_EQ(csvField(given), written) << given;
}

} // namespace
