#include "app/LinkDialogs.h"

#include <cstdlib>

#include <wx/log.h>

#include "app/DevChoiceDialog.h"
#include "app/DialogProgress.h"
#include "app/InfoDialog.h"
#include "device/DeviceChooser.h"
#include "device/Platform.h"
#include "gui/Pictures.h"

void LinkDialogs::chooseDevice(DeviceChooser& chooser) {
    DevChoiceDialog dialog(parent_, chooser);
    dialog.ShowModal(); // however it ended, the bridge shown last is the choice
}

std::unique_ptr<Progress> LinkDialogs::openProgress(const std::string& title,
                                                    const std::string& message, int maximum) {
    return std::make_unique<DialogProgress>(parent_, wxString::FromUTF8(title),
                                            wxString::FromUTF8(message), maximum,
                                            std::chrono::milliseconds(50));
}

void LinkDialogs::info(const std::string& title, const std::string& message,
                       const std::string& picture) {
    InfoDialog dialog(parent_, wxString::FromUTF8(title), wxString::FromUTF8(message),
                      loadPicture(wxString::FromUTF8(picture), 160, 160));
    dialog.ShowModal();
}

void LinkDialogs::error(const std::string& message, const std::string& detail) {
    // What the system said goes on a line of its own under the message.
    wxLogError(L"%s", wxString::FromUTF8(detail.empty() ? message : message + "\n" + detail));
}

WindowLink::WindowLink(wxWindow* parent)
    : bridges(commandBridgeLibrary()), priority(systemPriority()),
      dialogs(parent), context{*bridges, *priority, dialogs} {}
