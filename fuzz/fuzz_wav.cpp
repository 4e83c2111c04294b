// WAV files from hostile folders: the header check, then SDL_mixer's loading
// (decoding PCM or ADPCM and converting to the mixer's 16-bit stereo at
// 44100 Hz) of what the check accepts, and playing it on the dummy driver.
#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/wavCheck.h"
#include "fuzzSupport.h"

namespace {
std::string soundPath;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzScreen();
    // Without a mixer SDL_mixer decodes nothing, and there would be nothing to try.
    if (!fuzzAudio()) {
        std::fprintf(stderr, "the mixer can't be opened on the dummy audio driver\n");
        std::abort();
    }
    soundPath = fuzzFolder() + "/sound.wav";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The check alone, on the bytes in memory. A refusal always says why.
    std::string reason;
    bool accepted = checkWav(data, size, reason);
    if (!accepted && reason.empty()) {
        std::fprintf(stderr, "checkWav refused a file without a reason\n");
        std::abort();
    }

    // Then as the sound set loads it: read, check, decode, convert.
    writeBytes(soundPath, data, size);
    bool opened = false, passed = false;
    Mix_Chunk* chunk = loadCheckedWav(soundPath.c_str(), reason, opened, passed);
    if (passed != accepted || (chunk && !accepted)) {
        std::fprintf(stderr, "loading disagrees with the check\n");
        std::abort();
    }
    if (chunk) {
        Mix_PlayChannel(-1, chunk, 0);
        Mix_HaltChannel(-1);
        Mix_FreeChunk(chunk);
    }
    return 0;
}
