// gruvik2-cli protocol IMAGE [--format html|json|csv] [--out FILE]: the
// usage-conditions protocol as the page's HTML in Windows-1251, or its
// figures as data (UTF-8).
#include <cstdio>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/Pipeline.h"
#include "common/OutputWriter.h"
#include "views/ProtocolExport.h"
#include "views/RecorderSession.h"

namespace {

const char* const Usage = "IMAGE [--format html|json|csv] [--out FILE]";

int run(const std::vector<std::string>& args) {
    ReportOptions o;
    bool fromGiven, toGiven;
    // The protocol reads the counters and the span of every event: the filter's
    // options would change nothing, so they are refused rather than ignored.
    std::optional<std::string> error;
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0 && a != "--out" && a != "--format" && !error)
            error = "option " + a + " does not apply to the protocol";
    if (!error) error = parseReportOptions(args, {"--format"}, o, fromGiven, toGiven);
    std::optional<OutputFormat> format;
    if (!error) {
        const std::string name = formatOption(o.extra, "html");
        format =
            parseOutputFormat(name, {OutputFormat::html, OutputFormat::json, OutputFormat::csv});
        if (!format) error = "bad value for --format: " + name;
    }
    if (error) {
        std::fprintf(stderr, "%s\nusage: gruvik2-cli protocol %s\n", error->c_str(), Usage);
        return 2;
    }
    RecorderSession session;
    if (int status = loadAndAnalyse(o.image, session)) return status;
    if (*format != OutputFormat::html) {
        const ProtocolExport figures = protocolExport(session);
        return writeStreamed(o.out, [&](OutputWriter& w) {
            if (*format == OutputFormat::json)
                writeProtocolJson(w, figures);
            else
                writeProtocolCsv(w, figures);
        });
    }
    return writeWindows1251(session.protocolHtml(), o.out);
}

const bool registered = registerCommand({"protocol", Usage, run});

} // namespace
