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

// How a blow meets a guard and a fighter in the air, for the versus rules.
struct GuardValues {
    const char* guard = "mid";  // mid, high (guarded standing only) or low (crouching only)
    int blockstun = 150;        // milliseconds a guarded hit holds the defender
    int launch = 0;             // upward speed the hit gives the defender, pixels per tick
    int juggle = 3;             // air hits the defender may already have taken for this one to land
};

// The `hit` file: `note` as its opening comment, then one `key = value` line
// per value.
std::string hitText(const std::string& note, const HitValues& hit);
// The same with the guard's values after the blow's.
std::string hitText(const std::string& note, const HitValues& hit, const GuardValues& guard);
