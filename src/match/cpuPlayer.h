#pragma once
// The CPU opponent: it makes one side's input bits from the match as it saw
// it a reaction time ago, never from the other side's keys. Seeded, so the
// same match plays the same.
#include <cstdint>

#include "match/matchContent.h"
#include "match/matchState.h"

// Levels run from 1 (slow to react, rarely guards) to 8.
const int kCpuLowestLevel = 1;
const int kCpuHighestLevel = 8;
const int kCpuDefaultLevel = 4;

struct cpuPlayer {
    int side = 1;
    int level = kCpuDefaultLevel;
    uint32_t seed = 1;
};

// A CPU for `side` at `level`, its choices drawn from `seed`.
cpuPlayer makeCpu(int side, int level, uint32_t seed);
// The bits the CPU holds for the tick about to be stepped from `state`.
uint8_t cpuInput(cpuPlayer& cpu, const matchState& state, const matchContent& content);
