// gruvik2-cli summary IMAGE... [--format csv|json] [--out FILE]: one row per
// image for a fleet, the images analysed on every core. An image that fails
// gets a row with its error and the exit status 2; the others still count.
#include <cstdio>
#include <optional>
#include <string>
#include <unistd.h>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "common/SafeFile.h"
#include "views/FleetSummary.h"

namespace {

const char* const Usage = "IMAGE... [--format csv|json] [--out FILE]";

int run(const std::vector<std::string>& args) {
    std::vector<std::string> images;
    std::string out, formatName = "csv";
    std::optional<std::string> error;
    for (size_t i = 0; i < args.size() && !error; ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            images.push_back(a);
        } else if (a != "--format" && a != "--out") {
            error = "unknown option " + a;
        } else if (i + 1 >= args.size()) {
            error = "option " + a + " needs a value";
        } else {
            (a == "--format" ? formatName : out) = args[++i];
        }
    }
    const auto format = parseOutputFormat(formatName, {OutputFormat::csv, OutputFormat::json});
    if (!error && !format) error = "bad value for --format: " + formatName;
    if (!error && images.empty()) error = "no image given";
    if (error) {
        std::fprintf(stderr, "%s\nusage: gruvik2-cli summary %s\n", error->c_str(), Usage);
        return 2;
    }

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
    const int written = writeOutput(
        *format == OutputFormat::json ? summaryJson(summary) : summaryCsv(summary), out);
    return written != 0 || summary.failed != 0 ? 2 : 0;
}

const bool registered = registerCommand({"summary", Usage, run});

} // namespace
