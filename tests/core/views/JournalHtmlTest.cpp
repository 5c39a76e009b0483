#include <cstdlib>
#include <gtest/gtest.h>

#include "common/Progress.h"
#include "events/GL_records.h"
#include "events/eventList.h"
#include "testsupport/EventMaker.h"
#include "testsupport/ScopedTZ.h"
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
    ScopedTZ zone{"Europe/Moscow"};
    genericParser* add(uint8_t importance, int32_t seconds = 1204689849, uint8_t tenths = 3) {
        auto* e = appendEvent<GL_powerOff>(events, seconds, importance);
        e->tenths = tenths;
        journal.push_back(e);
        return e;
    }
    eventList events;
    JournalRows journal;
};

TEST_F(Journal, RowColoursAndTimeText) {
    // 2008-03-05 07:04:09 in Moscow (UTC+3)
    std::string row;
    appendJournalRow(row, *add(250));
    EXPECT_EQ(row,
              "<TD BGCOLOR=\"#FF0000\"><FONT COLOR=\"#FFFFFF\">05/03/2008 07:04:09.3</FONT></TD>"
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
    EXPECT_EQ(
        html.find("<HTML><HEAD><meta http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=windows-1251\"><TITLE>Журнал событий регистратора параметров</TITLE>"),
        0u);
    EXPECT_NE(
        html.find("Описание события</FONT></B></TH><TR></TABLE></FONT></P><P ALIGN=\"CENTER\">"),
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

// The rows a view keeps give the same page, byte for byte, as the list they
// were taken from, under the same progress reports.
TEST_F(Journal, RowsGiveThePageOfTheirList) {
    add(250), add(0, 1204690000, 0), add(120);
    JournalRows rows;
    RecordingProgress p;
    ASSERT_TRUE(collectJournalRows(journal, &p, rows));
    EXPECT_EQ(p.values, (std::vector<int>{3, 6, 10}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1]->seconds, 1204690000);

    std::string fromList, fromRows;
    ASSERT_TRUE(buildJournalHtml(journal, nullptr, fromList));
    RecordingProgress q;
    ASSERT_TRUE(buildJournalHtml(rows, &q, fromRows));
    EXPECT_EQ(fromRows, fromList);
    EXPECT_EQ(q.values, (std::vector<int>{3, 6, 10}));

    // A cancel leaves the rows shown before.
    add(0);
    RecordingProgress cancel;
    cancel.cancelAt = 2;
    EXPECT_FALSE(collectJournalRows(journal, &cancel, rows));
    EXPECT_EQ(rows.size(), 3u);
    ASSERT_TRUE(collectJournalRows(journal, nullptr, rows));
    EXPECT_EQ(rows.size(), 4u);
    // A shorter journal keeps no room for the longer one.
    ASSERT_TRUE(collectJournalRows(JournalRows(), nullptr, rows));
    EXPECT_EQ(rows.capacity(), 0u);
}

// A row laid out on its own: the page's cells with their colours, in a table
// of one row whose date column has the header's width.
TEST_F(Journal, ItemsAndHeadLineUp) {
    const std::string item = journalItemHtml(*add(250), 140);
    EXPECT_EQ(item,
              "<FONT COLOR=\"#202060\" SIZE=-2><TABLE BORDER=1 CELLSPACING=0 WIDTH=100%><TR>"
              "<TD WIDTH=140 BGCOLOR=\"#FF0000\"><FONT COLOR=\"#FFFFFF\">05/03/2008 07:04:09.3"
              "</FONT></TD><TD BGCOLOR=\"#FF0000\"><FONT COLOR=\"#FFFFFF\">Выключение питания"
              "</FONT></TD></TR></TABLE></FONT>");
    EXPECT_EQ(journalItemHtml(*add(0), 90).find("<TD WIDTH=90>05/03/2008"),
              item.find("<TD WIDTH=140"));

    const std::string head = journalHeadHtml(140);
    EXPECT_NE(head.find("Журнал событий регистратора параметров"), std::string::npos);
    EXPECT_NE(
        head.find("<TH BGCOLOR=\"#D0D0FF\" WIDTH=140><B><FONT COLOR=\"#0000FF\">Дата и время"),
        std::string::npos);
    EXPECT_NE(head.find("<TH BGCOLOR=\"#D0D0FF\"><B><FONT COLOR=\"#0000FF\">Описание события"),
              std::string::npos);
}

} // namespace
