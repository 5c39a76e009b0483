// The exports against the pages on real memories: the event rows are the
// events (or the journal's rows) in number, order, time, importance and class;
// the protocol figures are the protocol page's numbers; the fleet summary
// gives a row per image, errors included, in the order of the paths.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "events/EventFields.h"
#include "events/EventTime.h"
#include "events/Registries.h"
#include "events/eventList.h"
#include "events/genericParser.h"
#include "testsupport/CsvReader.h"
#include "testsupport/DemoRecorder.h"
#include "testsupport/FullMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"
#include "views/EventExport.h"
#include "views/FleetSummary.h"
#include "views/JournalHtml.h"
#include "views/ProtocolDocument.h"
#include "views/ProtocolExport.h"
#include "views/RecorderSession.h"

using json = nlohmann::json;

namespace {

struct Names : FieldSink {
    std::vector<std::string> names;
    void integer(const char* n, long long) override { names.push_back(n); }
    void decimal(const char* n, double, int) override { names.push_back(n); }
    void text(const char* n, const std::string&) override { names.push_back(n); }
};

TEST(EventExport, EveryRecordTypesFieldsHaveAColumnOfTheirOwn) {
    const auto& columns = eventExportColumns();
    auto check = [&](const genericParser* proto) {
        Names n;
        proto->fields(n);
        std::vector<std::string> sorted = n.names;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end())
            << proto->className();
        for (const auto& name : n.names)
            EXPECT_NE(std::find(columns.begin() + 5, columns.end(), name), columns.end())
                << proto->className() << ": " << name;
    };
    GL_pList general;
    for (const GL_parser* p = general.front(); p; p = GL_pList::after(p))
        check(p);
    SL_pList settings;
    for (const SL_parser* p = settings.front(); p; p = SL_pList::after(p))
        check(p);
}

TEST(ExportTable, TimesAndNumbersLeaveAsTheyAreMeant) {
    {
        ScopedTZ tz("Europe/Moscow");
        const int32_t t = 1714138813; // 2024-04-26 13:40:13 UTC
        EXPECT_EQ(isoLocalTime(t), "2024-04-26T16:40:13+03:00");
        EXPECT_EQ(isoLocalTime(t, 7), "2024-04-26T16:40:13.7+03:00");
        EXPECT_EQ(isoLocalDate(t), "2024-04-26");
    }
    {
        ScopedTZ tz("America/St_Johns"); // behind UTC, by a half hour too
        EXPECT_EQ(isoLocalTime(1714138813), "2024-04-26T11:10:13-02:30");
    }
    EXPECT_EQ(jsonValue(ExportValue::ofDecimal("28")), json(28));
    EXPECT_TRUE(jsonValue(ExportValue::ofDecimal("28")).is_number_integer());
    EXPECT_EQ(jsonValue(ExportValue::ofDecimal("0.260")).get<double>(), 0.26);
    EXPECT_TRUE(jsonValue(ExportValue::ofDecimal("-nan")).is_null());
    EXPECT_TRUE(jsonValue(ExportValue{}).is_null());
    // Bytes that are not UTF-8 never fail an export.
    EXPECT_NO_THROW(jsonText(jsonValue(ExportValue::ofText("\xC0\xFF")), -1));
}

// The demo recorder and a full memory, each analysed once when first asked for.
RecorderSession& analysed(RecorderSession& s, void (*synthesize)(RecorderImage&, uint32_t)) {
    if (s.events.empty()) {
        ScopedTZ tz("Europe/Moscow");
        synthesize(s.image, 1);
        s.analyse(nullptr);
    }
    return s;
}
RecorderSession& demo() {
    static RecorderSession s;
    return analysed(s, synthesizeDemoMemory);
}
RecorderSession& full() {
    static RecorderSession s;
    return analysed(s, synthesizeFullMemory);
}

class Exports : public ::testing::Test {
protected:
    ScopedTZ tz{"Europe/Moscow"};
};

// A text as a CSV cell holds it: one a spreadsheet would run as a formula
// starts with an apostrophe.
std::string asCsvText(const std::string& text) {
    const bool inert = !text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos;
    return (inert ? "'" : "") + text;
}

