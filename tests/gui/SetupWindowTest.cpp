// The settings page: what it shows of the passport data, the date buttons, and
// the update that stores the fields, analyses the image and writes the
// writable area into the reader emulator over a pseudo-terminal.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/CalDialog.h"
#include "app/MainFrame.h"
#include "gui/GuiTest.h"
#include "image/WritableView.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/LinkFakes.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"
#include "views/ui/ReportWindow.h"
#include "views/ui/SetupWindow.h"

using guitest::utf8;

namespace {

// Picks a day in the date dialog, or cancels it.
class DateChoice : public wxExpectModalBase<CalDialog, DateChoice> {
public:
    DateChoice(const wxDateTime& date, int id) : date_(date), id_(id) {}

protected:
    int OnInvoked(CalDialog* dialog) const override {
        dialog->calendar->SetDate(date_);
        return id_;
    }

private:
    wxDateTime date_;
    int id_;
};

std::vector<uint8_t> bytesOf(const RecorderImage& image) {
    return {image.data(), image.data() + RecorderImage::ImageSize};
}

class SetupPageTest : public guitest::MainFrameTest {
protected:
    void SetUp() override {
        MainFrameTest::SetUp();
        page = frame->settingsPage;
        ASSERT_TRUE(page);
        frame->notebook->SetSelection(frame->notebook->FindPage(page));
    }

    // The sample recorder with the passport given, analysed.
    void analyseSample(const ImageBuilder::Passport& passport) {
        synthesizeSampleMemory(frame->image);
        RecorderImage scratch;
        ImageBuilder(scratch).header().passport(passport);
        std::copy(scratch.page(0), scratch.page(8), frame->image.page(0));
        frame->analyse();
        ASSERT_FALSE(frame->events.empty());
    }
    void press(int id) {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(page->FindWindow(id));
        page->GetEventHandler()->ProcessEvent(event);
    }
    std::string date(wxTextCtrl* day, wxTextCtrl* month, wxTextCtrl* year) const {
        return utf8(day->GetValue() + L"/" + month->GetValue() + L"/" + year->GetValue());
    }
    std::string installDate() const {
        return date(page->installDay, page->installMonth, page->installYear);
    }
    std::string commissionDate() const {
        return date(page->commissionDay, page->commissionMonth, page->commissionYear);
    }
    std::string protocolHtml() const { return utf8(frame->protocolPage->html); }
    std::vector<wxTextCtrl*> textFields() const {
        std::vector<wxTextCtrl*> all = {
            page->installDay,      page->installMonth,   page->installYear, page->commissionDay,
            page->commissionMonth, page->commissionYear, page->lifeField,   page->textField};
        all.insert(all.end(), page->nameFields.begin(), page->nameFields.end());
        return all;
    }
    // Types text into field through the X server (ASCII only); the field
    // should end up holding kept.
    void typeInto(wxTextCtrl* field, const char* text, const std::string& kept,
                  const std::string& start = "") {
        field->ChangeValue(wxString::FromUTF8(start));
        field->SetInsertionPointEnd();
        field->SetFocus();
        ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == field; }));
        wxUIActionSimulator().Text(text);
        guitest::waitFor([&] { return utf8(field->GetValue()) == kept; });
        const std::string value = utf8(field->GetValue());
        EXPECT_TRUE(value == kept)
            << "holds " << value.size() << " bytes ending in \""
            << value.substr(value.size() - std::min<size_t>(value.size(), 8)) << "\"";
    }

    ScopedTZ tz{"Europe/Moscow"};
    SetupWindow* page = nullptr;
};

TEST_F(SetupPageTest, StartsEmptyWithEightGroupsAndReadOnlyDates) {
    for (wxTextCtrl* field : textFields())
        EXPECT_EQ(utf8(field->GetValue()), "");
    EXPECT_EQ(page->groupChoice->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(utf8(page->groupChoice->GetValue()), "");
    ASSERT_EQ(page->groupChoice->GetCount(), 8u);
    EXPECT_EQ(utf8(page->groupChoice->GetString(0)), "A1");
    EXPECT_EQ(utf8(page->groupChoice->GetString(7)), "A8");
    EXPECT_TRUE(page->groupChoice->HasFlag(wxCB_READONLY));
    for (wxTextCtrl* field : {page->installDay, page->installMonth, page->installYear,
                              page->commissionDay, page->commissionMonth, page->commissionYear})
        EXPECT_FALSE(field->IsEditable());
    EXPECT_TRUE(page->lifeField->IsEditable());
    EXPECT_TRUE(page->textField->IsMultiLine());

    // The buttons, and the update label in its font.
    EXPECT_EQ(utf8(static_cast<wxButton*>(page->FindWindow(CmdPickInstallation))->GetLabel()),
              ">>");
    EXPECT_EQ(utf8(static_cast<wxButton*>(page->FindWindow(CmdPickCommissioning))->GetLabel()),
              ">>");
    EXPECT_TRUE(dynamic_cast<wxBitmapButton*>(page->FindWindow(CmdUpdateRecorder)));
    wxStaticText* updateLabel = nullptr;
    for (wxWindow* child : page->GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child);
            text && utf8(text->GetLabel()) == "Обновить информацию в РП")
            updateLabel = text;
    ASSERT_TRUE(updateLabel);
    EXPECT_EQ(updateLabel->GetFont().GetPointSize(), 14);
}

