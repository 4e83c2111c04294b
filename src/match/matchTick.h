#pragma once
// One tick of a match: the state and each side's input bits give the next
// state and what happened in it. The tick draws nothing and plays nothing:
// the caller plays the sounds and prints the lines of the ticks it plays for
// the first time, and draws the state.
#include <cstdint>
#include <string>
#include <vector>

#include "match/matchContent.h"
#include "match/matchState.h"

// A side's input for one tick: what it holds. Forward and back are judged by
// the fighter's facing when the bits are made.
enum inputBit : uint8_t {
    inputUp = 1,
    inputDown = 2,
    inputBack = 4,
    inputForward = 8,
    inputA = 16,
    inputB = 32,
    inputC = 64,
};

// A sound a tick starts.
struct soundCue {
    int32_t sound = -1;  // index in matchContent::sounds
    int32_t side = -1;   // whose frame or hit, -1 none
};

// A press into a command buffer, or the answer of a search: what the input
// display shows.
struct commandNote {
    int32_t side = 0;
    int32_t key = 0;     // the press's letter; 0 for an answer
    int32_t button = 0;  // answer: the button whose moves were searched
    std::string keys;    // answer: the letters searched
    // answer: each move of the button tried, in file order, with its verdict
    std::vector<int32_t> moves;
    std::vector<int32_t> verdicts;  // 0 not typed, 1 frames not loaded, 2 condition false, 3 recognised
};

// What one tick did besides changing the state.
struct tickEvents {
    std::vector<soundCue> sounds;    // to play, in order
    std::vector<std::string> lines;  // to print, in order
    bool panelChanged = false;       // the training panel's figures changed
    bool hitLanded = false;          // at least one hit landed
    std::vector<commandNote> notes;  // presses and searches, in order

    void clear();
};

// Where the fighters start and how, for a new match or the reset key.
struct matchStart {
    int32_t x[kSides] = {150, 650};
    int32_t y = 530;
    bool launchStart = true;  // the player launches content.startLaunch at the start
};

// The state at the start: both fighters standing on the floor facing each
// other, nothing buffered, the start launch flying.
matchState startMatch(const matchContent& content, const matchStart& start);
// Steps `state` by one tick with the sides' inputs, adding to `events`.
void stepMatch(matchState& state, const matchContent& content, const uint8_t inputs[kSides], tickEvents& events);

// Ticks (rounded up) of `ms` milliseconds.
int ticksOf(int ms);
// True while a hit holds the fighter (its freeze or its stun) at `tick`.
bool fighterHeld(const fighterState& fighter, int tick);
// Milliseconds until the move in progress has run out (0 without one), counting a freeze in force.
int busyMs(const matchContent& content, int side, const fighterState& fighter, int tick);
// The fighter's collision box and live hit box on the screen (empty when none).
matchBox bodyBox(const matchContent& content, int side, const fighterState& fighter);
matchBox hitBoxOf(const matchContent& content, int side, const fighterState& fighter);
