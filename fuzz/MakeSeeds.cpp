// Writes the seed corpus: images of the image builder with records of every
// type, the rings wrapped, the header's extremes and impossible stamps, each
// reduced to the fuzzer's input form. Checks that the seeds decode to events
// of every record type. Usage: gruvik2-fuzz-seeds FOLDER
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "ImageInput.h"
#include "events/Analysis.h"
#include "events/eventList.h"
#include "image/BigEndian.h"
#include "testsupport/CraneDay.h"
#include "testsupport/ImageBuilder.h"

namespace {

using Payload5 = std::array<uint8_t, 5>;
using Payload9 = std::array<uint8_t, 9>;
using ControlBytes = std::array<uint8_t, fuzz::ControlSize>;

// Everything shown: discrete channels, relays, configuration; all weights, at
// most 1000 rows; a 1280 x 800 surface; "5 мин."; scroll, search and paint.
ControlBytes control(uint8_t mode) {
    ControlBytes c{};
    c[0] = mode;
    c[1] = 0x70 | (2 << 1);
    c[2] = 0x1F | (5 << 5);
    c[3] = 4;
    writeU16(&c[4], 1280);
    writeU16(&c[6], 800);
    c[8] = c[9] = 20;
    const uint8_t actions[5] = {0x00, 0x2F, 0x95, 0xA2, 0xB0};
    std::copy(std::begin(actions), std::end(actions), c.begin() + 26);
    return c;
}

Payload5 load(uint8_t index, int32_t kg) {
    auto v = be32(uint32_t(kg));
    return {index, v[0], v[1], v[2], v[3]};
}

// One counters page body for groupCount groups: A0 and A1 as floats, A2..A6 as
// counts, then the mechanisms' seconds.
std::vector<uint8_t> countersBody(size_t groups, size_t mechanisms) {
    std::vector<uint8_t> body;
    auto put = [&](const std::array<uint8_t, 4>& v) {
        body.insert(body.end(), v.begin(), v.end());
    };
    for (int array = 0; array < 7; ++array)
        for (size_t i = 0; i <= groups; ++i) {
            if (array < 2)
                put(beFloat(float(1000 * (i + 1) * (array + 1)) / 3));
            else
                put(be32(uint32_t(100 * (i + 1) + array)));
        }
    for (size_t j = 0; j < mechanisms; ++j)
        put(be32(uint32_t(3599 + 16000 * j)));
    return body;
}

const Stamp day(2024, 3, 15, 8, 0, 0);

void generalTypes(RecorderImage& image) {
    ImageBuilder b(image);
    b.header().passport({});
    // Types 1 to 12, the total (group index 2) and groups beyond the curves,
    // unknown codes, offsets up to the largest.
    b.generalPage(day, {{5, 0, {0xFA}},
                        {1, 5, {0x21, 0, 0, 0x10, 0}},
                        {2, 10, load(0, 4000)},
                        {2, 15, load(2, 9000)},
                        {6, 20, load(0, 4100)},
                        {7, 40, load(0, 8000)},
                        {6, 50, load(2, 100)},
                        {7, 90, load(2, 12000)},
                        {3, 100, {0xFF, 0x81}},
                        {3, 120, {0xFF, 0x01}},
                        {3, 130, {0x00, 0x85}},
                        {3, 150, {0x00, 0x05}},
                        {8, 160, {1}},
                        {8, 200, {0}},
                        {9, 210, {3}},
                        {10, 220, {3}},
                        {11, 230, {0x15}},
                        {11, 250, {0x2A}},
                        {12, 260, {1}},
                        {12, 270, {0}},
                        {0x2A, 280, {1, 2, 3, 4, 5}},
                        {0x00, 290, {}},
                        {4, 300, {}}});
    b.generalPage(Stamp(2024, 3, 15, 8, 10, 0), {{5, 0, {0x80}},
                                                 {2, 30, load(7, -500)},
                                                 {2, 60, load(1, 0x7FFFFFFF)},
                                                 {6, 65, load(1, 20)},
                                                 {7, 0xFFFF, load(1, int32_t(0x80000000))},
                                                 {1, 0xFFFE, {0xFF, 0x80, 0, 0, 0}}});
    b.countersPage(countersBody(2, 6));
    b.done();
}

void settingsTypes(RecorderImage& image) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keys = {makeKey(0x1001), makeKey(0x1002)};
    b.header(h).passport({});
    const KeyCode keys[] = {makeKey(0x1002), makeKey(0x7777), erasedKey()};
    for (uint8_t type = 1; type <= 39; ++type) {
        Payload9 p{};
        for (size_t i = 0; i < p.size(); ++i)
            p[i] = uint8_t(type * 7 + i * 31);
        p[0] = type % 3 == 0 ? 2 : uint8_t(type % 5); // a group index of 2 is the total
        b.settings(Stamp(2024, 3, 15, 9, type, 0, type % 10), keys[type % 3], type, p);
    }
    b.settings(Stamp(2024, 3, 15, 9, 59, 0), keys[0], 0x55, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    b.generalPage(day, {{5, 0, {0x80}}, {4, 36000, {}}});
    b.done();
}

void craneDay(RecorderImage& image) {
    ImageBuilder b(image);
    b.header().passport({});
    writeCraneDay(b, 2024, 3, 15);
    b.countersPage(countersBody(2, 6));
    b.done();
}

// Every ring full and wrapped by the fill modes; the records sit on the
// mapped pages at both ends.
void wrappedRings(RecorderImage& image) {
    ImageBuilder b(image);
    b.header().passport({});
    b.generalAt(0, 0);
    for (int k = 0; k < 4; ++k)
        b.generalPage(Stamp(2024, 3, 16, 10, k, 0),
                      {{2, 0, load(0, 1000 * k)}, {6, 5, load(1, 50)}});
    b.generalAt(image.generalCount() - 2, 0);
    for (int k = 0; k < 2; ++k)
        b.generalPage(Stamp(2024, 3, 10, 10, k, 0), {{5, 0, {0x40}}, {11, 5, {0x3F}}});
    b.settingsAt(0, 0);
    b.settings(Stamp(2024, 3, 16, 11, 0, 0), makeKey(1), 30, {1, 0});
    b.settings(Stamp(2024, 3, 16, 11, 1, 0), makeKey(1), 31, {1, 0});
    b.countersPage(countersBody(2, 6));
    b.done();
}

// Counters region up to page 8189: the counters head and the general log at
// the end of the memory.
void farCounters(RecorderImage& image) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.countersPages = RecorderImage::MaxCountersCount - 1;
    b.header(h).passport({});
    b.countersAt(image.countersCount() - 1, 7).countersPage(countersBody(2, 6));
    b.generalPage(day, {{5, 0, {0x80}}, {2, 10, load(2, 7000)}});
    b.generalPage(Stamp(2024, 3, 15, 9, 0, 0), {{4, 0, {}}});
    b.done();
}

