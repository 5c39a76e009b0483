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
    std::printf("заголовок: ключей %u, датчиков %u, групп %u, реле %u, дискретных каналов %u\n",
                image.keyCount(), image.sensorCount(), image.groupCount(), image.relayCount(),
                image.discreteCount());
    std::printf("прошивка: %s\nсерийный номер: %s\n", header.firmwareVersion.c_str(),
                header.serialNumber.c_str());
    std::printf(
        "журнал настроек: страницы %u-%u, голова: страница %u смещение %u, последний номер %u\n",
        image.settingsFirst(), image.settingsFirst() + image.settingsCount() - 1,
        image.settingsHeadPage(), image.settingsHeadOffset(), image.settingsSeq());
    std::printf("счётчики: страницы %u-%u, новейшая страница %u, последний номер %u\n",
                image.countersFirst(), image.countersFirst() + image.countersCount() - 1,
                image.countersHead(), image.countersSeq());
    std::printf("общий журнал: страницы %u-%u, следующая страница %u, последний номер %u\n",
                image.generalFirst(), image.generalFirst() + image.generalCount() - 1,
                image.generalHead(), image.generalSeq());
    // The view writes erased-data defaults into the image; this copy is not saved.
    const PassportView passport(image);
    std::printf(
        "ввод в эксплуатацию: %s, регистратор установлен: %s, срок службы %u лет, группа A%u\n",
        dateText(passport.commissioning()).c_str(), dateText(passport.installation()).c_str(),
        *passport.serviceLife, *passport.passportGroup);
    for (unsigned j = 0; j < passport.nameCount; ++j)
        std::printf("механизм %u: %s\n", j + 1, passport.mechanismName(j).c_str());
    std::printf("текст:\n%s\n", passport.text().c_str());
    return 0;
}

const bool registered =
    registerCommand({"info", "ОБРАЗ", run,
                     "Заголовок образа: число ключей, датчиков, групп, реле и каналов, прошивка,\n"
                     "серийный номер, области журналов и счётчиков, паспортные данные.\n"});

} // namespace
