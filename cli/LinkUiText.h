#pragma once
// The device link's dialogs as terminal text for gruvik2-cli read and write:
// the progress line on a terminal, Ctrl-C as the cancel button, info on
// stdout, failures on stderr.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/LinkUi.h"
#include "device/RecorderTransfer.h"

struct LinkArgs {
    std::string image;
    std::optional<uint32_t> device;
};

// [--device N] IMAGE; prints the usage and returns nothing when they are wrong.
std::optional<LinkArgs> parseLinkArgs(const std::vector<std::string>& args, const char* command);

class LinkUiText : public LinkUi {
public:
    explicit LinkUiText(std::optional<uint32_t> device);
    ~LinkUiText() override;

    void chooseDevice(DeviceChooser& chooser) override;
    std::unique_ptr<Progress> openProgress(const std::string& title, const std::string& message,
                                           int maximum) override;
    void info(const std::string& title, const std::string& message,
              const std::string& picture) override;
    void error(const std::string& message, const std::string& detail) override;

private:
    std::optional<uint32_t> device_;
};

// Runs command with the system's bridges and priority, Ctrl-C cancelling;
// returns the exit status: 0 done, 1 cancelled, 2 failed.
int runLink(const LinkArgs& args, const std::function<LinkOutcome(LinkContext&)>& command);