void expectRowsAreTheEvents(const std::vector<const genericParser*>& events) {
    const auto rows = readCsv(eventsCsv(events));
    ASSERT_EQ(rows.size(), events.size() + 1);
    EXPECT_EQ(rows[0], eventExportColumns());
    const json array = json::parse(eventsJson(events));
    ASSERT_EQ(array.size(), events.size());
    for (size_t i = 0; i < events.size(); ++i) {
        const genericParser& e = *events[i];
        const auto& row = rows[i + 1];
        const json& o = array[i];
        ASSERT_EQ(row.size(), eventExportColumns().size()) << i;
        const std::string time = eventTimeText(e.seconds, e.tenths);
        ASSERT_EQ(row[0], time) << i;
        ASSERT_EQ(row[2], std::to_string(e.importance)) << i;
        ASSERT_EQ(row[3], e.className()) << i;
        ASSERT_EQ(row[4], asCsvText(e.plainText())) << i;
        ASSERT_EQ(o["time"], time) << i;
        ASSERT_EQ(o["importance"], e.importance) << i;
        ASSERT_EQ(o["class"], e.className()) << i;
        // The ISO time is the journal's: DD/MM/YYYY HH:MM:SS.T against YYYY-MM-DDTHH:MM:SS.T
        const std::string iso = row[1];
        ASSERT_EQ(iso.substr(0, 10),
                  time.substr(6, 4) + "-" + time.substr(3, 2) + "-" + time.substr(0, 2))
            << i;
        ASSERT_EQ(iso.substr(11, 10), time.substr(11, 10)) << i;
        ASSERT_EQ(o["iso_time"], iso) << i;
        // A record field is a number in JSON exactly where the CSV cell is one.
        for (size_t c = 5; c < row.size(); ++c) {
            const std::string& name = eventExportColumns()[c];
            if (row[c].empty()) {
                // Absent, or an empty text (a serial number of no characters).
                ASSERT_TRUE(!o.contains(name) || o[name] == "") << i << " " << name;
            } else if (o[name].is_number_integer()) {
                ASSERT_EQ(std::to_string(o[name].get<long long>()), row[c]) << i << " " << name;
            } else if (o[name].is_number()) {
                ASSERT_DOUBLE_EQ(o[name].get<double>(), std::stod(row[c])) << i << " " << name;
            } else {
                ASSERT_EQ(asCsvText(o[name]), row[c]) << i << " " << name;
            }
        }
    }
}

TEST_F(Exports, EveryEventOfTheDemoIsARow) {
    const auto events = allEvents(demo().events);
    ASSERT_GT(events.size(), 100000u);
    expectRowsAreTheEvents(events);
}

TEST_F(Exports, EveryEventOfAFullMemoryIsARow) {
    const auto events = allEvents(full().events);
    ASSERT_GT(events.size(), 100000u);
    expectRowsAreTheEvents(events);
}

TEST_F(Exports, WithAFilterTheRowsAreTheJournals) {
    RecorderSession& s = demo();
    FilterSettings f = s.spanningFilter(FilterSettings());
    f.detail = 1;
    f.maxCount = 300;
    f.discrete = true;
    s.applyFilter(f);
    const auto events = listedEvents(s.lists.journalList);
    ASSERT_EQ(events.size(), 300u);
    expectRowsAreTheEvents(events);
    // The journal page's time cells, in order, are the rows' times.
    std::string html;
    s.journalHtml(nullptr, html);
    const std::regex cell(R"((\d\d/\d\d/\d{4} \d\d:\d\d:\d\d\.\d))");
    const auto rows = readCsv(eventsCsv(events));
    size_t k = 1;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), cell);
         it != std::sregex_iterator(); ++it, ++k) {
        ASSERT_LT(k, rows.size());
        EXPECT_EQ(rows[k][0], (*it)[1].str());
    }
    EXPECT_EQ(k, rows.size());
    s.lists.clear();
}

// The cells of the protocol page's row that begins with label.
std::vector<std::string> pageRow(const std::string& html, const std::string& label) {
    std::vector<std::string> cells;
    size_t at = html.find("<TR><TD>" + label + "</TD>");
    if (at == std::string::npos) return cells;
    at = html.find("</TD>", at) + 5;
    while (html.compare(at, 4, "<TD>") == 0) {
        const size_t end = html.find("</TD>", at);
        cells.push_back(html.substr(at + 4, end - at - 4));
        at = end + 5;
    }
    return cells;
}

