#pragma once
// The image file: the raw recorder memory, 4,325,376 bytes, page 0 first, no
// header. Read only from a regular file; written through writeFileSafely, so a
// failed save leaves the old file as it was and a successful one keeps its
// identity (links, owner, mode).
#include <string>

class RecorderImage;

// Fills image from the regular file at path; true when it did. A missing path
// (and only that) with createIfMissing resets the image and returns false
// without creating anything, once it is known that a save could create the
// file. Any failure throws errorExc with the user's message and leaves the
// file alone.
bool loadImageFile(RecorderImage& image, const std::string& path, bool createIfMissing);

void saveImageFile(const RecorderImage& image, const std::string& path);
