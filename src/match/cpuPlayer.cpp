// The CPU opponent. Placeholder until its rules land: it holds nothing.
#include "match/cpuPlayer.h"

cpuPlayer makeCpu(int side, int level, uint32_t seed) {
    cpuPlayer cpu;
    cpu.side = side;
    cpu.level = level;
    cpu.seed = seed;
    return cpu;
}

uint8_t cpuInput(cpuPlayer&, const matchState&, const matchContent&) { return 0; }
