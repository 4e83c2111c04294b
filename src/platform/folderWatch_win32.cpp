// The platform room: the only code that knows the operating system (the
// console, the program's path, data files read whole, links, the environment,
// output redirection, signals, change notices), one file per system. This
// file: change notices on Windows, one ReadDirectoryChangesW per folder.
#include "folderWatch.h"

#include <windows.h>

#include <cctype>
#include <map>
#include <memory>
#include <vector>

namespace {
// One folder handle and the change notices being read for it: Windows
// reports the changes of a whole tree on the handle of its root
// (ReadDirectoryChangesW), and the read is asked for without waiting and
// looked at later.
struct noticeReader {
    std::string path;                      // the folder, as opened
    HANDLE folder = INVALID_HANDLE_VALUE;  // opened for listing, or INVALID_HANDLE_VALUE
    HANDLE ready = nullptr;                // event of the read in progress
    OVERLAPPED pending = {};               // the read in progress
    bool reading = false;                  // a read is in progress
    DWORD buffer[4096];                    // FILE_NOTIFY_INFORMATION records, DWORD-aligned (16 KB)
};
}  // namespace

// Each folder of the tree on a handle of its own (Windows can report a
// whole tree on the root's handle, but Wine reports only the root's own
// entries that way), and the folder above on one more, for the root's name
// coming or going. After a folder was made, renamed or removed, or the root
// renamed, removed or replaced, the handles are opened anew from the paths.
// Where the system gives no notices for the root (some network file
// systems) the tree is walked instead, at most once every kWalkEveryMs:
// every name with its size and time of last write.
struct folderWatch {
    std::string root;                                    // the watched folder, as given
    std::string above;                                   // the folder holding it
    std::string rootName;                                // its name there
    std::vector<std::unique_ptr<noticeReader>> folders;  // the root and every folder under it
    noticeReader aboveFolder;                            // the folder above
    bool walking = false;                                // no notices for the root: the tree is walked
    unsigned lastWalk = 0;                               // caller's clock at the last walk, milliseconds
    std::map<std::string, std::string> stamps;           // by the walk: path under the root to its size and write time
    std::string stopped;                                 // why watching stopped, "" while it goes on
};

