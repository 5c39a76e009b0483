// gruvik2-cli read [--device N] IMAGE: reads the recorder through the reader
// device into IMAGE (created when missing, once a page arrived), saving it
// when a page arrived.
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
    return runLink(*parsed, [&](LinkContext& link) {
        ReadReport report = readRecorder(link, image, crc, parsed->image);
        if (report.outcome == LinkOutcome::Done) {
            // The progress dialog's text on one line, and what became of the file.
            std::string counters = readCountersText(report);
            counters.replace(counters.find('\n'), 1, "; ");
            std::printf("%s; %s\n", counters.c_str(),
                        report.saved ? "файл сохранен" : "файл не обновлен");
        }
        return report.outcome;
    });
}

const bool registered = registerCommand(
    {"read", "[--device N] ОБРАЗ", run,
     "Считать регистратор через устройство считывания в файл образа (новый файл\n"
     "появляется, только когда пришла страница; в существующий переносятся лишь\n"
     "изменившиеся страницы). Код завершения: 0 готово, 1 прервано (Ctrl-C), 2 ошибка.\n"
     "  -d, --device N            номер устройства считывания (0 по умолчанию)\n"});

} // namespace
