#pragma once
// One run of everything that happens to an image without a window: the
// analysis, the filter with several settings, the journal, the protocol, the
// passport and header views, the graph page's logic and its painting on a
// recording canvas. What must hold whatever the image says is checked as it
// goes; a broken rule aborts with its name.
#include <cstdint>

#include "ImageInput.h"

class RecorderSession;

namespace fuzz {

// Runs the session's image through every step; the session keeps its data
// until the next run.
void runPipeline(RecorderSession& session, const Control& control);

} // namespace fuzz
