#pragma once
// The analysis of a memory image up to the decoded event list, shared by every
// front end:
//   1. clear events;
//   2. locate the heads of the rings;
//   3. refuse a header whose number of discrete channels is neither 6 nor
//      erased (0xFF), logging DiscreteRefusalText; nothing else changes;
//   4. walk the general log (appended in page order), then the settings log
//      (inserted by time), reporting into progress (values 0 to 9 of a maximum
//      of 10) when it is not null.
// A walk that is cancelled or fails clears events and logs InterruptedText
// (after the failure's own text). Messages go to the error log (common/ErrorLog.h).
// progress is first updated only after the check of step 3, so a front end may
// open its dialog on the first update and show none for a refused image.
// After a completed analysis that found no event the time bounds of events
// are set to the current time, not left over from an earlier image; one that
// found events stores the defaults of erased passport fields
// (applyPassportDefaults).
class RecorderImage;
class eventList;
class Progress;

enum class AnalysisResult {
    done,        // events holds every decoded event
    interrupted, // cancelled or failed: events is empty
    refused,     // layout not supported: events is empty
};

extern const char* const DiscreteRefusalText;
extern const char* const InterruptedText;

AnalysisResult analyseImage(RecorderImage& image, eventList& events, Progress* progress);

// Steps 1 to 3 alone; false when refused (logged).
bool prepareAnalysis(RecorderImage& image, eventList& events);

// Throws errorExc(DiscreteRefusalText) unless the located header's number of
// discrete channels is 6 or erased.
void requireSupportedLayout(const RecorderImage& image);
