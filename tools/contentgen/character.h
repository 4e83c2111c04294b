#pragma once
// The pieces every character folder is built from: frames drawn from poses,
// frame-set folders, the animation list and the move-set entries.
#include <string>
#include <vector>

#include "fighter.h"
#include "output.h"

// One frame of an animation or a move, as it is drawn and listed.
struct FrameDef {
    Pose pose;
    int pause = 30;
    std::string sound = "NULL";
    std::vector<std::string> particles;
    int moveX = 0, moveY = 0;
    std::string note;
    bool blank = false;  // nothing but the colour key
};

struct AnimDef {
    const char* name;
    std::vector<FrameDef> frames;
    const char* title;
};

inline Vec v(float x, float y) { return Vec{x, y}; }

// Writes one frame-set folder: the bitmaps and the `info` that lists them.
void writeFrameSet(Output& out, const std::string& folder, const std::string& title,
                   const std::vector<FrameDef>& defs, Look look);
// The character's animation list `info` and each animation's frame set.
void writeAnimations(Output& out, const std::string& folder, const std::vector<AnimDef>& anims, Look look);
// The single frame of `blank`.
FrameDef blankFrameDef();
// One move's 11 lines of the `moveset` file.
std::string movesetEntry(const std::string& name, const std::string& command, const std::string& condition);

// Animations drawn for Burn's measures, which any figure can wear.
std::vector<FrameDef> walk();
std::vector<FrameDef> inAir();
std::vector<FrameDef> hurt();
