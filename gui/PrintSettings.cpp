#include "gui/PrintSettings.h"

SharedPrintSettings& sharedPrintSettings() {
    static SharedPrintSettings settings;
    return settings;
}
