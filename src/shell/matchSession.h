#pragma once
// The match as the scene plays it in training and versus: the state stepped
// on a fixed tick that catches up with the clock, each side's input made into
// bits, the sounds and lines of the ticks played for the first time, and its view.
#include <SDL/SDL.h>

#include <deque>
#include <string>
#include <vector>

#include "match/cpuPlayer.h"
#include "match/matchTick.h"
#include "net/netSession.h"
#include "shell/matchContentBuilder.h"
#include "input/playerControl.h"
#include "shell/trainingTools.h"
#include "view/matchView.h"
#include "view/versusHud.h"

struct gameScene;

// How long the words of a netplay match's end stand before the game closes, ms.
const Uint32 kNetEndShownMs = 2500;
// Ticks one pass runs at most; the time past them is dropped.
const int kMaxTicksPerPass = 10;

// What the partner's stance holds while no recording plays, for the tick
// `tick`: down for crouch, back (away from its facing) for guard, and for
// jump a press of up as soon as it stands free on the floor.
void holdStance(playerControl& partner, partnerStance stance, const fighterState& fighter, int tick);

class matchSession {
public:
    matchContent content;     // the tables the rules read
    matchView view;           // the picture of the state
    versusHud hud;            // in versus: the bars, names, timer and the round's words
    matchState state;         // the match now
    // Side 1's held actions: in training the playback and the stance, in
    // versus player 2's keys and the second pad.
    playerControl partnerInput;
    // Each side's input: the player's keys and pad (the scene's control), the partner's playback or stance.
    playerControl* inputs[kSides] = {nullptr, &partnerInput};
    bool cpuPlays = false;    // versus with --cpu: side 1's bits come from `cpu` instead
    cpuPlayer cpu;
    // Netplay: side 0's bits from `firstCpu` (a replay tool's CPU playing the host).
    bool firstCpuPlays = false;
    cpuPlayer firstCpu;
    // Netplay: the session of each side played in this process (the game's
    // own side; both for a pair in one process); null for the others. The
    // state shown is the first one's, and its sounds and lines are played.
    netSession* net[kSides] = {nullptr, nullptr};
    rollbackEvents netEvents[kSides];  // what each side's ticks gave, until played
    std::vector<std::string> netLines[kSides];
    Uint32 netEndSince = 0;  // clock when the end's words first stood on the screen, 0 before  // every line each side's session gave, for comparing
    Uint32 lastTickAt = 0;    // clock of the last tick, ms
    bool dropSaid = false;    // a pass has dropped time, and the game said so
    tickEvents events;        // the events of the pass's ticks
    // With a depth: every tick is stepped again from a state that many ticks
    // back, and the checksums compared (fightscene-replay --sync-test).
    int syncDepth = 0;
    std::string syncFailure;  // the first mismatch: "tick N: field"
    long long syncChecks = 0; // ticks stepped again and compared

    // Builds the tables from the scene's content and starts the match at the
    // clock `now`: both fighters at their start places, facing each other.
    void start(gameScene& scene, Uint32 now);
    // New content (a reload): the tables anew, the fighters where they are,
    // moves and particles ended.
    void contentChanged(gameScene& scene);
    // The fighters back at their start places, nothing flying; in versus the
    // match anew, from round 1.
    void reset(gameScene& scene);
    // The ticks the clock `now` has made due, each with the sides' inputs.
    void runTicks(gameScene& scene, Uint32 now);
    // Sounds to the mixer and lines to the output, of the ticks just run.
    void playEvents(gameScene& scene);
    // The netplay session whose state is shown, null without netplay.
    netSession* shownNet() const { return net[0] ? net[0] : net[1]; }
    // Netplay: `session` plays side `side` here from now, its input from `control`.
    void playOverNet(netSession& session, int side, playerControl& control);
    // Once the match over the network ended, not by this side: shows why in
    // the middle of the screen, and true after it stood there a while.
    bool netEndShown(Uint32 now);
    // True once every netplay session here has ended.
    bool netEnded() const;

private:
    // The inputs of the last syncDepth ticks and the states before them.
    std::deque<matchState> syncStates;
    std::deque<std::vector<uint8_t>> syncInputs;

    uint8_t bitsOf(playerControl& control, int side, const matchState& seen);
    // The ticks due over the network: each side's session plays, waits or slows down.
    void runNetTick(Uint32 at);
    // Side 1's input due by clock `at` in training: the playback or the stance.
    void partnerDue(gameScene& scene, Uint32 at);
    // The tables of the scene's content, with the versus rules when asked.
    void build(gameScene& scene);
    void stepOnce(gameScene& scene, const uint8_t inputs[kSides]);
    // The player's presses and searches of the tick at clock `at`, for the input display.
    void noteCommands(gameScene& scene, Uint32 at);
    void syncCheck(const uint8_t inputs[kSides]);
};
