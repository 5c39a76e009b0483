// gruvik2-cli write [--device N] [--force] IMAGE: writes the writable area
// (passport data) of IMAGE into the recorder through the reader device.
#include <algorithm>
#include <cstdio>

#include "cli/Command.h"
#include "cli/LinkUiText.h"
#include "cli/Pipeline.h"
#include "common/errorExc.h"
#include "image/RecorderImage.h"
#include "views/RecorderSession.h"

namespace {

int run(const std::vector<std::string>& argsGiven) {
    // --force: write even when the recorder's serial number is not the image's.
    std::vector<std::string> args = argsGiven;
    const auto force = std::find(args.begin(), args.end(), "--force");
    const bool forced = force != args.end();
    if (forced) args.erase(force);
    auto parsed = parseLinkArgs(args, "write");
    if (!parsed) return 2;
    // Only an image that holds a passport and that the analysis takes is
    // written. The file is looked at before the analysis, which fills an
    // erased passport with defaults.
    RecorderImage given;
    try {
        given.load(parsed->image, false);
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
    const uint8_t* first = given.page(given.writableFirst());
    if (std::all_of(first, first + size_t(given.writableCount()) * RecorderImage::PageSize,
                    [](uint8_t b) { return b == 0xFF; })) {
        std::fprintf(stderr, "В образе нет паспорта регистратора: запись не выполнена (%s)\n",
                     parsed->image.c_str());
        return 2;
    }
    RecorderSession session;
    if (int status = loadAndAnalyse(parsed->image, session)) return status == 1 ? 1 : 2;
    // What goes in is the file's passport as it stands.
    given.locateHeads();
    const RecorderImage& image = given;
    Crc16 crc;
    return runLink(*parsed, [&](LinkContext& link) {
        WriteReport report = writeRecorder(
            link, image, crc, [&](const std::string& recorder, const std::string& ours) {
                if (!forced)
                    std::fprintf(stderr,
                                 "Образ другого регистратора (серийный номер %s, у регистратора "
                                 "%s); записать его паспорт: --force\n",
                                 ours.c_str(), recorder.c_str());
                return forced;
            });
        if (report.outcome == LinkOutcome::Done)
            std::printf("%s\n", writeCountersText(report).c_str());
        return report.outcome;
    });
}

const bool registered =
    registerCommand({"write", "[--device N] [--force] ОБРАЗ", run,
                     "Записать паспортные данные образа (страницы 0–7) в регистратор.\n"
                     "Код завершения: 0 готово, 1 прервано (Ctrl-C), 2 ошибка.\n"
                     "  -d, --device N            номер устройства считывания (0 по умолчанию)\n"
                     "  --force                   записать и в регистратор с другим серийным\n"
                     "                            номером\n"});

} // namespace
