// gruvik2-cli journal IMAGE [options]: the journal page's HTML, Windows-1251.
#include <cstdio>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/Pipeline.h"
#include "common/OutputWriter.h"
#include "views/JournalHtml.h"
#include "views/RecorderSession.h"

namespace {

int run(const std::vector<std::string>& args) {
    ReportOptions o;
    bool fromGiven, toGiven;
    if (auto error = parseReportOptions(args, {}, o, fromGiven, toGiven))
        return usageError("journal", *error);
    RecorderSession session;
    if (int status = loadAndFilter(o, fromGiven, toGiven, session)) return status;
    return writeStreamed(
        o.out, [&](OutputWriter& w) { writeJournalHtml(w, session.lists.journalList); }, true);
}

const bool registered = registerCommand({"journal", "ОБРАЗ [фильтр] [--out ФАЙЛ]", run,
                                         "Страница «Журнал» в HTML, Windows-1251.\n"
                                         "  --out ФАЙЛ                записать в файл (- или без "
                                         "него: стандартный вывод)\n",
                                         true});

} // namespace
