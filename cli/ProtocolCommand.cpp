// gruvik2-cli protocol IMAGE [--out FILE]: the usage-conditions protocol, Windows-1251.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/Pipeline.h"
#include "views/RecorderSession.h"

namespace {

int run(const std::vector<std::string>& args) {
    ReportOptions o;
    bool fromGiven, toGiven;
    // The protocol reads the counters and the span of every event: the filter's
    // options would change nothing, so they are refused rather than ignored.
    std::optional<std::string> error;
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0 && a != "--out" && !error)
            error = "option " + a + " does not apply to the protocol";
    if (!error) error = parseReportOptions(args, {}, o, fromGiven, toGiven);
    if (error) {
        std::fprintf(stderr, "%s\nusage: gruvik2-cli protocol IMAGE [--out FILE]\n",
                     error->c_str());
        return 2;
    }
    RecorderSession session;
    if (int status = loadAndAnalyse(o.image, session)) return status;
    return writeWindows1251(session.protocolHtml(), o.out);
}

const bool registered = registerCommand({"protocol", "IMAGE [--out FILE]", run});

} // namespace