namespace {
const DWORD kTreeChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                           FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
const DWORD kNameChanges = FILE_NOTIFY_CHANGE_DIR_NAME;
// Bounds for a tree that is deep or very wide.
const int kMaxDepth = 16;
const size_t kMaxEntries = 65536;
const size_t kMaxFolders = 1024;

bool startReading(noticeReader& reader, bool subtree, DWORD filter) {
    reader.pending = OVERLAPPED();
    reader.pending.hEvent = reader.ready;
    reader.reading = ReadDirectoryChangesW(reader.folder, reader.buffer, sizeof reader.buffer, subtree, filter,
                                           nullptr, &reader.pending, nullptr) != 0;
    return reader.reading;
}

void closeReader(noticeReader& reader) {
    if (reader.folder != INVALID_HANDLE_VALUE) {
        // The system writes into the buffer until the read is over.
        if (reader.reading) {
            CancelIo(reader.folder);
            DWORD got = 0;
            GetOverlappedResult(reader.folder, &reader.pending, &got, TRUE);
        }
        CloseHandle(reader.folder);
    }
    if (reader.ready) CloseHandle(reader.ready);
    reader.folder = INVALID_HANDLE_VALUE;
    reader.ready = nullptr;
    reader.reading = false;
}

bool openReader(noticeReader& reader, const std::string& path, bool subtree, DWORD filter) {
    reader.path = path;
    reader.folder = CreateFileA(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (reader.folder == INVALID_HANDLE_VALUE) return false;
    reader.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (reader.ready && startReading(reader, subtree, filter)) return true;
    closeReader(reader);
    return false;
}

std::string narrow(const WCHAR* text, int length) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size : 0, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

// What a finished read brought.
struct notices {
    bool arrived = false;            // the read is over
    bool failed = false;             // it ended in an error (the folder went away)
    bool lost = false;               // more changed than the buffer held
    std::vector<std::string> names;  // the last part of each changed path
    std::vector<DWORD> actions;      // what happened to each: FILE_ACTION_*
};

// The notices of the read in progress, when it is over; never waits.
notices takeNotices(noticeReader& reader) {
    notices taken;
    if (!reader.reading) return taken;
    DWORD got = 0;
    if (!GetOverlappedResult(reader.folder, &reader.pending, &got, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) return taken;
        taken.failed = true;
    }
    taken.arrived = true;
    reader.reading = false;
    if (taken.failed) return taken;
    if (got == 0) taken.lost = true;
    for (DWORD at = 0; got > 0 && at + sizeof(FILE_NOTIFY_INFORMATION) <= got;) {
        const FILE_NOTIFY_INFORMATION* info =
            reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(reinterpret_cast<const char*>(reader.buffer) + at);
        int length = static_cast<int>(info->FileNameLength / sizeof(WCHAR));
        int last = length;
        while (last > 0 && info->FileName[last - 1] != L'\\') --last;
        taken.names.push_back(narrow(info->FileName + last, length - last));
        taken.actions.push_back(info->Action);
        if (info->NextEntryOffset == 0) break;
        at += info->NextEntryOffset;
    }
    return taken;
}

bool sameName(const std::string& a, const std::string& b) {  // as Windows compares file names
    if (a.size() != b.size()) return false;
    for (size_t at = 0; at < a.size(); ++at)
        if (std::tolower(static_cast<unsigned char>(a[at])) != std::tolower(static_cast<unsigned char>(b[at])))
            return false;
    return true;
}

bool isFolderPath(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void stampTree(const std::string& folder, const std::string& under, int depth,
               std::map<std::string, std::string>& stamps) {
    if (depth > kMaxDepth) return;
    WIN32_FIND_DATAA entry;
    HANDLE found = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == ".." || isEditorScratch(name) || stamps.size() >= kMaxEntries) continue;
        bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        stamps[under + name] = std::to_string(entry.nFileSizeHigh) + ":" + std::to_string(entry.nFileSizeLow) + ":" +
                               std::to_string(entry.ftLastWriteTime.dwHighDateTime) + ":" +
                               std::to_string(entry.ftLastWriteTime.dwLowDateTime) + (isFolder ? "/" : "");
        if (isFolder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            stampTree(folder + "\\" + name, under + name + "/", depth + 1, stamps);
    } while (FindNextFileA(found, &entry));
    FindClose(found);
}

// Opens a reader on `folder` and on every folder under it.
void watchTree(folderWatch& watch, const std::string& folder, int depth) {
    if (depth > kMaxDepth || watch.folders.size() >= kMaxFolders) return;
    std::unique_ptr<noticeReader> reader(new noticeReader);
    if (!openReader(*reader, folder, FALSE, kTreeChanges)) return;
    watch.folders.push_back(std::move(reader));
    WIN32_FIND_DATAA entry;
    HANDLE found = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (found == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = entry.cFileName;
        bool isFolder = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (!isFolder || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || name == "." || name == "..")
            continue;
        watchTree(watch, folder + "\\" + name, depth + 1);
    } while (FindNextFileA(found, &entry));
    FindClose(found);
}

void unwatchTree(folderWatch& watch) {
    for (std::unique_ptr<noticeReader>& reader : watch.folders) closeReader(*reader);
    watch.folders.clear();
}

// The handles opened anew from the paths. Without notices for the root it
// is walked; without the root the watch waits for a folder of its name
// above it; without that either, it stops.
void rewatch(folderWatch& watch, unsigned nowMs) {
    unwatchTree(watch);
    watch.walking = false;
    watchTree(watch, watch.root, 0);
    if (watch.folders.empty() && isFolderPath(watch.root)) {
        watch.walking = true;
        watch.lastWalk = nowMs;
        watch.stamps.clear();
        stampTree(watch.root, "", 0, watch.stamps);
    }
    if (watch.aboveFolder.folder == INVALID_HANDLE_VALUE)
        openReader(watch.aboveFolder, watch.above, FALSE, kNameChanges);
    if (watch.folders.empty() && !watch.walking && watch.aboveFolder.folder == INVALID_HANDLE_VALUE)
        watch.stopped = "neither it nor the folder holding it can be watched";
}

// True when a notice of `reader` changes the tree's folders: a folder made
// or moved in, or a watched one removed or moved away.
bool movesAFolder(const folderWatch& watch, const noticeReader& reader, const std::string& name, DWORD action) {
    std::string path = reader.path + "\\" + name;
    if (action == FILE_ACTION_ADDED || action == FILE_ACTION_RENAMED_NEW_NAME) return isFolderPath(path);
    if (action != FILE_ACTION_REMOVED && action != FILE_ACTION_RENAMED_OLD_NAME) return false;
    for (const std::unique_ptr<noticeReader>& folder : watch.folders)
        if (sameName(folder->path, path)) return true;
    return false;
}
}  // namespace

folderWatch* watchFolder(const char* folder, std::string& problem) {
    if (!isFolderPath(folder)) {
        problem = std::string("cannot watch ") + folder + ": No such file or directory";
        return nullptr;
    }
    folderWatch* watch = new folderWatch;
    watch->root = folder;
    while (watch->root.size() > 1 && (watch->root.back() == '/' || watch->root.back() == '\\')) watch->root.pop_back();
    size_t slash = watch->root.find_last_of("/\\");
    watch->above = slash == std::string::npos ? "." : watch->root.substr(0, slash + 1);
    watch->rootName = slash == std::string::npos ? watch->root : watch->root.substr(slash + 1);
    rewatch(*watch, 0);
    return watch;
}

bool folderChanged(folderWatch* watch, unsigned nowMs) {
    if (!watch || !watch->stopped.empty()) return false;
    bool changed = false;
    bool remake = false;
    // the folder above: the root's name coming or going
    notices above = takeNotices(watch->aboveFolder);
    if (above.arrived) {
        for (const std::string& name : above.names)
            if (sameName(name, watch->rootName)) changed = remake = true;
        if (above.lost) changed = remake = true;
        if (above.failed || !startReading(watch->aboveFolder, FALSE, kNameChanges)) {
            closeReader(watch->aboveFolder);
            remake = true;
        }
    }
    // the tree, folder by folder
    for (const std::unique_ptr<noticeReader>& reader : watch->folders) {
        notices tree = takeNotices(*reader);
        if (!tree.arrived) continue;
        for (size_t at = 0; at < tree.names.size(); ++at) {
            if (isEditorScratch(tree.names[at])) continue;
            changed = true;
            if (movesAFolder(*watch, *reader, tree.names[at], tree.actions[at])) remake = true;
        }
        if (tree.lost || tree.failed) changed = remake = true;
        if (!tree.failed && !startReading(*reader, FALSE, kTreeChanges)) changed = remake = true;
    }
    // no notices for the root: its tree compared with the last walk
    if (watch->walking && nowMs - watch->lastWalk >= kWalkEveryMs) {
        watch->lastWalk = nowMs;
        std::map<std::string, std::string> now;
        stampTree(watch->root, "", 0, now);
        if (now != watch->stamps) {
            changed = true;
            watch->stamps.swap(now);
        }
        if (!isFolderPath(watch->root)) remake = true;
    }
    if (remake) rewatch(*watch, nowMs);
    return changed;
}

std::string watchStopped(const folderWatch* watch) { return watch ? watch->stopped : ""; }

void unwatchFolder(folderWatch* watch) {
    if (!watch) return;
    unwatchTree(*watch);
    closeReader(watch->aboveFolder);
    delete watch;
}
