// Entry point of the program.
#include "app/GruvikApp.h"

wxIMPLEMENT_APP_NO_MAIN(GruvikApp);

int main(int argc, char** argv) {
    if (int status = answerCommandLine(argc, argv); status >= 0) return status;
    return wxEntry(argc, argv);
}
