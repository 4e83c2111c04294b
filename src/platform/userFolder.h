#pragma once
// Where this user keeps the settings of the programs they run.
#include <string>

// The folder for this user's program settings: $XDG_CONFIG_HOME, or
// ~/.config when that is unset, empty or not an absolute path, on Linux and
// other POSIX systems; %APPDATA% on Windows. "" when the environment names
// none.
std::string userSettingsFolder();
// The character between folders in the system's paths: '/' or '\\'.
char folderSeparator();
