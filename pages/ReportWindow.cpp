#include "pages/ReportWindow.h"

#include "events/EventTime.h"
#include "image/HeaderView.h"
#include "views/RecorderSession.h"

ReportWindow::ReportWindow(wxWindow* parent, const RecorderSession& session)
    : HtmlPage(parent, L"Отчет"), session_(session) {}

void ReportWindow::regenerate(Progress*) {
    show(session_.protocolHtml());
    // Every printed page names the recorder and the date the protocol is of.
    printer.furniture = L"Протокол регистратора";
    const wxString serial = wxString::FromUTF8(HeaderView(session_.image).serialNumber).Trim();
    if (!serial.empty()) printer.furniture += L" № " + serial;
    if (const auto period = session_.protocolPeriod())
        printer.furniture +=
            L" на " + wxString::FromUTF8(eventTimeText(period->endSeconds, 0).substr(0, 16));
}
