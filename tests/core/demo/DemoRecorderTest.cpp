#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "events/Analysis.h"
#include "events/GL_records.h"
#include "events/SL_records2.h"
#include "events/eventList.h"
#include "image/BigEndian.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"
#include "testsupport/DemoRecorder.h"
#include "testsupport/Errors.h"
#include "testsupport/ScopedTZ.h"
#include "views/ProtocolDocument.h"

namespace {

// Column of a cycle event: groups 1 and 2 are columns 0 and 1, the crane (group 0) column 2.
int columnOf(uint8_t group) {
    return group == 0 ? 2 : group - 1;
}

struct Snapshot {
    int32_t seconds;
    double spectrum[3], lifted[3];
    uint32_t modes[3][4], overloads[3], operating[6];
};

Snapshot snapshotAt(const RecorderImage& image, uint32_t page) {
    const uint8_t* p = image.page(page);
    Snapshot s{};
    uint8_t tenths;
    toTime(p, s.seconds, tenths);
    auto at = [&](int array, int i) { return p + 8 + array * 12 + 4 * i; };
    for (int c = 0; c < 3; ++c) {
        s.spectrum[c] = readFloat(at(0, c));
        s.lifted[c] = readFloat(at(1, c));
        for (int m = 0; m < 4; ++m)
            s.modes[c][m] = readU32(at(2 + m, c));
        s.overloads[c] = readU32(at(6, c));
    }
    for (int j = 0; j < 6; ++j)
        s.operating[j] = readU32(at(7, j));
    return s;
}

class DemoRecorder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tz = std::make_unique<ScopedTZ>("Europe/Moscow");
        image = std::make_unique<RecorderImage>();
        synthesizeDemoMemory(*image);
        events = std::make_unique<eventList>();
        CollectedErrors errors;
        result = analyseImage(*image, *events, nullptr);
        analysisErrors = errors.messages;
    }
    static void TearDownTestSuite() {
        events.reset();
        image.reset();
        tz.reset();
    }

    template <class F> static void forEach(F f) {
        for (auto* e = events->front(); e; e = eventList::after(e))
            f(e);
    }

    static std::unique_ptr<ScopedTZ> tz;
    static std::unique_ptr<RecorderImage> image;
    static std::unique_ptr<eventList> events;
    static AnalysisResult result;
    static std::vector<std::string> analysisErrors;
};

std::unique_ptr<ScopedTZ> DemoRecorder::tz;
std::unique_ptr<RecorderImage> DemoRecorder::image;
std::unique_ptr<eventList> DemoRecorder::events;
AnalysisResult DemoRecorder::result;
std::vector<std::string> DemoRecorder::analysisErrors;

TEST_F(DemoRecorder, AnalysesWithoutErrorsIntoKnownRecords) {
    EXPECT_EQ(result, AnalysisResult::done);
    EXPECT_TRUE(analysisErrors.empty());
    EXPECT_EQ(image->groupCount(), 2);
    EXPECT_EQ(image->relayCount(), 3);
    EXPECT_EQ(image->discreteCount(), 6);
    size_t count = 0;
    forEach([&](genericParser* e) {
        ++count;
        EXPECT_NE(e->kind(), genericParser::GeneralUnknownKind) << e->describe();
        EXPECT_NE(e->kind(), genericParser::SettingsUnknownKind) << e->describe();
    });
    EXPECT_GT(count, 300000u);

    WritableView passport(*image);
    EXPECT_NE(passport.text().find("Кран козловой"), std::string::npos);
    for (unsigned j = 0; j < 6; ++j)
        EXPECT_EQ(passport.mechanismName(j).find("Механизм"), std::string::npos) << j;
}

