#pragma once
// Page "Журнал": the events the filter chose for the journal, one coloured row
// each.
#include "views/ui/HtmlPage.h"

class Progress;
class RecorderSession;

class TextLog : public HtmlPage {
public:
    // session: the recorder whose journal list the page shows, read at every regenerate.
    TextLog(wxWindow* parent, const RecorderSession& session);

    // Rebuilds the journal, reporting into progress when given. A cancel keeps
    // the previous journal on screen, and printing then gives that one too.
    virtual void regenerate(Progress* progress);

private:
    const RecorderSession& session_;
};
