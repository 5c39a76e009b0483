// gruvik2-cli write [--device N] IMAGE: writes the writable area (passport
// data) of IMAGE into the recorder through the reader device.
#include <cstdio>

#include "cli/Command.h"
#include "cli/LinkUiText.h"
#include "common/errorExc.h"
#include "image/RecorderImage.h"

namespace {

int run(const std::vector<std::string>& args) {
    auto parsed = parseLinkArgs(args, "write");
    if (!parsed) return 2;
    RecorderImage image;
    try {
        image.load(parsed->image, false);
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
    Crc16 crc;
    return runLink(*parsed, [&](LinkContext& link) {
        WriteReport report = writeRecorder(link, image, crc);
        if (report.outcome == LinkOutcome::Done)
            std::printf("%s\n", writeCountersText(report).c_str());
        return report.outcome;
    });
}

const bool registered =
    registerCommand({"write", "[--device N] ОБРАЗ", run,
                     "Записать паспортные данные образа (страницы 0–7) в регистратор.\n"
                     "Код завершения: 0 готово, 1 прервано (Ctrl-C), 2 ошибка.\n"
                     "  -d, --device N            номер устройства считывания (0 по умолчанию)\n"});

} // namespace
