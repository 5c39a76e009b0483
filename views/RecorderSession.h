#pragma once
// One recorder's data as every front end holds it: the memory image, the
// events decoded from it and the filtered lists that refer to those events,
// with the one road between them: load or fill the image, analyse, filter,
// build the pages. The window, the command line, the fuzz target, the
// benchmarks and the tests all drive this class, so the order of the steps is
// written once.
#include <array>
#include <optional>
#include <string>

#include "events/Analysis.h"
#include "events/eventList.h"
#include "image/RecorderImage.h"
#include "views/EventFilter.h"
#include "views/JournalHtml.h"
#include "views/ProtocolDocument.h"

class GraphDraw;
class Progress;

class RecorderSession {
public:
    RecorderSession() = default;
    ~RecorderSession();
    RecorderSession(const RecorderSession&) = delete;
    RecorderSession& operator=(const RecorderSession&) = delete;

    RecorderImage image;
    eventList events; // owns the decoded events
    // journalList and the 22 graph lists: references into events. They are
    // emptied before events whenever events go (clearEvents, the destructor).
    FilteredLists lists;
    // What the lists were last filtered with; analyse sets its range to the
    // span of the events, its row limit to 1000 and its direction to "to the
    // end of the range".
    FilterSettings filter;

    // Loads an image file (a missing file is not created) into an image of
    // its own, which then replaces the session's (takeImage). On failure the
    // errorExc is passed on and the image, the events and the lists stay as
    // they were: a half-read image is never analysed.
    void load(const std::string& path);

    // Makes incoming's content the session's image (incoming gets the old
    // one); the events and lists of the old image are emptied, so analyse
    // comes next.
    void takeImage(RecorderImage& incoming);

    // The image as it is now is what its file holds (after a load and its
    // analysis, a read or a save); unsaved() is true once it differs.
    void markSaved();
    bool unsaved() const;

    // Decodes the image into events under progress (may be null). On done
    // the filter spans the new events (spanningFilter); the lists are empty
    // until applyFilter. Otherwise events and lists are empty.
    AnalysisResult analyse(Progress* progress);

    // choices with the range over every event, 1000 rows at most, counted
    // back from the range's end: the filter an analysis leaves.
    FilterSettings spanningFilter(const FilterSettings& choices) const;

    // Rebuilds the lists from the events with settings, which become filter.
    void applyFilter(const FilterSettings& settings);

    // Empties the lists, then the events.
    void clearEvents();

    // Changes whenever the events go (clearEvents, and so every analysis): a
    // view that keeps pointers into the events checks it before it uses them.
    unsigned long eventsGeneration() const { return eventsGeneration_; }

    // The pages' documents (UTF-8 HTML). The journal reports into progress
    // and returns false when cancelled; the protocol is empty without events.
    bool journalHtml(Progress* progress, std::string& html) const;
    // The journal's rows for a view that lays out only those on screen; the
    // same reports and cancel as journalHtml, rows unchanged when cancelled.
    bool journalRows(Progress* progress, JournalRows& rows) const;
    std::optional<ProtocolPeriod> protocolPeriod() const;
    std::string protocolHtml() const;

    // Points draw at the lists and the image and sets the weights it draws.
    void wireGraph(GraphDraw& draw, const std::array<bool, 5>& weights) const;
    // wireGraph with the filter's weights, then the time window and load
    // range for the filter's range at the scale of scaleIndex.
    void regenerateGraph(GraphDraw& draw, int scaleIndex) const;

private:
    unsigned long eventsGeneration_ = 0;
    size_t savedDigest_ = 0;
    bool savedKnown_ = false;
};
