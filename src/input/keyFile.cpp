// The shell room: the scene object, start-up, the main loop's pass, the
// reload, the key bindings and the player control, the input display and the
// option table. This file: reading a player's key file.
#include "keyFile.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/textFile.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/userFolder.h"
#include "input/keyBindings.h"

namespace {
// The bindings a key file may set, by their names in the file.
struct bindingName {
    const char* name;
    int keyBindings::*field;
    bool training;  // a training key: it alone may take the training keys' defaults
};
const bindingName kBindings[] = {
    {"left", &keyBindings::left, false},         {"right", &keyBindings::right, false},
    {"up", &keyBindings::up, false},             {"down", &keyBindings::down, false},
    {"a", &keyBindings::buttonA, false},         {"b", &keyBindings::buttonB, false},
    {"c", &keyBindings::buttonC, false},         {"debug", &keyBindings::debug, false},
    {"record", &keyBindings::record, true},      {"playback", &keyBindings::playback, true},
    {"stance", &keyBindings::stance, true},      {"reset", &keyBindings::reset, true},
    // Player 2's, in versus. A key is one player's only: the shared-key refusal covers both.
    {"p2.left", &keyBindings::p2Left, false},    {"p2.right", &keyBindings::p2Right, false},
    {"p2.up", &keyBindings::p2Up, false},        {"p2.down", &keyBindings::p2Down, false},
    {"p2.a", &keyBindings::p2A, false},          {"p2.b", &keyBindings::p2B, false},
    {"p2.c", &keyBindings::p2C, false},
};
const size_t kBindingCount = sizeof kBindings / sizeof kBindings[0];

// One binding the file set, and the line that set it.
struct fileBinding {
    size_t binding = 0;  // index into kBindings
    int key = 0;
    int line = 0;
};

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The keys the game keeps, and what each does, as a refused line says it.
const struct {
    int key;
    const char* does;
} kReservedKeys[] = {
    {kQuitKey, "quits the game"},
    {kReloadKey, "loads the data again"},
    {kInputDisplayKey, "shows the input display"},
};
// The training keys' defaults: only a training binding may take one.
const int kTrainingKeys[] = {kRecordKey, kPlaybackKey, kStanceKey, kResetKey};

// A byte-order mark, as some editors write before the first line.
const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string keyName(int key) { return "\"" + std::string(SDL_GetKeyName(static_cast<SDLKey>(key))) + "\""; }

// "; left stays "left"": what a refused line leaves in place.
std::string stays(size_t binding, const keyBindings& bindings) {
    return std::string("; ") + kBindings[binding].name + " stays " + keyName(bindings.*kBindings[binding].field);
}

// "left, right, ... or p2.c": every binding a file may set.
std::string bindingNames() {
    std::string names;
    for (size_t at = 0; at < kBindingCount; ++at)
        names += std::string(at == 0 ? "" : at + 1 == kBindingCount ? " or " : ", ") + kBindings[at].name;
    return names;
}

size_t findBinding(const std::string& name) {
    std::string wanted = lowered(name);
    for (size_t at = 0; at < kBindingCount; ++at)
        if (wanted == kBindings[at].name) return at;
    return kBindingCount;
}

// Reads one line's binding and key; false with the line reported when it
// can't be used.
bool readBindingLine(const TextFile& file, const std::string& line, const keyBindings& bindings,
                     const std::vector<fileBinding>& taken, fileBinding& result) {
    size_t equals = line.find('=');
    std::vector<std::string> left = splitWords(line.substr(0, equals), 2);
    std::vector<std::string> right = splitWords(equals == std::string::npos ? "" : line.substr(equals + 1), 16);
    std::string key;
    for (const std::string& word : right) key += (key.empty() ? "" : " ") + word;
    if (equals == std::string::npos || left.size() != 1 || key.empty()) {
        std::string shown = line.substr(0, line.find_last_not_of(" \t\r") + 1);
        file.report("expected \"BINDING = KEY\", found \"" + shown.substr(shown.find_first_not_of(" \t")) +
                    "\"");
        return false;
    }
    result.binding = findBinding(left[0]);
    result.line = file.line();
    if (result.binding == kBindingCount) {
        file.report("unknown binding \"" + left[0] + "\"; expected " + bindingNames());
        return false;
    }
    for (const fileBinding& earlier : taken) {
        if (earlier.binding != result.binding) continue;
        file.report(std::string(kBindings[result.binding].name) + " is already set on line " +
                    std::to_string(earlier.line) + "; this line is ignored");
        return false;
    }
    result.key = keyByName(key);
    if (result.key == 0) {
        file.report("unknown key \"" + key + "\"" + stays(result.binding, bindings));
        return false;
    }
    for (const auto& reserved : kReservedKeys) {
        if (result.key != reserved.key) continue;
        file.report(std::string(SDL_GetKeyName(static_cast<SDLKey>(reserved.key))) + " " + reserved.does +
                    " and can't be bound" + stays(result.binding, bindings));
        return false;
    }
    if (kBindings[result.binding].training) return true;
    for (int training : kTrainingKeys) {
        if (result.key != training) continue;
        file.report(std::string(SDL_GetKeyName(static_cast<SDLKey>(training))) +
                    " is kept for the training keys and can't be bound" + stays(result.binding, bindings));
        return false;
    }
    return true;
}

// The binding other than `self` that holds `key` in `bindings`, or kBindingCount.
size_t holderOf(const keyBindings& bindings, int key, size_t self) {
    for (size_t at = 0; at < kBindingCount; ++at)
        if (at != self && bindings.*kBindings[at].field == key) return at;
    return kBindingCount;
}

bool secondPlayer(size_t binding) { return std::strncmp(kBindings[binding].name, "p2.", 3) == 0; }

bool setByFile(const std::vector<fileBinding>& set, size_t binding) {
    for (const fileBinding& one : set)
        if (one.binding == binding) return true;
    return false;
}

// A key left with two bindings would do both: the binding set later in the
// file goes back to the key it had, until no key has two.
int refuseSharedKeys(const TextFile& file, keyBindings& bindings, const keyBindings& before, std::vector<fileBinding>& set) {
    int reports = 0;
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t at = set.size(); at-- > 0 && !changed;) {
            size_t other = holderOf(bindings, set[at].key, set[at].binding);
            if (other == kBindingCount) continue;
            size_t binding = set[at].binding;
            if (!secondPlayer(binding) && secondPlayer(other) && !setByFile(set, other)) {
                // Player 2's default key yields to player 1's: outside versus
                // there is no player 2, and versus names what went unbound.
                bindings.*kBindings[other].field = 0;
                changed = true;
                continue;
            }
            bindings.*kBindings[binding].field = before.*kBindings[binding].field;
            file.reportAt(set[at].line, "key " + keyName(set[at].key) + " is also bound to " +
                                            kBindings[other].name + stays(binding, bindings));
            set.erase(set.begin() + static_cast<long>(at));
            ++reports;
            changed = true;
        }
    }
    return reports;
}
}  // namespace

