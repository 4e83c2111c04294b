#pragma once
// A replay: the game run headless on a driven clock, fed key presses from a
// script of timed events, so that the same script always gives the same run.
#include <functional>
#include <string>
#include <vector>

#include "input/keyFile.h"
#include "shell/netplaySetup.h"
#include "shell/versusSetup.h"

// One line of a script: "<time> <verb> [<argument>...]". The time is in
// milliseconds, or "+N" for N after the time of the line before. "copy
// FROM TO" puts a file in place while the game runs (a change on disk).
struct gameScene;

struct replayEvent {
    enum Kind { Down, Up, Tap, Shot, Copy, End };
    int time = 0;          // milliseconds of the driven clock
    Kind kind = End;
    int key = 0;           // SDL key code of Down, Up and Tap
    int input = -1;        // Down, Up and Tap of a recording's input (a recordedInput), -1 for a key
    std::string word;      // the argument as written (key name or file)
    std::string path;      // Shot: the file to write; Copy: the file to replace; made absolute
    std::string source;    // Copy: the file copied, made absolute
    int line = 0;          // line of the script, for messages
};

// Key names are the game's own (keyByName), as its key file reads them. The
// words of a training recording (up, down, forward, back, buttonA, buttonB,
// buttonC, written so) name the player's bound keys instead, forward and
// back judged by the way the player faces when the key goes down; so a
// saved recording is a script.

// Reads `script`, reporting every bad line as "script:line: message".
// Shot and copy files are made absolute from `folder`. Events come out sorted by
// time, those of one time in script order. False when any line was bad.
bool readScript(const std::string& script, const std::string& folder, std::vector<replayEvent>& events,
                loadPolicy& policy);

// Runs the script `times` times in a row (for soak runs): each copy starts
// where the one before ended (its "end", or one step after its last event),
// only the last copy ends the run, events after a copy's end are dropped,
// and with more than one copy shots get "-<copy>" before their extension.
// False with `problem` set when the run would pass the clock's range.
bool repeatScript(std::vector<replayEvent>& events, int times, int step, std::string& problem);

struct replayOptions {
    std::string script;
    std::string data;    // the data folder the game reads as "data"
    int step = 10;       // milliseconds the clock advances per pass
    bool marks = true;   // print "replay <ms>: <event>" lines among the game's
    int repeat = 1;      // copies of the script, run one after the other
    std::string expect;  // a transcript the standard output must equal
    bool watch = false;  // reload by itself when a file under the data folder changes
    bool training = false;  // the scene with a training partner, as the game's --training
    std::string recordFile; // the training recording's file, as the game's --record-file; "" for its default
    versusSetup match;      // --versus, --cpu, --p1, --p2, --round-time, --seed: the game's versus
    int syncDepth = 0;      // with training or versus: every tick stepped again from this many ticks back and compared
    bool checksum = false;  // with training or versus: print the final state's checksum
    // Netplay: --host or --join plays this side over UDP with the script's keys
    // (or --cpu), paced by the real clock; --netplay-pair plays both sides here
    // over a simulated network (--cpu side 1, --cpu2 side 0).
    netplaySetup net;
    bool netPair = false;
    int plantDesync = -1;   // --plant-desync: a test's desync on this side from this tick
    std::string inputs;     // --inputs: a netplay replay file to play instead of a script
    // With --versus, --cpu, --cpu2 and --rounds: no script, the two CPUs play `rounds` rounds (cpuBatch.h).
    int cpu2 = 0;
    int rounds = 0;
    // Called after every pass, once it is shown, with the scene and the
    // number of passes run (a test looks at the display there); false ends
    // the run, status 4.
    std::function<bool(gameScene& scene, long long passes)> afterPass;
};

// Deepest sync test: ticks stepped again from a saved state.
const int kMaxSyncDepth = 64;
// Runs the game over the script. 0 when the run went through, 2 for a bad
// script, data folder or screenshot, 3 when the standard output differs
// from the expected transcript (the first difference is printed on standard
// error), 4 when afterPass ended it, 5 when a tick stepped again from a
// saved state came out different (the tick and the first field on standard
// error); 1 for a versus character's missing folder, and the game's own
// fatal failures end the process with status 1.
int runReplay(const replayOptions& options);
