#pragma once
// The player's key file: lines "BINDING = KEY" that move a binding of the
// keyboard to another key, read over the bindings start-up has filled in.
#include <string>

#include "data/textFile.h"

class keyBindings;

// The file the game reads from its own folder; none means the default keys.
const char* const kKeyFile = "keys.txt";

// The SDL key code of a key name as SDL names keys ("left", "z", "escape",
// "right shift" also written "right_shift"), in any case; 0 when unknown.
// Needs SDL's video subsystem to be up.
int keyByName(const std::string& name);

// Reads the key file `path` into `bindings`. Each line that can't be used is
// reported as "path:LINE: message" and leaves its binding as it was. A
// missing file changes nothing and says nothing. The number of reports.
int loadKeyFile(const std::string& path, keyBindings& bindings, const loadPolicy& policy = gamePolicy);
