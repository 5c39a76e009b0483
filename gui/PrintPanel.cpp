#include "gui/PrintPanel.h"

PrintPanel::PrintPanel(wxWindow* parent, long style)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, style,
              wxASCII_STR(wxPanelNameStr)) {}

wxString PrintPanel::printPdf(const wxString&) {
    return L"эта страница не печатается";
}
