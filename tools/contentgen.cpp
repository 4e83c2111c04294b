// contentgen OUT_FOLDER: writes the game's whole content folder (background,
// character, moves, sounds, particles).
// contentgen --icon FILE.png SIZE: writes the desktop icon, SIZE pixels square. The output depends on nothing but
// this program: no clock, and every random number comes from a fixed seed.
// Files already in OUT_FOLDER are overwritten, never removed, so regenerate
// the bundled data into an emptied folder.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "contentgen/contentgen.h"
#include "contentgen/icon.h"
#include "shell/optionTable.h"

namespace {
struct contentChoices {
    const char* icon = nullptr;  // --icon: the icon file to write instead of the content
};

bool setIcon(contentChoices& chosen, const char* value, std::string&) {
    chosen.icon = value;
    return true;
}

const optionSpec<contentChoices> kOptions[] = {
    {"--icon", "FILE.png", "write the desktop icon, SIZE pixels square, instead of the content", setIcon},
};
}  // namespace

int main(int argc, char* argv[]) {
    contentChoices chosen;
    operandList operands;  // the output folder, or the icon's size
    operands.most = 1;
    std::string mistake;  // the usage says enough
    if (!readOptions(kOptions, argc, argv, chosen, operands, mistake) || operands.words.size() != 1) {
        std::fprintf(stderr, "usage: contentgen OUT_FOLDER\n       contentgen --icon FILE.png SIZE\n");
        return 2;
    }
    const char* operand = operands.words[0].c_str();
    if (chosen.icon) {
        int size = std::atoi(operand);
        if (size < 16 || size > 512) {
            std::fprintf(stderr, "contentgen: icon size %s is not 16 to 512\n", operand);
            return 2;
        }
        return writeIcon(chosen.icon, size) ? 0 : 1;
    }
    Output out(operand);
    writeBackground(out);
    writeCharacter(out, "Burn", Look::Burn);
    writeCharacter(out, "Dummy", Look::Dummy);
    writeGale(out);
    writeParticles(out);
    writeGaleParticles(out);
    writeSounds(out);
    if (!out.ok()) return 1;
    std::printf("contentgen: %zu files written to %s\n", out.written().size(), operand);
    return 0;
}
