#pragma once
// A character's own figures, read from the "stats" file of its folder.
#include <string>

#include "data/textFile.h"

// Health at the start of a round when a character's stats don't say.
const int kDefaultHealth = 100;
const int kMaxHealth = 1000;

// Reads "<folder>/stats" when it is there: "health = N" (1..kMaxHealth)
// into `health`; '#' starts a comment. An unknown key or a bad value is
// reported as "path:line: ..." through `policy` and changes nothing.
// True when a file was read.
bool readCharacterStats(const std::string& folder, int& health, loadPolicy& policy);
