#include "cli/Pipeline.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "cli/TextProgress.h"
#include "common/OutputWriter.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "views/RecorderSession.h"

int loadAndAnalyse(const std::string& path, RecorderSession& session) {
    try {
        protectInput(path);
        session.load(path);
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
    AnalysisResult result;
    {
        TextProgress progress(10);
        result = session.analyse(&progress);
    }
    if (result == AnalysisResult::refused) return 2;
    if (result == AnalysisResult::interrupted) return 1;
    return 0;
}

int loadAndFilter(ReportOptions& o, bool fromGiven, bool toGiven, RecorderSession& session) {
    if (int status = loadAndAnalyse(o.image, session)) return status;
    const FilterSettings spanning = session.spanningFilter(o.filter);
    if (!fromGiven) o.filter.rangeStart = spanning.rangeStart;
    if (!toGiven) o.filter.rangeEnd = spanning.rangeEnd;
    session.applyFilter(o.filter);
    return 0;
}

int writeWindows1251(const std::string& utf8, const std::string& out) {
    return writeStreamed(
        out, [&](OutputWriter& w) { w.append(utf8); }, true);
}
