#include "app/DialogProgress.h"

DialogProgress::DialogProgress(wxWindow* parent, const wxString& title, int maximum)
    : parent_(parent), title_(title), maximum_(maximum) {}

DialogProgress::~DialogProgress() = default;

bool DialogProgress::update(int value, const std::string& message) {
    if (!dialog_) {
        // Auto-hide: without it, reaching the maximum would stop the work in a
        // loop of the dialog's own until the user presses its close button.
        dialog_ = std::make_unique<wxProgressDialog>(title_, wxEmptyString, maximum_, parent_,
                                                     wxPD_CAN_ABORT | wxPD_APP_MODAL |
                                                         wxPD_ELAPSED_TIME | wxPD_ESTIMATED_TIME |
                                                         wxPD_REMAINING_TIME | wxPD_AUTO_HIDE);
    }
    return dialog_->Update(value, wxString::FromUTF8(message));
}
