// gruvik2-mkimage [--full | --crane-day] OUT.rpd: writes a small synthesized
// recorder memory (header, passport data, a few log pages) for trying the
// program without a recorder; with --full, one whose logs are full and have
// wrapped; with --crane-day, a crane's whole working day in the general log.
#include <cstdio>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/errorExc.h"
#include "testsupport/CraneDay.h"
#include "testsupport/FullMemory.h"
#include "testsupport/ImageBuilder.h"

namespace {

void synthesizeSmallMemory(RecorderImage& image, bool craneDay) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(0x1001), makeKey(0x1002)};
    b.header(h).passport({});
    if (craneDay) {
        writeCraneDay(b, 2024, 3, 4);
    } else {
        for (int day = 0; day < 3; ++day) {
            Stamp s(2024, 3, 4 + day, 8, 0, 0, 0);
            b.generalPage(s, {{5, 0, {0x01, 0, 0, 0, 0}}, {6, 36000, {0, 0, 0, 0, 0}}});
            b.settings(Stamp(2024, 3, 4 + day, 8, 30, 0, 0), h.keys[0], 2, {});
        }
    }
    b.countersPage(std::vector<uint8_t>(100, 0));
    b.done();
}

const char* const Usage = "Использование: gruvik2-mkimage [--full | --crane-day] ФАЙЛ.rpd\n";
const char* const Help =
    "Записывает синтезированную память регистратора: небольшую (по умолчанию),\n"
    "полную с переполненными журналами или один рабочий день крана.\n"
    "  --full          журналы заполнены и пошли по кругу\n"
    "  --crane-day     рабочий день крана в общем журнале\n"
    "  -h, --help      эта справка\n"
    "  -V, --version   версия программы\n";

int usageError(const std::string& error) {
    std::fprintf(stderr, "gruvik2-mkimage: %s\n%sСправка: gruvik2-mkimage --help\n", error.c_str(),
                 Usage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto status = answerHelpOrVersion(args, "gruvik2-mkimage", std::string(Usage) + Help))
        return *status;
    CommandLine line;
    if (auto error = parseCommandLine(args, {{"full", 0, false}, {"crane-day", 0, false}}, line))
        return usageError(*error);
    bool full = false, craneDay = false;
    for (const auto& option : line.options)
        (option.first == "full" ? full : craneDay) = true;
    if (full && craneDay) return usageError("--full и --crane-day вместе не даются");
    if (line.operands.size() != 1)
        return usageError(line.operands.empty() ? "не указан файл"
                                                : "лишний аргумент: " + line.operands[1]);
    RecorderImage image;
    if (full)
        synthesizeFullMemory(image);
    else
        synthesizeSmallMemory(image, craneDay);
    try {
        image.save(line.operands[0]);
    } catch (const errorExc& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 2;
    }
    return 0;
}
