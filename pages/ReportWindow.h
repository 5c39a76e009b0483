#pragma once
// Page "Протокол": the crane's usage conditions from the newest counters page
// and the passport data.
#include "gui/HtmlPage.h"

class Progress;
class RecorderSession;

class ReportWindow : public HtmlPage {
public:
    // session: the recorder whose protocol the page shows, read at every regenerate.
    ReportWindow(wxWindow* parent, const RecorderSession& session);

    // progress is not used: the document is quick to build. With no event the
    // page is empty, and so is what it prints.
    virtual void regenerate(Progress* progress);

private:
    const RecorderSession& session_;
};
