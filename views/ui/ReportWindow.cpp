#include "views/ui/ReportWindow.h"

#include "views/ProtocolDocument.h"

ReportWindow::ReportWindow(wxWindow* parent, RecorderImage& image, const eventList& events)
    : HtmlPage(parent, L"Отчет"), image_(image), events_(events) {}

void ReportWindow::regenerate(Progress*) {
    show(buildProtocolHtml(image_, protocolPeriodOf(events_)));
}
