#include "views/RecorderSession.h"

#include <functional>
#include <string_view>

#include "common/errorExc.h"
#include "views/GraphDraw.h"
#include "views/GraphPage.h"
#include "views/JournalHtml.h"

RecorderSession::~RecorderSession() {
    clearEvents();
}

namespace {
size_t digestOf(const RecorderImage& image) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(image.data()), RecorderImage::ImageSize));
}
} // namespace

void RecorderSession::load(const std::string& path) {
    RecorderImage incoming;
    incoming.load(path, false);
    takeImage(incoming);
}

void RecorderSession::takeImage(RecorderImage& incoming) {
    clearEvents();
    image.swap(incoming);
}

void RecorderSession::markSaved() {
    savedDigest_ = digestOf(image);
    savedKnown_ = true;
}

bool RecorderSession::unsaved() const {
    // An image never loaded, read or saved is the erased start.
    return savedKnown_ ? digestOf(image) != savedDigest_ : false;
}

AnalysisResult RecorderSession::analyse(Progress* progress) {
    clearEvents();
    const AnalysisResult result = analyseImage(image, events, progress);
    if (result == AnalysisResult::done) filter = spanningFilter(filter);
    return result;
}

FilterSettings RecorderSession::spanningFilter(const FilterSettings& choices) const {
    FilterSettings s = choices;
    s.rangeStart = events.minSeconds;
    s.rangeEnd = events.maxSeconds;
    s.maxCount = 1000;
    s.direction = FilterSettings::toEnd;
    return s;
}

void RecorderSession::applyFilter(const FilterSettings& settings) {
    filter = settings;
    filterEvents(events, filter, lists);
}

void RecorderSession::clearEvents() {
    ++eventsGeneration_;
    lists.clear();
    events.clear();
}

bool RecorderSession::journalHtml(Progress* progress, std::string& html) const {
    return buildJournalHtml(lists.journalList, progress, html);
}

bool RecorderSession::journalRows(Progress* progress, JournalRows& rows) const {
    return collectJournalRows(lists.journalList, progress, rows);
}

std::optional<ProtocolPeriod> RecorderSession::protocolPeriod() const {
    return protocolPeriodOf(events);
}

std::string RecorderSession::protocolHtml() const {
    return buildProtocolHtml(image, protocolPeriod());
}

void RecorderSession::wireGraph(GraphDraw& draw, const std::array<bool, 5>& weights) const {
    draw.lists = &lists;
    draw.image = &image;
    draw.weightChecks = weights;
}

void RecorderSession::regenerateGraph(GraphDraw& draw, int scaleIndex) const {
    wireGraph(draw, filter.weights);
    ::regenerateGraph(draw, events, filter.rangeStart, filter.rangeEnd, scaleIndex);
}
