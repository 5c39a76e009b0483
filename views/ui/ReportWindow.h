#pragma once
// Page "Протокол": the crane's usage conditions from the newest counters page
// and the passport data.
#include "views/ui/HtmlPage.h"

class Progress;
class RecorderImage;
class eventList;

class ReportWindow : public HtmlPage {
public:
    ReportWindow(wxWindow* parent, RecorderImage& image, const eventList& events);

    // progress is not used: the document is quick to build. With no event the
    // page is empty, and so is what it prints.
    virtual void regenerate(Progress* progress);

private:
    RecorderImage& image_;
    const eventList& events_;
};
