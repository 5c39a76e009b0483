#include "testsupport/DemoRecorder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <random>
#include <stdexcept>
#include <vector>

#include "events/GL_records.h"
#include "events/SL_records1.h"
#include "events/SL_records2.h"
#include "image/RecorderImage.h"
#include "testsupport/ImageBuilder.h"

namespace {

// The recorder's clock in tenths of a second, counted like calendar time but
// holding the local calendar fields the recorder stamps (stampAt breaks it
// down without a time zone).
using Tenths = int64_t;
constexpr Tenths Second = 10, Minute = 60 * Second, Hour = 60 * Minute, Day = 24 * Hour;

int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return int64_t(era) * 146097 + doe - 719468;
}

Tenths clock(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return (daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s) * Second;
}

Tenths clockOf(const Stamp& s) {
    const auto& b = s.bytes;
    return clock(2000 + b[0], b[1], b[2], b[3], b[4], b[5]) + b[6];
}

Stamp stampOf(Tenths t) {
    return stampAt(t / Second, uint8_t(t % Second));
}

// 0 = Monday; 1970-01-01 was a Thursday.
int weekday(Tenths t) {
    return int((t / Day + 3) % 7);
}

// Uniform draws only: the standard distributions differ between libraries,
// and the same seed must give the same bytes everywhere.
class Rng {
public:
    explicit Rng(uint32_t seed) : g_(seed) {}
    double unit() { return g_() / 4294967296.0; }
    double real(double lo, double hi) { return lo + (hi - lo) * unit(); }
    bool chance(double p) { return unit() < p; }
    Tenths seconds(double lo, double hi) { return Tenths(std::lround(real(lo, hi) * Second)); }
    // Mean 0, deviation 1, roughly normal.
    double gauss() { return (unit() + unit() + unit() + unit() - 2.0) * std::sqrt(3.0); }

private:
    std::mt19937 g_;
};

// The crane's recorder setup, as the installation records state it.
constexpr int Groups = 2;
constexpr int Total = 2; // the crane as a whole: column and group index 2
constexpr int32_t ConsoleNominalKg[3] = {16000, 5000, 16000};
constexpr int32_t CycleLevel[3] = {1000, 250, 1000};
constexpr int32_t RecordStep[3] = {20, 10, 20};

// Discrete channels (bits) in the order of the mechanism names.
enum Channel { MainHoist, AuxHoist, Trolley, Travel, RailClamps, Magnet };
constexpr int ChannelCount = 6;

struct RelaySetting {
    int group;
    int32_t on, onConsole, off, offConsole;
    uint8_t state; // reported while on
    bool cutsOff;  // an overload relay (the others switch the low speed)
};

constexpr uint8_t SirenIndex = 0xFF;

using Payload = std::array<uint8_t, 9>;

Payload bytes(std::initializer_list<uint8_t> l) {
    Payload p{};
    std::copy(l.begin(), l.end(), p.begin());
    return p;
}
// An index, then an old and a new value of `width` bytes each, big-endian.
Payload change(uint8_t index, int32_t from, int32_t to, int width) {
    Payload p{};
    p[0] = index;
    for (int i = 0; i < width; ++i) {
        const int shift = 8 * (width - 1 - i);
        p[1 + i] = uint8_t(uint32_t(from) >> shift);
        p[1 + width + i] = uint8_t(uint32_t(to) >> shift);
    }
    return p;
}
Payload change32(uint8_t index, int32_t from, int32_t to) {
    return change(index, from, to, 4);
}
Payload change16(uint8_t index, int from, int to) {
    return change(index, from, to, 2);
}

std::array<uint8_t, 5> loadPayload(uint8_t index, int32_t load) {
    auto v = be32(uint32_t(load));
    return {index, v[0], v[1], v[2], v[3]};
}

// Collects general-log records into pages the way the recorder fills them: a
// page stamped with its first record's time, at most 65 records, offsets that
// fit 16 bits, and a fresh page after every power-on.
class GeneralLog {
public:
    explicit GeneralLog(ImageBuilder& b) : b_(b) {}

