#include "app/MainFrame.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/display.h>
#include <wx/html/helpctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include "app/AboutBox.h"
#include "app/ExitDialog.h"
#include "app/GruvikApp.h"
#include "gui/DialogLook.h"
#include "gui/Pictures.h"
#include "gui/PrintPanel.h"
#include "views/ui/GraphWindow.h"
#include "views/ui/ReportWindow.h"
#include "views/ui/SetupWindow.h"
#include "views/ui/TextLog.h"

wxImageList pageImages(16, 16, true, 1);

namespace {
const wchar_t* const ConnectHelp =
    L"Подключиться к устройству считывания данных из регистратора параметров и считать данные";
const wchar_t* const OpenHelp = L"Открыть файл для просмотра";
const wchar_t* const SaveHelp = L"Сохранить просматриваемые данные в файле";
const wchar_t* const PrintHelp = L"Распечатать документ на принтере";

// The pages scroll or scale to any size; this much room keeps them usable
// beside the open filter pane on a laptop's screen.
const wxSize PageAreaMinSize(480, 240);
// The window opens this large where the screen has the room: the graph's
// texts stay readable, and the open filter pane leaves the pages room.
const wxSize PreferredWindowSize(1100, 700);

wxTextCtrl* timeField(wxWindow* parent, int id) {
    return makeField(parent, id, wxSize(24, 20), 2, wxTE_PROCESS_ENTER);
}

wxTextCtrl* dateField(wxWindow* parent, int width, int maxLength) {
    return makeField(parent, wxID_ANY, wxSize(width, 20), maxLength, wxTE_READONLY);
}

wxStaticText* label(wxWindow* parent, const wxString& text, wxSize size = wxDefaultSize) {
    return new wxStaticText(parent, wxID_ANY, text, wxDefaultPosition, size);
}

// One line of the range: "С"/"По", h:m:s, d/m/y, ">>" and the bound button.
// Fills fields with hour, minute, second, day, month, year.
wxSizer* rangeLine(wxWindow* parent, const wxString& caption, int captionWidth, int hourId,
                   int pickId, const wxString& boundText, int boundId, wxTextCtrl* fields[6],
                   wxButton** bound) {
    const int centred = wxALIGN_CENTER_VERTICAL;
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(label(parent, caption, wxSize(captionWidth, -1)), 0, centred);
    for (int i = 0; i < 3; ++i) {
        if (i > 0) line->Add(label(parent, L":"), 0, centred);
        fields[i] = timeField(parent, hourId + i);
        line->Add(fields[i], 0, centred);
    }
    line->AddSpacer(8);
    for (int i = 3; i < 6; ++i) {
        if (i > 3) line->Add(label(parent, L"/"), 0, centred);
        fields[i] = i == 5 ? dateField(parent, 40, 4) : dateField(parent, 24, 2);
        line->Add(fields[i], 0, centred);
    }
    line->Add(new wxButton(parent, pickId, L">>"), 0, centred);
    *bound = new wxButton(parent, boundId, boundText);
    line->Add(*bound, 1, centred);
    return line;
}
} // namespace

const wchar_t* const ProgramTitle = L"Грувик2 1.0.0";

MainFrame::MainFrame() : wxFrame(nullptr, wxID_ANY, ProgramTitle) {
    buildMenus();
    CreateStatusBar(1, wxSTB_SIZEGRIP | wxFULL_REPAINT_ON_RESIZE);
    buildToolBar();
    buildNotebook();

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(notebook, 1, wxEXPAND);
    // The window fits itself to the pane (fitFilterPane): the toolkit's own
    // fitting would fix the window's size to the pane's, smallest and largest.
    filterPane = new wxCollapsiblePane(this, wxID_ANY, L"Фильтр событий", wxDefaultPosition,
                                       wxDefaultSize, wxCP_DEFAULT_STYLE | wxCP_NO_TLW_RESIZE);
    sizer->Add(filterPane, 0, wxEXPAND);
    wxSizer* paneSizer = buildFilterPane();

    filterPane->GetPane()->SetSizer(paneSizer);
    paneSizer->SetSizeHints(filterPane->GetPane());
    filterPane->Bind(wxEVT_COLLAPSIBLEPANE_CHANGED,
                     [this](wxCollapsiblePaneEvent&) { fitFilterPane(); });
    SetSizer(sizer);
    sizer->SetSizeHints(this);
    wxSize size = PreferredWindowSize;
    size.DecTo(wxDisplay(this).GetClientArea().GetSize());
    size.IncTo(GetMinSize());
    SetSize(size);
    Show();
}

