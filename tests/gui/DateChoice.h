#pragma once
// Answers the date dialog: picks a day, or cancels.
#include <wx/testing.h>

#include "gui/CalDialog.h"

namespace guitest {

class DateChoice : public wxExpectModalBase<CalDialog, DateChoice> {
public:
    // id: wxID_YES to choose the day, wxID_NO to cancel.
    DateChoice(const wxDateTime& date, int id) : date_(date), id_(id) {}

protected:
    int OnInvoked(CalDialog* dialog) const override {
        dialog->calendar->SetDate(date_);
        return id_;
    }

private:
    wxDateTime date_;
    int id_;
};

} // namespace guitest
