#include "app/ExitDialog.h"

#include "gui/Pictures.h"

ExitDialog::ExitDialog(wxWindow* parent)
    : QuestionDialog(parent, L"Выход из программы",
                     loadMaskedPicture(L"bmps/exit.160.png", 160, 160),
                     L"Вы действительно хотите завершить работу с програмой?",
                     {{wxID_YES, L"bmps/greencheck.32.png", L"Да"},
                      {wxID_NO, L"bmps/redcross.32.png", L"Нет"}},
                     wxID_NO, wxID_NO, {wxSize(400, 192), 0, 400 - 160 - 8, 48}) {}
