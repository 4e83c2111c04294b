#pragma once
// The only code that knows the operating system: the clock, the console,
// the program's folder and termination signals.
#include <SDL/SDL.h>

#include <cstdio>
#include <string>

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

// --- Termination signals ---
// Turns SIGINT and SIGTERM into a request to quit. Must run before SDL_Init,
// which then leaves these signals alone.
void installQuitSignals();
// True once a termination signal has arrived.
bool quitSignalled();
