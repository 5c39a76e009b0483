// gruvik2-reader-emu [OPTIONS] IMAGE.rpd: the reader device on a
// pseudo-terminal. Prints the terminal's path as its first line, serves reads
// and writes from the image until SIGINT or SIGTERM, and saves the image (to
// --out, else back to IMAGE) on SIGUSR1 and on exit.
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "common/errorExc.h"
#include "testsupport/ReaderEmulator.h"

namespace {

ReaderEmulator* active = nullptr;

void onSignal(int signal) {
    if (!active) return;
    if (signal == SIGUSR1)
        active->requestSave();
    else
        active->stop();
}

const char* const Usage = "Использование: gruvik2-reader-emu [ПАРАМЕТРЫ] ОБРАЗ.rpd\n";
const char* const Help =
    "Устройство считывания на псевдотерминале: первая строка вывода — его путь;\n"
    "отвечает на чтение и запись из образа до SIGINT или SIGTERM, сохраняет образ\n"
    "по SIGUSR1 и при выходе.\n"
    "  --out ПУТЬ              сохранять образ сюда, а не в ОБРАЗ\n"
    "  --rate БИТ              темп линии БИТ бит/с (10 бит на байт)\n"
    "  --bad-crc СТРАНИЦЫ      портить эти страницы при первой отправке\n"
    "  --bad-crc-always СТРАНИЦЫ  портить их при каждой отправке\n"
    "  --bad-status СТРАНИЦЫ[=C]  отвечать на их запрос байтом C (по умолчанию 'X')\n"
    "  --refuse-writes         отвечать 'D' на каждую страницу записи\n"
    "  --internal              отвечать 'n' на 'E': чтение из памяти устройства\n"
    "  --answer-E C, --answer-I C, --answer-C C, --answer-M C, --answer-W C\n"
    "                          отвечать на команду байтом C\n"
    "  --silent-after N        молчать после N запросов страниц за сеанс\n"
    "  -h, --help              эта справка\n"
    "  -V, --version           версия программы\n"
    "СТРАНИЦЫ: 3,10-12,100\n";

int usageError(const std::string& error) {
    std::fprintf(stderr, "gruvik2-reader-emu: %s\n%sСправка: gruvik2-reader-emu --help\n",
                 error.c_str(), Usage);
    return 2;
}

bool parseByte(const char* text, uint8_t& byte) {
    if (std::strlen(text) == 1) return byte = uint8_t(text[0]), true;
    char* end = nullptr;
    unsigned long v = std::strtoul(text, &end, 0);
    if (*text == '\0' || *end != '\0' || v > 255) return false;
    byte = uint8_t(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto status =
            answerHelpOrVersion(args, "gruvik2-reader-emu", std::string(Usage) + Help))
        return *status;
    CommandLine line;
    if (auto error = parseCommandLine(args,
                                      {{"out"},
                                       {"rate"},
                                       {"bad-crc"},
                                       {"bad-crc-always"},
                                       {"bad-status"},
                                       {"refuse-writes", 0, false},
                                       {"internal", 0, false},
                                       {"answer-E"},
                                       {"answer-I"},
                                       {"answer-C"},
                                       {"answer-M"},
                                       {"answer-W"},
                                       {"silent-after"}},
                                      line))
        return usageError(*error);
    EmulatorFaults faults;
    std::string outPath;
    for (const auto& [name, v] : line.options) {
        auto number = [&v](uint32_t& n) {
            char* end = nullptr;
            const unsigned long x = std::strtoul(v.c_str(), &end, 10);
            if (v.empty() || !std::isdigit((unsigned char)v[0]) || *end || x > 0xFFFFFFFFul)
                return false;
            n = uint32_t(x);
            return true;
        };
        bool ok = true;
        if (name == "out") {
            outPath = v;
            ok = !v.empty();
        } else if (name == "rate") {
            ok = number(faults.lineRate) && faults.lineRate > 0;
        } else if (name == "bad-crc" || name == "bad-crc-always") {
            ok = parsePageList(v, name == "bad-crc" ? faults.badCrcOnce : faults.badCrcAlways);
        } else if (name == "bad-status") {
            std::string list = v;
            uint8_t status = 'X';
            if (size_t eq = list.find('='); eq != std::string::npos) {
                ok = parseByte(list.c_str() + eq + 1, status);
                list.resize(eq);
            }
            std::set<uint32_t> pages;
            ok = ok && parsePageList(list, pages);
            for (uint32_t p : pages)
                faults.badStatus[p] = status;
        } else if (name == "refuse-writes") {
            faults.refuseWrites = true;
        } else if (name == "internal") {
            faults.internalMemory = true;
        } else if (name.rfind("answer-", 0) == 0) {
            uint8_t byte = 0;
            ok = parseByte(v.c_str(), byte);
            switch (name[7]) {
            case 'E':
                faults.answerE = byte;
                break;
            case 'I':
                faults.answerI = byte;
                break;
            case 'C':
                faults.answerC = byte;
                break;
            case 'M':
                faults.answerM = byte;
                break;
            default:
                faults.answerW = byte;
            }
        } else if (name == "silent-after") {
            uint32_t n = 0;
            ok = number(n);
            faults.silentAfter = n;
        }
        if (!ok) return usageError(badValue("--" + name, v));
    }
    if (line.operands.size() != 1)
        return usageError(line.operands.empty() ? "не указан файл образа"
                                                : "лишний аргумент: " + line.operands[1]);
    const std::string imagePath = line.operands[0];
    if (outPath.empty()) outPath = imagePath;

    RecorderImage memory;
    try {
        memory.load(imagePath, false);
    } catch (const errorExc& e) {
        std::fprintf(stderr, "%s: %s\n", imagePath.c_str(), e.message().c_str());
        return 2;
    }
    try {
        ReaderEmulator emulator(memory, faults);
        auto save = [&] {
            try {
                memory.save(outPath);
            } catch (const errorExc& e) {
                std::fprintf(stderr, "%s: %s\n", outPath.c_str(), e.message().c_str());
            }
        };
        active = &emulator;
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        for (int s : {SIGINT, SIGTERM, SIGUSR1})
            sigaction(s, &sa, nullptr);
        std::printf("%s\n", emulator.path().c_str());
        std::fflush(stdout);
        emulator.serve(save);
        active = nullptr;
        save();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gruvik2-reader-emu: %s\n", e.what());
        return 2;
    }
    return 0;
}
