// contentgen OUT_FOLDER: writes the game's whole content folder (background,
// character, moves, sounds, particles). The output depends on nothing but
// this program: no clock, and every random number comes from a fixed seed.
// Files already in OUT_FOLDER are overwritten, never removed, so regenerate
// the bundled data into an emptied folder.
#include <cstdio>
#include <string>

#include "contentgen/contentgen.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: contentgen OUT_FOLDER\n");
        return 2;
    }
    Output out(argv[1]);
    writeBackground(out);
    writeCharacter(out);
    writeParticles(out);
    writeSounds(out);
    if (!out.ok()) return 1;
    std::printf("contentgen: %zu files written to %s\n", out.written().size(), argv[1]);
    return 0;
}
