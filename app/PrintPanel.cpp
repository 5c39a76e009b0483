#include "app/PrintPanel.h"

PrintPanel::PrintPanel(wxWindow* parent, long style)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, style,
              wxASCII_STR(wxPanelNameStr)) {}
