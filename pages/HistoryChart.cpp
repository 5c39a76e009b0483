#include "pages/HistoryChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "history/Archive.h"

namespace {

constexpr double DaySeconds = 86400;

// Days since 1970-01-01 of a civil date, and back.
long daysOfCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + long(doe) - 719468;
}

struct Civil {
    long year;
    unsigned month, day;
};

Civil civilOfDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {long(yoe) + era * 400 + (m <= 2), m, d};
}

std::optional<double> secondsOfIsoDate(const std::string& date) {
    if (auto days = daysOfIsoDate(date)) return double(*days) * DaySeconds;
    return std::nullopt;
}

const Rgb Ink{0, 0, 0}, Grid{208, 208, 208}, Axis{96, 96, 96}, LifeEnd{176, 0, 0};

struct Point {
    double seconds, percent;
    bool joined; // a line leads to it from the point before
};

// The column of a reading that a series follows: a group by its place, the
// crane as the last column whatever the count.
const ReadingColumn* columnOf(const Reading& reading, size_t series, size_t seriesCount) {
    if (reading.columns.empty()) return nullptr;
    if (series + 1 == seriesCount) return &reading.columns.back();
    return series + 1 < reading.columns.size() ? &reading.columns[series] : nullptr;
}

// Dashes drawn one by one: every surface shows them alike.
void dashedLine(Canvas& canvas, int x1, int y1, int x2, int y2, int dash, int space) {
    const double length = std::hypot(double(x2 - x1), double(y2 - y1));
    if (length < 1) return;
    const double dx = (x2 - x1) / length, dy = (y2 - y1) / length;
    for (double d = 0; d < length; d += dash + space) {
        const double e = std::min(length, d + dash);
        canvas.drawLine(x1 + int(std::lround(dx * d)), y1 + int(std::lround(dy * d)),
                        x1 + int(std::lround(dx * e)), y1 + int(std::lround(dy * e)));
    }
}

std::string percentLabel(double v) {
    char text[32];
    std::snprintf(text, sizeof text, v == std::floor(v) ? "%.0f %%" : "%.1f %%", v);
    return text;
}

} // namespace

