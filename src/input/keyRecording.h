#pragma once
// A recording of the player's keys for training: presses and releases of
// the game's inputs with their times, kept in terms of the fighter's facing
// so that a fighter facing the other way plays it as it was meant.
#include <string>
#include <vector>

#include "input/keyBindings.h"

// The longest recording, in milliseconds: an event later than this from
// the start is not recorded, and the recording stops there.
const int kMaxRecordingMs = 10000;
// The most key events a recording file gives: far more than ten seconds of
// fast play, and a bound on what a shared file makes the game read.
const int kMaxRecordedKeys = 10000;

// What a recorded event presses or releases. Directions are recorded as the
// fighter saw them, forward being the way it faced, not as screen sides, and
// as inputs, not keys: the same recording plays for a fighter on either
// side, and with any key file.
enum class recordedInput { up, down, forward, back, buttonA, buttonB, buttonC };

// The word of `input` in a recording file ("forward", "buttonA").
const char* inputName(recordedInput input);
// The input a word of a recording file names, exactly as inputName writes
// it; false when it names none.
bool inputByName(const std::string& word, recordedInput& input);

// The input a bound action is for a fighter facing right (`facingRight`) or
// left: right is forward when facing right, back when facing left. False
// for an action that is not recorded (the debug boxes).
bool inputOfAction(padAction action, bool facingRight, recordedInput& input);
// The action that gives `input` to a fighter facing right or left: forward
// is right for one facing right and left for one facing left, so a recorded
// forward stays forward for the other side.
padAction actionOfInput(recordedInput input, bool facingRight);

// The key `bindings` give `action` (0 for one without a key).
int boundKey(const keyBindings& bindings, padAction action);

// One press or release.
struct recordedKey {
    int time = 0;                               // milliseconds from the recording's start
    bool pressed = true;                        // a press; false: a release
    recordedInput input = recordedInput::up;    // what was pressed or released

    bool operator==(const recordedKey& other) const {
        return time == other.time && pressed == other.pressed && input == other.input;
    }
};

// A key held down while recording, and the input its press recorded.
struct heldKey {
    int key = 0;                              // SDL key code; a gamepad's control below 0
    recordedInput input = recordedInput::up;  // what its release lets go of
};

// The player's keys between a start and a stop, on the game's clock.
class keyRecording {
public:
    std::vector<recordedKey> keys;  // in time order; every press has its release
    int length = 0;                 // milliseconds from the start to the stop, at most kMaxRecordingMs
    bool recording = false;         // between start() and the stop
    int startedAt = 0;              // clock at start(), milliseconds
    std::vector<heldKey> heldKeys;  // keys pressed while recording and not yet let go

    // Forgets what was recorded and starts anew at clock `now`.
    void start(int now);
    // Stops at clock `now`, or at the longest length when that came first;
    // inputs still held are released at the stop. Nothing when not recording.
    void stop(int now);
    // Records `input` pressed or released at clock `now`. A release of an
    // input not pressed since the start is left out. Past the longest length
    // the event is not recorded and the recording stops. True when recorded.
    bool record(int now, recordedInput input, bool pressed);
    // Records what the SDL key `key` does under `bindings`, pressed or let
    // go at clock `now`, for a fighter facing right or left: every binding
    // it holds but the debug boxes. A key let go releases the inputs its
    // press recorded, whatever the facing is by then. True when it recorded.
    bool recordKey(const keyBindings& bindings, int key, bool pressed, bool facingRight, int now);
    // The same for a control of the gamepad, which gives `action`.
    bool recordPad(padAction action, bool pressed, bool facingRight, int now);
    // Records the press of `action` at `now`, held under `key` until
    // releaseKey(key). True when recorded.
    bool pressKey(int key, padAction action, bool facingRight, int now);
    // Records the release of every input held under `key`. True when recorded.
    bool releaseKey(int key, int now);
    // Stops the recording once the clock `now` is past the longest length,
    // so that it ends on time without any key. True when it stopped now.
    bool stopIfFull(int now);
    // True while `input` is pressed in what was recorded so far.
    bool holds(recordedInput input) const;
};
