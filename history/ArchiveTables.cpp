#include "history/ArchiveTables.h"

#include <algorithm>
#include <cmath>

#include "common/Csv.h"
#include "common/Format.h"
#include "common/OutputWriter.h"
#include "views/ResourceFigures.h"

namespace {

ExportValue count(uint32_t v) {
    return ExportValue::of((long long)v);
}

ExportValue decimal(double v, int places) {
    return std::isfinite(v) ? ExportValue::ofDecimal(fixedDecimal(v, places)) : ExportValue{};
}

ExportValue used(double percent) {
    return std::isfinite(percent) ? ExportValue::ofDecimal(usedToDateText(percent)) : ExportValue{};
}

std::string columnLabel(size_t i, size_t columns) {
    return i + 1 < columns ? strprintf("Группа №%u", unsigned(i + 1)) : "Кран в целом";
}

} // namespace

std::string periodStateText(Period::State state) {
    switch (state) {
    case Period::State::first:
        return "";
    case Period::State::known:
        return "известен";
    case Period::State::countersReset:
        return "нет данных: счётчики сброшены";
    case Period::State::noData:
        break;
    }
    return "нет данных";
}

std::vector<ExportRecord> readingsTable(const std::vector<Reading>& readings) {
    std::vector<ExportRecord> out;
    for (const Reading& r : readings) {
        const ReadingColumn* crane =
            r.countersWritten && !r.columns.empty() ? &r.columns.back() : nullptr;
        ExportRecord e;
        e.emplace_back("serial_number", ExportValue::ofText(r.serial));
        e.emplace_back("reading", ExportValue::ofTextOrNone(isoLocalTime(r.lastEventSeconds)));
        e.emplace_back("file", ExportValue::ofText(r.path));
        e.emplace_back("sha256", ExportValue::ofText(r.sha256));
        e.emplace_back("cycles_total", crane ? count(crane->cyclesTotal) : ExportValue{});
        e.emplace_back("used_to_date_percent",
                       crane ? used(crane->usedToDatePercent) : ExportValue{});
        e.emplace_back("exhaustion_date",
                       crane ? ExportValue::ofTextOrNone(crane->exhaustionDate) : ExportValue{});
        e.emplace_back("service_life_end", ExportValue::ofTextOrNone(r.serviceLifeEnd));
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<ExportRecord> historyTable(const std::vector<HistoryRow>& rows) {
    std::vector<ExportRecord> out;
    for (const HistoryRow& h : rows) {
        const Reading& r = h.reading;
        const Period& p = h.period;
        const bool known = p.state == Period::State::known;
        const size_t columns = r.columns.size();
        for (size_t i = 0; i < columns + r.operatingSeconds.size(); ++i) {
            const bool cycles = i < columns;
            const ReadingColumn* c = cycles && r.countersWritten ? &r.columns[i] : nullptr;
            const PeriodColumn* pc = cycles && known ? &p.columns[i] : nullptr;
            const size_t j = i - columns;
            const bool time = !cycles && r.countersWritten;
            ExportRecord e;
            e.emplace_back("reading", ExportValue::ofTextOrNone(isoLocalTime(r.lastEventSeconds)));
            e.emplace_back("file", ExportValue::ofText(r.path));
            e.emplace_back("item", ExportValue::ofText(cycles ? columnLabel(i, columns)
                                                              : r.mechanismNames[j]));
            e.emplace_back("cycles_total", c ? count(c->cyclesTotal) : ExportValue{});
            e.emplace_back("cycles_overload", c ? count(c->cyclesOverload) : ExportValue{});
            for (int m = 0; m < 4; ++m)
                e.emplace_back(strprintf("cycles_q%d", m + 1),
                               c ? count(c->cyclesMode[m]) : ExportValue{});
            e.emplace_back("kr", c ? decimal(c->kr, 3) : ExportValue{});
            e.emplace_back("lifted_t", c ? decimal(c->liftedKg / 1000, 1) : ExportValue{});
            e.emplace_back("used_to_date_percent", c ? used(c->usedToDatePercent) : ExportValue{});
            e.emplace_back("exhaustion_date",
                           c ? ExportValue::ofTextOrNone(c->exhaustionDate) : ExportValue{});
            e.emplace_back("operating_seconds",
                           time ? count(r.operatingSeconds[j]) : ExportValue{});
            e.emplace_back("period", ExportValue::ofTextOrNone(periodStateText(p.state)));
            e.emplace_back("period_cycles_total", pc ? count(pc->cyclesTotal) : ExportValue{});
            e.emplace_back("period_cycles_overload",
                           pc ? count(pc->cyclesOverload) : ExportValue{});
            for (int m = 0; m < 4; ++m)
                e.emplace_back(strprintf("period_cycles_q%d", m + 1),
                               pc ? count(pc->cyclesMode[m]) : ExportValue{});
            e.emplace_back("period_kr", pc && pc->kr ? decimal(*pc->kr, 3) : ExportValue{});
            e.emplace_back("period_lifted_t", pc ? decimal(pc->liftedKg / 1000, 1) : ExportValue{});
            e.emplace_back("period_operating_seconds",
                           !cycles && known ? count(p.operatingSeconds[j]) : ExportValue{});
            const bool since = p.state != Period::State::first;
            e.emplace_back("overload_starts", since ? count(p.overloadStarts) : ExportValue{});
            e.emplace_back("sensor_failures", since ? count(p.sensorFailures) : ExportValue{});
            e.emplace_back("power_ons", since ? count(p.powerOns) : ExportValue{});
            e.emplace_back("events_complete",
                           since ? ExportValue::of(p.eventsComplete ? 1 : 0) : ExportValue{});
            out.push_back(std::move(e));
        }
    }
    return out;
}

std::vector<ExportRecord> historySummaryTable(const std::vector<HistoryRow>& rows) {
    std::vector<ExportRecord> out;
    for (const HistoryRow& h : rows) {
        const Reading& r = h.reading;
        const Period& p = h.period;
        const ReadingColumn* c =
            r.countersWritten && !r.columns.empty() ? &r.columns.back() : nullptr;
        const PeriodColumn* pc =
            p.state == Period::State::known && !p.columns.empty() ? &p.columns.back() : nullptr;
        ExportRecord e;
        e.emplace_back("reading", ExportValue::ofTextOrNone(isoLocalTime(r.lastEventSeconds)));
        e.emplace_back("cycles_total", c ? count(c->cyclesTotal) : ExportValue{});
        e.emplace_back("period_cycles_total", pc ? count(pc->cyclesTotal) : ExportValue{});
        e.emplace_back("kr", c ? decimal(c->kr, 3) : ExportValue{});
        e.emplace_back("period_kr", pc && pc->kr ? decimal(*pc->kr, 3) : ExportValue{});
        e.emplace_back("overload_starts",
                       p.state != Period::State::first ? count(p.overloadStarts) : ExportValue{});
        e.emplace_back("used_to_date_percent", c ? used(c->usedToDatePercent) : ExportValue{});
        e.emplace_back("exhaustion_date",
                       c ? ExportValue::ofTextOrNone(c->exhaustionDate) : ExportValue{});
        e.emplace_back("period", ExportValue::ofTextOrNone(periodStateText(p.state)));
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<ExportRecord> fleetTable(const std::vector<FleetRow>& rows) {
    std::vector<ExportRecord> out;
    for (const FleetRow& f : rows) {
        const Reading& r = f.latest;
        std::optional<double> most;
        std::string soonest;
        if (r.countersWritten)
            for (const ReadingColumn& c : r.columns) {
                most = std::max(most.value_or(0), c.usedToDatePercent);
                if (!c.exhaustionDate.empty() && (soonest.empty() || c.exhaustionDate < soonest))
                    soonest = c.exhaustionDate;
            }
        std::string flags;
        for (const std::string& t : f.flagTexts)
            flags += (flags.empty() ? "" : "; ") + t;
        ExportRecord e;
        e.emplace_back("serial_number", ExportValue::ofText(r.serial));
        e.emplace_back("readings", ExportValue::of((long long)f.readings));
        e.emplace_back("last_reading", ExportValue::ofTextOrNone(isoLocalDate(r.lastEventSeconds)));
        e.emplace_back("used_to_date_percent", most ? used(*most) : ExportValue{});
        e.emplace_back("exhaustion_date", ExportValue::ofTextOrNone(soonest));
        e.emplace_back("service_life_end", ExportValue::ofTextOrNone(r.serviceLifeEnd));
        const std::pair<const char*, bool> flagged[] = {
            {"used_two_thirds", f.usedTwoThirds},         {"life_end_soon", f.lifeEndSoon},
            {"exhaustion_soon", f.exhaustionSoon},        {"new_overloads", f.newOverloads},
            {"new_sensor_failures", f.newSensorFailures}, {"stale", f.stale}};
        for (const auto& [name, on] : flagged)
            e.emplace_back(name, ExportValue::of(on ? 1 : 0));
        e.emplace_back("flags", ExportValue::ofTextOrNone(flags));
        e.emplace_back("file", ExportValue::ofText(r.path));
        out.push_back(std::move(e));
    }
    return out;
}

void writeTableCsv(OutputWriter& w, const std::vector<ExportRecord>& records) {
    if (records.empty()) return;
    std::vector<std::string> cells;
    for (const auto& [name, value] : records.front())
        cells.push_back(name);
    writeCsvRecord(w, cells);
    for (const ExportRecord& r : records) {
        cells.clear();
        for (const auto& [name, value] : r)
            cells.push_back(csvText(value));
        writeCsvRecord(w, cells);
    }
}

void writeTableJson(OutputWriter& w, const std::vector<ExportRecord>& records) {
    writeJsonObjects(w, records, 0);
    w.put('\n');
}

namespace {
// Characters, not bytes: a cell of Cyrillic is as wide as one of Latin.
size_t widthOf(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string oneLine(std::string s) {
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\n' || c == '\t'; }, ' ');
    return s;
}
} // namespace

void writeTableText(OutputWriter& w, const std::vector<ExportRecord>& records) {
    if (records.empty()) return;
    std::vector<std::vector<std::string>> lines(1);
    for (const auto& [name, value] : records.front())
        lines[0].push_back(name);
    for (const ExportRecord& r : records) {
        lines.emplace_back();
        for (const auto& [name, value] : r)
            lines.back().push_back(oneLine(csvText(value)));
    }
    std::vector<size_t> widths(lines[0].size(), 0);
    for (const auto& l : lines)
        for (size_t k = 0; k < l.size() && k < widths.size(); ++k)
            widths[k] = std::max(widths[k], widthOf(l[k]));
    for (const auto& l : lines) {
        std::string text;
        for (size_t k = 0; k < l.size(); ++k) {
            text += l[k];
            if (k + 1 < l.size()) text += std::string(widths[k] - widthOf(l[k]) + 2, ' ');
        }
        w.append(text);
        w.put('\n');
    }
}
