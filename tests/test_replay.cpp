// Replays: scripts read into timed events, and whole runs of the game over
// the bundled data, each in a child process of its own (SDL and the clock
// live once per process), compared by their transcripts and screenshots.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "authoring/replay.h"
#include "data/textFile.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"
#include "platform/platform.h"
#include "input/keyRecording.h"
#include "input/recordingFile.h"

namespace {
struct runResult {
    int status = -1;
    std::string transcript;  // standard output
};

// Runs a replay with the working folder `folder`, in a child process.
runResult replayInChild(const std::string& folder, const replayOptions& options) {
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        int out = open((folder + "/transcript.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open((folder + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(folder.c_str()) != 0) _exit(99);
        SDL_Quit();  // whatever this test program had started
        int status = runReplay(options);
        std::fflush(stdout);
        _exit(status);
    }
    runResult result;
    int wait = 0;
    if (child > 0 && waitpid(child, &wait, 0) == child && WIFEXITED(wait)) result.status = WEXITSTATUS(wait);
    result.transcript = readFile(folder + "/transcript.txt");
    return result;
}

runResult replayInChild(const std::string& folder, const std::string& script, const std::string& data,
                        int step = 10) {
    replayOptions options;
    options.script = script;
    options.data = data;
    options.step = step;
    return replayInChild(folder, options);
}

std::string bundledData() { return sourceDir() + "/data"; }

// A replay of a script, written to s.txt in a new working folder, on the
// bundled data; a test may change the options before each run.
struct scriptReplay {
    std::string folder = makeTempDir("replay");
    replayOptions options;

    explicit scriptReplay(const std::string& script) {
        writeFile(folder + "/s.txt", script);
        options.script = folder + "/s.txt";
        options.data = bundledData();
    }
    runResult run() const { return replayInChild(folder, options); }
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The fighter starts facing left: forward is the left arrow.
std::string keyForLetter(char letter) {
    switch (letter) {
    case 'A': return "z";
    case 'B': return "x";
    case 'C': return "c";
    case 'U': return "Up";
    case 'D': return "Down";
    case 'R': return "Left";
    case 'L': return "Right";
    }
    return "?";
}

struct reported {
    int line;
    std::string message;
};
std::vector<reported> reports;
void collect(const std::string&, int line, const std::string& message) { reports.push_back({line, message}); }
// Script messages are collected rather than printed.
loadPolicy collecting = [] {
    loadPolicy policy = gamePolicy();
    policy.listener = collect;
    return policy;
}();

class ReplayScript : public testing::Test {
protected:
    void SetUp() override {
        // Key names need SDL's video subsystem; nothing with threads is started.
        setEnvironment("SDL_VIDEODRIVER", "dummy", false);
        ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO));
        reports.clear();
    }
};

const char* kThrowScript =
    "# land, then down, forward (he faces left), A: the fireball\n"
    "1000 shot before.bmp\n"
    "1000 tap Down\n"
    "1040 tap Left\n"
    "1080 tap z\n"
    "1400 shot after.bmp   # the fireball is out\n"
    "1800 end\n";
}  // namespace

TEST_F(ReplayScript, LinesBecomeTimedEventsInTimeOrder) {
    std::string folder = makeTempDir("replay");
    writeFile(folder + "/s.txt",
              "# comment line\n"
              "\n"
              "1200 down Down\n"
              "+50 UP down   # relative time, any case\n"
              "1100 TAP Escape\n"
              "1250 shot shots/after.bmp\n"
              "4000 end\n"
              "1300 tap right_shift\n");
    std::vector<replayEvent> events;
    ASSERT_TRUE(readScript(folder + "/s.txt", "/base", events, collecting));
    EXPECT_TRUE(reports.empty());
    ASSERT_EQ(6u, events.size());
    EXPECT_EQ(1100, events[0].time);
    EXPECT_EQ(replayEvent::Tap, events[0].kind);
    EXPECT_EQ(SDLK_ESCAPE, events[0].key);
    EXPECT_EQ(5, events[0].line);
    EXPECT_EQ(1200, events[1].time);
    EXPECT_EQ(replayEvent::Down, events[1].kind);
    EXPECT_EQ(SDLK_DOWN, events[1].key);
    // "+50" follows the line before it; at equal times the script's order stays
    EXPECT_EQ(1250, events[2].time);
    EXPECT_EQ(replayEvent::Up, events[2].kind);
    EXPECT_EQ(replayEvent::Shot, events[3].kind);
    EXPECT_EQ("/base/shots/after.bmp", events[3].path);
    EXPECT_EQ(SDLK_RSHIFT, events[4].key);
    EXPECT_EQ(replayEvent::End, events[5].kind);
    EXPECT_EQ(4000, events[5].time);
}

