#include "testsupport/SampleMemory.h"

#include "image/BigEndian.h"

namespace sample {
const char* const firstPowerOn = "Начало работы [0x80] P.ON";
const char* const overloadStart = "Начало перегрузки: реле 1 группа 1";
const char* const sensorLoadRow = "Нагрузка на датчик 2 (группа 1) = 1590";
} // namespace sample

namespace {

constexpr int Days = 5;       // 4 to 8 March 2024, each ending with a power-off
constexpr uint8_t Groups = 2; // the index 2 stands for the crane as a whole

GeneralRecord load(uint8_t type, uint16_t at, uint8_t index, int32_t value) {
    GeneralRecord r{type, at, {}};
    r.payload[0] = index;
    writeU32(&r.payload[1], uint32_t(value));
    return r;
}

GeneralRecord flag(uint8_t type, uint16_t at, uint8_t a, uint8_t b = 0) {
    return GeneralRecord{type, at, {a, b, 0, 0, 0}};
}

// One lift in group g (0-based) with its peak load: start, a sensor and the
// group's loads on the way, the total, the end.
void addLift(std::vector<GeneralRecord>& page, uint16_t& at, uint8_t g, int32_t peak) {
    page.push_back(load(6, at, g, peak / 10));
    page.push_back(flag(11, at, 0b000011));               // hoist and trolley inputs on
    const uint8_t sensor = uint8_t((2 * g + 1) << 4 | g); // sensor 2g+2, group g+1
    page.push_back(load(1, uint16_t(at + 200), sensor, peak / 2));
    page.push_back(load(2, uint16_t(at + 250), g, peak));
    page.push_back(load(2, uint16_t(at + 300), Groups, peak + 150));
    page.push_back(load(7, uint16_t(at + 1200), g, peak));
    page.push_back(flag(11, uint16_t(at + 1205), 0b000000));
    at = uint16_t(at + 3000);
}

std::vector<uint8_t> countersBody() {
    struct Column {
        float spectrum, liftedKg;
        uint32_t q[4], overload;
    };
    const Column columns[Groups + 1] = {
        {4744.f, 72980000.f, {4800, 13600, 3800, 480}, 120},
        {3856.f, 43008000.f, {32000, 6000, 800, 0}, 0},
        {8600.f, 115988000.f, {36800, 19600, 4600, 480}, 120},
    };
    const uint32_t operating[6] = {1234567, 456789, 98765, 45000, 3599, 0};
    const size_t stride = 4 * (Groups + 1);
    std::vector<uint8_t> body(7 * stride + 4 * 6);
    for (size_t i = 0; i <= Groups; ++i) {
        writeFloat(&body[4 * i], columns[i].spectrum);
        writeFloat(&body[stride + 4 * i], columns[i].liftedKg);
        for (size_t m = 0; m < 4; ++m)
            writeU32(&body[(2 + m) * stride + 4 * i], columns[i].q[m]);
        writeU32(&body[6 * stride + 4 * i], columns[i].overload);
    }
    for (size_t j = 0; j < 6; ++j)
        writeU32(&body[7 * stride + 4 * j], operating[j]);
    return body;
}

} // namespace

void synthesizeSampleMemory(RecorderImage& image) {
    ImageBuilder b(image);
    ImageBuilder::Header h;
    h.groups = Groups;
    h.keys = {makeKey(0x51A7), makeKey(0x51A8)};
    b.header(h).passport({});

    for (int day = 0; day < Days; ++day) {
        const int date = 4 + day;
        std::vector<GeneralRecord> morning;
        uint16_t at = 0;
        morning.push_back(flag(5, at, 0x80));
        morning.push_back(flag(8, uint16_t(at + 5), 0));
        at = 600;
        for (int lift = 0; lift < 4; ++lift)
            addLift(morning, at, uint8_t(lift % 2), 3180 + 410 * lift + 95 * day);
        if (day == 1) {
            morning.push_back(flag(9, at, 2));                        // sensor 3 stops answering
            morning.push_back(flag(3, uint16_t(at + 1), 0xFF, 0x81)); // siren on
            morning.push_back(flag(10, uint16_t(at + 300), 2));
            morning.push_back(flag(3, uint16_t(at + 301), 0xFF, 0x00));
        }
        b.generalPage(Stamp(2024, 3, date, 7, 55, 0), morning);

        std::vector<GeneralRecord> evening;
        at = 0;
        addLift(evening, at, 0, 6120 + 40 * day);
        if (day == Days - 1) {
            evening.push_back(flag(12, at, 1));
            evening.push_back(flag(12, uint16_t(at + 900), 0));
            at = uint16_t(at + 1000);
        }
        evening.push_back(flag(4, at, 0));
        b.generalPage(Stamp(2024, 3, date, 16, 40, 0), evening);
    }

    // The overload of the second day, and a technician's visit on the third.
    b.settings(Stamp(2024, 3, 5, 8, 31, 10, 2), h.keys[0], 30, {0, 0});
    b.settings(Stamp(2024, 3, 5, 8, 31, 24, 7), h.keys[0], 31, {0, 0});
    std::array<uint8_t, 9> zero{1};
    writeU32(&zero[1], uint32_t(-112));
    writeU32(&zero[5], uint32_t(-87));
    b.settings(Stamp(2024, 3, 6, 12, 15, 0), h.keys[1], 6, zero);
    b.settings(Stamp(2024, 3, 6, 12, 20, 0), h.keys[1], 28,
               {'0', '4', '1', '7', '0', '4', '1', '8'});

    b.countersPage(countersBody());
    b.done();
}
