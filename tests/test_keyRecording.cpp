// Training recordings: inputs seen from the fighter's facing, the longest
// recording on the set clock, the file (saved and read back equal, bad
// lines reported as "path:LINE: message" and left out), and the playback's
// mirror and loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "input/keyRecording.h"
#include "input/recordingFile.h"
#include "input/recordingPlayer.h"
#include "shell/scene.h"
#include "shell/trainingTools.h"
#include "sprites/clock.h"
#include "testSupport.h"

namespace {
recordedKey key(int time, bool pressed, recordedInput input) {
    recordedKey made;
    made.time = time;
    made.pressed = pressed;
    made.input = input;
    return made;
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

// `count` events at 5 ms: down pressed, let go, pressed...
std::vector<recordedKey> alternating(int count) {
    std::vector<recordedKey> keys;
    for (int i = 0; i < count; ++i) keys.push_back(key(5, i % 2 == 0, recordedInput::down));
    return keys;
}

std::string shown(const std::vector<recordedKey>& keys) {
    std::string text;
    for (const recordedKey& k : keys)
        text += std::to_string(k.time) + (k.pressed ? " down " : " up ") + inputName(k.input) + "\n";
    return text;
}
}  // namespace

// Right is forward only while facing right; a recorded forward comes back as
// the side the fighter now faces.
TEST(KeyRecording, InputsAreSeenFromTheFacingBothWays) {
    const struct {
        padAction action;
        bool facingRight;
        recordedInput input;
    } cases[] = {
        {padAction::right, true, recordedInput::forward}, {padAction::left, true, recordedInput::back},
        {padAction::left, false, recordedInput::forward}, {padAction::right, false, recordedInput::back},
        {padAction::up, true, recordedInput::up},         {padAction::up, false, recordedInput::up},
        {padAction::down, false, recordedInput::down},    {padAction::buttonA, false, recordedInput::buttonA},
        {padAction::buttonB, true, recordedInput::buttonB}, {padAction::buttonC, false, recordedInput::buttonC},
    };
    for (const auto& c : cases) {
        recordedInput input = recordedInput::buttonC;
        ASSERT_TRUE(inputOfAction(c.action, c.facingRight, input)) << int(c.action);
        EXPECT_EQ(c.input, input) << int(c.action) << " facing right " << c.facingRight;
        EXPECT_EQ(c.action, actionOfInput(c.input, c.facingRight)) << inputName(c.input);
        // The name is the file's word, and reads back.
        recordedInput named = recordedInput::up;
        EXPECT_TRUE(inputByName(inputName(c.input), named));
        EXPECT_EQ(c.input, named);
    }
    recordedInput unused;
    EXPECT_FALSE(inputOfAction(padAction::debug, true, unused)) << "the boxes are not recorded";
    EXPECT_FALSE(inputByName("Forward", unused)) << "the file's words are written one way";
}

// Events are stamped from the start on the game's clock; at 10 s the
// recording stops, and keys held at a stop are let go there.
TEST(KeyRecording, StampsFromTheStartAndStopsAtTenSeconds) {
    struct event {
        int at;  // clock after the start, milliseconds
        recordedInput input;
        bool pressed;
        bool kept;
    };
    const recordedInput fwd = recordedInput::forward, a = recordedInput::buttonA, dn = recordedInput::down;
    const struct {
        const char* label;
        std::vector<event> events;
        int stopAt;  // clock of stop() after the start; -1: none
        std::vector<recordedKey> keys;
        int length;
        bool recording;  // still recording at the end
    } cases[] = {
        {"a press and release", {{100, a, true, true}, {180, a, false, true}}, 500,
         {key(100, true, a), key(180, false, a)}, 500, false},
        {"the last event at exactly 10 s, then one past it",
         {{0, fwd, true, true}, {10000, dn, true, true}, {10001, dn, false, false}}, -1,
         {key(0, true, fwd), key(10000, true, dn), key(10000, false, dn), key(10000, false, fwd)}, 10000, false},
        {"a stop past 10 s ends at 10 s", {{300, a, true, true}}, 12000, {key(300, true, a), key(10000, false, a)},
         10000, false},
        {"a key held before the start: its release is left out", {{50, dn, false, false}, {60, a, true, true}},
         70, {key(60, true, a), key(70, false, a)}, 70, false},
        {"still recording before 10 s", {{9999, a, true, true}}, -1, {key(9999, true, a)}, 0, true},
    };
    for (const auto& c : cases) {
        const Uint32 start = 5000;  // not at 0: times count from the start
        clockSet(start);
        keyRecording recording;
        recording.start(static_cast<int>(clockTicks()));
        for (const event& e : c.events) {
            clockSet(start + e.at);
            EXPECT_EQ(e.kept, recording.record(static_cast<int>(clockTicks()), e.input, e.pressed))
                << c.label << " at " << e.at;
        }
        if (c.stopAt >= 0) {
            clockSet(start + c.stopAt);
            recording.stop(static_cast<int>(clockTicks()));
        }
        EXPECT_EQ(shown(c.keys), shown(recording.keys)) << c.label;
        EXPECT_EQ(c.length, recording.length) << c.label;
        EXPECT_EQ(c.recording, recording.recording) << c.label;
    }

    // With no key at all it stops on time, once the clock passes 10 s.
    clockSet(700);
    keyRecording idle;
    idle.start(700);
    EXPECT_FALSE(idle.stopIfFull(700 + kMaxRecordingMs));
    EXPECT_TRUE(idle.recording);
    EXPECT_TRUE(idle.stopIfFull(700 + kMaxRecordingMs + 1));
    EXPECT_FALSE(idle.recording);
    EXPECT_EQ(kMaxRecordingMs, idle.length);
}

// Every input, saved into a folder not made yet, reads back the same.
TEST(KeyRecording, ASavedRecordingReadsBackEqual) {
    keyRecording made;
    made.start(1000);
    int now = 1000;
    for (recordedInput input : {recordedInput::down, recordedInput::forward, recordedInput::buttonA,
                                recordedInput::back, recordedInput::up, recordedInput::buttonB,
                                recordedInput::buttonC}) {
        made.record(now += 33, input, true);
        made.record(now += 17, input, false);
    }
    made.record(now += 5, recordedInput::forward, true);  // held at the stop
    made.stop(now + 400);
    ASSERT_EQ(16u, made.keys.size());

    std::string path = makeTempDir("recording") + "/not/made/" + kRecordingFile;
    std::string problem;
    ASSERT_TRUE(saveRecording(path, made, problem)) << problem;
    keyRecording read;
    read.keys.push_back(key(1, true, recordedInput::up));  // what was there goes
    loadPolicy policy = gamePolicy();
    EXPECT_EQ(0, loadRecording(path, read, policy));
    EXPECT_EQ(0, policy.reported);
    EXPECT_EQ(shown(made.keys), shown(read.keys));
    EXPECT_TRUE(made.keys == read.keys);
    EXPECT_EQ(made.length, read.length);
    EXPECT_FALSE(read.recording);
    EXPECT_NE(std::string::npos, readFile(path).find("\n33 down down\n50 up down\n83 down forward\n"))
        << readFile(path);
}

TEST(KeyRecording, BadLinesAreReportedWithTheirLineAndLeftOut) {
    const recordedInput fwd = recordedInput::forward, a = recordedInput::buttonA;
    const struct {
        const char* label;
        std::string content;
        std::string reports;  // standard output; "F" stands for the file's path
        std::vector<recordedKey> keys;
        int length;
    } cases[] = {
        {"good lines, comments, CRLF, relative times", "# mine\r\n\r\n10 down forward\r\n+20 up forward # ok\r\n"
                                                       "100 end\r\n",
         "", {key(10, true, fwd), key(30, false, fwd)}, 100},
        {"no end: the last event ends it, a held key let go there", "5 down buttonA\n40 down forward\n", "",
         {key(5, true, a), key(40, true, fwd), key(40, false, fwd), key(40, false, a)}, 40},
        {"not a time", "soon down forward\n10 down buttonA\n",
         "F:1: expected a time in milliseconds, found \"soon\"\n", {key(10, true, a), key(10, false, a)}, 10},
        {"unknown events and inputs", "10 tap buttonA\n20 down Forward\n30 down\n40 end now\n50 down buttonA\n",
         "F:1: unknown event \"tap\"; expected down, up or end\n"
         "F:2: unknown input \"Forward\"; expected up, down, forward, back, buttonA, buttonB or buttonC\n"
         "F:3: down needs an input: up, down, forward, back, buttonA, buttonB or buttonC\n"
         "F:4: unexpected \"now\" after end\n",
         {key(50, true, a), key(50, false, a)}, 50},
        {"out of order, too late, after the end",
         "100 down forward\n50 up forward\n10001 up forward\n200 up forward\n300 end\n400 down buttonA\n"
         "500 end\n",
         "F:2: time 50 is before line 1's 100; ignored\n"
         "F:3: time 10001 is past the longest recording, 10000 ms; ignored\n"
         "F:6: after the end on line 5; ignored\n"
         "F:7: after the end on line 5; ignored\n",
         {key(100, true, fwd), key(200, false, fwd)}, 300},
        {"a release with no press", "10 up back\n20 down back\n30 up back\n",
         "F:1: up back with no down before it; ignored\n",
         {key(20, true, recordedInput::back), key(30, false, recordedInput::back)}, 30},
        {"a long line", std::string(300, '1') + "\n20 down up\n30 up up\n",
         "F:1: line longer than 254 characters; read in pieces\n",
         {key(20, true, recordedInput::up), key(30, false, recordedInput::up)}, 30},
        {"control bytes are shown, not echoed", "10 down \x1b[2J\x07\n",
         "F:1: unknown input \"\\x1b[2J\\x07\"; expected up, down, forward, back, buttonA, buttonB or buttonC\n", {}, 0},
        {"reading stops past the most key events", repeated("5 down down\n5 up down\n", kMaxRecordedKeys / 2 + 1),
         "F:10001: more than 10000 key events; the rest is not read\n", alternating(kMaxRecordedKeys), 5},
    };
    std::string path = makeTempDir("recording") + "/" + kRecordingFile;
    for (const auto& c : cases) {
        writeFile(path, c.content);
        keyRecording read;
        loadPolicy policy = gamePolicy();
        startCapture();
        int reports = loadRecording(path, read, policy);
        std::string out = stopCapture();
        std::string expected = c.reports;
        for (size_t at = expected.find("F:"); at != std::string::npos; at = expected.find("F:", at + path.size()))
            expected.replace(at, 1, path);
        EXPECT_EQ(expected, out) << c.label;
        EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), reports) << c.label;
        EXPECT_EQ(shown(c.keys), shown(read.keys)) << c.label;
        EXPECT_EQ(c.length, read.length) << c.label;
    }

    // A missing file: an empty recording, nothing said.
    std::remove(path.c_str());
    keyRecording none;
    none.keys.push_back(key(1, true, a));
    loadPolicy policy = gamePolicy();
    startCapture();
    EXPECT_EQ(0, loadRecording(path, none, policy));
    EXPECT_EQ("", stopCapture());
    EXPECT_TRUE(none.keys.empty());
}

