// fightscene-check over the bundled data and over small folders broken in
// one way each: every kind of problem must come out at its file and line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {

struct checkRun {
    std::string out;
    int status = -1;
};

// `options` go before the folder, as given.
checkRun runCheck(const std::string& dataFolder, const std::string& options = "") {
    checkRun run;
    std::string command = buildDir() + "/tools/fightscene-check " + options + " '" + dataFolder + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

int countLines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

// A tiny 16-bit mono WAV of silence.
void writeWav(const std::string& path) {
    const int samples = 64;
    auto le = [](std::string& s, unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    std::string wav = "RIFF";
    le(wav, 36 + samples * 2, 4);
    wav += "WAVEfmt ";
    le(wav, 16, 4);
    le(wav, 1, 2);
    le(wav, 1, 2);
    le(wav, 22050, 4);
    le(wav, 44100, 4);
    le(wav, 2, 2);
    le(wav, 16, 2);
    wav += "data";
    le(wav, samples * 2, 4);
    wav += std::string(samples * 2, '\0');
    writeFile(path, wav);
}

// One frame block of an "info" file; its first line is the block's line 1.
struct frameSpec {
    std::string bitmap = "frame00.bmp";
    std::string anchor = "10 30";
    std::string colBox = "2 2 18 30";
    std::string hitBox = "0 0 0 0";
    std::string hitActive = "0";
    std::string sound = "NULL";
    std::vector<std::string> particles;
};

std::string block(const frameSpec& f) {
    std::string text = f.bitmap + " 50 255 0 255\n" + f.anchor + "\n" + f.colBox + "\n" + f.hitBox + "\n" +
                       f.hitActive + "\n0\n0\n0 0\n0 0\n" + f.sound + "\n" +
                       std::to_string(f.particles.size()) + "\n";
    for (const std::string& line : f.particles) text += line + "\n";
    return text + "0 0\n0\nNULL\n";
}

// A frame set of one 20x30 frame, the block starting at line 2.
void writeFrameSet(const std::string& folder, const frameSpec& f = frameSpec(), int w = 20, int h = 30) {
    writeFile(folder + "/info", "FILES: 1\n" + block(f));
    writeBmp(folder + "/" + f.bitmap, w, h, 0x336699);
}

std::string moveBlock(const std::string& name, const std::string& command, const std::string& condition) {
    return name + "\n" + command + "\n0\nNULL\n0\n0\nNULL\n0\n0\n0\n" + condition + "\n";
}

// A small data folder that checks clean. Line numbers the table relies on:
// Burn/info names standing..blank on lines 2..6; every frame block starts on
// line 2 of its info (anchor 3, collision box 4, hit box 5, sound 11,
// particle lines from 13); the moveset names punch on line 2 (command 3,
// condition 12) and kick on line 13 (command 14, condition 23); particle
// settings hold OnDeath's count on line 6 and its entries from line 7.
void writeGoodData(const std::string& data) {
    writeFile(data + "/Burn/info", "ANIMS: 5\nstanding\nwalk\nduck\ninAir\nblank\n");
    for (const char* name : {"standing", "walk", "duck", "inAir", "blank"}) writeFrameSet(data + "/Burn/" + name);
    writeFile(data + "/Burn/moveset",
              "ANIMS: 2\n" + moveBlock("punch", "DRA", "ground = true") + moveBlock("kick", "B", "null"));
    frameSpec punch;
    punch.sound = "hit";
    punch.particles = {"spark 10 10"};
    writeFrameSet(data + "/Burn/punch", punch);
    writeFrameSet(data + "/Burn/kick");
    writeFile(data + "/soundSet/sound", "SOUNDS: 1\nhit\n");
    writeWav(data + "/soundSet/hit.wav");
    writeFile(data + "/Tor/sound/sound", "SOUNDS: 0\n");
    writeFile(data + "/particle/default", "PARTS: 2\nfireball1 1\nspark 2\n");
    frameSpec small;
    small.anchor = "4 4";
    small.colBox = "0 0 8 8";
    writeFrameSet(data + "/particle/fireball1", small, 8, 8);
    writeFrameSet(data + "/particle/spark", small, 8, 8);
    writeFile(data + "/particle/fireball1/particle", "255\n1000\n0\n0\n0\n1\nspark 0 0\n0\n0\n0\n0\n");
    writeFile(data + "/particle/spark/particle", "255\n300\n0\n0\n0\n0\n0\n0\n0\n0\n");
    writeBmp(data + "/tBG2.bmp", kScreenWidth, kScreenHeight, 0x202020);
}

// Replaces the first `from` in a file by `to`.
void edit(const std::string& path, const std::string& from, const std::string& to) {
    std::string text = readFile(path);
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << path;
    writeFile(path, text.replace(at, from.size(), to));
}

}  // namespace

TEST(Check, BundledDataChecksClean) {
    checkRun run = runCheck(sourceDir() + "/data");
    EXPECT_EQ(run.out, "0 errors, 0 warnings\n");
    EXPECT_EQ(run.status, 0);
}

TEST(Check, SmallFolderChecksCleanUnderAnyName) {
    std::string root = makeTempDir("check");
    writeGoodData(root + "/data");
    checkRun run = runCheck(root + "/data");
    EXPECT_EQ(run.out, "0 errors, 0 warnings\n");
    EXPECT_EQ(run.status, 0);
    // A folder not called "data" is read the same way and named as given.
    ASSERT_EQ(std::rename((root + "/data").c_str(), (root + "/mine").c_str()), 0);
    edit(root + "/mine/Burn/info", "duck\n", "duk\n");
    run = runCheck(root + "/mine");
    EXPECT_NE(run.out.find(root + "/mine/Burn/info: error: no \"duck\" animation"), std::string::npos) << run.out;
    EXPECT_EQ(run.status, 1);
}

TEST(Check, MissingFolderIsAnError) {
    checkRun run = runCheck("/nonexistent/fightscene/data");
    EXPECT_EQ(run.out, "/nonexistent/fightscene/data: error: no such folder\n1 error, 0 warnings\n");
    EXPECT_EQ(run.status, 1);
}

struct brokenCase {
    const char* what;
    std::function<void(const std::string& data)> breakIt;
    const char* where;    // path inside the data folder, ":line" when there is one
    const char* severity;  // "error" or "warning"
    const char* message;  // a piece of the message
};

void PrintTo(const brokenCase& c, std::ostream* os) { *os << c.what; }

class CheckTable : public ::testing::TestWithParam<brokenCase> {};

TEST_P(CheckTable, ReportedAtItsFileAndLine) {
    const brokenCase& c = GetParam();
    std::string root = makeTempDir("check");
    std::string data = root + "/data";
    writeGoodData(data);
    c.breakIt(data);
    checkRun run = runCheck(data);
    std::string prefix = data + "/" + c.where + ": " + c.severity + ": ";
    bool found = false;
    size_t start = 0;
    while (start < run.out.size() && !found) {
        size_t end = run.out.find('\n', start);
        std::string line = run.out.substr(start, end - start);
        found = line.compare(0, prefix.size(), prefix) == 0 && line.find(c.message) != std::string::npos;
        start = end == std::string::npos ? run.out.size() : end + 1;
    }
    EXPECT_TRUE(found) << c.what << ": wanted " << prefix << "..." << c.message << "\ngot:\n" << run.out;
    bool anyError = run.out.find(": error: ") != std::string::npos;
    EXPECT_EQ(run.status, anyError ? 1 : 0) << run.out;
    // The summary is the last line.
    EXPECT_NE(run.out.rfind(anyError ? " error" : "0 errors", std::string::npos), std::string::npos);
    EXPECT_GE(countLines(run.out), 2);
}

const brokenCase kCases[] = {
    // Files that can't be opened.
    {"frame list gone", [](const std::string& d) { std::remove((d + "/Burn/walk/info").c_str()); },
     "Burn/walk/info", "error", "cannot be opened"},
    {"sound list gone", [](const std::string& d) { std::remove((d + "/Tor/sound/sound").c_str()); },
     "Tor/sound/sound", "error", "cannot be opened"},
    {"settings gone", [](const std::string& d) { std::remove((d + "/particle/spark/particle").c_str()); },
     "particle/spark/particle", "error", "cannot be opened"},
    {"wav gone", [](const std::string& d) { std::remove((d + "/soundSet/hit.wav").c_str()); },
     "soundSet/sound:2", "error", "hit.wav can't be opened"},
    {"background gone", [](const std::string& d) { std::remove((d + "/tBG2.bmp").c_str()); }, "tBG2.bmp",
     "error", "background can't be opened"},
    // Headers.
    {"animation header", [](const std::string& d) { edit(d + "/Burn/info", "ANIMS: 5", "ANIM 5"); },
     "Burn/info:1", "error", "header is not"},
    {"frame header", [](const std::string& d) { edit(d + "/Burn/duck/info", "FILES: 1", "FRAMES: 1"); },
     "Burn/duck/info:1", "error", "header is not"},
    // Counts that do not match the lines present.
    {"too few animations counted", [](const std::string& d) { edit(d + "/Burn/info", "ANIMS: 5", "ANIMS: 4"); },
     "Burn/info:6", "error", "1 line after the last animation name never read"},
    {"too many frames counted", [](const std::string& d) { edit(d + "/Burn/duck/info", "FILES: 1", "FILES: 2"); },
     "Burn/duck/info:1", "error", "FILES: 2 but the file holds at most 1"},
    {"too many sounds counted", [](const std::string& d) { edit(d + "/soundSet/sound", "SOUNDS: 1", "SOUNDS: 3"); },
     "soundSet/sound:1", "error", "announces 3 sounds but only 1"},
    {"too few particles counted", [](const std::string& d) { edit(d + "/particle/default", "PARTS: 2", "PARTS: 1"); },
     "particle/default:3", "error", "never read"},
    {"too few moves counted", [](const std::string& d) { edit(d + "/Burn/moveset", "ANIMS: 2", "ANIMS: 1"); },
     "Burn/moveset:13", "error", "11 lines after the last move block never read"},
    // Blocks cut short.
    {"move block cut", [](const std::string& d) { edit(d + "/Burn/moveset", "0\n0\n0\nnull\n", "0\nnull\n"); },
     "Burn/moveset:1", "error", "announces 2 moves but holds only 1"},
    {"settings cut", [](const std::string& d) { writeFile(d + "/particle/spark/particle", "255\n300\n0\n0\n0\n0\n0\n"); },
     "particle/spark/particle:7", "error", "file ends before the OnHitEnemy count"},  // its last line
    {"frame block cut by a comment", [](const std::string& d) {
         writeFile(d + "/Burn/duck/info", "FILES: 1\n#\n#\n#\n#\n#\nframe00.bmp 50\n10 30\n2 2 18 30\n0 0 0 0\n0\n0\n0\n0 0\n0 0\n");
     }, "Burn/duck/info:7", "error", "file ends inside this frame block"},
    // Numbers where words are expected, and the reverse.
    {"command is a number", [](const std::string& d) { edit(d + "/Burn/moveset", "DRA", "0"); },
     "Burn/moveset:3", "error", "move command is the number 0 where a name is expected"},
    {"sound is a number", [](const std::string& d) { edit(d + "/Burn/punch/info", "hit", "7"); },
     "Burn/punch/info:11", "error", "sound name is the number 7"},
    {"anchor is a word", [](const std::string& d) { edit(d + "/Burn/walk/info", "10 30", "ten 30"); },
     "Burn/walk/info:3", "error", "anchor: expected 2 numbers"},
    {"hit box short", [](const std::string& d) { edit(d + "/Burn/walk/info", "0 0 0 0", "0 0 0"); },
     "Burn/walk/info:5", "error", "hit box: expected 4 numbers"},
    {"particle count missing", [](const std::string& d) { edit(d + "/Burn/punch/info", "hit\n1\n", "hit\n\n"); },
     "Burn/punch/info:12", "error", "particle line count: expected a number"},
    {"extra particle line", [](const std::string& d) { edit(d + "/Burn/punch/info", "spark 10 10\n", "spark 10 10\nspark 1 1\n"); },
     "Burn/punch/info:14", "error", "movement: expected 2 numbers"},
    {"life time a word", [](const std::string& d) { edit(d + "/particle/spark/particle", "300", "long"); },
     "particle/spark/particle:2", "error", "life time: expected a number"},
    {"animation name a number", [](const std::string& d) { edit(d + "/Burn/info", "inAir", "42"); },
     "Burn/info:5", "error", "animation name is the number 42"},
    // Words and lines over the format's limits.
    {"long sound name", [](const std::string& d) { edit(d + "/Burn/punch/info", "hit\n", std::string(96, 's') + "\n"); },
     "Burn/punch/info:11", "error", "sound name longer than 95 characters"},
    {"long line", [](const std::string& d) { edit(d + "/Burn/info", "standing\n", "standing " + std::string(300, 'x') + "\n"); },
     "Burn/info:2", "error", "line longer than 254 characters"},
    // Bitmaps: missing, not a BMP, of another size.
    {"bitmap missing", [](const std::string& d) { std::remove((d + "/Burn/kick/frame00.bmp").c_str()); },
     "Burn/kick/info:2", "error", "bitmap frame00.bmp: can't be opened"},
    {"not a bmp", [](const std::string& d) { writeFile(d + "/Burn/kick/frame00.bmp", "GIF89a not a bitmap"); },
     "Burn/kick/info:2", "error", "bitmap frame00.bmp: not a BMP file"},
    {"frame larger than the last", [](const std::string& d) {
         frameSpec second;
         second.bitmap = "frame01.bmp";
         writeFile(d + "/Burn/walk/info", "FILES: 2\n" + block(frameSpec()) + block(second));
         writeBmp(d + "/Burn/walk/frame01.bmp", 16, 30, 0x336699);
     }, "Burn/walk/info:2", "error", "frame is 20x30, larger than the set's last frame (16x30)"},
    {"frame smaller than the last", [](const std::string& d) {
         frameSpec second;
         second.bitmap = "frame01.bmp";
         writeFile(d + "/Burn/walk/info", "FILES: 2\n" + block(frameSpec()) + block(second));
         writeBmp(d + "/Burn/walk/frame00.bmp", 20, 28, 0x336699);
         writeBmp(d + "/Burn/walk/frame01.bmp", 20, 30, 0x336699);
     }, "Burn/walk/info:2", "warning", "frame is 20x28 but the set's last frame is 20x30"},
    // The blank animation and the ones the fighter needs.
    {"blank too small", [](const std::string& d) { writeBmp(d + "/Burn/blank/frame00.bmp", 10, 30, 0); },
     "Burn/blank/info:2", "error", "blank frame is 10x30, smaller than a frame of \"standing\""},
    {"blank missing", [](const std::string& d) { edit(d + "/Burn/info", "ANIMS: 5", "ANIMS: 4"); },
     "Burn/info", "error", "no \"blank\" animation"},
    {"duck missing", [](const std::string& d) { edit(d + "/Burn/info", "duck\n", "crouch\n"); },
     "Burn/info", "error", "no \"duck\" animation: the fighter needs it"},
    // Commands.
    {"command without a button", [](const std::string& d) { edit(d + "/Burn/moveset", "DRA", "DR"); },
     "Burn/moveset:3", "error", "does not end with a button"},
    {"command with a strange letter", [](const std::string& d) { edit(d + "/Burn/moveset", "DRA", "DXA"); },
     "Burn/moveset:3", "error", "holds \"X\""},
    {"command hidden by an earlier one", [](const std::string& d) {
         writeFile(d + "/Burn/moveset", "ANIMS: 2\n" + moveBlock("kick", "B", "null") + moveBlock("punch", "DB", "null"));
     }, "Burn/moveset:14", "error", "can never win: the earlier kick (\"B\", line 2)"},
    {"hidden only by two conditions together", [](const std::string& d) {
         writeFile(d + "/Burn/moveset", "ANIMS: 3\n" + moveBlock("kick", "B", "ground = true") +
                                            moveBlock("punch", "B", "ground = false") + moveBlock("kick", "DB", "null"));
     }, "Burn/moveset:25", "error", "can never win"},
    // Conditions.
    {"unknown subject", [](const std::string& d) { edit(d + "/Burn/moveset", "ground = true", "grund = true"); },
     "Burn/moveset:12", "error", "\"grund\" is no subject"},
    {"null with more", [](const std::string& d) { edit(d + "/Burn/moveset", "\nnull\n", "\nnull please\n"); },
     "Burn/moveset:23", "error", "is not just null"},
    {"empty condition", [](const std::string& d) { edit(d + "/Burn/moveset", "ground = true", ""); },
     "Burn/moveset:12", "error", "condition is empty"},
    {"odd value", [](const std::string& d) { edit(d + "/Burn/moveset", "ground = true", "ground = yes"); },
     "Burn/moveset:12", "warning", "neither true nor false"},
    // Names that lead nowhere.
    {"unknown frame sound", [](const std::string& d) { edit(d + "/Burn/punch/info", "hit", "hut"); },
     "Burn/punch/info:11", "error", "sound \"hut\" is in no sound list"},
    {"unknown particle line", [](const std::string& d) { edit(d + "/Burn/punch/info", "spark 10 10", "sparks 10 10"); },
     "Burn/punch/info:13", "error", "particle line names no particle definition: \"sparks\""},
    {"particle line without offsets", [](const std::string& d) { edit(d + "/Burn/punch/info", "spark 10 10", "spark"); },
     "Burn/punch/info:13", "warning", "lacks an offset"},
    {"unknown death entry", [](const std::string& d) { edit(d + "/particle/fireball1/particle", "spark 0 0", "sprak 0 0"); },
     "particle/fireball1/particle:7", "error", "OnDeath entry names no particle definition: \"sprak\""},
    {"death entry after a NULL", [](const std::string& d) { edit(d + "/particle/fireball1/particle", "1\nspark 0 0", "2\nNULL\nspark 0 0"); },
     "particle/fireball1/particle:8", "warning", "OnDeath entry never launched: the first entry is NULL"},
    {"hit entry naming nothing", [](const std::string& d) { edit(d + "/particle/spark/particle", "300\n0\n0\n0\n0\n0\n", "300\n0\n0\n0\n0\n1\nember 0 0\n"); },
     "particle/spark/particle:8", "warning", "OnHitPlayer entry names no particle definition: \"ember\""},
    {"NULL particle line", [](const std::string& d) { edit(d + "/Burn/punch/info", "spark 10 10", "NULL"); },
     "Burn/punch/info:13", "warning", "particle line NULL launches nothing"},
    {"start-up particle missing", [](const std::string& d) {
         edit(d + "/particle/default", "fireball1 1", "fireball2 1");
         std::rename((d + "/particle/fireball1").c_str(), (d + "/particle/fireball2").c_str());
     }, "particle/default", "error", "no \"fireball1\" definition"},
    // Anchors and boxes outside their frame.
    {"anchor outside", [](const std::string& d) { edit(d + "/Burn/walk/info", "10 30", "10 31"); },
     "Burn/walk/info:3", "warning", "anchor 10 31 is outside the 20x30 frame"},
    {"collision box outside", [](const std::string& d) { edit(d + "/Burn/walk/info", "2 2 18 30", "2 2 21 30"); },
     "Burn/walk/info:4", "warning", "collision box 2 2 21 30 reaches outside the 20x30 frame"},
    {"hit box inverted", [](const std::string& d) { edit(d + "/Burn/walk/info", "0 0 0 0\n0\n", "9 0 3 5\n1\n"); },
     "Burn/walk/info:5", "warning", "hit box 9 0 3 5 is inverted"},
    // Hit files of a move and of a particle definition.
    {"move hit value", [](const std::string& d) { writeFile(d + "/Burn/punch/hit", "# light\ndamage = 6\nhitstun = -4\n"); },
     "Burn/punch/hit:3", "error", "hitstun: expected a whole number 0..100000"},
    {"particle hit key", [](const std::string& d) { writeFile(d + "/particle/spark/hit", "knockback = 3\n"); },
     "particle/spark/hit:1", "error", "unknown key \"knockback\""},
    // What a character brings to versus: its stats and its sound folder.
    {"character stats value", [](const std::string& d) { writeFile(d + "/Burn/stats", "# figures\nhealth = 0\n"); },
     "Burn/stats:2", "error", "health: expected a whole number 1..1000, found \"0\""},
    {"character sound gone", [](const std::string& d) { writeFile(d + "/Burn/sound/sound", "SOUNDS: 1\nroar\n"); },
     "Burn/sound/sound:2", "error", "roar.wav can't be opened"},
    // The training partner's own character is checked like the player's.
    {"partner bitmap missing", [](const std::string& d) {
         writeFile(d + "/Dummy/info", "ANIMS: 1\nstanding\n");
         writeFile(d + "/Dummy/standing/info", "FILES: 1\n" + block(frameSpec()));
     }, "Dummy/standing/info:2", "error", "frame00.bmp: can't be opened"},
};

INSTANTIATE_TEST_SUITE_P(EveryKind, CheckTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<brokenCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(Check, WarningsAloneEndWithStatusZero) {
    std::string root = makeTempDir("check");
    writeGoodData(root + "/data");
    edit(root + "/data/Burn/walk/info", "10 30", "10 31");
    checkRun run = runCheck(root + "/data");
    EXPECT_EQ(run.out, root + "/data/Burn/walk/info:3: warning: anchor 10 31 is outside the 20x30 frame\n"
                              "0 errors, 1 warning\n");
    EXPECT_EQ(run.status, 0);
}

TEST(Check, ProblemsAreGroupedByFileInLineOrder) {
    std::string root = makeTempDir("check");
    writeGoodData(root + "/data");
    edit(root + "/data/Burn/moveset", "ground = true", "grund = true");
    edit(root + "/data/Burn/moveset", "DRA", "DR");
    checkRun run = runCheck(root + "/data");
    std::string prefix = root + "/data/Burn/moveset:";
    size_t command = run.out.find(prefix + "3: error:");
    size_t condition = run.out.find(prefix + "12: error:");
    ASSERT_NE(command, std::string::npos) << run.out;
    ASSERT_NE(condition, std::string::npos) << run.out;
    EXPECT_LT(command, condition);
    EXPECT_NE(run.out.find("2 errors, 0 warnings\n"), std::string::npos) << run.out;
}

TEST(Check, TheKeyFileBesideTheDataOrNamedIsChecked) {
    std::string root = makeTempDir("checkkeys");
    writeGoodData(root + "/data");
    // This user's key file, which the game reads first, is made for the
    // cases that give one.
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string savedSettings = saved ? saved : "";
    setEnvironment("XDG_CONFIG_HOME", (root + "/settings").c_str(), true);
    const std::string userKeys = root + "/settings/fightscene/keys.txt";
    const struct {
        const char* label;
        std::string keysTxt;  // beside the data; none when empty
        std::string options;
        std::string out;
        int status;
        std::string userTxt = "";  // this user's; none when empty
    } cases[] = {
        {"no key file", "", "", "0 errors, 0 warnings\n", 0},
        {"a good one", "a = q\nleft = a\n", "", "0 errors, 0 warnings\n", 0},
        {"bad lines beside the data", "a = x\nb = Banana\n", "",
         root + "/keys.txt:1: error: key \"x\" is also bound to b; a stays \"z\"\n" + root +
             "/keys.txt:2: error: unknown key \"Banana\"; b stays \"x\"\n2 errors, 0 warnings\n",
         1},
        {"a file named", "jump = q\n", "--keys " + root + "/data/../keys.txt",
         root + "/data/../keys.txt:1: error: unknown binding \"jump\"; expected left, right, up, down, a, b, c, "
                "debug, record, playback, stance, reset, p2.left, p2.right, p2.up, p2.down, p2.a, p2.b or p2.c\n"
                "1 error, 0 warnings\n",
         1},
        {"a file named that is missing", "", "--keys " + root + "/none.txt",
         root + "/none.txt: error: no such file\n1 error, 0 warnings\n", 1},
        {"this user's before the one beside the data", "a = x\n", "",
         userKeys + ":1: error: f5 loads the data again and can't be bound; b stays \"x\"\n1 error, 0 warnings\n", 1,
         "b = f5\n"},
        {"a file named before this user's", "a = q\n", "--keys " + root + "/data/../keys.txt", "0 errors, 0 warnings\n", 0,
         "b = f5\n"},
    };
    for (const auto& c : cases) {
        unlink((root + "/keys.txt").c_str());
        unlink(userKeys.c_str());
        if (!c.keysTxt.empty()) writeFile(root + "/keys.txt", c.keysTxt);
        if (!c.userTxt.empty()) writeFile(userKeys, c.userTxt);
        checkRun run = runCheck(root + "/data", c.options);
        EXPECT_EQ(c.out, run.out) << c.label;
        EXPECT_EQ(c.status, run.status) << c.label;
    }
    setEnvironment("XDG_CONFIG_HOME", savedSettings.c_str(), true);
}

namespace {
// The whitespace-separated words of each line of `text`.
std::vector<std::vector<std::string>> wordsOfLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        lines.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
    }
    return lines;
}
}  // namespace

