// Entry point of the program.
#include "app/GruvikApp.h"

wxIMPLEMENT_APP(GruvikApp);
