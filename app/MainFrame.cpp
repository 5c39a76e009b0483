#include "app/MainFrame.h"

#include <algorithm>

#include <wx/accel.h>
#include <wx/collpane.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/html/helpctrl.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/toolbar.h>

#include "app/AboutBox.h"
#include "app/ExitDialog.h"
#include "app/GruvikApp.h"
#include "gui/DialogLook.h"
#include "gui/Pictures.h"
#include "gui/PrintPanel.h"
#include "history/Archive.h"
#include "pages/GraphWindow.h"
#include "pages/HistoryWindow.h"
#include "pages/ReportWindow.h"
#include "pages/SetupWindow.h"
#include "pages/TextLog.h"

wxImageList pageImages(16, 16, true, 1);

namespace {
const wchar_t* const ConnectHelp =
    L"Подключиться к устройству считывания данных из регистратора параметров и считать данные";
const wchar_t* const OpenHelp = L"Открыть файл для просмотра";
const wchar_t* const SaveHelp = L"Сохранить просматриваемые данные в файле";
const wchar_t* const PrintHelp = L"Распечатать документ на принтере";

// An image file dropped on the window opens as if chosen in the open dialog.
class ImageDropTarget : public wxFileDropTarget {
public:
    explicit ImageDropTarget(MainFrame& frame) : frame_(frame) {}
    bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
        return !files.empty() && frame_.openDroppedFile(files[0]);
    }

private:
    MainFrame& frame_;
};

// Esc closes the help window, whichever of its parts has the focus.
void closeOnEscape(wxKeyEvent& event) {
    auto* window = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (event.GetKeyCode() == WXK_ESCAPE && event.GetModifiers() == wxMOD_NONE && window) {
        if (wxWindow* top = wxGetTopLevelParent(window)) top->Close();
        return;
    }
    event.Skip();
}

// The pages scroll or scale to any size; this much room keeps them usable
// beside the open filter pane on a laptop's screen.
const wxSize PageAreaMinSize(480, 240);
// The window opens this large where the screen has the room: the graph's
// texts stay readable, and the open filter pane leaves the pages room.
const wxSize PreferredWindowSize(1100, 700);

} // namespace

const wchar_t* const ProgramTitle = L"Грувик2 1.0.0";

namespace {
// The archive's folder of the environment; none when it names none (no home
// folder), which the archive's commands then report.
std::string defaultArchiveFolder() {
    try {
        return Archive::defaultFolder();
    } catch (const std::exception&) {
        return {};
    }
}
} // namespace

MainFrame::MainFrame()
    : wxFrame(nullptr, wxID_ANY, ProgramTitle), archiveFolder(defaultArchiveFolder()) {
    buildMenus();
    CreateStatusBar(1, wxSTB_SIZEGRIP | wxFULL_REPAINT_ON_RESIZE);
    buildToolBar();
    buildNotebook();

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(notebook, 1, wxEXPAND);
    filterPane = new FilterPane(this);
    static_cast<FilterPaneControls&>(*this) = filterPane->controls();
    sizer->Add(filterPane, 0, wxEXPAND);
    filterPane->Bind(wxEVT_COLLAPSIBLEPANE_CHANGED,
                     [this](wxCollapsiblePaneEvent&) { fitFilterPane(); });
    SetSizer(sizer);
    sizer->SetSizeHints(this);
    // The desktop's keys beside the Alt keys of the menu.
    wxAcceleratorEntry keys[] = {{wxACCEL_CTRL, 'O', wxID_OPEN},
                                 {wxACCEL_CTRL, 'S', wxID_SAVE},
                                 {wxACCEL_CTRL, 'P', CmdPrint},
                                 {wxACCEL_CTRL, 'Q', CmdExit}};
    SetAcceleratorTable(wxAcceleratorTable(int(std::size(keys)), keys));
    SetDropTarget(new ImageDropTarget(*this));
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
    return filterPane->tickedWeights();
}

