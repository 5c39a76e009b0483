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

const char* const Usage = "IMAGE [--format text|csv|json] [filter options] [--out FILE]";

// Whether args hold any of the filter's options: then the rows are the journal's.
bool filterGiven(const std::vector<std::string>& args) {
    static const char* const names[] = {"--from",      "--to",     "--max",
                                        "--direction", "--level",  "--config",
                                        "--discrete",  "--relays", "--weights"};
    for (const std::string& a : args)
        for (const char* n : names)
            if (a == n) return true;
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
    auto error = parseReportOptions(args, {"--format"}, o, fromGiven, toGiven);
    std::optional<OutputFormat> format;
    if (!error) {
        const std::string name = formatOption(o.extra, "text");
        format =
            parseOutputFormat(name, {OutputFormat::text, OutputFormat::csv, OutputFormat::json});
        if (!format) error = "bad value for --format: " + name;
    }
    if (error) {
        std::fprintf(stderr, "%s\nusage: gruvik2-cli events %s\n  filter options: %s\n",
                     error->c_str(), Usage, filterOptionsUsage);
        return 2;
    }
    RecorderSession session;
    const bool filtered = filterGiven(args);
    if (int status = filtered ? loadAndFilter(o, fromGiven, toGiven, session)
                              : loadAndAnalyse(o.image, session))
        return status;
    const auto events =
        filtered ? listedEvents(session.lists.journalList) : allEvents(session.events);
    return writeStreamed(o.out, [&](OutputWriter& w) {
        switch (*format) {
        case OutputFormat::csv:
            return writeEventsCsv(w, events);
        case OutputFormat::json:
            return writeEventsJson(w, events);
        default:
            return writeTextLines(w, events);
        }
    });
}

const bool registered = registerCommand({"events", Usage, run});

} // namespace
