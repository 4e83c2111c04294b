#pragma once
// The special moves of one character, read from "<folder>/moveset", each with
// a frame set of its own in folder/name.
#include <string>
#include <vector>

#include "data/hitData.h"
#include "sprites/CSpriteBase.h"

struct moveInfo {
    CSpriteBase animation;  // first member: the record's address is its frame set's
    std::string name;       // move name, frame folder and the fighter's action while it runs
    std::string command;    // key letters; the last one is the button that completes it
    int reservedInt1 = 0;
    std::string reservedText1;
    int reservedInt2 = 0;
    bool reservedBool1 = false;
    std::string reservedText2;
    int reservedInt3 = 0;
    bool reservedBool2 = false;
    bool reservedBool3 = false;
    std::string condition;  // "null" for none, else a condition text
    hitData hit;            // what a hit of this move does, from "<folder>/<name>/hit"
    // Lines of the moveset file (messages and checks).
    int line = 0;           // the move's name
    int commandLine = 0;
    int conditionLine = 0;
};

// A node of a move list; the list's owner frees the nodes.
struct moveNode {
    moveInfo* move = nullptr;  // not owned
    moveNode* next = nullptr;
};

class moveSet {
public:
    std::vector<moveInfo> moves;  // in file order; never resized after loading
    int count = 0;                // moves actually read (the header's count at most)
    std::string folder;           // the character folder

    // Reads "<folder>/moveset". Always 1. A move with a field over the
    // format's limits keeps its place but an empty command (it can't start).
    // Messages and bitmap failures as `policy` says.
    int loadAll(const char* folder, loadPolicy& policy);
    // Names move `index` and loads its frames from folder/name.
    void loadAnim(int index, std::string name, loadPolicy& policy);
    // Index of the first move called `name`; 0 when none is, -1 when empty.
    int find(std::string name);
    // The first move called `name`, the first move when none is, null when empty.
    moveInfo* returnMove(std::string name);
    // That move's frame set, with the same fallbacks.
    CSpriteBase* returnAnimation(std::string name);
    // A new list, in file order, of the moves whose command ends with key[0].
    moveNode* returnMoveList(std::string key);
};
