#pragma once
// Page "Настройка": the passport data of the writable area, which the user
// edits and writes back into the recorder. The image is the store; what is
// typed into the fields and not yet stored stays in them (showHeader keeps
// it) until it is stored or dropped, and the window counts it as a change.
#include <array>
#include <cstdint>

#include "gui/PageActions.h"
#include "gui/PrintPanel.h"
#include "views/PassportForm.h"

class RecorderSession;
class wxComboBox;
class wxTextCtrl;

enum SetupCommandId : int {
    CmdPickInstallation = 500,
    CmdPickCommissioning = 501,
    CmdUpdateRecorder = 502,
};

class SetupWindow : public PrintPanel {
public:
    // session: the recorder whose passport the page edits; actions: the
    // analysis and the write of the window that holds the page.
    SetupWindow(wxWindow* parent, RecorderSession& session, PageActions& actions);

    wxTextCtrl* installDay;
    wxTextCtrl* installMonth;
    wxTextCtrl* installYear;
    wxTextCtrl* commissionDay;
    wxTextCtrl* commissionMonth;
    wxTextCtrl* commissionYear;
    wxTextCtrl* lifeField;
    wxComboBox* groupChoice; // A1..A8
    wxTextCtrl* textField;
    std::array<wxTextCtrl*, PassportNameFields> nameFields;

    // Fills the fields from the session's image; empties them while it has
    // no events (nothing analysed yet, an erased or a refused image). Fields
    // holding typed edits are kept as typed.
    void showHeader();

    // Whether a field holds an edit not stored in the image.
    bool hasTypedEdits() const { return typed_; }
    // Stores the typed edits into the image, as «Обновить информацию в РП»
    // does but without the analysis and the write; a text the recorder cannot
    // hold is reported with its field marked, and nothing is stored (false).
    bool storeTypedEdits();
    // Forgets the typed edits (the image is being replaced); the fields show
    // the image at the next showHeader.
    void dropTypedEdits() { typed_ = false; }

    // The page has no printed form (the protocol prints the passport): the
    // print commands are disabled on it.
    bool printable() const override { return false; }
    void printPage() override {}
    void pageSetup() override {}
    void previewPage() override {}

private:
    void keepTextLimit(wxCommandEvent& event);
    // A field was edited by the user: the window shows the change at once.
    void fieldEdited(wxCommandEvent& event);
    // The date dialog from the stored date; a chosen date goes into the image
    // at once.
    void pickDate(bool installation);
    void pickInstallationDate(wxCommandEvent& event);
    void pickCommissioningDate(wxCommandEvent& event);
    // Stores the fields into the image, analyses it again and writes the
    // writable area into the recorder; a text the recorder cannot hold stops
    // it all before anything is stored.
    void updateRecorder(wxCommandEvent& event);

    RecorderSession& session_;
    PageActions& actions_;
    bool typed_ = false;   // a field differs from the image by an edit
    bool filling_ = false; // showHeader is setting the fields

    wxDECLARE_EVENT_TABLE();
};
