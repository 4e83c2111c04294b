#pragma once
// What the training keys drive, apart from the partner itself: the
// recording of the player's keys (F1), its playback (F2), the partner's
// stance (F3), and where the recording is kept on disk.
#include <string>
#include <vector>

#include "data/textFile.h"
#include "input/keyRecording.h"
#include "input/recordingPlayer.h"

// What the partner does when it plays nothing: stands, holds down, jumps
// again each time it lands, or holds back (away from the way it faces).
enum class partnerStance { stand, crouch, jump, guard };

// "stand", "crouch", "jump" or "guard", as the panel shows it.
const char* stanceName(partnerStance stance);
// The panel's line of the training keys as `bindings` give them:
// "F1 rec F2 play F3 stance F4 reset" by default.
std::string trainingKeysHelp(const keyBindings& bindings);

class trainingTools {
public:
    keyRecording recording;                    // the last recording, or the one being made
    recordingPlayer playback;                  // the recording as the partner plays it
    partnerStance stance = partnerStance::stand;
    std::string recordFile;                    // --record-file; "" for recording.txt beside keys.txt
    bool keptInMemory = false;                 // no file at all: the replay tool without --record-file

    // The file the recording is read from and saved to.
    std::string recordingPath() const;
    // Reads the recording saved before, when there is one; each bad line is
    // reported through `policy` and left out. The number of reports.
    int loadSaved(loadPolicy& policy);
    // The record key at clock `now`: starts recording (stopping a playback,
    // whose releases come back for the partner), or stops and saves to
    // recordingPath(). Says what it did in one line. A recording with no
    // event is not kept: the one before stays, in memory and on disk.
    std::vector<playedKey> toggleRecording(int now);
    // Stops a recording that reached the longest length by clock `now`,
    // and saves it. True when it stopped now.
    bool stopIfFull(int now);
    // Stops a recording under way at clock `now` and saves it, as the record
    // key does (the game is ending).
    void stopRecording(int now);
    // Writes the recording to recordingPath(), saying where in one line.
    void save();
    // The playback key at clock `now`: starts playing the recording in a
    // loop, or stops (the releases come back for the partner). Nothing plays
    // while recording, nor an empty recording; a line says so.
    std::vector<playedKey> togglePlayback(int now);
    // "recording", "playing back", or "" when neither.
    const char* activity() const;
    // The stance key: stand, crouch, jump, guard, then stand again.
    void cycleStance();

private:
    keyRecording previous;  // the recording before the one being made
    // Ends the recording just stopped: saved, or the one before kept when
    // it holds no event.
    void finish();
};
