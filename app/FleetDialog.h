#pragma once
// «Парк кранов»: one row per recorder of the archive of readings, from its
// latest reading: the serial number, the number of readings, the last
// reading's date, the used share of the resource to date, the exhaustion
// date, the end of the service life and the flags that ask for attention.
// «Открыть» (or a double click, or Enter) ends the dialog with wxID_OK and the
// chosen row; «Закрыть» and Esc with wxID_CANCEL.
#include <vector>

#include <wx/dialog.h>

#include "history/Archive.h"

class wxListCtrl;
class wxStaticText;

class FleetDialog : public wxDialog {
public:
    // folder: the archive's, said in the dialog; note: shown instead of the
    // rows when not empty (the archive could not be read).
    FleetDialog(wxWindow* parent, std::vector<FleetRow> rows, const wxString& folder,
                const wxString& note = {});

    // The row chosen, or null.
    const FleetRow* chosen() const;

    wxListCtrl* list;
    wxStaticText* details; // the flags of the row chosen, one a line

private:
    void showDetails();
    std::vector<FleetRow> rows_;
};
