#include <cstdio>

#include "common/errorExc.h"
#include "device/Link.h"
#include "device/ReaderDevice.h"
#include "device/RecorderTransfer.h"
#include "image/RecorderImage.h"

std::string writeCountersText(const WriteReport& report) {
    char message[160];
    std::snprintf(message, sizeof message, "Страниц памяти: записано %u пропущено %u отклонено %u",
                  report.pagesWritten, report.pagesSkipped, report.pagesRejected);
    return message;
}

WriteReport writeRecorder(LinkContext& link, const RecorderImage& image, Crc16& crc) {
    WriteReport report;
    LinkUi& ui = link.ui;
    LineHandle line;
    std::unique_ptr<Progress> progress;
    try {
        line = openReaderDevice(link.bridges, ui);
        progress = ui.openProgress("Запись данных", "Установка параметров последовательного порта",
                                   int(RecorderImage::PageCount));
        prepareLine(*line, *progress, "Подготовка к записи данных");
        uint8_t answer = firstCommand(*line, wire::StartWrite);
        if (answer != wire::Ready) throw errorExc("Память регистратора не доступна");

        const uint32_t end = image.writableFirst() + image.writableCount();
        for (uint32_t p = image.writableFirst(); p < end; ++p) {
            const uint8_t* page = image.page(p);
            auto request = pageRequest(uint16_t(p), crc.compute(page, RecorderImage::PageSize));
            sendAll(*line, request.data(), request.size());
            uint8_t status = receiveByte(*line);
            if (status == wire::PageSame) {
                ++report.pagesSkipped;
            } else if (status == wire::PageRefused) {
                ++report.pagesRejected;
            } else if (status == wire::PageDiffers) {
                ++report.pagesWritten;
                sendAll(*line, page, RecorderImage::PageSize);
            }
            if (!progress->update(int(p), writeCountersText(report))) {
                line->closeHandle();
                ui.info("Запись прервана", "Запись данных прервана, файл не обновлен",
                        kLinkPicture);
                progress.reset();
                report.outcome = LinkOutcome::Cancelled;
                return report;
            }
        }

        line->closeHandle();
        progress.reset();
        ui.info("Запись завершена", "Запись данных данных успешно завершена", kLinkPicture);
        report.outcome = LinkOutcome::Done;
    } catch (const std::exception& e) {
        progress.reset();
        reportFailure(ui, e);
        if (line) line->closeHandle();
    }
    return report;
}
