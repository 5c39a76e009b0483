// The message box, the date picker and the toolkit's own dialogs, shown for
// real and answered through the X server.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/calctrl.h>
#include <wx/progdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/stockitem.h>
#include <wx/uiaction.h>

#include "app/DialogProgress.h"
#include "app/ExitDialog.h"
#include "app/InfoDialog.h"
#include "app/ToolkitTexts.h"
#include "app/UnsavedDialog.h"
#include "gui/CalDialog.h"
#include "gui/DialogLook.h"
#include "gui/GuiTest.h"
#include "gui/Pictures.h"

using guitest::utf8;

namespace {
const wxDateTime FirstOfMarch(1, wxDateTime::Mar, 2025, 12, 0, 0);

int runCalendar(const std::function<void(CalDialog&)>& act, wxDateTime* chosen) {
    CalDialog dialog(nullptr, FirstOfMarch);
    EXPECT_TRUE(dialog.calendar->GetDate().IsSameDate(FirstOfMarch));
    int result = guitest::runModal(dialog, [&](wxDialog&) { act(dialog); });
    *chosen = dialog.calendar->GetDate();
    return result;
}

// The font's face as the font configuration resolves it for Russian text.
std::string resolvedFamily(const char* pattern) {
    std::string command = std::string("fc-match -f '%{family}' '") + pattern + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    char buffer[256] = {};
    size_t n = fread(buffer, 1, sizeof buffer - 1, pipe);
    pclose(pipe);
    return std::string(buffer, n);
}
} // namespace

TEST(CalDialog, DoubleClickOnADayChoosesIt) {
    wxDateTime chosen;
    int result = runCalendar([](CalDialog& d) { guitest::doubleClickOn(d.calendar); }, &chosen);
    EXPECT_EQ(result, wxID_YES);
    // The middle of the month grid is a day in the middle of the shown month.
    EXPECT_EQ(chosen.GetMonth(), wxDateTime::Mar);
    EXPECT_EQ(chosen.GetYear(), 2025);
    EXPECT_GE(chosen.GetDay(), 5);
    EXPECT_LE(chosen.GetDay(), 25);
}

TEST(CalDialog, ButtonsChooseOrCancel) {
    wxDateTime chosen;
    EXPECT_EQ(runCalendar([](CalDialog& d) { guitest::clickOn(d.FindWindow(wxID_YES)); }, &chosen),
              wxID_YES);
    EXPECT_TRUE(chosen.IsSameDate(FirstOfMarch));
    EXPECT_EQ(runCalendar([](CalDialog& d) { guitest::clickOn(d.FindWindow(wxID_NO)); }, &chosen),
              wxID_NO);
}

TEST(CalDialog, KeepsItsSizeAndLooks) {
    CalDialog dialog(nullptr, FirstOfMarch);
    EXPECT_EQ(utf8(dialog.GetTitle()), "Выберите дату");
    // 360 x 240, or larger where the toolkit's buttons or the month names
    // need it.
    EXPECT_GE(dialog.GetSize().x, 360);
    EXPECT_GE(dialog.GetSize().y, 240);
    EXPECT_LE(dialog.GetSize().y, 260);
    EXPECT_GE(dialog.GetClientSize().x, dialog.GetSizer()->GetMinSize().x);
    EXPECT_GE(dialog.GetClientSize().y, dialog.GetSizer()->GetMinSize().y);
    EXPECT_EQ(dialog.calendar->GetId(), 500);
    EXPECT_EQ(utf8(dialog.calendar->GetName()), "CalendarCtrl");
    EXPECT_EQ(dialog.calendar->GetWindowStyle() & (wxCAL_MONDAY_FIRST | wxCAL_SHOW_HOLIDAYS),
              wxCAL_MONDAY_FIRST | wxCAL_SHOW_HOLIDAYS);
    auto* choose = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_YES));
    ASSERT_NE(choose, nullptr);
    EXPECT_EQ(dialog.GetDefaultItem(), choose);
    std::string labels;
    for (wxWindow* child : dialog.GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child);
            text && text->GetFont().GetFaceName() == L"Times") {
            labels += utf8(text->GetLabel()) + "|";
            EXPECT_EQ(text->GetFont().GetPointSize(), 12);
        }
    EXPECT_EQ(labels, "Выбрать дату|Отменить выбор|");
}

TEST(InfoDialog, ButtonOrEnterReturnsOk) {
    for (bool useEnter : {false, true}) {
        InfoDialog dialog(nullptr, L"Считывание завершено", L"Cчитывание данных успешно завершено",
                          loadPicture(L"bmps/connect.160.png", 160, 160));
        wxWindow* ok = dialog.FindWindow(wxID_OK);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(dialog.GetDefaultItem(), ok);
        int result = guitest::runModal(dialog, [&](wxDialog&) {
            if (useEnter)
                guitest::pressEnter(ok);
            else
                guitest::clickOn(ok);
        });
        EXPECT_EQ(result, wxID_OK) << (useEnter ? "Enter" : "click");
    }
}

