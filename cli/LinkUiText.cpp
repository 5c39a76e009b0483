#include "cli/LinkUiText.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "cli/Command.h"
#include "cli/TextProgress.h"
#include "common/CommandLine.h"
#include "common/errorExc.h"
#include "device/DeviceChooser.h"
#include "device/Platform.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int) {
    interrupted = 1;
}

} // namespace

std::optional<LinkArgs> parseLinkArgs(const std::vector<std::string>& args, const char* command) {
    LinkArgs parsed;
    CommandLine line;
    std::optional<std::string> error = parseCommandLine(args, {{"device", 'd'}}, line);
    for (const auto& [name, v] : line.options) {
        char* end = nullptr;
        unsigned long n = std::strtoul(v.c_str(), &end, 10);
        if (v.empty() || !std::isdigit((unsigned char)v[0]) || *end != '\0' || n >= 0x80000000ul)
            error = badValue("--device", v, "номер устройства от 0");
        parsed.device = uint32_t(n);
    }
    if (!error && line.operands.size() != 1)
        error = line.operands.empty() ? "не указан файл образа"
                                      : "лишний аргумент: " + line.operands[1];
    if (error) {
        usageError(command, *error);
        return std::nullopt;
    }
    parsed.image = line.operands[0];
    return parsed;
}

LinkUiText::LinkUiText(std::optional<uint32_t> device) : device_(device) {}

LinkUiText::~LinkUiText() = default;

void LinkUiText::chooseDevice(DeviceChooser& chooser) {
    if (!device_) {
        std::fprintf(stderr,
                     "подключено устройств считывания: %d; используется 0 (выбор: --device N)\n",
                     chooser.deviceCount());
        return;
    }
    if (*device_ >= uint32_t(chooser.deviceCount()))
        throw errorExc::plain(
            "--device " + std::to_string(*device_) +
            ": подключено устройств считывания: " + std::to_string(chooser.deviceCount()));
    while (uint32_t(chooser.deviceIndex()) < *device_)
        chooser.next();
}

std::unique_ptr<Progress> LinkUiText::openProgress(const std::string&, const std::string& message,
                                                   int maximum) {
    auto progress = std::make_unique<TextProgress>(maximum, [] { return interrupted != 0; });
    progress->update(0, message);
    return progress;
}

void LinkUiText::info(const std::string& title, const std::string& message, const std::string&) {
    std::printf("%s: %s\n", title.c_str(), message.c_str());
    std::fflush(stdout);
}

void LinkUiText::error(const std::string& message, const std::string& detail) {
    if (detail.empty())
        std::fprintf(stderr, "%s\n", message.c_str());
    else
        std::fprintf(stderr, "%s (%s)\n", message.c_str(), detail.c_str());
}

int runLink(const LinkArgs& args, const std::function<LinkOutcome(LinkContext&)>& command) {
    struct sigaction sa {
    }, previous{};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    // A second Ctrl-C ends the program at once.
    sa.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &sa, &previous);
    interrupted = 0;

    auto bridges = systemBridgeLibrary();
    // The device chooser is asked only when several bridges are attached: a
    // number beyond a single one would otherwise pass unnoticed.
    uint32_t count = 0;
    if (args.device && bridges->getNumDevices(count) == BridgeLibrary::Success && count > 0 &&
        *args.device >= count) {
        std::fprintf(stderr, "--device %u: подключено устройств считывания: %u\n", *args.device,
                     count);
        sigaction(SIGINT, &previous, nullptr);
        return 2;
    }
    auto priority = systemPriority();
    LinkUiText ui(args.device);
    LinkContext link{*bridges, *priority, ui};
    LinkOutcome outcome = command(link);
    sigaction(SIGINT, &previous, nullptr);
    switch (outcome) {
    case LinkOutcome::Done:
        return 0;
    case LinkOutcome::Cancelled:
        return 1;
    default:
        return 2;
    }
}
