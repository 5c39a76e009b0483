// gruvik2-reader-emu [OPTIONS] IMAGE.rpd: the reader device on a
// pseudo-terminal. Prints the terminal's path as its first line, serves reads
// and writes from the image until SIGINT or SIGTERM, and saves the image (to
// --out, else back to IMAGE) on SIGUSR1 and on exit.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

void usage() {
    std::fprintf(stderr,
                 "usage: gruvik2-reader-emu [OPTIONS] IMAGE.rpd\n"
                 "  --out PATH              save the image here instead of IMAGE\n"
                 "  --rate BITS             pace the line at BITS bit/s (10 bits a byte)\n"
                 "  --bad-crc PAGES         damage these pages the first time they are sent\n"
                 "  --bad-crc-always PAGES  damage these pages every time\n"
                 "  --bad-status PAGES[=C]  answer these page requests with byte C (default 'X')\n"
                 "  --refuse-writes         answer 'D' to every page of a write\n"
                 "  --internal              answer 'n' to 'E': read from the device's own memory\n"
                 "  --answer-E C, --answer-I C, --answer-C C, --answer-M C, --answer-W C\n"
                 "                          answer the command with byte C\n"
                 "  --silent-after N        answer nothing after N page requests of a session\n"
                 "PAGES: 3,10-12,100\n");
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
    EmulatorFaults faults;
    std::string imagePath, outPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) return nullptr;
            return argv[++i];
        };
        bool ok = true;
        if (arg == "--out") {
            const char* v = value();
            ok = v != nullptr;
            if (ok) outPath = v;
        } else if (arg == "--rate") {
            const char* v = value();
            ok = v && (faults.lineRate = uint32_t(std::strtoul(v, nullptr, 10))) > 0;
        } else if (arg == "--bad-crc" || arg == "--bad-crc-always") {
            const char* v = value();
            ok =
                v && parsePageList(v, arg == "--bad-crc" ? faults.badCrcOnce : faults.badCrcAlways);
        } else if (arg == "--bad-status") {
            const char* v = value();
            ok = v != nullptr;
            if (ok) {
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
            }
        } else if (arg == "--refuse-writes") {
            faults.refuseWrites = true;
        } else if (arg == "--internal") {
            faults.internalMemory = true;
        } else if (arg.size() == 10 && arg.compare(0, 9, "--answer-") == 0) {
            const char* v = value();
            uint8_t byte = 0;
            ok = v && parseByte(v, byte);
            switch (arg[9]) {
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
            case 'W':
                faults.answerW = byte;
                break;
            default:
                ok = false;
            }
        } else if (arg == "--silent-after") {
            const char* v = value();
            ok = v != nullptr;
            if (ok) faults.silentAfter = uint32_t(std::strtoul(v, nullptr, 10));
        } else if (!arg.empty() && arg[0] != '-' && imagePath.empty()) {
            imagePath = arg;
        } else {
            ok = false;
        }
        if (!ok) {
            usage();
            return 2;
        }
    }
    if (imagePath.empty()) {
        usage();
        return 2;
    }
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