void MainFrame::showFilterPane(bool open) {
    filterPane->Collapse(!open);
    fitFilterPane();
}

void MainFrame::fitFilterPane() {
    // The smallest window is what the content needs with the pane as it is
    // now; the pages give up or take back the pane's room, and the window
    // grows only when it is too small for the open pane, staying on screen.
    const wxSize frameExtra = GetSize() - GetClientSize();
    const wxSize min = GetSizer()->CalcMin() + frameExtra;
    SetSizeHints(min);
    if (!IsMaximized() && (GetSize().x < min.x || GetSize().y < min.y)) {
        wxRect rect = GetRect();
        rect.SetSize(wxSize(std::max(rect.width, min.x), std::max(rect.height, min.y)));
        const wxRect area = wxDisplay(this).GetClientArea();
        rect.x = std::max(area.x, std::min(rect.x, area.GetRight() + 1 - rect.width));
        rect.y = std::max(area.y, std::min(rect.y, area.GetBottom() + 1 - rect.height));
        SetSize(rect);
    }
    Layout();
    filterPane->GetPane()->Layout();
}

MainFrame::~MainFrame() = default;

MainFrameControls& controlsOf(MainFrame& frame) {
    return frame;
}

std::array<bool, 5> MainFrame::tickedWeights() const {
    std::array<bool, 5> ticked{};
    for (size_t i = 0; i < ticked.size(); ++i)
        ticked[i] = weightChecks[i]->GetValue();
    return ticked;
}

void MainFrame::buildMenus() {
    auto* file = new wxMenu;
    file->Append(CmdConnect, L"&Подключиться\tAlt-C", ConnectHelp);
    file->Append(wxID_OPEN, L"Открыть\tAlt-O", OpenHelp);
    file->Append(wxID_SAVE, L"Сохранить\tAlt-S", SaveHelp);
    file->Append(CmdExport, L"&Экспорт", L"Сохранить журнал событий и протокол в файлах CSV");
    file->AppendSeparator();
    file->Append(CmdPrint, L"&Распечатать\tAlt-P", PrintHelp);
    file->Append(CmdPageSetup, L"&Параметры страницы", L"Настройка параметров страницы для печати");
    file->Append(CmdPreview, L"&Предварительный просмотр",
                 L"Предварительный просмотр документа перед распечаткой");
    file->AppendSeparator();
    file->Append(CmdExit, L"&Выйти\tAlt-X", L"Завершение работы с программой");

    auto* help = new wxMenu;
    help->Append(CmdAbout, L"О программе", L"Показать информацию о программе");
    help->AppendSeparator();
    help->Append(CmdHelp, L"Справка\tF1", L"Показать справку");

    menuBar = new wxMenuBar;
    menuBar->Append(file, L"&Файл");
    menuBar->Append(help, L"&Помощь");
    SetMenuBar(menuBar);
}

void MainFrame::buildToolBar() {
    // Labels under the pictures: the tools have no tooltips (empty short help).
    toolBar = CreateToolBar(wxTB_HORIZONTAL | wxTB_TEXT);
    toolBar->SetToolBitmapSize(wxSize(32, 32));
    auto add = [this](int id, const wchar_t* text, const wchar_t* picture, const wchar_t* help) {
        toolBar->AddTool(id, text, loadPicture(picture, 32, 32), wxNullBitmap, wxITEM_NORMAL,
                         wxEmptyString, help);
    };
    add(CmdConnect, L"Считать", L"bmps/connect.32.png", ConnectHelp);
    add(wxID_OPEN, L"Открыть", L"bmps/open.32.png", OpenHelp);
    add(wxID_SAVE, L"Сохранить", L"bmps/save.32.png", SaveHelp);
    toolBar->AddSeparator();
    add(CmdPrint, L"Распечатать", L"bmps/print.32.png", PrintHelp);
    toolBar->AddSeparator();
    add(CmdExit, L"Выйти", L"bmps/exit.32.png", L"Завершить работу с программой");
    toolBar->Realize();
}

