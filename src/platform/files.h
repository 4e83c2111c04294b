#pragma once
// Folders and files as the loaders, tools and tests use them, written once
// over std::filesystem for every system: nothing throws, errno says why a
// call failed where a caller prints it, listings are sorted, and full paths
// come back with '/' between folders.
#include <string>
#include <vector>

// --- Folders ---
// The working directory, or "" when it can't be read.
std::string currentFolder();
// `path` as seen from `folder`: itself when it is absolute (a leading '/';
// on Windows also '\\' or a drive letter) or either is empty, else folder/path. So a
// path a player typed keeps its meaning after the game enters its folder.
std::string pathFrom(const std::string& folder, const std::string& path);
// Makes `path` the working directory; false (errno set) when it can't.
bool changeFolder(const std::string& path);
// True when `path` names a folder (or a link to one).
bool isFolder(const std::string& path);
// True when the folder `path` can be opened for listing; errno tells why not
// (ENOENT when nothing is there, ENOTDIR for a file).
bool canListFolder(const std::string& path);
// The names in the folder `path` (no "." or ".."), sorted; empty when it
// can't be read.
std::vector<std::string> listFolder(const std::string& path);
// Makes the folder `path` and those above it as needed; true when it exists.
bool makeFolders(const std::string& path);
// A new empty folder "label-XXXXXX" under the system's temporary folder (or
// under `parent` when one is given), with '/' between folders; "" when none
// can be made.
std::string makeTempFolder(const std::string& label, const std::string& parent = std::string());
// Removes an empty folder (not a file, nor a link).
bool removeFolder(const std::string& path);
// The absolute form of the existing `path`, links resolved, with '/'
// between folders; "" when it does not exist.
std::string fullPath(const std::string& path);

// --- Files ---
// Size in bytes of the file at `path`, or -1 (errno set).
long long fileSize(const char* path);
// The whole content of the data file `path` in `bytes`, in one read where the
// file keeps its size. Only a regular file is read (see openDataFile); false,
// with errno set, when it can't be opened.
bool readWholeDataFile(const std::string& path, std::string& bytes);
