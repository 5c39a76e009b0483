#include "pages/ReportWindow.h"

#include "views/RecorderSession.h"

ReportWindow::ReportWindow(wxWindow* parent, const RecorderSession& session)
    : HtmlPage(parent, L"Отчет"), session_(session) {}

void ReportWindow::regenerate(Progress*) {
    show(session_.protocolHtml());
}