// The bold value after label in the general table.
std::string pageValue(const std::string& html, const std::string& label) {
    const size_t at = html.find("<B>", html.find(label + "</TD>")) + 3;
    return html.substr(at, html.find("</B>", at) - at);
}

std::string isoOfPageDate(const std::string& ddmmyyyy) {
    return ddmmyyyy.substr(6, 4) + "-" + ddmmyyyy.substr(3, 2) + "-" + ddmmyyyy.substr(0, 2);
}

TEST_F(Exports, ProtocolFiguresAreThePagesNumbers) {
    for (RecorderSession* s : {&demo(), &full()}) {
        const std::string html = s->protocolHtml();
        const ProtocolExport p = protocolExport(*s);
        const json j = json::parse(protocolJson(p));
        const auto csv = readCsv(protocolCsv(p));
        auto csvValue = [&](const std::string& item, const std::string& column) {
            for (const auto& r : csv)
                if (r.size() == 3 && r[0] == item && r[1] == column) return r[2];
            ADD_FAILURE() << "no " << item << " " << column;
            return std::string();
        };

        EXPECT_EQ(j["serial_number"], pageValue(html, "Серийный номер регистратора"));
        EXPECT_EQ(j["firmware"], pageValue(html, "Версия прошивки"));
        EXPECT_EQ(j["installation_date"],
                  isoOfPageDate(pageValue(html, "Дата установки регистратора")));
        EXPECT_EQ(j["commissioning_date"],
                  isoOfPageDate(pageValue(html, "Дата ввода в крана в эксплуатацию")));
        EXPECT_EQ(std::to_string(j["service_life_years"].get<int>()),
                  pageValue(html, "Срок службы крана, лет"));
        EXPECT_EQ(j["passport_group"], pageValue(html, "Паспортная группа классификации"));
        EXPECT_EQ(csvValue("serial_number", ""), j["serial_number"]);

        const struct {
            const char* label;
            const char* item;
        } rows[] = {{"Общее кол-во циклов", "cycles_total"},
                    {"С перегрузкой", "cycles_overload"},
                    {"В режиме Q1", "cycles_q1"},
                    {"В режиме Q2", "cycles_q2"},
                    {"В режиме Q3", "cycles_q3"},
                    {"В режиме Q4", "cycles_q4"},
                    {"К-т распределения нагрузок Кр", "kr"},
                    {"Поднято грузов, т", "lifted_t"},
                    {"Режим нагружения", "loading_mode"},
                    {"Класс использования", "utilisation_class"},
                    {"Группа классификации", "classification_group"},
                    {"Использованный ресурс", "used_resource_percent"}};
        ASSERT_EQ(j["columns"].size(), 3u);
        for (const auto& row : rows) {
            auto cells = pageRow(html, row.label);
            ASSERT_EQ(cells.size(), 3u) << row.label;
            for (size_t c = 0; c < 3; ++c) {
                std::string shown = cells[c];
                if (shown.back() == '%') shown.pop_back();
                const json& column = j["columns"][c];
                // CSV: the page's text itself; JSON: the number it reads as.
                // No figure (counters never written, a quotient not a number):
                // null and an empty cell.
                const json& v = column[row.item];
                if (v.is_null()) {
                    EXPECT_TRUE(shown == noDataText || shown.find("nan") != std::string::npos)
                        << row.item << " " << shown;
                    EXPECT_EQ(csvValue(row.item, column["label"]), "") << row.item;
                    continue;
                }
                EXPECT_EQ(csvValue(row.item, column["label"]), shown) << row.item;
                if (v.is_string())
                    EXPECT_EQ(v, shown) << row.item;
                else
                    EXPECT_DOUBLE_EQ(v.get<double>(), std::stod(shown)) << row.item;
            }
        }
        EXPECT_EQ(j["columns"][2]["label"], "Кран в целом");
        EXPECT_EQ(j["columns"][2]["group"], 0);

        ASSERT_EQ(j["mechanisms"].size(), 6u);
        for (const auto& m : j["mechanisms"]) {
            const std::string name = m["name"];
            const size_t at = html.find("<TD WIDTH=70%>" + name + "</TD><TD>");
            ASSERT_NE(at, std::string::npos) << name;
            const size_t from = at + 14 + name.size() + 9;
            const std::string shown = html.substr(from, html.find("</TD>", from) - from);
            if (m["operating_time"].is_null())
                EXPECT_EQ(shown, noDataText);
            else
                EXPECT_EQ(m["operating_time"], shown);
        }
    }
}

