// gruvik2-mkimage OUT.rpd [--crane-day]: writes a small synthesized recorder
// memory (header, passport data, a few log pages) for trying the program
// without a recorder; with --crane-day, a whole working day of a crane instead
// of the few log pages.
#include <cstdio>
#include <cstring>

#include "common/errorExc.h"
#include "testsupport/CraneDay.h"
#include "testsupport/ImageBuilder.h"

int main(int argc, char** argv) {
    const bool craneDay = argc == 3 && std::strcmp(argv[2], "--crane-day") == 0;
    if (argc != 2 && !craneDay) {
        std::fprintf(stderr, "usage: gruvik2-mkimage OUT.rpd [--crane-day]\n");
        return 2;
    }
    RecorderImage image;
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(0x1001), makeKey(0x1002)};
    b.header(h).passport({});
    for (int day = 0; day < 3 && !craneDay; ++day) {
        Stamp s(2024, 3, 4 + day, 8, 0, 0, 0);
        b.generalPage(s, {{5, 0, {0x01, 0, 0, 0, 0}}, {6, 36000, {0, 0, 0, 0, 0}}});
        b.settings(Stamp(2024, 3, 4 + day, 8, 30, 0, 0), h.keys[0], 2, {});
    }
    if (craneDay) writeCraneDay(b, 2024, 3, 4);
    b.countersPage(std::vector<uint8_t>(100, 0));
    try {
        b.done().save(argv[1]);
    } catch (const errorExc& e) {
        std::fprintf(stderr, "%s\n", e.message().c_str());
        return 2;
    }
    return 0;
}
