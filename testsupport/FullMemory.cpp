#include "testsupport/FullMemory.h"

#include <random>

#include "testsupport/ImageBuilder.h"
#include "views/RecorderSession.h"

namespace {

constexpr int64_t Base = 1672531200; // 2023-01-01 00:00 UTC
constexpr int64_t Day = 86400;

// Every so often the clock is set back a couple of days or forward a few.
int64_t clockJump(std::mt19937& rng, uint32_t i, uint32_t every) {
    if (i == 0 || i % every != 0) return 0;
    return (rng() % 2) ? -2 * Day - int64_t(rng() % Day) : 3 * Day + int64_t(rng() % Day);
}

GeneralRecord generalRecord(std::mt19937& rng, uint16_t offset) {
    static const uint8_t kTypes[] = {1, 1, 1, 2, 2, 2, 3,  3,  11,  11,
                                     6, 7, 5, 4, 8, 9, 10, 12, 0x2A};
    GeneralRecord r{kTypes[rng() % sizeof kTypes], offset, {}};
    for (auto& b : r.payload)
        b = uint8_t(rng());
    if (r.type == 2 || r.type == 6 || r.type == 7) r.payload[0] = uint8_t(rng() % 3);
    return r;
}

} // namespace

void synthesizeFullMemory(RecorderImage& image, uint32_t seed) {
    std::mt19937 rng(seed);
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(0x1001), makeKey(0x1002), makeKey(0x1003)};
    b.header(h).passport({});

    const uint32_t pages = image.generalCount() + 300;
    int64_t t = Base;
    for (uint32_t i = 0; i < pages; ++i) {
        t += clockJump(rng, i, 1900);
        std::vector<GeneralRecord> records;
        uint16_t offset = 0;
        for (int k = 0; k < 65; ++k) {
            records.push_back(generalRecord(rng, offset));
            offset = uint16_t(offset + 40 + rng() % 80);
        }
        b.generalPage(stampAt(t, uint8_t(rng() % 10)), records);
        t += offset / 10 + 1;
    }

    const uint32_t slots = image.settingsCount() * RecorderImage::SettingsPerPage;
    const uint32_t settings = slots + 400;
    const int64_t step = (t - Base) / settings;
    int64_t s = Base;
    for (uint32_t j = 0; j < settings; ++j) {
        s += step + clockJump(rng, j, 2500);
        std::array<uint8_t, 9> payload{};
        for (auto& x : payload)
            x = uint8_t(rng());
        uint8_t type = uint8_t(1 + rng() % 40); // 40: an unknown code
        KeyCode key = rng() % 8 ? h.keys[rng() % 3] : makeKey(0x2000 + rng() % 50);
        b.settings(stampAt(s + int64_t(rng() % 600), uint8_t(rng() % 10)), key, type, payload);
    }
    b.done();
}

RecorderSession& analysedFullMemory() {
    static RecorderSession* session = [] {
        auto* s = new RecorderSession;
        synthesizeFullMemory(s->image);
        s->analyse(nullptr);
        return s;
    }();
    return *session;
}

FilterSettings fullMemoryFilter(bool everything) {
    FilterSettings f = analysedFullMemory().spanningFilter(FilterSettings{});
    if (everything) {
        f.detail = 0;
        f.discrete = f.relays = true;
        f.maxCount = 0;
    }
    return f;
}
