#pragma once
// The one top-level window. It owns everything that lives for the run: the
// session (the memory image, the decoded events, the filtered lists and the
// filter last applied), the filter pane and the four pages. The pages are
// handed what they need when they are made and never reach the frame.
#include <cstdint>
#include <functional>

#include <wx/frame.h>
#include <wx/imaglist.h>

#include "app/FilterPane.h"
#include "device/Crc16.h"
#include "device/RecorderTransfer.h"
#include "gui/PageActions.h"
#include "views/RecorderSession.h"

class PrintPanel;
class Progress;
class GraphWindow;
class HistoryWindow;
class ReportWindow;
class SetupWindow;
class TextLog;
class wxNotebook;

// Command and control identifiers (5000 and 5003 are wxID_OPEN and wxID_SAVE).
enum CommandId : int {
    CmdPrint = 500,
    CmdPageSetup = 501,
    CmdPreview = 502,
    CmdExit = 503,
    CmdAbout = 504,
    CmdHelp = 505,
    CmdConnect = 506,
    CmdPickStart = 507,
    CmdFirstRecord = 508,
    CmdPickEnd = 509,
    CmdLastRecord = 510,
    CmdStartHour = 512,
    CmdStartMinute = 513,
    CmdStartSecond = 514,
    CmdEndHour = 515,
    CmdEndMinute = 516,
    CmdEndSecond = 517,
    CmdMaxCount = 518,
    CmdLastHour = 519,
    CmdLastDay = 520,
    CmdLastWeek = 521,
    CmdApplyFilter = 522,
    // Past the graph page's 523..528.
    CmdExport = 530,
    CmdToArchive = 531,
    CmdFleet = 532,
};

// The window's title while no file is open.
extern const wchar_t* const ProgramTitle;

// The notebook's tab images: blue, green, red and grey ball, in this order.
extern wxImageList pageImages;

// The window's controls, the filter pane's among them. MainFrame keeps them as
// a private base: the batch print and the GUI tests reach them through
// controlsOf, nothing else does.
struct MainFrameControls : FilterPaneControls {
    wxMenuBar* menuBar;
    wxToolBar* toolBar;
    wxNotebook* notebook;
    FilterPane* filterPane;
    TextLog* journalPage;
    GraphWindow* graphPage;
    ReportWindow* protocolPage;
    SetupWindow* settingsPage;
    HistoryWindow* historyPage;
};

class MainFrame : public wxFrame, public PageActions, private MainFrameControls {
public:
    MainFrame();
    ~MainFrame() override;

    wxString lastDir; // default folder of the next file dialog
    // The image, its events and the filtered lists; the members below are
    // the names the rest of the window uses for them.
    RecorderSession session;
    RecorderImage& image = session.image;
    Crc16 crc;         // the device link borrows it for every page
    wxString filePath; // the image file last chosen
    // The archive of readings the window files into and shows the history
    // and the fleet from (--archive, else Archive::defaultFolder()).
    std::string archiveFolder;
    eventList& events = session.events;
    // journalList, groupLists[5], modeList, relayLists[10], channelLists[6]:
    // pointers into events.
    FilteredLists& lists = session.lists;

    // What the filter pane holds for the next «Наложить фильтр»; the
    // session's filter is the one last applied.
    FilterPane& filters() { return *filterPane; }

    // Turns the image into events after its content was replaced (file,
    // recorder, edited passport): decodes both logs under a progress dialog,
    // sets the range to the span of the events and the row limit to 1000, and
    // applies the filter. Failures are reported through the error log; then
    // events and the filtered lists are empty and the pages show empty content
    // (false).
    bool analyse() override;
    // The same; showChoices, when given, puts choices into the pane after it
    // shows the new span and before the one filter runs.
    bool analyse(const std::function<void()>& showChoices);
    // Takes the pane's settings (the count field as typed; typed times not
    // confirmed with Enter give way to the pending range), filters and
    // regenerates the pages; the journal reports into progress when given.
    void applyFilter(Progress* progress);
    // Rebuilds the filtered lists from events with the pane's settings as
    // they stand.
    void filterEvents();
    // Empties the filtered lists, then events: the lists never outlive the
    // events they refer to.
    void clearEvents();

    // Opens or closes the filter pane as its header does; the window keeps
    // its size where it can, the pages give the pane its room.
    void showFilterPane(bool open);

    // The page selected in the notebook, or null.
    PrintPanel* selectedPage() const;

    // Loads the image file at path and analyses it, as the open command does
    // once its dialog is confirmed; the file's folder becomes lastDir. A file
    // that cannot be loaded is reported and leaves everything as it was
    // (false). showChoices: as for analyse, so that an image opened with
    // filter options is filtered once, with them.
    bool openImageFile(const wxString& path, const std::function<void()>& showChoices = {});

    // A file dropped on the window: asks about unsaved changes first, then
    // opens it as openImageFile does.
    bool openDroppedFile(const wxString& path);
    // Changes not saved to the file: in the image, or typed on «Настройка»
    // and not yet stored.
    bool unsavedChanges() const;
    // Asks what to do with changes not saved to a file, when there are any:
    // save them (typed edits stored into the image first), drop them, or not
    // go on (false).
    bool confirmDiscardChanges();
    // "Грувик2 1.0.0", after the name of the open file, marked with "*"
    // while the image holds changes not saved to it.
    void updateTitle();

    // Writes the image's writable area into the recorder through the reader
    // device, with the transfer's dialogs; reports failures itself.
    WriteReport writeToRecorder() override;
    // The weight boxes of the filter pane as they stand.
    std::array<bool, 5> tickedWeights() const override;
    void imageEdited() override;

    friend MainFrameControls& controlsOf(MainFrame& frame);

private:
    void buildMenus();
    void buildToolBar();
    void buildNotebook();
    // The window's smallest size for the pane as it stands, and a size
    // within the screen that holds it.
    void fitFilterPane();
    // Every page from the data of the run, in the order the pages depend on.
    void regeneratePages(Progress* progress);

    void onConnect(wxCommandEvent& event);
    void onOpen(wxCommandEvent& event);
    void onSave(wxCommandEvent& event);
    // Saves the journal's rows and the protocol's figures as CSV files, each
    // under a file dialog of its own (MainFrameExport.cpp).
    void onExport(wxCommandEvent& event);
    // «В архив»: files the open image's file (MainFrameArchive.cpp).
    void onToArchive(wxCommandEvent& event);
    // «Парк кранов»: the archive's recorders; opens the latest image of the
    // one chosen.
    void onFleet(wxCommandEvent& event);
    // Files the image file at path into the archive and says so in the status
    // line (what: whose image it is); a failure is a warning, nothing more.
    // Shows the history of the archive again.
    void fileIntoArchive(const wxString& path, const wxString& what);
    void onClose(wxCloseEvent& event);
    // The save dialog, then the save; false when cancelled or failed.
    bool saveWithDialog();
    bool saveTo(const wxString& path);

    void onApplyFilter(wxCommandEvent& event);

    void onPrint(wxCommandEvent& event);
    void onPageSetup(wxCommandEvent& event);
    void onPreview(wxCommandEvent& event);
    void onUpdatePrint(wxUpdateUIEvent& event);
    void onExit(wxCommandEvent& event);
    void onAbout(wxCommandEvent& event);
    void onHelp(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