    void add(Tenths t, int type, const std::array<uint8_t, 5>& payload) {
        if (t < last_) throw std::logic_error("demo general log out of time order");
        last_ = t;
        if (!records_.empty() && (records_.size() == 65 || t - pageStart_ > 0xFFFF)) flush();
        if (records_.empty()) pageStart_ = t;
        records_.push_back({uint8_t(type), uint16_t(t - pageStart_), payload});
    }
    void flush() {
        if (records_.empty()) return;
        b_.generalPage(stampOf(pageStart_), records_);
        records_.clear();
    }

private:
    ImageBuilder& b_;
    std::vector<GeneralRecord> records_;
    Tenths pageStart_ = 0;
    Tenths last_ = 0;
};

class DemoCrane {
public:
    // Read after the shift of lastDay, its general log kept in detail for the
    // 60 days before.
    DemoCrane(RecorderImage& image, uint32_t seed, Tenths lastDay);
    void run();

private:
    struct CycleColumn {
        bool active = false;
        int32_t max = 0;
        bool overloaded = false;
    };
    struct Action {
        Tenths when;
        std::function<void()> run;
    };

    // Recorder side
    void gl(int type, const std::array<uint8_t, 5>& payload = {});
    void sl(int type, const KeyCode& key, const Payload& payload = {});
    // A setting changed by hand: a pause of lo to hi seconds, then the record.
    void adjust(double lo, double hi, int type, const Payload& payload, const KeyCode& key);
    void wait(Tenths dt);
    void setChannel(Channel c, bool on);
    void setChannels(uint8_t mask);
    void setConsole(bool on);
    void sample(bool recordAll = false);
    void recordLoad(int slot, uint8_t index, int32_t value, int32_t step, bool force);
    void cycles(const int32_t value[3]);
    void relays(const int32_t value[3]);
    void countCycle(int column);
    void powerOn(uint8_t flags);
    void powerOff();

    // Crane side
    void workday(Tenths day);
    void session(Tenths on, Tenths off);
    void runDue();
    double drawMass(int g);
    bool lift(int g, double mass, bool toConsole);
    bool ramp(int g, double from, double to, Tenths duration, bool stopOnCut);
    void carryFor(Tenths duration);
    void moveEmpty();
    bool overloadOn(int g) const;
    const KeyCode& operatorKey() const;
    void schedule();
    void installation();

    ImageBuilder b_;
    Rng rng_;
    GeneralLog log_;
    Tenths now_ = 0;
    Tenths installed_, detailedFrom_, lastDay_;
    bool detailed_ = false;

    uint8_t channels_ = 0;
    double load_[Groups] = {0, 0};
    double share_[Groups] = {0.5, 0.5};
    int32_t recorded_[7] = {};
    bool console_ = false;
    bool sensorFailed_[4] = {};
    int carried_ = -1; // the group whose load is carried, for the sway
    double carriedMass_ = 0, sway_ = 0, swayPeriod_ = 80, swayPhase_ = 0;

    RelaySetting relay_[3] = {
        {0, 21000, 16800, 19000, 15500, 2, true},
        {1, 5250, 5250, 4750, 4750, 2, true},
        {0, 18000, 14400, 17000, 13500, 1, false},
    };
    bool relayOn_[3] = {};
    bool sirenOn_ = false;
    Tenths sirenDue_ = -1;
    Tenths warnDelay_ = 10;
    CycleColumn column_[3];

    // Counters since the installation
    double spectrum_[3] = {}, lifted_[3] = {};
    uint32_t modes_[3][4] = {}, overloads_[3] = {};
    Tenths running_[ChannelCount] = {};

    std::vector<Action> actions_;
    size_t nextAction_ = 0;

    const KeyCode engineer_ = makeKey(0x5C3E7720A1);
    const KeyCode operators_[3] = {makeKey(0x31D04F1207), makeKey(0x31D04F12B2),
                                   makeKey(0x44A0196E35)};
    const KeyCode stranger_ = makeKey(0x7B02E6C4D9);
    bool thirdOperator_ = false;
};

