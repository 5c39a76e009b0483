#pragma once
// What a notebook page may ask of the window that holds it. The pages are
// handed the session they show and these actions when they are made, and
// reach nothing else of the window.
#include <array>

#include "device/RecorderTransfer.h"

class PageActions {
public:
    virtual ~PageActions() = default;

    // The weight boxes of the filter pane as they are ticked now.
    virtual std::array<bool, 5> tickedWeights() const = 0;
    // Analyses the image again, as after a load, and refreshes every page;
    // false when the analysis refused the image or did not finish.
    virtual bool analyse() = 0;
    // Writes the image's writable area into the recorder, with its dialogs.
    virtual WriteReport writeToRecorder() = 0;
    // The page changed the image (a date, the passport fields): the window
    // shows whether it now differs from its file.
    virtual void imageEdited() = 0;
};
