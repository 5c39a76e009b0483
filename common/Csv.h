#pragma once
// Comma-separated values as RFC 4180 has them: fields separated by commas,
// records ended by CR LF; a field holding a comma, a double quote, CR or LF is
// enclosed in double quotes, its quotes doubled. Text is written as given
// (UTF-8 here).
#include <string>
#include <string_view>
#include <vector>

std::string csvField(std::string_view text);

// The fields of one record, each quoted where needed, and the CR LF.
void appendCsvRecord(std::string& out, const std::vector<std::string>& fields);

class OutputWriter;
// The same, written as it goes.
void writeCsvRecord(OutputWriter& w, const std::vector<std::string>& fields);
