// gruvik2-cli summary IMAGE... [--format csv|json] [--out FILE]: one row per
// image for a fleet, the images analysed on every core. An image that fails
// gets a row with its error and the exit status 2; the others still count.
#include <cstdio>
#include <optional>
#include <string>
#include <unistd.h>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "common/CommandLine.h"
#include "common/OutputWriter.h"
#include "common/SafeFile.h"
#include "views/FleetSummary.h"

namespace {

const char* const Usage = "ОБРАЗ... [--format csv|json] [--csv-form rfc4180|ru] [--out ФАЙЛ]";
const char* const Help =
    "Сводка по парку: строка на образ; образ с ошибкой получает её текст и пустые\n"
    "числа, код завершения тогда 2.\n"
    "  --format csv|json         CSV (RFC 4180, по умолчанию) или JSON\n"
    "  --csv-form rfc4180|ru     ru: CSV для таблиц на русском: «;», десятичная\n"
    "                            запятая, метка порядка байтов UTF-8\n"
    "  --out ФАЙЛ                записать в файл (- или без него: стандартный вывод)\n";

int run(const std::vector<std::string>& args) {
    CommandLine line;
    std::optional<std::string> error =
        parseCommandLine(args, {{"format"}, {"csv-form"}, {"out"}}, line);
    const std::vector<std::string>& images = line.operands;
    std::string out, formatName = "csv";
    std::vector<std::string> extra;
    for (const auto& [name, value] : line.options) {
        if (name == "out")
            out = value == "-" ? std::string() : value;
        else if (name == "format")
            formatName = value;
        else
            extra.insert(extra.end(), {"--" + name, value});
    }
    const auto format = parseOutputFormat(formatName, {OutputFormat::csv, OutputFormat::json});
    if (!error && !format) error = badValue("--format", formatName, "csv или json");
    CsvForm form = CsvForm::rfc4180;
    if (!error) error = csvFormOption(extra, *format, form);
    if (!error && images.empty()) error = "не указан файл образа";
    if (error) return usageError("summary", *error);

    // Progress only on a terminal, so that redirected output stays clean.
    const bool terminal = ::isatty(2) == 1;
    auto progress = [terminal](size_t done, size_t total) {
        if (!terminal) return;
        std::fprintf(stderr, "\r\033[KСводка: обработано %zu из %zu", done, total);
        if (done == total) std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    };
    for (const auto& image : images)
        protectInput(image);
    const FleetSummary summary = summarizeImages(images, 0, progress);
    for (const auto& row : summary.rows)
        if (row[1].second.kind != ExportValue::none)
            std::fprintf(stderr, "%s: %s\n", row[0].second.printed.c_str(),
                         row[1].second.printed.c_str());
    const int written =
        *format == OutputFormat::json
            ? writeStreamed(out, [&](OutputWriter& w) { writeSummaryJson(w, summary); })
            : writeStreamedCsv(out, form, [&](OutputWriter& w) { writeSummaryCsv(w, summary); });
    return written != 0 || summary.failed != 0 ? 2 : 0;
}

const bool registered = registerCommand({"summary", Usage, run, Help});

} // namespace
