#pragma once
// Shared helpers of the test programs: a headless display, scratch folders,
// small data files and bitmaps written on the spot, captured output.
#include <SDL/SDL.h>

#include <cstdint>
#include <functional>
#include <string>

#include "data/textFile.h"

// The 800x600 32-bit display on SDL's dummy driver, opened once per program.
SDL_Surface* testScreen();

// A new empty folder under the system's temporary folder.
std::string makeTempDir(const std::string& label = "fs");
// Creates the folders of `path` as needed.
void makeDirs(const std::string& path);
// Writes `content` to `path` (folders created), bytes as given.
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);

// The built tool `name` as the start of a shell command (popen's): on
// Windows, cmd.exe's form of the path.
std::string toolCommand(const std::string& name);

// Gives `folder` a "data" with the bundled content: a link to it, or where
// the system makes no links (Wine), a copy.
bool placeBundledData(const std::string& folder);

// SDL's disk audio writer opens its file for itself alone on Windows, so the
// tests that read the mixed output while it plays run on Linux only.
#ifdef _WIN32
#define SKIP_WHERE_DISK_AUDIO_IS_LOCKED() GTEST_SKIP() << "SDL's disk writer keeps its file to itself on Windows"
#else
#define SKIP_WHERE_DISK_AUDIO_IS_LOCKED() (void)0
#endif

// Writes a 24-bit BMP of w x h pixels filled with `rgb` (0xRRGGBB), its
// leftmost `edge` columns with `edgeRgb` (so that a mirrored copy can be
// told apart).
void writeBmp(const std::string& path, int w, int h, Uint32 rgb, int edge = 0, Uint32 edgeRgb = 0);

// Little-endian bytes of a 16-bit and a 32-bit value, for binary headers.
std::string le16(uint32_t value);
std::string le32(uint32_t value);

// A WAV file: a format chunk (`encoding` 1 is PCM, 2 MS ADPCM, 0x11 IMA
// ADPCM) followed by `formatExtra`, then a data chunk holding `sound`.
// `blockAlign` 0 is the size of one sample in every channel.
std::string wavBytes(uint32_t encoding, uint32_t channels, uint32_t rate, uint32_t bits, const std::string& sound,
                     uint32_t blockAlign = 0, const std::string& formatExtra = "");
// An IMA ADPCM WAV file of `blocks` blocks, 256 bytes a channel each.
std::string imaAdpcmWav(uint32_t channels, uint32_t rate, int blocks);
// Samples (in every channel) of one block of imaAdpcmWav.
const uint32_t kImaSamplesPerBlock = 505;

// Pixel (x, y) of a 32-bit surface, locked as needed.
Uint32 pixelAt(SDL_Surface* surface, int x, int y);
// Fills the whole surface with the raw pixel value `pixel`.
void fillSurface(SDL_Surface* surface, Uint32 pixel);

// The game's loading policy, one for the whole test program: for the loads
// whose reports a test does not count (a test that counts keeps its own).
loadPolicy& gameLoading();

// Folder of the repository and of the build, as CMake gave them.
std::string sourceDir();
std::string buildDir();

class partInfoList;
class particle;
class Fighter;
class CSprite;
// The "info" of a particle's one 20x10 frame f.bmp: anchor (5, 4),
// collision box the whole frame, hit box to row 12 (its lowest box edge),
// `moveX` pixels a movement step.
std::string particleFrameInfo(int moveX);
// Loads the particle list "default" of the "data" in `folder` into `defs`,
// its output captured, and sets the clock to 0.
void loadParticleList(partInfoList& defs, const std::string& folder);
// Starts `p` from the spawn string `spec` of `defs` at the clock's `time`,
// placed by the fighter `owner`, on the test screen; what it printed.
std::string spawnBeside(particle& p, const std::string& spec, Fighter* owner, partInfoList& defs, int time = 0);
// The same as a particle launched by `parent`'s death, facing right when `dir`.
std::string spawnFrom(particle& p, const std::string& spec, bool dir, CSprite* parent, partInfoList& defs);

struct gameScene;
// Starts the scene as the game does, from `folder` (which holds "data"):
// SDL, the clock set to 1000 ms, start-up with its output captured and
// returned in `output`. The scene, kept for the whole program; null when
// the folder can't be entered or SDL can't start.
gameScene* startSceneIn(const std::string& folder, std::string* output = nullptr);

// Queues a key press as SDL delivers it, for the next pass to poll.
void pushKeyDown(int sym);

// Captures standard output (printf and std::cout) between start and stop.
void startCapture();
std::string stopCapture();

#ifndef _WIN32
// Runs `fn` in a child process (which ends when `fn` returns) and gives
// back what the child printed on standard output; `status` gets its exit status.
// Linux only: the tests that use it are left out of the Windows build.
std::string outputOfChild(const std::function<void()>& fn, int& status);
#endif

// Runs `fn` with the working directory set to `dir`, then goes back.
template <typename Fn>
void inFolder(const std::string& dir, Fn fn);

#include "platform/files.h"
template <typename Fn>
void inFolder(const std::string& dir, Fn fn) {
    std::string saved = currentFolder();
    if (!changeFolder(dir)) return;
    fn();
    if (!saved.empty()) changeFolder(saved);
}
