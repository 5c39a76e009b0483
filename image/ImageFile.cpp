#include "image/ImageFile.h"

#include <cerrno>
#include <optional>

#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "image/RecorderImage.h"

bool loadImageFile(RecorderImage& image, const std::string& path, bool createIfMissing) {
    constexpr size_t size = RecorderImage::ImageSize;
    std::optional<size_t> got = readRegularFile(path, image.data(), size);
    if (!got) {
        if (!createIfMissing) throw errorExc::withPath(CannotOpenFile, path, ENOENT);
        // The file is created by the first save: a read that fails or brings
        // nothing must not leave an erased image behind. Whether it could be
        // created is known now.
        checkWritable(path);
        image.reset();
        return false;
    }
    if (*got < size)
        throw errorExc::withReason(CannotReadFile, path,
                                   "в файле " + std::to_string(*got) + " байт из " +
                                       std::to_string(size));
    return true;
}

void saveImageFile(const RecorderImage& image, const std::string& path) {
    writeFileSafely(path, image.data(), RecorderImage::ImageSize);
}
