// The settings page: what it shows of the passport data, the date buttons, and
// the update that stores the fields, analyses the image and writes the
// writable area into the reader emulator over a pseudo-terminal.
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/InfoDialog.h"
#include "app/MainFrame.h"
#include "gui/DateChoice.h"
#include "gui/GuiTest.h"
#include "gui/QuestionDialog.h"
#include "image/WritableView.h"
#include "pages/ReportWindow.h"
#include "pages/SetupWindow.h"
#include "testsupport/ImageBuilder.h"
#include "testsupport/LinkFakes.h"
#include "testsupport/SampleMemory.h"
#include "testsupport/ScopedTZ.h"

using guitest::DateChoice;
using guitest::utf8;

namespace {

// The write's closing message, answered.
class WriteDone : public wxExpectModalBase<InfoDialog, WriteDone> {
protected:
    int OnInvoked(InfoDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetTitle()), "Запись завершена");
        return wxID_OK;
    }
};

// The offer to write again after a failed write, answered.
class WriteAgain : public wxExpectModalBase<QuestionDialog, WriteAgain> {
public:
    explicit WriteAgain(int answer) : answer_(answer) {}

protected:
    int OnInvoked(QuestionDialog* dialog) const override {
        EXPECT_EQ(utf8(dialog->GetTitle()), "Запись не выполнена");
        return answer_;
    }

private:
    int answer_;
};

std::vector<uint8_t> bytesOf(const RecorderImage& image) {
    return {image.data(), image.data() + RecorderImage::ImageSize};
}

class SetupPageTest : public guitest::MainFrameTest {
protected:
    void SetUp() override {
        MainFrameTest::SetUp();
        page = controlsOf(*frame).settingsPage;
        ASSERT_TRUE(page);
        controlsOf(*frame).notebook->SetSelection(controlsOf(*frame).notebook->FindPage(page));
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
    std::string protocolHtml() const { return utf8(controlsOf(*frame).protocolPage->html); }
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

    // The reader emulator serves a recorder holding what the image holds now.
    void startRecorder(EmulatorFaults faults = {}) {
        std::copy(frame->image.data(), frame->image.data() + RecorderImage::ImageSize,
                  recorder.data());
        emulator = std::make_unique<EmulatorThread>(recorder, faults);
        ::setenv("GRUVIK2_BRIDGES", emulator->path().c_str(), 1);
    }
    // Stops the emulator once it has served what reached it.
    void stopRecorder() {
        emulator->stop();
        ::unsetenv("GRUVIK2_BRIDGES");
    }
    void TearDown() override {
        if (emulator) stopRecorder();
        MainFrameTest::TearDown();
    }
    // Presses the update button; expects the analysis and then the write
    // (an analysis refused at once shows no progress).
    void update(bool analysisShown = true) {
        guitest::ProgressWatch watch;
        wxTEST_DIALOG(press(CmdUpdateRecorder), WriteDone());
        std::vector<std::string> titles = {"Анализ памяти регистратора", "Запись данных"};
        if (!analysisShown) titles.erase(titles.begin());
        EXPECT_EQ(watch.titles, titles);
    }
    // Pages of the recorder other than 0 to 7 that differ from before.
    std::vector<uint32_t> otherPagesChanged(const std::vector<uint8_t>& before) const {
        std::vector<uint32_t> changed;
        for (uint32_t p = 8; p < RecorderImage::PageCount; ++p)
            if (!std::equal(recorder.page(p), recorder.page(p) + RecorderImage::PageSize,
                            before.begin() + ptrdiff_t(p) * RecorderImage::PageSize))
                changed.push_back(p);
        return changed;
    }
    bool writableAreaAsImage() const {
        return std::equal(recorder.page(0), recorder.page(8), frame->image.page(0));
    }

    ScopedTZ tz{"Europe/Moscow"};
    SetupWindow* page = nullptr;
    RecorderImage recorder;
    std::unique_ptr<EmulatorThread> emulator;
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
    // The fields are on a scrolled area of the page.
    wxWindow* area = page->FindWindow(CmdUpdateRecorder)->GetParent();
    for (wxWindow* child : area->GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child);
            text && utf8(text->GetLabel()) == "Обновить информацию в РП")
            updateLabel = text;
    ASSERT_TRUE(updateLabel);
    EXPECT_EQ(updateLabel->GetFont().GetPointSize(), 14);
}

TEST_F(SetupPageTest, TabPassesTheReadOnlyDateFieldsBy) {
    controlsOf(*frame).notebook->SetSelection(3);
    ASSERT_TRUE(guitest::waitFor([&] { return page->IsShownOnScreen(); }));
    const std::vector<wxWindow*> dates = {page->installDay,      page->installMonth,
                                          page->installYear,     page->commissionDay,
                                          page->commissionMonth, page->commissionYear};
    // The commissioning date follows the service life field: Tab passes it by.
    page->lifeField->SetFocus();
    ASSERT_TRUE(guitest::waitFor([&] { return wxWindow::FindFocus() == page->lifeField; }));
    page->lifeField->Navigate(wxNavigationKeyEvent::IsForward);
    guitest::waitFor([&] { return wxWindow::FindFocus() != page->lifeField; }, 500);
    wxWindow* next = wxWindow::FindFocus();
    EXPECT_NE(next, page->lifeField);
    EXPECT_TRUE(std::find(dates.begin(), dates.end(), next) == dates.end())
        << "Tab stopped on a date field";
    // What the toolkit's Tab navigation asks of a window.
    for (wxWindow* field : dates)
        EXPECT_FALSE(field->AcceptsFocusFromKeyboard());
    EXPECT_TRUE(page->lifeField->AcceptsFocusFromKeyboard());
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

    // A stored date at the very end of the recorder's range opens the dialog too.
    WritableView(frame->image).setCommissioning(std::numeric_limits<int32_t>::max());
    wxTEST_DIALOG(press(CmdPickCommissioning),
                  DateChoice(wxDateTime(4, wxDateTime::Apr, 2024), wxID_YES));
    EXPECT_EQ(commissionDate(), "04/04/2024");
}

