// The main window as it starts, and the shell's commands.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/collpane.h>
#include <wx/combobox.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include "app/ExitDialog.h"
#include "app/GruvikApp.h"
#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "gui/PrintPanel.h"
#include "pages/GraphWindow.h"
#include "pages/HistoryWindow.h"
#include "pages/ReportWindow.h"
#include "pages/SetupWindow.h"
#include "pages/TextLog.h"

// The exit dialog answers the id it is given.
template <> class wxExpectModal<ExitDialog> : public wxExpectModalBase<ExitDialog> {
public:
    explicit wxExpectModal(int answer) : answer_(answer) {}

protected:
    int OnInvoked(ExitDialog*) const override { return answer_; }
    int answer_;
};

using guitest::MainFrameTest;
using guitest::utf8;

namespace {
wxCommandEvent command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    return event;
}

void sendCommand(wxWindow* frame, int id) {
    wxCommandEvent event = command(id);
    event.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(event);
}

// Counts the print commands that reach it.
class RecordingPage : public PrintPanel {
public:
    explicit RecordingPage(wxWindow* parent) : PrintPanel(parent, wxTAB_TRAVERSAL) {}
    void printPage() override { ++printed; }
    void pageSetup() override { ++setUp; }
    void previewPage() override { ++previewed; }
    int printed = 0, setUp = 0, previewed = 0;
};
} // namespace

TEST_F(MainFrameTest, StartsOnTheJournalWithTheFilterAtItsDefaults) {
    EXPECT_EQ(utf8(frame->GetTitle()), "Грувик2 1.0.0");
    EXPECT_EQ(
        utf8(controlsOf(*frame).notebook->GetPageText(controlsOf(*frame).notebook->GetSelection())),
        "Журнал");
    EXPECT_TRUE(controlsOf(*frame).filterPane->IsCollapsed());
    EXPECT_EQ(utf8(controlsOf(*frame).countField->GetValue()), "1000");
    EXPECT_EQ(frame->filters().maxCount(), 1000u);
    EXPECT_EQ(utf8(controlsOf(*frame).directionChoice->GetValue()), "по указанную дату");
    EXPECT_EQ(controlsOf(*frame).directionChoice->GetSelection(), 1);
    EXPECT_EQ(utf8(controlsOf(*frame).detailChoice->GetValue()), "4 - Только факты перегрузок");
    EXPECT_EQ(controlsOf(*frame).detailChoice->GetSelection(), 3);
    EXPECT_EQ(frame->filters().rangeStart(), 0);
    EXPECT_EQ(frame->filters().rangeEnd(), 0);

    const struct {
        wxCheckBox* box;
        const char* text;
        bool ticked;
    } checks[] = {
        {controlsOf(*frame).configCheck, "Изменения конфигурации", true},
        {controlsOf(*frame).discreteCheck, "Состояние дискретных входов", false},
        {controlsOf(*frame).relayCheck, "Cостояние реле, режима работы и сирены", false},
        {controlsOf(*frame).weightChecks[0], "Показ суммарного веса", true},
        {controlsOf(*frame).weightChecks[1], "Показ веса группы 1", true},
        {controlsOf(*frame).weightChecks[2], "Показ веса группы 2", true},
        {controlsOf(*frame).weightChecks[3], "Показ веса группы 3", true},
        {controlsOf(*frame).weightChecks[4], "Показ веса группы 4", true},
    };
    for (const auto& c : checks) {
        EXPECT_EQ(utf8(c.box->GetLabel()), c.text);
        EXPECT_EQ(c.box->GetValue(), c.ticked) << c.text;
    }
    // The relay box starts with a Latin C, the discrete one with a Cyrillic С.
    EXPECT_EQ(controlsOf(*frame).relayCheck->GetLabel()[0], wxUniChar('C'));
    EXPECT_EQ(controlsOf(*frame).discreteCheck->GetLabel()[0], wxUniChar(0x0421));

    for (wxTextCtrl* field :
         {controlsOf(*frame).startDay, controlsOf(*frame).startMonth, controlsOf(*frame).startYear,
          controlsOf(*frame).startHour, controlsOf(*frame).startMinute,
          controlsOf(*frame).startSecond, controlsOf(*frame).endDay, controlsOf(*frame).endMonth,
          controlsOf(*frame).endYear, controlsOf(*frame).endHour, controlsOf(*frame).endMinute,
          controlsOf(*frame).endSecond})
        EXPECT_TRUE(field->IsEmpty());
}

