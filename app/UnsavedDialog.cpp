#include "app/UnsavedDialog.h"

#include "gui/Pictures.h"

namespace {
wxString question(const wxString& fileName) {
    const wxString file = fileName.empty() ? wxString() : L" «" + fileName + L"»";
    return L"Данные в программе изменены и не сохранены в файле" + file + L". Сохранить изменения?";
}
} // namespace

UnsavedDialog::UnsavedDialog(wxWindow* parent, const wxString& fileName)
    : QuestionDialog(parent, L"Несохраненные изменения",
                     loadMaskedPicture(L"bmps/save.32.png", 64, 64), question(fileName),
                     {{wxID_YES, L"bmps/greencheck.32.png", L"Сохранить"},
                      {wxID_NO, L"bmps/redcross.32.png", L"Не сохранять"},
                      {wxID_CANCEL, L"bmps/yellowleftarr.32.png", L"Отмена"}},
                     wxID_CANCEL, wxID_CANCEL, {wxSize(560, 192), 16, 560 - 96 - 16, 24}) {}
