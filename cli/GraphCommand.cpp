// gruvik2-cli graph IMAGE --out FILE.png: the load graph as the graph page
// shows it after filtering, drawn without a display.
#include <cstdio>
#include <cstdlib>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/Pipeline.h"
#include "common/CommandLine.h"
#include "views/CairoCanvas.h"
#include "views/GraphPage.h"
#include "views/RecorderSession.h"

namespace {

const char* const usageText =
    "ОБРАЗ --out ФАЙЛ.png [--width N] [--height N] [--start T] [--scale МАСШТАБ] [фильтр]";
const char* const Help =
    "График нагрузок, как на странице «График», в PNG.\n"
    "  --out ФАЙЛ.png            куда записать (-: стандартный вывод)\n"
    "  --width N, --height N     размер в точках (1280×800 по умолчанию, до 16384)\n"
    "  --start T                 левый край окна (формы T — как у --from)\n"
    "  --scale МАСШТАБ           строка шкалы («1 час») или её номер 0..10\n";

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
        usageError("graph", error);
        std::fprintf(stderr, "Масштабы:");
        for (size_t i = 0; i < graphScales.size(); ++i)
            std::fprintf(stderr, " %zu \"%s\"", i, graphScales[i].item);
        std::fprintf(stderr, "\n");
        return 2;
    };
    if (auto error = parseReportOptions(args, {"--width", "--height", "--start", "--scale"}, o,
                                        fromGiven, toGiven))
        return fail(*error);
    if (!o.outGiven) return fail("нужен --out ФАЙЛ.png");
    int width = 1280, height = 800, scale = defaultGraphScale;
    std::optional<int32_t> start;
    for (size_t i = 0; i + 1 < o.extra.size(); i += 2) {
        const std::string &name = o.extra[i], &value = o.extra[i + 1];
        std::optional<int> n;
        if (name == "--start") {
            if (!(start = parseTimeArgument(value)))
                return fail(badValue(name, value, timeArgumentForms));
            continue;
        }
        n = name == "--scale" ? parseScale(value) : parseSize(value);
        if (!n)
            return fail(badValue(name, value,
                                 name == "--scale" ? "строка шкалы или её номер" : "1..16384"));
        (name == "--scale" ? scale : name == "--width" ? width : height) = *n;
    }

    RecorderSession session;
    if (int status = loadAndFilter(o, fromGiven, toGiven, session)) return status;
    GraphDraw draw;
    session.regenerateGraph(draw, scale);
    if (start) draw.viewStart = *start;
    if (session.lists.journalList.empty())
        std::fprintf(stderr, "фильтр не выбрал ни одного события: график пуст\n");
    if (o.out.empty()) {
        std::string png;
        if (auto error = graphPng(draw, width, height, png)) {
            std::fprintf(stderr, "%s\n", error->c_str());
            return 2;
        }
        return writeOutput(png, "");
    }
    if (auto error = writeGraphPng(draw, width, height, o.out)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 2;
    }
    return 0;
}

const bool registered = registerCommand({"graph", usageText, run, Help, true});

} // namespace
