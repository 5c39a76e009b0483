#pragma once
// The event journal as an HTML table: one row per event of the journal list,
// coloured by importance. The whole page is what the command line writes and
// the window prints; the window shows the same rows one at a time, each laid
// out on its own, so that a journal of any length costs only the rows on screen.
#include <cstdint>
#include <string>
#include <vector>

class genericParser;
class OutputWriter;
class Progress;

// One table row for e.
void appendJournalRow(std::string& html, const genericParser& e);

// The events of a journal list in its order: a filtered list, and what a
// view that lays out only the rows on screen keeps (a pointer a row).
using JournalRows = std::vector<const genericParser*>;

// Builds the whole page into html. With progress, reports values k * 10 / N
// with "Генерация журнала событий" each time the value changes; returns false
// (html incomplete) when the user cancels.
bool buildJournalHtml(const JournalRows& journalList, Progress* progress, std::string& html);
// The same page, written as it goes.
void writeJournalHtml(OutputWriter& w, const JournalRows& journalList);

// Takes the events of journalList into rows, reporting as buildJournalHtml;
// false, and rows unchanged, when the user cancels.
bool collectJournalRows(const JournalRows& journalList, Progress* progress, JournalRows& rows);

// Pieces of the page for a view that lays them out apart: the title with the
// header row, and one event's row. Each row is a table of its own whose
// date column is timeWidth pixels wide, as in the header, so that the columns
// line up from one piece to the next.
std::string journalHeadHtml(int timeWidth);
// The header row alone, as journalHeadHtml has it: the columns' names.
std::string journalColumnsHtml(int timeWidth);
std::string journalItemHtml(const genericParser& e, int timeWidth);
// The same row from its texts: a date column's text, a description (HTML)
// and the importance that colours it.
std::string journalRowHtml(const std::string& time, const std::string& description,
                           uint8_t importance, int timeWidth);
