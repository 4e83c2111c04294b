#pragma once
// Turns the loaded frame sets, moves, particle definitions and sounds into
// the plain tables the match rules read.
#include <vector>

#include "match/matchContent.h"
#include "view/matchView.h"

class animationSet;
class moveSet;
class partInfoList;
class soundSet;

// One side's character: its animations and its moves.
struct characterSource {
    const char* name = "";
    const animationSet* anims = nullptr;
    const moveSet* moves = nullptr;
    int health = 100;  // points at the start of a round
};

// The tables for two sides over the particle definitions `defs` and the
// sounds `sounds` (null: no sound names), with the start launch `startLine`
// ("fireball1 80 80"; "" for none).
matchContent buildMatchContent(const characterSource (&sides)[kSides], const partInfoList& defs,
                               const soundSet* sounds, const char* startLine);

matchPictures picturesOf(const characterSource (&sides)[kSides], const partInfoList& defs);
