#pragma once
// The device link's dialogs in windows: the device choice, the progress
// dialog, the information dialog and the error log.
#include <memory>

#include "device/LinkUi.h"
#include "device/RecorderTransfer.h"

class wxWindow;

class LinkDialogs : public LinkUi {
public:
    explicit LinkDialogs(wxWindow* parent) : parent_(parent) {}

    void chooseDevice(DeviceChooser& chooser) override;
    std::unique_ptr<Progress> openProgress(const std::string& title, const std::string& message,
                                           int maximum) override;
    void info(const std::string& title, const std::string& message,
              const std::string& picture) override;
    void error(const std::string& message, const std::string& detail) override;

private:
    wxWindow* parent_;
};

// What one transfer command borrows: the bridges, the system's priority and
// the dialogs over parent.
struct WindowLink {
    explicit WindowLink(wxWindow* parent);

    std::shared_ptr<BridgeLibrary> bridges;
    std::unique_ptr<ProcessPriority> priority;
    LinkDialogs dialogs;
    LinkContext context;
};
