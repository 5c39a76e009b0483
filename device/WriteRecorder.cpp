#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/errorExc.h"
#include "device/Link.h"
#include "device/ReaderDevice.h"
#include "device/RecorderTransfer.h"
#include "image/HeaderView.h"
#include "image/RecorderImage.h"

namespace {

// A page's status byte is asked for again this many times before the page
// counts as not written.
constexpr int StatusAttempts = 4;
constexpr size_t SerialSize = 4;

std::string pageListText(const std::vector<uint32_t>& pages) {
    std::string text;
    for (uint32_t p : pages)
        text += (text.empty() ? "" : ", ") + std::to_string(p);
    return text;
}

// The recorder's serial number, read through a read session: its header
// page, then the pages its rows reach to. Every page is asked for with two
// different CRCs, so the device sends it whatever it holds.
std::string recorderSerialNumber(SerialLine& line, Crc16& crc) {
    if (firstCommand(line, wire::SelectRecorder) != wire::SelectRecorder)
        throw errorExc("Память регистратора не доступна");
    sendByte(line, wire::SelectMethod);
    if (receiveByte(line) != wire::SelectMethod)
        throw errorExc("Ошибка при выборе метода считывания");
    sendByte(line, wire::StartRead);
    if (receiveByte(line) != wire::Ready) throw errorExc("Устройство считывания не готово");

    RecorderImage recorder;
    auto fetch = [&](uint32_t p) {
        uint8_t* page = recorder.page(p);
        const uint16_t held = crc.compute(page, RecorderImage::PageSize);
        for (int attempt = 0; attempt < 2 * StatusAttempts; ++attempt) {
            auto request = pageRequest(uint16_t(p), attempt % 2 ? held : uint16_t(held ^ 1));
            sendAll(line, request.data(), request.size());
            if (receiveByte(line) != wire::PageDiffers) continue;
            uint8_t sent[2];
            receiveAll(line, sent, 2);
            receiveAll(line, page, RecorderImage::PageSize);
            if (crc.compute(page, RecorderImage::PageSize) == uint16_t(sent[0] | sent[1] << 8))
                return;
        }
        throw errorExc("Не удалось прочесть серийный номер регистратора (страница %u)",
                       unsigned(p));
    };
    fetch(RecorderImage::HeaderPage);
    recorder.locateHeads();
    HeaderView header(recorder);
    const size_t end = size_t(header.rows[header.serialRow()] - recorder.data()) + SerialSize;
    const uint32_t last = std::min<uint32_t>(uint32_t((end - 1) / RecorderImage::PageSize),
                                             RecorderImage::PageCount - 1);
    for (uint32_t p = RecorderImage::HeaderPage + 1; p <= last; ++p)
        fetch(p);
    return HeaderView(recorder).serialNumber;
}

} // namespace

std::string writeCountersText(const WriteReport& report) {
    char message[160];
    std::snprintf(message, sizeof message, "Страниц памяти: записано %u пропущено %u отклонено %u",
                  report.pagesWritten, report.pagesSkipped, report.pagesRejected);
    return message;
}

WriteReport writeRecorder(LinkContext& link, const RecorderImage& image, Crc16& crc,
                          const SerialMismatch& onSerialMismatch) {
    WriteReport report;
    LinkUi& ui = link.ui;
    LineHandle line;
    std::unique_ptr<Progress> progress;
    try {
        line = openReaderDevice(link.bridges, ui);
        progress = ui.openProgress("Запись данных", "Установка параметров последовательного порта",
                                   int(RecorderImage::PageCount));
        prepareLine(*line, *progress, "Подготовка к записи данных");

        // Another recorder's passport is written only when the user says so.
        const std::string ours = HeaderView(image).serialNumber;
        const std::string recorderSerial = recorderSerialNumber(*line, crc);
        if (recorderSerial != ours) {
            if (!onSerialMismatch || !onSerialMismatch(recorderSerial, ours)) {
                throw errorExc("Серийный номер регистратора (%s) не совпадает с серийным номером "
                               "образа (%s): паспорт не записан",
                               recorderSerial.c_str(), ours.c_str());
            }
        }

        uint8_t answer = firstCommand(*line, wire::StartWrite);
        if (answer != wire::Ready) throw errorExc("Память регистратора не доступна");

        // Asks for page p until a known status byte comes; 0 when none came.
        auto ask = [&](uint32_t p) -> uint8_t {
            auto request =
                pageRequest(uint16_t(p), crc.compute(image.page(p), RecorderImage::PageSize));
            for (int attempt = 0; attempt < StatusAttempts; ++attempt) {
                sendAll(*line, request.data(), request.size());
                uint8_t status = receiveByte(*line);
                if (status == wire::PageSame || status == wire::PageDiffers ||
                    status == wire::PageRefused)
                    return status;
            }
            return 0;
        };

        std::vector<uint32_t> sentPages;
        const uint32_t end = image.writableFirst() + image.writableCount();
        for (uint32_t p = image.writableFirst(); p < end; ++p) {
            uint8_t status = ask(p);
            if (status == wire::PageSame) {
                ++report.pagesSkipped;
            } else if (status == wire::PageRefused) {
                ++report.pagesRejected;
                report.pagesNotWritten.push_back(p);
            } else if (status == wire::PageDiffers) {
                ++report.pagesWritten;
                sendAll(*line, image.page(p), RecorderImage::PageSize);
                sentPages.push_back(p);
            } else {
                report.pagesNotWritten.push_back(p);
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
        // The device does not acknowledge a page: a page counts as written
        // once the recorder answers that it holds the page's CRC.
        for (uint32_t p : sentPages) {
            uint8_t status = ask(p);
            if (status == wire::PageSame) continue;
            if (status == wire::PageDiffers) sendAll(*line, image.page(p), RecorderImage::PageSize);
            report.pagesNotWritten.push_back(p);
        }
        line->closeHandle();
        if (!report.pagesNotWritten.empty()) {
            std::sort(report.pagesNotWritten.begin(), report.pagesNotWritten.end());
            throw errorExc("Страницы %s не записаны в регистратор. %s",
                           pageListText(report.pagesNotWritten).c_str(),
                           sentPages.empty()
                               ? "Паспорт в регистратор не записан."
                               : "Паспорт регистратора записан частично: запишите его еще раз.");
        }
        progress.reset();
        ui.info("Запись завершена", "Запись данных данных успешно завершена", kLinkPicture);
        report.outcome = LinkOutcome::Done;
    } catch (const std::exception& e) {
        progress.reset();
        const auto* exc = dynamic_cast<const errorExc*>(&e);
        if (report.pagesWritten != 0 && report.pagesNotWritten.empty()) {
            // Stopped part-way: some pages may be new, the others old.
            ui.error(std::string(exc ? exc->message() : e.what()) +
                         "\nПаспорт регистратора мог быть записан частично: запишите его еще раз.",
                     exc ? exc->detail() : std::string());
        } else {
            reportFailure(ui, e);
        }
        if (line) line->closeHandle();
    }
    return report;
}
