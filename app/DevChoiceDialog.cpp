#include "app/DevChoiceDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "device/DeviceChooser.h"
#include "gui/DialogLook.h"
#include "gui/Pictures.h"

DevChoiceDialog::DevChoiceDialog(wxWindow* parent, DeviceChooser& chooser)
    : wxDialog(parent, wxID_ANY, L"Выбор устройства считывания", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      chooser_(chooser) {
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    sizer->Add(new wxStaticBitmap(this, wxID_ANY, loadPicture(L"bmps/connect.160.png", 160, 160)),
               0, wxALIGN_CENTER_VERTICAL);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(120, 12);
    auto* text = new wxStaticText(
        this, wxID_ANY,
        L"Выберите нужное устройство считывания с помощью нажатия на кнопки со стрелочками. "
        L"Текущее выбранное устройство считывания будет раз в секунду подмаргивать красным "
        L"светодиодом");
    text->SetFont(dialogFont(12));
    text->Wrap(240);
    column->Add(text);
    column->Add(120, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto button = [&](int id, const wchar_t* picture) {
        auto* b = new wxBitmapButton(this, id, loadPicture(picture, 32, 32));
        buttons->Add(b);
        return b;
    };
    button(IdPrevious, L"bmps/yellowleftarr.32.png");
    button(wxID_OK, L"bmps/greencheck.32.png")->SetDefault();
    button(IdNext, L"bmps/yellowrightarr.32.png");
    column->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL);
    sizer->Add(column);

    SetSizerAndFit(sizer);
}

DevChoiceDialog::~DevChoiceDialog() {
    chooser_.finish();
}

int DevChoiceDialog::deviceIndex() const {
    return chooser_.deviceIndex();
}

void DevChoiceDialog::EndModal(int code) {
    // The close box and Escape come here as well as the check mark.
    chooser_.finish();
    wxDialog::EndModal(code);
}

void DevChoiceDialog::onPrevious(wxCommandEvent&) {
    chooser_.previous();
}

void DevChoiceDialog::onNext(wxCommandEvent&) {
    chooser_.next();
}

void DevChoiceDialog::onChosen(wxCommandEvent&) {
    EndModal(wxID_OK);
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(DevChoiceDialog, wxDialog)
    EVT_BUTTON(DevChoiceDialog::IdPrevious, DevChoiceDialog::onPrevious)
    EVT_BUTTON(DevChoiceDialog::IdNext, DevChoiceDialog::onNext)
    EVT_BUTTON(wxID_OK, DevChoiceDialog::onChosen)
wxEND_EVENT_TABLE()
