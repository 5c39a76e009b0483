// gruvik2-cli events IMAGE: the decoded event list, one event a line:
// DD/MM/YYYY HH:MM:SS.T <TAB> importance <TAB> class <TAB> description; or
// as CSV or JSON with the records' fields (--format). With the filter's
// options the events are the journal's rows.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/Pipeline.h"
#include "common/Format.h"
#include "events/EventTime.h"
#include "views/EventExport.h"
#include "views/RecorderSession.h"

namespace {

// A description holds the recorder's bytes (serial numbers): a control byte
// among them is shown as \xNN, so that every event stays on one line of four
// columns.
std::string oneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out;
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

std::string textLines(const std::vector<const genericParser*>& events) {
    std::string out;
    out.reserve(events.size() * 100);
    for (const genericParser* e : events)
        out += strprintf("%s\t%u\t%s\t%s\n", eventTimeText(e->seconds, e->tenths).c_str(),
                         unsigned(e->importance), e->className(), oneLine(e->describe()).c_str());
    return out;
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
    switch (*format) {
    case OutputFormat::csv:
        return writeOutput(eventsCsv(events), o.out);
    case OutputFormat::json:
        return writeOutput(eventsJson(events), o.out);
    default:
        return writeOutput(textLines(events), o.out);
    }
}

const bool registered = registerCommand({"events", Usage, run});

} // namespace
