#pragma once
// Bigger content than the bundled data, made from it for measuring how the
// cost grows: move sets of any size, frame sets holding their frames several
// times over, and what the loaded content holds in memory.
#include <SDL/SDL.h>

#include <cstddef>
#include <string>
#include <vector>

#include "commands/inputChecker.h"
#include "data/moveSet.h"
#include "processProbe.h"
#include "sprites/CSpriteBase.h"

// The frame-set folders of some content and the bitmap each frame decodes,
// in loading order.
struct frameSetFiles {
    std::vector<std::string> folders;
    std::vector<std::string> bitmaps;
};

// Fills `into` with `count` moves (count >= 1) for the worst case of a
// search: the bundled moves repeated in file order, every one of them asking
// for the ground, and last a jab ("A", no condition). In the air every "A"
// move is tried and the last one answered. Each move has a one-frame set of
// 1 x 1 images, enough to be startable.
void makeMoveSet(const moveSet& bundled, int count, moveSet& into);

// The checker's search for the buffered button without its diagnostic
// lines: the word of the buffered letters, every move of the button's list
// tried by command, frames and condition as the checker tries them, and the
// buffer emptied. The least a search over that list can cost.
moveInfo* silentSearch(inputChecker& checker);

// Moves of `moves` whose command ends in `button`.
int movesEndingIn(const moveSet& moves, char button);

// Writes, under `root`, a folder for each of `files.folders` whose "info"
// holds its frame blocks `times` times over (the header's count multiplied)
// and a copy of each of the folder's bitmaps. The result lists the new
// folders and the copied bitmaps, repeated `times` times in loading order. Empty folders, with `why`, when
// something can't be written.
frameSetFiles repeatFrameSets(const frameSetFiles& files, int times, const std::string& root, std::string& why);

// Removes a folder tree made by repeatFrameSets.
void removeTree(const std::string& root);

// Bytes of pixels a surface holds (pitch times height); 0 for null.
size_t surfaceBytes(const SDL_Surface* surface);
// The pixels of every frame of `set`, stored and mirrored.
size_t frameSetBytes(const CSpriteBase& set);
// Two 32-bit images per frame (stored and mirrored), the least a set can hold.
size_t frameSetFloor(const CSpriteBase& set);
