#pragma once
// The core's progress reports shown in a progress dialog. The dialog opens at
// the first report, so work that stops before reporting shows none.
#include <memory>

#include <wx/progdlg.h>

#include "common/Progress.h"

class DialogProgress : public Progress {
public:
    DialogProgress(wxWindow* parent, const wxString& title, int maximum);
    ~DialogProgress() override;

    bool update(int value, const std::string& message) override;

private:
    wxWindow* parent_;
    wxString title_;
    int maximum_;
    std::unique_ptr<wxProgressDialog> dialog_;
};
