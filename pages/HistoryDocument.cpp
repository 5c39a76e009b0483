#include "pages/HistoryDocument.h"

#include "common/Format.h"
#include "common/Html.h"
#include "common/LocalTime.h"
#include "history/Archive.h"
#include "pages/HistoryChart.h"
#include "views/ProtocolDocument.h"
#include "views/SharedTexts.h"

namespace {

std::string sectionHead(const std::string& title, int width = 100) {
    return "<P><TABLE WIDTH=50% BORDER=0><TD BGCOLOR=\"#000040\"><B><FONT COLOR=\"#FFFFFF\">" +
           title + "</FONT></B></TD></TABLE><TABLE WIDTH=" + std::to_string(width) +
           "% BORDER=1 CELLPADDING=3>";
}

std::string dateOf(int32_t seconds) {
    return localTimeText(seconds, "%d/%m/%Y %H:%M");
}

std::string dayOf(int32_t seconds) {
    return localTimeText(seconds, "%d/%m/%Y");
}

// "YYYY-MM-DD" as the pages show dates; "—" for none.
std::string shownDate(const std::string& iso) {
    if (iso.size() != 10) return iso.empty() ? "—" : escapeHtml(iso);
    return iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4);
}

std::string percentText(double v) {
    return fixedDecimal(v, 1);
}

std::string headCell(const std::string& text, const std::string& extra = {}) {
    return "<TD ALIGN=CENTER BGCOLOR=\"#E8E8F0\"" + extra + "><B>" + text + "</B></TD>";
}

std::string cell(const std::string& text) {
    return "<TD ALIGN=RIGHT>" + text + "</TD>";
}

// What a period without figures says in their place.
std::string periodGap(const Period& p) {
    switch (p.state) {
    case Period::State::first:
        return "первое считывание в архиве";
    case Period::State::countersReset:
        return std::string(noDataText) + ": счётчики сброшены (сброс, замена или стирание)";
    case Period::State::noData:
        return std::string(noDataText) + ": счётчики стёрты";
    case Period::State::known:
        break;
    }
    return {};
}

std::string overloadsText(const Period& p) {
    return (p.eventsComplete ? "" : "≥ ") + countText(p.overloadStarts);
}

} // namespace

std::string historyTableHtml(const std::vector<HistoryRow>& rows, const std::string& currentSha256,
                             bool withTime) {
    const size_t columns =
        rows.empty() ? 1 : std::max<size_t>(rows.back().reading.columns.size(), 1);
    std::string h = std::string("<TABLE WIDTH=100% BORDER=1 CELLSPACING=0 CELLPADDING=") +
                    (withTime ? "3" : "1") + "><TR>";
    h += headCell("Дата считывания", " ROWSPAN=2");
    h += headCell("Циклов всего", " ROWSPAN=2");
    h += headCell("Кр", " ROWSPAN=2");
    h += headCell("Циклов за период", " ROWSPAN=2");
    h += headCell("Кр за период", " ROWSPAN=2");
    h += headCell("Перегрузок за период", " ROWSPAN=2");
    h += headCell("Израсходовано ресурса на дату, %", " COLSPAN=" + std::to_string(columns));
    h += headCell("Исчерпание ресурса крана", " ROWSPAN=2");
    h += "</TR><TR>";
    for (size_t c = 0; c < columns; ++c)
        h += headCell(c + 1 == columns ? "Кран" : "Гр. " + std::to_string(c + 1));
    h += "</TR>";
    bool partial = false;
    for (const HistoryRow& row : rows) {
        const Reading& r = row.reading;
        const bool current = !currentSha256.empty() && r.sha256 == currentSha256;
        h += current ? "<TR BGCOLOR=\"#FFF4C0\">" : "<TR>";
        h += "<TD NOWRAP>" + std::string(current ? "<B>" : "") +
             (withTime ? dateOf(r.lastEventSeconds) : dayOf(r.lastEventSeconds)) +
             (current ? "</B>" : "") + "</TD>";
        const ReadingColumn* crane = r.columns.empty() ? nullptr : &r.columns.back();
        h += cell(r.countersWritten && crane ? countText(crane->cyclesTotal) : noDataText);
        const Period& p = row.period;
        const PeriodColumn* pc = p.columns.empty() ? nullptr : &p.columns.back();
        h += cell(r.countersWritten && crane ? krText(float(crane->kr)) : noDataText);
        if (p.state == Period::State::known && pc) {
            h += cell(countText(pc->cyclesTotal));
            h += cell(pc->kr ? krText(float(*pc->kr)) : "—");
            h += cell(overloadsText(p));
            partial = partial || !p.eventsComplete;
        } else {
            // The period's cells say in one why they are empty.
            h += "<TD COLSPAN=3 ALIGN=CENTER><I>" + periodGap(p) + "</I></TD>";
        }
        for (size_t c = 0; c < columns; ++c) {
            const ReadingColumn* col = c + 1 == columns           ? crane
                                       : c + 1 < r.columns.size() ? &r.columns[c]
                                                                  : nullptr;
            h += cell(r.countersWritten && col ? percentText(col->usedToDatePercent) : noDataText);
        }
        h += cell(r.countersWritten && crane ? shownDate(crane->exhaustionDate) : noDataText);
        h += "</TR>";
    }
    h += "</TABLE>";
    if (partial)
        h += "<P><FONT SIZE=-1>≥: журнал регистратора уже не охватывает весь период, "
             "перегрузок могло быть больше.</FONT></P>";
    return h;
}

