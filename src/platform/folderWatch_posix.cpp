#include "folderWatch.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

// inotify watches one folder, not its subfolders: each folder of the tree
// has a watch of its own, and the folder above the root one more, for the
// root's own name. A watch stays with its folder when the folder is
// renamed, so after a folder was renamed, made or replaced the watches are
// made anew from the paths.
struct folderWatch {
    std::string root;                     // the watched folder, as given
    std::string above;                    // the folder holding it
    std::string rootName;                 // its name there
    int notices = -1;                     // the inotify descriptor, non-blocking
    int aboveId = -1;                     // the watch on `above`, or -1
    std::map<int, std::string> folders;  // the tree's watch descriptors to their folders
    std::string stopped;                  // why watching stopped, "" while it goes on
};

namespace {
const uint32_t kChanges = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                          IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
// Entries of the folder above that can be the root coming or going.
const uint32_t kNames = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// Bounds for a tree that is deep or very wide.
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

// Every watch made again from the paths, on a fresh descriptor (the old
// one's queued notices are dropped with it). Without the root the watch
// waits for a folder of its name above it; without that either, it stops.
void rewatch(folderWatch& watch) {
    if (watch.notices >= 0) close(watch.notices);
    watch.folders.clear();
    watch.notices = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch.notices < 0) {
        watch.stopped = std::string("change notices can't be had: ") + std::strerror(errno);
        return;
    }
    watch.aboveId = inotify_add_watch(watch.notices, watch.above.c_str(), kNames | IN_ONLYDIR);
    int aboveErrno = errno;
    watchTree(watch, watch.root, 0);
    if (watch.folders.empty() && watch.aboveId < 0)
        watch.stopped = "neither it nor the folder holding it can be watched (" +
                        std::string(std::strerror(aboveErrno)) + ")";
}

// What one notice means for the watch: `changed` when it counts as a
// change, `remake` when the watches must be made anew.
void readNotice(folderWatch& watch, const inotify_event& event, bool& changed, bool& remake) {
    if (event.mask & IN_Q_OVERFLOW) {  // notices were lost
        changed = remake = true;
        return;
    }
    std::string name = event.len > 0 ? event.name : "";
    if (event.wd == watch.aboveId) {
        if (event.mask & IN_IGNORED) {
            watch.aboveId = -1;
            if (watch.folders.empty()) watch.stopped = "the folder holding it is gone";
        } else if (name == watch.rootName) {
            changed = remake = true;
        }
        return;
    }
    if (event.mask & IN_IGNORED) {
        watch.folders.erase(event.wd);
        return;
    }
    if (!name.empty() && isEditorScratch(name)) return;
    changed = true;
    // A folder renamed, moved in or made, or the root itself renamed or
    // removed: the paths of the watches no longer hold.
    bool folderMoved = (event.mask & IN_ISDIR) && (event.mask & (IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO));
    auto folder = watch.folders.find(event.wd);
    bool isRoot = folder != watch.folders.end() && folder->second == watch.root;
    bool rootGone = isRoot && (event.mask & (IN_MOVE_SELF | IN_DELETE_SELF));
    if (folderMoved || rootGone || (event.mask & IN_UNMOUNT)) remake = true;
}
}  // namespace

folderWatch* watchFolder(const char* folder, std::string& problem) {
    folderWatch* watch = new folderWatch;
    watch->root = folder;
    while (watch->root.size() > 1 && watch->root.back() == '/') watch->root.pop_back();
    size_t slash = watch->root.find_last_of('/');
    watch->above = slash == std::string::npos ? "." : slash == 0 ? "/" : watch->root.substr(0, slash);
    watch->rootName = slash == std::string::npos ? watch->root : watch->root.substr(slash + 1);
    rewatch(*watch);
    if (watch->folders.empty()) {
        problem = watch->notices < 0 ? watch->stopped
                                     : std::string("cannot watch ") + folder + ": " + std::strerror(errno);
        unwatchFolder(watch);
        return nullptr;
    }
    return watch;
}

bool folderChanged(folderWatch* watch, unsigned) {
    if (!watch || !watch->stopped.empty()) return false;
    bool changed = false;
    bool remake = false;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        ssize_t got = read(watch->notices, buffer, sizeof buffer);
        if (got < 0 && errno != EAGAIN && errno != EINTR) {
            watch->stopped = std::string("change notices can't be read: ") + std::strerror(errno);
            return changed;
        }
        if (got <= 0) break;  // EAGAIN: nothing more for now
        for (ssize_t at = 0; at < got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            readNotice(*watch, *event, changed, remake);
        }
    }
    if (remake) rewatch(*watch);
    return changed;
}

std::string watchStopped(const folderWatch* watch) { return watch ? watch->stopped : ""; }

void unwatchFolder(folderWatch* watch) {
    if (!watch) return;
    if (watch->notices >= 0) close(watch->notices);
    delete watch;
}