void MainFrame::buildNotebook() {
    // Another main window (the tests make several) shares the filled list.
    if (pageImages.GetImageCount() == 0)
        for (const wchar_t* ball : {L"bmps/blueball.16.png", L"bmps/greenball.16.png",
                                    L"bmps/redball.16.png", L"bmps/grayball.16.png"})
            pageImages.Add(loadMaskedPicture(ball, 16, 16));

    notebook = new wxNotebook(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxNB_BOTTOM);
    notebook->SetImageList(&pageImages);
    protocolPage = new ReportWindow(notebook, session);
    graphPage = new GraphWindow(notebook, session, *this);
    journalPage = new TextLog(notebook, session);
    settingsPage = new SetupWindow(notebook, session, *this);
    notebook->AddPage(protocolPage, L"Протокол", true, 0);
    notebook->AddPage(graphPage, L"График", false, 1);
    notebook->AddPage(journalPage, L"Журнал", true, 3);
    notebook->AddPage(settingsPage, L"Настройка", false, 2);
    notebook->SetMinSize(PageAreaMinSize);
}

wxSizer* MainFrame::buildFilterPane() {
    wxWindow* pane = filterPane->GetPane();
    const int centred = wxALIGN_CENTER_VERTICAL;

    // "Временной диапазон"
    auto* rangeBox = new wxStaticBoxSizer(wxVERTICAL, pane, L"Временной диапазон");
    wxWindow* range = rangeBox->GetStaticBox();
    wxTextCtrl* start[6];
    wxTextCtrl* end[6];
    // The captions are 16 pixels wide, or as wide as the toolkit's font needs.
    const int captionWidth =
        std::max({16, range->GetTextExtent(L"С").x, range->GetTextExtent(L"По").x});
    rangeBox->Add(rangeLine(range, L"С", captionWidth, CmdStartHour, CmdPickStart, L"Первая запись",
                            CmdFirstRecord, start, &firstRecordButton),
                  1, wxEXPAND);
    rangeBox->Add(rangeLine(range, L"По", captionWidth, CmdEndHour, CmdPickEnd, L"Последняя запись",
                            CmdLastRecord, end, &lastRecordButton),
                  1, wxEXPAND);
    startHour = start[0], startMinute = start[1], startSecond = start[2];
    startDay = start[3], startMonth = start[4], startYear = start[5];
    endHour = end[0], endMinute = end[1], endSecond = end[2];
    endDay = end[3], endMonth = end[4], endYear = end[5];

    auto* countLine = new wxBoxSizer(wxHORIZONTAL);
    countLine->Add(label(range, L"Показывать не более "), 0, centred);
    countField = makeField(range, CmdMaxCount, wxSize(60, 20), 7, wxTE_PROCESS_ENTER);
    countLine->Add(countField, 0, centred);
    countLine->Add(label(range, L" записей"), 0, centred);
    const wxString directions[] = {L"с указанной даты", L"по указанную дату"};
    directionChoice = new wxComboBox(range, wxID_ANY, directions[1], wxDefaultPosition,
                                     wxDefaultSize, 2, directions, wxCB_READONLY | wxCB_DROPDOWN);
    directionChoice->SetSelection(1);
    countLine->Add(directionChoice, 0, centred);
    rangeBox->Add(countLine, 0, wxEXPAND);

    auto* quickLine = new wxBoxSizer(wxHORIZONTAL);
    lastHourButton = new wxButton(range, CmdLastHour, L"Последний час");
    lastDayButton = new wxButton(range, CmdLastDay, L"Последний день");
    lastWeekButton = new wxButton(range, CmdLastWeek, L"Последняя неделя");
    for (wxButton* b : {lastHourButton, lastDayButton, lastWeekButton})
        quickLine->Add(b, 1, centred);
    rangeBox->Add(quickLine, 0, wxEXPAND);

    // "Типы событий и уровень детализации"
    auto* kindBox = new wxStaticBoxSizer(wxVERTICAL, pane, L"Типы событий и уровень детализации");
    wxWindow* kinds = kindBox->GetStaticBox();
    const wxString levels[] = {
        L"1 - Максимальная детализация",
        L"2 - Только нагрузка на группы",
        L"3 - Только начала/концы циклов и режим работы",
        L"4 - Только факты перегрузок",
        L"5 - Только вкл/выкл, сбои датчиков силы и считывание данных",
    };
    detailChoice = new wxComboBox(kinds, wxID_ANY, levels[3], wxDefaultPosition, wxDefaultSize, 5,
                                  levels, wxCB_READONLY | wxCB_DROPDOWN);
    detailChoice->SetSelection(3);
    kindBox->Add(detailChoice);
    // The kinds and the weights side by side: one column of eight boxes
    // would make the pane too tall for a laptop's screen.
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    auto* kindColumn = new wxBoxSizer(wxVERTICAL);
    auto* weightColumn = new wxBoxSizer(wxVERTICAL);
    columns->Add(kindColumn);
    columns->AddSpacer(8);
    columns->Add(weightColumn);
    kindBox->AddSpacer(4);
    kindBox->Add(columns);
    auto check = [&](wxSizer* column, const wxString& text, bool ticked) {
        auto* box = new wxCheckBox(kinds, wxID_ANY, text);
        box->SetValue(ticked);
        column->Add(box);
        return box;
    };
    configCheck = check(kindColumn, L"Изменения конфигурации", true);
    discreteCheck = check(kindColumn, L"Состояние дискретных входов", false);
    relayCheck = check(kindColumn, L"Cостояние реле, режима работы и сирены", false); // Latin "C"
    weightChecks[0] = check(weightColumn, L"Показ суммарного веса", true);
    for (int g = 1; g <= 4; ++g)
        weightChecks[g] = check(weightColumn, wxString::Format(L"Показ веса группы %d", g), true);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddSpacer(8);
    row->Add(rangeBox, 0, wxEXPAND); // as tall as its neighbour: the first two lines stretch
    row->AddSpacer(8);
    row->Add(kindBox, 0, wxEXPAND);
    row->AddSpacer(8);

    auto* paneSizer = new wxBoxSizer(wxVERTICAL);
    paneSizer->Add(row);
    paneSizer->Add(new wxButton(pane, CmdApplyFilter, L"Наложить фильтр"), 0, wxEXPAND);

    setMaxCount(1000);
    return paneSizer;
}