TEST(Check, MoveTableShowsWhatTheParserReadAndBothTablesWhatLoadingMet) {
    std::string root = makeTempDir("checkmoves");
    std::string data = root + "/data";
    writeGoodData(data);
    std::string moveset = data + "/Burn/moveset";
    std::string crlf = readFile(moveset);
    for (size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) crlf.insert(at, "\r");
    const std::vector<std::vector<std::string>> moves = {{"move", "command", "where", "condition"},
                                                         {"punch", "DRA", moveset + ":2", "ground", "=", "true"},
                                                         {"kick", "B", moveset + ":13", "null"}};
    const std::vector<std::string> kickMissing = {data + "/Burn/kick/info:", "error:", "cannot", "be", "opened"};
    const struct {
        const char* label;
        std::function<void()> change;
        std::string options;
        size_t tableLines;  // lines before the problems
        std::vector<std::string> problem;  // the first problem's words, none when empty
        int status;
    } cases[] = {
        {"the moves", [] {}, "--moves", 3, {}, 0},
        {"the moves from CRLF lines", [&] { writeFile(moveset, crlf); }, "--moves", 3, {}, 0},
        {"the moves, one without frames", [&] { unlink((data + "/Burn/kick/info").c_str()); }, "--moves", 3,
         kickMissing, 1},
        {"the frames, one without frames", [] {}, "--frames", 4, kickMissing, 1},
    };
    for (const auto& c : cases) {
        c.change();
        checkRun run = runCheck(data, c.options);
        std::vector<std::vector<std::string>> lines = wordsOfLines(run.out);
        EXPECT_EQ(c.status, run.status) << c.label << "\n" << run.out;
        ASSERT_GE(lines.size(), c.tableLines + !c.problem.empty()) << c.label << "\n" << run.out;
        if (c.options == "--moves") {
            EXPECT_EQ(moves, std::vector<std::vector<std::string>>(lines.begin(), lines.begin() + 3)) << c.label;
        }
        if (c.problem.empty()) {
            EXPECT_EQ(c.tableLines, lines.size()) << c.label << "\n" << run.out;
        } else {
            EXPECT_EQ(c.problem, lines[c.tableLines]) << c.label << "\n" << run.out;
            EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1), "1 error, 0 warnings\n")
                << c.label;
        }
    }
    EXPECT_EQ(2, runCheck(data, "--frames --moves").status) << "one table at a time";
}
