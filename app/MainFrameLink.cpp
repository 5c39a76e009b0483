// The main window's transfers through the reader device: the connect command
// and the write of the passport area.
#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/FileChoice.h"
#include "app/LinkDialogs.h"
#include "app/MainFrame.h"
#include "gui/Pictures.h"
#include "gui/QuestionDialog.h"
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
    // A copy goes into the archive of readings; the reading is in its file
    // whatever becomes of the copy.
    fileIntoArchive(path, L"Считанный образ");
}

namespace {

bool askYes(wxWindow* parent, const wxString& title, const wxString& text) {
    QuestionDialog dialog(
        parent, title, loadMaskedPicture(L"bmps/connect.32.png", 64, 64), text,
        {{wxID_YES, L"bmps/greencheck.32.png", L"Да"}, {wxID_NO, L"bmps/redcross.32.png", L"Нет"}},
        wxID_NO, wxID_NO, {wxSize(560, 192), 16, 560 - 96 - 16, 24});
    return dialog.ShowModal() == wxID_YES;
}

} // namespace

WriteReport MainFrame::writeToRecorder() {
    // Another recorder's passport goes in only when the user says so; a
    // write that failed part-way is offered again, as the recorder now holds
    // a mixture of old and new pages.
    auto otherRecorder = [this](const std::string& recorder, const std::string& ours) {
        return askYes(this, L"Другой регистратор",
                      L"Серийный номер регистратора (" + wxString::FromUTF8(recorder) +
                          L") не совпадает с серийным номером образа (" + wxString::FromUTF8(ours) +
                          L"). Записать паспорт образа в регистратор?");
    };
    for (;;) {
        WriteReport report;
        {
            WindowLink link(this);
            report = writeRecorder(link.context, image, crc, otherRecorder);
        }
        if (report.outcome != LinkOutcome::Failed ||
            (report.pagesWritten == 0 && report.pagesNotWritten.empty()))
            return report;
        if (!askYes(this, L"Запись не выполнена",
                    L"Паспорт в регистраторе мог остаться записанным частично. Записать его еще "
                    L"раз?"))
            return report;
    }
}
