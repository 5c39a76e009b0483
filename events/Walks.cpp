#include "events/Walks.h"

#include "common/ErrorLog.h"
#include "common/Progress.h"
#include "common/errorExc.h"
#include "events/Registries.h"
#include "events/eventList.h"
#include "events/genericParser.h"
#include "image/RecorderImage.h"

namespace {

// Shows counter * 10 / total whenever that value changes.
class ProgressSteps {
public:
    ProgressSteps(Progress* progress, unsigned total, const char* message)
        : progress_(progress), total_(total ? total : 1), message_(message) {}

    // False when the user cancelled.
    bool next() {
        if (!progress_) return true;
        unsigned value = counter_++ * 10 / total_;
        if (value == shown_) return true;
        shown_ = value;
        return progress_->update(int(value), message_);
    }

private:
    Progress* progress_;
    unsigned total_;
    const char* message_;
    unsigned counter_ = 0;
    unsigned shown_ = 0xFFFF;
};

constexpr unsigned RecordsPerGeneralPage = 65;
constexpr unsigned GeneralRecordSize = 8;

} // namespace

int decodeGeneralLog(const GL_pList& registry, const RecorderImage& image, eventList& events,
                     Progress* progress) {
    StampTimeCache times;
    ProgressSteps steps(progress, image.generalCount(), "Обработка журнала событий");
    try {
        for (uint32_t current = image.generalHead(); current != RecorderImage::EndOfWalk;
             current = image.nextGeneralPage(current)) {
            const uint8_t* page = image.page(current);
            if (!steps.next()) return 1;
            if (page[7] == 0xFF) continue;
            for (unsigned k = 1; k <= RecordsPerGeneralPage; ++k) {
                const uint8_t* record = page + GeneralRecordSize * k;
                if (const GL_parser* proto = registry.find(record))
                    events.append(proto->parse(record, image, page, nullptr));
            }
        }
    } catch (const errorExc& e) {
        logError(e.message());
        return 1;
    }
    return 0;
}

int decodeSettingsLog(const SL_pList& registry, const RecorderImage& image, eventList& events,
                      Progress* progress) {
    StampTimeCache times;
    ProgressSteps steps(progress, image.settingsCount() * RecorderImage::SettingsPerPage,
                        "Генерация журнала событий");
    try {
        SettingsCursor cursor(image);
        do {
            const uint8_t* record = cursor.record();
            if (!steps.next()) return 1;
            if (const SL_parser* proto = registry.find(record))
                events.insertSorted(proto->parse(record, image, nullptr));
        } while (cursor.step());
    } catch (const errorExc& e) {
        logError(e.message());
        return 1;
    }
    return 0;
}