PrintPanel* MainFrame::selectedPage() const {
    int selected = notebook->GetSelection();
    return selected == wxNOT_FOUND ? nullptr
                                   : static_cast<PrintPanel*>(notebook->GetPage(selected));
}

void MainFrame::onPrint(wxCommandEvent&) {
    if (PrintPanel* page = selectedPage()) page->printPage();
}

void MainFrame::onPageSetup(wxCommandEvent&) {
    if (PrintPanel* page = selectedPage()) page->pageSetup();
}

void MainFrame::onPreview(wxCommandEvent&) {
    if (PrintPanel* page = selectedPage()) page->previewPage();
}

void MainFrame::onExit(wxCommandEvent&) {
    ExitDialog dialog(this);
    if (dialog.ShowModal() == wxID_YES) Close();
}

void MainFrame::onAbout(wxCommandEvent&) {
    showAboutBox(this);
}

void MainFrame::onHelp(wxCommandEvent&) {
    wxGetApp().helpController->Display(L"Справка Грувик2");
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(MainFrame, wxFrame)
    EVT_CLOSE(MainFrame::onClose)
    EVT_MENU(CmdConnect, MainFrame::onConnect)
    EVT_MENU(wxID_OPEN, MainFrame::onOpen)
    EVT_MENU(wxID_SAVE, MainFrame::onSave)
    EVT_MENU(CmdExport, MainFrame::onExport)
    EVT_MENU(CmdPrint, MainFrame::onPrint)
    EVT_MENU(CmdPageSetup, MainFrame::onPageSetup)
    EVT_MENU(CmdPreview, MainFrame::onPreview)
    EVT_MENU(CmdExit, MainFrame::onExit)
    EVT_MENU(CmdAbout, MainFrame::onAbout)
    EVT_MENU(CmdHelp, MainFrame::onHelp)
    EVT_BUTTON(CmdPickStart, MainFrame::onPickStart)
    EVT_BUTTON(CmdFirstRecord, MainFrame::onFirstRecord)
    EVT_BUTTON(CmdPickEnd, MainFrame::onPickEnd)
    EVT_BUTTON(CmdLastRecord, MainFrame::onLastRecord)
    EVT_BUTTON(CmdApplyFilter, MainFrame::onApplyFilter)
    EVT_BUTTON(CmdLastHour, MainFrame::onLastHour)
    EVT_BUTTON(CmdLastDay, MainFrame::onLastDay)
    EVT_BUTTON(CmdLastWeek, MainFrame::onLastWeek)
    EVT_TEXT_ENTER(CmdStartHour, MainFrame::onTimeEntered)
    EVT_TEXT_ENTER(CmdStartMinute, MainFrame::onTimeEntered)
    EVT_TEXT_ENTER(CmdStartSecond, MainFrame::onTimeEntered)
    EVT_TEXT_ENTER(CmdEndHour, MainFrame::onTimeEntered)
    EVT_TEXT_ENTER(CmdEndMinute, MainFrame::onTimeEntered)
    EVT_TEXT_ENTER(CmdEndSecond, MainFrame::onTimeEntered)
    EVT_TEXT_ENTER(CmdMaxCount, MainFrame::onCountEntered)
wxEND_EVENT_TABLE()
