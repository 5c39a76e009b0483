// The toolkit speaking Russian while numbers and documents stay as the
// command line makes them; the keys that answer the dialogs.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <libintl.h>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/progdlg.h>
#include <wx/stdpaths.h>
#include <wx/strconv.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include "app/DialogProgress.h"
#include "app/ExitDialog.h"
#include "app/MainFrame.h"
#include "app/UnsavedDialog.h"
#include "gui/CalDialog.h"
#include "gui/GuiTest.h"
#include "pages/TextLog.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"
#include "testsupport/TempDir.h"

using guitest::utf8;

namespace {
bool russianLocaleInstalled() {
    const char* time = std::setlocale(LC_TIME, nullptr);
    return time && std::string(time).rfind("ru_RU", 0) == 0;
}

// Esc to the focused dialog, the way a user presses it.
void pressEscape(wxDialog& dialog) {
    dialog.SetFocus();
    guitest::waitFor([] { return false; }, 200);
    wxUIActionSimulator().Char(WXK_ESCAPE);
}
} // namespace

TEST(Russian, TheCalendarNamesMonthsAndDaysInRussian) {
    if (!russianLocaleInstalled()) GTEST_SKIP() << "the system has no ru_RU.UTF-8 locale";
    CalDialog dialog(nullptr, wxDateTime(1, wxDateTime::Mar, 2025));
    auto* months = dynamic_cast<wxChoice*>(dialog.calendar->GetMonthControl());
    ASSERT_NE(months, nullptr);
    EXPECT_EQ(utf8(months->GetString(0)), "Январь");
    EXPECT_EQ(utf8(months->GetString(2)), "Март");
    EXPECT_EQ(utf8(wxDateTime::GetWeekDayName(wxDateTime::Mon, wxDateTime::Name_Abbr)), "Пн");
}

TEST(Russian, GtkDialogsTakeTheRussianCatalogs) {
    // The file chooser's and the print dialog's texts, as GTK looks them up.
    EXPECT_EQ(std::string(dgettext("gtk30", "_Cancel")), "_Отмена");
    EXPECT_EQ(std::string(dgettext("gtk30", "Print")), "Печать");
}

TEST(Russian, NumbersAndDocumentsStayAsTheCommandLineMakesThem) {
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    char number[32];
    std::snprintf(number, sizeof number, "%.2f", 1234.5);
    EXPECT_STREQ(number, "1234.50");

    // The journal of the window is byte for byte the command line's, which
    // runs in the C locale.
    ScopedTZ tz("Europe/Moscow");
    TempDir dir;
    RecorderImage sample;
    synthesizeSampleMemory(sample);
    const std::string image = dir.file("sample.rpd"), out = dir.file("journal.html");
    sample.save(image);
    const wxString cli =
        wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath() + L"/gruvik2-cli";
    const std::string command = "LC_ALL=C TZ=Europe/Moscow '" + utf8(cli) + "' journal '" + image +
                                "' --level 1 --max 0 --out '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    auto* frame = new MainFrame;
    ASSERT_TRUE(frame->openImageFile(wxString::FromUTF8(image)));
    FilterSettings all = frame->filters().settings();
    all.detail = 0;
    all.maxCount = 0;
    frame->filters().show(all, false, false);
    frame->applyFilter(nullptr);
    const wxString shown =
        wxString::FromUTF8(guitest::journalDocument(*controlsOf(*frame).journalPage));
    frame->Destroy();
    EXPECT_TRUE(shown == wxString(bytes.data(), wxCSConv(wxFONTENCODING_CP1251), bytes.size()));
    EXPECT_GT(bytes.size(), 1000u);
}

TEST(Russian, EscAnswersNoInTheExitAndDateDialogs) {
    ExitDialog exit(nullptr);
    EXPECT_EQ(guitest::runModal(exit, pressEscape), wxID_NO);
    CalDialog date(nullptr, wxDateTime(1, wxDateTime::Mar, 2025));
    EXPECT_EQ(guitest::runModal(date, pressEscape), wxID_NO);
}

TEST(Russian, TheUnsavedQuestionCancelsOnEscAndEnter) {
    UnsavedDialog escape(nullptr, L"copy.rpd");
    EXPECT_EQ(guitest::runModal(escape, pressEscape), wxID_CANCEL);
    UnsavedDialog enter(nullptr, L"copy.rpd");
    EXPECT_EQ(guitest::runModal(enter, [](wxDialog& d) { guitest::pressEnterIn(&d); }),
              wxID_CANCEL);
    UnsavedDialog save(nullptr, L"copy.rpd");
    EXPECT_EQ(
        guitest::runModal(save, [](wxDialog& d) { guitest::clickOn(d.FindWindow(wxID_YES)); }),
        wxID_YES);
}

TEST(Russian, EnterDoesNotCancelAProgressDialogButAClickDoes) {
    DialogProgress progress(nullptr, L"Считывание данных", L"Подготовка", 100);
    ASSERT_TRUE(progress.update(1, "1"));
    auto spin = [&](int ms) {
        bool going = true;
        for (int i = 0; i < ms / 10 && going; ++i) {
            going = progress.update(2, "2");
            wxMilliSleep(10);
        }
        return going;
    };
    spin(300);
    wxWindow* dialog = nullptr;
    for (wxWindow* w : wxTopLevelWindows)
        if (dynamic_cast<wxGenericProgressDialog*>(w)) dialog = w;
    ASSERT_NE(dialog, nullptr);
    dialog->Raise();
    dialog->SetFocus();
    spin(300);
    // Enter with the pointer over the cancel button, as a user leaves it.
    guitest::pressEnterIn(dialog);
    EXPECT_TRUE(spin(500)) << "Enter cancelled";
    // The dialog does take input: a click on the button cancels.
    guitest::clickOn(dialog->FindWindow(wxID_CANCEL));
    EXPECT_FALSE(spin(1000));
}