TEST_F(MainFrameTest, NotebookHasFiveTabsWithTheirBalls) {
    const struct {
        const char* text;
        int image;
    } tabs[] = {{"Протокол", 0}, {"График", 1}, {"Журнал", 3}, {"Настройка", 2}, {"История", 0}};
    ASSERT_EQ(controlsOf(*frame).notebook->GetPageCount(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(utf8(controlsOf(*frame).notebook->GetPageText(i)), tabs[i].text);
        EXPECT_EQ(controlsOf(*frame).notebook->GetPageImage(i), tabs[i].image) << tabs[i].text;
    }
    EXPECT_EQ(controlsOf(*frame).notebook->GetPage(0), controlsOf(*frame).protocolPage);
    EXPECT_EQ(controlsOf(*frame).notebook->GetPage(1),
              static_cast<wxWindow*>(controlsOf(*frame).graphPage));
    EXPECT_EQ(controlsOf(*frame).notebook->GetPage(2), controlsOf(*frame).journalPage);
    EXPECT_EQ(controlsOf(*frame).notebook->GetPage(3), controlsOf(*frame).settingsPage);
    EXPECT_EQ(controlsOf(*frame).notebook->GetPage(4),
              static_cast<wxWindow*>(controlsOf(*frame).historyPage));

    ASSERT_EQ(pageImages.GetImageCount(), 4);
    for (int i = 0; i < 4; ++i) {
        wxBitmap ball = pageImages.GetBitmap(i);
        EXPECT_EQ(ball.GetSize(), wxSize(16, 16));
        ASSERT_NE(ball.GetMask(), nullptr) << "ball " << i << " has no mask";
        // The mask comes from the picture: corners transparent, centre drawn.
        wxImage image = ball.ConvertToImage();
        ASSERT_TRUE(image.HasMask());
        EXPECT_TRUE(image.IsTransparent(0, 0)) << "ball " << i;
        EXPECT_FALSE(image.IsTransparent(8, 8)) << "ball " << i;
    }
}

TEST_F(MainFrameTest, MenusCarryTheirIdsTextsAndHelp) {
    const struct {
        int menu;
        int id;
        const char* text;
        const char* help;
    } items[] = {
        {0, 506, "&Подключиться\tAlt-C",
         "Подключиться к устройству считывания данных из регистратора параметров и считать "
         "данные"},
        {0, 5000, "Открыть\tAlt-O", "Открыть файл для просмотра"},
        {0, 5003, "Сохранить\tAlt-S", "Сохранить просматриваемые данные в файле"},
        {0, 530, "&Экспорт", "Сохранить журнал событий и протокол в файлах CSV"},
        {0, 531, "В &архив", "Сохранить открытый образ в архиве считываний"},
        {0, 532, "Пар&к кранов",
         "Регистраторы архива считываний: израсходованный ресурс и отметки"},
        {0, 500, "&Распечатать\tAlt-P", "Распечатать документ на принтере"},
        {0, 501, "&Параметры страницы", "Настройка параметров страницы для печати"},
        {0, 502, "&Предварительный просмотр",
         "Предварительный просмотр документа перед распечаткой"},
        {0, 503, "&Выйти\tAlt-X", "Завершение работы с программой"},
        {1, 504, "О программе", "Показать информацию о программе"},
        {1, 505, "Справка\tF1", "Показать справку"},
    };
    ASSERT_EQ(controlsOf(*frame).menuBar->GetMenuCount(), 2u);
    EXPECT_EQ(utf8(controlsOf(*frame).menuBar->GetMenuLabel(0)), "&Файл");
    EXPECT_EQ(utf8(controlsOf(*frame).menuBar->GetMenuLabel(1)), "&Помощь");
    for (const auto& item : items) {
        wxMenuItem* found = controlsOf(*frame).menuBar->GetMenu(item.menu)->FindChildItem(item.id);
        ASSERT_NE(found, nullptr) << item.id;
        EXPECT_EQ(utf8(found->GetItemLabel()), item.text);
        EXPECT_EQ(utf8(found->GetHelp()), item.help);
    }
    EXPECT_EQ(controlsOf(*frame).menuBar->GetMenu(0)->GetMenuItemCount(),
              12u); // with two separators
    EXPECT_EQ(controlsOf(*frame).menuBar->GetMenu(1)->GetMenuItemCount(), 3u);
}

TEST_F(MainFrameTest, ToolBarHoldsFiveToolsWithPicturesAndHelp) {
    const struct {
        int id;
        const char* label;
        const char* help;
    } tools[] = {
        {506, "Считать",
         "Подключиться к устройству считывания данных из регистратора параметров и считать "
         "данные"},
        {5000, "Открыть", "Открыть файл для просмотра"},
        {5003, "Сохранить", "Сохранить просматриваемые данные в файле"},
        {500, "Распечатать", "Распечатать документ на принтере"},
        {503, "Выйти", "Завершить работу с программой"},
    };
    EXPECT_EQ(controlsOf(*frame).toolBar->GetToolsCount(), 7u); // with two separators
    for (const auto& t : tools) {
        const wxToolBarToolBase* tool = controlsOf(*frame).toolBar->FindById(t.id);
        ASSERT_NE(tool, nullptr) << t.id;
        EXPECT_EQ(utf8(tool->GetLabel()), t.label);
        EXPECT_EQ(utf8(tool->GetLongHelp()), t.help);
        EXPECT_TRUE(tool->GetShortHelp().empty());
        EXPECT_EQ(tool->GetNormalBitmap().GetSize(), wxSize(32, 32)) << t.label;
    }
}

TEST_F(MainFrameTest, FilterControlsCarryTheirIdsAndLabels) {
    const struct {
        int id;
        const char* label;
    } buttons[] = {
        {507, ">>"},
        {508, "Первая запись"},
        {509, ">>"},
        {510, "Последняя запись"},
        {519, "Последний час"},
        {520, "Последний день"},
        {521, "Последняя неделя"},
        {522, "Наложить фильтр"},
    };
    for (const auto& b : buttons) {
        auto* button =
            dynamic_cast<wxButton*>(controlsOf(*frame).filterPane->GetPane()->FindWindow(b.id));
        ASSERT_NE(button, nullptr) << b.id;
        EXPECT_EQ(utf8(button->GetLabel()), b.label);
    }
    EXPECT_EQ(controlsOf(*frame).firstRecordButton->GetId(), 508);
    EXPECT_EQ(controlsOf(*frame).lastRecordButton->GetId(), 510);

    wxTextCtrl* timeFields[] = {controlsOf(*frame).startHour,   controlsOf(*frame).startMinute,
                                controlsOf(*frame).startSecond, controlsOf(*frame).endHour,
                                controlsOf(*frame).endMinute,   controlsOf(*frame).endSecond};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(timeFields[i]->GetId(), 512 + i);
        EXPECT_TRUE(timeFields[i]->IsEditable());
        EXPECT_TRUE(timeFields[i]->HasFlag(wxTE_PROCESS_ENTER));
    }
    EXPECT_EQ(controlsOf(*frame).countField->GetId(), 518);
    EXPECT_TRUE(controlsOf(*frame).countField->HasFlag(wxTE_PROCESS_ENTER));
    for (wxTextCtrl* date :
         {controlsOf(*frame).startDay, controlsOf(*frame).startMonth, controlsOf(*frame).startYear,
          controlsOf(*frame).endDay, controlsOf(*frame).endMonth, controlsOf(*frame).endYear})
        EXPECT_FALSE(date->IsEditable());

    // Never narrower than the classic sizes; the year wider than the day.
    for (wxTextCtrl* f : {controlsOf(*frame).startHour, controlsOf(*frame).startDay,
                          controlsOf(*frame).endSecond, controlsOf(*frame).endMonth})
        EXPECT_GE(f->GetSize().x, 24);
    EXPECT_GE(controlsOf(*frame).startYear->GetSize().x, 40);
    EXPECT_GT(controlsOf(*frame).startYear->GetSize().x, controlsOf(*frame).startDay->GetSize().x);
    EXPECT_GE(controlsOf(*frame).countField->GetSize().x, 60);

    for (wxComboBox* box : {controlsOf(*frame).directionChoice, controlsOf(*frame).detailChoice})
        EXPECT_TRUE(box->HasFlag(wxCB_READONLY));
    EXPECT_EQ(controlsOf(*frame).directionChoice->GetCount(), 2u);
    EXPECT_EQ(controlsOf(*frame).detailChoice->GetCount(), 5u);
    EXPECT_EQ(utf8(controlsOf(*frame).detailChoice->GetString(4)),
              "5 - Только вкл/выкл, сбои датчиков силы и считывание данных");
}

