// The platform on Linux and other POSIX systems.
#include "platform.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Set by the signal handler, read by the game's loop: a signal can reach
// the process only through a global.
volatile std::sig_atomic_t signalArrived = 0;

void onQuitSignal(int) { signalArrived = 1; }
}  // namespace

void hideConsole() {}

void showOutputLineByLine() { std::setvbuf(stdout, nullptr, _IOLBF, 0); }

std::string programPath(const char* argv0) {
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) return std::string(buffer, static_cast<size_t>(length));
    return argv0 ? argv0 : "";
}

int openDataFile(const char* path) {
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
}

std::FILE* openDataStream(const char* path) {
    int fd = openDataFile(path);
    if (fd < 0) return nullptr;
    std::FILE* stream = fdopen(fd, "rb");
    if (!stream) close(fd);
    return stream;
}

size_t readDataFile(int fd, void* buffer, size_t size) {
    size_t got = 0;
    while (got < size) {
        ssize_t n = read(fd, static_cast<char*>(buffer) + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void closeDataFile(int fd) { close(fd); }

bool linkFolder(const std::string& target, const std::string& link) {
    std::error_code failed;
    std::filesystem::create_directory_symlink(target, link, failed);
    return !failed;
}

void setEnvironment(const char* name, const char* value, bool replace) { setenv(name, value, replace ? 1 : 0); }

int redirectOutput(int fd, const char* path) {
    std::fflush(fd == 2 ? stderr : stdout);
    int target = open(path ? path : "/dev/null", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int saved = target < 0 ? -1 : dup(fd);
    if (saved >= 0 && dup2(target, fd) < 0) {
        close(saved);
        saved = -1;
    }
    if (target >= 0) close(target);
    return saved;
}

void restoreOutput(int fd, int saved) {
    if (saved < 0) return;
    std::fflush(fd == 2 ? stderr : stdout);
    dup2(saved, fd);
    close(saved);
}

bool isTerminal(int fd) { return isatty(fd) != 0; }

void installQuitSignals() {
    // SDL 1.2 only installs its own handlers where the default one is in place.
    std::signal(SIGINT, onQuitSignal);
    std::signal(SIGTERM, onQuitSignal);
}

bool quitSignalled() { return signalArrived != 0; }
