// gruvik2-cli graph IMAGE --out FILE.png: the load graph as the graph page
// shows it after filtering, drawn without a display.
#include <cstdio>
#include <cstdlib>

#include "cli/Command.h"
#include "cli/Pipeline.h"
#include "views/CairoCanvas.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

namespace {

const char* const usageText =
    "IMAGE --out FILE.png [--width N] [--height N] [--start T] [--scale ITEM] [filter options]";

std::optional<int> parseSize(const std::string& v) {
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end || n < 1 || n > 16384) return std::nullopt;
    return int(n);
}

// An item of the scale table ("5 мин.") or its index.
std::optional<int> parseScale(const std::string& v) {
    for (size_t i = 0; i < graphScales.size(); ++i)
        if (v == graphScales[i].item || v == std::to_string(i)) return int(i);
    return std::nullopt;
}

int run(const std::vector<std::string>& args) {
    ReportOptions o;
    bool fromGiven, toGiven;
    auto fail = [](const std::string& error) {
        std::fprintf(stderr, "%s\nusage: gruvik2-cli graph %s\n  %s\n  scale items:", error.c_str(),
                     usageText, filterOptionsUsage);
        for (size_t i = 0; i < graphScales.size(); ++i)
            std::fprintf(stderr, " %zu \"%s\"", i, graphScales[i].item);
        std::fprintf(stderr, "\n");
        return 2;
    };
    if (auto error = parseReportOptions(args, {"--width", "--height", "--start", "--scale"}, o,
                                        fromGiven, toGiven))
        return fail(*error);
    if (o.out.empty()) return fail("--out FILE.png is needed");
    int width = 1280, height = 800, scale = defaultGraphScale;
    std::optional<int32_t> start;
    for (size_t i = 0; i + 1 < o.extra.size(); i += 2) {
        const std::string &name = o.extra[i], &value = o.extra[i + 1];
        std::optional<int> n;
        if (name == "--start") {
            if (!(start = parseTimeArgument(value))) return fail("bad value for --start: " + value);
            continue;
        }
        n = name == "--scale" ? parseScale(value) : parseSize(value);
        if (!n) return fail("bad value for " + name + ": " + value);
        (name == "--scale" ? scale : name == "--width" ? width : height) = *n;
    }

    RecorderSession session;
    if (int status = loadAndFilter(o, fromGiven, toGiven, session)) return status;
    GraphDraw draw;
    session.regenerateGraph(draw, scale);
    if (start) draw.viewStart = *start;
    if (session.lists.journalList.empty())
        std::fprintf(stderr, "no events selected: the picture is blank\n");
    if (auto error = writeGraphPng(draw, width, height, o.out)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 2;
    }
    return 0;
}

const bool registered = registerCommand({"graph", usageText, run});

} // namespace
