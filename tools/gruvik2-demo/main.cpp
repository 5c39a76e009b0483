// gruvik2-demo OUT.rpd [--seed N]: writes the demo recorder memory, the memory
// of a gantry crane's load limiter after weeks of work, for trying the program
// without a recorder. gruvik2-demo --series FOLDER: the same crane's readings
// over its life, FOLDER/demo-YYYY-MM-DD.rpd, for the archive.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/Format.h"
#include "common/errorExc.h"
#include "image/RecorderImage.h"
#include "testsupport/DemoRecorder.h"

namespace {
const char* const Usage = "Использование: gruvik2-demo [--seed N] ФАЙЛ.rpd\n"
                          "       gruvik2-demo [--seed N] --series ПАПКА\n";
const char* const Help =
    "Записывает демонстрационную память регистратора (козловой кран КК-20/5).\n"
    "  --series ПАПКА  считывания того же крана за его жизнь: раз в три месяца\n"
    "                  с установки регистратора и в день демонстрации, в файлы\n"
    "                  ПАПКА/demo-ГГГГ-ММ-ДД.rpd\n"
    "  --seed N        начальное число генератора (1 по умолчанию)\n"
    "  -h, --help      эта справка\n"
    "  -V, --version   версия программы\n";

int usageError(const std::string& error) {
    std::fprintf(stderr, "gruvik2-demo: %s\n%sСправка: gruvik2-demo --help\n", error.c_str(),
                 Usage);
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto status = answerHelpOrVersion(args, "gruvik2-demo", std::string(Usage) + Help))
        return *status;
    CommandLine line;
    if (auto error = parseCommandLine(args, {{"seed"}, {"series"}}, line))
        return usageError(*error);
    uint32_t seed = 1;
    std::string series;
    for (const auto& [name, v] : line.options) {
        if (name == "series") {
            series = v;
            continue;
        }
        char* end = nullptr;
        const unsigned long n = std::strtoul(v.c_str(), &end, 10);
        if (v.empty() || !std::isdigit((unsigned char)v[0]) || *end != 0 || n > 0xFFFFFFFFul)
            return usageError(badValue("--seed", v, "0..4294967295"));
        seed = uint32_t(n);
    }
    if (!series.empty()) {
        if (!line.operands.empty()) return usageError("лишний аргумент: " + line.operands[0]);
        for (const demo::Day& day : demo::seriesDays()) {
            RecorderImage image;
            synthesizeDemoMemoryOn(image, day, seed);
            const std::string out =
                series + strprintf("/demo-%04d-%02d-%02d.rpd", day.year, day.month, day.day);
            try {
                image.save(out);
            } catch (const errorExc& e) {
                std::fprintf(stderr, "%s\n", e.fullMessage().c_str());
                return 2;
            }
            std::printf("%s\n", out.c_str());
        }
        return 0;
    }
    if (line.operands.size() != 1)
        return usageError(line.operands.empty() ? "не указан файл"
                                                : "лишний аргумент: " + line.operands[1]);
    const std::string& out = line.operands[0];
    RecorderImage image;
    synthesizeDemoMemory(image, seed);
    try {
        image.save(out);
    } catch (const errorExc& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 2;
    }
    return 0;
}
