// The main window's transfers through the reader device: the connect command
// and the write of the passport area.
#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/FileChoice.h"
#include "app/LinkDialogs.h"
#include "app/MainFrame.h"
#include "image/RecorderImage.h"
#include "pages/SetupWindow.h"

void MainFrame::onConnect(wxCommandEvent&) {
    if (!confirmDiscardChanges()) return;
    // The file is chosen before the reader is touched; the read then loads
    // it, checks that it can be written and only then opens the device.
    const wxString path = chooseFile(this, L"Выберите файл для сохранения считанной информации",
                                     lastDir, L"Файлы Gruvik2 (*.rpd)|*.rpd|Все файлы (*.*)|*.*",
                                     wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (path.empty()) {
        LinkDialogs(this).error("Необходимо выбрать файл для сохранения образа памяти регистратора",
                                {});
        return;
    }
    lastDir = wxFileName(path).GetPath();
    // The recorder is read into an image of its own: a failed or cancelled
    // read leaves the shown image, its file name and its pages as they were,
    // and a half-filled image is never analysed.
    RecorderImage incoming;
    ReadReport report;
    {
        WindowLink link(this);
        report = readRecorder(link.context, incoming, crc, std::string(path.utf8_str()));
    }
    if (report.outcome != LinkOutcome::Done) return;
    filePath = path;
    session.takeImage(incoming);
    settingsPage->dropTypedEdits(); // asked about before the read
    analyse();
    // The file holds what was read (saved, or already the same).
    session.markSaved();
    updateTitle();
}

WriteReport MainFrame::writeToRecorder() {
    WindowLink link(this);
    return writeRecorder(link.context, image, crc);
}
