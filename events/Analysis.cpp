#include "events/Analysis.h"

#include <ctime>

#include "common/ErrorLog.h"
#include "common/errorExc.h"
#include "events/Registries.h"
#include "events/Walks.h"
#include "events/eventList.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"

const char* const DiscreteRefusalText =
    "Эта версия программы не может работать с количеством дискретных каналов, отличных от 6!";
const char* const InterruptedText = "Анализ памяти регистратора прерван";

void requireSupportedLayout(const RecorderImage& image) {
    const uint8_t n = image.discreteCount();
    if (n != 6 && n != 0xFF) throw errorExc("%s", DiscreteRefusalText);
}

bool prepareAnalysis(RecorderImage& image, eventList& events) {
    events.clear();
    image.locateHeads();
    try {
        requireSupportedLayout(image);
    } catch (const errorExc& e) {
        logError(e.message());
        return false;
    }
    return true;
}

AnalysisResult analyseImage(RecorderImage& image, eventList& events, Progress* progress) {
    if (!prepareAnalysis(image, events)) return AnalysisResult::refused;
    bool ok = false;
    {
        GL_pList general;
        if (decodeGeneralLog(general, image, events, progress) == 0) {
            SL_pList settings;
            ok = decodeSettingsLog(settings, image, events, progress) == 0;
        }
    }
    if (!ok) {
        logError(InterruptedText);
        events.clear();
        return AnalysisResult::interrupted;
    }
    if (events.empty()) {
        const auto now = int32_t(std::time(nullptr));
        events.firstSeconds = events.endSeconds = events.minSeconds = events.maxSeconds = now;
    } else {
        // The pages of a recorder with events show its passport; from here on
        // the image holds the passport as shown, so a save or a write to the
        // recorder carries the defaults of its erased fields.
        applyPassportDefaults(image);
    }
    return AnalysisResult::done;
}
