// gruvik2-cli events IMAGE: the decoded event list, one event a line:
// DD/MM/YYYY HH:MM:SS.T <TAB> importance <TAB> class <TAB> description; or
// as CSV or JSON with the records' fields (--format). With the filter's
// options the events are the journal's rows.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/Pipeline.h"
#include "common/CommandLine.h"
#include "common/Format.h"
#include "common/OutputWriter.h"
#include "events/EventTime.h"
#include "views/EventExport.h"
#include "views/RecorderSession.h"

namespace {

// A description holds the recorder's bytes (serial numbers): a control byte
// among them is shown as \xNN, so that every event stays on one line of four
// columns.
void writeOneLine(OutputWriter& w, const std::string& text) {
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != 0x7F) continue;
        w.append(std::string_view(text).substr(plain, i - plain));
        plain = i + 1;
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
        w.append(escaped, 4);
    }
    w.append(std::string_view(text).substr(plain));
}

const char* const Usage =
    "ОБРАЗ [--format text|csv|json] [--csv-form rfc4180|ru] [фильтр] [--out ФАЙЛ]";
const char* const Help =
    "События образа, одно в строке: время, важность, класс, описание; с параметрами\n"
    "фильтра — строки журнала.\n"
    "  --format text|csv|json    текст (по умолчанию), CSV (RFC 4180) или JSON\n"
    "  --csv-form rfc4180|ru     ru: CSV для таблиц на русском: «;», десятичная\n"
    "                            запятая, метка порядка байтов UTF-8\n"
    "  --out ФАЙЛ                записать в файл (- или без него: стандартный вывод)\n";

// Whether args hold any of the filter's options: then the rows are the journal's.
bool filterGiven(const std::vector<std::string>& args) {
    static const char* const names[] = {"--from",      "--to",     "--max",
                                        "--direction", "--level",  "--config",
                                        "--discrete",  "--relays", "--weights"};
    for (const std::string& a : args) {
        if (a == "--") break;
        for (const char* n : names)
            if (a == n || a.rfind(std::string(n) + "=", 0) == 0) return true;
    }
    return false;
}

void writeTextLines(OutputWriter& w, const std::vector<const genericParser*>& events) {
    for (const genericParser* e : events) {
        w.append(eventTimeText(e->seconds, e->tenths));
        w.put('\t');
        w.number(e->importance);
        w.put('\t');
        w.append(e->className());
        w.put('\t');
        writeOneLine(w, e->describe());
        w.put('\n');
    }
}

int run(const std::vector<std::string>& args) {
    ReportOptions o;
    bool fromGiven, toGiven;
    auto error = parseReportOptions(args, {"--format", "--csv-form"}, o, fromGiven, toGiven);
    std::optional<OutputFormat> format;
    CsvForm form = CsvForm::rfc4180;
    if (!error) {
        const std::string name = formatOption(o.extra, "text");
        format =
            parseOutputFormat(name, {OutputFormat::text, OutputFormat::csv, OutputFormat::json});
        if (!format) error = badValue("--format", name, "text, csv или json");
    }
    if (!error) error = csvFormOption(o.extra, *format, form);
    if (error) return usageError("events", *error);
    RecorderSession session;
    const bool filtered = filterGiven(args);
    if (int status = filtered ? loadAndFilter(o, fromGiven, toGiven, session)
                              : loadAndAnalyse(o.image, session))
        return status;
    const auto events =
        filtered ? listedEvents(session.lists.journalList) : allEvents(session.events);
    if (*format == OutputFormat::csv)
        return writeStreamedCsv(o.out, form, [&](OutputWriter& w) { writeEventsCsv(w, events); });
    return writeStreamed(o.out, [&](OutputWriter& w) {
        if (*format == OutputFormat::json)
            writeEventsJson(w, events);
        else
            writeTextLines(w, events);
    });
}

const bool registered = registerCommand({"events", Usage, run, Help, true});

} // namespace