std::optional<long> daysOfIsoDate(const std::string& date) {
    int y = 0, m = 0, d = 0, used = 0;
    if (date.size() != 10 || std::sscanf(date.c_str(), "%4d-%2d-%2d%n", &y, &m, &d, &used) != 3 ||
        used != 10 || m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    return daysOfCivil(y, unsigned(m), unsigned(d));
}

std::string historySeriesName(size_t column, size_t columns) {
    if (column + 1 == columns) return "Кран";
    return std::to_string(column + 1) + "-я группа";
}

Rgb historySeriesColour(size_t column, size_t columns) {
    static const Rgb groups[] = {{0, 70, 200}, {0, 128, 0}, {200, 110, 0}, {128, 0, 160}};
    if (column + 1 == columns) return Ink;
    return groups[column % 4];
}

void drawHistoryChart(Canvas& canvas, const std::vector<HistoryRow>& rows, int x, int y, int width,
                      int height, double scale) {
    if (rows.empty() || width < 40 || height < 40) return;
    auto px = [scale](double v) { return std::max(1, int(std::lround(v * scale))); };
    const Reading& latest = rows.back().reading;
    const size_t seriesCount = std::max<size_t>(latest.columns.size(), 1);

    // The points of every series, and the span of time the chart covers.
    std::vector<std::vector<Point>> series(seriesCount);
    double start = rows.front().reading.lastEventSeconds, end = latest.lastEventSeconds;
    if (latest.installationDate > 0) start = std::min(start, double(latest.installationDate));
    double top = 0;
    for (const HistoryRow& row : rows) {
        if (!row.reading.countersWritten) continue;
        for (size_t s = 0; s < seriesCount; ++s)
            if (const ReadingColumn* c = columnOf(row.reading, s, seriesCount)) {
                series[s].push_back({double(row.reading.lastEventSeconds), c->usedToDatePercent,
                                     row.period.state == Period::State::known});
                top = std::max(top, c->usedToDatePercent);
            }
    }
    const std::optional<double> lifeEnd = secondsOfIsoDate(latest.serviceLifeEnd);
    // The forecasts reach 100 % at the exhaustion dates; the chart goes as far
    // as the first of them and the end of the service life, within reason.
    std::vector<std::optional<double>> exhaustion(seriesCount);
    const double reach = end + 30 * 365.25 * DaySeconds;
    for (size_t s = 0; s < seriesCount; ++s)
        if (latest.countersWritten)
            if (const ReadingColumn* c = columnOf(latest, s, seriesCount))
                exhaustion[s] = secondsOfIsoDate(c->exhaustionDate);
    std::optional<double> firstExhaustion;
    for (const auto& e : exhaustion)
        if (e && *e <= reach) firstExhaustion = std::min(e.value(), firstExhaustion.value_or(*e));
    if (lifeEnd && *lifeEnd <= reach) end = std::max(end, *lifeEnd);
    if (firstExhaustion) end = std::max(end, *firstExhaustion);
    if (end <= start) end = start + 365 * DaySeconds;
    const double pad = (end - start) * 0.03;
    start -= pad;
    end += pad;
    // The scale reaches the highest share shown, the forecasts' at the
    // chart's end included; 100 % when it is that near.
    for (size_t s = 0; s < seriesCount; ++s)
        if (exhaustion[s] && !series[s].empty() && *exhaustion[s] > series[s].back().seconds) {
            const Point last = series[s].back();
            const double rate = (100 - last.percent) / (*exhaustion[s] - last.seconds);
            top = std::max(top, std::min(100.0, last.percent + rate * (end - last.seconds)));
        }
    if (top >= 50) top = std::max(top, 100.0);
    double step = 100;
    for (double candidate : {0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0})
        if (top / (step = candidate) <= 6) break;
    top = std::max(step, std::ceil(top / step - 1e-9) * step);
    // Texts and margins.
    const CanvasFont font{std::max(1, int(std::lround(8 * scale))), CanvasFont::normal, "Sans"};
    const CanvasFont bold{font.points, CanvasFont::bold, "Sans"};
    canvas.setFont(font);
    int labelW = 0, lineH = 0;
    canvas.textExtent(percentLabel(top) + "0", labelW, lineH);
    const int gap = px(6);
    const int left = x + labelW + gap, right = x + width - px(12);
    const int plotBottom = y + height - lineH - 2 * gap;

    // The legend: the lines, the forecast (with the crane's 100 % date where
    // that lies off the chart) and the life's end, in as many rows as it needs.
    struct Item {
        std::string name;
        Rgb colour;
        bool dashed;
        int pen, width = 0, x = 0, row = 0;
    };
    std::vector<Item> items;
    for (size_t s = 0; s < seriesCount; ++s)
        items.push_back({historySeriesName(s, seriesCount), historySeriesColour(s, seriesCount),
                         false, px(s + 1 == seriesCount ? 2 : 1)});
    std::string forecast = "прогноз до 100 %";
    if (const ReadingColumn* crane = columnOf(latest, seriesCount - 1, seriesCount);
        crane && latest.countersWritten && exhaustion.back() && *exhaustion.back() > end) {
        const std::string& d = crane->exhaustionDate;
        forecast += " (кран: " + d.substr(8, 2) + "/" + d.substr(5, 2) + "/" + d.substr(0, 4) + ")";
    }
    items.push_back({forecast, Axis, true, px(1)});
    if (lifeEnd) items.push_back({"конец срока службы", LifeEnd, false, px(1)});
    int rowsUsed = 1;
    for (int lx = left; Item & item : items) {
        int th = 0;
        canvas.textExtent(item.name, item.width, th);
        item.width += px(24);
        if (lx > left && lx + item.width > right) lx = left, ++rowsUsed;
        item.x = lx;
        item.row = rowsUsed - 1;
        lx += item.width + px(14);
    }
    const int plotTop = y + (rowsUsed + 1) * (lineH + gap / 2) + gap;
    if (right - left < 40 || plotBottom - plotTop < 30) return;

    canvas.setTextColour(Ink);
    canvas.setFont(bold);
    canvas.drawText("Израсходованный ресурс на дату считывания, %", left, y);
    canvas.setFont(font);
    for (const Item& item : items) {
        const int ly = y + (item.row + 1) * (lineH + gap / 2);
        canvas.setPen(item.colour, item.pen, Canvas::solid);
        if (item.dashed)
            dashedLine(canvas, item.x, ly + lineH / 2, item.x + px(20), ly + lineH / 2, px(5),
                       px(3));
        else
            canvas.drawLine(item.x, ly + lineH / 2, item.x + px(20), ly + lineH / 2);
        canvas.setTextColour(item.colour);
        canvas.drawText(item.name, item.x + px(24), ly);
    }
    canvas.setTextColour(Ink);

    auto xAt = [&](double seconds) {
        return left + int(std::lround((seconds - start) / (end - start) * (right - left)));
    };
    auto yAt = [&](double percent) {
        return plotBottom - int(std::lround(percent / top * (plotBottom - plotTop)));
    };

    // The grid: percents every step, with 100 % stronger; years (or quarters).
    for (int i = 0; i * step <= top + 1e-9; ++i) {
        const double p = i * step;
        canvas.setPen(p == 100 ? Axis : Grid, px(p == 100 ? 2 : 1), Canvas::solid);
        canvas.drawLine(left, yAt(p), right, yAt(p));
        int tw = 0, th = 0;
        const std::string label = percentLabel(p);
        canvas.textExtent(label, tw, th);
        canvas.drawText(label, left - gap - tw, yAt(p) - th / 2);
    }
    const long firstDay = long(std::floor(start / DaySeconds)), lastDay = long(end / DaySeconds);
    const Civil from = civilOfDays(firstDay), to = civilOfDays(lastDay);
    const long years = to.year - from.year + 1;
    int labelWidth = 0, th = 0;
    canvas.textExtent(years < 3 ? "00.0000" : "0000", labelWidth, th);
    const int room = std::max(1, (right - left) / (labelWidth + px(16)));
    if (years >= 3) {
        long every = 1;
        for (long candidate : {1, 2, 5, 10, 20, 50})
            if ((every = candidate) * room >= years) break;
        for (long year = from.year; year <= to.year + 1; ++year) {
            if (year % every) continue;
            const double at = double(daysOfCivil(year, 1, 1)) * DaySeconds;
            if (at < start || at > end) continue;
            canvas.setPen(Grid, px(1), Canvas::solid);
            canvas.drawLine(xAt(at), plotTop, xAt(at), plotBottom);
            const std::string label = std::to_string(year);
            int tw = 0;
            canvas.textExtent(label, tw, th);
            canvas.drawText(label, xAt(at) - tw / 2, plotBottom + gap);
        }
    } else {
        const long quarters = years * 4;
        const long every = std::max(1L, (quarters + room - 1) / room);
        for (long q = 0; q <= quarters; q += every) {
            const long year = from.year + q / 4;
            const unsigned month = unsigned(q % 4) * 3 + 1;
            const double at = double(daysOfCivil(year, month, 1)) * DaySeconds;
            if (at < start || at > end) continue;
            canvas.setPen(Grid, px(1), Canvas::solid);
            canvas.drawLine(xAt(at), plotTop, xAt(at), plotBottom);
            char label[16];
            std::snprintf(label, sizeof label, "%02u.%04ld", month, year);
            int tw = 0;
            canvas.textExtent(label, tw, th);
            canvas.drawText(label, xAt(at) - tw / 2, plotBottom + gap);
        }
    }
    canvas.setPen(Axis, px(1), Canvas::solid);
    canvas.clearBrush();
    canvas.drawLine(left, plotTop, left, plotBottom);
    canvas.drawLine(left, plotBottom, right, plotBottom);

    canvas.clip(left, plotTop - px(4), right - left + 1, plotBottom - plotTop + px(8));
    // The end of the service life.
    if (lifeEnd && *lifeEnd >= start && *lifeEnd <= end) {
        canvas.setPen(LifeEnd, px(1), Canvas::solid);
        canvas.drawLine(xAt(*lifeEnd), plotTop, xAt(*lifeEnd), plotBottom);
    }
    // The forecasts, then the lines and their readings over them.
    for (size_t s = 0; s < seriesCount; ++s) {
        if (!exhaustion[s] || series[s].empty()) continue;
        const Point last = series[s].back();
        if (last.seconds != latest.lastEventSeconds || last.percent >= 100 ||
            *exhaustion[s] <= last.seconds)
            continue;
        canvas.setPen(historySeriesColour(s, seriesCount), px(1), Canvas::solid);
        // Beyond the chart's end the line stops there, at the share it has reached.
        const double to = std::min(*exhaustion[s], end);
        const double reached = last.percent + (100 - last.percent) * (to - last.seconds) /
                                                  (*exhaustion[s] - last.seconds);
        dashedLine(canvas, xAt(last.seconds), yAt(last.percent), xAt(to), yAt(reached), px(5),
                   px(3));
    }
    for (size_t s = 0; s < seriesCount; ++s) {
        const Rgb colour = historySeriesColour(s, seriesCount);
        const bool crane = s + 1 == seriesCount;
        canvas.setPen(colour, px(crane ? 2 : 1), Canvas::solid);
        for (size_t i = 1; i < series[s].size(); ++i) {
            const Point a = series[s][i - 1], b = series[s][i];
            // Counters reset or erased: the two readings are not one line.
            if (!b.joined) continue;
            canvas.drawLine(xAt(a.seconds), yAt(a.percent), xAt(b.seconds), yAt(b.percent));
        }
        canvas.setBrush(colour);
        for (const Point& p : series[s])
            canvas.drawCircle(xAt(p.seconds), yAt(p.percent), px(crane ? 3 : 2));
        canvas.clearBrush();
    }
    canvas.unclip();
}