DemoCrane::DemoCrane(RecorderImage& image, uint32_t seed, Tenths lastDay)
    : b_(image), rng_(seed), log_(b_), installed_(clock(2022, 10, 4)),
      detailedFrom_(lastDay - demo::DetailedLogDays * Day), lastDay_(lastDay) {
    ImageBuilder::Header h;
    h.sensors = 4;
    h.groups = Groups;
    h.relays = 3;
    h.discretes = ChannelCount;
    h.countersPages = 31;
    h.keys = {engineer_, operators_[0], operators_[1], operators_[2]};
    h.firmware = "РП-3 в.3.07 от 14.06.2022";
    h.serial = "0417";
    b_.header(h);

    ImageBuilder::Passport p;
    p.text = "Кран козловой двухконсольный КК-20/5, зав. № 1375, рег. № 41207\n"
             "Грузоподъёмность: главный подъём 20 т, вспомогательный подъём 5 т\n"
             "Пролёт 32 м, вылет консолей 8,5 м, высота подъёма 10 м\n"
             "Владелец: ООО «Северный склад металлопроката», площадка № 2\n"
             "Ограничитель грузоподъёмности с регистратором установлен 04.10.2022\n"
             "Ответственный за исправное состояние: Смирнов А. В.";
    // Noon, so that the dates read the same in every time zone.
    p.commissioningDate = int32_t(daysFromCivil(2009, 6, 15) * 86400 + 12 * 3600);
    p.installationDate = int32_t(daysFromCivil(2022, 10, 4) * 86400 + 12 * 3600);
    p.serviceLife = 20;
    p.names = {"Главный подъём",     "Вспомогательный подъём", "Передвижение тележки",
               "Передвижение крана", "Противоугонные захваты", "Грузовой электромагнит"};
    p.passportGroup = 6;
    b_.passport(p);
    schedule();
}

void DemoCrane::gl(int type, const std::array<uint8_t, 5>& payload) {
    if (detailed_) log_.add(now_, type, payload);
}

void DemoCrane::sl(int type, const KeyCode& key, const Payload& payload) {
    b_.settings(stampOf(now_), key, uint8_t(type), payload);
}

void DemoCrane::adjust(double lo, double hi, int type, const Payload& payload, const KeyCode& key) {
    wait(rng_.seconds(lo, hi));
    sl(type, key, payload);
}

void DemoCrane::wait(Tenths dt) {
    for (int c = 0; c < ChannelCount; ++c)
        if (channels_ >> c & 1) running_[c] += dt;
    now_ += dt;
}

void DemoCrane::setChannel(Channel c, bool on) {
    setChannels(on ? uint8_t(channels_ | 1u << c) : uint8_t(channels_ & ~(1u << c)));
}

void DemoCrane::setChannels(uint8_t mask) {
    if (mask == channels_) return;
    channels_ = mask;
    gl(GL_channelState::typeCode, {channels_});
}

void DemoCrane::setConsole(bool on) {
    console_ = on;
    gl(GL_consoleMode::typeCode, {uint8_t(on)});
}

void DemoCrane::recordLoad(int slot, uint8_t index, int32_t value, int32_t step, bool force) {
    if (!force && std::abs(value - recorded_[slot]) < step) return;
    recorded_[slot] = value;
    gl(slot < 3 ? GL_groupLoad::typeCode : GL_sensorLoad::typeCode, loadPayload(index, value));
}

// What the recorder does with one measurement: loads that moved by the
// registration step, cycle starts and ends, relays and the siren.
void DemoCrane::sample(bool recordAll) {
    int32_t value[3];
    for (int g = 0; g < Groups; ++g)
        value[g] = int32_t(std::lround(load_[g] + rng_.gauss() * (3 + 0.001 * load_[g])));
    value[Total] = value[0] + value[1];
    for (int g = 0; g < Groups; ++g) {
        recordLoad(g, uint8_t(g), value[g], RecordStep[g], recordAll);
        const int32_t first = int32_t(std::lround(value[g] * share_[g]));
        const int32_t part[2] = {first, value[g] - first};
        for (int k = 0; k < 2; ++k) {
            const int sensor = 2 * g + k;
            if (sensorFailed_[sensor]) continue;
            recordLoad(3 + sensor, uint8_t(sensor << 4 | g), part[k], RecordStep[g], recordAll);
        }
    }
    recordLoad(Total, Total, value[Total], RecordStep[Total], recordAll);
    cycles(value);
    relays(value);
}

void DemoCrane::cycles(const int32_t value[3]) {
    for (int c = 0; c < 3; ++c) {
        CycleColumn& col = column_[c];
        // The load at a cycle's start and end is recorded whatever the step.
        if (!col.active) {
            if (value[c] < CycleLevel[c]) continue;
            col = {true, value[c], false};
            recordLoad(c, uint8_t(c), value[c], 1, false);
            gl(GL_cycleStart::typeCode, loadPayload(uint8_t(c), value[c]));
        } else if (value[c] < CycleLevel[c] * 4 / 5) {
            recordLoad(c, uint8_t(c), value[c], 1, false);
            gl(GL_cycleStop::typeCode, loadPayload(uint8_t(c), col.max));
            countCycle(c);
            col.active = false;
        } else {
            col.max = std::max(col.max, value[c]);
        }
    }
}