TEST_F(ReplayScript, BadLinesAreReportedWithTheirLines) {
    std::string folder = makeTempDir("replay");
    writeFile(folder + "/s.txt",
              "100 tap z\n"
              "soon tap z\n"
              "100 jump z\n"
              "100 down\n"
              "100 down Banana\n"
              "100 end now\n"
              "100 shot\n"
              "100\n" +
                  std::string(300, 'x') + "\n" + "200 tap x\n");
    std::vector<replayEvent> events;
    EXPECT_FALSE(readScript(folder + "/s.txt", folder, events, collecting));
    ASSERT_EQ(8u, reports.size());
    int line = 2;
    for (const reported& report : reports) EXPECT_EQ(line++, report.line) << report.message;
    EXPECT_TRUE(has(reports[0].message, "expected a time")) << reports[0].message;
    EXPECT_TRUE(has(reports[1].message, "unknown event \"jump\"")) << reports[1].message;
    EXPECT_TRUE(has(reports[2].message, "needs a key name")) << reports[2].message;
    EXPECT_TRUE(has(reports[3].message, "unknown key \"Banana\"")) << reports[3].message;
    EXPECT_TRUE(has(reports[4].message, "unexpected \"now\"")) << reports[4].message;
    EXPECT_TRUE(has(reports[5].message, "needs a file name")) << reports[5].message;
    EXPECT_TRUE(has(reports[7].message, "longer than 254")) << reports[7].message;
    // the good lines around them are still read
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(SDLK_x, events[1].key);
}

TEST_F(ReplayScript, KeyNamesAreSdlNamesInAnyCase) {
    EXPECT_EQ(SDLK_LEFT, keyByName("Left"));
    EXPECT_EQ(SDLK_RIGHT, keyByName("RIGHT"));
    EXPECT_EQ(SDLK_UP, keyByName("up"));
    EXPECT_EQ(SDLK_z, keyByName("z"));
    EXPECT_EQ(SDLK_j, keyByName("J"));
    EXPECT_EQ(SDLK_ESCAPE, keyByName("Escape"));
    EXPECT_EQ(SDLK_SPACE, keyByName("space"));
    EXPECT_EQ(0, keyByName("Banana"));
    EXPECT_EQ(0, keyByName(""));
}

TEST_F(ReplayScript, MissingScriptIsReported) {
    std::vector<replayEvent> events;
    EXPECT_FALSE(readScript("/nonexistent/script.txt", "", events, collecting));
    ASSERT_EQ(1u, reports.size());
    EXPECT_TRUE(has(reports[0].message, "cannot open"));
}

TEST(Replay, SameScriptGivesTheSameTranscriptAndShotsTwice) {
    std::string first = makeTempDir("replay");
    std::string second = makeTempDir("replay");
    std::string script = makeTempDir("replay") + "/throw.txt";
    writeFile(script, kThrowScript);
    runResult a = replayInChild(first, script, bundledData());
    runResult b = replayInChild(second, script, bundledData());
    ASSERT_EQ(0, a.status) << a.transcript;
    ASSERT_EQ(0, b.status) << b.transcript;
    EXPECT_TRUE(has(a.transcript, "replay 1080: tap z")) << a.transcript;
    EXPECT_TRUE(has(a.transcript, "Have Move - flameThrow!")) << a.transcript;
    EXPECT_TRUE(has(a.transcript, "replay 1800: end after 180 passes")) << a.transcript;
    EXPECT_EQ(a.transcript, b.transcript);

    std::string before = readFile(first + "/before.bmp");
    std::string after = readFile(first + "/after.bmp");
    ASSERT_GT(before.size(), 800u * 600u * 3u) << "a full screen";
    EXPECT_EQ(before, readFile(second + "/before.bmp"));
    EXPECT_EQ(after, readFile(second + "/after.bmp"));
    EXPECT_NE(before, after) << "the throw shows between the two shots";
}

TEST(Replay, TypingTheFirstBundledMoveCommandPerformsIt) {
    // The first move of the bundled move file, its name and command read here.
    std::string moveset = readFile(bundledData() + "/Burn/moveset");
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < moveset.size()) {
        size_t end = moveset.find('\n', at);
        if (end == std::string::npos) end = moveset.size();
        lines.push_back(moveset.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_GE(lines.size(), 12u);
    std::string name = lines[1];
    std::string command = lines[2];
    ASSERT_FALSE(command.empty());
    ASSERT_EQ(std::string::npos, command.find('U')) << "a jump would spoil the test";

    std::string script = "# " + name + ": " + command + "\n";
    int time = 1000;
    for (char letter : command) {
        script += std::to_string(time) + " tap " + keyForLetter(letter) + "\n";
        time += 40;
    }
    script += std::to_string(time + 200) + " end\n";
    std::string folder = makeTempDir("replay");
    writeFile(folder + "/move.txt", script);
    runResult run = replayInChild(folder, folder + "/move.txt", bundledData());
    ASSERT_EQ(0, run.status) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "Have Move - " + name + "!")) << script << run.transcript;
}

