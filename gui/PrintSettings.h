#pragma once
// The print and page set-up settings that the application makes at start-up
// (A4) and keeps for the run; the graph page prints with them. Null before
// start-up and after the end. With them, the file of the image the window
// shows, which a print to a file never replaces.
#include <string>

class wxPrintData;
class wxPageSetupDialogData;

struct SharedPrintSettings {
    wxPrintData* printData = nullptr;
    wxPageSetupDialogData* pageSetupData = nullptr;
    std::string imageFile; // as the system names it; empty without one
};

SharedPrintSettings& sharedPrintSettings();
