// gruvik2-cli read [--device N] IMAGE: reads the recorder through the reader
// device into IMAGE (created when missing), saving it when a page arrived.
#include <cstdio>

#include "cli/Command.h"
#include "cli/LinkUiText.h"
#include "image/RecorderImage.h"

namespace {

int run(const std::vector<std::string>& args) {
    auto parsed = parseLinkArgs(args, "read");
    if (!parsed) return 2;
    RecorderImage image;
    Crc16 crc;
    std::string lastDir, filePath;
    return runLink(*parsed, [&](LinkContext& link) {
        ReadReport report = readRecorder(link, image, crc, lastDir, filePath);
        if (report.outcome == LinkOutcome::Done)
            std::printf("pages read %u, skipped %u, repeated %u; %s\n", report.pagesRead,
                        report.pagesSkipped, report.pagesRepeated,
                        report.saved ? "image saved" : "image file unchanged");
        return report.outcome;
    });
}

const bool registered = registerCommand({"read", "[--device N] IMAGE", run});

} // namespace
