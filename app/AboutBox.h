#pragma once
// The about box: the program's name, version and maker in an HTML view sized to
// its content. Runs modally.
class wxWindow;

void showAboutBox(wxWindow* parent);
