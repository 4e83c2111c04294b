#pragma once
// The named animations of one character, each a frame set in a folder of its
// own inside the character folder.
#include <string>
#include <vector>

#include "sprites/CSpriteBase.h"

struct animInfo {
    CSpriteBase frameSet;  // first member: the record's address is its frame set's
    std::string name;      // the animation's name and folder
};

class animationSet {
public:
    std::vector<animInfo> anims;  // in the order of the list file; never resized after loading
    int count = 0;                // animations read from the list file
    std::string folder;           // the character folder

    // Loads the list "<folder>/info" and every animation in it, messages
    // and bitmap failures as `policy` says. Always 1.
    int loadAll(const char* folder, loadPolicy& policy);
    // Names record `index` and loads its frame set from folder/name.
    void loadAnim(int index, std::string name, loadPolicy& policy);
    // The frame set called `name`; the first animation when none is; null
    // when the set is empty.
    CSpriteBase* returnAnimation(std::string name);
    // Index of the animation called `name`, 0 when none is.
    int find(std::string name);
};
