#include "views/ui/TextLog.h"

#include "views/JournalHtml.h"

TextLog::TextLog(wxWindow* parent, const aList& journalList)
    : HtmlPage(parent, L"Журнал"), journalList_(journalList) {}

void TextLog::regenerate(Progress* progress) {
    std::string built;
    if (buildJournalHtml(journalList_, progress, built)) show(built);
}
