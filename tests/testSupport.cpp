#include "testSupport.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "shell/scene.h"

SDL_Surface* testScreen() {
    static SDL_Surface* screen = nullptr;
    if (screen) return screen;
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        std::abort();
    }
    screen = SDL_SetVideoMode(800, 600, 32, SDL_FULLSCREEN | SDL_HWPALETTE);
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

void writeBmp(const std::string& path, int w, int h, Uint32 rgb) {
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) makeDirs(path.substr(0, slash));
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, (rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff));
    SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
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

sceneObjects* startSceneIn(const std::string& folder, std::string* output) {
    if (!changeFolder(folder) || SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) return nullptr;
    clockSet(1000);
    sceneObjects* objects = new sceneObjects;
    startCapture();
    startScene(*objects);
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

void startCapture() {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
}

std::string stopCapture() {
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}