// Typing through the X server: the hour, minute and second fields take two
// digits, the count field seven, the date fields nothing.
TEST_F(MainFrameTest, TypingRespectsLengthLimitsAndReadOnlyFields) {
    controlsOf(*frame).filterPane->Expand();
    ASSERT_TRUE(guitest::waitFor([&] { return controlsOf(*frame).countField->IsShownOnScreen(); }));
    const struct {
        wxTextCtrl* field;
        const char* expected;
    } cases[] = {
        {controlsOf(*frame).startHour, "12"},       {controlsOf(*frame).endSecond, "12"},
        {controlsOf(*frame).countField, "1234567"}, {controlsOf(*frame).startDay, ""},
        {controlsOf(*frame).endYear, ""},
    };
    for (const auto& c : cases) {
        c.field->ChangeValue(wxEmptyString);
        c.field->SetFocus();
        ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == c.field; }));
        wxUIActionSimulator().Text("123456789");
        guitest::waitFor([&] { return utf8(c.field->GetValue()) == c.expected; }, 1000);
        EXPECT_EQ(utf8(c.field->GetValue()), c.expected);
    }
}

TEST_F(MainFrameTest, WindowCannotBeMadeSmallerThanItsContent) {
    wxSize min = frame->GetMinSize();
    EXPECT_EQ(min, frame->GetSizer()->GetMinSize() + (frame->GetSize() - frame->GetClientSize()));
    frame->SetSize(100, 100);
    EXPECT_GE(frame->GetSize().x, min.x);
    EXPECT_GE(frame->GetSize().y, min.y);
}

