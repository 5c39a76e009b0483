#include "app/DialogProgress.h"

DialogProgress::DialogProgress(wxWindow* parent, const wxString& title, int maximum)
    : parent_(parent), title_(title), maximum_(maximum) {}

DialogProgress::DialogProgress(wxWindow* parent, const wxString& title, const wxString& message,
                               int maximum, std::chrono::milliseconds repaintEvery)
    : parent_(parent), title_(title), maximum_(maximum), repaintEvery_(repaintEvery) {
    open(message);
}

DialogProgress::~DialogProgress() = default;

void DialogProgress::open(const wxString& message) {
    // Auto-hide: without it, reaching the maximum would stop the work in a
    // loop of the dialog's own until the user presses its close button.
    dialog_ = std::make_unique<wxProgressDialog>(title_, message, maximum_, parent_,
                                                 wxPD_CAN_ABORT | wxPD_APP_MODAL |
                                                     wxPD_ELAPSED_TIME | wxPD_ESTIMATED_TIME |
                                                     wxPD_REMAINING_TIME | wxPD_AUTO_HIDE);
    // Enter must not stop a transfer or an analysis: the cancel button, the
    // dialog's only one, is its default and has the focus. A click cancels.
    dialog_->Bind(wxEVT_CHAR_HOOK, [](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_RETURN && event.GetKeyCode() != WXK_NUMPAD_ENTER)
            event.Skip();
    });
}

bool DialogProgress::update(int value, const std::string& message) {
    if (!dialog_) open(wxEmptyString);
    const auto now = std::chrono::steady_clock::now();
    if (reported_ && now - lastShown_ < repaintEvery_) return !dialog_->WasCancelled();
    reported_ = true;
    lastShown_ = now;
    return dialog_->Update(value, wxString::FromUTF8(message));
}
