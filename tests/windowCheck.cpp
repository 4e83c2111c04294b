// fightscene-windowcheck: the game on a real X display (run it under Xvfb
// with SDL_VIDEODRIVER=x11), checked from outside the process.
//
//   fightscene-windowcheck compare SCRIPT DATA [--drop-fighter-at N]
//     Runs the replay SCRIPT (20 ms a pass) and after every pass takes a screenshot of the
//     X screen with xwd and compares it with the game's screen surface,
//     pixel for pixel: the surface in the middle of the X screen, black
//     around it where the X screen is larger (full screen on a larger
//     desktop). A place the pass wrote but did not show leaves the window
//     stale there. With --drop-fighter-at N the fighter's writes of
//     pass N+1 are not noted (a dropped rectangle, on purpose): the check
//     must then fail at pass N+1.
//   fightscene-windowcheck walk MS DATA
//     Lands the fighter, holds Right for MS milliseconds of the real clock
//     and prints "walked <px> px in <ms> ms, <passes> passes".
//
// Status 0 when everything matched, 1 when the window differed, 2 for bad
// arguments or a failed screenshot.
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "authoring/replay.h"
#include "data/dataHome.h"
#include "platform/platform.h"
#include "sprites/clock.h"
#include "shell/scene.h"

namespace {
// An xwd dump of the X screen: a header of big-endian 32-bit fields, the
// window name, the colour map, then the rows of pixels.
struct screenshot {
    int width = 0, height = 0, bitsPerPixel = 0, bytesPerLine = 0;
    bool msbFirst = false;
    Uint32 masks[3] = {0, 0, 0};
    int shifts[3] = {0, 0, 0};  // of each mask's lowest bit
    std::vector<unsigned char> bytes;
    size_t pixelsAt = 0;

    // Pixels of 4 bytes, or of 3 where a window of another visual made
    // xwd read the screen as 24-bit (as sdl12-compat's full screen does).
    Uint32 pixel(int x, int y) const {
        const int size = bitsPerPixel / 8;
        const unsigned char* p = &bytes[pixelsAt + static_cast<size_t>(y) * bytesPerLine + x * size];
        Uint32 value = 0;
        for (int i = 0; i < size; ++i) value |= Uint32(p[msbFirst ? i : size - 1 - i]) << 8 * (size - 1 - i);
        return value;
    }
    // 0xRRGGBB of the pixel at (x, y).
    Uint32 rgb(int x, int y) const {
        Uint32 value = pixel(x, y);
        Uint32 out = 0;
        for (int i = 0; i < 3; ++i) out = out << 8 | ((value & masks[i]) >> shifts[i] & 0xff);
        return out;
    }
};

Uint32 field(const std::vector<unsigned char>& b, int index) {
    size_t at = static_cast<size_t>(index) * 4;
    return Uint32(b[at]) << 24 | Uint32(b[at + 1]) << 16 | Uint32(b[at + 2]) << 8 | b[at + 3];
}

// The X screen now, by xwd. False, with a message, when it can't be read.
bool takeScreenshot(screenshot& shot) {
    std::FILE* pipe = popen("xwd -root -silent", "r");
    if (!pipe) return false;
    shot.bytes.clear();
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) shot.bytes.insert(shot.bytes.end(), buffer, buffer + got);
    if (pclose(pipe) != 0 || shot.bytes.size() < 100) {
        std::fprintf(stderr, "fightscene-windowcheck: xwd gave no screenshot\n");
        return false;
    }
    const std::vector<unsigned char>& b = shot.bytes;
    Uint32 headerSize = field(b, 0);
    shot.width = static_cast<int>(field(b, 4));
    shot.height = static_cast<int>(field(b, 5));
    shot.msbFirst = field(b, 7) != 0;
    shot.bitsPerPixel = static_cast<int>(field(b, 11));
    shot.bytesPerLine = static_cast<int>(field(b, 12));
    for (int i = 0; i < 3; ++i) {
        shot.masks[i] = field(b, 14 + i);
        for (shot.shifts[i] = 0; shot.masks[i] && !(shot.masks[i] & (1u << shot.shifts[i]));) ++shot.shifts[i];
    }
    Uint32 colours = field(b, 19);
    shot.pixelsAt = headerSize + static_cast<size_t>(colours) * 12;
    if (field(b, 1) != 7 || field(b, 2) != 2 || (shot.bitsPerPixel != 32 && shot.bitsPerPixel != 24) ||
        shot.pixelsAt + static_cast<size_t>(shot.height) * shot.bytesPerLine > b.size()) {
        std::fprintf(stderr, "fightscene-windowcheck: not a 24- or 32-bit colour xwd dump (%d bits per pixel)\n",
                     shot.bitsPerPixel);
        return false;
    }
    return true;
}