// A training recording saved as the game saves it is a script: down,
// forward, A throws the fireball. The fighter faces left, so the recorded
// forward must come out as the left arrow, and the run ends at its length.
TEST(Replay, ASavedTrainingRecordingPlaysAsAScript) {
    keyRecording made;
    made.start(0);
    int at = 1000;
    for (recordedInput input : {recordedInput::down, recordedInput::forward, recordedInput::buttonA}) {
        made.record(at, input, true);
        made.record(at += 40, input, false);
    }
    made.stop(1700);
    std::string folder = makeTempDir("replay");
    std::string problem;
    ASSERT_TRUE(saveRecording(folder + "/" + kRecordingFile, made, problem)) << problem;
    runResult run = replayInChild(folder, folder + "/" + kRecordingFile, bundledData());
    ASSERT_EQ(0, run.status) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "replay 1040: down forward\n")) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "Have Move - flameThrow!")) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "replay 1700: end after 170 passes\n")) << run.transcript;
}

TEST(Replay, EscapeEndsTheRunAtItsPass) {
    scriptReplay replay("500 tap Escape\n520 shot late.bmp\n900 end\n");
    runResult run = replay.run();
    EXPECT_EQ(0, run.status);
    EXPECT_TRUE(has(run.transcript, "replay 500: the game quit")) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "replay 500: end after 50 passes")) << run.transcript;
    EXPECT_FALSE(has(run.transcript, "shot late.bmp"));
    EXPECT_TRUE(readFile(replay.folder + "/late.bmp").empty());
}

TEST(Replay, EventsFallOnTheFirstPassAtOrAfterTheirTime) {
    scriptReplay replay("1010 tap z\n1100 end\n");
    replay.options.step = 25;
    runResult run = replay.run();
    EXPECT_EQ(0, run.status);
    EXPECT_TRUE(has(run.transcript, "replay 1025: tap z")) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "replay 1100: end after 44 passes")) << run.transcript;
}

TEST(Replay, DataFolderOfAnotherNameAndMissingOnes) {
    std::string folder = makeTempDir("replay");
    std::string content = folder + "/content";
    ASSERT_EQ(0, symlink(bundledData().c_str(), content.c_str()));
    writeFile(folder + "/s.txt", "200 end\n");
    runResult run = replayInChild(folder, folder + "/s.txt", content);
    EXPECT_EQ(0, run.status);
    EXPECT_TRUE(has(run.transcript, "Have Move") || has(run.transcript, "holy diver: walk")) << run.transcript;
    EXPECT_FALSE(has(run.transcript, "ERROR opening file")) << run.transcript;

    runResult missing = replayInChild(folder, folder + "/s.txt", folder + "/nothing");
    EXPECT_EQ(2, missing.status);
    EXPECT_FALSE(has(missing.transcript, "loading"));
}

TEST(Replay, BadScriptIsRefusedBeforeTheGameStarts) {
    scriptReplay replay("100 tap z\n# fine so far\n200 tap Banana\n");
    runResult run = replay.run();
    EXPECT_EQ(2, run.status);
    EXPECT_TRUE(has(run.transcript, replay.folder + "/s.txt:3: unknown key \"Banana\"")) << run.transcript;
    EXPECT_FALSE(has(run.transcript, "loading")) << "no content was read";
}

TEST_F(ReplayScript, RepeatRunsCopiesEndToEnd) {
    std::string folder = makeTempDir("replay");
    writeFile(folder + "/s.txt", "1000 tap z\n1200 shot a.bmp\n1500 end\n1700 tap x\n");
    std::vector<replayEvent> events;
    ASSERT_TRUE(readScript(folder + "/s.txt", "/base", events, collecting));
    std::string problem;
    ASSERT_TRUE(repeatScript(events, 3, 10, problem));
    ASSERT_EQ(7u, events.size());
    int times[] = {1000, 1200, 2500, 2700, 4000, 4200, 4500};
    for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(times[i], events[i].time) << i;
    EXPECT_EQ("/base/a-1.bmp", events[1].path);
    EXPECT_EQ("/base/a-3.bmp", events[5].path);
    EXPECT_EQ("a-3.bmp", events[5].word);
    EXPECT_EQ(replayEvent::End, events[6].kind);
    for (size_t i = 0; i < 6; ++i) EXPECT_NE(SDLK_x, events[i].key) << "events after the end are dropped";

    // Without an end a copy lasts until one step after its last event.
    writeFile(folder + "/t.txt", "100 tap z\n300 tap x\n");
    ASSERT_TRUE(readScript(folder + "/t.txt", "/base", events, collecting));
    ASSERT_TRUE(repeatScript(events, 2, 10, problem));
    ASSERT_EQ(5u, events.size());
    EXPECT_EQ(410, events[2].time);
    EXPECT_EQ(620, events[4].time);

    writeFile(folder + "/u.txt", "999999999 end\n");
    ASSERT_TRUE(readScript(folder + "/u.txt", "/base", events, collecting));
    EXPECT_FALSE(repeatScript(events, 3, 10, problem));
    EXPECT_TRUE(has(problem, "clock's range")) << problem;
}

