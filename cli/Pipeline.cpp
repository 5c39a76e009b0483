#include "cli/Pipeline.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "cli/Command.h"
#include "cli/TextProgress.h"
#include "common/SafeFile.h"
#include "common/Text1251.h"
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
    auto bytes = utf8ToCp1251(utf8);
    if (!bytes.ok) {
        std::fprintf(stderr, "the page holds a character without a Windows-1251 form: %s\n",
                     bytes.badChar.c_str());
        return 2;
    }
    if (out.empty()) {
        if (std::fwrite(bytes.bytes.data(), 1, bytes.bytes.size(), stdout) != bytes.bytes.size())
            return stdoutFailed(errno);
        return stdoutWritten() ? 0 : 2;
    }
    try {
        writeFileSafely(out, bytes.bytes.data(), bytes.bytes.size());
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
    return 0;
}
