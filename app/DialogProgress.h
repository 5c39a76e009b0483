#pragma once
// The core's progress reports shown in a progress dialog. Without a message the
// dialog opens at the first report, so work that stops before reporting shows
// none; with one it opens at once.
#include <chrono>
#include <memory>

#include <wx/progdlg.h>

#include "common/Progress.h"

class DialogProgress : public Progress {
public:
    DialogProgress(wxWindow* parent, const wxString& title, int maximum);
    // Reports that come sooner than repaintEvery after the last one shown only
    // look at the cancel button: repainting the dialog costs far more than a
    // page on the line, and a transfer reports every page.
    DialogProgress(wxWindow* parent, const wxString& title, const wxString& message, int maximum,
                   std::chrono::milliseconds repaintEvery = {});
    ~DialogProgress() override;

    bool update(int value, const std::string& message) override;

private:
    void open(const wxString& message);

    wxWindow* parent_;
    wxString title_;
    int maximum_;
    std::chrono::milliseconds repaintEvery_{};
    bool reported_ = false;
    std::chrono::steady_clock::time_point lastShown_{};
    std::unique_ptr<wxProgressDialog> dialog_;
};
