#pragma once
// The CPU opponent: it makes one side's input bits from the match as it saw
// it a reaction time ago, never from the other side's keys. Seeded, so the
// same match plays the same. Its choices are whole-number sums and its own
// small generator, so that every compiler and platform draws the same.
#include <cstdint>
#include <vector>

#include "match/matchContent.h"
#include "match/matchState.h"

// Levels run from 1 (slow to react, rarely guards) to 8.
const int kCpuLowestLevel = 1;
const int kCpuHighestLevel = 8;
const int kCpuDefaultLevel = 4;
// States the CPU remembers: more than its longest reaction time in ticks.
const int kCpuMemory = 48;
// Presses the CPU types for one move at most, with the releases between them.
const int kCpuPlanLength = 24;

// What the CPU saw of one fighter at one tick.
struct cpuFighterSight {
    int32_t x = 0;
    int32_t y = 0;
    int32_t facingRight = 0;
    int32_t grounded = 1;
    int32_t pose = 0;
    int32_t move = -1;
    int32_t frame = 0;
    int32_t actionTick = 0;  // tick the move or pose started: a new one is a new threat
    int32_t health = 0;
    int32_t reeling = 0;
    int32_t guarding = 0;
    int32_t knockedOut = 0;
};

// What the CPU saw at one tick: both fighters and the hostile particle
// nearest its own fighter.
struct cpuSight {
    int32_t tick = -1;
    cpuFighterSight fighters[kSides];
    int32_t shot = 0;       // 1 when a particle of the other side's flies at it
    int32_t shotX = 0;      // the particle's middle
    int32_t shotY = 0;
    int32_t shotRight = 0;  // 1 flying toward larger x
    int32_t shotBorn = 0;   // its launch tick, which tells one shot from the next
};

// A move as the CPU weighs it, learned from the frame data, in pixels from
// the anchor where it starts, facing right, with the move's own motion.
struct cpuMoveInfo {
    bool usable = false;     // it has a command and frames, and can start somewhere
    bool air = false;        // it starts only in the air
    bool ground = false;     // it starts only on the floor
    bool projectile = false; // a frame launches a particle that flies and hits
    int32_t startup = -1;    // ticks to its first live hit box or launch; -1 never
    int32_t lastLive = -1;   // index of its last frame with a live hit box
    int32_t liveEnd = -1;    // ticks from its start to the end of that frame
    int32_t ticks = 0;       // ticks it lasts
    matchBox reach;          // every live hit box together; empty for none
    int32_t guard = 0;       // guardKind of its hit
    int32_t damage = 0;
};

struct cpuPlayer {
    int side = 1;
    int level = kCpuDefaultLevel;
    uint32_t seed = 1;
    uint32_t random = 1;  // xorshift state

    // The moves of both sides, learned once per content.
    const matchContent* learned = nullptr;
    size_t learnedFrames = 0;
    std::vector<cpuMoveInfo> moves[kSides];
    matchBox reach[kSides];  // every melee move's reach together, of each side
    std::vector<uint8_t> shots;  // per particle definition: 1 for a shot (it flies and hits)

    // A ring of what it saw, by tick.
    cpuSight seen[kCpuMemory];
    int32_t firstTick = 0;  // oldest tick remembered since the match (re)started
    int32_t lastTick = -1;

    // The bits of a move being typed, one a tick.
    uint8_t plan[kCpuPlanLength] = {};
    int planLength = 0;
    int planAt = 0;

    uint8_t lastBits = 0;
    int32_t recent[4] = {-1, -1, -1, -1};  // the moves chosen last, to vary them
    int recentAt = 0;
    int32_t threatKey = -1;  // the attack or shot last answered
    int32_t threatAnswer = 0;  // 0 let it come, 1 guard, 2 jump it
    int32_t intent = 0;        // walking: 0 hold, 1 in, 2 out
    int32_t intentUntil = 0;
    int32_t guardUntil = 0;    // guarding ahead of an attack, until this tick
    int32_t guardLow = 0;      // that guard crouches
    int32_t followKey = -1;    // its own move whose landing it followed up, by start tick
    int32_t followUp = 0;      // 1: strike again as soon as it is free
};

// A CPU for `side` at `level` (kept within the levels), its choices drawn from `seed`.
cpuPlayer makeCpu(int side, int level, uint32_t seed);
// The bits the CPU holds for the tick about to be stepped from `state`.
uint8_t cpuInput(cpuPlayer& cpu, const matchState& state, const matchContent& content);

// Ticks between what happens and what the CPU at `level` sees of it.
int cpuDelayTicks(int level);
// Percent of the attacks it sees coming that the CPU at `level` guards.
int cpuGuardPercent(int level);
