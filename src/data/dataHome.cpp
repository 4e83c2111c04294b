#include "dataHome.h"

#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/platform.h"

namespace {
std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return "";
    return path.substr(0, slash == 0 ? 1 : slash);
}
}  // namespace

std::string dataHomeOf(const std::string& programFolder) {
    std::string own = programFolder.empty() ? "." : programFolder;
    if (isFolder(own + "/data")) return programFolder;
    std::string installed = own + "/../share/games/fightscene";
    if (isFolder(installed + "/data")) return installed;
    return programFolder;
}

std::string dataHomeOfProgram(const char* argv0) { return dataHomeOf(folderOf(programPath(argv0))); }

bool enterDataHome(const char* argv0) {
    std::string home = dataHomeOfProgram(argv0);
    if (home.empty()) return true;  // started from its own folder, which has no data
    return changeFolder(home);
}

bool enterDataParent(const std::string& dataFolder, std::string& scratch) {
    std::string path = fullPath(dataFolder);
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return false;
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    if (path.substr(slash + 1) == "data") return changeFolder(parent);
    scratch = makeTempFolder("fightscene-data");
    if (scratch.empty()) return false;
    if (!linkFolder(path, scratch + "/data")) {
        removeDataScratch(scratch);  // nothing of ours is left behind
        scratch.clear();
        return false;
    }
    return changeFolder(scratch);
}

void removeDataScratch(const std::string& scratch) {
    if (scratch.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(scratch + "/data", ignored);  // the link, not what it names
    removeFolder(scratch);
}
