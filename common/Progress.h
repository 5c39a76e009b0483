#pragma once
// Long work reports through this interface; the GUI adapts it to a progress
// dialog, the command line to a text line. No wx here.
#include <string>

class Progress {
public:
    virtual ~Progress() = default;
    // Shows value (of the maximum the owner chose) and message.
    // Returns false when the user asked to cancel.
    virtual bool update(int value, const std::string& message) = 0;
};
