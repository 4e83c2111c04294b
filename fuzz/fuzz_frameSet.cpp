// A frame set's "info" file from a hostile folder, read by the game's loader
// (initR) and by the second loader (init), then drawn.
//
// The game ends the process on a bitmap it can't read, by design. So before
// loading, every name the input can give as a bitmap (the first word of
// every piece the reader returns) is written as a small valid bitmap; inputs
// naming something that can't be such a file are skipped.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "fuzzSupport.h"
#include "data/textFile.h"
#include "sprites/CSpriteBase.h"

namespace {
std::string setFolder;

// The file name a bitmap word opens: text after a NUL is not part of it.
std::string openedName(const std::string& word) { return word.substr(0, word.find('\0')); }

bool canBeBitmapFile(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name != "info" && name.find('/') == std::string::npos;
}

uint32_t hashName(const std::string& name) {
    uint32_t h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setFolder = quietStart("set");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    removeTree(setFolder);
    makeFolders(setFolder);
    const std::string infoPath = setFolder + "/info";
    writeBytes(infoPath, data, size);

    // Every first word of a piece, as the loader would take it.
    std::set<std::string> names;
    {
        TextFile file(quietLoading());
        if (!file.open(infoPath)) std::abort();
        std::string line;
        while (file.readLine(line)) {
            std::string word = firstWord(line);
            if (word.empty() || setFolder.size() + 1 + word.size() > kMaxPath) continue;
            std::string name = openedName(word);
            if (!canBeBitmapFile(name)) return -1;
            names.insert(name);
        }
    }
    // Frames of several sizes and depths, so mirrors and the set's size vary.
    for (const std::string& name : names) {
        uint32_t h = hashName(name);
        std::string bmp = smallBmp(1 + h % 9, 1 + (h >> 4) % 9, (h >> 8) % 3 == 0 ? 8 : (h >> 8) % 3 == 1 ? 24 : 32, h);
        writeBytes(setFolder + "/" + name, bmp.data(), bmp.size());
    }
    takeContentReports();

    CSpriteBase game;
    int result = game.initR(setFolder.c_str(), quietLoading());
    // The count always says what was really loaded, and every loaded frame
    // can be drawn.
    if (result != 0 || game.built != 1 || game.numFrames < 0 ||
        game.numFrames != static_cast<int>(game.frames.size()) ||
        game.numFrames != static_cast<int>(game.mirror.size())) {
        std::fprintf(stderr, "frame set count does not match what was loaded\n");
        std::abort();
    }
    for (int i = 0; i < game.numFrames; ++i) {
        const frameInfo& record = game.frames[i];
        if (!game.drawable(i) || record.numParticles != static_cast<int>(record.particles.size())) {
            std::fprintf(stderr, "frame %d is not drawable or its particle count is wrong\n", i);
            std::abort();
        }
    }
    playFrames(game, static_cast<uint32_t>(size));

    CSpriteBase direct;
    direct.init(setFolder.c_str(), quietLoading());
    if (direct.numFrames != game.numFrames) {
        std::fprintf(stderr, "the two loaders read different frame counts\n");
        std::abort();
    }
    playFrames(direct, static_cast<uint32_t>(size) + 3);

    game.release();
    direct.release();
    takeContentReports();
    return 0;
}