TEST(InfoDialog, MessageIsWrappedBesideThePicture) {
    InfoDialog dialog(nullptr, L"Считывание прервано",
                      L"Cчитывание данных прервано, файл не обновлен",
                      loadPicture(L"bmps/connect.160.png", 160, 160));
    EXPECT_EQ(utf8(dialog.GetTitle()), "Считывание прервано");
    wxStaticText* message = nullptr;
    for (wxWindow* child : dialog.GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child)) message = text;
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(utf8(message->GetFont().GetFaceName()), "Times");
    EXPECT_EQ(message->GetFont().GetPointSize(), 14);
    EXPECT_LE(message->GetSize().x, 240);
    EXPECT_GE(dialog.GetClientSize().x, 160 + 12 + message->GetSize().x + 12);
}

TEST(ExitDialog, LaidOutAsAsked) {
    ExitDialog dialog(nullptr);
    EXPECT_EQ(utf8(dialog.GetTitle()), "Выход из программы");
    EXPECT_EQ(dialog.GetSize(), wxSize(400, 192));
    wxWindow* no = dialog.FindWindow(wxID_NO);
    ASSERT_NE(no, nullptr);
    EXPECT_EQ(dialog.GetDefaultItem(), no);
    std::string texts;
    for (wxWindow* child : dialog.GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            wxString label = text->GetLabel();
            label.Replace(L"\n", L" "); // wrapped to the column
            texts += utf8(label) + "|";
            EXPECT_EQ(utf8(text->GetFont().GetFaceName()), "Times");
            EXPECT_EQ(text->GetFont().GetPointSize(), 14);
            // Everything inside the dialog.
            wxRect r = text->GetRect();
            EXPECT_LE(r.GetRight(), dialog.GetClientSize().x);
            EXPECT_LE(r.GetBottom(), dialog.GetClientSize().y);
        }
    EXPECT_EQ(texts, "Вы действительно хотите завершить работу с програмой?|Да|Нет|");
}

// The dialogs' own face, as the system's font matching gives it for Russian
// text: a serif that has the Cyrillic letters.
// The unsaved-changes question opens at its own size, or as large as its
// content needs: no empty half of a window.
TEST(UnsavedDialog, SizedToItsContent) {
    UnsavedDialog dialog(nullptr, L"КК-20 после осмотра.rpd");
    const wxSize content = dialog.GetSizer()->GetMinSize();
    EXPECT_GE(dialog.GetClientSize().x, content.x);
    EXPECT_GE(dialog.GetClientSize().y, content.y);
    const wxSize fitted = dialog.ClientToWindowSize(content);
    EXPECT_LE(dialog.GetSize().x, std::max(560, fitted.x)) << dialog.GetSize().y;
    EXPECT_LE(dialog.GetSize().y, std::max(192, fitted.y)) << dialog.GetSize().x;
    EXPECT_LE(dialog.GetSize().y, 300);
}

TEST(Fonts, DialogFontResolvesToASerifWithCyrillic) {
    const std::string face = utf8(dialogFont(14).GetFaceName());
    ASSERT_FALSE(face.empty());
    std::string family = resolvedFamily((face + ":lang=ru").c_str());
    EXPECT_TRUE(family.find("Roman") != std::string::npos ||
                family.find("Serif") != std::string::npos ||
                family.find("Times") != std::string::npos)
        << face << " resolves to \"" << family << "\"";
}

TEST(ToolkitTexts, ProgressDialogAndStockButtonsAreRussian) {
    EXPECT_EQ(utf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), "Отмена");
    EXPECT_EQ(utf8(wxGetStockLabel(wxID_YES, wxSTOCK_NOFLAGS)), "Да");
    // What the screen shows: a button of a standard kind carries the
    // toolkit's stock item, not the text above.
    EXPECT_EQ(stockButtonLabel("gtk-cancel"), "_Отмена");
    EXPECT_EQ(stockButtonLabel("gtk-close"), "_Закрыть");
    EXPECT_EQ(stockButtonLabel("gtk-yes"), "_Да");
    EXPECT_EQ(stockButtonLabel("gtk-no"), "_Нет");
    // The catalog has "&Open..." (menu form) and "Refresh" (no mnemonic).
    EXPECT_EQ(stockButtonLabel("gtk-open"), "_Открыть");
    EXPECT_EQ(stockButtonLabel("gtk-refresh"), "_Обновить");

    DialogProgress progress(nullptr, L"Считывание", L"Страница 1", 10);
    wxWindow* dialog = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (dynamic_cast<wxGenericProgressDialog*>(w)) dialog = w;
    ASSERT_TRUE(dialog);
    std::vector<std::string> labels;
    for (wxWindow* child : dialog->GetChildren())
        labels.push_back(utf8(wxControl::RemoveMnemonics(child->GetLabel())));
    auto has = [&](const std::string& text) {
        return std::find(labels.begin(), labels.end(), text) != labels.end();
    };
    EXPECT_TRUE(has("Отмена"));
    EXPECT_TRUE(has("Прошло времени:"));
    EXPECT_TRUE(has("Оставшееся время:"));
    EXPECT_FALSE(has("Cancel"));
    EXPECT_FALSE(has("Elapsed time:"));
}
