// gruvik2-cli info IMAGE: what the image holds at the level of its regions.
#include <cstdio>
#include <ctime>

#include "cli/Command.h"
#include "common/LocalTime.h"
#include "image/HeaderView.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"

namespace {

std::string dateText(int32_t t) {
    const std::string text = localTimeText(t, "%d/%m/%Y");
    return text.empty() ? "?" : text;
}

int run(const std::vector<std::string>& args) {
    RecorderImage image;
    if (!loadImageArgument(args, "info", image)) return 2;
    image.locateHeads();
    HeaderView header(image);
    std::printf("header: keys %u, sensors %u, groups %u, relays %u, discrete channels %u\n",
                image.keyCount(), image.sensorCount(), image.groupCount(), image.relayCount(),
                image.discreteCount());
    std::printf("firmware: %s\nserial number: %s\n", header.firmwareVersion.c_str(),
                header.serialNumber.c_str());
    std::printf("settings log: pages %u-%u, head page %u offset %u, last sequence %u\n",
                image.settingsFirst(), image.settingsFirst() + image.settingsCount() - 1,
                image.settingsHeadPage(), image.settingsHeadOffset(), image.settingsSeq());
    std::printf("counters: pages %u-%u, newest page %u, last sequence %u\n", image.countersFirst(),
                image.countersFirst() + image.countersCount() - 1, image.countersHead(),
                image.countersSeq());
    std::printf("general log: pages %u-%u, next page %u, last sequence %u\n", image.generalFirst(),
                image.generalFirst() + image.generalCount() - 1, image.generalHead(),
                image.generalSeq());
    // The view writes erased-data defaults into the image; this copy is not saved.
    const PassportView passport(image);
    std::printf("commissioned: %s, recorder installed: %s, service life %u years, group A%u\n",
                dateText(passport.commissioning()).c_str(),
                dateText(passport.installation()).c_str(), *passport.serviceLife,
                *passport.passportGroup);
    for (unsigned j = 0; j < passport.nameCount; ++j)
        std::printf("mechanism %u: %s\n", j + 1, passport.mechanismName(j).c_str());
    std::printf("text:\n%s\n", passport.text().c_str());
    return 0;
}

const bool registered = registerCommand({"info", "IMAGE", run});

} // namespace
