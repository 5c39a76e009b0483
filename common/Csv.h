#pragma once
// Comma-separated values as RFC 4180 has them: fields separated by commas,
// records ended by CR LF; a field holding a comma, a double quote, CR or LF is
// enclosed in double quotes, its quotes doubled. Text is written as given
// (UTF-8 here), with two exceptions: a field that begins with =, +, -, @, tab
// or CR and is not a number gets a leading apostrophe, so that a spreadsheet
// shows it as text instead of running it as a formula; a byte that is not part
// of valid UTF-8 (a file name's, say) is written as \xNN.
#include <string>
#include <string_view>
#include <vector>

#include "common/OutputWriter.h"

std::string csvField(std::string_view text);

// The fields of one record, each quoted where needed, and the CR LF.
void appendCsvRecord(std::string& out, const std::vector<std::string>& fields);

// The same, written as it goes.
void writeCsvRecord(OutputWriter& w, const std::vector<std::string>& fields);

// The two forms the exports are written in: RFC 4180 as above, or the one a
// spreadsheet set to Russian opens as columns and numbers: fields separated
// by semicolons, numbers with a decimal comma, and a UTF-8 byte-order mark
// ahead of the header so that the text is read as UTF-8.
enum class CsvForm { rfc4180, ru };

// rfc4180 (records as appendCsvRecord writes them) in form. A field that is a
// decimal number ("-0.193") gets its comma; other fields keep their text.
std::string csvInForm(std::string rfc4180, CsvForm form);

// The same for text that comes in pieces: passes the RFC 4180 it is given on
// to next in the Russian form, the byte-order mark first, each field once it
// is complete (a field is the most it holds back).
class RussianCsvSink : public ByteSink {
public:
    explicit RussianCsvSink(ByteSink& next);
    void write(const char* data, size_t size) override;
    // Ends the last field and hands everything on.
    void finish();

private:
    void endField();
    void endField(std::string_view field);
    void flush();

    enum class State { fieldStart, plain, quoted, quoteSeen, afterCr };
    ByteSink& next_;
    State state_ = State::fieldStart;
    std::string field_, out_;
};
