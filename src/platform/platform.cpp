#include "platform.h"

#include <cerrno>
#include <csignal>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#include <io.h>
#else
#include <unistd.h>
#include <climits>
#endif

namespace {
bool clockFixed = false;
Uint32 fixedTicks = 0;
volatile std::sig_atomic_t signalArrived = 0;

void onQuitSignal(int) { signalArrived = 1; }

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return "";
    return path.substr(0, slash == 0 ? 1 : slash);
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

bool changeFolder(const std::string& folder) {
#ifdef _WIN32
    return _chdir(folder.c_str()) == 0;
#else
    return chdir(folder.c_str()) == 0;
#endif
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
    ShowWindow(GetConsoleWindow(), SW_HIDE);
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

void installQuitSignals() {
    // SDL 1.2 only installs its own handlers where the default one is in place.
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGTERM, onQuitSignal);
}

bool quitSignalled() { return signalArrived != 0; }

