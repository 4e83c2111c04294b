// The platform on Windows.
#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // symbolic links and GetConsoleWindow: Windows 7
#endif
#include <windows.h>
#include <io.h>

namespace {
// Set by the signal and console handlers, read by the game's loop: a signal
// can reach the process only through a global.
volatile std::sig_atomic_t signalArrived = 0;

void onQuitSignal(int) { signalArrived = 1; }

// Ctrl+C, Ctrl+Break and closing the console arrive here, not as signals.
BOOL WINAPI onConsoleEvent(DWORD) {
    signalArrived = 1;
    return TRUE;
}

bool isWindowsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

void hideConsole() {
    HWND console = GetConsoleWindow();
    if (console) ShowWindow(console, SW_HIDE);
}

void showOutputLineByLine() { std::setvbuf(stdout, nullptr, _IONBF, 0); }

std::string programPath(const char* argv0) {
    char buffer[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::string(buffer, length);
    return argv0 ? argv0 : "";
}

int openDataFile(const char* path) {
    // Windows refuses to open a folder with EACCES; say what it is instead.
    if (isWindowsFolder(path)) {
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
}

std::FILE* openDataStream(const char* path) {
    int fd = openDataFile(path);
    if (fd < 0) return nullptr;
    std::FILE* stream = _fdopen(fd, "rb");
    if (!stream) _close(fd);
    return stream;
}

size_t readDataFile(int fd, void* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        int n = _read(fd, static_cast<char*>(buffer) + got, static_cast<unsigned>(std::min<size_t>(size - got, INT_MAX)));
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void closeDataFile(int fd) { _close(fd); }

bool linkFolder(const std::string& target, const std::string& link) {
    // Some systems (Wine) report a link made and make none: only a link that
    // leads to a folder counts.
    if (!CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) return false;
    return isWindowsFolder(link.c_str());
}

void setEnvironment(const char* name, const char* value, bool replace) {
    if (!replace && std::getenv(name)) return;
    // The C library keeps its own copy of the environment, which SDL reads.
    std::string entry = std::string(name) + "=" + value;
    _putenv(entry.c_str());
    SetEnvironmentVariableA(name, value);
}

int redirectOutput(int fd, const char* path) {
    std::fflush(fd == 2 ? stderr : stdout);
    int target = _open(path ? path : "NUL", _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    int saved = target < 0 ? -1 : _dup(fd);
    if (saved >= 0 && _dup2(target, fd) != 0) {
        _close(saved);
        saved = -1;
    }
    if (target >= 0) _close(target);
    return saved;
}

void restoreOutput(int fd, int saved) {
    if (saved < 0) return;
    std::fflush(fd == 2 ? stderr : stdout);
    _dup2(saved, fd);
    _close(saved);
}

bool isTerminal(int fd) { return _isatty(fd) != 0; }

void installQuitSignals() {
    // SDL 1.2 only installs its own handlers where the default one is in place.
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGTERM, onQuitSignal);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool quitSignalled() { return signalArrived != 0; }
