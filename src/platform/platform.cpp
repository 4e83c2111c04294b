#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // symbolic links and GetConsoleWindow: Windows 7
#endif
#include <windows.h>
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace {
bool clockFixed = false;
Uint32 fixedTicks = 0;
volatile std::sig_atomic_t signalArrived = 0;

void onQuitSignal(int) { signalArrived = 1; }

#ifdef _WIN32
// Ctrl+C, Ctrl+Break and closing the console arrive here, not as signals.
BOOL WINAPI onConsoleEvent(DWORD) {
    signalArrived = 1;
    return TRUE;
}

DWORD attributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool isWindowsFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
#endif

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return "";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string executablePath(const char* argv0) {
#ifdef _WIN32
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::string(buffer, length);
#else
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) return std::string(buffer, static_cast<size_t>(length));
#endif
    return argv0 ? argv0 : "";
}
}  // namespace

Uint32 clockTicks() { return clockFixed ? fixedTicks : SDL_GetTicks(); }

void clockSet(Uint32 ms) {
    clockFixed = true;
    fixedTicks = ms;
}

void clockAdvance(Uint32 ms) { fixedTicks += ms; }

void clockUseSDL() { clockFixed = false; }

void hideConsole() {
#ifdef _WIN32
    HWND console = GetConsoleWindow();
    if (console) ShowWindow(console, SW_HIDE);
#endif
}

void showOutputLineByLine() {
#ifdef _WIN32
    std::setvbuf(stdout, nullptr, _IONBF, 0);
#else
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
#endif
}

std::string dataHomeOf(const std::string& programFolder) {
    std::string own = programFolder.empty() ? "." : programFolder;
    if (isFolder(own + "/data")) return programFolder;
    std::string installed = own + "/../share/games/fightscene";
    if (isFolder(installed + "/data")) return installed;
    return programFolder;
}

bool enterDataHome(const char* argv0) {
    std::string folder = folderOf(executablePath(argv0));
    std::string home = dataHomeOf(folder);
    if (home.empty()) return true;  // started from its own folder, which has no data
    return changeFolder(home);
}

int openDataFile(const char* path) {
#ifdef _WIN32
    // Windows refuses to open a folder with EACCES; say what it is instead.
    if (isWindowsFolder(attributesOf(path))) {
        errno = EISDIR;
        return -1;
    }
    int fd = _open(path, _O_RDONLY | _O_BINARY);
    if (fd < 0) return -1;
    struct _stat info;
    bool regular = _fstat(fd, &info) == 0 && (info.st_mode & _S_IFREG);
    if (!regular) {
        _close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
#else
    // Opening a pipe waits for a writer unless it is opened non-blocking.
    int fd = open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info;
    bool known = fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        int why = known && S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        errno = why;
        return -1;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
#endif
}

size_t readDataFile(int fd, void* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
#ifdef _WIN32
        int n = _read(fd, static_cast<char*>(buffer) + got, static_cast<unsigned>(std::min<size_t>(size - got, INT_MAX)));
#else
        ssize_t n = read(fd, static_cast<char*>(buffer) + got, size - got);
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void closeDataFile(int fd) {
#ifdef _WIN32
    _close(fd);
#else
    close(fd);
#endif
}

std::FILE* openDataStream(const char* path) {
    int fd = openDataFile(path);
    if (fd < 0) return nullptr;
#ifdef _WIN32
    std::FILE* stream = _fdopen(fd, "rb");
    if (!stream) _close(fd);
#else
    std::FILE* stream = fdopen(fd, "rb");
    if (!stream) close(fd);
#endif
    return stream;
}

std::string currentFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH];
    if (!_getcwd(buffer, sizeof buffer)) return "";
#else
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) return "";
#endif
    return buffer;
}

bool changeFolder(const std::string& path) {
#ifdef _WIN32
    return _chdir(path.c_str()) == 0;
#else
    return chdir(path.c_str()) == 0;
#endif
}

bool isFolder(const std::string& path) {
#ifdef _WIN32
    return isWindowsFolder(attributesOf(path));
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool canListFolder(const std::string& path) {
#ifdef _WIN32
    DWORD attributes = attributesOf(path);
    if (isWindowsFolder(attributes)) return true;
    errno = attributes == INVALID_FILE_ATTRIBUTES ? ENOENT : ENOTDIR;
    return false;
#else
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    closedir(dir);
    return true;
#endif
}

std::vector<std::string> listFolder(const std::string& path) {
    std::vector<std::string> names;
#ifdef _WIN32
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
#else
    DIR* dir = opendir(path.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
#endif
    std::sort(names.begin(), names.end());
    return names;
}

bool makeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/' && path[at] != '\\') continue;
        std::string part = path.substr(0, at);
        if (isFolder(part)) continue;
#ifdef _WIN32
        if (_mkdir(part.c_str()) != 0 && errno != EEXIST) return false;
#else
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
#endif
    }
    return isFolder(path);
}

