// The main window's transfers through the reader device: the connect command
// and the write of the passport area.
#include "app/LinkDialogs.h"
#include "app/MainFrame.h"
#include "image/RecorderImage.h"

namespace {
std::string utf8(const wxString& s) {
    return std::string(s.utf8_str());
}
} // namespace

void MainFrame::onConnect(wxCommandEvent&) {
    if (!confirmDiscardChanges()) return;
    std::string dir = utf8(lastDir), path = utf8(filePath);
    // The recorder is read into an image of its own: a failed or cancelled
    // read leaves the shown image, its file name and its pages as they were,
    // and a half-filled image is never analysed.
    RecorderImage incoming;
    ReadReport report;
    {
        WindowLink link(this);
        report = readRecorder(link.context, incoming, crc, dir, path);
    }
    lastDir = wxString::FromUTF8(dir);
    if (report.outcome != LinkOutcome::Done) return;
    filePath = wxString::FromUTF8(path);
    session.takeImage(incoming);
    analyse();
    // The file holds what was read (saved, or already the same).
    session.markSaved();
    updateTitle();
}

WriteReport MainFrame::writeToRecorder() {
    WindowLink link(this);
    return writeRecorder(link.context, image, crc);
}