TEST_F(SetupPageTest, TypedInputStopsAtTheFieldLimits) {
    typeInto(page->lifeField, "123", "12");
    typeInto(page->nameFields[0], "abcdefghijklmnopqrstuvwxyz0123456789",
             "abcdefghijklmnopqrstuvwxyz01234");
    // The text block: 2111 characters, of which "Ж" is one.
    const std::string text = std::string(2105, 'x') + "\nЖ";
    typeInto(page->textField, "abcdef", text + "abcd", text);
}

TEST_F(SetupPageTest, ShowsThePassportOfTheAnalysedImage) {
    ImageBuilder::Passport passport;
    passport.passportGroup = 3;
    passport.text = "Кран козловой\nзав. № 77";
    analyseSample(passport);
    EXPECT_EQ(installDate(), "01/01/2011");
    EXPECT_EQ(commissionDate(), "01/01/2010");
    EXPECT_EQ(utf8(page->lifeField->GetValue()), "20");
    EXPECT_EQ(page->groupChoice->GetSelection(), 2);
    EXPECT_EQ(utf8(page->groupChoice->GetValue()), "A3");
    EXPECT_EQ(utf8(page->textField->GetValue()), "Кран козловой\nзав. № 77");
    EXPECT_EQ(utf8(page->nameFields[0]->GetValue()), "Главный подъём");
    EXPECT_EQ(utf8(page->nameFields[5]->GetValue()), "Поворот");

    // A group no entry stands for shows no selection.
    for (uint8_t group : {0, 9, 255}) {
        *WritableView(frame->image).passportGroup = group;
        frame->applyFilter(nullptr);
        EXPECT_EQ(page->groupChoice->GetSelection(), wxNOT_FOUND) << int(group);
        EXPECT_EQ(utf8(page->groupChoice->GetValue()), "") << int(group);
    }
}

TEST_F(SetupPageTest, APickedDateIsStoredAtOnceAndReachesTheProtocolAtTheNextRegeneration) {
    analyseSample({});
    const std::string before = protocolHtml();
    ASSERT_NE(before.find("01/01/2011"), std::string::npos);

    wxTEST_DIALOG(press(CmdPickInstallation),
                  DateChoice(wxDateTime(15, wxDateTime::Mar, 2023), wxID_YES));
    EXPECT_EQ(installDate(), "15/03/2023");
    EXPECT_EQ(commissionDate(), "01/01/2010");
    EXPECT_EQ(wxDateTime(static_cast<time_t>(WritableView(frame->image).installation()))
                  .Format(L"%d/%m/%Y"),
              L"15/03/2023");
    EXPECT_EQ(protocolHtml(), before); // not yet
    frame->applyFilter(nullptr);
    EXPECT_NE(protocolHtml().find("15/03/2023"), std::string::npos);
    EXPECT_EQ(installDate(), "15/03/2023");

    wxTEST_DIALOG(press(CmdPickCommissioning),
                  DateChoice(wxDateTime(2, wxDateTime::Feb, 2022), wxID_YES));
    EXPECT_EQ(commissionDate(), "02/02/2022");

    // Cancelled, or a day past what the recorder's seconds hold: nothing changes.
    const auto stored = bytesOf(frame->image);
    wxTEST_DIALOG(press(CmdPickCommissioning),
                  DateChoice(wxDateTime(3, wxDateTime::Mar, 2021), wxID_NO));
    wxTEST_DIALOG(press(CmdPickCommissioning),
                  DateChoice(wxDateTime(1, wxDateTime::Mar, 2040), wxID_YES));
    EXPECT_EQ(commissionDate(), "02/02/2022");
    EXPECT_TRUE(bytesOf(frame->image) == stored);
}

TEST_F(SetupPageTest, ACharacterWithoutAWindows1251FormIsNamedAndNothingIsStoredOrWritten) {
    analyseSample({});
    RecorderImage recorder;
    std::copy(frame->image.data(), frame->image.data() + RecorderImage::ImageSize, recorder.data());
    EmulatorThread emulator(recorder);
    ::setenv("GRUVIK2_BRIDGES", emulator.path().c_str(), 1);

    page->lifeField->ChangeValue(L"33");
    page->groupChoice->SetSelection(7);
    page->textField->ChangeValue(L"Новый текст");
    page->nameFields[2]->ChangeValue(wxString::FromUTF8("Кран é"));
    const auto before = bytesOf(frame->image);
    press(CmdUpdateRecorder);

    EXPECT_EQ(guitest::takeLoggedErrors(),
              std::vector<std::string>{
                  "Символ «é» (U+00E9) в поле «Название механизма 3» (позиция 6) нельзя "
                  "записать в РП: в кодировке Windows-1251 его нет. Информация не сохранена и "
                  "в РП не записана."});
    EXPECT_TRUE(bytesOf(frame->image) == before);
    EXPECT_EQ(wxWindow::FindFocus(), page->nameFields[2]);
    long from = 0, to = 0;
    page->nameFields[2]->GetSelection(&from, &to);
    EXPECT_EQ(from, 5);
    EXPECT_EQ(to, 6);
    // The edits stay in the fields for the user to correct.
    EXPECT_EQ(utf8(page->lifeField->GetValue()), "33");

    emulator.stop();
    ::unsetenv("GRUVIK2_BRIDGES");
    EXPECT_EQ(emulator.stats().commands, "");
    EXPECT_TRUE(bytesOf(recorder) == bytesOf(frame->image));
}

} // namespace
