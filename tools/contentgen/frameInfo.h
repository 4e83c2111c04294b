#pragma once
// The text of a frame set's `info` file, one block per frame.
#include <string>
#include <vector>

struct FrameBlock {
    std::string note;                    // comment line written before the block
    std::string file;                    // bitmap in the same folder
    int pause = 0;                       // milliseconds before the speed factor
    int offsetX = 0, offsetY = 0;        // anchor inside the image
    int colBox[4] = {0, 0, 0, 0};        // left, top, right, bottom
    int hitBox[4] = {0, 0, 0, 0};
    int hitActive = 0;
    std::string sound = "NULL";
    std::vector<std::string> particles;  // spawn lines "name x y"
    int moveX = 0, moveY = 0;            // per movement step
};

// Every block keys magenta (255, 0, 255).
std::string infoText(const std::string& title, const std::vector<FrameBlock>& frames);

// What a landed blow does, as a move's or a particle's `hit` file states it.
struct HitValues {
    int damage = 10;    // points taken from the defender
    int hitstop = 100;  // milliseconds both fighters freeze on contact
    int hitstun = 300;  // milliseconds the defender then reels, unable to act
    int pushback = 30;  // pixels the defender slides away during the hitstun
};

// The `hit` file: `note` as its opening comment, then one `key = value` line
// per value.
std::string hitText(const std::string& note, const HitValues& hit);
