#include "userFolder.h"

#include <cstdlib>

std::string userSettingsFolder() {
    // Only an absolute $XDG_CONFIG_HOME counts; a relative one is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) return "";
    std::string folder = home;
    if (folder.back() != '/') folder += '/';
    return folder + ".config";
}

char folderSeparator() { return '/'; }
