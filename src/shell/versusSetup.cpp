#include "shell/versusSetup.h"

#include "platform/files.h"

bool checkCharacterName(const char* name, std::string& problem) {
    std::string word = name;
    // A path would reach outside "data"; "." and ".." name no character.
    if (word.empty() || word == "." || word == ".." || word.find_first_of("/\\") != std::string::npos) {
        problem = "expected the name of a character's folder under data, found '" + word + "'";
        return false;
    }
    return true;
}

bool findCharacters(versusSetup& setup, std::string& problem) {
    if (setup.p2.empty())
        setup.p2 = isFolder(std::string("data/") + kSecondCharacter) ? kSecondCharacter : kFirstCharacter;
    for (const std::string* name : {&setup.p1, &setup.p2}) {
        std::string folder = "data/" + *name;
        if (!isFolder(folder)) {
            problem = "no character folder at " + folder;
            return false;
        }
    }
    return true;
}

std::string versusKeysHelp() {
    return "Versus keys, with --versus or --cpu (the key file's p2.left ... p2.c move player 2's):\n"
           "  player 1   the arrows, z x c for A B C, and the first gamepad\n"
           "  player 2   w a s d for up, left, down, right, f g h for A B C, and the second gamepad\n"
           "  F4         a rematch once the match is over; before that, the match starts again\n";
}