TEST(Replay, RunIsComparedWithAnExpectedTranscript) {
    scriptReplay replay("1000 tap z\n1300 end\n");
    runResult first = replay.run();
    ASSERT_EQ(0, first.status);
    ASSERT_TRUE(has(first.transcript, "Have Move - jab!")) << first.transcript;
    writeFile(replay.folder + "/expected.txt", first.transcript);

    replay.options.expect = replay.folder + "/expected.txt";
    runResult same = replay.run();
    EXPECT_EQ(0, same.status) << readFile(replay.folder + "/stderr.txt");
    EXPECT_EQ(first.transcript, same.transcript) << "the output is still shown";

    std::string changed = first.transcript;
    changed.replace(changed.find("Have Move - jab!"), 16, "Have Move - jib!");
    writeFile(replay.folder + "/expected.txt", changed);
    runResult differs = replay.run();
    EXPECT_EQ(3, differs.status);
    std::string why = readFile(replay.folder + "/stderr.txt");
    EXPECT_TRUE(has(why, "the run differs from here")) << why;
    EXPECT_TRUE(has(why, "expected: Have Move - jib!")) << why;
}

TEST(Replay, RepeatedRunPerformsTheMoveInEveryCopy) {
    scriptReplay replay("1000 tap z\n1500 end\n");
    replay.options.repeat = 3;
    runResult run = replay.run();
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(3u, countOf(run.transcript, "Have Move - jab!")) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "replay 4500: end after 450 passes")) << run.transcript;
}

namespace {
// The bundled data copied to a scratch folder the run may change.
std::string dataCopy() {
    std::string folder = makeTempDir("reload") + "/data";
    std::filesystem::copy(bundledData(), folder, std::filesystem::copy_options::recursive);
    return folder;
}

// Pixels of colour `rgb` (0xRRGGBB) in the bitmap file `path`; -1 when it won't load.
long pixelsOfColour(const std::string& path, Uint32 rgb) {
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (!loaded) return -1;
    SDL_PixelFormat format = {};
    format.BitsPerPixel = 32;
    format.BytesPerPixel = 4;
    format.Rmask = 0xff0000;
    format.Gmask = 0x00ff00;
    format.Bmask = 0x0000ff;
    format.Rshift = 16;
    format.Gshift = 8;
    format.alpha = 255;
    SDL_Surface* flat = SDL_ConvertSurface(loaded, &format, SDL_SWSURFACE);
    SDL_FreeSurface(loaded);
    if (!flat) return -1;
    long count = 0;
    for (int y = 0; y < flat->h; ++y)
        for (int x = 0; x < flat->w; ++x) count += (pixelAt(flat, x, y) & 0xffffff) == rgb;
    SDL_FreeSurface(flat);
    return count;
}

// Colours no bundled frame or background uses.
const Uint32 kNewFrameColour = 0x02fd03;
const Uint32 kNewBackgroundColour = 0x0307fc;
// The bundled "standing" frames: four of 160 x 160 pixels.
const int kStandingFrames = 4;
const int kFrameSide = 160;

// Files a reload case writes into its scratch folder, then copies over the data.
void writeReplacements(const std::string& folder) {
    for (int i = 0; i < kStandingFrames; ++i)
        writeBmp(folder + "/new/frame0" + std::to_string(i) + ".bmp", kFrameSide, kFrameSide, kNewFrameColour);
    writeBmp(folder + "/new/back.bmp", kScreenWidth, kScreenHeight, kNewBackgroundColour);
    std::string info = readFile(bundledData() + "/Burn/standing/info");
    writeFile(folder + "/new/brokenInfo", "FILES: four" + info.substr(info.find('\n')));
    writeFile(folder + "/new/notABitmap", "this is text, not a bitmap\n");
}

std::string copyLines(const std::string& at, const std::vector<std::string>& copies) {
    std::string lines;
    for (const std::string& copy : copies) lines += at + " copy " + copy + "\n";
    return lines;
}

std::vector<std::string> newStandingFrames(const std::string& data) {
    std::vector<std::string> copies;
    for (int i = 0; i < kStandingFrames; ++i) {
        std::string name = "frame0" + std::to_string(i) + ".bmp";
        copies.push_back("new/" + name + " " + data + "/Burn/standing/" + name);
    }
    return copies;
}
}  // namespace

