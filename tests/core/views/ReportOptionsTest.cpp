// The command lines' parsing, table-driven: getopt's conventions with the
// program's Russian errors naming the option, and the strict times of --from,
// --to and --start.
#include <gtest/gtest.h>

#include "common/CommandLine.h"
#include "testsupport/ScopedTZ.h"
#include "views/ReportOptions.h"

namespace {

TEST(ReportOptions, FollowTheConventionsAndNameTheOptionInErrors) {
    const struct {
        std::vector<std::string> args;
        const char* error; // nullptr: accepted; else a part of the message
        const char* image;
        const char* out;
        int detail; // the filter's, 3 unless --level gives another
    } cases[] = {
        {{"a.rpd", "--level", "2"}, nullptr, "a.rpd", "", 1},
        {{"--level=2", "a.rpd"}, nullptr, "a.rpd", "", 1},
        {{"a.rpd", "--out", "-"}, nullptr, "a.rpd", "", 3},
        {{"a.rpd", "--out=x.html"}, nullptr, "a.rpd", "x.html", 3},
        {{"--level", "3", "--", "--odd.rpd"}, nullptr, "--odd.rpd", "", 2},
        {{"--max", "-5", "a.rpd"}, "неверное значение --max: -5", nullptr, nullptr, 0},
        {{"a.rpd", "--level"}, "параметру --level нужно значение", nullptr, nullptr, 0},
        {{"a.rpd", "--bogus", "1"}, "неизвестный параметр: --bogus", nullptr, nullptr, 0},
        {{"a.rpd", "--bogus=1"}, "неизвестный параметр: --bogus", nullptr, nullptr, 0},
        {{"a.rpd", "-x"}, "неизвестный параметр: -x", nullptr, nullptr, 0},
        {{"a.rpd", "--help=yes"}, "параметр --help не принимает значения", nullptr, nullptr, 0},
        {{"a.rpd", "--level", "7"},
         "неверное значение --level: 7 (ожидается 1..5)",
         nullptr,
         nullptr,
         0},
        {{"a.rpd", "b.rpd"}, "лишний аргумент: b.rpd", nullptr, nullptr, 0},
        {{"--level", "2"}, "не указан файл образа", nullptr, nullptr, 0},
        {{"a.rpd", "--from", "31/02/2024 00:00:00"},
         "неверное значение --from: 31/02/2024 00:00:00 (ожидается ДД/ММ/ГГГГ",
         nullptr,
         nullptr,
         0},
    };
    for (const auto& c : cases) {
        ReportOptions o;
        bool from = false, to = false;
        const auto error = parseReportOptions(c.args, {}, o, from, to);
        std::string line;
        for (const auto& a : c.args)
            line += a + " ";
        if (!c.error) {
            EXPECT_FALSE(error) << line << *error;
            EXPECT_EQ(o.image, c.image) << line;
            EXPECT_EQ(o.out, c.out) << line;
            EXPECT_EQ(o.filter.detail, c.detail) << line;
        } else {
            ASSERT_TRUE(error) << line;
            EXPECT_NE(error->find(c.error), std::string::npos) << line << "→ " << *error;
        }
    }
}

TEST(ReportOptions, HelpAndVersionAreSeenBeforeAnythingElse) {
    EXPECT_EQ(helpRequested({"x.rpd", "--bogus", "-h"}), HelpRequest::help);
    EXPECT_EQ(helpRequested({"-V", "--help"}), HelpRequest::help);
    EXPECT_EQ(helpRequested({"--version"}), HelpRequest::version);
    EXPECT_EQ(helpRequested({"--", "--help"}), HelpRequest::none);
    EXPECT_EQ(versionText("gruvik2-cli"), "gruvik2-cli 1.0.0\n");
}

TEST(ReportOptions, TimesAreParsedStrictlyInEveryForm) {
    ScopedTZ tz("Europe/Moscow");
    const int32_t morning = 1714024800; // 25/04/2024 09:00:00 +03:00
    const int32_t midnight = morning - 9 * 3600;
    const struct {
        const char* text;
        std::optional<int32_t> seconds;
    } cases[] = {
        {"25/04/2024 09:00:00", morning},
        {"25.04.2024 09:00:00", morning},
        {"2024-04-25T09:00:00", morning},
        {"2024-04-25T06:00:00Z", morning},
        {"2024-04-25T08:00:00+02:00", morning},
        {"2024-04-25T09:00:00+0300", morning},
        {"1714024800", morning},
        {"25/04/2024", midnight},
        {"25.04.2024", midnight},
        {"2024-04-25", midnight},
        {"29/02/2024 12:00:00", 1709197200},
        // Impossible dates and times, and texts of no form.
        {"31/02/2024 00:00:00", std::nullopt},
        {"29/02/2023", std::nullopt},
        {"00/00/2024 00:00:00", std::nullopt},
        {"25/04/2024 24:00:00", std::nullopt},
        {"25/04/2024 23:60:00", std::nullopt},
        {"25/04/2024 23:59:61", std::nullopt},
        {"2024-13-01T00:00:00", std::nullopt},
        {"2024-04-25T09:00", std::nullopt},
        {"2024-04-25 09:00:00", std::nullopt},
        {"2024-04-25T09:00:00+15:00", std::nullopt},
        {"25/04/2024 09:00:00 ", std::nullopt},
        {"25/04/24 09:00:00", std::nullopt},
        {"25-04-2024", std::nullopt},
        {"вчера", std::nullopt},
        {"", std::nullopt},
        {"12abc", std::nullopt},
        // Beyond the recorder's 32-bit seconds.
        {"01/01/2100 00:00:00", std::nullopt},
        {"4102444800", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseTimeArgument(c.text), c.seconds) << c.text;
}

} // namespace
