#pragma once
// Noticing that files under a folder changed, by the system's own change
// notices (inotify on Linux, change notifications on Windows).
#include <string>

struct folderWatch;

// Starts watching `folder` and every folder under it for files written,
// created, removed, renamed or touched. Null, with `problem` set, when the
// system can't watch it.
folderWatch* watchFolder(const char* folder, std::string& problem);
// True when something under the folder changed since the last call. Never
// waits.
bool folderChanged(folderWatch* watch);
// Stops watching and frees the watch; null is fine.
void unwatchFolder(folderWatch* watch);