// Files changed on disk while the game runs, then F5 (or the watch): the
// new content shows when every file loads, and none of it when one fails.
TEST(Replay, ReloadShowsChangedContentOrKeepsTheOldWhole) {
    struct reloadCase {
        const char* name;
        std::vector<std::string> extraCopies;  // "FROM TO" besides the new standing frames; TO under "data/"
        bool newFrames;                        // the standing frames are replaced
        bool watch;                            // --watch instead of F5
        std::string keys;                      // more script lines
        const char* message;                   // a report the reload prints, or ""
        Uint32 colour;                         // the colour looked for after the reload
        long pixels;                           // its pixels on the screen at least; -1: none at all
    };
    const long frame = kFrameSide * kFrameSide;
    const std::vector<reloadCase> cases = {
        {"new frame bitmaps", {}, true, false, "", "", kNewFrameColour, frame},
        // The input display shown across the reload leaves no piece of the old background.
        {"new background", {"new/back.bmp tBG2.bmp"}, false, false, "1000 tap i\n1700 tap i\n", "",
         kNewBackgroundColour, kScreenWidth * kScreenHeight - frame},
        {"a broken info beside new frames", {"new/brokenInfo Burn/standing/info"}, true, false, "",
         "data/Burn/standing/info:1: header is not \"FILES: <count>\"", kNewFrameColour, -1},
        {"a bitmap that can't be read beside a new background",
         {"new/back.bmp tBG2.bmp", "new/notABitmap Burn/duck/frame01.bmp"}, false, false, "",
         "data/Burn/duck/info:24: bitmap frame01.bmp: not a BMP file", kNewBackgroundColour, -1},
        {"new frame bitmaps, watched", {}, true, true, "", "", kNewFrameColour, frame},
    };
    for (const reloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string folder = makeTempDir("reload");
        writeReplacements(folder);
        // On the floor, standing still: the old frames show; then the files
        // change in a fresh copy of the data.
        auto script = [&](const std::string& data, const std::string& reload, const std::string& shot) {
            std::vector<std::string> copies = c.newFrames ? newStandingFrames(data) : std::vector<std::string>();
            for (const std::string& copy : c.extraCopies) {
                size_t space = copy.find(' ');
                copies.push_back(copy.substr(0, space) + " " + data + "/" + copy.substr(space + 1));
            }
            writeFile(folder + "/s.txt", "1400 shot before.bmp\n" + copyLines("1500", copies) + reload + c.keys +
                                             "2000 shot " + shot + "\n2100 end\n");
            replayOptions options;
            options.script = folder + "/s.txt";
            options.data = data;
            options.watch = c.watch;
            return replayInChild(folder, options);
        };
        runResult run = script(dataCopy(), c.watch ? "" : "1510 tap F5\n", "after.bmp");
        ASSERT_EQ(0, run.status) << run.transcript;
        EXPECT_EQ(c.watch ? 1u : 0u, countOf(run.transcript, "watching data for changes"));
        EXPECT_EQ(1u, countOf(run.transcript, "reloading data")) << "one reload for a burst of changes";
        EXPECT_EQ(0, pixelsOfColour(folder + "/before.bmp", c.colour));
        long after = pixelsOfColour(folder + "/after.bmp", c.colour);
        if (c.pixels >= 0) {
            EXPECT_TRUE(has(run.transcript, "reloaded data")) << run.transcript;
            EXPECT_GE(after, c.pixels);
            continue;
        }
        EXPECT_TRUE(has(run.transcript, c.message)) << run.transcript;
        EXPECT_TRUE(has(run.transcript, "reload refused: ")) << run.transcript;
        EXPECT_FALSE(has(run.transcript, "reloaded data"));
        EXPECT_EQ(0, after) << "nothing of the new content shows";
        // The scene went on exactly as if F5 had never been pressed.
        runResult still = script(dataCopy(), "", "still.bmp");
        ASSERT_EQ(0, still.status);
        EXPECT_FALSE(has(still.transcript, "reloading data")) << "no reload without F5";
        EXPECT_TRUE(readFile(folder + "/still.bmp") == readFile(folder + "/after.bmp")) << "the same screen";
    }
}

TEST(Replay, TrainingPartnerIsHitAndEveryChangedPixelIsShown) {
    // Walk at the partner jabbing all the way: the jabs that reach it land.
    std::string script = "500 down Right\n";
    for (int time = 1000; time <= 3400; time += 150) script += std::to_string(time) + " tap z\n";
    script += "3400 up Right\n5000 end\n";
    scriptReplay replay(script);
    replayOptions& options = replay.options;
    options.training = true;
    std::vector<Uint32> before;
    bool sawReeling = false;
    // In the child: false, with the reason on standard error, ends the run with status 4.
    options.afterPass = [&](gameScene& scene, long long passes) {
        auto fail = [](const char* why) {
            std::fprintf(stderr, "%s\n", why);
            return false;
        };
        SDL_Surface* screen = scene.screen;
        if (!scene.training || !scene.match) return fail("no match with a partner");
        const fighterState& partner = scene.match->state.fighters[1];
        if (passes == 1 && (partner.x != kPartnerX || partner.y != kGroundLevel || partner.facingRight || !partner.grounded))
            return fail("the partner does not stand at x 650 on the floor facing the player");
        // The panel shows the partner's health, not the player's, out of its character's.
        if (passes == 1) scene.match->state.fighters[1].health = 61;
        std::string health = "health " + std::to_string(partner.health) + "/" +
                             std::to_string(scene.match->content.characters[1].health);
        if (passes > 1 && scene.panel.lines()[2] != health) return fail("the panel's health line is not the partner's");
        sawReeling = sawReeling || partner.reeling;
        bool standing = partner.move < 0 && partner.pose == poseStanding;
        if (passes == 500 && (!sawReeling || partner.reeling || !standing || !scene.panel.anyHit))
            return fail("no hit reeled and ended, or the panel saw none");
        // Every pixel that changed since the last pass lies in what this pass showed.
        std::vector<Uint32> now(static_cast<size_t>(kScreenWidth) * kScreenHeight);
        for (int y = 0; y < kScreenHeight; ++y) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(screen->pixels) + y * screen->pitch);
            std::copy(row, row + kScreenWidth, now.begin() + static_cast<long>(y) * kScreenWidth);
        }
        if (!before.empty()) {
            std::vector<bool> covered(now.size(), false);
            for (const SDL_Rect& r : scene.screenChanges.shown)
                for (int y = r.y; y < r.y + r.h; ++y)
                    for (int x = r.x; x < r.x + r.w; ++x) covered[static_cast<size_t>(y) * kScreenWidth + x] = true;
            for (size_t at = 0; at < now.size(); ++at)
                if (now[at] != before[at] && !covered[at]) return fail("a changed pixel was not shown");
        }
        before.swap(now);
        return true;
    };
    runResult run = replay.run();
    EXPECT_EQ(0, run.status) << readFile(replay.folder + "/stderr.txt");
    EXPECT_TRUE(has(run.transcript, "hit: jab, damage ")) << run.transcript.substr(0, 2000);
}