TEST_F(MainFrameTest, PrintCommandsGoToTheSelectedPage) {
    auto* page = new RecordingPage(controlsOf(*frame).notebook);
    controlsOf(*frame).notebook->AddPage(page, L"test", true);
    for (int id : {500, 501, 502, 500})
        sendCommand(frame, id);
    EXPECT_EQ(page->printed, 2);
    EXPECT_EQ(page->setUp, 1);
    EXPECT_EQ(page->previewed, 1);

    // "Настройка" has nothing to print: no dialog, and no other page is asked.
    controlsOf(*frame).notebook->SetSelection(3);
    for (int id : {500, 501, 502})
        sendCommand(frame, id);
    EXPECT_EQ(page->printed + page->setUp + page->previewed, 4);
    EXPECT_FALSE(closing());
}

TEST_F(MainFrameTest, ExitToolAndMenuBothAsk) {
    // Both ways the command travels: from the tool bar and from the menu.
    wxTEST_DIALOG(controlsOf(*frame).toolBar->OnLeftClick(CmdExit, false),
                  wxExpectModal<ExitDialog>(wxID_NO));
    EXPECT_FALSE(closing());
    wxTEST_DIALOG(controlsOf(*frame).menuBar->GetMenu(0)->SendEvent(CmdExit),
                  wxExpectModal<ExitDialog>(wxID_NO));
    EXPECT_FALSE(closing());
    wxTEST_DIALOG(controlsOf(*frame).toolBar->OnLeftClick(CmdExit, false),
                  wxExpectModal<ExitDialog>(wxID_YES));
    EXPECT_TRUE(closing());
}

TEST_F(MainFrameTest, ExitMenuAnswerYesCloses) {
    wxTEST_DIALOG(controlsOf(*frame).menuBar->GetMenu(0)->SendEvent(CmdExit),
                  wxExpectModal<ExitDialog>(wxID_YES));
    EXPECT_TRUE(closing());
}

TEST_F(MainFrameTest, AltXAsksToo) {
    controlsOf(*frame).notebook->SetFocus();
    ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() != nullptr; }));
    wxTEST_DIALOG(
        {
            wxUIActionSimulator().Char('x', wxMOD_ALT);
            guitest::waitFor([&] { return false; }, 300);
        },
        wxExpectModal<ExitDialog>(wxID_NO));
    EXPECT_FALSE(closing());
}

