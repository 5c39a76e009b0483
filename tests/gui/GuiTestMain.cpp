// Entry of the window tests. Listing the tests needs no display; running them
// starts the real application object (GruvikApp::OnInit) without its main loop.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/log.h>
#include <wx/modalhook.h>

#include "app/GruvikApp.h"
#include "gui/GuiTest.h"

wxIMPLEMENT_APP_NO_MAIN(GruvikApp);

namespace {
std::vector<std::string> loggedErrors;

// Logs go to stderr (a message box would block the run); errors are kept for
// the test to check.
class TestLog : public wxLog {
protected:
    // The record itself, not the text the base class makes of it (time stamp
    // and level in front).
    void DoLogRecord(wxLogLevel level, const wxString& text, const wxLogRecordInfo&) override {
        std::fprintf(stderr, "[wx log %lu] %s\n", level, guitest::utf8(text).c_str());
        if (level <= wxLOG_Error) loggedErrors.push_back(guitest::utf8(text));
    }
};

void failOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(guitest::utf8(file).c_str(), line)
        << "wx assertion in " << guitest::utf8(func) << ": " << guitest::utf8(cond) << " "
        << guitest::utf8(msg);
}

// Restarts the watchdog for every test: a dialog that really shows and is never
// answered must end the run, not hang it.
class Watchdog : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { alarm(30); }
    void OnTestEnd(const ::testing::TestInfo&) override { alarm(0); }
};
} // namespace

namespace guitest {
std::vector<std::string> takeLoggedErrors() {
    std::vector<std::string> errors;
    errors.swap(loggedErrors);
    return errors;
}
} // namespace guitest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);

    // The readings the tests file go to an archive of their own.
    char archive[] = "/tmp/gruvik2-gui-archive-XXXXXX";
    if (!mkdtemp(archive)) return 1;
    setenv("GRUVIK2_ARCHIVE", archive, 1);
    wxSetAssertHandler(failOnAssert);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new TestLog);
    guitest::installDialogGuard();
    if (!wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "GruvikApp::OnInit failed\n");
        return 1;
    }
    // A window manager maps and stacks the start-up window in its own time:
    // once it is done, it stacks no window over the first test's.
    if (wxWindow* frame = wxTheApp->GetTopWindow()) {
        guitest::waitFor([frame] { return frame->IsShownOnScreen(); });
        guitest::waitFor([] { return false; }, 500);
    }
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    std::error_code ignored;
    std::filesystem::remove_all(archive, ignored);
    return result;
}