// The training keys end to end: F1 records the player's down, forward (he
// starts facing the partner) and A, saved to the --record-file; F2 plays them on the partner over and over
// until F2 again. The partner's own checker finds its fireball whichever way
// it faces, and the fireball hits the player.
TEST(Replay, ARecordedFireballIsThrownByThePartnerFacingEitherWay) {
    for (bool partnerFacesRight : {false, true}) {
        SCOPED_TRACE(partnerFacesRight ? "facing right" : "facing left");
        // The fighters face each other: with the partner on the left, forward is Left.
        const std::string forward = partnerFacesRight ? "Left" : "Right";
        scriptReplay replay("100 tap F1\n200 down Down\n240 down " + forward + "\n260 up Down\n280 tap z\n300 up " +
                            forward + "\n1200 tap F1\n1300 tap F2\n3500 tap F2\n4500 end\n");
        replayOptions& options = replay.options;
        options.training = true;
        options.recordFile = replay.folder + "/mine.txt";
        bool playerReeled = false;
        options.afterPass = [&](gameScene& scene, long long passes) {
            matchState& state = scene.match->state;
            // Two fireballs' flight apart, the partner on either side.
            if (passes == 1) {
                state.fighters[1].x = partnerFacesRight ? kPlayerX : kPartnerX;
                state.fighters[1].facingRight = partnerFacesRight;
                state.fighters[0].x = 400;
            }
            playerReeled = playerReeled || state.fighters[0].reeling;
            if (passes == 450 && !playerReeled) {
                std::fprintf(stderr, "the partner's fireball never hit the player\n");
                return false;
            }
            return true;
        };
        runResult run = replay.run();
        ASSERT_EQ(0, run.status) << readFile(replay.folder + "/stderr.txt") << run.transcript;
        EXPECT_EQ("# A training recording: milliseconds from its start, a key pressed (down) or\n"
                  "# let go (up), the input; forward is the way the fighter faces.\n"
                  "100 down down\n140 down forward\n160 up down\n180 down buttonA\n190 up buttonA\n"
                  "200 up forward\n1100 end\n",
                  readFile(options.recordFile));
        // Two rounds of 1100 ms from 1300, then nothing once F2 stops it.
        const std::string& out = run.transcript;
        size_t playing = out.find("replay 1300: tap F2"), stopped = out.find("replay 3500: tap F2");
        ASSERT_NE(std::string::npos, stopped) << out;
        EXPECT_EQ(2u, countOf(out.substr(playing, stopped - playing), "\nflameThrow\n")) << out;
        EXPECT_EQ(0u, countOf(out.substr(stopped), "\nflameThrow\n")) << out;
        EXPECT_TRUE(has(out, "particle hit: OnHitEnemy")) << out;
    }
}

// A key in the pass that passes 10 s must not stop the recording unsaved;
// a crouch held when it starts is its first press.
TEST(Replay, ARecordingFullAtTenSecondsIsSavedEvenWhenAKeyEndsIt) {
    scriptReplay replay("50 down Down\n100 tap F1\n200 tap z\n10110 down Right\n10200 end\n");
    replay.options.training = true;
    replay.options.recordFile = replay.folder + "/full.txt";
    runResult run = replay.run();
    ASSERT_EQ(0, run.status) << run.transcript;
    EXPECT_TRUE(has(run.transcript, "Recorded 10000 ms, 4 key events: saved to " + replay.options.recordFile))
        << run.transcript;
    std::string saved = readFile(replay.options.recordFile);
    EXPECT_TRUE(has(saved, "\n0 down down\n100 down buttonA\n")) << saved;
    EXPECT_TRUE(has(saved, "\n10000 up down\n10000 end\n")) << saved;
}

