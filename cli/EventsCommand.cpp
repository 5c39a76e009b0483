// gruvik2-cli events IMAGE: the decoded event list, one event a line:
// DD/MM/YYYY HH:MM:SS.T <TAB> importance <TAB> class <TAB> description.
#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "cli/Pipeline.h"
#include "events/EventTime.h"
#include "views/RecorderSession.h"

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
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: gruvik2-cli events IMAGE\n");
        return 2;
    }
    RecorderSession session;
    if (int status = loadAndAnalyse(args[0], session)) return status;
    // The first failed write ends the listing, with its reason.
    for (const genericParser* e = session.events.front(); e; e = eventList::after(e))
        if (std::printf("%s\t%u\t%s\t%s\n", eventTimeText(e->seconds, e->tenths).c_str(),
                        unsigned(e->importance), e->className(),
                        oneLine(e->describe()).c_str()) < 0)
            return stdoutFailed(errno);
    return stdoutWritten() ? 0 : 2;
}

const bool registered = registerCommand({"events", "IMAGE", run});

} // namespace
