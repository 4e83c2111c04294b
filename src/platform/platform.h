#pragma once
// What differs from one operating system to another, behind one header: the
// console, the program's own path, data files that refuse pipes and devices,
// the environment, output redirection, folder links and termination signals.
// platform_posix.cpp and platform_win32.cpp implement it; the build takes the
// one for its system. Folders and files that std::filesystem handles alike on
// every system are in files.h.
#include <cstddef>
#include <cstdio>
#include <string>

// --- Console ---
// Hides the console window on Windows; there is none to hide elsewhere.
void hideConsole();
// Makes standard output show each line as it is written, also into a file.
// Windows' C library has no line buffering (it buffers in full instead), so
// there every write goes out at once.
void showOutputLineByLine();

// --- The program ---
// The path of the running executable; `argv0` (or "") when the system can't
// tell.
std::string programPath(const char* argv0);

// --- Data files ---
// Opens `path` for reading when it is a regular file (or a link to one). A
// pipe, device or folder is refused at once, where opening or reading it
// would wait or never end; errno is then EISDIR for a folder, else EINVAL.
// The descriptor, or -1.
int openDataFile(const char* path);
// The same as a stream read in binary mode, or null.
std::FILE* openDataStream(const char* path);
// Reads up to `size` bytes of an open data file into `buffer`, through
// short reads, until the end of the file: the bytes read.
size_t readDataFile(int fd, void* buffer, size_t size);
void closeDataFile(int fd);

// --- Folder links ---
// Makes `link` name the folder `target`; false when the system refuses.
// (std::filesystem makes no links on Windows with the C++ library we build
// with.) Removed with std::filesystem::remove, which removes the link only.
bool linkFolder(const std::string& target, const std::string& link);

// --- Environment ---
// Sets the variable `name`; an existing value stays unless `replace`.
void setEnvironment(const char* name, const char* value, bool replace);

// --- Output redirection ---
// Sends the standard stream `fd` (1 or 2) into the file `path`, or nowhere
// when `path` is null, until restoreOutput. The saved stream, or -1 when
// nothing was changed.
int redirectOutput(int fd, const char* path);
// Gives `fd` back the stream saved by redirectOutput.
void restoreOutput(int fd, int saved);
// True when the descriptor `fd` is a terminal (or console).
bool isTerminal(int fd);

// --- Termination signals ---
// Turns SIGINT and SIGTERM into a request to quit. Must run before SDL_Init,
// which then leaves these signals alone.
void installQuitSignals();
// True once a termination signal has arrived.
bool quitSignalled();