// Training runs on 10 ms ticks that catch up with the clock, whatever the
// pass: one jab's push-back is the same at every pass length, and a pass
// that comes very late runs ten ticks and says once that it dropped the rest.
TEST(Replay, TrainingTicksCatchUpWithTheClockAtAnyPass) {
    const struct {
        int step;
        bool late;  // passes beyond ten ticks: the drop is said
    } cases[] = {{5, false}, {10, false}, {16, false}, {33, false}, {250, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("--step " + std::to_string(c.step));
        scriptReplay replay("500 tap z\n2000 end\n");
        replay.options.training = true;
        replay.options.step = c.step;
        replay.options.afterPass = [&](gameScene& scene, long long passes) {
            matchState& state = scene.match->state;
            // The player within a jab's reach of the partner, which stands at 650.
            if (passes == 1) state.fighters[0].x = 580;
            int ticks = state.tick;
            if (ticks != std::min<long long>(passes * c.step / 10, passes * 10)) {
                std::fprintf(stderr, "after %lld passes, %d ticks\n", passes, ticks);
                return false;
            }
            std::printf("partner at %d\n", state.fighters[1].x);
            return true;
        };
        runResult run = replay.run();
        ASSERT_EQ(0, run.status) << readFile(replay.folder + "/stderr.txt");
        EXPECT_EQ(1u, countOf(run.transcript, "hit: jab, damage 5")) << run.transcript;
        EXPECT_EQ(c.late ? 1u : 0u, countOf(run.transcript, "The game fell behind the clock")) << run.transcript;
        std::string last = run.transcript.substr(run.transcript.rfind("partner at "));
        EXPECT_EQ(0u, last.find("partner at 664\n")) << "a jab pushes 14 px";
    }
}

// Where a recording goes: Escape while recording saves it; a recording with
// no event keeps the saved one; without a --record-file the replay keeps it
// in memory and never touches the player's own recording.txt.
TEST(Replay, RecordingsAreSavedOnEscapeAndNeverClobbered) {
    const struct {
        const char* script;
        bool ownFile;        // with a --record-file, which holds "mine" before the run
        std::string said;    // in the transcript; "F" stands for the file
        std::string saved;   // in the file after the run
    } cases[] = {
        {"100 tap F1\n200 tap z\n300 tap Escape\n", true, "Recorded 200 ms, 2 key events: saved to F",
         "\n100 down buttonA\n"},
        {"100 tap F1\n150 tap F1\n300 end\n", true, "nothing recorded; F kept", "mine"},
        {"100 tap F1\n200 tap z\n300 tap F1\n400 end\n", false, "Recorded 200 ms, 2 key events: kept for this run",
         "mine"},
    };
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string savedConfig = config ? config : "";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        scriptReplay replay(c.script);
        replay.options.training = true;
        // The player's own recording.txt, in a settings folder of the test's.
        setEnvironment("XDG_CONFIG_HOME", replay.folder.c_str(), true);
        std::string file = c.ownFile ? replay.folder + "/mine.txt" : recordingFilePath();
        writeFile(file, "mine");
        if (c.ownFile) replay.options.recordFile = file;
        runResult run = replay.run();
        ASSERT_EQ(0, run.status) << run.transcript;
        std::string said = c.said;
        if (said.find(" F") != std::string::npos) said.replace(said.find(" F") + 1, 1, file);
        EXPECT_TRUE(has(run.transcript, said)) << run.transcript;
        EXPECT_TRUE(has(readFile(file), c.saved)) << readFile(file);
    }
    setEnvironment("XDG_CONFIG_HOME", savedConfig.c_str(), true);
}

// F5 in training: the panel saves the new background, not the old one it
// held, under its text.
TEST(Replay, AReloadRepaintsTheTrainingPanelsBackground) {
    scriptReplay replay("100 tap F5\n300 end\n");
    replay.options.training = true;
    const Uint32 old = 0x010203;
    replay.options.afterPass = [&](gameScene& scene, long long passes) {
        // What the panel saved stands for the background before the reload.
        if (passes == 5) SDL_FillRect(scene.panel.bgSave, nullptr, old);
        if (passes < 20) return true;
        SDL_Rect area = scene.panel.area();
        for (int y = area.y; y < area.y + area.h; ++y)
            for (int x = area.x; x < area.x + area.w; ++x)
                if ((pixelAt(scene.screen, x, y) & 0xffffff) == old) {
                    std::fprintf(stderr, "the old background at (%d, %d)\n", x, y);
                    return false;
                }
        return true;
    };
    runResult run = replay.run();
    EXPECT_EQ(0, run.status) << readFile(replay.folder + "/stderr.txt");
}

