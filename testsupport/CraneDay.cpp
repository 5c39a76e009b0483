#include "testsupport/CraneDay.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

enum : uint8_t {
    groupLoad = 2,
    relayState = 3,
    powerOff = 4,
    powerOn = 5,
    cycleStart = 6,
    cycleStop = 7,
    consoleMode = 8,
    channelState = 11,
};
constexpr uint8_t totalGroup = 2; // the header's group count stands for the total
constexpr uint8_t siren = 255;    // relay index that reads as relay 0

struct Timed {
    int tenths; // since midnight
    GeneralRecord record;
};

class Day {
public:
    std::vector<Timed> records;
    int now = 0;

    void add(uint8_t type, std::array<uint8_t, 5> payload) {
        records.push_back({now, {type, 0, payload}});
    }
    void load(uint8_t type, uint8_t group, int32_t kg) {
        auto v = be32(uint32_t(kg));
        add(type, {group, v[0], v[1], v[2], v[3]});
    }
    void relay(uint8_t index, bool on) {
        add(relayState, {index, uint8_t(on ? 0x81 : 0x01), 0, 0, 0});
    }
    void channels(uint8_t bits) { add(channelState, {bits, 0, 0, 0, 0}); }
    void wait(int seconds) { now += 10 * seconds; }
};

// Deterministic variety without a random engine whose sequence may change.
struct Lcg {
    uint32_t s = 12345;
    int next(int n) {
        s = s * 1103515245u + 12345u;
        return int((s >> 16) % uint32_t(n));
    }
};

void lift(Day& d, Lcg& rng, int number) {
    const uint8_t group = number % 3 == 2 ? 1 : 0;
    const int32_t hook = group ? 80 : 150, other = group ? 150 : 80;
    const bool heavy = number % 7 == 3;
    const int32_t peak =
        heavy ? 15800 + 100 * rng.next(8) : (group ? 2500 : 6000) + 400 * rng.next(15);
    bool relayOn = false, sirenOn = false;
    auto loads = [&](int32_t kg) {
        d.load(groupLoad, group, kg);
        d.load(groupLoad, totalGroup, kg + other);
        if (!relayOn && kg > 14000) d.relay(0, relayOn = true);
        if (relayOn && kg < 13000) d.relay(0, relayOn = false);
        if (!sirenOn && kg > 15500) d.relay(siren, sirenOn = true);
        if (sirenOn && kg < 15000) d.relay(siren, sirenOn = false);
    };
    d.load(cycleStart, group, hook);
    d.load(cycleStart, totalGroup, hook + other);
    d.channels(0x01); // hoisting up
    // Taking the load: quick slants one second apart, then steps.
    for (int k = 1; k <= 4; ++k) {
        d.wait(1);
        loads(peak * k / 6);
    }
    for (int k = 5; k <= 6; ++k) {
        d.wait(3 + rng.next(3));
        loads(peak * k / 6);
    }
    d.channels(0x04); // trolley travel with the load
    d.wait(20 + rng.next(40));
    loads(peak - 50);
    d.wait(15 + rng.next(30));
    d.channels(0x02); // lowering
    for (int k = 5; k >= 0; --k) {
        d.wait(k > 2 ? 4 : 1);
        loads(k ? peak * k / 6 : hook);
    }
    d.channels(0x00);
    d.wait(1);
    d.load(cycleStop, group, peak);
    d.load(cycleStop, totalGroup, peak + other);
}

void powerUp(Day& d) {
    d.add(powerOn, {0x80, 0, 0, 0, 0});
    d.wait(1);
    d.load(groupLoad, 0, 150);
    d.load(groupLoad, 1, 80);
    d.load(groupLoad, totalGroup, 230);
}

} // namespace

void writeCraneDay(ImageBuilder& builder, int year, int month, int dayOfMonth) {
    Day d;
    Lcg rng;
    int number = 0;
    auto workUntil = [&](int hour, int minute) {
        while (d.now < (hour * 3600 + minute * 60) * 10) {
            if (d.now >= 10 * (10 * 3600 + 30 * 60) && d.now < 10 * (10 * 3600 + 50 * 60)) {
                d.add(consoleMode, {1, 0, 0, 0, 0});
                d.wait(15 * 60);
                d.add(consoleMode, {0, 0, 0, 0, 0});
            }
            lift(d, rng, number++);
            d.wait(60 + rng.next(120));
        }
    };
    d.now = 8 * 36000;
    powerUp(d);
    workUntil(11, 55);
    d.now = std::max(d.now, 12 * 36000);
    d.add(powerOff, {});
    d.now = 13 * 36000;
    powerUp(d);
    workUntil(16, 55);
    d.wait(30);
    d.add(powerOff, {});

    // Pages of at most 65 records within 6553 seconds of their stamp.
    for (size_t i = 0; i < d.records.size();) {
        const int base = d.records[i].tenths;
        std::vector<GeneralRecord> page;
        for (; i < d.records.size() && page.size() < 65 && d.records[i].tenths - base < 65000;
             ++i) {
            GeneralRecord r = d.records[i].record;
            r.offsetTenths = uint16_t(d.records[i].tenths - base);
            page.push_back(r);
        }
        const int s = base / 10;
        builder.generalPage(
            Stamp(year, month, dayOfMonth, s / 3600, s / 60 % 60, s % 60, base % 10), page);
    }
}
