#pragma once
// The print and page set-up settings that the application makes at start-up
// (A4) and keeps for the run; the graph page prints with them. Null before
// start-up and after the end.
class wxPrintData;
class wxPageSetupDialogData;

struct SharedPrintSettings {
    wxPrintData* printData = nullptr;
    wxPageSetupDialogData* pageSetupData = nullptr;
};

SharedPrintSettings& sharedPrintSettings();