std::string makeTempFolder(const std::string& label) {
#ifdef _WIN32
    char base[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return "";
    std::string folder(base, length);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned tag = (GetCurrentProcessId() * 7919u + GetTickCount() + ++serial) % 1000000u;
        std::string candidate = folder + label + "-" + std::to_string(tag);
        if (_mkdir(candidate.c_str()) == 0) return candidate;
        if (errno != EEXIST) return "";
    }
    return "";
#else
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/" + label + "-XXXXXX";
    if (!mkdtemp(&pattern[0])) return "";
    return pattern;
#endif
}

bool removeFolder(const std::string& path) {
#ifdef _WIN32
    return _rmdir(path.c_str()) == 0;
#else
    return rmdir(path.c_str()) == 0;
#endif
}

bool linkFolder(const std::string& target, const std::string& link) {
#ifdef _WIN32
    // Some systems (Wine) report a link made and make none: only a link that
    // leads to a folder counts.
    if (!CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) return false;
    DWORD attributes = attributesOf(link);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    return symlink(target.c_str(), link.c_str()) == 0;
#endif
}

bool removeLink(const std::string& link) {
#ifdef _WIN32
    // A link to a folder is itself removed as a folder.
    return RemoveDirectoryA(link.c_str()) != 0 || DeleteFileA(link.c_str()) != 0;
#else
    return unlink(link.c_str()) == 0;
#endif
}

std::string fullPath(const std::string& path) {
#ifdef _WIN32
    char buffer[MAX_PATH];
    if (!_fullpath(buffer, path.c_str(), sizeof buffer) || attributesOf(buffer) == INVALID_FILE_ATTRIBUTES) return "";
    std::string full = buffer;
    std::replace(full.begin(), full.end(), '\\', '/');
    while (full.size() > 3 && full.back() == '/') full.pop_back();
    return full;
#else
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer)) return "";
    return buffer;
#endif
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
    removeLink(scratch + "/data");
    removeFolder(scratch);
}

long long fileSize(const char* path) {
#ifdef _WIN32
    struct _stati64 info;
    if (_stati64(path, &info) != 0) return -1;
#else
    struct stat info;
    if (stat(path, &info) != 0) return -1;
#endif
    return static_cast<long long>(info.st_size);
}

void setEnvironment(const char* name, const char* value, bool replace) {
#ifdef _WIN32
    if (!replace && std::getenv(name)) return;
    // The C library keeps its own copy of the environment, which SDL reads.
    std::string entry = std::string(name) + "=" + value;
    _putenv(entry.c_str());
    SetEnvironmentVariableA(name, value);
#else
    setenv(name, value, replace ? 1 : 0);
#endif
}

int redirectOutput(int fd, const char* path) {
    std::fflush(fd == 2 ? stderr : stdout);
#ifdef _WIN32
    int target = _open(path ? path : "NUL", _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    int saved = target < 0 ? -1 : _dup(fd);
    if (saved >= 0 && _dup2(target, fd) != 0) {
        _close(saved);
        saved = -1;
    }
    if (target >= 0) _close(target);
#else
    int target = open(path ? path : "/dev/null", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int saved = target < 0 ? -1 : dup(fd);
    if (saved >= 0 && dup2(target, fd) < 0) {
        close(saved);
        saved = -1;
    }
    if (target >= 0) close(target);
#endif
    return saved;
}

void restoreOutput(int fd, int saved) {
    if (saved < 0) return;
    std::fflush(fd == 2 ? stderr : stdout);
#ifdef _WIN32
    _dup2(saved, fd);
    _close(saved);
#else
    dup2(saved, fd);
    close(saved);
#endif
}

bool isTerminal(int fd) {
#ifdef _WIN32
    return _isatty(fd) != 0;
#else
    return isatty(fd) != 0;
#endif
}

void installQuitSignals() {
    // SDL 1.2 only installs its own handlers where the default one is in place.
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGTERM, onQuitSignal);
#ifdef _WIN32
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#endif
}

bool quitSignalled() { return signalArrived != 0; }

