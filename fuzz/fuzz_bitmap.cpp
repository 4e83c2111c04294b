// Bitmaps from hostile folders: the header check, SDL's decoding of what the
// check accepts, the colour key, the display format and the mirror, as both
// frame-set loaders do; then the frame is drawn in both facings.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzzSupport.h"
#include "sprites/CSpriteBase.h"
#include "sprites/bmpCheck.h"

namespace {
std::string setFolder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setFolder = quietStart("bmp");
    makeFolders(setFolder);
    // One frame keyed magenta, the bitmap being the fuzzed input.
    writeText(setFolder + "/info",
              "FILES: 1\nf.bmp 1 255 0 255\n2 2\n0 0 4 4\n1 1 3 3\n1\n0\n0\n0 0\n0 0\nNULL\n0\n1 0\n0\nNULL\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The check alone, on the bytes in memory. A refusal always says why.
    std::string reason;
    bool accepted = checkBitmap(data, size, reason);
    if (!accepted && reason.empty()) {
        std::fprintf(stderr, "checkBitmap refused a bitmap without a reason\n");
        std::abort();
    }

    writeBytes(setFolder + "/f.bmp", data, size);

    // The second loader gives up on a bitmap it can't load, so every input
    // goes through it: read, check, decode, key, convert, mirror.
    CSpriteBase direct;
    direct.init(setFolder.c_str(), quietLoading());
    if (!accepted && direct.numFrames != 0) {
        std::fprintf(stderr, "a bitmap the check refused became a frame\n");
        std::abort();
    }
    if (direct.numFrames == 1) {
        if (!direct.drawable(0) || direct.frames[0].image->w != direct.mirror[0].image->w ||
            direct.frames[0].image->h != direct.mirror[0].image->h) {
            std::fprintf(stderr, "a loaded frame has no image or a mirror of another size\n");
            std::abort();
        }
        playFrames(direct, static_cast<uint32_t>(size));

        // The game's loader ends the process on a bitmap it can't read; this
        // one has just been read, so it takes the same way without ending.
        CSpriteBase game;
        game.initR(setFolder.c_str(), quietLoading());
        if (game.numFrames != 1) std::abort();
        playFrames(game, static_cast<uint32_t>(size) * 7);
        game.release();
    }
    direct.release();
    takeContentReports();
    return 0;
}
