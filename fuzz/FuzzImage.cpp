// libFuzzer entry: the input becomes an image (see ImageInput.h) and goes
// through the whole pipeline.
#include <cstddef>
#include <cstdint>

#include "ImageInput.h"
#include "Pipeline.h"
#include "views/RecorderSession.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One session for the whole run, as the program has: erasing only the
    // pages an input wrote keeps a run cheap.
    static RecorderSession session;
    static fuzz::ImageInput input;
    const fuzz::Control control = input.apply(session.image, data, size);
    fuzz::runPipeline(session, control);
    return 0;
}
