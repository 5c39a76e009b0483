#pragma once
// What the device link shows the user and asks of them. The GUI implements it
// with its dialogs (device choice, progress dialog, info dialog, error log),
// the command line with text on the terminal, tests with a recorder. The
// front end chooses the image file before a read and hands it the path.
// No wx here.
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "common/Progress.h"

class DeviceChooser;

class LinkUi {
public:
    virtual ~LinkUi() = default;

    // Several bridges are attached: lets the user move chooser between them (the
    // bridge shown blinks its LED) until the choice ends, however it ends.
    virtual void chooseDevice(DeviceChooser& chooser) = 0;
    // A progress display of values 0..maximum with a cancel button; it closes
    // when the returned object is destroyed.
    virtual std::unique_ptr<Progress> openProgress(const std::string& title,
                                                   const std::string& message, int maximum) = 0;
    // Modal message with a picture (a path under bmps/).
    virtual void info(const std::string& title, const std::string& message,
                      const std::string& picture) = 0;
    // A failure the link caught and handled: the program's message, and what
    // the system said under it ("path: reason", often empty).
    virtual void error(const std::string& message, const std::string& detail = {}) = 0;
};

// e as error(): an errorExc with its message and detail, anything else with
// its what().
void reportFailure(LinkUi& ui, const std::exception& e);
