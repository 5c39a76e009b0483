#pragma once
// Page "Журнал": the events the filter chose for the journal, one coloured row
// each.
#include "views/ui/HtmlPage.h"

class aList;
class Progress;

class TextLog : public HtmlPage {
public:
    // journalList: the main window's journal list, read at every regenerate.
    TextLog(wxWindow* parent, const aList& journalList);

    // Rebuilds the journal, reporting into progress when given. A cancel keeps
    // the previous journal on screen, and printing then gives that one too.
    virtual void regenerate(Progress* progress);

private:
    const aList& journalList_;
};
