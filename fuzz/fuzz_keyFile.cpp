// A player's key file, read by loadKeyFile over the game's default keys.
// Whatever it says, no key the game keeps for itself is taken, no two
// bindings share a key, and reading it twice gives the same keys.
#include <string>

#include "input/keyBindings.h"
#include "input/keyFile.h"
#include "shell/scene.h"
#include "fuzzSupport.h"

namespace {
std::string path;

bool sameKeys(const keyBindings& a, const keyBindings& b) {
    return a.buttonA == b.buttonA && a.buttonB == b.buttonB && a.buttonC == b.buttonC && a.up == b.up &&
           a.down == b.down && a.left == b.left && a.right == b.right && a.debug == b.debug &&
           a.record == b.record && a.playback == b.playback && a.stance == b.stance && a.reset == b.reset;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    path = quietStart("keys.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeBytes(path, data, size);
    keyBindings bindings;
    bindPlayerKeys(bindings);
    loadKeyFile(path, bindings, quietLoading());

    const int keys[] = {bindings.buttonA, bindings.buttonB, bindings.buttonC, bindings.up,
                        bindings.down,    bindings.left,    bindings.right,   bindings.debug,
                        bindings.record,  bindings.playback, bindings.stance, bindings.reset};
    for (int key : keys)
        if (key == kQuitKey || key == kReloadKey || key == kInputDisplayKey) fail("a kept key was bound");
    for (size_t a = 0; a < sizeof keys / sizeof keys[0]; ++a)
        for (size_t b = a + 1; b < sizeof keys / sizeof keys[0]; ++b)
            if (keys[a] == keys[b]) fail("two bindings share a key");

    keyBindings again;
    bindPlayerKeys(again);
    loadKeyFile(path, again, quietLoading());
    if (!sameKeys(bindings, again)) fail("reading the file twice gave other keys");
    takeContentReports();
    return 0;
}
