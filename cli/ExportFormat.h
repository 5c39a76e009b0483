#pragma once
// The --format option of the report commands and the writing of their data
// outputs (UTF-8) to stdout or to the --out file.
#include <functional>
#include <optional>
#include <string>
#include <vector>

class OutputWriter;
#include "common/Csv.h"

enum class OutputFormat { text, html, csv, json };

// The format named by value among allowed; nothing when it is not one of them.
std::optional<OutputFormat> parseOutputFormat(const std::string& value,
                                              const std::vector<OutputFormat>& allowed);

// The value of --format in options' extra name/value pairs, or fallback.
std::string formatOption(const std::vector<std::string>& extra, const std::string& fallback);

// The --csv-form in extra (rfc4180 by default) into form; an error text when
// it names no form or is given with a format other than CSV.
std::optional<std::string> csvFormOption(const std::vector<std::string>& extra, OutputFormat format,
                                         CsvForm& form);

// bytes to stdout (out empty) or into the file out, replaced whole or not at
// all. Returns 0, or 2 with the reason on stderr.
int writeOutput(const std::string& bytes, const std::string& out);

// Runs produce with a writer whose bytes go to stdout (out empty) or into the
// file out, which is replaced only once produce has returned and everything
// arrived. windows1251: the UTF-8 that produce writes leaves in Windows-1251.
// Returns 0, or 2 with the reason on stderr.
int writeStreamed(const std::string& out, const std::function<void(OutputWriter&)>& produce,
                  bool windows1251 = false);

// As writeStreamed, for CSV that produce writes in RFC 4180: in form.
int writeStreamedCsv(const std::string& out, CsvForm form,
                     const std::function<void(OutputWriter&)>& produce);