// The counters the protocol reads: the cycle's relative load cubed makes the
// spectrum and picks the loading mode; overloaded cycles are counted apart.
void DemoCrane::countCycle(int c) {
    const CycleColumn& col = column_[c];
    const double k = std::pow(double(col.max) / demo::NominalKg[c], 3);
    spectrum_[c] += k;
    lifted_[c] += col.max;
    if (col.overloaded)
        ++overloads_[c];
    else
        ++modes_[c][k < 0.125 ? 0 : k < 0.25 ? 1 : k < 0.5 ? 2 : 3];
}

void DemoCrane::relays(const int32_t value[3]) {
    for (int r = 0; r < 3; ++r) {
        const RelaySetting& s = relay_[r];
        const int32_t v = value[s.group];
        if (!relayOn_[r] && v >= (console_ ? s.onConsole : s.on)) {
            relayOn_[r] = true;
            gl(GL_state::typeCode, {uint8_t(r), uint8_t(0x80 | s.state)});
            if (!s.cutsOff) continue;
            sl(SL_olStart::typeCode, operatorKey(), bytes({uint8_t(r), uint8_t(s.group)}));
            column_[s.group].overloaded = column_[Total].overloaded = true;
            if (sirenDue_ < 0) sirenDue_ = now_ + warnDelay_;
        } else if (relayOn_[r] && v < (console_ ? s.offConsole : s.off)) {
            relayOn_[r] = false;
            gl(GL_state::typeCode, {uint8_t(r), 0});
            if (s.cutsOff)
                sl(SL_olStop::typeCode, operatorKey(), bytes({uint8_t(r), uint8_t(s.group)}));
        }
    }
    const bool overload = overloadOn(0) || overloadOn(1);
    if (overload && !sirenOn_ && now_ >= sirenDue_) {
        sirenOn_ = true;
        gl(GL_state::typeCode, {SirenIndex, 0x81});
    } else if (!overload) {
        sirenDue_ = -1;
        if (sirenOn_) {
            sirenOn_ = false;
            gl(GL_state::typeCode, {SirenIndex, 0});
        }
    }
}

bool DemoCrane::overloadOn(int g) const {
    for (int r = 0; r < 3; ++r)
        if (relayOn_[r] && relay_[r].cutsOff && relay_[r].group == g) return true;
    return false;
}

void DemoCrane::powerOn(uint8_t flags) {
    log_.flush();
    gl(GL_powerOn::typeCode, {flags});
    wait(4);
    setConsole(false);
    sample(true);
}

// The recorder keeps a snapshot of its counters at every power-off.
void DemoCrane::powerOff() {
    setChannels(0);
    wait(3);
    gl(GL_powerOff::typeCode);
    if (!detailed_) return;
    std::vector<CountersColumn> columns(3);
    for (int c = 0; c < 3; ++c) {
        columns[c].spectrum = float(spectrum_[c]);
        columns[c].liftedKg = float(lifted_[c]);
        std::copy(modes_[c], modes_[c] + 4, columns[c].modes);
        columns[c].overloads = overloads_[c];
    }
    std::vector<uint32_t> seconds(ChannelCount);
    for (int c = 0; c < ChannelCount; ++c)
        seconds[c] = uint32_t(running_[c] / Second);
    b_.countersPage(countersBody(columns, seconds), stampOf(now_));
}

const KeyCode& DemoCrane::operatorKey() const {
    const int64_t week = (now_ - installed_) / (7 * Day);
    return operators_[thirdOperator_ ? week % 3 : week % 2];
}

// Mostly light and medium steel for the main hoist, now and then a bundle
// heavier than the crane may lift.
double DemoCrane::drawMass(int g) {
    const double r = rng_.unit();
    if (g == 0) {
        if (r < 0.30) return rng_.real(1500, 6000);
        if (r < 0.63) return rng_.real(6000, 12500);
        if (r < 0.985) return rng_.real(12500, 18500);
        return rng_.real(20700, 23500);
    }
    if (r < 0.40) return rng_.real(300, 1800);
    if (r < 0.80) return rng_.real(1800, 3500);
    if (r < 0.985) return rng_.real(3500, 4600);
    return rng_.real(5300, 6000);
}

