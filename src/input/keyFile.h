#pragma once
// The player's key file: lines "BINDING = KEY" that move a binding of the
// keyboard to another key, read over the bindings start-up has filled in.
#include <string>
#include <vector>

#include "data/textFile.h"

class keyBindings;

// The key file's name, in this user's settings folder ("fightscene" under
// userSettingsFolder()) and beside the game; none means the default keys.
const char* const kKeyFile = "keys.txt";

// Where the key file is looked for, in order: this user's own, then
// `besideGame` (the one in the game's folder). Without a settings folder,
// only `besideGame`.
std::vector<std::string> keyFilePlaces(const std::string& besideGame = kKeyFile);
// The first of keyFilePlaces(besideGame) that exists, or "" when none does.
std::string findKeyFile(const std::string& besideGame = kKeyFile);

// The SDL key code of a key name as SDL names keys ("left", "z", "escape",
// "right shift" also written "right_shift"), in any case; 0 when unknown.
// Needs SDL's video subsystem to be up.
int keyByName(const std::string& name);

// Reads the key file `path` into `bindings`, player 2's "p2.left" ...
// "p2.c" too. Each line that can't be used is reported as "path:LINE:
// message" (its control bytes shown as \xNN) and leaves its binding as it
// was; so does a line giving a binding one of the keys the game keeps for
// itself (Escape, F5, i), or giving a binding other than record, playback,
// stance and reset one of the training keys' defaults (F1 to F4), or a key
// another binding of either player holds, for the binding set later. A
// player 2 default taken by a line of player 1 is left unbound instead (see
// unboundSecondPlayerKeys). A byte-order mark before the first line is skipped. A missing file changes nothing and says
// nothing. The number of reports.
int loadKeyFile(const std::string& path, keyBindings& bindings, loadPolicy& policy);
// "p2.left, p2.up": player 2's bindings that hold no key, or "".
std::string unboundSecondPlayerKeys(const keyBindings& bindings);

// The game's key file: the first found by findKeyFile(), named in one line
// "Keys from PATH" and read into `bindings`; nothing at all when there is
// none. The number of reports.
int loadPlayerKeyFile(keyBindings& bindings, loadPolicy& policy);
