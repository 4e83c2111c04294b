#pragma once
// What a hit does: the damage it deals and how long it holds both fighters,
// read from the small "hit" file of a move's or a particle definition's folder.
#include <string>

#include "data/textFile.h"

// How a hit must be guarded: standing or crouching (mid), standing (high), crouching (low).
enum guardKind { guardMid = 0, guardHigh = 1, guardLow = 2 };

struct hitData {
    int damage = 10;     // points taken by the defender
    int hitstop = 100;   // milliseconds both fighters freeze when it lands
    int hitstun = 300;   // milliseconds the defender then reels, after the freeze
    int pushback = 30;   // pixels the defender slides away from the attacker while reeling
    int guard = guardMid;  // guardKind
    int blockstun = 200; // milliseconds a guarded hit holds the defender, after the freeze
    int launch = 0;      // upward speed the hit gives the defender, pixels per tick; 0 none
    int juggle = 3;      // air hits the defender may have taken in one jump for this one to land
};

// Largest value a hit file may give any key.
const int kMaxHitValue = 100000;

// Reads "<folder>/hit" into `hit` when the file is there; without it `hit`
// keeps what it holds (the defaults) and nothing is printed. Lines are
// "key = value" with the keys damage, hitstop, hitstun, pushback, blockstun,
// launch and juggle (whole numbers 0..kMaxHitValue) and guard (mid, high or
// low); '#' starts a comment. An unknown key, a line without '=' or a value
// that is not what its key takes is reported as "path:line: ..." through
// `policy` and leaves that key as it was. True when a file was read.
bool readHitData(const std::string& folder, hitData& hit, loadPolicy& policy);