// Moves hoist g's load smoothly from one weight to another, measuring every
// half second; false when an overload relay stopped the hoist on the way.
bool DemoCrane::ramp(int g, double from, double to, Tenths duration, bool stopOnCut) {
    const int steps = std::max<int>(1, int(duration / 5));
    for (int i = 1; i <= steps; ++i) {
        const double u = double(i) / steps;
        load_[g] = from + (to - from) * u * u * (3 - 2 * u);
        wait(5);
        sample();
        if (stopOnCut && overloadOn(g)) return false;
    }
    return true;
}

// The carried load swings after every start and stop of a drive.
void DemoCrane::carryFor(Tenths duration) {
    for (Tenths t = 0; t < duration; t += 5) {
        wait(5);
        swayPhase_ += 2 * std::numbers::pi * 5 / swayPeriod_;
        sway_ *= 0.965;
        load_[carried_] = carriedMass_ * (1 + sway_ * std::sin(swayPhase_));
        sample();
    }
}

void DemoCrane::moveEmpty() {
    wait(rng_.seconds(1, 6));
    setChannel(Trolley, true);
    wait(rng_.seconds(5, 25));
    setChannel(Trolley, false);
    if (!rng_.chance(0.3)) return;
    wait(rng_.seconds(1, 4));
    setChannel(RailClamps, true);
    wait(rng_.seconds(2, 3));
    setChannel(Travel, true);
    wait(rng_.seconds(10, 70));
    setChannel(Travel, false);
    wait(rng_.seconds(2, 4));
    setChannel(RailClamps, false);
}

// One lift by hoist g (0 main, 1 auxiliary): to the load, sling, lift, carry,
// set down, unsling. False when the limiter refused the lift as an overload.
bool DemoCrane::lift(int g, double mass, bool toConsole) {
    const Channel hoist = g == 0 ? MainHoist : AuxHoist;
    // Sheet and plate go on the magnet beam of the main hoist, the rest is slung.
    const bool magnet = g == 0 && mass < 12000 && rng_.chance(0.4);
    const double hoistSpeed = g == 0 ? 1.0 : 0.6;
    moveEmpty();
    wait(rng_.seconds(magnet ? 8 : 20, magnet ? 20 : 80));
    if (magnet) {
        setChannel(Magnet, true);
        wait(rng_.seconds(2, 4));
    }
    share_[g] = 0.5 + rng_.real(-0.08, 0.08);
    setChannel(hoist, true);
    const double peak = mass * (1 + rng_.real(0.02, 0.08));
    if (!ramp(g, 0, peak, rng_.seconds(2, 4.5), true)) {
        // The hoist stopped with the ropes taut: the crew hears the siren,
        // the operator lowers and the load is split.
        setChannel(hoist, false);
        carried_ = g, carriedMass_ = load_[g], sway_ = 0.004;
        carryFor(rng_.seconds(4, 9));
        setChannel(hoist, true);
        ramp(g, load_[g], 0, rng_.seconds(2.5, 4), false);
        load_[g] = 0;
        sample();
        setChannel(hoist, false);
        carried_ = -1;
        return false;
    }
    ramp(g, peak, mass, 15, false);
    carried_ = g, carriedMass_ = mass, sway_ = 0.004, swayPeriod_ = rng_.real(65, 90);
    carryFor(rng_.seconds(8 * hoistSpeed, 30 * hoistSpeed));
    setChannel(hoist, false);
    carryFor(rng_.seconds(1, 2.5));
    setChannel(Trolley, true);
    sway_ = 0.02;
    carryFor(rng_.seconds(8, 30));
    setChannel(Trolley, false);
    sway_ += 0.015;
    carryFor(rng_.seconds(2, 4));
    if (rng_.chance(0.45)) {
        setChannel(RailClamps, true);
        carryFor(rng_.seconds(2, 3));
        setChannel(Travel, true);
        sway_ += 0.02;
        carryFor(rng_.seconds(15, 90));
        setChannel(Travel, false);
        sway_ += 0.015;
        carryFor(rng_.seconds(2, 4));
        setChannel(RailClamps, false);
        carryFor(rng_.seconds(1, 3));
    }
    bool onConsole = false;
    if (toConsole) {
        setChannel(Trolley, true);
        carryFor(rng_.seconds(4, 8));
        setConsole(true);
        sample();
        carryFor(rng_.seconds(2, 5));
        if (overloadOn(g)) {
            // Too heavy for the cantilever: the trolley goes back into the span.
            setChannel(Trolley, false);
            carryFor(rng_.seconds(4, 9));
            setChannel(Trolley, true);
            carryFor(rng_.seconds(3, 6));
            setConsole(false);
            sample();
            carryFor(rng_.seconds(2, 5));
        } else {
            onConsole = true;
        }
        setChannel(Trolley, false);
        sway_ += 0.015;
        carryFor(rng_.seconds(2, 4));
    }
    setChannel(hoist, true);
    carryFor(rng_.seconds(8 * hoistSpeed, 25 * hoistSpeed));
    ramp(g, load_[g], 0, rng_.seconds(1.5, 3.5), false);
    load_[g] = 0;
    sample();
    setChannel(hoist, false);
    carried_ = -1;
    if (magnet) {
        wait(rng_.seconds(1, 3));
        setChannel(Magnet, false);
    }
    wait(rng_.seconds(magnet ? 5 : 15, magnet ? 15 : 50));
    if (onConsole) {
        setChannel(Trolley, true);
        wait(rng_.seconds(6, 14));
        setConsole(false);
        wait(rng_.seconds(2, 5));
        setChannel(Trolley, false);
    }
    return true;
}

