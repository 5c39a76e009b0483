#pragma once
// The one top-level window. It owns everything that lives for the run: the
// memory image, the decoded events and the filtered lists, the filter state and
// the four pages; other windows reach it through wxGetApp().mainFrame.
#include <cstdint>
#include <functional>

#include <wx/frame.h>
#include <wx/imaglist.h>

#include "device/Crc16.h"
#include "device/RecorderTransfer.h"
#include "gui/PageActions.h"
#include "views/RecorderSession.h"

class PrintPanel;
class Progress;
class GraphWindow;
class ReportWindow;
class SetupWindow;
class TextLog;
class wxButton;
class wxCheckBox;
class wxCollapsiblePane;
class wxComboBox;
class wxNotebook;
class wxTextCtrl;

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
};

// The window's title while no file is open.
extern const wchar_t* const ProgramTitle;

// The notebook's tab images: blue, green, red and grey ball, in this order.
extern wxImageList pageImages;

// The window's controls. MainFrame keeps them as a private base: the batch
// print and the GUI tests reach them through controlsOf, nothing else does.
struct MainFrameControls {
    wxMenuBar* menuBar;
    wxToolBar* toolBar;
    wxNotebook* notebook;
    wxCollapsiblePane* filterPane;
    TextLog* journalPage;
    GraphWindow* graphPage;
    ReportWindow* protocolPage;
    SetupWindow* settingsPage;

    wxTextCtrl* startDay;
    wxTextCtrl* startMonth;
    wxTextCtrl* startYear;
    wxTextCtrl* startHour;
    wxTextCtrl* startMinute;
    wxTextCtrl* startSecond;
    wxTextCtrl* endDay;
    wxTextCtrl* endMonth;
    wxTextCtrl* endYear;
    wxTextCtrl* endHour;
    wxTextCtrl* endMinute;
    wxTextCtrl* endSecond;
    wxTextCtrl* countField;
    wxComboBox* directionChoice;
    wxButton* firstRecordButton;
    wxButton* lastRecordButton;
    wxButton* lastHourButton;
    wxButton* lastDayButton;
    wxButton* lastWeekButton;
    wxComboBox* detailChoice;
    wxCheckBox* configCheck;
    wxCheckBox* discreteCheck;
    wxCheckBox* relayCheck;
    wxCheckBox* weightChecks[5];
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
    eventList& events = session.events;
    // journalList, groupLists[5], modeList, relayLists[10], channelLists[6]:
    // pointers into events.
    FilteredLists& lists = session.lists;

    // The filter's range, kept in the session's filter; the first analysis
    // sets it to the span of the events, until then it is the empty instant 0
    // so the filter controls act on a defined value.
    int32_t& rangeStart = session.filter.rangeStart;
    int32_t& rangeEnd = session.filter.rangeEnd;
    uint32_t& maxCount = session.filter.maxCount; // journal rows at most; 0 = no limit

    // Turns the image into events after its content was replaced (file,
    // recorder, edited passport): decodes both logs under a progress dialog,
    // sets the range to the span of the events and the row limit to 1000, and
    // applies the filter. Failures are reported through the error log; then
    // events and the filtered lists are empty and the pages show empty content.
    void analyse() override;
    // The same; showChoices, when given, puts choices into the pane after it
    // shows the new span and before the one filter runs.
    void analyse(const std::function<void()>& showChoices);
    // Reads the count field, shows the stored range again (discarding typed
    // times not confirmed with Enter), filters and regenerates the pages; the
    // journal reports into progress when given.
    void applyFilter(Progress* progress);
    // Rebuilds the filtered lists from events with the pane's settings.
    void filterEvents();
    // Empties the filtered lists, then events: the lists never outlive the
    // events they refer to.
    void clearEvents();

    void setRangeStart(int32_t t);
    void setRangeEnd(int32_t t);
    void setMaxCount(uint32_t n);
    // maxCount := the number at the start of the count field (0 when none),
    // shown back as understood.
    void readMaxCount();
    // The record-bound buttons show the times of the first and last events.
    void showRecordBounds();
    // The stored range and count with the pane's choices and check boxes.
    FilterSettings filterSettings() const;

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

    // Shows settings in the filter pane: the choices, the row limit and the
    // direction, and the range ends that were given; applied by applyFilter.
    void showFilterSettings(const FilterSettings& settings, bool startGiven, bool endGiven);

    // Asks what to do with changes of the image not saved to a file, when
    // there are any: save them, drop them, or not go on (false).
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
    wxSizer* buildFilterPane();
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
    void onClose(wxCloseEvent& event);
    // The save dialog, then the save; false when cancelled or failed.
    bool saveWithDialog();
    bool saveTo(const wxString& path);

    void onPickStart(wxCommandEvent& event);
    void onFirstRecord(wxCommandEvent& event);
    void onPickEnd(wxCommandEvent& event);
    void onLastRecord(wxCommandEvent& event);
    void onTimeEntered(wxCommandEvent& event);
    void onCountEntered(wxCommandEvent& event);
    void onLastHour(wxCommandEvent& event);
    void onLastDay(wxCommandEvent& event);
    void onLastWeek(wxCommandEvent& event);
    void onApplyFilter(wxCommandEvent& event);

    void onPrint(wxCommandEvent& event);
    void onPageSetup(wxCommandEvent& event);
    void onPreview(wxCommandEvent& event);
    void onExit(wxCommandEvent& event);
    void onAbout(wxCommandEvent& event);
    void onHelp(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
