#pragma once
// Shared helpers of the test programs: a headless display, scratch folders,
// small data files and bitmaps written on the spot, captured output.
#include <SDL/SDL.h>

#include <string>

// The 800x600 32-bit display on SDL's dummy driver, opened once per program.
SDL_Surface* testScreen();

// A new empty folder under the system's temporary folder.
std::string makeTempDir(const std::string& label = "fs");
// Creates the folders of `path` as needed.
void makeDirs(const std::string& path);
// Writes `content` to `path` (folders created), bytes as given.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);

// Writes a 24-bit BMP of w x h pixels filled with `rgb` (0xRRGGBB).
void writeBmp(const std::string& path, int w, int h, Uint32 rgb);

// Pixel (x, y) of a 32-bit surface, locked as needed.
Uint32 pixelAt(SDL_Surface* surface, int x, int y);
// Fills the whole surface with the raw pixel value `pixel`.
void fillSurface(SDL_Surface* surface, Uint32 pixel);

// Folder of the repository and of the build, as CMake gave them.
std::string sourceDir();
std::string buildDir();

struct sceneObjects;
// Starts the scene as the game does, from `folder` (which holds "data"):
// SDL, the clock set to 1000 ms, start-up with its output captured and
// returned in `output`. The objects, kept for the whole program; null when
// the folder can't be entered or SDL can't start.
sceneObjects* startSceneIn(const std::string& folder, std::string* output = nullptr);

// Queues a key press as SDL delivers it, for the next pass to poll.
void pushKeyDown(int sym);

// Captures standard output (printf and std::cout) between start and stop.
void startCapture();
std::string stopCapture();

// Runs `fn` with the working directory set to `dir`, then goes back.
template <typename Fn>
void inFolder(const std::string& dir, Fn fn);

#include "platform/platform.h"
template <typename Fn>
void inFolder(const std::string& dir, Fn fn) {
    std::string saved = currentFolder();
    if (!changeFolder(dir)) return;
    fn();
    if (!saved.empty()) changeFolder(saved);
}
