#pragma once
// A recording played back, over and over, as presses and releases of the
// actions of a fighter: each recorded direction is turned into the side the
// fighter faces when it is pressed, so a recorded forward stays forward.
#include <vector>

#include "input/keyBindings.h"
#include "input/keyRecording.h"

// One press or release a playback asks of its fighter.
struct playedKey {
    padAction action = padAction::up;  // what to press or let go
    bool pressed = true;               // a press; false: a release
};

// An input the playback holds down, and the action its press gave.
struct heldInput {
    recordedInput input = recordedInput::up;
    padAction action = padAction::up;
};

class recordingPlayer {
public:
    keyRecording recording;        // what is played: a copy, so a new recording starts no confusion
    bool playing = false;          // between start() and stop()
    int loopStartedAt = 0;         // clock at the start of the current round, milliseconds
    size_t next = 0;               // index in recording.keys of the next key to play
    std::vector<heldInput> held;   // inputs pressed and not yet let go

    // Starts playing `played` from its beginning at clock `now`.
    void start(const keyRecording& played, int now);
    // Stops; the actions still held are let go.
    std::vector<playedKey> stop();
    // The presses and releases due by clock `now` for a fighter facing right
    // or left, in the recording's order. At the recording's end it starts
    // again from its beginning, the end's releases first; a recording of no
    // length plays nothing. A clock that jumped whole rounds ahead skips them.
    std::vector<playedKey> due(int now, bool facingRight);
};
