#include "authoring/dataFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>

#include "platform/platform.h"

std::string workingFolder() {
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return "";
    return buffer;
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string defaultDataFolder(const char* argv0) {
    std::string here = workingFolder();
    if (isFolder("data")) return here + "/data";
    std::string programFolder;
    if (enterDataHome(argv0)) programFolder = workingFolder();
    if (!here.empty() && chdir(here.c_str()) != 0) std::perror("chdir");
    if (programFolder.empty()) return "";
    for (const std::string& candidate : {programFolder + "/data", programFolder + "/../data"})
        if (isFolder(candidate)) return candidate;
    return "";
}
