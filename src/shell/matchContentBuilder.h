#pragma once
// Turns the loaded frame sets, moves, particle definitions and sounds into
// the plain tables the match rules read.
#include <vector>

#include "match/matchContent.h"

class CSpriteBase;
class animationSet;
class moveSet;
class partInfoList;
class soundSet;

// One side's character: its animations and its moves.
struct characterSource {
    const char* name = "";
    const animationSet* anims = nullptr;
    const moveSet* moves = nullptr;
};

// The tables for two sides over the particle definitions `defs` and the
// sounds `sounds` (null: no sound names), with the start launch `startLine`
// ("fireball1 80 80"; "" for none).
matchContent buildMatchContent(const characterSource (&sides)[kSides], const partInfoList& defs,
                               const soundSet* sounds, const char* startLine);

// The frame sets behind the tables' indices, for drawing.
struct matchPictures {
    std::vector<const CSpriteBase*> anims[kSides];  // each side's animations, in list order
    std::vector<const CSpriteBase*> moves[kSides];  // each side's moves, in file order
    std::vector<const CSpriteBase*> particles;      // the definitions, in the tables' order (null: none)

    // The set the fighter of `side` shows, or null.
    const CSpriteBase* shownBy(const matchContent& content, int side, const fighterState& fighter) const;
};

matchPictures picturesOf(const characterSource (&sides)[kSides], const partInfoList& defs);
