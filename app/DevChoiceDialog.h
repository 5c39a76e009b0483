#pragma once
// Lets the user pick one of several reader devices: the arrows move the
// chooser between the bridges, and the bridge it holds open blinks its red LED
// so the user can tell the physical unit. Whatever ends the dialog (check mark,
// close box, Escape), the handle is closed, so the chosen bridge can be opened
// again.
#include <wx/dialog.h>

class DeviceChooser;

class DevChoiceDialog : public wxDialog {
public:
    enum : int { IdPrevious = 2500, IdNext = 2501 };

    DevChoiceDialog(wxWindow* parent, DeviceChooser& chooser);
    ~DevChoiceDialog() override;

    int deviceIndex() const;
    void EndModal(int code) override;

private:
    void onPrevious(wxCommandEvent& event);
    void onNext(wxCommandEvent& event);
    void onChosen(wxCommandEvent& event);

    DeviceChooser& chooser_;

    wxDECLARE_EVENT_TABLE();
};