#ifndef _WIN32
// The save key writes beside this user's keys.txt, or beside the game's
// when there is no settings folder.
TEST(KeyRecording, TheSavedFileGoesBesideTheUsersKeyFile) {
    const char* const variables[] = {"XDG_CONFIG_HOME", "HOME"};
    std::vector<std::string> saved;
    for (const char* name : variables) saved.push_back(std::getenv(name) ? std::getenv(name) : "");
    setEnvironment("XDG_CONFIG_HOME", "/x/config", true);
    EXPECT_EQ("/x/config/fightscene/recording.txt", recordingFilePath());
    setEnvironment("XDG_CONFIG_HOME", "", true);
    setEnvironment("HOME", "/home/player", true);
    EXPECT_EQ("/home/player/.config/fightscene/recording.txt", recordingFilePath());
    setEnvironment("HOME", "", true);
    EXPECT_EQ("recording.txt", recordingFilePath());
    for (size_t at = 0; at < saved.size(); ++at) setEnvironment(variables[at], saved[at].c_str(), true);
}
#endif

// The player's keys through the bindings: a key let go releases what its
// press recorded, though the fighter turned in between; keys that are no
// input are not recorded.
TEST(KeyRecording, BoundKeysAreRecordedAsTheirInputs) {
    keyBindings bindings;
    bindPlayerKeys(bindings);
    bindings.buttonB = SDLK_s;  // as a key file may move it
    keyRecording recording;
    recording.start(0);
    const struct {
        int now;
        int key;
        bool pressed;
        bool facingRight;
        bool recorded;
        bool pad = false;  // `key` is then the gamepad's padAction
    } steps[] = {
        {10, SDLK_RIGHT, true, true, true},    // forward
        {20, SDLK_DOWN, true, true, true},
        {30, SDLK_RIGHT, false, false, true},  // turned meanwhile: still forward let go
        {40, SDLK_LEFT, true, false, true},    // facing left: forward again
        {50, SDLK_j, true, false, false},      // the boxes
        {60, SDLK_F1, true, false, false},     // a training key
        {70, SDLK_x, true, false, false},      // B's old key
        {80, SDLK_s, true, false, true},
        {90, SDLK_q, false, false, false},     // never pressed
        {100, int(padAction::left), true, true, true, true},     // the pad's left, facing right: back
        {110, int(padAction::debug), true, true, false, true},   // the pad's boxes
        {120, int(padAction::left), false, false, true, true},   // let go after a turn: still back
        {130, int(padAction::buttonC), false, true, false, true},  // never pressed
    };
    for (const auto& step : steps) {
        bool recorded = step.pad ? recording.recordPad(padAction(step.key), step.pressed, step.facingRight, step.now)
                                 : recording.recordKey(bindings, step.key, step.pressed, step.facingRight, step.now);
        EXPECT_EQ(step.recorded, recorded) << step.now;
    }
    recording.stop(200);
    EXPECT_EQ("10 down forward\n20 down down\n30 up forward\n40 down forward\n80 down buttonB\n"
              "100 down back\n120 up back\n200 up down\n200 up forward\n200 up buttonB\n",
              shown(recording.keys));
}

