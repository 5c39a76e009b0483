#include "views/JournalHtml.h"

#include "common/OutputWriter.h"
#include "common/Progress.h"
#include "events/EventTime.h"
#include "events/eventList.h"
#include "events/genericParser.h"
#include "views/EventFilter.h"
#include "views/SharedTexts.h"

namespace {

const char* const progressMessage = "Генерация журнала событий";
const std::string title = "Журнал событий регистратора параметров";
const std::string tableFont = "<FONT COLOR=\"#202060\" SIZE=-2>";

struct RowColours {
    const char* background; // null: none
    const char* text;       // null: the table's colour applies
};

RowColours coloursFor(uint8_t importance) {
    if (importance >= 250) return {"#FF0000", "#FFFFFF"};
    if (importance >= 200) return {"#FFC0C0", "#FF0000"};
    if (importance >= 100) return {"#C0C0FF", "#000000"};
    if (importance >= 50) return {nullptr, "#000000"};
    return {nullptr, nullptr};
}

// width: the cell's WIDTH attribute, none when 0.
template <class Out>
void appendCell(Out& html, const RowColours& c, const std::string& content, int width = 0) {
    html += "<TD";
    if (width > 0) html += " WIDTH=" + std::to_string(width);
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

std::string headerCell(const char* text, int width) {
    std::string cell = "<TH BGCOLOR=\"#D0D0FF\"";
    if (width > 0) cell += " WIDTH=" + std::to_string(width);
    return cell + "><B><FONT COLOR=\"#0000FF\">" + text + "</FONT></B></TH>";
}

std::string headerRow(int timeWidth) {
    return headerCell("Дата и время", timeWidth) + headerCell("Описание события", 0);
}

std::string pageHead() {
    return "<HTML><HEAD>" + htmlCharsetMeta + "<TITLE>" + title +
           "</TITLE></HEAD><BODY>"
           "<H2 ALIGN=CENTER><FONT SIZE=\"-1\">" +
           title +
           "</FONT></H2>"
           "<P ALIGN=CENTER>" +
           tableFont + "<TABLE ALIGN=LEFT BORDER=1 WIDTH=100%>" + headerRow(0) + "<TR>";
}

// A function, not a constant: htmlFooter is another file's.
std::string pageTail() {
    return "</TABLE></FONT></P>" + htmlFooter + "</BODY></HTML>";
}

// Reports k * 10 / total when it changes; false when cancelled.
class Steps {
public:
    Steps(Progress* progress, size_t total) : progress_(progress), total_(total) {}
    bool next() {
        if (!progress_) return true;
        ++k_;
        auto v = unsigned(k_ * 10 / total_);
        if (v == shown_) return true;
        shown_ = v;
        return progress_->update(int(v), progressMessage);
    }

private:
    Progress* progress_;
    size_t total_;
    size_t k_ = 0;
    unsigned shown_ = 0xFFFF;
};

} // namespace

namespace {
template <class Out> void appendRow(Out& html, const genericParser& e) {
    RowColours c = coloursFor(e.importance);
    appendCell(html, c, eventTimeText(e.seconds, e.tenths));
    html += "</TD>";
    appendCell(html, c, e.describe());
    html += "</TD><TR>";
}
} // namespace

void appendJournalRow(std::string& html, const genericParser& e) {
    appendRow(html, e);
}

void writeJournalHtml(OutputWriter& w, const JournalRows& journalList) {
    w.append(pageHead());
    for (const genericParser* e : journalList)
        appendRow(w, *e);
    w.append(pageTail());
}

bool collectJournalRows(const JournalRows& journalList, Progress* progress, JournalRows& rows) {
    JournalRows taken;
    taken.reserve(journalList.size());
    Steps steps(progress, journalList.size());
    for (const genericParser* e : journalList) {
        if (!steps.next()) return false;
        taken.push_back(e);
    }
    // Swapped rather than assigned: a shorter journal gives its memory back.
    rows.swap(taken);
    return true;
}

bool buildJournalHtml(const JournalRows& rows, Progress* progress, std::string& html) {
    html.clear();
    html.reserve(128 + rows.size() * 160);
    html += pageHead();
    Steps steps(progress, rows.size());
    for (const genericParser* e : rows) {
        if (!steps.next()) return false;
        appendJournalRow(html, *e);
    }
    html += pageTail();
    return true;
}

std::string journalHeadHtml(int timeWidth) {
    return "<H2 ALIGN=CENTER><FONT SIZE=\"-1\">" + title + "</FONT></H2>" +
           journalColumnsHtml(timeWidth);
}

std::string journalColumnsHtml(int timeWidth) {
    return tableFont + "<TABLE BORDER=1 CELLSPACING=0 WIDTH=100%><TR>" + headerRow(timeWidth) +
           "</TR></TABLE></FONT>";
}

std::string journalItemHtml(const genericParser& e, int timeWidth) {
    return journalRowHtml(eventTimeText(e.seconds, e.tenths), e.describe(), e.importance,
                          timeWidth);
}

std::string journalRowHtml(const std::string& time, const std::string& description,
                           uint8_t importance, int timeWidth) {
    const RowColours c = coloursFor(importance);
    std::string html = tableFont + "<TABLE BORDER=1 CELLSPACING=0 WIDTH=100%><TR>";
    appendCell(html, c, time, timeWidth);
    html += "</TD>";
    appendCell(html, c, description);
    html += "</TD></TR></TABLE></FONT>";
    return html;
}
