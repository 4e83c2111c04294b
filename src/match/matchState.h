#pragma once
// The whole state of a match as plain values: two fighters, their command
// buffers, the particles in a fixed pool, the hits and the training panel's
// figures, and the tick count. Nothing in it points anywhere: content is
// named by index. The fields are whole numbers laid out without padding,
// so the bytes are the value: copying it is a snapshot, assigning
// it back a restore, and a checksum of its bytes is stable.
#include <cstdint>
#include <string>
#include <type_traits>

// Milliseconds of match time in one tick.
const int kTickMs = 10;
// Particles alive at once at most; launches past it are dropped.
const int kParticlePool = 1024;
// Presses a command buffer holds; a press past it pushes out the oldest.
const int kBufferPresses = 32;
// A side: 0 the player (player 1), 1 the partner or player 2.
const int kSides = 2;

// The poses a fighter shows when no move runs, each one of its animations.
// A character without guard, duckGuard or ko shows standing, duck or hurt instead.
enum fighterPose : int32_t {
    poseStanding,
    poseWalk,
    poseDuck,
    poseInAir,
    poseHurt,
    poseGuard,
    poseDuckGuard,
    poseKo,
    poseCount
};

struct fighterState {
    int32_t x;            // anchor point, pixels
    int32_t y;
    int32_t facingRight;  // 1: the stored frames, facing right; 0: mirrored
    int32_t grounded;     // 1 standing on the floor
    int32_t ySpeed;       // upward speed, pixels per tick
    int32_t airActions;   // jumps and air moves left before landing
    int32_t pose;         // fighterPose shown while no move runs
    int32_t move;         // index of the move in progress in the character's moves, -1 for none
    int32_t frame;        // frame shown of the pose's animation or the move
    int32_t actionTick;   // tick the pose or move started
    int32_t frameMs;      // match time the frame has shown, freezes not counted
    int32_t frozenUntil;  // tick from which a hit's freeze is over
    int32_t stunUntil;    // tick from which its hitstun is over
    int32_t reeling;      // 1 while it reels from a hit (until stunUntil, and on the floor)
    int32_t pushLeft;     // pixels of push-back still to slide
    int32_t pushRight;    // 1: the slide goes toward larger x
    int32_t pushedBy;     // side whose melee hit pushes it (takes the rest at the screen's edge), -1 none
    int32_t hitMask;      // bit per side the move in progress has hit
    int32_t held;         // input bits of the last tick (a press is an edge from them)
    int32_t health;       // points left; 0 is a KO in a versus match
    int32_t guarding;     // 1 while a guarded hit holds it (until stunUntil)
    int32_t comboTaken;   // hits taken in the combo going on, for the damage scaling
    int32_t airHits;      // hits taken since it last left the floor, for the juggle limit
    int32_t knockedOut;   // 1 once its health ran out: it takes no input until the next round
};

// One buffered press of a side's command buffer.
struct pressState {
    int32_t tick;  // tick of the press
    int32_t key;   // 'A' 'B' 'C' 'U' 'D' 'R' (forward) 'L' (back)
};

struct commandBuffer {
    pressState presses[kBufferPresses];  // oldest first
    int32_t count;
};

// Events a particle has yet to launch, one bit each.
enum particleEvent : int32_t {
    eventOnDeath = 1,
    eventOnHitPlayer = 2,
    eventOnHitEnemy = 4,
    eventOnHitTarget = 8,
};

struct particleState {
    int32_t def;          // index of its definition
    int32_t x;            // image corner, pixels
    int32_t y;
    int32_t bornTick;     // tick of its launch; its life counts from here
    int32_t frame;
    int32_t frameMs;      // match time its frame has shown
    int8_t facingRight;   // 1: stored frames, moving right
    int8_t owner;         // side whose fighter launched it (never hit by it), -1 none
    int8_t spared;        // a further side it never hits (the one a hit spark came from), -1 none
    uint8_t dead : 1;     // 1: removed at the end of the tick
    uint8_t events : 7;   // particleEvent bits to launch as it goes
};

// What the training panel shows, counted from the hits on side 1.
struct panelState {
    int32_t anyHit;       // 1 once a hit landed
    int32_t lastDamage;   // points of the last hit
    int32_t comboHits;    // hits in a row, each landing while the defender still reeled
    int32_t comboDamage;  // their points together
    int32_t advantageMs;  // of the last hit: defender free minus attacker free (+: attacker first)
    int32_t damageTaken;  // points taken since it last went a second unhit
    int32_t lastHitTick;
};

// Where a versus round stands.
enum roundPhase : int32_t {
    phaseIntro,      // "Round N", then "Fight!": inputs wait
    phaseFight,      // the timer runs
    phaseOver,       // a KO, time over or a draw: the result shows, then the next round
    phaseMatchOver,  // the match is won or drawn: a press of A (or the rematch key) starts again
};

// Rounds and their results; a training match stays in phaseFight.
struct roundState {
    int32_t number;      // the round, from 1
    int32_t phase;       // roundPhase
    int32_t phaseTick;   // tick its phase began
    int32_t fightTicks;  // ticks of fight this round, for its timer
    int32_t wins[kSides];
    int32_t draws;
    int32_t winner;      // of the last round or the match: a side, -1 a draw
};

struct matchState {
    int32_t tick;  // ticks stepped since the start
    roundState round;
    fighterState fighters[kSides];
    commandBuffer commands[kSides];
    int32_t particleCount;  // live particles, in particles[0, particleCount), oldest first
    int32_t droppedWarned;  // 1 once a launch past the pool was said
    panelState panel;
    particleState particles[kParticlePool];
};

static_assert(std::is_trivially_copyable<matchState>::value, "a snapshot is a plain copy");
static_assert(std::has_unique_object_representations<matchState>::value, "no padding in checksummed bytes");

// A state with every byte zero but what a fresh fighter needs: no move, no
// pusher, nothing buffered.
matchState emptyMatch();
// 64-bit FNV-1a of the state's bytes.
uint64_t matchChecksum(const matchState& state);
// The first field where `a` and `b` differ, as "fighters[1].x: 40 != 43";
// "" when they are equal.
std::string firstDifference(const matchState& a, const matchState& b);
