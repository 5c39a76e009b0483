#pragma once
// The chart of «История»: the used share of the resource to date over time,
// one line per load group and one for the crane through the readings of the
// archive, a dashed line from the latest reading to 100 % at the rate to date
// (to its exhaustion date), and the end of the service life marked. Drawn on
// a Canvas, so that the window and the printed page look alike.
#include <optional>
#include <string>
#include <vector>

#include "views/Canvas.h"

struct HistoryRow;

// "YYYY-MM-DD" as days since 1970-01-01; nothing for another text.
std::optional<long> daysOfIsoDate(const std::string& date);

// Paints the chart of rows (one recorder's, in time order) into the rectangle
// (x, y, width, height). scale: the surface's pixels per pixel of a 96-dpi
// screen (1 in the window), for the sizes of text and lines.
void drawHistoryChart(Canvas& canvas, const std::vector<HistoryRow>& rows, int x, int y, int width,
                      int height, double scale);

// The series' names and colours: the groups, then the crane (always last).
std::string historySeriesName(size_t column, size_t columns);
Rgb historySeriesColour(size_t column, size_t columns);
