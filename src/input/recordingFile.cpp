// The shell room: the scene object, start-up, the main loop's pass, the
// reload, the key bindings and the player control, the input display and the
// option table. This file: a training recording saved and read back.
#include "recordingFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "input/keyFile.h"
#include "input/keyRecording.h"

namespace {
const char kInputList[] = "up, down, forward, back, buttonA, buttonB or buttonC";

// The folder part of `path`, "" when it has none.
std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

// What reading has found so far, for the checks that look back.
struct readingState {
    int lastTime = 0;   // time of the last event kept
    int lastLine = 0;   // its line, 0 before the first
    int endLine = 0;    // line of the end, 0 before it
    bool held[7] = {};  // by recordedInput: pressed so far and not let go
    bool full = false;  // kMaxRecordedKeys kept: the rest is not read
};

// Reads one line's words into `recording`; false with the line reported
// when it can't be used.
bool readRecordingLine(const TextFile& file, const std::vector<std::string>& words, readingState& state,
                       keyRecording& recording) {
    int time = 0;
    if (!readScriptTime(words[0], state.lastTime, time)) {
        file.report("expected a time in milliseconds, found \"" + words[0] + "\"");
        return false;
    }
    std::string verb = words.size() > 1 ? words[1] : "";
    if (verb != "down" && verb != "up" && verb != "end") {
        file.report(verb.empty() ? "expected down, up or end after the time"
                                 : "unknown event \"" + verb + "\"; expected down, up or end");
        return false;
    }
    size_t wanted = verb == "end" ? 2 : 3;
    if (words.size() < wanted) {
        file.report(verb + " needs an input: " + kInputList);
        return false;
    }
    if (words.size() > wanted) {
        file.report("unexpected \"" + words[wanted] + "\" after " + verb);
        return false;
    }
    if (state.endLine) {
        file.report("after the end on line " + std::to_string(state.endLine) + "; ignored");
        return false;
    }
    if (time < state.lastTime) {
        file.report("time " + std::to_string(time) + " is before line " + std::to_string(state.lastLine) +
                    "'s " + std::to_string(state.lastTime) + "; ignored");
        return false;
    }
    if (time > kMaxRecordingMs) {
        file.report("time " + std::to_string(time) + " is past the longest recording, " +
                    std::to_string(kMaxRecordingMs) + " ms; ignored");
        return false;
    }
    if (verb == "end") {
        recording.length = time;
        state.endLine = file.line();
    } else {
        recordedKey key;
        if (!inputByName(words[2], key.input)) {
            file.report("unknown input \"" + words[2] + "\"; expected " + kInputList);
            return false;
        }
        key.time = time;
        key.pressed = verb == "down";
        bool& held = state.held[static_cast<int>(key.input)];
        if (!key.pressed && !held) {
            file.report("up " + words[2] + " with no down before it; ignored");
            return false;
        }
        if (recording.keys.size() >= static_cast<size_t>(kMaxRecordedKeys)) {
            file.report("more than " + std::to_string(kMaxRecordedKeys) + " key events; the rest is not read");
            state.full = true;
            return false;
        }
        held = key.pressed;
        recording.keys.push_back(key);
        recording.length = time;
    }
    state.lastTime = time;
    state.lastLine = file.line();
    return true;
}
}  // namespace

bool readScriptTime(const std::string& word, int previous, int& time) {
    bool relative = !word.empty() && word[0] == '+';
    size_t digits = relative ? 1 : 0;
    if (digits >= word.size() || word.size() - digits > 9) return false;
    for (size_t at = digits; at < word.size(); ++at)
        if (!std::isdigit(static_cast<unsigned char>(word[at]))) return false;
    int value = std::atoi(word.c_str() + digits);
    if (relative && previous > INT_MAX - value) return false;
    time = relative ? previous + value : value;
    return true;
}

std::string recordingFilePath() {
    std::string keys = keyFilePlaces().front();
    return keys.substr(0, keys.size() - std::strlen(kKeyFile)) + kRecordingFile;
}

bool saveRecording(const std::string& path, const keyRecording& recording, std::string& problem) {
    std::string folder = folderOf(path);
    if (!folder.empty() && !makeFolders(folder)) {
        problem = "the folder " + folder + " can't be made";
        return false;
    }
    std::string text = "# A training recording: milliseconds from its start, a key pressed (down) or\n"
                       "# let go (up), the input; forward is the way the fighter faces.\n";
    for (const recordedKey& key : recording.keys)
        text += std::to_string(key.time) + (key.pressed ? " down " : " up ") + inputName(key.input) + "\n";
    text += std::to_string(recording.length) + " end\n";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        problem = path + " can't be written (" + std::strerror(errno) + ")";
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    written = std::fclose(out) == 0 && written;
    if (!written) problem = path + " was not written whole";
    return written;
}

int loadRecording(const std::string& path, keyRecording& recording, loadPolicy& policy) {
    recording = keyRecording();
    TextFile file(policy);
    if (!file.open(path)) {
        if (errno == ENOENT) return 0;
        file.reportAt(0, std::string("can't be read (") + std::strerror(errno) + ")");
        return 1;
    }
    int reports = 0;
    readingState state;
    std::string line;
    while (!state.full && file.readUncommentedLine(line, reports)) {
        std::vector<std::string> words = splitWords(line, 4);
        if (words.empty()) continue;
        if (!readRecordingLine(file, words, state, recording)) ++reports;
    }
    // Held at the end: let go there, as a stopped recording is.
    recording.recording = true;
    recording.startedAt = 0;
    recording.stop(recording.length);
    return reports;
}
