// The shell room: the scene object, start-up, the main loop's pass, the
// reload, the key bindings and the player control, the input display and the
// option table. This file: recording the player's keys for training.
#include "keyRecording.h"

namespace {
const struct {
    recordedInput input;
    const char* name;
} kInputNames[] = {
    {recordedInput::up, "up"},           {recordedInput::down, "down"},
    {recordedInput::forward, "forward"}, {recordedInput::back, "back"},
    {recordedInput::buttonA, "buttonA"}, {recordedInput::buttonB, "buttonB"},
    {recordedInput::buttonC, "buttonC"},
};
}  // namespace

const char* inputName(recordedInput input) {
    for (const auto& named : kInputNames)
        if (named.input == input) return named.name;
    return "?";
}

bool inputByName(const std::string& word, recordedInput& input) {
    for (const auto& named : kInputNames) {
        if (word != named.name) continue;
        input = named.input;
        return true;
    }
    return false;
}

bool inputOfAction(padAction action, bool facingRight, recordedInput& input) {
    switch (action) {
    case padAction::buttonA: input = recordedInput::buttonA; return true;
    case padAction::buttonB: input = recordedInput::buttonB; return true;
    case padAction::buttonC: input = recordedInput::buttonC; return true;
    case padAction::up: input = recordedInput::up; return true;
    case padAction::down: input = recordedInput::down; return true;
    case padAction::right: input = facingRight ? recordedInput::forward : recordedInput::back; return true;
    case padAction::left: input = facingRight ? recordedInput::back : recordedInput::forward; return true;
    case padAction::debug: return false;
    }
    return false;
}

padAction actionOfInput(recordedInput input, bool facingRight) {
    switch (input) {
    case recordedInput::buttonA: return padAction::buttonA;
    case recordedInput::buttonB: return padAction::buttonB;
    case recordedInput::buttonC: return padAction::buttonC;
    case recordedInput::up: return padAction::up;
    case recordedInput::down: return padAction::down;
    case recordedInput::forward: return facingRight ? padAction::right : padAction::left;
    case recordedInput::back: return facingRight ? padAction::left : padAction::right;
    }
    return padAction::up;
}

int boundKey(const keyBindings& bindings, padAction action) {
    switch (action) {
    case padAction::buttonA: return bindings.buttonA;
    case padAction::buttonB: return bindings.buttonB;
    case padAction::buttonC: return bindings.buttonC;
    case padAction::up: return bindings.up;
    case padAction::down: return bindings.down;
    case padAction::right: return bindings.right;
    case padAction::left: return bindings.left;
    case padAction::debug: return bindings.debug;
    }
    return 0;
}

namespace {
const padAction kBoundActions[] = {padAction::buttonA, padAction::buttonB, padAction::buttonC, padAction::up,
                                   padAction::down,    padAction::right,   padAction::left};
}  // namespace

void keyRecording::start(int now) {
    keys.clear();
    heldKeys.clear();
    length = 0;
    recording = true;
    startedAt = now;
}

void keyRecording::stop(int now) {
    if (!recording) return;
    int at = now - startedAt;
    if (at > kMaxRecordingMs) at = kMaxRecordingMs;
    if (at < 0) at = 0;
    if (!keys.empty() && at < keys.back().time) at = keys.back().time;
    // A key held at the stop is let go there: a loop starts with nothing held.
    for (const auto& named : kInputNames) {
        if (!holds(named.input)) continue;
        recordedKey release;
        release.time = at;
        release.pressed = false;
        release.input = named.input;
        keys.push_back(release);
    }
    length = at;
    recording = false;
    heldKeys.clear();
}

bool keyRecording::record(int now, recordedInput input, bool pressed) {
    if (!recording) return false;
    if (stopIfFull(now)) return false;
    if (!pressed && !holds(input)) return false;
    recordedKey key;
    // A clock set back keeps the events in order.
    key.time = now - startedAt;
    if (key.time < 0) key.time = 0;
    if (!keys.empty() && key.time < keys.back().time) key.time = keys.back().time;
    key.pressed = pressed;
    key.input = input;
    keys.push_back(key);
    return true;
}

bool keyRecording::recordKey(const keyBindings& bindings, int key, bool pressed, bool facingRight, int now) {
    if (!recording) return false;
    if (!pressed) return releaseKey(key, now);
    bool recorded = false;
    for (padAction action : kBoundActions)
        if (boundKey(bindings, action) == key) recorded = pressKey(key, action, facingRight, now) || recorded;
    return recorded;
}

bool keyRecording::recordPad(padAction action, bool pressed, bool facingRight, int now) {
    // Held under a key of its own, below every SDL key code.
    int key = -1 - static_cast<int>(action);
    return pressed ? pressKey(key, action, facingRight, now) : releaseKey(key, now);
}

bool keyRecording::pressKey(int key, padAction action, bool facingRight, int now) {
    recordedInput input;
    if (!inputOfAction(action, facingRight, input) || !record(now, input, true)) return false;
    heldKey held;
    held.key = key;
    held.input = input;
    heldKeys.push_back(held);
    return true;
}

bool keyRecording::releaseKey(int key, int now) {
    bool recorded = false;
    for (size_t at = heldKeys.size(); at-- > 0;) {
        if (heldKeys[at].key != key) continue;
        recorded = record(now, heldKeys[at].input, false) || recorded;
        heldKeys.erase(heldKeys.begin() + static_cast<long>(at));
    }
    return recorded;
}

bool keyRecording::stopIfFull(int now) {
    if (!recording || now - startedAt <= kMaxRecordingMs) return false;
    stop(now);
    return true;
}

bool keyRecording::holds(recordedInput input) const {
    bool held = false;
    for (const recordedKey& key : keys)
        if (key.input == input) held = key.pressed;
    return held;
}
