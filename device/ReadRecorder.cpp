#include <algorithm>
#include <cstdio>

#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "device/Link.h"
#include "device/ReaderDevice.h"
#include "device/RecorderTransfer.h"
#include "image/RecorderImage.h"

namespace {

const char* const kSourceRecorder = "регистратор параметров";
const char* const kSourceInternal = "внутренняя память устройства считывания";

// Chooses the memory the device reads from; returns its name.
const char* selectSource(SerialLine& line) {
    uint8_t answer = firstCommand(line, wire::SelectRecorder);
    if (answer == wire::SelectRecorder) return kSourceRecorder;
    if (answer == wire::RecorderUnavailable) {
        sendByte(line, wire::SelectInternal);
        if (receiveByte(line) == wire::SelectInternal) return kSourceInternal;
    }
    throw errorExc("Ошибка при выборе считываемой памяти");
}

// Normal priority again on every way out of the read, however it ends.
class HighPriority {
public:
    explicit HighPriority(ProcessPriority& priority) : priority_(priority) {
        priority_.setPriorityClass(ProcessPriority::HighPriorityClass);
    }
    ~HighPriority() { end(); }
    HighPriority(const HighPriority&) = delete;
    HighPriority& operator=(const HighPriority&) = delete;
    void end() {
        if (raised_) priority_.setPriorityClass(ProcessPriority::NormalPriorityClass);
        raised_ = false;
    }

private:
    ProcessPriority& priority_;
    bool raised_ = true;
};

} // namespace

std::string readCountersText(const ReadReport& report) {
    char message[256];
    std::snprintf(message, sizeof message,
                  "Страниц памяти: считано %u пропущено %u повторено %u\nИсточник данных: %s",
                  report.pagesRead, report.pagesSkipped, report.pagesRepeated,
                  report.source ? report.source : "");
    return message;
}

ReadReport readRecorder(LinkContext& link, RecorderImage& image, Crc16& crc,
                        const std::string& filePath) {
    ReadReport report;
    LinkUi& ui = link.ui;
    // A file created for this read holds no copy of the recorder, only erased
    // pages. The device's '0' then says only that its page has the CRC of an
    // erased page, which one written page in 65536 has too: such a page would
    // stay erased in the file while the read reports success. In a new file a
    // '0' is therefore followed by a request with another CRC, and the device
    // sends the page.
    bool fresh = false;
    try {
        // Only a missing file counts as new; one that cannot be opened is
        // refused and left alone. The file must be writable before the
        // transfer, not after six minutes of it.
        fresh = !image.load(filePath, true);
        if (!fresh) checkWritable(filePath);
    } catch (const std::exception& e) {
        image.reset();
        reportFailure(ui, e);
        return report;
    }

    HighPriority priority(link.priority);
    LineHandle line;
    std::unique_ptr<Progress> progress;
    try {
        line = openReaderDevice(link.bridges, ui);
        progress =
            ui.openProgress("Считывание данных", "Установка параметров последовательного порта",
                            int(RecorderImage::PageCount));
        prepareLine(*line, *progress, "Подготовка к считыванию данных");
        report.source = selectSource(*line);
        sendByte(*line, wire::SelectMethod);
        if (receiveByte(*line) != wire::SelectMethod)
            throw errorExc("Ошибка при выборе метода считывания");
        sendByte(*line, wire::StartRead);
        if (receiveByte(*line) != wire::Ready) throw errorExc("Устройство считывания не готово");

        for (int p = 0; p < int(RecorderImage::PageCount); ++p) {
            uint8_t* page = image.page(uint32_t(p));
            const uint16_t held = crc.compute(page, RecorderImage::PageSize);
            auto ask = [&](uint16_t pageCrc) {
                auto request = pageRequest(uint16_t(p), pageCrc);
                sendAll(*line, request.data(), request.size());
                return receiveByte(*line);
            };
            uint8_t status = ask(held);
            if (status == wire::PageSame && fresh) status = ask(uint16_t(held ^ 1));
            if (status == wire::PageSame) {
                ++report.pagesSkipped;
            } else if (status == wire::PageDiffers) {
                ++report.pagesRead;
                uint8_t sent[2];
                receiveAll(*line, sent, 2);
                receiveAll(*line, page, RecorderImage::PageSize);
                // A damaged copy is asked for again with its own CRC, which
                // differs from the device's, so the device sends the page anew.
                if (crc.compute(page, RecorderImage::PageSize) !=
                    uint16_t(sent[0] | sent[1] << 8)) {
                    ++report.pagesRepeated;
                    --p;
                }
            }
            if (!progress->update(std::max(p, 0), readCountersText(report))) {
                priority.end();
                line->closeHandle();
                ui.info("Считывание прервано", "Cчитывание данных прервано, файл не обновлен",
                        kLinkPicture);
                image.reset();
                progress.reset();
                report.outcome = LinkOutcome::Cancelled;
                return report;
            }
        }

        if (report.pagesRead != 0) {
            image.save(filePath);
            report.saved = true;
        }
        line->closeHandle();
        priority.end();
        progress.reset();
        ui.info("Считывание завершено", "Cчитывание данных успешно завершено", kLinkPicture);
        report.outcome = LinkOutcome::Done;
    } catch (const std::exception& e) {
        progress.reset();
        image.reset();
        reportFailure(ui, e);
        if (line) line->closeHandle();
        priority.end();
    }
    return report;
}