// Pixels where the X screen differs from the game's screen surface placed
// at its centre, with black around it (as full screen on a larger desktop
// shows it); the first is described in `first`.
long differing(const screenshot& shot, SDL_Surface* surface, std::string& first) {
    long count = 0;
    if (shot.width < surface->w || shot.height < surface->h) {
        first = "the X screen is smaller than the game's";
        return 1;
    }
    const int left = (shot.width - surface->w) / 2, top = (shot.height - surface->h) / 2;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    for (int y = 0; y < shot.height; ++y) {
        const int row = y - top;
        const bool rowInside = row >= 0 && row < surface->h;
        const Uint32* pixels =
            rowInside ? reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(surface->pixels) + row * surface->pitch)
                      : nullptr;
        for (int x = 0; x < shot.width; ++x) {
            const int column = x - left;
            Uint32 wanted = 0;
            if (rowInside && column >= 0 && column < surface->w) {
                Uint8 r, g, b;
                SDL_GetRGB(pixels[column], surface->format, &r, &g, &b);
                wanted = Uint32(r) << 16 | Uint32(g) << 8 | b;
            }
            Uint32 seen = shot.rgb(x, y);
            if (seen == wanted) continue;
            if (count++ == 0) {
                char text[160];
                std::snprintf(text, sizeof text, "(%d, %d) of the X screen: window %06x, screen surface %06x", x, y,
                              seen, wanted);
                first = text;
            }
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return count;
}

// Milliseconds to wait before each further look at a window that differs.
const Uint32 kLookAgainMs[] = {0, 10, 50, 250};

int compareRun(const std::string& script, const std::string& data, long long dropAt) {
    replayOptions options;
    options.script = script;
    options.data = data;
    options.marks = false;
    // Two movement steps' time a pass: every pass moves what moves.
    options.step = 20;
    screenshot shot;
    long long compared = 0, lookedAgain = 0;
    bool shotFailed = false;
    options.afterPass = [&](gameScene& scene, long long pass) {
        if (!takeScreenshot(shot)) {
            shotFailed = true;
            return false;
        }
        // sdl12-compat does not wait for the X server to take an update,
        // as SDL 1.2 does: xwd's request may overtake the game's last one.
        // A difference is looked at again a few times before it counts; a
        // place never sent stays different.
        std::string first;
        long count = differing(shot, scene.screen, first);
        for (Uint32 wait : kLookAgainMs) {
            if (count == 0) break;
            ++lookedAgain;
            SDL_Delay(wait);
            if (!takeScreenshot(shot)) {
                shotFailed = true;
                return false;
            }
            count = differing(shot, scene.screen, first);
        }
        if (count > 0) {
            std::fprintf(stderr, "pass %lld: %ld pixels of the window differ from the screen surface, first at %s\n",
                         pass, count, first.c_str());
            return false;
        }
        ++compared;
        // The fighter's writes of the next pass go unnoted, or are noted again.
        scene.player().changes = pass == dropAt ? nullptr : &scene.screenChanges;
        return true;
    };
    int status = runReplay(options);
    std::fflush(stdout);
    if (shotFailed) return 2;
    std::fprintf(stderr, "fightscene-windowcheck: %lld passes shown as drawn (%lld screenshots taken again)%s\n",
                 compared, lookedAgain, status == 0 ? "" : "; then a difference (above)");
    if (status == 4) return 1;
    return status;
}

int walkRun(int ms, const std::string& data) {
    std::string scratch;
    if (!enterDataParent(data, scratch)) {
        std::fprintf(stderr, "fightscene-windowcheck: cannot enter %s\n", data.c_str());
        return 2;
    }
    if (startVideoAndAudio() < 0) {
        std::fprintf(stderr, "fightscene-windowcheck: Unable to init SDL: %s\n", SDL_GetError());
        return 2;
    }
    clockUseSDL();
    std::unique_ptr<gameScene> objects(new gameScene);
    loadPolicy loading = gamePolicy();
    startScene(*objects, false, loading);
    Uint8* keys = SDL_GetKeyState(nullptr);
    // Land first: the fighter starts in the air.
    Uint32 start = SDL_GetTicks();
    while (!objects->player().grounded && SDL_GetTicks() - start < 10000) runPass(*objects);
    for (Uint32 settle = SDL_GetTicks(); SDL_GetTicks() - settle < 200;) runPass(*objects);
    int fromX = objects->player().x;
    long passes = 0;
    Uint32 begin = SDL_GetTicks();
    while (SDL_GetTicks() - begin < static_cast<Uint32>(ms)) {
        // Held as a player holds it; set every pass, since the X driver may
        // reset the key state from the server's when the focus moves.
        keys[SDLK_RIGHT] = 1;
        runPass(*objects);
        ++passes;
    }
    keys[SDLK_RIGHT] = 0;
    Uint32 took = SDL_GetTicks() - begin;
    std::fflush(stdout);
    std::fprintf(stderr, "walked %d px in %u ms, %ld passes\n", objects->player().x - fromX, took, passes);
    removeDataScratch(scratch);
    return objects->player().grounded ? 0 : 1;
}

void usage() {
    std::fprintf(stderr,
                 "usage: fightscene-windowcheck compare SCRIPT DATA [--drop-fighter-at N]\n"
                 "       fightscene-windowcheck walk MS DATA\n");
}
}  // namespace

int main(int argc, char* argv[]) {
    if (argc >= 4 && std::strcmp(argv[1], "compare") == 0) {
        long long dropAt = -1;
        if (argc == 6 && std::strcmp(argv[4], "--drop-fighter-at") == 0)
            dropAt = std::atoll(argv[5]);
        else if (argc != 4) {
            usage();
            return 2;
        }
        return compareRun(argv[2], argv[3], dropAt);
    }
    if (argc == 4 && std::strcmp(argv[1], "walk") == 0) return walkRun(std::atoi(argv[2]), argv[3]);
    usage();
    return 2;
}