TEST_F(DemoRecorder, HoldsEveryKindOfEvent) {
    std::set<int> kinds;
    std::set<std::pair<int, int>> states; // (relay, on); relay 0 is the siren
    std::set<int> consoleModes, reader;
    bool registeredChange = false, strangerChange = false;
    forEach([&](genericParser* e) {
        kinds.insert(e->kind());
        if (auto* s = dynamic_cast<GL_state*>(e)) states.insert({s->relay, s->on});
        if (auto* c = dynamic_cast<GL_consoleMode*>(e)) consoleModes.insert(c->console != 0);
        if (auto* d = dynamic_cast<GL_downloaderState*>(e)) reader.insert(d->inserted != 0);
        auto* sl = dynamic_cast<SL_parser*>(e);
        if (sl && !dynamic_cast<SL_olStart*>(e) && !dynamic_cast<SL_olStop*>(e)) {
            if (sl->keyCell == SL_parser::NotRegistered) strangerChange = true;
            if (sl->keyCell < image->keyCount()) registeredChange = true;
        }
    });
    for (int code = 1; code <= 12; ++code)
        EXPECT_TRUE(kinds.count(code)) << "general type " << code;
    EXPECT_TRUE(kinds.count(genericParser::SettingsKindBase + SL_olStart::typeCode));
    EXPECT_TRUE(kinds.count(genericParser::SettingsKindBase + SL_olStop::typeCode));
    for (int relay = 0; relay <= 3; ++relay)
        for (int on = 0; on <= 1; ++on)
            EXPECT_TRUE(states.count({relay, on})) << relay << " " << on;
    EXPECT_EQ(consoleModes, (std::set<int>{0, 1}));
    EXPECT_EQ(reader, (std::set<int>{0, 1}));
    EXPECT_TRUE(registeredChange);
    EXPECT_TRUE(strangerChange);
}

// Every cycle of every column starts, rises to its largest load (a light load
// may start at its peak), falls below its start load and stops, with no
// power-off or second start in between; the ring may have cut off the start of
// the very first one.
TEST_F(DemoRecorder, CyclesAreWellFormed) {
    struct Open {
        bool open = false, seenStart = false;
        int32_t startLoad = 0;
        std::vector<int32_t> loads;
    } col[3];
    int cycles = 0;
    forEach([&](genericParser* e) {
        if (dynamic_cast<GL_powerOff*>(e)) {
            for (auto& c : col)
                EXPECT_FALSE(c.open) << "power-off inside a cycle at " << e->seconds;
        }
        if (auto* l = dynamic_cast<GL_groupLoad*>(e))
            col[columnOf(l->group)].loads.push_back(l->load);
        if (auto* s = dynamic_cast<GL_cycleStart*>(e)) {
            Open& c = col[columnOf(s->group)];
            EXPECT_FALSE(c.open) << "second start at " << e->seconds;
            c = {true, true, s->load, {s->load}};
        }
        if (auto* s = dynamic_cast<GL_cycleStop*>(e)) {
            Open& c = col[columnOf(s->group)];
            if (!c.seenStart) return;
            ASSERT_TRUE(c.open) << "stop without start at " << e->seconds;
            ASSERT_GE(c.loads.size(), 2u) << e->seconds;
            const int32_t peak = *std::max_element(c.loads.begin(), c.loads.end());
            EXPECT_LE(peak, s->load) << e->seconds;
            EXPECT_GT(peak, s->load * 0.95) << e->seconds;
            EXPECT_LT(c.loads.back(), c.startLoad) << e->seconds;
            c.open = false;
            ++cycles;
        }
    });
    EXPECT_GT(cycles, 2000);
}

