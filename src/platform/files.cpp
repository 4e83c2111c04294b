#include "files.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform.h"

namespace fs = std::filesystem;

namespace {
// Passes a failure on as errno, for the callers that print it (perror); the
// C++ library reports the C library's errno values on every system.
bool failedWith(const std::error_code& failure) {
    errno = failure.default_error_condition().value();
    return false;
}

// Six characters for a folder name that nobody has taken yet.
std::string randomTag() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += kLetters[source() % (sizeof kLetters - 1)];
    return tag;
}
}  // namespace

std::string currentFolder() {
    std::error_code failure;
    fs::path here = fs::current_path(failure);
    if (failure) return "";
    return here.string();
}

std::string pathFrom(const std::string& folder, const std::string& path) {
    bool absolute = !path.empty() && path[0] == '/';
#ifdef _WIN32
    absolute = absolute || (!path.empty() && path[0] == '\\') || (path.size() > 1 && path[1] == ':');
#endif
    if (path.empty() || absolute || folder.empty()) return path;
    return folder + "/" + path;
}

bool changeFolder(const std::string& path) {
    std::error_code failure;
    fs::current_path(path, failure);
    return !failure || failedWith(failure);
}

bool isFolder(const std::string& path) {
    std::error_code failure;
    return fs::is_directory(path, failure);
}

bool canListFolder(const std::string& path) {
    std::error_code failure;
    fs::directory_iterator listing(path, failure);
    return !failure || failedWith(failure);
}

std::vector<std::string> listFolder(const std::string& path) {
    std::vector<std::string> names;
    std::error_code failure;
    for (fs::directory_iterator entry(path, failure), end; !failure && entry != end; entry.increment(failure))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool makeFolders(const std::string& path) {
    std::error_code failure;
    fs::create_directories(path, failure);
    return isFolder(path);
}

std::string makeTempFolder(const std::string& label, const std::string& parent) {
    std::error_code failure;
    fs::path base = parent.empty() ? fs::temp_directory_path(failure) : fs::path(parent);
    if (failure) return "";
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / (label + "-" + randomTag());
        // False without a failure: the name is taken; try another.
        if (fs::create_directory(candidate, failure)) return candidate.generic_string();
        if (failure) return "";
    }
    return "";
}

bool removeFolder(const std::string& path) {
    std::error_code failure;
    if (!fs::is_directory(fs::symlink_status(path, failure))) return false;
    return fs::remove(path, failure);
}

std::string fullPath(const std::string& path) {
    std::error_code failure;
    fs::path full = fs::canonical(path, failure);
    if (failure) return "";
    return full.generic_string();
}

long long fileSize(const char* path) {
    std::error_code failure;
    std::uintmax_t size = fs::file_size(path, failure);
    if (failure) {
        failedWith(failure);
        return -1;
    }
    return static_cast<long long>(size);
}

bool readWholeDataFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = openDataFile(path.c_str());
    if (fd < 0) return false;
    // One byte more than the file holds: a short read then says the end was
    // reached. A file that grew meanwhile is read on to its end.
    long long size = fileSize(path.c_str());
    bytes.resize(static_cast<size_t>(size > 0 ? size : 0) + 1);
    size_t got = readDataFile(fd, &bytes[0], bytes.size());
    while (got == bytes.size()) {
        bytes.resize(bytes.size() * 2);
        got += readDataFile(fd, &bytes[got], bytes.size() - got);
    }
    bytes.resize(got);
    closeDataFile(fd);
    return true;
}