void DemoCrane::runDue() {
    while (nextAction_ < actions_.size() && actions_[nextAction_].when <= now_)
        actions_[nextAction_++].run();
}

void DemoCrane::session(Tenths on, Tenths off) {
    wait(on - now_);
    powerOn(0x80);
    for (;;) {
        runDue();
        const Tenths gap = rng_.seconds(150, 840);
        if (now_ + gap + 8 * Minute > off) break;
        if (rng_.chance(0.2)) moveEmpty();
        wait(gap);
        runDue();
        const int g = rng_.chance(0.7) ? 0 : 1;
        const double mass = drawMass(g);
        const bool toConsole = rng_.chance(mass > 15500 ? 0.06 : 0.15);
        if (!lift(g, mass, toConsole)) {
            wait(rng_.seconds(60, 240));
            lift(g, mass * rng_.real(0.45, 0.7), false);
        }
    }
    wait(std::max<Tenths>(0, off - now_));
    powerOff();
}

void DemoCrane::workday(Tenths day) {
    static const int holidays[][3] = {
        {2022, 11, 4}, {2023, 1, 2},  {2023, 1, 3},  {2023, 1, 4}, {2023, 1, 5}, {2023, 1, 6},
        {2023, 2, 23}, {2023, 2, 24}, {2023, 3, 8},  {2023, 5, 1}, {2023, 5, 8}, {2023, 5, 9},
        {2023, 6, 12}, {2023, 11, 6}, {2024, 1, 1},  {2024, 1, 2}, {2024, 1, 3}, {2024, 1, 4},
        {2024, 1, 5},  {2024, 1, 8},  {2024, 2, 23}, {2024, 3, 8},
    };
    for (const auto& h : holidays)
        if (clock(h[0], h[1], h[2]) == day) return;
    // The crane's yearly overhaul.
    if (day >= clock(2023, 7, 17) && day < clock(2023, 7, 29)) return;
    const int wd = weekday(day);
    if (wd == 6) return;
    if (wd == 5) {
        if (rng_.chance(0.15))
            session(day + 8 * Hour + rng_.seconds(-300, 300),
                    day + 12 * Hour + rng_.seconds(0, 1800));
        return;
    }
    const Tenths morning =
        day == installed_ ? day + 9 * Hour + 50 * Minute : day + 7 * Hour + 45 * Minute;
    session(morning + rng_.seconds(0, 780), day + 11 * Hour + 58 * Minute + rng_.seconds(0, 600));
    const Tenths evening = wd == 4 ? day + 15 * Hour + 50 * Minute : day + 16 * Hour + 55 * Minute;
    session(day + 12 * Hour + 50 * Minute + rng_.seconds(0, 720), evening + rng_.seconds(0, 1200));
}

void DemoCrane::run() {
    for (Tenths day = installed_; day <= lastDay_; day += Day) {
        detailed_ = day >= detailedFrom_;
        workday(day);
    }
    // The engineer comes after the shift, switches the limiter on and reads
    // the recorder: the last thing it logged is the reader going in.
    wait(rng_.seconds(900, 1500));
    powerOn(0x80);
    wait(rng_.seconds(50, 90));
    gl(GL_downloaderState::typeCode, {1});
    log_.flush();
    b_.done();
}

