// gruvik2-cli protocol IMAGE [--format html|json|csv] [--out FILE]: the
// usage-conditions protocol as the page's HTML in Windows-1251, or its
// figures as data (UTF-8).
#include <cstdio>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/Pipeline.h"
#include "common/CommandLine.h"
#include "common/OutputWriter.h"
#include "views/ProtocolExport.h"
#include "views/RecorderSession.h"

namespace {

const char* const Usage = "ОБРАЗ [--format html|json|csv] [--csv-form rfc4180|ru] [--out ФАЙЛ]";
const char* const Help =
    "Протокол условий эксплуатации: страница в HTML (Windows-1251) или её числа.\n"
    "  --format html|json|csv    HTML (по умолчанию), JSON или CSV (RFC 4180)\n"
    "  --csv-form rfc4180|ru     ru: CSV для таблиц на русском: «;», десятичная\n"
    "                            запятая, метка порядка байтов UTF-8\n"
    "  --out ФАЙЛ                записать в файл (- или без него: стандартный вывод)\n";

int run(const std::vector<std::string>& args) {
    ReportOptions o;
    // The protocol reads the counters and the span of every event: the filter's
    // options would change nothing, so they are refused rather than ignored.
    std::optional<std::string> error;
    for (const std::string& a : args) {
        if (a == "--") break;
        const std::string name = a.substr(0, a.find('='));
        if (a.rfind("--", 0) == 0 && name != "--out" && name != "--format" &&
            name != "--csv-form" && !error)
            for (const char* f : {"--from", "--to", "--max", "--direction", "--level", "--config",
                                  "--discrete", "--relays", "--weights"})
                if (name == f) error = "параметр " + name + " к протоколу не относится";
    }
    // Only these options: getopt would take an abbreviated filter option for
    // the option it abbreviates.
    CommandLine line;
    if (!error) error = parseCommandLine(args, {{"format"}, {"csv-form"}, {"out"}}, line);
    for (const auto& [name, value] : line.options) {
        if (name == "out")
            o.out = value == "-" ? std::string() : value;
        else
            o.extra.insert(o.extra.end(), {"--" + name, value});
    }
    if (!error && line.operands.size() != 1)
        error = line.operands.empty() ? "не указан файл образа"
                                      : "лишний аргумент: " + line.operands[1];
    if (!error) o.image = line.operands[0];
    std::optional<OutputFormat> format;
    CsvForm form = CsvForm::rfc4180;
    if (!error) {
        const std::string name = formatOption(o.extra, "html");
        format =
            parseOutputFormat(name, {OutputFormat::html, OutputFormat::json, OutputFormat::csv});
        if (!format) error = badValue("--format", name, "html, json или csv");
    }
    if (!error) error = csvFormOption(o.extra, *format, form);
    if (error) return usageError("protocol", *error);
    RecorderSession session;
    if (int status = loadAndAnalyse(o.image, session)) return status;
    if (*format != OutputFormat::html) {
        const ProtocolExport figures = protocolExport(session);
        if (*format == OutputFormat::json)
            return writeStreamed(o.out, [&](OutputWriter& w) { writeProtocolJson(w, figures); });
        return writeStreamedCsv(o.out, form,
                                [&](OutputWriter& w) { writeProtocolCsv(w, figures); });
    }
    return writeWindows1251(session.protocolHtml(), o.out);
}

const bool registered = registerCommand({"protocol", Usage, run, Help});

} // namespace
