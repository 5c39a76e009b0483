#include "testsupport/LiteralAnalysis.h"

#include "events/Registries.h"
#include "events/eventList.h"
#include "events/genericParser.h"
#include "image/RecorderImage.h"

void insertSortedLinearly(eventList& events, genericParser* event) {
    events.widen(event->seconds);
    for (genericParser* e = events.front(); e; e = eventList::after(e)) {
        if (e->seconds > event->seconds ||
            (e->seconds == event->seconds && e->tenths > event->tenths)) {
            events.insertBefore(e, event);
            return;
        }
    }
    events.append(event);
}

AnalysisResult analyseLiterally(RecorderImage& image, eventList& events) {
    if (!prepareAnalysis(image, events)) return AnalysisResult::refused;
    GL_pList general;
    for (uint32_t p = image.generalHead(); p != RecorderImage::EndOfWalk;
         p = image.nextGeneralPage(p)) {
        const uint8_t* page = image.page(p);
        if (page[7] == 0xFF) continue;
        for (unsigned k = 1; k <= 65; ++k) {
            const uint8_t* record = page + 8 * k;
            for (const GL_parser* proto = general.front(); proto; proto = GL_pList::after(proto)) {
                if (proto->accepts(record)) {
                    events.append(proto->parse(record, image, page, nullptr));
                    break;
                }
            }
        }
    }
    SL_pList settings;
    image.rewindSettings();
    do {
        const uint8_t* record = image.currentSettingsRecord();
        for (const SL_parser* proto = settings.front(); proto; proto = SL_pList::after(proto)) {
            if (proto->accepts(record)) {
                insertSortedLinearly(events, proto->parse(record, image, nullptr));
                break;
            }
        }
    } while (image.stepSettings());
    return AnalysisResult::done;
}
