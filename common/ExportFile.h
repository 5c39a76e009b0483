#pragma once
// Writing an exported file so that no failure leaves a damaged one: the bytes
// go to a temporary file beside the target, are synced to the disk, and the
// temporary is renamed over the target. A reader sees the old file or the
// new one whole; on failure the target is as it was and the temporary is gone.
#include <string>
#include <string_view>

// Throws errorExc with a message naming path and the system's reason.
void writeExportFile(const std::string& path, std::string_view bytes);