// The counters snapshots of the ring differ by exactly what the general log
// shows between them: cycles by loading mode and with overload, the spectrum,
// the lifted mass and the mechanisms' running times.
TEST_F(DemoRecorder, CountersFollowTheLog) {
    ASSERT_EQ(image->countersCount(), 31u);
    const uint32_t newestPage = image->countersHead();
    const uint32_t oldestPage =
        image->countersFirst() + (newestPage + 1 - image->countersFirst()) % image->countersCount();
    ASSERT_NE(image->page(oldestPage)[7], 0xFF) << "the counters ring has not wrapped";
    const Snapshot oldest = snapshotAt(*image, oldestPage), newest = snapshotAt(*image, newestPage);
    ASSERT_LT(events->front()->seconds, oldest.seconds)
        << "the log does not reach the oldest snapshot";

    Snapshot log{};
    int32_t startSeconds[3] = {};
    bool overloaded[3] = {};
    int64_t onSince[6] = {};
    int32_t channels = 0;
    int64_t onTenths[6] = {};
    auto inWindow = [&](genericParser* e) {
        return e->seconds > oldest.seconds && e->seconds <= newest.seconds;
    };
    auto switchChannels = [&](genericParser* e, int32_t next) {
        const int64_t t = int64_t(e->seconds) * 10 + e->tenths;
        for (int j = 0; j < 6; ++j) {
            const bool was = channels >> j & 1, is = next >> j & 1;
            if (!was && is) onSince[j] = t;
            if (was && !is && inWindow(e)) onTenths[j] += t - onSince[j];
        }
        channels = next;
    };
    forEach([&](genericParser* e) {
        if (auto* s = dynamic_cast<GL_cycleStart*>(e)) {
            startSeconds[columnOf(s->group)] = s->seconds;
            overloaded[columnOf(s->group)] = false;
        }
        if (auto* o = dynamic_cast<SL_olStart*>(e)) overloaded[o->group] = overloaded[2] = true;
        if (auto* c = dynamic_cast<GL_channelState*>(e)) switchChannels(e, c->channels);
        if (dynamic_cast<GL_powerOff*>(e)) switchChannels(e, 0);
        auto* s = dynamic_cast<GL_cycleStop*>(e);
        if (!s || !inWindow(e)) return;
        const int c = columnOf(s->group);
        ASSERT_GT(startSeconds[c], oldest.seconds);
        const double k = std::pow(double(s->load) / demo::NominalKg[c], 3);
        log.spectrum[c] += k;
        log.lifted[c] += s->load;
        if (overloaded[c])
            ++log.overloads[c];
        else
            ++log.modes[c][k < 0.125 ? 0 : k < 0.25 ? 1 : k < 0.5 ? 2 : 3];
    });
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        for (int m = 0; m < 4; ++m)
            EXPECT_EQ(newest.modes[c][m] - oldest.modes[c][m], log.modes[c][m]) << m;
        EXPECT_EQ(newest.overloads[c] - oldest.overloads[c], log.overloads[c]);
        EXPECT_GT(log.modes[c][0] + log.modes[c][3], 0u);
        EXPECT_NEAR(newest.spectrum[c] - oldest.spectrum[c], log.spectrum[c], 0.05);
        EXPECT_NEAR(newest.lifted[c] - oldest.lifted[c], log.lifted[c], 0.001 * log.lifted[c]);
    }
    EXPECT_GT(log.overloads[2], 0u);
    for (int j = 0; j < 6; ++j) {
        EXPECT_NEAR(double(newest.operating[j] - oldest.operating[j]), onTenths[j] / 10.0, 1.0)
            << j;
        EXPECT_GT(onTenths[j], 0) << j;
    }
}

// What the protocol makes of it: a crane used below its passport group.
TEST_F(DemoRecorder, ProtocolClassifiesSensibly) {
    const ProtocolFigures f = computeProtocol(*image, {events->endSeconds - 1, events->endSeconds});
    ASSERT_EQ(f.columns.size(), 3u);
    for (const auto& col : f.columns) {
        EXPECT_GT(col.total, 2000u);
        EXPECT_GE(col.kr, 0.1f);
        EXPECT_LE(col.kr, 0.6f);
        EXPECT_GE(col.a, 2u);
        EXPECT_LE(col.a, 6u);
        EXPECT_LT(col.usedResource, 50.0f);
    }
}

TEST_F(DemoRecorder, GeneralLogHasWrapped) {
    const uint32_t head = image->generalHead(); // the oldest page once wrapped
    EXPECT_NE(head, image->generalFirst());
    ASSERT_NE(image->page(head)[7], 0xFF);
    const Stamp oldest(image->page(head));
    EXPECT_GT(oldest, demo::DetailedLogStart) << "the first days were not overwritten";
    Stamp previous = oldest;
    uint32_t pages = 0;
    for (uint32_t p = head; p != RecorderImage::EndOfWalk; p = image->nextGeneralPage(p), ++pages) {
        const Stamp s(image->page(p));
        EXPECT_LE(previous, s) << "page " << p;
        previous = s;
    }
    EXPECT_EQ(pages, image->generalCount());
}

// Analysing and classifying above leave the image as generated.
TEST_F(DemoRecorder, SameSeedSameBytes) {
    RecorderImage again, other;
    synthesizeDemoMemory(again);
    synthesizeDemoMemory(other, 2);
    EXPECT_EQ(std::memcmp(image->data(), again.data(), RecorderImage::ImageSize), 0);
    EXPECT_NE(std::memcmp(image->data(), other.data(), RecorderImage::ImageSize), 0);
}

} // namespace
