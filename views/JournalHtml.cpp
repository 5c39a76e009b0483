#include "views/JournalHtml.h"

#include "common/Progress.h"
#include "events/EventTime.h"
#include "events/eventList.h"
#include "events/genericParser.h"
#include "views/SharedTexts.h"

namespace {

struct RowColours {
    const char* background;  // null: none
    const char* text;        // null: the table's colour applies
};

RowColours coloursFor(uint8_t importance) {
    if (importance >= 250) return {"#FF0000", "#FFFFFF"};
    if (importance >= 200) return {"#FFC0C0", "#FF0000"};
    if (importance >= 100) return {"#C0C0FF", "#000000"};
    if (importance >= 50) return {nullptr, "#000000"};
    return {nullptr, nullptr};
}

void appendCell(std::string& html, const RowColours& c, const std::string& content) {
    html += "<TD";
    if (c.background) {
        html += " BGCOLOR=\"";
        html += c.background;
        html += "\"";
    }
    html += ">";
    if (c.text) {
        html += "<FONT COLOR=\"";
        html += c.text;
        html += "\">";
    }
    html += content;
    if (c.text) html += "</FONT>";
}

}  // namespace

void appendJournalRow(std::string& html, const genericParser& e) {
    RowColours c = coloursFor(e.importance);
    appendCell(html, c, eventTimeText(e.seconds, e.tenths));
    html += "</TD>";
    appendCell(html, c, e.describe());
    html += "</TD><TR>";
}

bool buildJournalHtml(const aList& journalList, Progress* progress, std::string& html) {
    size_t total = 0;
    for (const aLink* l = journalList.first; l; l = l->next) ++total;
    html.clear();
    html.reserve(128 + total * 160);
    html += "<HTML><HEAD>" + htmlCharsetMeta +
            "<TITLE>Журнал событий регистратора параметров</TITLE></HEAD><BODY>"
            "<H2 ALIGN=CENTER><FONT SIZE=\"-1\">Журнал событий регистратора параметров</FONT></H2>"
            "<P ALIGN=CENTER><FONT COLOR=\"#202060\" SIZE=-2><TABLE ALIGN=LEFT BORDER=1 WIDTH=100%>"
            "<TH BGCOLOR=\"#D0D0FF\"><B><FONT COLOR=\"#0000FF\">Дата и время</FONT></B></TH>"
            "<TH BGCOLOR=\"#D0D0FF\"><B><FONT COLOR=\"#0000FF\">Описание события</FONT></B></TH><TR>";
    size_t k = 0;
    unsigned shown = 0xFFFF;
    for (const aLink* l = journalList.first; l; l = l->next) {
        if (progress) {
            ++k;
            auto v = unsigned(k * 10 / total);
            if (v != shown) {
                shown = v;
                if (!progress->update(int(v), "Генерация журнала событий")) return false;
            }
        }
        appendJournalRow(html, *static_cast<const filteredEventLink*>(l)->event);
    }
    html += "</TABLE></FONT></P>" + htmlFooter + "</BODY></HTML>";
    return true;
}
