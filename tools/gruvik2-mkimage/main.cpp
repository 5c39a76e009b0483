// gruvik2-mkimage [--full] OUT.rpd: writes a small synthesized recorder memory
// (header, passport data, a few log pages) for trying the program without a
// recorder; with --full, one whose logs are full and have wrapped.
#include <cstdio>
#include <cstring>

#include "common/errorExc.h"
#include "testsupport/FullMemory.h"
#include "testsupport/ImageBuilder.h"

namespace {

void synthesizeSmallMemory(RecorderImage& image) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(0x1001), makeKey(0x1002)};
    b.header(h).passport({});
    for (int day = 0; day < 3; ++day) {
        Stamp s(2024, 3, 4 + day, 8, 0, 0, 0);
        b.generalPage(s, {{5, 0, {0x01, 0, 0, 0, 0}}, {6, 36000, {0, 0, 0, 0, 0}}});
        b.settings(Stamp(2024, 3, 4 + day, 8, 30, 0, 0), h.keys[0], 2, {});
    }
    b.countersPage(std::vector<uint8_t>(100, 0));
    b.done();
}

} // namespace

int main(int argc, char** argv) {
    const bool full = argc == 3 && std::strcmp(argv[1], "--full") == 0;
    if (argc != 2 && !full) {
        std::fprintf(stderr, "usage: gruvik2-mkimage [--full] OUT.rpd\n");
        return 2;
    }
    RecorderImage image;
    if (full)
        synthesizeFullMemory(image);
    else
        synthesizeSmallMemory(image);
    try {
        image.save(argv[argc - 1]);
    } catch (const errorExc& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 2;
    }
    return 0;
}
