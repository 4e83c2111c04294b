#pragma once
// The only code that knows the operating system: the clock, the console,
// the program's folder, folders and files, the environment, output
// redirection and termination signals.
#include <SDL/SDL.h>

#include <cstdio>
#include <string>
#include <vector>

// --- Clock ---
// Milliseconds since SDL started, or the value a test has set.
Uint32 clockTicks();
// Fixes the clock at `ms` until clockUseSDL() (tests drive time with it).
void clockSet(Uint32 ms);
// Moves a fixed clock forward by `ms`.
void clockAdvance(Uint32 ms);
// Goes back to SDL's tick count.
void clockUseSDL();

// --- Console ---
// Hides the console window on Windows; there is none to hide elsewhere.
void hideConsole();
// Makes standard output show each line as it is written, also into a file.
// Windows' C library has no line buffering (it buffers in full instead), so
// there every write goes out at once.
void showOutputLineByLine();

// --- Program folder ---
// The folder holding the "data" a program in `programFolder` reads: that
// folder itself when "data" is beside the program (a build or an unpacked
// copy), else the installed share folder relative to it,
// "../share/games/fightscene" (the game in /usr/games, the tools in
// /usr/bin). `programFolder` itself when neither holds a "data" folder, so
// that the loaders report the missing files there.
std::string dataHomeOf(const std::string& programFolder);
// Makes dataHomeOf(the folder holding the running executable) the working
// directory, so the fixed relative data paths work from wherever the
// program is started. Returns false when the folder can't be entered.
bool enterDataHome(const char* argv0);

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
// The next byte of `stream`, or EOF, without taking the stream's lock: the
// readers of data files read byte by byte, on one thread, and a locked
// fgetc per byte was a large part of reading them.
inline int nextByte(std::FILE* stream) {
#ifdef _WIN32
    return _getc_nolock(stream);
#else
    return getc_unlocked(stream);
#endif
}

// --- Folders ---
// The working directory, or "" when it can't be read.
std::string currentFolder();
// Makes `path` the working directory; false (errno set) when it can't.
bool changeFolder(const std::string& path);
// True when `path` names a folder (or a link to one).
bool isFolder(const std::string& path);
// True when the folder `path` can be opened for listing; errno tells why not.
bool canListFolder(const std::string& path);
// The names in the folder `path` (no "." or ".."), sorted; empty when it
// can't be read.
std::vector<std::string> listFolder(const std::string& path);
// Makes the folder `path` and those above it as needed; true when it exists.
bool makeFolders(const std::string& path);
// A new empty folder "label-XXXXXX" under the system's temporary folder, or "".
std::string makeTempFolder(const std::string& label);
// Removes an empty folder.
bool removeFolder(const std::string& path);
// Makes `link` name the folder `target`; false when the system refuses.
bool linkFolder(const std::string& target, const std::string& link);
// Removes a link made by linkFolder (not what it names).
bool removeLink(const std::string& link);
// The absolute form of the existing `path`, links resolved where the system
// has them, with `/` between folders; "" when it does not exist.
std::string fullPath(const std::string& path);
// Makes the working directory a folder whose "data" is `dataFolder`, as the
// fixed "data/..." paths expect: its parent when it is named "data", else a
// new scratch folder (returned in `scratch`) holding a link named "data".
bool enterDataParent(const std::string& dataFolder, std::string& scratch);
// Removes the scratch folder of enterDataParent and its link, if one was made.
void removeDataScratch(const std::string& scratch);
// Size in bytes of the file at `path`, or -1 (errno set).
long long fileSize(const char* path);

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
