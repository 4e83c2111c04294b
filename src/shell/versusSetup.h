#pragma once
// What a versus match was asked for on the command line: the mode, the
// CPU's level, each side's character and the round's length. The game and
// the replay tool read the same options into it.
#include <cstdint>
#include <string>

#include "match/cpuPlayer.h"
#include "shell/optionTable.h"

// The character player 2 gets when none is named, and the one that stands
// in for it when its folder is missing.
const char* const kSecondCharacter = "Gale";
const char* const kFirstCharacter = "Burn";
// The CPU's seed unless the replay tool is given another: a match plays the same every time.
const uint32_t kDefaultCpuSeed = 1;

struct versusSetup {
    bool versus = false;       // --versus or --cpu: two fighters, health and rounds
    int cpuLevel = 0;          // --cpu: player 2 is the CPU at this level; 0 for a player
    std::string p1 = kFirstCharacter;  // the folders under "data" of each side's character
    std::string p2;                    // "" until chosen: kSecondCharacter, or Burn without it
    int roundSeconds = 99;     // 0: no timer
    uint32_t seed = kDefaultCpuSeed;

    // The match's ticks of one round (ticks of 10 ms).
    int roundTicks() const { return roundSeconds * 100; }
};

// `name` as a character's folder name: one plain word, no path. False with
// `problem` set for anything else.
bool checkCharacterName(const char* name, std::string& problem);
// Fills in player 2's default character by what "data" holds, then checks
// that both characters' folders are there; false with `problem` naming the
// missing folder's path. Run from the folder that holds "data".
bool findCharacters(versusSetup& setup, std::string& problem);

// The usage's lines on the versus keys.
std::string versusKeysHelp();

// The option rows' applies, for a table whose choices hold a versusSetup `match`.
template <class Chosen>
bool setVersus(Chosen& chosen, const char*, std::string&) {
    chosen.match.versus = true;
    return true;
}
template <class Chosen>
bool setCpu(Chosen& chosen, const char* value, std::string& problem) {
    chosen.match.versus = true;
    chosen.match.cpuLevel = kCpuDefaultLevel;
    return !value || readNumber(value, kCpuLowestLevel, kCpuHighestLevel, chosen.match.cpuLevel, problem);
}
template <class Chosen>
bool setP1(Chosen& chosen, const char* value, std::string& problem) {
    if (!checkCharacterName(value, problem)) return false;
    chosen.match.p1 = value;
    return true;
}
template <class Chosen>
bool setP2(Chosen& chosen, const char* value, std::string& problem) {
    if (!checkCharacterName(value, problem)) return false;
    chosen.match.p2 = value;
    return true;
}
template <class Chosen>
bool setRoundTime(Chosen& chosen, const char* value, std::string& problem) {
    return readNumber(value, 0, kMaxRoundSeconds, chosen.match.roundSeconds, problem);
}

// The usage lines of the rows, the same for the game and the replay tool.
const char* const kVersusHelp = "player 1 against player 2, whose keys are w a s d and f g h";
const char* const kCpuHelp = "player 2 is the CPU, at LEVEL 1 to 8 (default 4)";
const char* const kP1Help = "player 1's character: a folder under data (default Burn)";
const char* const kP2Help = "player 2's character (default Gale, or Burn without it)";
const char* const kRoundTimeHelp = "seconds of a round (default 99; 0 for no timer)";