// The largest counts: the header's rows run far past page 512.
void hugeCounts(RecorderImage& image) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.keyCount = 255;
    h.sensors = h.groups = h.relays = 255;
    h.countersPages = 0;
    b.header(h).passport({});
    b.generalPage(day, {{2, 0, load(255, 1)},
                        {6, 5, load(254, 2)},
                        {3, 7, {254, 0x81}},
                        {1, 9, {0xFF}},
                        {11, 10, {0xFF}}});
    b.settings(day, makeKey(3), 33, {255, 1, 2});
    b.settings(day, makeKey(3), 9, {255, 0, 1, 0, 2});
    b.done();
}

// Stamps no calendar has, and times at both ends of the 32-bit calendar.
void impossibleStamps(RecorderImage& image) {
    ImageBuilder b(image);
    b.header().passport({});
    const uint8_t bad[][7] = {{24, 0, 0, 0, 0, 0, 0},
                              {24, 13, 32, 25, 61, 61, 10},
                              {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF},
                              {38, 1, 19, 3, 14, 7, 9},
                              {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},
                              {1, 12, 13, 20, 45, 52, 0}};
    for (const auto& s : bad) {
        Stamp st(s);
        b.generalPage(st, {{5, 0, {0x80}}, {2, 0xFFFF, load(0, 5)}, {4, 0xFFFF, {}}});
        b.settings(st, makeKey(2), 4, {31, 12, 99, 0, 0, 0});
    }
    b.done();
}

struct Seed {
    const char* name;
    std::function<void(RecorderImage&)> build;
    uint8_t mode;
    std::function<void(ControlBytes&)> adjust;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gruvik2-fuzz-seeds FOLDER\n");
        return 2;
    }
    ::setenv("TZ", "Europe/Moscow", 1);
    const std::vector<Seed> seeds = {
        {"erased", [](RecorderImage& im) { im.reset(); }, 0, nullptr},
        {"general-types", generalTypes, fuzz::linearCheck, nullptr},
        {"settings-types", settingsTypes, fuzz::linearCheck | fuzz::moscowTime, nullptr},
        {"crane-day", craneDay, fuzz::moscowTime, nullptr},
        {"wrapped-rings", wrappedRings, fuzz::fillGeneral | fuzz::fillCounters | fuzz::fillSettings,
         [](ControlBytes& c) {
             c[12] = 0, c[13] = 255;            // every general page
             c[16] = 250, writeU16(&c[17], 31); // counters wrap 254 -> 0
             c[21] = 0, c[22] = 255;            // every settings slot
         }},
        {"far-counters", farCounters, fuzz::rawHeader, nullptr},
        {"huge-counts", hugeCounts, fuzz::rawHeader, nullptr},
        {"impossible-stamps", impossibleStamps, fuzz::moscowTime | fuzz::linearCheck, nullptr},
    };

    std::filesystem::create_directories(argv[1]);
    std::set<int> kinds;
    RecorderImage image, decoded;
    fuzz::ImageInput input;
    for (const Seed& s : seeds) {
        s.build(image);
        ControlBytes c = control(s.mode);
        if (s.adjust) s.adjust(c);
        const std::vector<uint8_t> bytes = fuzz::encodeInput(image, c);
        std::ofstream(std::string(argv[1]) + "/" + s.name + ".bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

        input.apply(decoded, bytes.data(), bytes.size());
        eventList events;
        analyseImage(decoded, events, nullptr);
        size_t n = 0;
        for (const aLink* l = events.first; l; l = l->next, ++n)
            kinds.insert(static_cast<const genericParser*>(l)->kind());
        std::printf("%-18s %5zu bytes %6zu events\n", s.name, bytes.size(), n);
    }
    int missing = 0;
    for (int k = 0; k <= 12; ++k)
        missing += !kinds.count(k);
    for (int k = 100; k <= 139; ++k)
        missing += !kinds.count(k);
    if (missing) {
        std::fprintf(stderr, "%d record types have no event in the seeds\n", missing);
        return 1;
    }
    return 0;
}
