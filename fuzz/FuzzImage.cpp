// libFuzzer entry: the input becomes an image (see ImageInput.h) and goes
// through the whole pipeline.
#include <cstddef>
#include <cstdint>

#include "ImageInput.h"
#include "Pipeline.h"
#include "image/RecorderImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One image for the whole run, as the program has: erasing only the pages
    // an input wrote keeps a run cheap.
    static RecorderImage image;
    static fuzz::ImageInput input;
    const fuzz::Control control = input.apply(image, data, size);
    fuzz::runPipeline(image, control);
    return 0;
}
