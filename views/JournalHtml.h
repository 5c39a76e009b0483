#pragma once
// The event journal as an HTML table: one row per event of the journal list,
// coloured by importance.
#include <cstdint>
#include <string>

class aList;
class genericParser;
class Progress;

// One table row for e.
void appendJournalRow(std::string& html, const genericParser& e);

// Builds the whole page into html. With progress, reports values k * 10 / N
// with "Генерация журнала событий" each time the value changes; returns false
// (html incomplete) when the user cancels.
bool buildJournalHtml(const aList& journalList, Progress* progress, std::string& html);