// Versus: each side moves under its own keys (player 2's are w a s d), the
// sides' inputs kept apart; with --cpu player 2's keys reach no fighter, so
// a run with them ends as one without them, and the CPU is the one asked.
// F4 starts the match again, from "round 1".
TEST(Replay, VersusSidesMoveUnderTheirOwnKeysAndTheCpuTakesPlayerTwosSide) {
    const std::string p1 = "1700 down Right\n2200 up Right\n", p2 = "1700 down a\n2200 up a\n", f4 = "300 tap F4\n";
    const struct {
        const char* label;
        std::string script;
        int cpuLevel;
    } cases[] = {
        {"two players", p1 + p2, 0},
        {"the CPU, player 2's keys pressed", f4 + p1 + p2, 3},
        {"the CPU, no key of player 2", f4 + p1, 3},
    };
    std::string cpuEnds[2];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        scriptReplay replay(c.script + "2400 end\n");
        replay.options.match.versus = true;
        replay.options.match.p2 = "Burn";
        replay.options.match.cpuLevel = c.cpuLevel;
        replay.options.match.seed = 7;
        replay.options.afterPass = [&](gameScene& scene, long long passes) {
            const matchSession& match = *scene.match;
            if (passes == 1)
                std::printf("versus %d, cpu %d level %d seed %u\n", match.content.rules.versus, match.cpuPlays,
                            match.cpu.level, match.cpu.seed);
            std::printf("at %d %d\n", match.state.fighters[0].x, match.state.fighters[1].x);
            return true;
        };
        runResult run = replay.run();
        ASSERT_EQ(0, run.status) << readFile(replay.folder + "/stderr.txt");
        EXPECT_TRUE(has(run.transcript, c.cpuLevel ? "versus 1, cpu 1 level 3 seed 7\n" : "versus 1, cpu 0"))
            << run.transcript;
        EXPECT_EQ(c.cpuLevel ? 2u : 1u, countOf(run.transcript, "round 1\n")) << run.transcript;
        std::string last = run.transcript.substr(run.transcript.rfind("at "));
        int x[kSides] = {0, 0};
        ASSERT_EQ(2, std::sscanf(last.c_str(), "at %d %d", &x[0], &x[1]));
        if (c.cpuLevel) {
            cpuEnds[c.script == f4 + p1] = last;
            continue;
        }
        EXPECT_GT(x[0], kPlayerX) << "player 1 walks right";
        EXPECT_LT(x[1], kPartnerX) << "player 2 walks left";
    }
    EXPECT_EQ(cpuEnds[0], cpuEnds[1]) << "player 2's keys moved the CPU's fighter";
}

// Scripted matches of Burn (player 1) against Gale (player 2) end as they
// should: the lines of hits, guards and results, in order.
TEST(Replay, ScriptedMatchesEndAsTheyShould) {
    const std::string walkIn = "1600 down Right\n3000 up Right\n";
    const struct {
        const char* label;
        std::string script;
        int roundSeconds;
        std::vector<std::string> lines;
        std::string never;  // the start of a line that must not come
    } cases[] = {
        {"a KO", walkIn + [] {
             std::string taps;
             for (int ms = 3050; ms < 8000; ms += 600) taps += std::to_string(ms) + " tap c\n";
             return taps;
         }() + "12000 end\n",
         99, {"hit: spinKick, damage 14", "KO: P1 Burn wins round 1", "round 2"}, "KO: P2"},
        {"a time over", walkIn + "3050 tap z\n3400 down Left\n4500 up Left\n8000 end\n", 5,
         {"hit: jab, damage 5", "time over: P1 Burn wins round 1"}, "KO"},
        {"a draw", "4000 end\n", 2, {"draw: round 1"}, "hit: "},
        {"guard: mid standing, low standing and crouching",
         walkIn + "3050 down d\n3050 tap z\n3500 up d\n3600 down a\n3800 up a\n3900 down s\n3900 down Left\n"
                  "3920 tap g\n3940 up s\n4200 up Left\n4600 down Down\n4600 down Left\n4600 down s\n4620 tap g\n"
                  "4640 up s\n5000 up Down\n5000 up Left\n6000 end\n",
         99, {"guarded: jab", "hit: galeLowKick, damage 6", "guarded: galeLowKick"}, "hit: jab"},
        {"a launcher and a hit in the air", walkIn + "3050 down s\n3070 tap h\n3090 up s\n3550 tap f\n6000 end\n", 99,
         {"hit: galeSweep, damage 12", "hit: galePalm, damage 5"}, "guarded"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        scriptReplay replay(c.script);
        replay.options.marks = false;
        replay.options.match.versus = true;
        replay.options.match.roundSeconds = c.roundSeconds;
        runResult run = replay.run();
        ASSERT_EQ(0, run.status) << readFile(replay.folder + "/stderr.txt");
        // The lines wanted, each after the one before.
        size_t at = 0;
        for (const std::string& line : c.lines) {
            at = run.transcript.find("\n" + line + "\n", at);
            ASSERT_NE(std::string::npos, at) << line << " in\n" << run.transcript.substr(0, 3000);
        }
        if (!c.never.empty()) {
            EXPECT_FALSE(has(run.transcript, "\n" + c.never)) << run.transcript.substr(0, 3000);
        }
    }
}
