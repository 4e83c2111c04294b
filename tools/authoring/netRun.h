#pragma once
// The replay tool's netplay: this process plays one side of a match over
// UDP (--host, --join) with its script's keys or its CPU, paced by the real
// clock; or both sides at once over a simulated network inside the process
// (--netplay-pair), as fast as it goes. Either way the match ends alike on
// both sides at the script's end, so that their checksums can be compared.
#include <cstdint>
#include <string>
#include <vector>

#include "match/matchState.h"
#include "net/netSim.h"
#include "shell/netGame.h"
#include "shell/netplaySetup.h"
#include "shell/versusSetup.h"

struct gameScene;

class netRun {
public:
    // This side over UDP, or with `pair` both sides here.
    netplaySetup setup;
    bool pair = false;
    int firstCpuLevel = 0;   // the host's (or a pair's side 0) CPU level, 0 for the script's keys
    int plantDesyncAt = -1;  // a test's planted desync on this side (a pair: side 1), from this tick

    bool on() const { return pair || setup.on(); }
    // Opens the network and greets the other side (or side 0 greets side 1);
    // false with the lines said when the run should end there. The joiner's
    // `match` takes the host's.
    bool greet(versusSetup& match);
    // This side can't play the match greeted to: the other side is told.
    void giveUp(const std::string& line);
    // After a greeting that failed: the lines that say why; the exit status.
    int greetingFailed();
    // Plays the sessions in the scene's match, ending at `endMs` of the script (rounded down to 100 ms).
    void attach(gameScene& scene, int endMs);
    // After a pass at the script's clock `clockMs`: waits for the real clock
    // (over UDP). False once the match has ended.
    bool afterPass(gameScene& scene, long long clockMs);
    // The end: the final confirmed state shown, its checksum printed with
    // `checksum`, the sides' numbers and lines; the exit status.
    int finish(gameScene& scene, const versusSetup& match, bool checksum);

private:
    netGame sides[2];
    memoryLink ends[2];
    int count = 1;        // sides played here
    int endTick = 0;
    bool timedOut = false;  // the match never finished: status 1
    // Health lost by each side in the confirmed match so far (a test's proof that it was played).
    int lastHealth[kSides] = {-1, -1};
    long long damage[kSides] = {0, 0};
    void noteDamage();
};

// Prints "checksum HEX at tick N" of `state`, `who` after the first word.
void printChecksum(const matchState& state, const char* who = "");

// Plays a netplay replay file's inputs headless from `data` and prints the
// match's lines and its final checksum; the exit status (2 for a bad file).
int playNetReplay(const std::string& file, const std::string& data);
