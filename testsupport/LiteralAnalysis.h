#pragma once
// The analysis followed to the letter, as a yardstick for the project's own:
// mktime for every record, and every settings event inserted by a linear
// search from the front of the list. Tests compare event orders with it and
// benchmarks compare times; no front end uses it.
#include "events/Analysis.h"

class eventList;
class genericParser;

AnalysisResult analyseLiterally(RecorderImage& image, eventList& events);

// insertSorted by walking the list from its first event.
void insertSortedLinearly(eventList& events, genericParser* event);
