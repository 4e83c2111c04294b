#pragma once
// What the match rules read of the loaded content, as plain tables: each
// frame's time, boxes, anchor, motion, sound and launches; each character's
// poses and moves; each particle definition. Built once per loading from the
// frame sets (shell/matchContentBuilder.h); the state names its entries by
// index.
#include <cstdint>
#include <string>
#include <vector>

#include "data/hitData.h"
#include "match/matchState.h"

// A box relative to a frame image's top-left corner, right and bottom
// exclusive. Empty when right <= left or bottom <= top.
struct matchBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
};

// A box placed at (x, y).
matchBox placedAt(const matchBox& box, int x, int y);
// True when `a` and `b` share a pixel.
bool overlaps(const matchBox& a, const matchBox& b);
// The pixels `a` and `b` share.
matchBox overlapBox(const matchBox& a, const matchBox& b);

// One particle launch of a frame or an event: a definition, placed by an offset.
struct launchSpec {
    int32_t def = -1;  // index of the definition; -1 names none (nothing launches)
    int32_t x = 0;     // offset along the facing, pixels
    int32_t y = 0;     // offset up from a fighter's anchor, down from a particle's corner
};

// One frame, as each facing shows it.
struct frameRecord {
    bool drawable = false;  // it has images: without them it has no boxes and no motion
    int32_t showMs = 0;     // match time it shows
    matchBox body[2];       // collision box in the image as drawn facing left [0] or right [1]
    matchBox hit[2];        // hit box, the same way; empty unless live
    int32_t anchorX[2] = {0, 0};  // anchor inside the image, for each facing
    int32_t anchorY = 0;
    int32_t restY = 0;      // lower edge of the lower box: a falling particle rests on it
    int32_t moveX = 0;      // step along the facing per tick
    int32_t moveY = 0;      // lift per tick
    int32_t sound = -1;     // index in matchContent::sounds, -1 none
    int32_t launchKey = -1; // id of its first launch line; frames in a row with the same launch once
    std::vector<launchSpec> launches;
};

// A run of frames in matchContent::frames.
struct frameRun {
    int32_t first = 0;
    int32_t count = 0;  // 0: nothing to show
};

enum class moveCondition { none, grounded, airborne, never };

struct matchMove {
    std::string name;
    std::string command;  // key letters, the button last; empty: it never starts
    moveCondition condition = moveCondition::none;
    frameRun frames;      // its frames; it can start only when the first has images
    hitData hit;
};

struct matchCharacter {
    std::string name;                   // the folder under "data"
    int32_t health = 100;               // points at the start of a round
    std::vector<std::string> animNames; // its animations in the order of its list
    std::vector<frameRun> anims;
    int32_t poses[poseCount] = {-1, -1, -1, -1, -1, -1, -1, -1};  // animation index of each pose, -1 none
    std::vector<matchMove> moves;       // in file order
};

struct matchParticleDef {
    std::string name;
    frameRun frames;
    bool drawable = false;  // every frame has images
    int32_t lifeMs = 0;     // 0 or less: no limit
    bool gravity = false;
    std::vector<launchSpec> onDeath, onHitPlayer, onHitEnemy, onHitTarget;
    hitData hit;
};

// How the match is played: training (one endless round, no KO) or versus.
// The longest round a match can be given, seconds.
const int32_t kMaxRoundSeconds = 9999;

struct matchRules {
    bool versus = false;
    int32_t roundTicks = 9900;  // fight ticks of a versus round; 0: no timer
    int32_t introTicks = 150;   // "Round N" and "Fight!" before inputs count
    int32_t outroTicks = 300;   // the result shows before the next round
    int32_t winsNeeded = 2;
    int32_t drawsToEnd = 3;     // this many drawn rounds make a draw game
    int32_t roundsToEnd = 9;    // so do this many rounds
};

struct matchContent {
    matchRules rules;
    std::vector<frameRecord> frames;  // every frame set's frames
    matchCharacter characters[kSides];
    std::vector<matchParticleDef> particles;
    std::vector<std::string> sounds;  // names, as the sound set plays them
    int32_t sparkDef = -1;            // "hitspark", launched where a hit lands
    int32_t hitSound = -1;            // "hit", played when a hit lands
    int32_t blockSound = -1;          // "block", played when a hit is guarded
    int32_t roundSound = -1;          // "round", at a round's start
    int32_t fightSound = -1;          // "fight", when its inputs start to count
    int32_t koSound = -1;             // "ko", at a KO
    int32_t timeOverSound = -1;       // "timeover", when the timer runs out
    launchSpec startLaunch;           // launched by the player at the start ("fireball1 80 80")

    // The frame `index` of `run`, or null past its end.
    const frameRecord* frameOf(const frameRun& run, int index) const;
};

// "P1 Burn": the side and its character's name, as the lines and the HUD say it.
std::string sideName(const matchContent& content, int side);

// Each pose's animation name.
extern const char* const kPoseNames[poseCount];
// The pose `character` shows for `pose`: itself, or for one it lacks among
// guard, duckGuard, ko and hurt, the one that stands in (standing, duck, hurt, standing).
int shownPose(const matchCharacter& character, int pose);

// The frames a fighter shows now: its move's, or its pose's animation.
frameRun shownRun(const matchContent& content, int side, const fighterState& fighter);