std::string historyMessageHtml(const std::string& title, const std::string& text) {
    return "<HTML><BODY><H3>" + title + "</H3><P>" + text + "</P></BODY></HTML>";
}

std::string historyPrintHtml(const std::vector<HistoryRow>& rows, const HistoryPrintFacts& facts,
                             const std::string& drawingTag) {
    std::string h = "<HTML><HEAD>" + htmlCharsetMeta +
                    "<TITLE>История считываний регистратора</TITLE></HEAD><BODY>";
    h += "<H2 ALIGN=CENTER><FONT SIZE=\"-1\">История считываний регистратора № " +
         escapeHtml(facts.serial) + "<BR>на " + facts.printedOn + "</FONT></H2>";

    h += sectionHead("Регистратор и паспорт крана");
    for (const auto& [label, value] : facts.passport)
        h += "<TR><TD WIDTH=45%>" + escapeHtml(label) + "</TD><TD><B>" + escapeHtml(value) +
             "</B></TD></TR>";
    h += "<TR><TD>Файл образа</TD><TD>" + escapeHtml(facts.imageFile) + "</TD></TR>";
    // The checksum in two halves, so that it fits the page.
    const std::string sha = escapeHtml(facts.sha256);
    h += "<TR><TD>SHA-256 файла образа</TD><TD><TT>" +
         (sha.size() > 32 ? sha.substr(0, 32) + "<BR>" + sha.substr(32)
          : sha.empty()   ? "—"
                          : sha) +
         "</TT></TD></TR>";
    h += "</TABLE></P>";

    h += "<P>" + drawingTag + "</P>";

    // Smaller type from the heading on, which stays with the table's first row.
    h += "<P><FONT SIZE=-1><TABLE WIDTH=50% BORDER=0><TD BGCOLOR=\"#000040\"><B>"
         "<FONT COLOR=\"#FFFFFF\">Считывания в архиве</FONT></B></TD></TABLE>" +
         historyTableHtml(rows, facts.sha256, false) + "</FONT></P>";

    // The figures between the last two readings.
    const HistoryRow* last = rows.empty() ? nullptr : &rows.back();
    const std::string since = rows.size() >= 2
                                  ? " с " + dayOf(rows[rows.size() - 2].reading.lastEventSeconds) +
                                        " по " + dayOf(last->reading.lastEventSeconds)
                                  : std::string();
    if (!last || last->period.state != Period::State::known) {
        h += sectionHead("За период между двумя последними считываниями") + "<TR><TD>" +
             (last && rows.size() >= 2 ? periodGap(last->period)
                                       : std::string("в архиве одно считывание")) +
             "</TD></TR></TABLE></P>";
    } else {
        const Period& p = last->period;
        const size_t n = p.columns.size();
        h += sectionHead("За период" + since) + "<TR><TD></TD>";
        for (size_t c = 0; c < n; ++c)
            h += "<TD WIDTH=15%>" +
                 (c + 1 == n ? std::string("Кран в целом") : "Группа №" + std::to_string(c + 1)) +
                 "</TD>";
        h += "</TR>";
        auto row = [&](const char* label, auto value) {
            h += "<TR><TD>" + std::string(label) + "</TD>";
            for (const PeriodColumn& c : p.columns)
                h += "<TD>" + value(c) + "</TD>";
            h += "</TR>";
        };
        row("Циклов", [](const PeriodColumn& c) { return countText(c.cyclesTotal); });
        row("С перегрузкой", [](const PeriodColumn& c) { return countText(c.cyclesOverload); });
        for (int m = 0; m < 4; ++m) {
            const std::string label = "В режиме Q" + std::to_string(m + 1);
            row(label.c_str(), [m](const PeriodColumn& c) { return countText(c.cyclesMode[m]); });
        }
        row("Кр периода",
            [](const PeriodColumn& c) { return c.kr ? krText(float(*c.kr)) : std::string("—"); });
        row("Поднято грузов, т",
            [](const PeriodColumn& c) { return liftedTonnesText(float(c.liftedKg)); });
        h += "</TABLE></P>";
        h += sectionHead("События и время работы за период") +
             "<TR><TD WIDTH=70%>Перегрузок</TD><TD>" + overloadsText(p) +
             "</TD></TR><TR><TD>Отказов датчиков</TD><TD>" + (p.eventsComplete ? "" : "≥ ") +
             countText(p.sensorFailures) + "</TD></TR><TR><TD>Включений</TD><TD>" +
             (p.eventsComplete ? "" : "≥ ") + countText(p.powerOns) + "</TD></TR>";
        const auto& names = last->reading.mechanismNames;
        for (size_t j = 0; j < p.operatingSeconds.size(); ++j)
            h += "<TR><TD>Время работы: " +
                 escapeHtml(j < names.size() ? names[j] : "механизм " + std::to_string(j + 1)) +
                 "</TD><TD>" + operatingTimeText(p.operatingSeconds[j]) + "</TR>";
        h += "</TABLE></P>";
    }

    h += sectionHead("Заключение инженера") +
         "<TR><TD WIDTH=40%>Инженер (фамилия, имя, отчество)</TD><TD>&nbsp;<BR>&nbsp;</TD></TR>"
         "<TR><TD>Удостоверение: номер, кем и когда выдано</TD><TD>&nbsp;<BR>&nbsp;</TD></TR>"
         "<TR><TD>Подпись</TD><TD>&nbsp;<BR>&nbsp;</TD></TR>"
         "<TR><TD>Дата</TD><TD>&nbsp;<BR>&nbsp;</TD></TR></TABLE></P>";
    h += htmlFooter + "</BODY></HTML>";
    return h;
}
