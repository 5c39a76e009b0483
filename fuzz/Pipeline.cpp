#include "Pipeline.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/ErrorLog.h"
#include "common/Progress.h"
#include "common/Text1251.h"
#include "events/Analysis.h"
#include "events/Registries.h"
#include "events/Walks.h"
#include "events/eventList.h"
#include "image/HeaderView.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"
#include "testsupport/LiteralAnalysis.h"
#include "testsupport/RecordingCanvas.h"
#include "views/EventFilter.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"
#include "views/JournalHtml.h"
#include "views/ProtocolDocument.h"
#include "views/RecorderSession.h"

namespace fuzz {

namespace {

[[noreturn]] void broken(const char* rule) {
    std::fprintf(stderr, "rule broken: %s\n", rule);
    std::abort();
}
void require(bool ok, const char* rule) {
    if (!ok) broken(rule);
}

// Messages are part of the expected output; the fuzzer needs no stderr.
class QuietLog : public ErrorLog {
public:
    void error(const std::string&) override {}
};

class CountingProgress : public Progress {
public:
    explicit CountingProgress(int cancelAt) : cancelAt_(cancelAt) {}
    bool update(int value, const std::string& message) override {
        require(value >= 0 && value <= 10, "progress value within 0..10");
        require(utf8ToCp1251(message).ok, "progress message has a recorder form");
        return ++calls_ != cancelAt_;
    }

private:
    int cancelAt_;
    int calls_ = 0;
};

void setZone(bool moscow) {
    static int current = -1;
    if (current == int(moscow)) return;
    current = int(moscow);
    ::setenv("TZ", moscow ? "Europe/Moscow" : "UTC", 1);
    ::tzset();
}

bool validUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

void checkHeads(const RecorderImage& im) {
    const uint32_t pages = RecorderImage::PageCount;
    require(im.generalFirst() + im.generalCount() == pages, "general log ends on the last page");
    require(im.generalCount() >= 1, "general log keeps a page");
    require(im.countersFirst() + im.countersCount() == im.generalFirst(),
            "counters region ends where the general log starts");
    require(im.generalHead() >= im.generalFirst() && im.generalHead() < pages,
            "general head inside its region");
    require(im.countersHead() >= im.countersFirst() &&
                im.countersHead() < im.countersFirst() + std::max(im.countersCount(), 1u),
            "counters head inside its region");
    require(im.settingsHeadPage() >= im.settingsFirst() &&
                im.settingsHeadPage() < im.settingsFirst() + im.settingsCount(),
            "settings head inside its region");
    require(im.settingsHeadOffset() % RecorderImage::SettingsRecordSize == 0 &&
                im.settingsHeadOffset() <= 19 * RecorderImage::SettingsRecordSize,
            "settings head on a slot");
}

void checkViews(RecorderImage& im) {
    const uint8_t* begin = im.data();
    const uint8_t* end = begin + RecorderImage::ImageSize;
    HeaderView h(im);
    for (const uint8_t* row : h.rows)
        require(row >= begin && row <= end, "header rows in the image");
    require(h.end >= begin && h.end <= end, "header end in the image");
    require(utf8Length(h.firmwareVersion) <= 48 && utf8Length(h.serialNumber) <= 4,
            "header texts within their rows");

    WritableView w(im);
    const uint8_t* area = im.page(im.writableFirst());
    const uint8_t* areaEnd = area + im.writableCount() * RecorderImage::PageSize;
    require(w.passportGroup >= area && w.passportGroup < areaEnd, "passport group in the area");
    // A field without its zero byte reads one character longer than it may be stored.
    const std::string text = w.text();
    if (utf8Length(text) <= WritableView::MaxTextChars)
        require(w.setText(text) && w.text() == text, "text block survives a round trip");
    for (unsigned j = 0; j < w.nameCount; ++j) {
        const std::string name = w.mechanismName(j);
        if (utf8Length(name) <= WritableView::MaxNameChars)
            require(w.setMechanismName(j, name) && w.mechanismName(j) == name,
                    "mechanism name survives a round trip");
    }
    require(w.mechanismName(w.nameCount).empty(), "no name past the count");
}

std::string eventText(const genericParser& e) {
    return std::string(e.className()) + " " + std::to_string(e.seconds) + "." +
           std::to_string(e.tenths) + " " + std::to_string(e.importance) + " " + e.describe();
}

// The same walks with every settings event put in place by a search from the
// front of the list, as the yardstick of the indexed insertion.
void compareWithLinearInsertion(RecorderImage& im, const eventList& events) {
    // Linear insertion is quadratic: a full settings ring would take seconds.
    if (listSize(events) > 2000) return;
    eventList linear;
    const GL_pList general;
    decodeGeneralLog(general, im, linear, nullptr);
    const SL_pList settings;
    im.rewindSettings();
    do {
        if (const SL_parser* proto = settings.find(im.currentSettingsRecord()))
            insertSortedLinearly(linear, proto->parse(im.currentSettingsRecord(), im, nullptr));
    } while (im.stepSettings());

    const aLink *a = events.first, *b = linear.first;
    for (size_t i = 0; a && b; a = a->next, b = b->next, ++i) {
        const std::string ta = eventText(static_cast<const genericParser&>(*a));
        const std::string tb = eventText(static_cast<const genericParser&>(*b));
        if (ta != tb)
            std::fprintf(stderr, "event %zu of %zu:\n  indexed: %s\n  linear:  %s\n", i,
                         listSize(events), ta.c_str(), tb.c_str());
        require(ta == tb, "same events in the same order as with linear insertion");
    }
    require(!a && !b, "as many events as with linear insertion");
    // Without events the analysis takes the current time for the bounds.
    require(events.empty() ||
                (events.minSeconds == linear.minSeconds && events.maxSeconds == linear.maxSeconds &&
                 events.firstSeconds == linear.firstSeconds &&
                 events.endSeconds == linear.endSeconds),
            "same time bounds as with linear insertion");
}

void checkFilter(RecorderSession& session, const FilterSettings& s) {
    session.applyFilter(s);
    const FilteredLists& lists = session.lists;
    const size_t n = listSize(lists.journalList);
    require(s.maxCount == 0 || n <= s.maxCount, "journal within the row limit");
    for (const genericParser* e : lists.journalList) {
        require(e->seconds >= s.rangeStart && e->seconds <= s.rangeEnd, "journal within the range");
    }
}

void paint(GraphDraw& draw, const Control& c) {
    draw.width = c.width;
    draw.height = c.height;
    draw.marginLeft = draw.marginRight = c.marginX;
    draw.marginTop = draw.marginBottom = c.marginY;
    RecordingCanvas canvas;
    draw.paint(canvas);
    for (const CanvasOp& op : canvas.ops)
        require(op.kind == CanvasOp::line || op.kind == CanvasOp::rectangle ||
                    op.kind == CanvasOp::circle || validUtf8(op.text),
                "canvas texts are UTF-8");
}

// Regenerates the graph page, paints it, and with actions works its controls.
void graphPage(const RecorderSession& session, const Control& c, bool actions) {
    const eventList& events = session.events;
    const FilterSettings& s = session.filter;
    GraphDraw draw;
    session.regenerateGraph(draw, c.scaleIndex);
    paint(draw, c);
    if (!actions) return;
    for (const GraphAction& a : c.actions) {
        switch (a.op) {
        case opLineUp:
            scrollGraph(draw, GraphScroll::lineUp, 0);
            break;
        case opLineDown:
            scrollGraph(draw, GraphScroll::lineDown, 0);
            break;
        case opPageUp:
            scrollGraph(draw, GraphScroll::pageUp, 0);
            break;
        case opPageDown:
            scrollGraph(draw, GraphScroll::pageDown, 0);
            break;
        case opTop:
            scrollGraph(draw, GraphScroll::top, 0);
            break;
        case opBottom:
            scrollGraph(draw, GraphScroll::bottom, 0);
            break;
        case opThumb: {
            const ScrollBarState bar = scrollBarState(draw);
            scrollGraph(draw, GraphScroll::thumb, int(int64_t(bar.range) * a.arg / 15));
            break;
        }
        case opOther:
            scrollGraph(draw, GraphScroll::other, 0);
            break;
        case opScale:
            applyScale(draw, int(a.arg) - 1);
            break;
        case opSearchEarlier:
        case opSearchLater:
            searchEvent(draw, events, a.op == opSearchLater, a.arg % 4, s.weights);
            break;
        case opPaint:
            paint(draw, c);
            break;
        }
        scrollBarState(draw);
    }
    paint(draw, c);
}

} // namespace

void runPipeline(RecorderSession& session, const Control& c) {
    static QuietLog quiet;
    setErrorLog(&quiet);
    setZone(c.mode & moscowTime);

    RecorderImage& im = session.image;
    const eventList& events = session.events;
    // Progress is reported on every unit of the walks: only the inputs that
    // ask for it pay for it. The walks report 20 values in all.
    const bool withProgress = c.mode & progress;
    CountingProgress analysisProgress(c.mode & cancel ? 1 + c.actions[0].arg : -1);
    const AnalysisResult result = session.analyse(withProgress ? &analysisProgress : nullptr);
    checkHeads(im);
    checkViews(im);
    if (result != AnalysisResult::done) {
        require(events.empty(), "a refused or interrupted analysis leaves no events");
        return;
    }
    if (c.mode & linearCheck) compareWithLinearInsertion(im, events);

    FilterSettings everything;
    everything.rangeStart = events.minSeconds;
    everything.rangeEnd = events.maxSeconds;
    everything.maxCount = 0;
    everything.detail = 0;
    everything.discrete = everything.relays = true;
    const FilterSettings standard = session.spanningFilter(FilterSettings());
    require(standard.rangeStart == session.filter.rangeStart &&
                standard.rangeEnd == session.filter.rangeEnd,
            "the analysis leaves the filter spanning the events");
    const FilterSettings chosen = filterFrom(c, events.minSeconds, events.maxSeconds);

    std::string html;
    checkFilter(session, everything);
    graphPage(session, c, false);
    checkFilter(session, standard);
    checkFilter(session, chosen);
    CountingProgress journalProgress(-1);
    require(session.journalHtml(withProgress ? &journalProgress : nullptr, html) && validUtf8(html),
            "journal is UTF-8");
    graphPage(session, c, true);

    const std::optional<ProtocolPeriod> period = session.protocolPeriod();
    html = session.protocolHtml();
    require(validUtf8(html) && !html.empty() == bool(period), "protocol is UTF-8");
}

} // namespace fuzz
