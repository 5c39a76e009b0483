// Entry point of the program.
#include <wx/app.h>
#include <wx/init.h>

#include "app/GruvikApp.h"

wxIMPLEMENT_APP_NO_MAIN(GruvikApp);

int main(int argc, char** argv) {
    if (int status = answerCommandLine(argc, argv); status >= 0) return status;
    // What the toolkit's own main does first.
    wxDISABLE_DEBUG_SUPPORT();
    // The toolkit ends with -1 when it cannot start (no display), after
    // saying why on stderr; the program's status for a failure is 2.
    const int status = wxEntry(argc, argv);
    return status < 0 ? 2 : status;
}
