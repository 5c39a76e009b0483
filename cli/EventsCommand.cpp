// gruvik2-cli events IMAGE: the decoded event list, one event a line:
// DD/MM/YYYY HH:MM:SS.T <TAB> importance <TAB> class <TAB> description.
#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "cli/TextProgress.h"
#include "events/Analysis.h"
#include "events/EventTime.h"
#include "events/eventList.h"
#include "image/RecorderImage.h"

namespace {

// A description holds the recorder's bytes (serial numbers): a control byte
// among them is shown as \xNN, so that every event stays on one line of four
// columns.
std::string oneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out;
}

int run(const std::vector<std::string>& args) {
    RecorderImage image;
    if (!loadImageArgument(args, "events", image)) return 2;
    eventList events;
    AnalysisResult result;
    {
        TextProgress progress(10);
        result = analyseImage(image, events, &progress);
    }
    if (result == AnalysisResult::refused) return 2;
    if (result == AnalysisResult::interrupted) return 1;
    // The first failed write ends the listing, with its reason.
    for (const genericParser* e = events.front(); e; e = eventList::after(e))
        if (std::printf("%s\t%u\t%s\t%s\n", eventTimeText(e->seconds, e->tenths).c_str(),
                        unsigned(e->importance), e->className(),
                        oneLine(e->describe()).c_str()) < 0)
            return stdoutFailed(errno);
    return stdoutWritten() ? 0 : 2;
}

const bool registered = registerCommand({"events", "IMAGE", run});

} // namespace