void MainFrame::buildMenus() {
    auto* file = new wxMenu;
    file->Append(CmdConnect, L"&Подключиться\tAlt-C", ConnectHelp);
    file->Append(wxID_OPEN, L"Открыть\tAlt-O", OpenHelp);
    file->Append(wxID_SAVE, L"Сохранить\tAlt-S", SaveHelp);
    file->Append(CmdExport, L"&Экспорт", L"Сохранить журнал событий и протокол в файлах CSV");
    file->Append(CmdToArchive, L"В &архив", L"Сохранить открытый образ в архиве считываний");
    file->Append(CmdFleet, L"Пар&к кранов",
                 L"Регистраторы архива считываний: израсходованный ресурс и отметки");
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
    historyPage = new HistoryWindow(notebook, session);
    notebook->AddPage(protocolPage, L"Протокол", true, 0);
    notebook->AddPage(graphPage, L"График", false, 1);
    notebook->AddPage(journalPage, L"Журнал", true, 3);
    notebook->AddPage(settingsPage, L"Настройка", false, 2);
    notebook->AddPage(historyPage, L"История", false, 0);
    notebook->SetMinSize(PageAreaMinSize);
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

void MainFrame::onUpdatePrint(wxUpdateUIEvent& event) {
    const PrintPanel* page = selectedPage();
    event.Enable(page && page->printable());
}

void MainFrame::onExit(wxCommandEvent&) {
    ExitDialog dialog(this);
    if (dialog.ShowModal() == wxID_YES) Close();
}

void MainFrame::onAbout(wxCommandEvent&) {
    showAboutBox(this);
}

void MainFrame::onHelp(wxCommandEvent&) {
    // The help page of the notebook page in view.
    const wxWindow* page = selectedPage();
    const wchar_t* topic = page == journalPage    ? L"journal.html"
                           : page == graphPage    ? L"graph.html"
                           : page == protocolPage ? L"protocol.html"
                           : page == settingsPage ? L"settings.html"
                           : page == historyPage  ? L"archive.html"
                                                  : L"index.html";
    wxHtmlHelpController* help = wxGetApp().helpController;
    if (!help->Display(topic)) help->Display(L"Справка Грувик2");
    if (wxWindow* window = help->GetFrame()) {
        window->Unbind(wxEVT_CHAR_HOOK, &closeOnEscape); // once per window
        window->Bind(wxEVT_CHAR_HOOK, &closeOnEscape);
    }
}

bool MainFrame::openDroppedFile(const wxString& path) {
    if (!confirmDiscardChanges()) return false;
    return openImageFile(path);
}

// The event table closes the file: clang-format cannot read its macros.
// clang-format off
wxBEGIN_EVENT_TABLE(MainFrame, wxFrame)
    EVT_CLOSE(MainFrame::onClose)
    EVT_MENU(CmdConnect, MainFrame::onConnect)
    EVT_MENU(wxID_OPEN, MainFrame::onOpen)
    EVT_MENU(wxID_SAVE, MainFrame::onSave)
    EVT_MENU(CmdExport, MainFrame::onExport)
    EVT_MENU(CmdToArchive, MainFrame::onToArchive)
    EVT_MENU(CmdFleet, MainFrame::onFleet)
    EVT_MENU(CmdPrint, MainFrame::onPrint)
    EVT_MENU(CmdPageSetup, MainFrame::onPageSetup)
    EVT_MENU(CmdPreview, MainFrame::onPreview)
    EVT_UPDATE_UI(CmdPrint, MainFrame::onUpdatePrint)
    EVT_UPDATE_UI(CmdPageSetup, MainFrame::onUpdatePrint)
    EVT_UPDATE_UI(CmdPreview, MainFrame::onUpdatePrint)
    EVT_MENU(CmdExit, MainFrame::onExit)
    EVT_MENU(CmdAbout, MainFrame::onAbout)
    EVT_MENU(CmdHelp, MainFrame::onHelp)
    EVT_BUTTON(CmdApplyFilter, MainFrame::onApplyFilter)
wxEND_EVENT_TABLE()