// The recorder's setup on the day of its installation.
void DemoCrane::installation() {
    const KeyCode& k = engineer_;
    sl(SL_memErase::typeCode, k);
    adjust(30, 60, SL_newDate::typeCode, bytes({1, 1, 22, 4, 10, 22}), k);
    const auto s = stampOf(now_).bytes;
    sl(SL_newTime::typeCode, k, bytes({0, 12, 40, s[3], s[4], s[5]}));
    for (uint8_t cell = 0; cell < 3; ++cell) {
        adjust(20, 40, SL_updateKey::typeCode, bytes({cell}), k);
    }
    std::vector<std::pair<int, Payload>> setup;
    for (uint8_t g = 0; g <= Groups; ++g) {
        setup.push_back({SL_grpNWeight::typeCode, change32(g, 0, demo::NominalKg[g])});
        setup.push_back({SL_grpNWeightA::typeCode, change32(g, 0, ConsoleNominalKg[g])});
    }
    setup.push_back({SL_tareGrp::typeCode, bytes({1, 0})});
    setup.push_back({SL_grpMode::typeCode, bytes({Total, 0, 1})});
    for (uint8_t sensor = 0; sensor < 4; ++sensor)
        setup.push_back({SL_sensZero::typeCode, bytes({sensor})});
    setup.push_back({SL_grpZero::typeCode, change32(0, 0, 4210)});
    setup.push_back({SL_grpZero::typeCode, change32(1, 0, 3120)});
    for (uint8_t sensor = 0; sensor < 4; ++sensor)
        setup.push_back({SL_sensAdj::typeCode, bytes({sensor})});
    setup.push_back({SL_grpScale::typeCode, change16(0, 1000, 987)});
    setup.push_back({SL_grpScale::typeCode, change16(1, 1000, 1015)});
    setup.push_back({SL_grpSStep::typeCode, change16(0, 10, 100)});
    setup.push_back({SL_grpSStep::typeCode, change16(1, 10, 50)});
    for (uint8_t g = 0; g <= Groups; ++g) {
        setup.push_back({SL_grpRStep::typeCode, change16(g, 50, RecordStep[g])});
        setup.push_back({SL_grpRLevel::typeCode, change32(g, 500, CycleLevel[g])});
    }
    setup.push_back({SL_relGrNum::typeCode, bytes({1, 0, 1})});
    for (uint8_t r = 0; r < 3; ++r) {
        const RelaySetting& s = relay_[r];
        setup.push_back({SL_relMode::typeCode, bytes({r, 0, uint8_t(s.cutsOff ? 1 : 2)})});
        setup.push_back(
            {s.cutsOff ? SL_relCutN::typeCode : SL_relCutNtmp::typeCode, change32(r, 0, s.on)});
        setup.push_back({s.cutsOff ? SL_relCutA::typeCode : SL_relCutAtmp::typeCode,
                         change32(r, 0, s.onConsole)});
        setup.push_back({SL_relRlxN::typeCode, change32(r, 0, s.off)});
        setup.push_back({SL_relRlxA::typeCode, change32(r, 0, s.offConsole)});
        if (s.cutsOff)
            setup.push_back({SL_relWrnNtime::typeCode, bytes({r, 0, uint8_t(warnDelay_)})});
    }
    setup.push_back({SL_relCutNtime::typeCode, bytes({2, 0, 5})});
    setup.push_back({SL_lsRelay::typeCode, bytes({0xFF, 2})});
    for (const auto& [type, payload] : setup)
        adjust(8, 45, type, payload, k);
}

