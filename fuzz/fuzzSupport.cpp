// The fuzz harnesses feed hostile input to the loaders; this file holds what
// they share (a scratch folder, the files and bitmaps they write, SDL started
// once, a quiet load policy).
#include "fuzzSupport.h"

#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "fighter/Fighter.h"
#include "particles/particleInfo.h"
#include "particles/particleList.h"
#include "sprites/clock.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "data/textFile.h"
#include "sprites/CSprite.h"
#include "sprites/CSpriteBase.h"
#include "sprites/sceneGeometry.h"

namespace {

// Heard, not printed: the policy counts them. A message never carries a
// control byte of the content to the terminal.
void hearQuietly(const std::string& file, int, const std::string& message) {
    for (char c : file + message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) fail("a message echoes a control byte");
}

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}

void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
}  // namespace

SDL_Surface* fuzzScreen() {
    static SDL_Surface* screen = nullptr;
    if (screen) return screen;
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    // No parachute: the sanitizers and the fuzzer handle crashing signals.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) != 0) {
        std::fprintf(stderr, "fuzz: SDL_Init failed: %s\n", SDL_GetError());
        std::abort();
    }
    screen = SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "fuzz: no video mode: %s\n", SDL_GetError());
        std::abort();
    }
    return screen;
}

bool fuzzAudio() {
    static int state = 0;  // 0 untried, 1 open, -1 failed
    if (state != 0) return state > 0;
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    state = -1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0) state = 1;
    return state > 0;
}

const std::string& fuzzFolder() {
    static std::string folder;
    if (!folder.empty()) return folder;
    // Memory-backed where there is such a folder: the harnesses write files for every input.
    folder = makeTempFolder("fz", "/dev/shm");
    if (folder.empty()) folder = makeTempFolder("fz");
    if (folder.empty()) {
        std::perror("fuzz: no scratch folder");
        std::abort();
    }
    return folder;
}

void writeBytes(const std::string& path, const void* data, size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        std::abort();
    }
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
}

void writeText(const std::string& path, const std::string& text) { writeBytes(path, text.data(), text.size()); }

void removeTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

folderVisit::folderVisit(const std::string& dir) : previous(currentFolder()) {
    if (previous.empty() || !changeFolder(dir)) {
        std::perror(dir.c_str());
        std::abort();
    }
}

folderVisit::~folderVisit() {
    if (!changeFolder(previous)) std::perror(previous.c_str());
}

std::string smallBmp(int w, int h, int bits, uint32_t seed) {
    const int paletteSize = bits == 8 ? 16 : 0;
    const uint32_t rowBytes = ((static_cast<uint32_t>(w) * bits + 31) / 32) * 4;
    const uint32_t pixelOffset = 14 + 40 + paletteSize * 4;
    const uint32_t fileSize = pixelOffset + rowBytes * h;
    std::string out;
    out += "BM";
    put32(out, fileSize);
    put32(out, 0);
    put32(out, pixelOffset);
    put32(out, 40);
    put32(out, w);
    put32(out, h);
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);  // no compression
    put32(out, rowBytes * h);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, paletteSize);
    put32(out, 0);
    for (int i = 0; i < paletteSize; ++i) put32(out, (seed * 2654435761u + i * 0x10101u) & 0xffffff);
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            uint32_t colour = (seed + x * 31 + y * 17) * 2246822519u;
            // The first column is magenta, the colour key of the written frame sets.
            if (x == 0) colour = 0xff00ff;
            if (bits == 8) row += static_cast<char>(colour % paletteSize);
            if (bits >= 24) {
                row += static_cast<char>(colour & 0xff);
                row += static_cast<char>((colour >> 8) & 0xff);
                row += static_cast<char>((colour >> 16) & 0xff);
            }
            if (bits == 32) row += '\0';
        }
        row.resize(rowBytes, '\0');
        out += row;
    }
    return out;
}

void writeFrameSet(const std::string& folder, int frames, int w, int h, int moveX, const std::string& particleLine) {
    makeFolders(folder);
    std::string info = "FILES: " + std::to_string(frames) + "\n# frames written by the fuzz harness\n";
    for (int i = 0; i < frames; ++i) {
        std::string name = "f" + std::to_string(i) + ".bmp";
        std::string bmp = smallBmp(w, h, i % 2 ? 8 : 24, static_cast<uint32_t>(i + 1));
        writeBytes(folder + "/" + name, bmp.data(), bmp.size());
        info += "\n" + name + " 1 255 0 255\n";
        info += std::to_string(w / 2) + " " + std::to_string(h) + "\n";
        info += "0 0 " + std::to_string(w) + " " + std::to_string(h) + "\n";
        info += "1 1 " + std::to_string(w - 1) + " " + std::to_string(h - 1) + "\n";
        info += "1\n0\n0\n0 0\n0 0\nNULL\n";
        if (i == 0 && !particleLine.empty())
            info += "1\n" + particleLine + "\n";
        else
            info += "0\n";
        info += std::to_string(moveX) + " 0\n0\nNULL\n";
    }
    writeText(folder + "/info", info);
}

