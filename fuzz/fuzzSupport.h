#pragma once
// Shared helpers of the fuzz harnesses: the headless display and audio, a
// private scratch folder, and small valid content (bitmaps, frame sets,
// particle definitions) that the fuzzed text files can point at.
#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/textFile.h"
#include "platform/files.h"  // makeFolders

// --- Headless SDL ---
// The 800x600 32-bit display on SDL's dummy driver, set once per process.
SDL_Surface* fuzzScreen();
// Opens the mixer on SDL's dummy audio driver once; false when it can't.
bool fuzzAudio();

// The start of every harness: the display, and the path of the scratch
// folder `name` inside fuzzFolder(), not yet made.
std::string quietStart(const char* name);

// --- Scratch files ---
// A private folder of this process under /dev/shm (or the temporary
// folder), made once. Its path is short: the loaders limit paths to 255.
const std::string& fuzzFolder();
// Writes `size` bytes to `path`, replacing it.
void writeBytes(const std::string& path, const void* data, size_t size);
void writeText(const std::string& path, const std::string& text);
// Removes `path` and everything inside it.
void removeTree(const std::string& path);
// Makes `dir` the working directory while it lives: the loaders that read
// fixed relative paths ("data/particle/...") run inside a scratch folder,
// and the fuzzer finds its corpus paths again when the input is done.
class folderVisit {
public:
    explicit folderVisit(const std::string& dir);
    ~folderVisit();
    folderVisit(const folderVisit&) = delete;
    folderVisit& operator=(const folderVisit&) = delete;

private:
    std::string previous;
};

// --- Small valid content ---
// The bytes of a valid BMP of w x h pixels with 8, 24 or 32 bits per pixel,
// its colours derived from `seed`.
std::string smallBmp(int w, int h, int bits, uint32_t seed);
// Writes a frame set folder: "info" with `frames` frames f0.bmp.. of
// w x h pixels, each moving `moveX` sideways, with the particle line
// `particleLine` on its first frame when that is not empty.
void writeFrameSet(const std::string& folder, int frames, int w, int h, int moveX,
                   const std::string& particleLine = std::string());

// A character folder like the bundled one: a frame set folder for each
// bundled animation (standing, walk, duck, inAir, blank) and move name.
void writeCharacterFolders(const std::string& folder);
// The bundled particle definitions (fireball1, burst, ember, cinder) with
// their settings, small frames, and the list file "default", under
// `particleFolder` (a folder ".../data/particle").
void writeParticleDefinitions(const std::string& particleFolder);

// --- Using what was loaded ---
class CSpriteBase;
class Fighter;
class particleList;
// One drawing pass of `particles`: restore, save, draw, boxes.
void particlesPass(particleList& particles);
// One pass of the game's loop for `fighter`: gravity, the side clamp, the
// background restored and saved, the frame and its boxes drawn.
void fighterPass(Fighter& fighter);
// Draws every frame of `set` the ways the game does: as a particle's sprite
// and as the fighter's current frame, in both facings, with the boxes,
// the movement step and the background saves and restores. `seed` varies
// the positions and the clock.
void playFrames(CSpriteBase& set, uint32_t seed);

class particleInfo;
// Fails when an event's count of a definition is not the number of entries it holds.
void checkEventCounts(const particleInfo& info);

// --- Quiet loading ---
// Content messages ("file:line: message") are collected, not printed; the
// count of them since the last call is returned. One that echoes a control
// byte fails.
int takeContentReports();
// The game's loading policy, with content messages counted instead of
// printed: every harness loads with it.
loadPolicy& quietLoading();

// A broken rule: says which on standard error and aborts, so the fuzzer
// reports the input like a crash.
[[noreturn]] void fail(const char* what);

// The input as text (libFuzzer's bytes as one string, NULs kept).
inline std::string asText(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
