#pragma once
// Noticing that files under a folder changed, by the system's own change
// notices (inotify on Linux, change notifications on Windows).
#include <string>

struct folderWatch;

// Starts watching `folder` and every folder under it for files written,
// created, removed, renamed or touched, and the folder above it for a
// folder of the same name coming or going, so that a folder renamed or put
// in its place is watched in turn. Null, with `problem` set, when the
// system can't watch it.
folderWatch* watchFolder(const char* folder, std::string& problem);
// True when something under the folder changed since the last call, or the
// folder itself was removed, renamed or replaced. The swap and backup files
// of editors (isEditorScratch) are left out. Never waits. `nowMs`, the
// caller's clock in milliseconds, paces the tree walk where the system gives
// no notices for the folder: at most one every kWalkEveryMs.
bool folderChanged(folderWatch* watch, unsigned nowMs);
// Why watching stopped for good, "" while it goes on; once stopped,
// folderChanged says nothing more.
std::string watchStopped(const folderWatch* watch);
// Stops watching and frees the watch; null is fine.
void unwatchFolder(folderWatch* watch);

// True for the names editors give their swap, lock and backup files: a
// leading '.' or '#', a trailing '~', ".swp" or ".tmp".
bool isEditorScratch(const std::string& name);
// Milliseconds between two walks of a tree the system gives no notices for.
const unsigned kWalkEveryMs = 250;
