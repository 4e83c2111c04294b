// The shell room: the scene object, start-up, the main loop's pass, the
// reload, the key bindings and the player control, the input display and the
// option table. This file: a training recording played back in a loop.
#include "recordingPlayer.h"

void recordingPlayer::start(const keyRecording& played, int now) {
    recording = played;
    playing = true;
    loopStartedAt = now;
    next = 0;
    held.clear();
}

std::vector<playedKey> recordingPlayer::stop() {
    std::vector<playedKey> releases;
    for (const heldInput& input : held) {
        playedKey release;
        release.action = input.action;
        release.pressed = false;
        releases.push_back(release);
    }
    held.clear();
    playing = false;
    return releases;
}

std::vector<playedKey> recordingPlayer::due(int now, bool facingRight) {
    std::vector<playedKey> played;
    if (!playing || recording.length <= 0) return played;
    // Whole rounds the clock jumped over are skipped, not played at once.
    if (now - loopStartedAt >= 2 * recording.length) {
        std::vector<playedKey> releases = stop();
        playing = true;
        played.insert(played.end(), releases.begin(), releases.end());
        loopStartedAt += (now - loopStartedAt) / recording.length * recording.length;
        next = 0;
    }
    for (;;) {
        int at = now - loopStartedAt;
        for (; next < recording.keys.size() && recording.keys[next].time <= at; ++next) {
            const recordedKey& key = recording.keys[next];
            playedKey out;
            out.pressed = key.pressed;
            if (key.pressed) {
                out.action = actionOfInput(key.input, facingRight);
                heldInput input;
                input.input = key.input;
                input.action = out.action;
                held.push_back(input);
            } else {
                // A release lets go of what its press pressed, even after a turn.
                size_t found = held.size();
                for (size_t h = 0; h < held.size(); ++h)
                    if (held[h].input == key.input) found = h;
                if (found == held.size()) continue;
                out.action = held[found].action;
                held.erase(held.begin() + static_cast<long>(found));
            }
            played.push_back(out);
        }
        if (at < recording.length) return played;
        // The round is over: let go of anything still held, and go round again.
        std::vector<playedKey> releases = stop();
        playing = true;
        played.insert(played.end(), releases.begin(), releases.end());
        loopStartedAt += recording.length;
        next = 0;
    }
}
