// The shell room: the scene object, start-up, the main loop's pass, the
// reload, the key bindings and the player control, the input display and the
// option table. This file: the training keys' recording, playback and stance.
#include "trainingTools.h"

#include <SDL/SDL.h>

#include <cctype>
#include <cstdio>

#include "input/recordingFile.h"

const char* stanceName(partnerStance stance) {
    switch (stance) {
    case partnerStance::stand: return "stand";
    case partnerStance::crouch: return "crouch";
    case partnerStance::jump: return "jump";
    case partnerStance::guard: return "guard";
    }
    return "?";
}

std::string trainingKeysHelp(const keyBindings& bindings) {
    const struct { int key; const char* does; } keys[] = {
        {bindings.record, "rec"}, {bindings.playback, "play"}, {bindings.stance, "stance"}, {bindings.reset, "reset"},
    };
    std::string help;
    for (const auto& key : keys) {
        if (key.key <= 0 || key.key >= SDLK_LAST) continue;
        std::string name = SDL_GetKeyName(static_cast<SDLKey>(key.key));
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        help += (help.empty() ? "" : " ") + name + " " + key.does;
    }
    return help;
}

const char* trainingTools::activity() const {
    if (recording.recording) return "recording";
    return playback.playing ? "playing back" : "";
}

std::string trainingTools::recordingPath() const { return recordFile.empty() ? recordingFilePath() : recordFile; }

int trainingTools::loadSaved(loadPolicy& policy) {
    return keptInMemory ? 0 : loadRecording(recordingPath(), recording, policy);
}

std::vector<playedKey> trainingTools::toggleRecording(int now) {
    std::vector<playedKey> releases;
    if (!recording.recording) {
        if (playback.playing) releases = playback.stop();
        previous = recording;
        recording.start(now);
        std::printf("Recording your keys (at most %d s)\n", kMaxRecordingMs / 1000);
        return releases;
    }
    stopRecording(now);
    return releases;
}

void trainingTools::stopRecording(int now) {
    if (!recording.recording) return;
    recording.stop(now);
    finish();
}

bool trainingTools::stopIfFull(int now) {
    if (!recording.stopIfFull(now)) return false;
    finish();
    return true;
}

void trainingTools::finish() {
    if (!recording.keys.empty()) {
        save();
        return;
    }
    recording = previous;
    if (keptInMemory)
        std::printf("nothing recorded; the recording before kept\n");
    else
        std::printf("nothing recorded; %s kept\n", recordingPath().c_str());
}

void trainingTools::save() {
    std::string path = recordingPath();
    std::string problem;
    if (keptInMemory)
        std::printf("Recorded %d ms, %zu key events: kept for this run\n", recording.length, recording.keys.size());
    else if (saveRecording(path, recording, problem))
        std::printf("Recorded %d ms, %zu key events: saved to %s\n", recording.length, recording.keys.size(),
                    path.c_str());
    else
        std::printf("Recorded %d ms, %zu key events; not saved: %s\n", recording.length, recording.keys.size(),
                    problem.c_str());
}

std::vector<playedKey> trainingTools::togglePlayback(int now) {
    if (playback.playing) {
        std::printf("Playback stopped\n");
        return playback.stop();
    }
    if (recording.recording) {
        std::printf("Recording: no playback until it stops\n");
    } else if (recording.length <= 0) {
        std::printf("Nothing recorded to play back\n");
    } else {
        playback.start(recording, now);
        std::printf("Playing back %d ms, over and over\n", recording.length);
    }
    return std::vector<playedKey>();
}

void trainingTools::cycleStance() {
    switch (stance) {
    case partnerStance::stand: stance = partnerStance::crouch; break;
    case partnerStance::crouch: stance = partnerStance::jump; break;
    case partnerStance::jump: stance = partnerStance::guard; break;
    case partnerStance::guard: stance = partnerStance::stand; break;
    }
}
