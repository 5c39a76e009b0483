// gruvik2-demo OUT.rpd [--seed N]: writes the demo recorder memory, the memory
// of a gantry crane's load limiter after weeks of work, for trying the program
// without a recorder.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/errorExc.h"
#include "image/RecorderImage.h"
#include "testsupport/DemoRecorder.h"

int main(int argc, char** argv) {
    std::string out;
    uint32_t seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seed" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long v = std::strtoul(argv[++i], &end, 10);
            if (*end != 0 || v > 0xFFFFFFFFul) {
                std::fprintf(stderr, "bad seed: %s\n", argv[i]);
                return 2;
            }
            seed = uint32_t(v);
        } else if (out.empty() && a.rfind("--", 0) != 0) {
            out = a;
        } else {
            out.clear();
            break;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: gruvik2-demo OUT.rpd [--seed N]\n");
        return 2;
    }
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
