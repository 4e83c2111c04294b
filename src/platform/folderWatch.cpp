#include "folderWatch.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#endif

#if defined(_WIN32)

struct folderWatch {
    HANDLE notice = INVALID_HANDLE_VALUE;
};

folderWatch* watchFolder(const char* folder, std::string& problem) {
    // The whole tree, new subfolders included, in one notice.
    HANDLE notice = FindFirstChangeNotificationA(folder, TRUE,
                                                 FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                                     FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (notice == INVALID_HANDLE_VALUE) {
        problem = "change notification refused (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    folderWatch* watch = new folderWatch;
    watch->notice = notice;
    return watch;
}

bool folderChanged(folderWatch* watch) {
    if (!watch) return false;
    bool changed = false;
    // Re-armed after each notice; a burst of writes may signal it again at once.
    for (int i = 0; i < 64 && WaitForSingleObject(watch->notice, 0) == WAIT_OBJECT_0; ++i) {
        changed = true;
        if (!FindNextChangeNotification(watch->notice)) break;
    }
    return changed;
}

void unwatchFolder(folderWatch* watch) {
    if (!watch) return;
    FindCloseChangeNotification(watch->notice);
    delete watch;
}

#elif defined(__linux__)

struct folderWatch {
    int notices = -1;                     // the inotify descriptor, non-blocking
    std::map<int, std::string> folders;  // watch descriptor to the folder it watches
};

namespace {
const uint32_t kChanges = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                          IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// inotify watches one folder, not its subfolders: each gets a watch of its
// own. Bounds for a tree that is deep or very wide.
const int kMaxDepth = 16;
const size_t kMaxFolders = 4096;

void watchTree(folderWatch& watch, const std::string& folder, int depth) {
    if (depth > kMaxDepth || watch.folders.size() >= kMaxFolders) return;
    int id = inotify_add_watch(watch.notices, folder.c_str(), kChanges | IN_ONLYDIR);
    // A folder seen before (a link back up the tree) gives its old id.
    if (id < 0 || watch.folders.count(id)) return;
    watch.folders[id] = folder;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) watchTree(watch, path, depth + 1);
    }
    closedir(dir);
}
}  // namespace

folderWatch* watchFolder(const char* folder, std::string& problem) {
    int notices = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notices < 0) {
        problem = std::strerror(errno);
        return nullptr;
    }
    folderWatch* watch = new folderWatch;
    watch->notices = notices;
    watchTree(*watch, folder, 0);
    if (watch->folders.empty()) {
        problem = std::string("cannot watch ") + folder + ": " + std::strerror(errno);
        unwatchFolder(watch);
        return nullptr;
    }
    return watch;
}

bool folderChanged(folderWatch* watch) {
    if (!watch) return false;
    bool changed = false;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        ssize_t got = read(watch->notices, buffer, sizeof buffer);
        if (got <= 0) break;  // EAGAIN: nothing more for now
        for (ssize_t at = 0; at < got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_IGNORED) {
                watch->folders.erase(event->wd);
                continue;
            }
            changed = true;
            // A new subfolder is watched from now on, with what it holds.
            bool newFolder = (event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO));
            auto parent = watch->folders.find(event->wd);
            if (newFolder && event->len > 0 && parent != watch->folders.end())
                watchTree(*watch, parent->second + "/" + event->name, 1);
        }
    }
    return changed;
}

void unwatchFolder(folderWatch* watch) {
    if (!watch) return;
    if (watch->notices >= 0) close(watch->notices);
    delete watch;
}

#else

struct folderWatch {};

folderWatch* watchFolder(const char*, std::string& problem) {
    problem = "this system gives no change notices";
    return nullptr;
}

bool folderChanged(folderWatch*) { return false; }

void unwatchFolder(folderWatch* watch) { delete watch; }

#endif
