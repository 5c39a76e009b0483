#include "views/ui/TextLog.h"

#include "views/RecorderSession.h"

TextLog::TextLog(wxWindow* parent, const RecorderSession& session)
    : HtmlPage(parent, L"Журнал"), session_(session) {}

void TextLog::regenerate(Progress* progress) {
    std::string built;
    if (session_.journalHtml(progress, built)) show(built);
}