void writeCharacterFolders(const std::string& folder) {
    const char* animations[] = {"standing", "walk", "duck", "inAir", "blank"};
    int i = 0;
    for (const char* name : animations) {
        writeFrameSet(folder + "/" + name, 1 + i % 3, 6 + i, 8 + i, 0);
        ++i;
    }
    const char* moves[] = {"risingFlame", "flameThrow", "dashPunch", "jab",
                           "flyingKick",  "sweep",      "frontKick", "spinKick"};
    for (const char* name : moves) {
        std::string particleLine = std::string(name) == "flameThrow" ? "fireball1 80 80" : "";
        writeFrameSet(folder + "/" + name, 1 + i % 4, 5 + i % 6, 7 + i % 5, i % 3, particleLine);
        ++i;
    }
}

void writeParticleDefinitions(const std::string& particleFolder) {
    struct definition {
        const char* name;
        int frames;
        int size;
        int moveX;
        const char* settings;
    };
    const definition definitions[] = {
        {"fireball1", 3, 8, 8, "255\n1100\n0\n0\n0\n3\nburst 12 16\nember 22 10\ncinder 6 20\n0\n1\nburst 12 16\n0\n0\n"},
        {"burst", 2, 9, 0, "255\n330\n0\n0\n0\n0\n0\n0\n0\n0\n"},
        {"ember", 2, 4, 1, "255\n1100\n1\n0\n0\n0\n0\n0\n0\n0\n"},
        {"cinder", 2, 3, 0, "255\n1400\n1\n0\n0\n0\n0\n0\n0\n0\n"},
    };
    std::string list = "PARTS: 4\n";
    int number = 1;
    for (const definition& d : definitions) {
        std::string folder = particleFolder + "/" + d.name;
        writeFrameSet(folder, d.frames, d.size, d.size, d.moveX);
        writeText(folder + "/particle", d.settings);
        list += std::string(d.name) + " " + std::to_string(number++) + "\n";
    }
    writeText(particleFolder + "/default", list);
}

void playFrames(CSpriteBase& set, uint32_t seed) {
    SDL_Surface* screen = fuzzScreen();
    clockSet(1000 + seed % 5000);
    const int x = static_cast<int>(seed % 1000) - 100;
    const int y = static_cast<int>((seed >> 10) % 800) - 100;

    // A particle's sprite: placed by the anchor, moved, drawn, saved, restored.
    CSprite sprite;
    sprite.init(&set, screen);
    sprite.speed = 3.0f;
    for (int i = 0; i < set.numFrames + 2; ++i) {
        bool facing = (i + seed) % 2 == 0;
        sprite.adjustPos(x, y, facing);
        sprite.moveD(facing);
        sprite.getYOffset(0);
        sprite.getYOffset(i);
        sprite.clearBG();
        sprite.updateBG();
        sprite.drawD(facing);
        sprite.drawColBoxes();
        sprite.returnPartNum();
        sprite.returnParticle(1);
        sprite.returnSound();
        clockAdvance(7);
    }

    // The fighter showing the set as its animation or move.
    Fighter fighter;
    fighter.screen = screen;
    fighter.speed = 3.0f;
    fighter.x = x;
    fighter.y = kGroundLevel;
    fighter.grounded = true;
    fighter.airActions = 2;
    if (set.drawable(0)) fighter.setBgSave(SDL_DisplayFormat(set.frames[0].image));
    for (int i = 0; i < 2 * set.numFrames + 2; ++i) {
        // Landing switches to "walk", which this fighter does not have.
        fighter.base = &set;
        fighter.setDir((i + seed) % 3 != 0);
        fighterPass(fighter);
        clockAdvance(11);
    }
}

std::string quietStart(const char* name) {
    fuzzScreen();
    return fuzzFolder() + "/" + name;
}

void particlesPass(particleList& particles) {
    particles.clearBG();
    particles.updateBG();
    particles.draw();
    particles.debug();
}

void fighterPass(Fighter& fighter) {
    fighter.Gravity();
    fighter.boundary();
    fighter.clearBG();
    fighter.updateBG();
    fighter.draw();
    fighter.drawColBoxes();
}

void checkEventCounts(const particleInfo& info) {
    if (info.onDeathCount != static_cast<int>(info.onDeath.size()) ||
        info.onHitPlayerCount != static_cast<int>(info.onHitPlayer.size()) ||
        info.onHitEnemyCount != static_cast<int>(info.onHitEnemy.size()) ||
        info.onHitTargetCount != static_cast<int>(info.onHitTarget.size()) ||
        info.onHitAllyCount != static_cast<int>(info.onHitAlly.size()))
        fail("an event count is not the number of entries held");
}

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

int takeContentReports() {
    int n = quietLoading().reported;
    quietLoading().reported = 0;
    return n;
}

loadPolicy& quietLoading() {
    static loadPolicy quiet = [] {
        loadPolicy policy = gamePolicy();
        policy.listener = hearQuietly;
        return policy;
    }();
    return quiet;
}