TEST_F(SetupPageTest, UpdateStoresTheFieldsAnalysesAndWritesThePassportPages) {
    analyseSample({});
    startRecorder();
    const std::vector<uint8_t> before = bytesOf(recorder);

    page->lifeField->ChangeValue(L"25");
    page->groupChoice->SetSelection(7);
    page->textField->ChangeValue(L"Кран козловой ККС-10\nзав. № 3121");
    const wxString longName(L'Ж', WritableView::MaxNameChars);
    page->nameFields[0]->ChangeValue(longName);
    page->nameFields[5]->ChangeValue(L"Кран-балка");
    update();

    WritableView w(frame->image);
    EXPECT_EQ(*w.serviceLife, 25);
    EXPECT_EQ(*w.passportGroup, 8);
    EXPECT_EQ(w.text(), "Кран козловой ККС-10\nзав. № 3121");
    for (size_t i = 0; i < WritableView::MaxNameChars; ++i)
        ASSERT_EQ(w.mechanismNames[i], 0xC6) << i; // "Ж"
    EXPECT_EQ(w.mechanismNames[WritableView::MaxNameChars], 0);
    EXPECT_EQ(w.mechanismName(5), "Кран-балка");
    EXPECT_EQ(w.mechanismName(1), "Вспом. подъём");

    // The pages show the new data, this one included.
    const std::string protocol = protocolHtml();
    EXPECT_NE(protocol.find(">A8<"), std::string::npos);
    EXPECT_NE(protocol.find(">25<"), std::string::npos);
    EXPECT_NE(protocol.find("Кран козловой ККС-10\nзав. № 3121"), std::string::npos);
    EXPECT_NE(protocol.find(utf8(longName)), std::string::npos);
    EXPECT_EQ(utf8(page->groupChoice->GetValue()), "A8");
    EXPECT_EQ(page->nameFields[0]->GetValue(), longName);

    // "7a" is 7; the write sends only the page that changed.
    page->lifeField->ChangeValue(L"7a");
    update();
    EXPECT_EQ(*WritableView(frame->image).serviceLife, 7);
    EXPECT_EQ(utf8(page->lifeField->GetValue()), "7");
    EXPECT_NE(protocolHtml().find(">7<"), std::string::npos);

    stopRecorder();
    EXPECT_TRUE(writableAreaAsImage());
    EXPECT_EQ(otherPagesChanged(before), std::vector<uint32_t>{});
    // Each write reads the header (the serial number) first and confirms the
    // pages it sent.
    const std::vector<uint32_t> requested = {512, 0, 1, 2, 3, 4, 5, 6, 7, 0, 4,
                                             512, 0, 1, 2, 3, 4, 5, 6, 7, 4};
    EXPECT_EQ(emulator->stats().requestedPages, requested);
    // First the text's page 0 and page 4 with the rest, then page 4 alone.
    EXPECT_EQ(emulator->stats().pagesStored, 3u);
}

TEST_F(SetupPageTest, ARefusedImageIsNotWrittenAndAFailedWriteIsOfferedAgain) {
    analyseSample({});
    page->lifeField->ChangeValue(L"31");
    frame->image.page(RecorderImage::HeaderPage)[5] = 8; // a header the analysis refuses
    startRecorder();
    const std::vector<uint8_t> before = bytesOf(recorder);
    press(CmdUpdateRecorder);
    EXPECT_EQ(guitest::takeLoggedErrors(),
              (std::vector<std::string>{"Эта версия программы не может работать с количеством "
                                        "дискретных каналов, отличных от 6!",
                                        "Запись в регистратор не выполнена: анализ образа не "
                                        "завершен"}));
    stopRecorder();
    EXPECT_EQ(emulator->stats().commands, "");
    EXPECT_TRUE(bytesOf(recorder) == before);
    EXPECT_EQ(*WritableView(frame->image).serviceLife, 31); // stored in the image all the same

    // A recorder that refuses the pages: the window says so and offers the
    // write again, as often as the user asks.
    frame->image.page(RecorderImage::HeaderPage)[5] = 6;
    EmulatorFaults refusing;
    refusing.refuseWrites = true;
    startRecorder(refusing);
    wxTEST_DIALOG(press(CmdUpdateRecorder), WriteAgain(wxID_YES), WriteAgain(wxID_NO));
    const std::vector<std::string> errors = guitest::takeLoggedErrors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("не записаны в регистратор"), std::string::npos) << errors[0];
    stopRecorder();
    // Each write reads the header (the serial number) first.
    EXPECT_EQ(emulator->stats().sessions, 4u);
    EXPECT_EQ(emulator->stats().pagesStored, 0u);
}

TEST_F(SetupPageTest, ACharacterWithoutAWindows1251FormIsNamedAndNothingIsStoredOrWritten) {
    analyseSample({});
    startRecorder();

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

    stopRecorder();
    EXPECT_EQ(emulator->stats().commands, "");
    EXPECT_TRUE(bytesOf(recorder) == bytesOf(frame->image));
}

} // namespace