namespace {
std::string shown(const std::vector<playedKey>& keys) {
    const char* names[] = {"A", "B", "C", "up", "down", "right", "left", "debug"};
    std::string text;
    for (const playedKey& k : keys) text += std::string(k.pressed ? "+" : "-") + names[int(k.action)] + " ";
    return text;
}
}  // namespace

// Playback on the set clock: each direction is pressed as the fighter faces
// at that moment, its release lets go of the same action, and the recording
// goes round again from its start at its length.
TEST(RecordingPlayer, PlaysMirroredAndLoops) {
    const recordedInput fwd = recordedInput::forward, a = recordedInput::buttonA, dn = recordedInput::down;
    struct step {
        int now;  // clock, from a start at 1000
        bool facingRight;
        std::string played;
    };
    const struct {
        const char* label;
        std::vector<recordedKey> keys;
        int length;
        std::vector<step> steps;
        std::string atStop;  // released by stop()
    } cases[] = {
        {"forward is the side the fighter faces, and its release the same key",
         {key(0, true, fwd), key(50, false, fwd), key(60, true, fwd), key(80, false, fwd)}, 100,
         {{0, false, "+left "}, {55, true, "-left "}, {70, true, "+right "}, {79, false, ""}, {80, false, "-right "}},
         ""},
        {"the loop: the same keys every round, at the same times",
         {key(10, true, dn), key(20, true, a), key(30, false, a), key(40, false, dn)}, 100,
         {{15, true, "+down "}, {40, true, "+A -A -down "}, {99, true, ""}, {100, true, ""}, {109, true, ""},
          {110, true, "+down "}, {225, true, "+A -A -down +down +A "}},
         "-down -A "},
        {"a key held at the round's end is let go before the next round",
         {key(0, true, a), key(30, true, dn), key(60, false, dn)}, 60,
         {{0, true, "+A "}, {60, true, "+down -down -A +A "}, {90, true, "+down "}},
         "-A -down "},
        {"rounds the clock jumped over are skipped", {key(5, true, a), key(6, false, a)}, 10,
         {{4, true, ""}, {1003, true, ""}, {1005, true, "+A "}, {1006, true, "-A "}}, ""},
        {"a recording of no length plays nothing", {}, 0, {{0, true, ""}, {500, true, ""}}, ""},
    };
    for (const auto& c : cases) {
        keyRecording recording;
        recording.keys = c.keys;
        recording.length = c.length;
        recordingPlayer player;
        clockSet(1000);
        player.start(recording, static_cast<int>(clockTicks()));
        for (const step& s : c.steps) {
            clockSet(1000 + s.now);
            EXPECT_EQ(s.played, shown(player.due(static_cast<int>(clockTicks()), s.facingRight)))
                << c.label << " at " << s.now;
        }
        EXPECT_EQ(c.atStop, shown(player.stop())) << c.label;
        EXPECT_FALSE(player.playing);
        EXPECT_EQ("", shown(player.due(5000, true))) << c.label << ": stopped";
    }
}

