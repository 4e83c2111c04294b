#pragma once
// CPU against CPU, headless: rounds of a versus match stepped as fast as they
// go, with no drawing and no clock, for balancing characters and levels.
#include <cstdint>
#include <string>

#include "match/matchContent.h"

// How CPU A's rounds came out.
struct cpuBatchResult {
    int won = 0;
    int lost = 0;
    int drawn = 0;
    int rounds = 0;        // rounds played
    bool stalled = false;  // a round never ended (rules without a KO or a timer)
};

// Plays `rounds` rounds of CPU `levelA` against CPU `levelB` over `content`
// (its rules made versus). CPU A takes side 0 in the even matches and side 1
// in the odd ones, so that neither level keeps one character or start; every
// match draws its seeds from `seed` and its number.
cpuBatchResult playCpuRounds(const matchContent& content, int levelA, int levelB, int rounds, uint32_t seed);

// "cpu A against cpu B: A won W, B won L, drew D of N rounds"
std::string cpuBatchLine(int levelA, int levelB, const cpuBatchResult& result);

struct cpuBatchOptions {
    int levels[2] = {4, 4};
    int rounds = 0;
    uint32_t seed = 1;
    std::string data;  // the data folder
};

// Loads the data folder's two characters (Burn, and Gale when its folder is
// there, else Burn again) and plays the rounds, printing the result line.
// 0, 1 when a round never ended, 2 when the data folder can't be read.
int runCpuBatch(const cpuBatchOptions& options);
