#pragma once
// The documents of «История»: the table of a recorder's readings in the
// archive as the page shows it, the sentence shown instead when there is
// none, and the printed history with the period figures of the last two
// readings, the passport, the image's checksum and the engineer's block.
// HTML in UTF-8.
#include <string>
#include <utility>
#include <vector>

struct HistoryRow;

// What the printout says of the open image besides the archive's figures.
struct HistoryPrintFacts {
    std::string serial;
    // The passport's fields as the protocol gives them: label, value.
    std::vector<std::pair<std::string, std::string>> passport;
    std::string imageFile;
    std::string sha256;    // of the image file, lowercase hex; empty when unknown
    std::string printedOn; // the date the page is printed, as shown
};

// The readings in time order, one row each; the row of the reading whose
// image has the checksum currentSha256 is marked.
// Dates with the time of day when withTime.
std::string historyTableHtml(const std::vector<HistoryRow>& rows, const std::string& currentSha256,
                             bool withTime = true);

// A page with one message (no image, no readings, the archive unreadable).
std::string historyMessageHtml(const std::string& title, const std::string& text);

// The printed history; drawingTag is the chart's place in the document.
std::string historyPrintHtml(const std::vector<HistoryRow>& rows, const HistoryPrintFacts& facts,
                             const std::string& drawingTag);
