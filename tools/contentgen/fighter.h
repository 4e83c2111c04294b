#pragma once
// The fighter drawn from a pose: a jointed body of shaded shapes, rendered
// into one indexed frame with its collision and hit boxes.
#include "canvas.h"

// Every frame of the character shares this size and anchor.
const int kFrameW = 160;
const int kFrameH = 160;
const int kAnchorX = kFrameW / 2;  // horizontal middle
const int kAnchorY = 157;          // the row the feet stand on

struct Vec {
    float x = 0, y = 0;
};

enum class Hand { Fist, Palm };
enum class Strike { None, NearFist, FarFist, NearFoot, FarFoot, Palms };

// A pose in pixels, x forward (the fighter faces right), y up from the floor,
// the anchor at (0, 0). Hands and ankles are targets; elbows and knees follow.
struct Pose {
    Vec pelvis{-2, 59};
    float lean = 8;        // torso, degrees forward of upright
    float headTilt = 0;    // degrees, forward is down
    Vec handNear{18, 90}, handFar{30, 98};
    float elbowNear = -1, elbowFar = -1;  // -1 bends the elbow down, +1 up
    Vec footNear{-20, 5.5f}, footFar{20, 5.5f};
    float kneeNear = 1, kneeFar = 1;      // +1 bends the knee forward
    float toeNear = 0, toeFar = 0;        // foot angle, degrees, toes up
    Hand shapeNear = Hand::Fist, shapeFar = Hand::Fist;
    float tail = 0;        // sway of the headband and belt ends, -1..1
    float flame = 0;       // fire around the near fist, 0..1
    float palmFire = 0;    // fire ball held between the hands, 0..1
    float trail = 0;       // motion smear behind the striking limb, 0..1
    Vec trailFrom{0, 0};   // where the smear starts, pose space
    float trailBend = 0;   // sideways bulge of the smear's arc, pixels
    bool turned = false;   // spinning: the back is shown, arms swapped in depth
    Strike strike = Strike::None;
    unsigned seed = 1;     // varies the flames
};

struct FighterFrame {
    IndexedImage image;
    int colBox[4];
    int hitBox[4];
};

// Whose figure and colours: Burn and the Dummy share one body and its poses,
// so frame for frame they match in shape and differ only in colour. Gale is
// built otherwise: taller, leaner, longer in the limb, and dressed otherwise.
enum class Look {
    Burn,   // red gi, indigo trousers, gold headband, tanned skin
    Dummy,  // the training partner: steel blue and slate, grey mannequin skin
    Gale,   // teal coat with long tails, white scarf, silver hair tied back, fair skin
};

// The character's palette (index 0 is the magenta key).
std::vector<Rgb> fighterPalette(Look look);
FighterFrame renderFighter(const Pose& pose, Look look);
// A frame of the character's size with nothing in it.
IndexedImage blankFrame(Look look);
