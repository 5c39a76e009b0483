#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

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

// A page's status byte is asked for again this many times before the read fails.
constexpr int StatusAttempts = 4;

enum class PageState : uint8_t { Skipped, Read };

bool erasedPage(const uint8_t* page) {
    return std::all_of(page, page + RecorderImage::PageSize, [](uint8_t b) { return b == 0xFF; });
}

// The sequence numbers of a page's first and last record (byte 7 of each).
struct PageSeqs {
    uint8_t first, last;
};

// The device says '0' when its page has the CRC the request carries, and one
// changed page in 65536 keeps its CRC. A log's rings tell where such a page
// would show: a skipped page between two changed pages of a ring, a skipped
// erased page just after a written one (the page the ring writes next), and
// a skipped page beside a break in the ring's chain of sequence numbers (an
// erased page the ring has passed, or an old page among new ones).
std::vector<uint32_t> suspectPages(const RecorderImage& image,
                                   const std::vector<PageState>& state) {
    std::vector<uint32_t> suspects;
    auto region = [&](uint32_t first, uint32_t count, auto seqs) {
        if (count < 2 || first + count > RecorderImage::PageCount) return;
        auto prevOf = [&](uint32_t p) { return p == first ? first + count - 1 : p - 1; };
        auto nextOf = [&](uint32_t p) { return p + 1 == first + count ? first : p + 1; };
        auto breaks = [&](uint32_t a, uint32_t b) {
            uint8_t older = seqs(image.page(a)).last, newer = seqs(image.page(b)).first;
            if (newer == 0xFF) return false; // the ring has not come this far
            return older == 0xFF || newer != RecorderImage::nextSeq(older);
        };
        for (uint32_t p = first; p < first + count; ++p) {
            if (state[p] != PageState::Skipped) continue;
            const uint32_t prev = prevOf(p), next = nextOf(p);
            const bool afterChange = state[prev] == PageState::Read;
            const bool erased = erasedPage(image.page(p));
            if ((afterChange && state[next] == PageState::Read) ||
                (erased && (afterChange || !erasedPage(image.page(prev)))) || breaks(prev, p) ||
                breaks(p, next))
                suspects.push_back(p);
        }
    };
    auto logPage = [](const uint8_t* page) { return PageSeqs{page[7], page[7]}; };
    auto settingsPage = [](const uint8_t* page) {
        return PageSeqs{
            page[7],
            page[RecorderImage::SettingsRecordSize * (RecorderImage::SettingsPerPage - 1) + 7]};
    };
    region(image.countersFirst(), image.countersCount(), logPage);
    region(image.generalFirst(), image.generalCount(), logPage);
    region(image.settingsFirst(), image.settingsCount(), settingsPage);
    std::sort(suspects.begin(), suspects.end());
    suspects.erase(std::unique(suspects.begin(), suspects.end()), suspects.end());
    return suspects;
}

} // namespace

std::string readCountersText(const ReadReport& report) {
    char message[256];
    std::snprintf(message, sizeof message,
                  "Страниц памяти: считано %u пропущено %u повторено %u\nИсточник данных: %s",
                  report.pagesRead, report.pagesSkipped, report.pagesRepeated,
                  report.source ? report.source : "");
    std::string text = message;
    // Only when the rings asked for it, so that the usual text stays as it was.
    if (report.pagesRechecked != 0) {
        const size_t lineEnd = text.find('\n');
        text.insert(lineEnd, " перепроверено " + std::to_string(report.pagesRechecked));
    }
    return text;
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
    // A second read into the same file is refused while this one works on it.
    std::optional<FileLock> fileLock;
    try {
        fileLock.emplace(filePath);
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

        std::vector<PageState> state(RecorderImage::PageCount, PageState::Skipped);
        // Asks for page p with pageCrc until a known status byte comes; on
        // '1' receives the page into the image and returns whether its CRC
        // held. Any other byte is asked again a few times, then fails the read.
        auto ask = [&](uint32_t p, uint16_t pageCrc) {
            for (int attempt = 0; attempt < StatusAttempts; ++attempt) {
                auto request = pageRequest(uint16_t(p), pageCrc);
                sendAll(*line, request.data(), request.size());
                uint8_t status = receiveByte(*line);
                if (status == wire::PageSame || status == wire::PageDiffers) return status;
            }
            throw errorExc("Устройство считывания не дало страницу %u: неизвестный ответ на запрос",
                           unsigned(p));
        };
        // The page as the device sends it; false when its CRC did not hold.
        auto receivePage = [&](uint8_t* page) {
            uint8_t sent[2];
            receiveAll(*line, sent, 2);
            receiveAll(*line, page, RecorderImage::PageSize);
            return crc.compute(page, RecorderImage::PageSize) == uint16_t(sent[0] | sent[1] << 8);
        };
        auto cancelled = [&](int value) {
            if (progress->update(std::max(value, 0), readCountersText(report))) return false;
            priority.end();
            line->closeHandle();
            ui.info("Считывание прервано", "Cчитывание данных прервано, файл не обновлен",
                    kLinkPicture);
            image.reset();
            progress.reset();
            report.outcome = LinkOutcome::Cancelled;
            return true;
        };

        for (int p = 0; p < int(RecorderImage::PageCount); ++p) {
            uint8_t* page = image.page(uint32_t(p));
            const uint16_t held = crc.compute(page, RecorderImage::PageSize);
            uint8_t status = ask(uint32_t(p), held);
            if (status == wire::PageSame && fresh) status = ask(uint32_t(p), uint16_t(held ^ 1));
            if (status == wire::PageSame) {
                ++report.pagesSkipped;
            } else {
                ++report.pagesRead;
                state[size_t(p)] = PageState::Read;
                // A damaged copy is asked for again with its own CRC, which
                // differs from the device's, so the device sends the page anew.
                if (!receivePage(page)) {
                    ++report.pagesRepeated;
                    --p;
                }
            }
            if (cancelled(p)) return report;
        }

        // Pages the rings say may be stale behind an equal CRC are asked for
        // with another CRC, which makes the device send them; a page that
        // comes back changed may reveal more, so this runs until none is left.
        if (!fresh) {
            std::vector<bool> rechecked(RecorderImage::PageCount, false);
            for (;;) {
                image.locateHeads();
                std::vector<uint32_t> pages;
                for (uint32_t p : suspectPages(image, state))
                    if (!rechecked[p]) pages.push_back(p);
                if (pages.empty()) break;
                for (uint32_t p : pages) {
                    rechecked[p] = true;
                    ++report.pagesRechecked;
                    uint8_t* page = image.page(p);
                    std::vector<uint8_t> copy(page, page + RecorderImage::PageSize);
                    const uint16_t held = crc.compute(page, RecorderImage::PageSize);
                    for (;;) {
                        uint8_t status = ask(p, uint16_t(held ^ 1));
                        // The device's CRC is held ^ 1: the page has changed.
                        if (status == wire::PageSame) status = ask(p, held);
                        if (status == wire::PageSame || receivePage(page)) break;
                        ++report.pagesRepeated;
                        std::copy(copy.begin(), copy.end(), page);
                        if (cancelled(int(RecorderImage::PageCount) - 1)) return report;
                    }
                    if (!std::equal(copy.begin(), copy.end(), page)) {
                        --report.pagesSkipped;
                        ++report.pagesRead;
                        state[p] = PageState::Read;
                    }
                    if (cancelled(int(RecorderImage::PageCount) - 1)) return report;
                }
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