// The training keys' flow: F2 with nothing recorded plays nothing; F1 twice
// records and saves to the --record-file, which the next start reads back;
// F1 during a playback stops it and lets its keys go; F3 goes round.
TEST(TrainingTools, RecordSavePlayAndStance) {
    std::string path = makeTempDir("training") + "/mine.txt";
    trainingTools tools;
    tools.recordFile = path;
    EXPECT_EQ(path, tools.recordingPath());
    startCapture();
    tools.togglePlayback(0);
    EXPECT_FALSE(tools.playback.playing);
    tools.toggleRecording(1000);
    tools.togglePlayback(1010);
    EXPECT_FALSE(tools.playback.playing) << "no playback while recording";
    tools.recording.record(1100, recordedInput::buttonA, true);
    tools.toggleRecording(1500);
    std::string out = stopCapture();
    EXPECT_EQ("Nothing recorded to play back\nRecording your keys (at most 10 s)\n"
              "Recording: no playback until it stops\nRecorded 500 ms, 2 key events: saved to " + path + "\n",
              out);

    trainingTools next;
    next.recordFile = path;
    loadPolicy policy = gamePolicy();
    EXPECT_EQ(0, next.loadSaved(policy));
    EXPECT_TRUE(next.recording.keys == tools.recording.keys);
    EXPECT_EQ(500, next.recording.length);

    startCapture();
    next.togglePlayback(2000);
    EXPECT_TRUE(next.playback.playing);
    EXPECT_EQ("+A ", shown(next.playback.due(2100, true)));
    std::vector<playedKey> released = next.toggleRecording(2200);
    stopCapture();
    EXPECT_FALSE(next.playback.playing);
    EXPECT_EQ("-A ", shown(released));
    EXPECT_TRUE(next.recording.recording);

    std::string stances;
    for (int press = 0; press < 5; ++press, next.cycleStance()) stances += stanceName(next.stance) + std::string(" ");
    EXPECT_EQ("stand crouch jump guard stand ", stances);
}