std::string unboundSecondPlayerKeys(const keyBindings& bindings) {
    std::string names;
    for (size_t at = 0; at < kBindingCount; ++at)
        if (secondPlayer(at) && bindings.*kBindings[at].field == 0)
            names += (names.empty() ? "" : ", ") + std::string(kBindings[at].name);
    return names;
}

keyBindings secondPlayerKeys(const keyBindings& both) {
    keyBindings second;
    second.name = "player 2";
    second.left = both.p2Left;
    second.right = both.p2Right;
    second.up = both.p2Up;
    second.down = both.p2Down;
    second.buttonA = both.p2A;
    second.buttonB = both.p2B;
    second.buttonC = both.p2C;
    second.debug = second.record = second.playback = second.stance = second.reset = 0;
    return second;
}

int keyByName(const std::string& name) {
    std::string wanted = lowered(name);
    std::replace(wanted.begin(), wanted.end(), '_', ' ');
    // SDL names every key without a name of its own "unknown key".
    if (wanted.empty() || wanted == "unknown key") return 0;
    for (int key = SDLK_FIRST + 1; key < SDLK_LAST; ++key) {
        const char* known = SDL_GetKeyName(static_cast<SDLKey>(key));
        if (known && wanted == known) return key;
    }
    return 0;
}

std::vector<std::string> keyFilePlaces(const std::string& besideGame) {
    std::vector<std::string> places;
    std::string settings = userSettingsFolder();
    if (!settings.empty()) {
        const char between = folderSeparator();
        if (settings.back() != between) settings += between;
        places.push_back(settings + "fightscene" + between + kKeyFile);
    }
    places.push_back(besideGame);
    return places;
}

std::string findKeyFile(const std::string& besideGame) {
    for (const std::string& place : keyFilePlaces(besideGame))
        if (fileSize(place.c_str()) >= 0) return place;
    return "";
}

int loadPlayerKeyFile(keyBindings& bindings, loadPolicy& policy) {
    std::string path = findKeyFile();
    if (path.empty()) return 0;
    std::printf("Keys from %s\n", path.c_str());
    return loadKeyFile(path, bindings, policy);
}

int loadKeyFile(const std::string& path, keyBindings& bindings, loadPolicy& policy) {
    TextFile file(policy);
    if (!file.open(path)) {
        if (errno == ENOENT) return 0;
        file.reportAt(0, std::string("can't be read (") + std::strerror(errno) + "); the default keys stay");
        return 1;
    }
    const keyBindings before = bindings;
    std::vector<fileBinding> set;
    int reports = 0;
    std::string line;
    while (file.readUncommentedLine(line, reports)) {
        if (file.line() == 1 && line.compare(0, 3, kByteOrderMark) == 0) line.erase(0, 3);
        // Blank by any white space: a stray carriage return is no binding.
        if (firstWord(line).empty()) continue;
        fileBinding read;
        if (!readBindingLine(file, line, bindings, set, read)) {
            ++reports;
            continue;
        }
        bindings.*kBindings[read.binding].field = read.key;
        set.push_back(read);
    }
    return reports + refuseSharedKeys(file, bindings, before, set);
}
