// The main window's transfers through the reader device: the connect command
// and the write of the passport area.
#include "app/LinkDialogs.h"
#include "app/MainFrame.h"

namespace {
std::string utf8(const wxString& s) {
    return std::string(s.utf8_str());
}
} // namespace

void MainFrame::onConnect(wxCommandEvent&) {
    std::string dir = utf8(lastDir), path = utf8(filePath);
    {
        WindowLink link(this);
        readRecorder(link.context, image, crc, dir, path);
    }
    lastDir = wxString::FromUTF8(dir);
    filePath = wxString::FromUTF8(path);
    // Also after a failed or cancelled read: its reset image shows as empty pages.
    analyse();
}

WriteReport MainFrame::writeToRecorder() {
    WindowLink link(this);
    return writeRecorder(link.context, image, crc);
}
