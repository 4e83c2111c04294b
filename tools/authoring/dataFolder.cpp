#include "authoring/dataFolder.h"

#include <filesystem>
#include <system_error>

#include "data/dataHome.h"
#include "platform/files.h"

std::string defaultDataFolder(const char* argv0) {
    std::string here = currentFolder();
    if (isFolder("data")) return here + "/data";
    // The data home as the system names it once entered: absolute, links resolved.
    std::string home = dataHomeOfProgram(argv0);
    std::error_code failure;
    std::string programFolder = home.empty() ? here : std::filesystem::canonical(home, failure).string();
    if (failure || programFolder.empty()) return "";
    for (const std::string& candidate : {programFolder + "/data", programFolder + "/../data"})
        if (isFolder(candidate)) return candidate;
    return "";
}
