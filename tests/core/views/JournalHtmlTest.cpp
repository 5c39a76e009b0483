#include <cstdlib>
#include <gtest/gtest.h>

#include "common/Progress.h"
#include "events/GL_records.h"
#include "events/eventList.h"
#include "views/JournalHtml.h"

namespace {

struct RecordingProgress : Progress {
    std::vector<int> values;
    int cancelAt = -1;
    bool update(int value, const std::string& message) override {
        EXPECT_EQ(message, "Генерация журнала событий");
        values.push_back(value);
        return int(values.size()) != cancelAt;
    }
};

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "Europe/Moscow", 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
    genericParser* add(uint8_t importance, int32_t seconds = 1204689849, uint8_t tenths = 3) {
        auto* e = new GL_powerOff;
        e->importance = importance;
        e->seconds = seconds;
        e->tenths = tenths;
        events.append(e);
        journal.pushBack(new filteredEventLink(e));
        return e;
    }
    eventList events;
    aList journal;
};

TEST_F(Journal, RowColoursAndTimeText) {
    // 2008-03-05 07:04:09 in Moscow (UTC+3)
        std::string row;
    appendJournalRow(row, *add(250));
    EXPECT_EQ(row, "<TD BGCOLOR=\"#FF0000\"><FONT COLOR=\"#FFFFFF\">05/03/2008 07:04:09.3</FONT></TD>"
                   "<TD BGCOLOR=\"#FF0000\"><FONT COLOR=\"#FFFFFF\">Выключение питания</FONT></TD><TR>");
    row.clear();
    appendJournalRow(row, *add(0));
    EXPECT_EQ(row, "<TD>05/03/2008 07:04:09.3</TD><TD>Выключение питания</TD><TR>");
    row.clear();
    appendJournalRow(row, *add(50));
    EXPECT_EQ(row, "<TD><FONT COLOR=\"#000000\">05/03/2008 07:04:09.3</FONT></TD>"
                   "<TD><FONT COLOR=\"#000000\">Выключение питания</FONT></TD><TR>");
    row.clear();
    appendJournalRow(row, *add(200));
    EXPECT_EQ(row.substr(0, 44), "<TD BGCOLOR=\"#FFC0C0\"><FONT COLOR=\"#FF0000\">");
    row.clear();
    appendJournalRow(row, *add(100));
    EXPECT_EQ(row.substr(0, 44), "<TD BGCOLOR=\"#C0C0FF\"><FONT COLOR=\"#000000\">");
}

TEST_F(Journal, WholePageAndProgress) {
    std::string html;
    ASSERT_TRUE(buildJournalHtml(journal, nullptr, html));
    EXPECT_EQ(html.find("<HTML><HEAD><meta http-equiv=\"Content-Type\" content=\"text/html; "
                        "charset=windows-1251\"><TITLE>Журнал событий регистратора параметров</TITLE>"),
              0u);
    EXPECT_NE(html.find("Описание события</FONT></B></TH><TR></TABLE></FONT></P><P ALIGN=\"CENTER\">"),
              std::string::npos);

    add(0), add(0), add(0);
    RecordingProgress p;
    ASSERT_TRUE(buildJournalHtml(journal, &p, html));
    EXPECT_EQ(p.values, (std::vector<int>{3, 6, 10}));

    RecordingProgress cancel;
    cancel.cancelAt = 1;
    EXPECT_FALSE(buildJournalHtml(journal, &cancel, html));
    EXPECT_EQ(cancel.values.size(), 1u);
}

}  // namespace
