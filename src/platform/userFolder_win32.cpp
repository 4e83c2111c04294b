#include "userFolder.h"

#include <cstdlib>

std::string userSettingsFolder() {
    // The roaming application data folder, which Windows sets for every user.
    const char* appData = std::getenv("APPDATA");
    return appData ? appData : "";
}

char folderSeparator() { return '\\'; }