// Dated events: service visits, a power dip, the failing sensor. Each runs at
// the first pause in the work after its time.
void DemoCrane::schedule() {
    auto at = [this](Tenths when, std::function<void()> f) {
        actions_.push_back({when, std::move(f)});
    };
    auto clockCorrection = [this](int seconds) {
        const auto s = stampOf(now_).bytes;
        const auto t = stampOf(now_ + seconds * Second).bytes;
        sl(SL_newTime::typeCode, engineer_, bytes({s[3], s[4], s[5], t[3], t[4], t[5]}));
        now_ += seconds * Second;
    };
    auto idle = [this] { setChannels(0); };
    auto sensorFailure = [this](int sensor, double lo, double hi) {
        gl(GL_sensFail::typeCode, {uint8_t(sensor)});
        sensorFailed_[sensor] = true;
        wait(rng_.seconds(lo, hi));
        gl(GL_sensOK::typeCode, {uint8_t(sensor)});
        sensorFailed_[sensor] = false;
    };

    at(clock(2022, 10, 4, 9, 0), [this] { installation(); });
    at(clock(2023, 4, 11, 14, 0), [=, this] { clockCorrection(31); });
    at(clock(2023, 10, 10, 14, 0), [this] {
        // Yearly inspection: zero and gain of the main hoist checked with test weights.
        adjust(120, 300, SL_sensZero::typeCode, bytes({0}), engineer_);
        adjust(20, 40, SL_sensZero::typeCode, bytes({1}), engineer_);
        adjust(60, 120, SL_grpZero::typeCode, change32(0, 4210, 4186), engineer_);
        adjust(600, 900, SL_grpScale::typeCode, change16(0, 987, 992), engineer_);
    });
    at(clock(2024, 1, 16, 14, 0), [=, this] { clockCorrection(27); });

    at(clock(2024, 3, 19, 14, 20), [=, this] {
        // Service visit: the recorder is read, the clock set, the new
        // operator's key registered, the cantilever overload level lowered.
        idle();
        gl(GL_downloaderState::typeCode, {1});
        wait(rng_.seconds(60, 90));
        gl(GL_downloaderState::typeCode, {0});
        wait(rng_.seconds(120, 240));
        clockCorrection(26);
        adjust(60, 120, SL_updateKey::typeCode, bytes({3}), engineer_);
        thirdOperator_ = true;
        adjust(90, 180, SL_relCutA::typeCode, change32(0, relay_[0].onConsole, 16500), engineer_);
        relay_[0].onConsole = 16500;
    });
    at(clock(2024, 3, 27, 7, 0), [=, this] { sensorFailure(0, 0.8, 1.6); });
    at(clock(2024, 4, 3, 14, 10), [=, this] {
        // A dip in the supply: the controller restarts on its low-voltage detector.
        idle();
        powerOff();
        wait(rng_.seconds(25, 50));
        powerOn(0x02);
    });
    at(clock(2024, 4, 9, 9, 40), [=, this] { sensorFailure(2, 3, 12); });
    at(clock(2024, 4, 9, 11, 5), [=, this] { sensorFailure(2, 20, 45); });
    at(clock(2024, 4, 9, 13, 35), [=, this] { sensorFailure(2, 4, 9); });
    at(clock(2024, 4, 9, 15, 50), [=, this] { sensorFailure(2, 150, 240); });
    at(clock(2024, 4, 10, 13, 20), [=, this] {
        // Sensor 3's first bridge is damaged: the engineer switches it to the
        // second one, sets its zero and sensitivity, and restarts the limiter.
        idle();
        adjust(300, 600, SL_sensBrChoice::typeCode, bytes({2, 0, 1}), engineer_);
        adjust(40, 90, SL_sensZero::typeCode, bytes({2}), engineer_);
        adjust(120, 240, SL_sensAdj::typeCode, bytes({2}), engineer_);
        adjust(60, 120, SL_grpZero::typeCode, change32(1, 3120, 2984), engineer_);
        wait(rng_.seconds(30, 60));
        powerOn(0x40);
    });
    at(clock(2024, 4, 16, 14, 0), [=, this] {
        // A contractor's engineer, whose key was never registered here,
        // lengthens the siren delay.
        idle();
        adjust(200, 400, SL_relWrnNtime::typeCode, bytes({0, uint8_t(warnDelay_), 15}), stranger_);
        adjust(20, 40, SL_relWrnNtime::typeCode, bytes({1, uint8_t(warnDelay_), 15}), stranger_);
        warnDelay_ = 15;
    });
}

} // namespace

void synthesizeDemoMemory(RecorderImage& image, uint32_t seed) {
    synthesizeDemoMemoryOn(image, demo::seriesDays().back(), seed);
}

std::vector<demo::Day> demo::seriesDays() {
    std::vector<Day> days;
    for (int months = 3; months < 19; months += 3)
        days.push_back({2022 + (9 + months) / 12, (9 + months) % 12 + 1, 4});
    days.push_back({2024, 4, 26});
    return days;
}

void synthesizeDemoMemoryOn(RecorderImage& image, const demo::Day& day, uint32_t seed) {
    DemoCrane crane(image, seed, clock(day.year, day.month, day.day));
    crane.run();
}