TEST_F(MainFrameTest, CloseBoxEndsWithoutAsking) {
    frame->Close(); // the dialog guard fails the test if anything asks
    EXPECT_TRUE(closing());
}

TEST_F(MainFrameTest, EnterInTheExitDialogAnswersNo) {
    guitest::runCommandWithModal([&] { sendCommand(frame, CmdExit); },
                                 [](wxDialog& dialog) { guitest::pressEnterIn(&dialog); });
    EXPECT_FALSE(closing());
}

TEST_F(MainFrameTest, ClosingTheExitDialogKeepsTheProgramRunning) {
    guitest::runCommandWithModal([&] { sendCommand(frame, CmdExit); },
                                 [](wxDialog& dialog) { dialog.Close(); });
    EXPECT_FALSE(closing());
}

TEST_F(MainFrameTest, ExitDialogYesButtonClosesTheWindow) {
    guitest::runCommandWithModal(
        [&] { sendCommand(frame, CmdExit); },
        [](wxDialog& dialog) { guitest::clickOn(dialog.FindWindow(wxID_YES)); });
    EXPECT_TRUE(closing());
}

namespace {
// Inspects the about box instead of showing it.
class AboutBoxCheck : public wxExpectModalBase<wxDialog, AboutBoxCheck> {
protected:
    int OnInvoked(wxDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetTitle()), "О программе");
        auto* view = dynamic_cast<wxHtmlWindow*>(dialog->FindWindow(wxString(L"htmlWindow")));
        if (!view) {
            ADD_FAILURE() << "no view named htmlWindow";
            return wxID_OK;
        }
        const wxHtmlContainerCell* content = view->GetInternalRepresentation();
        EXPECT_EQ(view->GetSize(), wxSize(content->GetWidth(), content->GetHeight()));
        EXPECT_GE(content->GetWidth(), 200);  // the logo fits across
        EXPECT_GT(content->GetHeight(), 160); // the logo and the text below it
        EXPECT_FALSE(view->HasScrollbar(wxVERTICAL));
        EXPECT_FALSE(view->HasScrollbar(wxHORIZONTAL));
        // The dialog is fitted around the view, its line and the button.
        EXPECT_EQ(dialog->GetClientSize(), dialog->GetSizer()->GetMinSize());
        std::string text = utf8(view->ToText());
        EXPECT_NE(text.find("Грувик2"), std::string::npos) << text;
        EXPECT_NE(text.find("1.0.0"), std::string::npos) << text;
        EXPECT_NE(text.find("Разработчики программы Грувик2"), std::string::npos) << text;
        auto* ok = dialog->FindWindow(wxID_OK);
        EXPECT_NE(ok, nullptr);
        return wxID_OK;
    }
};
} // namespace

TEST_F(MainFrameTest, AboutBoxViewIsSizedToItsContent) {
    wxTEST_DIALOG(sendCommand(frame, CmdAbout), AboutBoxCheck());
}

// F1 opens the help page of the notebook page in view; Esc closes it.
TEST_F(MainFrameTest, HelpShowsThePageInViewAndEscapeClosesIt) {
    wxHtmlHelpController* help = wxGetApp().helpController;
    ASSERT_NE(help, nullptr);
    auto* notebook = controlsOf(*frame).notebook;
    notebook->SetSelection(notebook->FindPage(controlsOf(*frame).graphPage));
    sendCommand(frame, CmdHelp);
    ASSERT_NE(help->GetFrame(), nullptr);
    EXPECT_TRUE(guitest::waitFor([&] { return help->GetFrame()->IsShownOnScreen(); }));
    wxString opened = help->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
    EXPECT_TRUE(opened.EndsWith(L"graph.html")) << utf8(opened);
    EXPECT_EQ(utf8(help->GetHelpWindow()->GetHtmlWindow()->GetOpenedPageTitle()), "График");

    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(help->GetHelpWindow()->GetHtmlWindow());
    help->GetFrame()->GetEventHandler()->ProcessEvent(escape);
    EXPECT_TRUE(guitest::waitFor(
        [&] { return !help->GetFrame() || !help->GetFrame()->IsShownOnScreen(); }));
}
