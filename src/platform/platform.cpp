#include "platform.h"

#include <csignal>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
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

bool enterProgramFolder(const char* argv0) {
    std::string folder = folderOf(executablePath(argv0));
    if (folder.empty()) return true;  // started from its own folder
#ifdef _WIN32
    return _chdir(folder.c_str()) == 0;
#else
    return chdir(folder.c_str()) == 0;
#endif
}

void installQuitSignals() {
    // SDL 1.2 only installs its own handlers where the default one is in place.
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGTERM, onQuitSignal);
}

bool quitSignalled() { return signalArrived != 0; }

void clearQuitSignal() { signalArrived = 0; }