TEST_F(Exports, AProtocolWithoutEventsHasOnlyItsGeneralData) {
    RecorderSession s;
    s.analyse(nullptr); // an erased memory: no events
    const json j = json::parse(protocolJson(protocolExport(s)));
    EXPECT_TRUE(j["protocol_date"].is_null());
    EXPECT_TRUE(j["columns"].empty());
    EXPECT_TRUE(j["mechanisms"].empty());
}

TEST_F(Exports, ASummaryHasARowPerImageInTheirOrderAndGoesOnAfterFailures) {
    TempDir dir;
    const std::string demoPath = dir.file("demo.rpd"), fullPath = dir.file("full.rpd"),
                      shortFile = dir.file("short.rpd"), five = dir.file("five.rpd");
    demo().image.save(demoPath);
    full().image.save(fullPath);
    {
        RecorderImage image;
        synthesizeFullMemory(image);
        image.data()[512 * RecorderImage::PageSize + 5] = 5; // five discrete channels
        image.save(five);
        std::ofstream(shortFile, std::ios::binary) << std::string(1000, '\xFF');
    }
    std::vector<std::pair<size_t, size_t>> reports;
    const FleetSummary s =
        summarizeImages({demoPath, shortFile, fullPath, five, dir.file("missing.rpd")}, 2,
                        [&](size_t done, size_t total) { reports.emplace_back(done, total); });
    ASSERT_EQ(s.rows.size(), 5u);
    EXPECT_EQ(s.failed, 4u);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), std::make_pair(size_t(5), size_t(5)));

    const json j = json::parse(summaryJson(s));
    const auto csv = readCsv(summaryCsv(s));
    ASSERT_EQ(csv.size(), 6u);
    EXPECT_EQ(csv[0], summaryColumns());
    for (size_t i = 0; i < 5; ++i) {
        ASSERT_EQ(j[i].size(), summaryColumns().size());
        ASSERT_EQ(csv[i + 1].size(), summaryColumns().size());
    }
    EXPECT_EQ(j[0]["file"], demoPath);
    EXPECT_TRUE(j[0]["error"].is_null());
    EXPECT_EQ(j[1]["error"], "не могу прочесть файл!");
    EXPECT_TRUE(j[1]["serial_number"].is_null());
    EXPECT_EQ(csv[2][2], "");
    // A full memory's counters were never written: no figures, and why.
    EXPECT_EQ(j[2]["error"], countersNotWrittenText);
    EXPECT_TRUE(j[2]["cycles_total"].is_null() && j[2]["kr"].is_null());
    EXPECT_FALSE(j[2]["serial_number"].is_null());
    EXPECT_EQ(j[3]["error"],
              "Эта версия программы не может работать с количеством дискретных каналов, "
              "отличных от 6!");
    EXPECT_EQ(j[4]["error"], "не могу открыть файл!");

    // The demo's row: the protocol's crane column and the counts of its events.
    const ProtocolExport p = protocolExport(demo());
    const json crane = json::parse(protocolJson(p))["columns"][2];
    for (const char* name : {"cycles_total", "cycles_overload", "kr", "loading_mode",
                             "utilisation_class", "classification_group", "used_resource_percent"})
        EXPECT_EQ(j[0][name], crane[name]) << name;
    size_t overloads = 0, failures = 0, powerOns = 0;
    for (const genericParser* e = demo().events.front(); e; e = eventList::after(e)) {
        const std::string c = e->className();
        overloads += c == "SL_olStart";
        failures += c == "GL_sensFail";
        powerOns += c == "GL_powerOn";
    }
    EXPECT_EQ(j[0]["overloads"], overloads);
    EXPECT_EQ(j[0]["sensor_failures"], failures);
    EXPECT_EQ(j[0]["power_ons"], powerOns);
    EXPECT_EQ(j[0]["last_event"], json::parse(protocolJson(p))["last_event"]);

    // One worker or several: the same rows.
    EXPECT_EQ(summaryCsv(summarizeImages({demoPath, shortFile, fullPath, five}, 1)),
              summaryCsv(summarizeImages({demoPath, shortFile, fullPath, five}, 4)));
}

} // namespace
