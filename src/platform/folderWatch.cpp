#include "folderWatch.h"

#if defined(_WIN32)
#include <windows.h>

#include <map>
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

// Windows' change notices for a whole tree arrive late or not at all on some
// file systems (and under Wine), so the watch compares what the tree holds:
// every name with its size and time of last write, walked afresh each call.
// The bundled data is about 130 entries: a fraction of a millisecond.
struct folderWatch {
    std::string root;
    std::map<std::string, std::string> stamps;  // path under the root to its size and write time
};

namespace {
const int kMaxDepth = 16;
const size_t kMaxEntries = 65536;

void stampTree(const std::string& folder, const std::string& under, int depth,
               std::map<std::string, std::string>& stamps) {
    if (depth > kMaxDepth) return;
    WIN32_FIND_DATAA entry;
    HANDLE found = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == ".." || stamps.size() >= kMaxEntries) continue;
        bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        stamps[under + name] = std::to_string(entry.nFileSizeHigh) + ":" + std::to_string(entry.nFileSizeLow) + ":" +
                               std::to_string(entry.ftLastWriteTime.dwHighDateTime) + ":" +
                               std::to_string(entry.ftLastWriteTime.dwLowDateTime) + (isFolder ? "/" : "");
        if (isFolder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            stampTree(folder + "\\" + name, under + name + "/", depth + 1, stamps);
    } while (FindNextFileA(found, &entry));
    FindClose(found);
}
}  // namespace

folderWatch* watchFolder(const char* folder, std::string& problem) {
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        problem = std::string("cannot watch ") + folder + ": No such file or directory";
        return nullptr;
    }
    folderWatch* watch = new folderWatch;
    watch->root = folder;
    stampTree(watch->root, "", 0, watch->stamps);
    return watch;
}

bool folderChanged(folderWatch* watch) {
    if (!watch) return false;
    std::map<std::string, std::string> now;
    stampTree(watch->root, "", 0, now);
    if (now == watch->stamps) return false;
    watch->stamps.swap(now);
    return true;
}

void unwatchFolder(folderWatch* watch) { delete watch; }

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
