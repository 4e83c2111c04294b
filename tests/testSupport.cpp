#include "testSupport.h"
#include "sprites/clock.h"
#include "platform/files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "particles/partInfoList.h"
#include "particles/particle.h"
#include "platform/platform.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"

SDL_Surface* testScreen() {
    static SDL_Surface* screen = nullptr;
    if (screen) return screen;
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        std::abort();
    }
    screen = SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, SDL_FULLSCREEN | SDL_HWPALETTE);
    if (!screen) {
        std::fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        std::abort();
    }
    return screen;
}

std::string makeTempDir(const std::string& label) {
    std::string folder = makeTempFolder(label);
    if (folder.empty()) std::abort();
    return folder;
}

void makeDirs(const std::string& path) {
    makeFolders(path);
}

void writeFile(const std::string& path, const std::string& content) {
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) makeDirs(path.substr(0, slash));
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string toolCommand(const std::string& name) {
    std::string path = buildDir() + "/tools/" + name;
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
    path += ".exe";
#endif
    return path;
}

bool placeBundledData(const std::string& folder) {
    std::string bundled = sourceDir() + "/data";
    if (linkFolder(bundled, folder + "/data")) return true;
    std::error_code failed;
    std::filesystem::copy(bundled, folder + "/data", std::filesystem::copy_options::recursive, failed);
    return !failed;
}

void writeBmp(const std::string& path, int w, int h, Uint32 rgb, int edge, Uint32 edgeRgb) {
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) makeDirs(path.substr(0, slash));
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, (rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff));
    SDL_Rect edgeColumns = {0, 0, static_cast<Uint16>(edge), static_cast<Uint16>(h)};
    if (edge > 0)
        SDL_FillRect(surface, &edgeColumns,
                     SDL_MapRGB(surface->format, (edgeRgb >> 16) & 0xff, (edgeRgb >> 8) & 0xff, edgeRgb & 0xff));
    SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
}

std::string le16(uint32_t value) {
    return std::string{static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff)};
}
std::string le32(uint32_t value) { return le16(value & 0xffff) + le16(value >> 16); }

std::string wavBytes(uint32_t encoding, uint32_t channels, uint32_t rate, uint32_t bits, const std::string& sound,
                     uint32_t blockAlign, const std::string& formatExtra) {
    if (blockAlign == 0) blockAlign = channels * bits / 8;
    std::string format = le16(encoding) + le16(channels) + le32(rate) + le32(rate * blockAlign) + le16(blockAlign) +
                         le16(bits) + formatExtra;
    std::string chunks = "fmt " + le32(format.size()) + format + "data" + le32(sound.size()) + sound;
    return "RIFF" + le32(4 + chunks.size()) + "WAVE" + chunks;
}

std::string imaAdpcmWav(uint32_t channels, uint32_t rate, int blocks) {
    const uint32_t blockAlign = 256 * channels;
    std::string sound;
    for (int b = 0; b < blocks; ++b) {
        // Each channel's header: its first sample, a step index (0..88) and a reserved byte.
        for (uint32_t c = 0; c < channels; ++c) sound += le16(100 * c) + std::string(1, static_cast<char>(b % 89)) + '\0';
        for (uint32_t i = 4 * channels; i < blockAlign; ++i) sound += static_cast<char>((i * 37 + b) & 0xff);
    }
    // The extension: its size, then the samples a block holds.
    return wavBytes(0x11, channels, rate, 4, sound, blockAlign, le16(2) + le16(kImaSamplesPerBlock));
}

Uint32 pixelAt(SDL_Surface* surface, int x, int y) {
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    Uint32 value = static_cast<Uint32*>(surface->pixels)[y * (surface->pitch / 4) + x];
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return value;
}

void fillSurface(SDL_Surface* surface, Uint32 pixel) { SDL_FillRect(surface, nullptr, pixel); }

std::string sourceDir() { return FIGHTSCENE_SOURCE_DIR; }
std::string buildDir() { return FIGHTSCENE_BUILD_DIR; }

std::string particleFrameInfo(int moveX) {
    return "FILES: 1\nf.bmp 40 -1 0 0\n5 4\n0 0 20 10\n0 0 20 12\n0\n0\n0\n0 0\n0 0\nNULL\n0\n" +
           std::to_string(moveX) + " 0\n0\nNULL\n";
}

loadPolicy& gameLoading() {
    static loadPolicy game = gamePolicy();
    return game;
}

void loadParticleList(partInfoList& defs, const std::string& folder) {
    startCapture();
    loadPolicy game = gamePolicy();
    inFolder(folder, [&] { defs.addList("default", testScreen(), game); });
    stopCapture();
    clockSet(0);
}

std::string spawnBeside(particle& p, const std::string& spec, Fighter* owner, partInfoList& defs, int time) {
    startCapture();
    p.init(spec, owner, nullptr, &defs, testScreen(), time);
    return stopCapture();
}

std::string spawnFrom(particle& p, const std::string& spec, bool dir, CSprite* parent, partInfoList& defs) {
    startCapture();
    p.initD(spec, dir, parent, &defs, testScreen(), 0);
    return stopCapture();
}

gameScene* startSceneIn(const std::string& folder, std::string* output) {
    if (!changeFolder(folder) || SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) return nullptr;
    clockSet(1000);
    gameScene* objects = new gameScene;
    startCapture();
    loadPolicy startUp = gamePolicy();
    startScene(*objects, false, startUp);
    std::string printed = stopCapture();
    if (output) *output = printed;
    return objects;
}

void pushKeyDown(int sym) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    SDL_PushEvent(&event);
}

#ifndef _WIN32
std::string outputOfChild(const std::function<void()>& fn, int& status) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    pid_t child = fork();
    if (child == 0) {
        fn();
        std::fflush(stdout);
        _exit(0);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return testing::internal::GetCapturedStdout();
}
#endif

void startCapture() {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
}

std::string stopCapture() {
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}
