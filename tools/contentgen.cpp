// contentgen OUT_FOLDER: writes the game's whole content folder (background,
// character, moves, sounds, particles).
// contentgen --icon FILE.png SIZE: writes the desktop icon, SIZE pixels square. The output depends on nothing but
// this program: no clock, and every random number comes from a fixed seed.
// Files already in OUT_FOLDER are overwritten, never removed, so regenerate
// the bundled data into an emptied folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "contentgen/contentgen.h"
#include "contentgen/icon.h"

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "--icon") == 0) {
        int size = std::atoi(argv[3]);
        if (size < 16 || size > 512) {
            std::fprintf(stderr, "contentgen: icon size %s is not 16 to 512\n", argv[3]);
            return 2;
        }
        return writeIcon(argv[2], size) ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: contentgen OUT_FOLDER\n       contentgen --icon FILE.png SIZE\n");
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
