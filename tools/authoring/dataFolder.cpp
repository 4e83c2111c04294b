#include "authoring/dataFolder.h"

#include <cstdio>

#include "platform/platform.h"

std::string defaultDataFolder(const char* argv0) {
    std::string here = currentFolder();
    if (isFolder("data")) return here + "/data";
    std::string programFolder;
    if (enterDataHome(argv0)) programFolder = currentFolder();
    if (!here.empty() && !changeFolder(here)) std::perror("chdir");
    if (programFolder.empty()) return "";
    for (const std::string& candidate : {programFolder + "/data", programFolder + "/../data"})
        if (isFolder(candidate)) return candidate;
    return "";
}
