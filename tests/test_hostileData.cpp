// Broken data folders: the real game runs headless on a copy of the bundled
// data with one fault and is ended by SIGTERM. It must name the fault and run
// on, or end with its fatal message; never crash, hang or trip a sanitizer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "data/textFile.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "sprites/clock.h"
#include "shell/reload.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// --- Faults: edits of the copied data folder ---------------------------------

// Every edit replaces the file rather than writing through it.
void replaceFile(const std::string& path, const std::string& content) {
    fs::remove(path);
    writeFile(path, content);
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// Line `n` (from 1) becomes `text`.
void setLine(const std::string& path, size_t n, const std::string& text) {
    std::vector<std::string> lines = splitLines(readFile(path));
    if (n < 1 || n > lines.size()) {
        ADD_FAILURE() << path << " has no line " << n;
        return;
    }
    lines[n - 1] = text;
    replaceFile(path, joinLines(lines));
}

// `text` goes in before line `n` (from 1).
void insertLine(const std::string& path, size_t n, const std::string& text) {
    std::vector<std::string> lines = splitLines(readFile(path));
    if (n < 1 || n > lines.size() + 1) {
        ADD_FAILURE() << path << " has no line " << n;
        return;
    }
    lines.insert(lines.begin() + static_cast<long>(n - 1), text);
    replaceFile(path, joinLines(lines));
}

// Line `n` (from 1) is taken out.
void dropLine(const std::string& path, size_t n) {
    std::vector<std::string> lines = splitLines(readFile(path));
    if (n < 1 || n > lines.size()) {
        ADD_FAILURE() << path << " has no line " << n;
        return;
    }
    lines.erase(lines.begin() + static_cast<long>(n - 1));
    replaceFile(path, joinLines(lines));
}

// Keeps the first `n` lines.
void keepLines(const std::string& path, size_t n) {
    std::vector<std::string> lines = splitLines(readFile(path));
    if (n >= lines.size()) {
        ADD_FAILURE() << path << " has only " << lines.size() << " lines";
        return;
    }
    lines.resize(n);
    replaceFile(path, joinLines(lines));
}

void keepBytes(const std::string& path, size_t n) {
    std::string bytes = readFile(path);
    if (n >= bytes.size()) ADD_FAILURE() << path << " is only " << bytes.size() << " bytes";
    replaceFile(path, bytes.substr(0, n));
}

// A named pipe in place of the file: opening it for reading waits for a writer.
void makePipe(const std::string& path) {
    fs::remove_all(path);
    if (mkfifo(path.c_str(), 0644) != 0) ADD_FAILURE() << "mkfifo " << path;
}

// A link to an endless device in place of the file.
void linkToDevice(const std::string& path, const char* device) {
    fs::remove_all(path);
    fs::create_symlink(device, path);
}

// Bytes of every value, NULs, CRs and LFs among them; the same every run.
std::string garbage(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// A little-endian field of a bitmap's headers.
void pokeBmp(const std::string& path, size_t at, uint32_t value, int bytes = 4) {
    std::string data = readFile(path);
    if (at + bytes > data.size()) {
        ADD_FAILURE() << path << " is too short to patch";
        return;
    }
    for (int i = 0; i < bytes; ++i) data[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    replaceFile(path, data);
}

// Offsets in a bitmap's file and info headers.
const size_t kBmpWidth = 18, kBmpHeight = 22, kBmpPlanes = 26, kBmpBits = 28, kBmpCompression = 30, kBmpColours = 46;


// A bitmap of w x h pixels at `bits` per pixel (1, 4 and 8 with a grey
// palette; 16, 24 and 32 without one), rows bottom-up or top-down, with the
// 40-byte info header or the 12-byte OS/2 one. The pixels are a pattern.
std::string bmpFile(int w, int h, int bits, bool topDown = false, bool os2 = false) {
    int colours = bits <= 8 ? 1 << bits : 0;
    size_t infoSize = os2 ? 12 : 40;
    size_t paletteSize = static_cast<size_t>(colours) * (os2 ? 3 : 4);
    size_t row = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    size_t offset = 14 + infoSize + paletteSize;
    std::string file = "BM" + le32(offset + row * h) + le32(0) + le32(offset);
    if (os2) {
        file += le32(12) + le16(w) + le16(h) + le16(1) + le16(bits);
    } else {
        file += le32(40) + le32(w) + le32(topDown ? -h : h) + le16(1) + le16(bits) + le32(0) + le32(row * h) +
                le32(2835) + le32(2835) + le32(0) + le32(0);
    }
    for (int i = 0; i < colours; ++i) {
        char grey = static_cast<char>(i * 255 / (colours - 1));
        file += std::string(3, grey) + (os2 ? "" : std::string(1, '\0'));
    }
    for (size_t i = 0; i < row * h; ++i) file += static_cast<char>((i * 37) & 0xff);
    return file;
}

// A WAV file with 4000 bytes of sound.
std::string wavFile(uint32_t channels, uint32_t rate, uint32_t bits, uint32_t encoding = 1) {
    return wavBytes(encoding, channels, rate, bits, std::string(4000, '\x20'));
}

// --- Expectations -------------------------------------------------------------

enum class Ends {
    Runs,   // runs its loop until SIGTERM, then status 0
    Fatal,  // ends by itself with status 1
};

// Whole lines that must follow one another in one output stream.
struct Lines {
    bool stderrStream;
    std::vector<std::string> seq;
};
Lines out(std::vector<std::string> seq) { return {false, std::move(seq)}; }
Lines err(std::vector<std::string> seq) { return {true, std::move(seq)}; }

struct HostileCase {
    std::string name;
    std::function<void(const std::string& data)> fault;
    Ends ends;
    std::vector<Lines> expect;
    // Lines the main loop prints, in this order, after start-up; the signal
    // waits for them. By default the fighter's landing.
    std::vector<std::string> loop = {"walk"};
    // Beginnings of lines that must not appear in standard output.
    std::vector<std::string> absent = {};
    // Played by fightscene-replay with every move typed (kEveryMove), for
    // faults only a move reaches; it ends by itself at the script's end.
    bool replay = false;
    // Address space the game may use, in bytes; 0: no limit.
    rlim_t addressSpace = 0;
};

// AddressSanitizer reserves far more address space than any limit a case
// sets, so such cases run in the plain build only.
#if defined(__SANITIZE_ADDRESS__)
const bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool kAddressSanitizer = true;
#else
const bool kAddressSanitizer = false;
#endif
#else
const bool kAddressSanitizer = false;
#endif

// Every bundled move in turn, typed with the fighter facing left as at
// start-up: Rising Flame, Flame Throw, Dash Punch, Jab, Sweep, Front Kick,
// Spin Kick, then a jump and the Flying Kick.
const char* const kEveryMove =
    "700  tap Left\n900  tap Down\n940  tap Left\n980  tap z\n"
    "2000 tap Down\n2040 tap Left\n2080 tap z\n"
    "3200 tap Left\n3240 tap z\n"
    "4000 tap z\n"
    "4600 tap Down\n4640 tap x\n"
    "5400 tap x\n"
    "6200 tap c\n"
    "7200 tap Up\n7300 tap x\n"
    "8400 end\n";

// The line of the script's button press for each move, in script order.
const char* const kRisingFlame = "replay 980: tap z";
const char* const kFlameThrow = "replay 2080: tap z";
const char* const kDashPunch = "replay 3240: tap z";
const char* const kJab = "replay 4000: tap z";
const char* const kSweep = "replay 4640: tap x";
const char* const kFrontKick = "replay 5400: tap x";
const char* const kSpinKick = "replay 6200: tap c";
const char* const kFlyingKick = "replay 7300: tap x";

// A case run by the replay over every move.
HostileCase replayCase(std::string name, std::function<void(const std::string&)> fault, Ends ends,
                       std::vector<Lines> expect, std::vector<std::string> loop, std::vector<std::string> absent = {}) {
    HostileCase c{std::move(name), std::move(fault), ends, std::move(expect), std::move(loop), std::move(absent)};
    c.replay = true;
    return c;
}

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

std::string errorOpening(const std::string& path) { return "ERROR opening file " + path; }

// --- Running the game -----------------------------------------------------------

const char* const kStartedLine = "Right is also 275";
const auto kAtLeast = std::chrono::milliseconds(1000);  // loop time before the signal
const auto kStartLimit = std::chrono::seconds(60);      // for start-up and the loop lines
const auto kEndLimit = std::chrono::seconds(15);        // from the signal to the exit

struct RunResult {
    bool exitedByItself = false;  // before any signal was sent
    bool hung = false;            // killed after the signal did not end it
    int status = -1;              // exit status when it exited
    int signal = 0;               // the signal that ended it, if any
    std::string out;
    std::string err;
};

// Position (line index) after the start-up line, or npos.
size_t afterStartUp(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == kStartedLine) return i + 1;
    return std::string::npos;
}

// True when `wanted` appear in order among lines[from..].
bool inOrder(const std::vector<std::string>& lines, size_t from, const std::vector<std::string>& wanted) {
    size_t next = 0;
    for (size_t i = from; i < lines.size() && next < wanted.size(); ++i)
        if (lines[i] == wanted[next]) ++next;
    return next == wanted.size();
}

bool consecutive(const std::vector<std::string>& lines, const std::vector<std::string>& seq) {
    if (seq.empty()) return true;
    for (size_t i = 0; i + seq.size() <= lines.size(); ++i) {
        size_t k = 0;
        while (k < seq.size() && lines[i + k] == seq[k]) ++k;
        if (k == seq.size()) return true;
    }
    return false;
}

// Installs the game and its data in a new folder; the game reads "data"
// beside its executable.
std::string makeGameFolder(const std::string& name) {
    std::string game = makeTempDir("hostile-" + name);
    std::string binary = buildDir() + "/fightscene";
    std::error_code ec;
    fs::create_hard_link(binary, game + "/fightscene", ec);
    if (ec) {
        fs::copy_file(binary, game + "/fightscene");
        fs::permissions(game + "/fightscene", fs::perms::owner_all);
    }
    fs::copy(sourceDir() + "/data", game + "/data", fs::copy_options::recursive);
    return game;
}

void readNew(int fd, std::string& into) {
    char buffer[65536];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) into.append(buffer, static_cast<size_t>(got));
}

RunResult runGame(const std::string& game, const HostileCase& c) {
    RunResult result;
    std::string outPath = game + "/stdout.txt";
    std::string errPath = game + "/stderr.txt";
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd < 0 || errFd < 0 || chdir("/") != 0) _exit(126);
        dup2(outFd, 1);
        dup2(errFd, 2);
        setEnvironment("SDL_VIDEODRIVER", "dummy", true);
        setEnvironment("SDL_AUDIODRIVER", "dummy", true);
        if (c.addressSpace) {
            struct rlimit limit = {c.addressSpace, c.addressSpace};
            if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(125);
        }
        if (c.replay) {
            std::string replay = buildDir() + "/tools/fightscene-replay";
            std::string script = game + "/moves.txt";
            std::string data = game + "/data";
            execl(replay.c_str(), "fightscene-replay", script.c_str(), data.c_str(), static_cast<char*>(nullptr));
        } else {
            std::string binary = game + "/fightscene";
            execl(binary.c_str(), "fightscene", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        return result;
    }

    // Standard output is read as it grows, to see how far the game has got.
    int outFd = -1;
    auto begun = Clock::now();
    Clock::time_point startedAt{};
    bool started = false;
    int wstatus = 0;
    bool gone = false;
    std::vector<std::string> lines;
    while (Clock::now() - begun < kStartLimit) {
        if (waitpid(pid, &wstatus, WNOHANG) == pid) {
            gone = true;
            result.exitedByItself = true;
            break;
        }
        if (outFd < 0) outFd = open(outPath.c_str(), O_RDONLY);
        if (outFd >= 0) {
            size_t before = result.out.size();
            readNew(outFd, result.out);
            if (result.out.size() != before) lines = splitLines(result.out);
        }
        size_t from = afterStartUp(lines);
        if (!started && from != std::string::npos) {
            started = true;
            startedAt = Clock::now();
        }
        // A fatal case and a replay are given the whole time to end by themselves.
        if (c.ends == Ends::Runs && !c.replay && started && Clock::now() - startedAt >= kAtLeast &&
            inOrder(lines, from, c.loop))
            break;
        usleep(20000);
    }

    if (!gone) {
        kill(pid, SIGTERM);
        auto signalled = Clock::now();
        while (Clock::now() - signalled < kEndLimit) {
            if (waitpid(pid, &wstatus, WNOHANG) == pid) {
                gone = true;
                break;
            }
            usleep(20000);
        }
        if (!gone) {
            result.hung = true;
            kill(pid, SIGKILL);
            waitpid(pid, &wstatus, 0);
        }
    }
    if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
    // Read whole once it has ended: a quick exit may come before the first look.
    if (outFd >= 0) close(outFd);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::string tail(const std::string& text, size_t count) {
    std::vector<std::string> lines = splitLines(text);
    std::string shown;
    for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        shown += "  | " + lines[i] + "\n";
    return shown;
}

std::string quoted(const std::vector<std::string>& seq) {
    std::string text;
    for (const std::string& line : seq) text += "\"" + line + "\" ";
    return text;
}

class HostileData : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileData, ReportsAndRunsOnOrEndsWithItsMessage) {
    const HostileCase& c = GetParam();
    if (c.addressSpace && kAddressSanitizer) GTEST_SKIP() << "an address-space limit leaves AddressSanitizer no room";
    ASSERT_TRUE(fs::exists(buildDir() + "/fightscene")) << "build the game first: " << buildDir() << "/fightscene";
    if (c.replay) {
        ASSERT_TRUE(fs::exists(buildDir() + "/tools/fightscene-replay"))
            << "build the replay first: " << buildDir() << "/tools/fightscene-replay";
    }
    std::string game = makeGameFolder(c.name);
    if (c.replay) writeFile(game + "/moves.txt", kEveryMove);
    c.fault(game + "/data");
    if (testing::Test::HasFailure()) return;

    RunResult run = runGame(game, c);
    std::vector<std::string> outLines = splitLines(run.out);
    std::vector<std::string> errLines = splitLines(run.err);
    std::string shown = "\nstandard output ends:\n" + tail(run.out, 25) + "standard error ends:\n" + tail(run.err, 10) +
                        "game folder: " + game;

    ASSERT_FALSE(run.hung) << "the game did not end within the time after SIGTERM" << shown;
    if (c.replay) {
        EXPECT_NE(127, run.status) << "the replay could not be started" << shown;
    }
    ASSERT_EQ(0, run.signal) << "the game died of signal " << run.signal << shown;
    for (const char* mark : {"ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer"}) {
        EXPECT_EQ(std::string::npos, run.err.find(mark)) << "sanitizer report on standard error" << shown;
        EXPECT_EQ(std::string::npos, run.out.find(mark)) << "sanitizer report on standard output" << shown;
    }
    if (c.ends == Ends::Runs) {
        if (c.replay) {
            EXPECT_TRUE(run.exitedByItself) << "the replay did not end by itself" << shown;
        } else {
            EXPECT_FALSE(run.exitedByItself) << "the game ended before the signal, status " << run.status << shown;
        }
        EXPECT_EQ(0, run.status) << shown;
        size_t from = afterStartUp(outLines);
        EXPECT_NE(std::string::npos, from) << "start-up did not finish" << shown;
        if (from != std::string::npos) {
            EXPECT_TRUE(inOrder(outLines, from, c.loop)) << "the loop never printed " << quoted(c.loop) << shown;
        }
    } else {
        EXPECT_TRUE(run.exitedByItself) << "the game was still running" << shown;
        EXPECT_EQ(1, run.status) << shown;
    }
    for (const Lines& lines : c.expect)
        EXPECT_TRUE(consecutive(lines.stderrStream ? errLines : outLines, lines.seq))
            << "no lines " << quoted(lines.seq) << "on " << (lines.stderrStream ? "standard error" : "standard output")
            << shown;
    for (const std::string& head : c.absent)
        for (const std::string& line : outLines)
            EXPECT_NE(0, line.compare(0, head.size(), head)) << "unexpected line \"" << line << "\"" << shown;

    // Kept for a look when it failed, or when asked for.
    if (!testing::Test::HasFailure() && !std::getenv("FIGHTSCENE_KEEP_HOSTILE")) fs::remove_all(game);
}

// --- The broken folders -------------------------------------------------------------

std::string rel(const std::string& data, const std::string& path) { return data + "/" + path; }

const std::string kLong300(300, 'x');

std::vector<HostileCase> cases() {
    const Ends Runs = Ends::Runs;
    const Ends Fatal = Ends::Fatal;
    const std::string animList = "Burn/info", moveList = "Burn/moveset", walk = "Burn/walk/info",
                      stand = "Burn/standing/info";
    const std::string step = "soundSet/step.wav", walk0 = "Burn/walk/frame00.bmp";
    // No content report and no fatal message.
    const std::vector<std::string> kNoReport = {"data/", "Unable", "ERROR"};
    const std::string stepReport = "data/soundSet/sound:6: sound file data/soundSet/step.wav ";
    const std::string sounds = "soundSet/sound", torSounds = "Tor/sound/sound";
    const std::string partList = "particle/default", fireball = "particle/fireball1/particle";
    return {
        // The animation list.
        {"AnimListMissing",
         [=](const std::string& d) { fs::remove(rel(d, animList)); },
         Runs,
         {out({errorOpening("data/Burn/info"), ""})},
         {"walk"},
         {"holy diver: walk"}},
        {"AnimListEmpty",
         [=](const std::string& d) { replaceFile(rel(d, animList), ""); },
         Runs,
         {out({"data/Burn/info: header is not \"ANIMS: <count>\""})}},
        {"AnimListWrongHeader",
         [=](const std::string& d) { setLine(rel(d, animList), 1, "ANIMZ: 5"); },
         Runs,
         {out({"data/Burn/info:1: header is not \"ANIMS: <count>\""})},
         {"walk"},
         {"holy diver: walk"}},
        {"AnimListNegativeCount",
         [=](const std::string& d) { setLine(rel(d, animList), 1, "ANIMS: -3"); },
         Runs,
         {out({"data/Burn/info:1: negative animation count"})},
         {"walk"},
         {"holy diver: walk"}},
        {"AnimListZeroCount",
         [=](const std::string& d) { setLine(rel(d, animList), 1, "ANIMS: 0"); },
         Runs,
         {out({"load folder data/Burn/risingFlame"})},
         {"walk"},
         {"holy diver: standing"}},
        {"AnimListNonNumericCount",
         [=](const std::string& d) { setLine(rel(d, animList), 1, "ANIMS: five"); },
         Runs,
         {out({"data/Burn/info:1: header is not \"ANIMS: <count>\""})}},
        {"AnimListAbsurdCount",
         [=](const std::string& d) { setLine(rel(d, animList), 1, "ANIMS: 99999999999"); },
         Runs,
         {out({"data/Burn/info:1: ANIMS: 2147483647 but only 6 names follow"}), out({"holy diver: blank"})}},
        {"AnimListTruncated",
         [=](const std::string& d) { keepLines(rel(d, animList), 3); },
         Runs,
         {out({"data/Burn/info:1: ANIMS: 6 but only 2 names follow"}), out({"holy diver: walk"})}},
        {"AnimListLongLine",
         [=](const std::string& d) { setLine(rel(d, animList), 4, kLong300); },
         Runs,
         {out({"data/Burn/info:4: line longer than 254 characters; read in pieces"}),
          out({"data/Burn/info:4: animation name longer than 79 characters: \"" + std::string(40, 'x') + "...\""})}},
        {"AnimListGarbage",
         [=](const std::string& d) { replaceFile(rel(d, animList), garbage(3000, 1)); },
         Runs,
         {out({"data/Burn/info:1: header is not \"ANIMS: <count>\""})}},
        {"AnimNameNowhere",
         [=](const std::string& d) { setLine(rel(d, animList), 4, "nosuch"); },
         Runs,
         {out({"load folder data/Burn/nosuch", errorOpening("data/Burn/nosuch/info"), ""})}},
        // The landing animation is missing: the first animation stands in for it.
        {"AnimWalkMissing",
         [=](const std::string& d) { setLine(rel(d, animList), 3, "walking"); },
         Runs,
         {out({errorOpening("data/Burn/walking/info"), ""})}},
        {"AnimNamedNULL",
         [=](const std::string& d) { setLine(rel(d, animList), 6, "NULL"); },
         Runs,
         {out({errorOpening("data/Burn/NULL/info"), ""})}},

        // A frame set's info: the walk, shown from start-up and on landing.
        {"FrameInfoMissing",
         [=](const std::string& d) { fs::remove(rel(d, walk)); },
         Runs,
         {out({errorOpening("data/Burn/walk/info"), ""})}},
        {"FrameFolderMissing",
         [=](const std::string& d) { fs::remove_all(rel(d, "Burn/walk")); },
         Runs,
         {out({errorOpening("data/Burn/walk/info"), ""})}},
        {"FrameInfoEmpty",
         [=](const std::string& d) { replaceFile(rel(d, walk), ""); },
         Runs,
         {out({"data/Burn/walk/info: header is not \"FILES: <count>\""})}},
        {"FrameInfoWrongHeader",
         [=](const std::string& d) { setLine(rel(d, walk), 1, "FRAMES: 9"); },
         Runs,
         {out({"data/Burn/walk/info:1: header is not \"FILES: <count>\""})}},
        {"FrameInfoNegativeCount",
         [=](const std::string& d) { setLine(rel(d, walk), 1, "FILES: -1"); },
         Runs,
         {out({"data/Burn/walk/info:1: negative frame count"})}},
        {"FrameInfoZeroCount",
         [=](const std::string& d) { setLine(rel(d, walk), 1, "FILES: 0"); },
         Runs,
         {out({"load folder data/Burn/walk", "loading", "0"}),
          out({"data/Burn/walk/info:8: 126 lines after the last frame block never read: the count is too small"})}},
        {"FrameInfoNonNumericCount",
         [=](const std::string& d) { setLine(rel(d, walk), 1, "FILES: many"); },
         Runs,
         {out({"data/Burn/walk/info:1: header is not \"FILES: <count>\""})}},
        {"FrameInfoAbsurdCount",
         [=](const std::string& d) { setLine(rel(d, walk), 1, "FILES: 1000000"); },
         Runs,
         {out({"data/Burn/walk/info:1: FILES: 1000000 but the file holds at most 10 frames"}),
          out({"data/Burn/walk/info:149: only 9 of 10 frames loaded"})}},
        {"FrameInfoTruncatedInBlock",
         [=](const std::string& d) { keepLines(rel(d, walk), 30); },
         Runs,
         {out({"data/Burn/walk/info:1: FILES: 9 but the file holds at most 2 frames"}),
          out({"data/Burn/walk/info:24: file ends inside this frame block"}),
          // Named by the last line the cut file has.
          out({"data/Burn/walk/info:30: only 1 of 2 frames loaded"})}},
        // The rest of the line is read as the next line and shifts the later
        // fields: the next block starts at "NULL", a bitmap that isn't there.
        {"FrameInfoLongSoundLine",
         [=](const std::string& d) { setLine(rel(d, walk), 17, kLong300); },
         Fatal,
         {err({"Error opening resource file: No such file or directory"}),
          out({"data/Burn/walk/info:17: line longer than 254 characters; read in pieces"}),
          out({"data/Burn/walk/info:17: sound name longer than 95 characters: \"" + std::string(40, 'x') + "...\""})}},
        {"FrameInfoLongReservedName",
         [=](const std::string& d) { setLine(rel(d, walk), 21, std::string(80, 'r')); },
         Runs,
         {out({"data/Burn/walk/info:21: name longer than 79 characters: \"" + std::string(40, 'r') + "...\""})}},
        {"FrameInfoLongBitmapName",
         [=](const std::string& d) { setLine(rel(d, walk), 8, std::string(240, 'b') + ".bmp 5"); },
         Runs,
         {out({"data/Burn/walk/info:8: bitmap path too long"}),
          out({"data/Burn/walk/info:149: only 8 of 9 frames loaded"})}},
        {"FrameInfoGarbage",
         [=](const std::string& d) { replaceFile(rel(d, walk), garbage(5000, 2)); },
         Runs,
         {out({"data/Burn/walk/info:1: header is not \"FILES: <count>\""})}},
        {"FrameParticleCountAbsurd",
         [=](const std::string& d) { setLine(rel(d, walk), 18, "2000000000"); },
         Runs,
         {out({"data/Burn/walk/info:18: particle count 2000000000 but only 131 lines follow"}),
          out({"data/Burn/walk/info:8: file ends inside this frame block"}),
          out({"data/Burn/walk/info:149: only 0 of 9 frames loaded"})}},
        // Names that point nowhere, met by the loop: the standing frames shown
        // once the fighter has landed, the first walk frame shown from start-up.
        {"FrameSoundNowhere",
         [=](const std::string& d) { setLine(rel(d, stand), 33, "nosuch"); },
         Runs,
         {out({"frame01.bmp", "nosuch", "NULL"})},
         {"walk", "standing", "jump VS nosuch", "step VS nosuch", "DID NOT FIND SOUND EFFECT"}},
        {"FrameSoundWithoutWav",
         [=](const std::string& d) {
             setLine(rel(d, stand), 33, "impact");
             fs::remove(rel(d, "soundSet/impact.wav"));
         },
         Runs,
         {err({"Could not load myfile.wav"})},
         {"walk", "standing", "FOUND SOUND EFFECT", "SOUND PLAYING"}},
        {"FrameParticleNowhere",
         [=](const std::string& d) {
             setLine(rel(d, walk), 18, "1");
             insertLine(rel(d, walk), 19, "ghost 10 10");
         },
         Runs,
         {},
         {"BIT[0]: ghost", "BIT[1]: 10", "BIT[2]: 10", "not success"}},
        {"FrameParticleNULL",
         [=](const std::string& d) {
             setLine(rel(d, walk), 18, "1");
             insertLine(rel(d, walk), 19, "NULL");
         },
         Runs,
         {},
         {"walk"},
         {"BIT[0]: NULL"}},
        {"FrameParticleNameTooLong",
         [=](const std::string& d) {
             setLine(rel(d, walk), 18, "1");
             insertLine(rel(d, walk), 19, std::string(80, 'p') + " 10 10");
         },
         Runs,
         {out(
             {"data/Burn/walk/info:19: particle name longer than 79 characters: \"" + std::string(40, 'p') + "...\""})},
         {"walk"},
         {"BIT[0]: " + std::string(80, 'p')}},
        // Numbers at the ends of the int range, where the loop adds them up.
        {"FrameNumbersAtIntLimits",
         [=](const std::string& d) {
             setLine(rel(d, walk), 9, "-2147483648 2147483647");
             setLine(rel(d, walk), 10, "-2147483648 -2147483648 2147483647 2147483647");
             setLine(rel(d, walk), 11, "2147483647 2147483647 -2147483648 -2147483648");
         },
         Runs,
         {out({"data/Burn/walk/info:9: anchor beyond 65536 pixels; held at the limit"})}},
        {"FrameMoveAtIntLimits",
         [=](const std::string& d) { setLine(rel(d, stand), 19, "2147483647 2147483647"); },
         // The standing frame lifts the fighter for good: it never lands.
         Runs,
         {out({"data/Burn/standing/info:19: movement beyond 65536 pixels; held at the limit"})},
         {"standing", "pNum 3"}},
        {"ParticleMoveAtIntLimit",
         [=](const std::string& d) { setLine(rel(d, "particle/fireball1/info"), 19, "-2147483648 0"); },
         Runs,
         {out({"data/particle/fireball1/info:19: movement beyond 65536 pixels; held at the limit"})},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"BlankInfoMissing",
         [=](const std::string& d) { fs::remove(rel(d, "Burn/blank/info")); },
         Runs,
         {out({errorOpening("data/Burn/blank/info"), ""})}},

        // The move set.
        {"MovesetMissing",
         [=](const std::string& d) { fs::remove(rel(d, moveList)); },
         Runs,
         {out({errorOpening("data/Burn/moveset"), ""})}},
        {"MovesetEmpty",
         [=](const std::string& d) { replaceFile(rel(d, moveList), ""); },
         Runs,
         {out({"data/Burn/moveset: no move count (\"ANIMS: n\"); no moves read"})}},
        {"MovesetWrongHeader",
         [=](const std::string& d) { setLine(rel(d, moveList), 1, "MOVES: 8"); },
         Runs,
         {out({"data/Burn/moveset:1: no move count (\"ANIMS: n\"); no moves read"})},
         {"walk"},
         {"Lets Rock!: risingFlame"}},
        {"MovesetZeroCount",
         [=](const std::string& d) { setLine(rel(d, moveList), 1, "ANIMS: 0"); },
         Runs,
         {out({"data/Burn/moveset:2: 88 lines after the last move block never read: the count is too small"}),
          out({"lets make a list, total is : 0"})},
         {"walk"},
         {"Lets Rock!"}},
        {"MovesetNegativeCount",
         [=](const std::string& d) { setLine(rel(d, moveList), 1, "ANIMS: -8"); },
         Runs,
         {out({"data/Burn/moveset:1: negative move count; no moves read"})}},
        {"MovesetNonNumericCount",
         [=](const std::string& d) { setLine(rel(d, moveList), 1, "ANIMS: many"); },
         Runs,
         {out({"data/Burn/moveset:1: no move count (\"ANIMS: n\"); no moves read"})}},
        {"MovesetAbsurdCount",
         [=](const std::string& d) { setLine(rel(d, moveList), 1, "ANIMS: 2147483647"); },
         Runs,
         {out({"data/Burn/moveset:1: announces 2147483647 moves but holds only 8"})}},
        {"MovesetTruncatedInBlock",
         [=](const std::string& d) { keepLines(rel(d, moveList), 1 + 11 * 2 + 5); },
         Runs,
         {out({"data/Burn/moveset:1: announces 8 moves but holds only 2"}), out({"lets make a list, total is : 2"})}},
        {"MovesetLongName",
         [=](const std::string& d) { setLine(rel(d, moveList), 2, std::string(100, 'm')); },
         Runs,
         {out({"data/Burn/moveset:2: move name longer than 79 characters: \"" + std::string(40, 'm') + "...\""})}},
        {"MovesetLongCondition",
         [=](const std::string& d) { setLine(rel(d, moveList), 12, kLong300); },
         Runs,
         {out({"data/Burn/moveset:12: line longer than 254 characters; read in pieces"})}},
        {"MovesetGarbage",
         [=](const std::string& d) { replaceFile(rel(d, moveList), garbage(4000, 3)); },
         Runs,
         {out({"data/Burn/moveset:1: no move count (\"ANIMS: n\"); no moves read"})}},
        {"MoveFolderNowhere",
         [=](const std::string& d) { setLine(rel(d, moveList), 2, "nowhere"); },
         Runs,
         {out({"Lets Rock!: nowhere", "load folder data/Burn/nowhere", errorOpening("data/Burn/nowhere/info"), ""})}},
        {"MoveNamedNULL",
         [=](const std::string& d) { setLine(rel(d, moveList), 13, "NULL"); },
         Runs,
         {out({errorOpening("data/Burn/NULL/info"), ""})}},
        {"MoveFrameInfoMissing",
         [=](const std::string& d) { fs::remove(rel(d, "Burn/risingFlame/info")); },
         Runs,
         {out({errorOpening("data/Burn/risingFlame/info"), ""})}},

        // The sound lists and WAVs.
        {"SoundListMissing",
         [=](const std::string& d) { fs::remove(rel(d, sounds)); },
         Runs,
         {out({errorOpening("data/soundSet/sound"), ""})}},
        {"CharacterSoundListMissing",
         [=](const std::string& d) { fs::remove(rel(d, torSounds)); },
         Runs,
         {out({"ADDING TO SOUND SET, YAY!", errorOpening("data/Tor/sound/sound"), ""})}},
        {"SoundListEmpty",
         [=](const std::string& d) { replaceFile(rel(d, sounds), ""); },
         Runs,
         {out({"data/soundSet/sound: expected \"SOUNDS: <count>\""})}},
        {"SoundListWrongHeader",
         [=](const std::string& d) { setLine(rel(d, sounds), 1, "SOUND: 5"); },
         Runs,
         {out({"data/soundSet/sound:1: expected \"SOUNDS: <count>\""})}},
        {"SoundListZeroCount",
         [=](const std::string& d) { setLine(rel(d, torSounds), 1, "SOUNDS: 0"); },
         Runs,
         {out({"data/Tor/sound/sound:2: 4 lines after the last sound name never read: the count is too small"}),
          out({"New Total is : 6"})},
         {"walk"},
         {"SOUND NAME: data/Tor/sound/"}},
        {"SoundListNonNumericCount",
         [=](const std::string& d) { setLine(rel(d, sounds), 1, "SOUNDS: five"); },
         Runs,
         {out({"data/soundSet/sound:1: expected \"SOUNDS: <count>\""})}},
        {"SoundListLongLine",
         [=](const std::string& d) { setLine(rel(d, sounds), 3, kLong300); },
         Runs,
         {out({"data/soundSet/sound:3: line longer than 254 characters; read in pieces"})}},
        {"SoundListNegativeCount",
         [=](const std::string& d) { setLine(rel(d, sounds), 1, "SOUNDS: -5"); },
         Runs,
         {out({"data/soundSet/sound:1: negative sound count read as 0"})}},
        {"SoundListAbsurdCount",
         [=](const std::string& d) { setLine(rel(d, torSounds), 1, "SOUNDS: 1000000"); },
         Runs,
         {out({"data/Tor/sound/sound:1: announces 1000000 sounds but only 4 lines follow"})}},
        {"SoundListTruncated",
         [=](const std::string& d) { keepLines(rel(d, sounds), 3); },
         Runs,
         {out({"data/soundSet/sound:1: announces 6 sounds but only 2 lines follow"})}},
        {"SoundNameTooLong",
         [=](const std::string& d) { setLine(rel(d, sounds), 2, std::string(120, 's')); },
         Runs,
         {out({"data/soundSet/sound:2: sound name longer than 111 characters: \"" + std::string(40, 's') + "...\""})}},
        {"SoundListGarbage",
         [=](const std::string& d) { replaceFile(rel(d, sounds), garbage(2000, 4)); },
         Runs,
         {out({"data/soundSet/sound:1: expected \"SOUNDS: <count>\""})}},
        {"SoundNameNowhere",
         [=](const std::string& d) { setLine(rel(d, sounds), 2, "nosuch"); },
         Runs,
         {out({"SOUND NAME: data/soundSet/nosuch.wav"}), err({"Could not load myfile.wav"})}},
        {"WavMissing",
         [=](const std::string& d) { fs::remove(rel(d, step)); },
         Runs,
         {out({stepReport + "can't be opened"}), err({"Could not load myfile.wav"})}},
        {"WavEmpty",
         [=](const std::string& d) { replaceFile(rel(d, step), ""); },
         Runs,
         {out({stepReport + "can't be loaded: not a WAV file"}), err({"Could not load myfile.wav"})}},
        {"WavGarbage",
         [=](const std::string& d) { replaceFile(rel(d, step), garbage(12000, 5)); },
         Runs,
         {out({stepReport + "can't be loaded: not a WAV file"}), err({"Could not load myfile.wav"})}},
        {"WavTruncated",
         [=](const std::string& d) { keepBytes(rel(d, step), 40); },
         Runs,
         {out({stepReport + "can't be loaded: file ends before the data chunk"}), err({"Could not load myfile.wav"})}},
        {"WavCutInTheData",
         [=](const std::string& d) { keepBytes(rel(d, step), 5000); },
         Runs,
         {out({stepReport + "can't be loaded: chunk \"data\" of 12348 bytes runs past the end of the file"})}},
        // Headers that SDL's loader crashed on.
        {"WavNoChannels",
         [=](const std::string& d) { replaceFile(rel(d, step), wavFile(0, 44100, 16)); },
         Runs,
         {out({stepReport + "can't be loaded: 0 channels (must be 1, 2, 4 or 6)"}), err({"Could not load myfile.wav"})}},
        {"WavRateOneHertz",
         [=](const std::string& d) { replaceFile(rel(d, step), wavFile(2, 1, 16)); },
         Runs,
         {out({stepReport + "can't be loaded: sample rate 1 Hz needs more than 9 conversion steps to 44100 Hz"})}},
        {"WavCompressed",
         [=](const std::string& d) { replaceFile(rel(d, step), wavFile(2, 44100, 4, 2)); },
         Runs,
         {out({stepReport + "can't be loaded: MS ADPCM format chunk of 16 bytes (needs 50)"})}},
        // Sounds SDL_mixer plays that were once refused: none is reported.
        {"WavImaAdpcm",
         [=](const std::string& d) { replaceFile(rel(d, step), imaAdpcmWav(1, 22050, 4)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"WavSixThousandHertz",
         [=](const std::string& d) { replaceFile(rel(d, step), wavFile(1, 6000, 16)); },
         Runs,
         {},
         {"walk"},
         kNoReport},

        // The particle list.
        {"ParticleListMissing",
         [=](const std::string& d) { fs::remove(rel(d, partList)); },
         Runs,
         {out({errorOpening("data/particle/default"), ""}),
          out({"BIT[0]: fireball1", "BIT[1]: 80", "BIT[2]: 80", "not success"})}},
        {"ParticleListEmpty",
         [=](const std::string& d) { replaceFile(rel(d, partList), ""); },
         Runs,
         {out({"data/particle/default: expected \"PARTS: <count>\""})}},
        {"ParticleListZeroCount",
         [=](const std::string& d) { setLine(rel(d, partList), 1, "PARTS: 0"); },
         Runs,
         {out({"BIT[0]: fireball1", "BIT[1]: 80", "BIT[2]: 80", "not success"})},
         {"walk"},
         {"New Particle: burst 2"}},
        {"ParticleListWrongHeader",
         [=](const std::string& d) { setLine(rel(d, partList), 1, "PART: 4"); },
         Runs,
         {out({"data/particle/default:1: expected \"PARTS: <count>\""})}},
        {"ParticleListNegativeCount",
         [=](const std::string& d) { setLine(rel(d, partList), 1, "PARTS: -4"); },
         Runs,
         {out({"data/particle/default:1: negative particle count read as 0"})}},
        {"ParticleListTruncated",
         [=](const std::string& d) { keepLines(rel(d, partList), 3); },
         Runs,
         {out({"data/particle/default:1: announces 5 particles but only 2 lines follow"})},
         {"pNum 3", "str: ember 22 10", "not success"}},
        {"ParticleListNonNumericCount",
         [=](const std::string& d) { setLine(rel(d, partList), 1, "PARTS: x"); },
         Runs,
         {out({"data/particle/default:1: expected \"PARTS: <count>\""})}},
        {"ParticleListAbsurdCount",
         [=](const std::string& d) { setLine(rel(d, partList), 1, "PARTS: 99999"); },
         Runs,
         {out({"data/particle/default:1: announces 99999 particles but only 5 lines follow"})},
         {"str: burst 12 16", "Killing a body bit"}},
        {"ParticleListLongLine",
         [=](const std::string& d) { insertLine(rel(d, partList), 2, kLong300); },
         Runs,
         {out({"data/particle/default:2: line longer than 254 characters; read in pieces"})}},
        {"ParticleListGarbage",
         [=](const std::string& d) { replaceFile(rel(d, partList), garbage(2500, 6)); },
         Runs,
         {out({"data/particle/default:1: expected \"PARTS: <count>\""})}},
        {"ParticleListNamesNULL",
         [=](const std::string& d) {
             setLine(rel(d, partList), 1, "PARTS: 5");
             insertLine(rel(d, partList), 2, "NULL 9");
         },
         Runs,
         {out({errorOpening("data/particle/NULL/info"), ""}),
          out({errorOpening("data/particle/NULL/particle"), "", "FAIL PARTICLE"})}},
        // The fireball's death launches a burst that is no longer defined.
        {"ParticleListWithoutBurst",
         [=](const std::string& d) {
             setLine(rel(d, partList), 1, "PARTS: 3");
             dropLine(rel(d, partList), 3);
         },
         Runs,
         {},
         {"pNum 3", "str: burst 12 16", "not success", "Killing a body bit"}},

        // The fireball's settings: its death is met about a second into the loop.
        {"ParticleSettingsMissing",
         [=](const std::string& d) { fs::remove(rel(d, fireball)); },
         Runs,
         {out({errorOpening("data/particle/fireball1/particle"), "", "FAIL PARTICLE"})},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"ParticleFolderMissing",
         [=](const std::string& d) { fs::remove_all(rel(d, "particle/fireball1")); },
         Runs,
         {out({errorOpening("data/particle/fireball1/info"), ""}),
          out({errorOpening("data/particle/fireball1/particle"), "", "FAIL PARTICLE"})},
         {"walk"},
         {"pNum 3"}},
        {"ParticleSettingsEmpty",
         [=](const std::string& d) { replaceFile(rel(d, fireball), ""); },
         Runs,
         {out({"PARTICLE LOADED: data/particle/fireball1"})},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"ParticleSettingsTruncatedInList",
         [=](const std::string& d) { keepLines(rel(d, fireball), 7); },
         Runs,
         {out({"data/particle/fireball1/particle:6: OnDeath announces 3 entries but only 1 lines follow"})},
         {"pNum 1", "str: burst 12 16", "Killing a body bit"}},
        {"ParticleSettingsNonNumericLife",
         [=](const std::string& d) { setLine(rel(d, fireball), 2, "forever"); },
         Runs,
         {out({"PARTICLE LOADED: data/particle/fireball1"})},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"ParticleDeathCountNegative",
         [=](const std::string& d) { setLine(rel(d, fireball), 6, "-2"); },
         Runs,
         {out({"PARTICLE LOADED: data/particle/fireball1"})},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"ParticleDeathCountAbsurd",
         [=](const std::string& d) { setLine(rel(d, fireball), 6, "2000000000"); },
         Runs,
         {out({"data/particle/fireball1/particle:6: OnDeath announces 2000000000 entries but only 8 lines follow"})},
         {"pNum 8", "str: burst 12 16", "str: 0", "not success", "Killing a body bit"}},
        {"ParticleDeathEntryNowhere",
         [=](const std::string& d) { setLine(rel(d, fireball), 7, "nowhere 12 16"); },
         Runs,
         {},
         {"pNum 3", "str: nowhere 12 16", "BIT[0]: nowhere", "not success", "Killing a body bit"}},
        {"ParticleDeathFirstNULL",
         [=](const std::string& d) { setLine(rel(d, fireball), 7, "NULL"); },
         Runs,
         {},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"ParticleDeathLaterNULL",
         [=](const std::string& d) { setLine(rel(d, fireball), 8, "NULL"); },
         Runs,
         {},
         {"pNum 3", "str: NULL", "BIT[0]: NULL", "not success", "Killing a body bit"}},
        {"ParticleLifeAtIntLimit",
         [=](const std::string& d) { setLine(rel(d, fireball), 2, "2147483647"); },
         Runs,
         {},
         {"Killing the head particle"},
         {"pNum 3"}},
        {"ParticleDeathOffsetsAtIntLimits",
         [=](const std::string& d) { setLine(rel(d, fireball), 7, "burst 2147483647 -2147483648"); },
         Runs,
         {},
         {"pNum 3", "str: burst 2147483647 -2147483648", "Killing a body bit"}},
        // A death list that launches its own particle three times: the list
        // stops growing at its limit instead of eating the memory.
        {"ParticleDeathSpawnsItself",
         [=](const std::string& d) {
             replaceFile(rel(d, fireball),
                         "255\n50\n0\n0\n0\n3\nfireball1 0 0\nfireball1 0 0\nfireball1 0 0\n0\n0\n0\n0\n");
         },
         Runs,
         {out({"1024 particles live: \"fireball1 0 0\" and further launches are dropped"})},
         // the game runs until the list is full, however long a loaded machine takes
         {"pNum 3", "str: fireball1 0 0", "Killing a body bit",
          "1024 particles live: \"fireball1 0 0\" and further launches are dropped"}},
        // A frame that launches two thousand fireballs at once.
        {"FrameLaunchesThousands",
         [=](const std::string& d) {
             std::string lines = "2000";
             for (int i = 0; i < 2000; ++i) lines += "\nfireball1 0 0";
             setLine(rel(d, walk), 18, lines);
         },
         Runs,
         {out({"1024 particles live: \"fireball1 0 0\" and further launches are dropped"})},
         {"Killing the head particle"}},
        {"ParticleSettingsLongEntry",
         [=](const std::string& d) { setLine(rel(d, fireball), 8, kLong300); },
         Runs,
         {out({"data/particle/fireball1/particle:8: line longer than 254 characters; read in pieces"})},
         {"pNum 3", "Killing a body bit"}},
        {"ParticleSettingsGarbage",
         [=](const std::string& d) { replaceFile(rel(d, fireball), garbage(3000, 7)); },
         Runs,
         {out({"PARTICLE LOADED: data/particle/fireball1"})}},
        {"ParticleFramesZero",
         [=](const std::string& d) { setLine(rel(d, "particle/fireball1/info"), 1, "FILES: 0"); },
         Runs,
         {out({"BIT[0]: data/particle/fireball1", "BIT[1]: 1", "loading", "0"})},
         {"pNum 3", "str: cinder 6 20", "Killing a body bit"}},
        {"ParticleFrameInfoMissing",
         [=](const std::string& d) { fs::remove(rel(d, "particle/ember/info")); },
         Runs,
         {out({errorOpening("data/particle/ember/info"), ""})},
         {"pNum 3", "str: ember 22 10", "Killing a body bit"}},

        // The background: reported, and the scene runs on without it.
        {"BackgroundMissing",
         [=](const std::string& d) { fs::remove(rel(d, "tBG2.bmp")); },
         Runs,
         {out({"data/tBG2.bmp: background can't be opened; the scene runs without it"})}},
        {"BackgroundEmpty",
         [=](const std::string& d) { replaceFile(rel(d, "tBG2.bmp"), ""); },
         Runs,
         {out({"data/tBG2.bmp: background not a BMP file; the scene runs without it"})}},
        {"BackgroundTruncated",
         [=](const std::string& d) { keepBytes(rel(d, "tBG2.bmp"), 720027); },
         Runs,
         {out({"data/tBG2.bmp: background file holds 720027 bytes but its pixel rows need 1440054; the scene runs "
               "without it"})}},
        {"BackgroundNotBmp",
         [=](const std::string& d) { replaceFile(rel(d, "tBG2.bmp"), "GIF89a" + garbage(900, 8)); },
         Runs,
         {out({"data/tBG2.bmp: background not a BMP file; the scene runs without it"})}},
        {"BackgroundAbsurdWidth",
         [=](const std::string& d) { pokeBmp(rel(d, "tBG2.bmp"), kBmpWidth, 100000); },
         Runs,
         {out({"data/tBG2.bmp: background size 100000x600 is outside 1..16383 by 1..65535; the scene runs without it"})}},

        // Unusual bitmaps that are sound: every depth and header, the
        // smallest and largest sides, frames unlike the blank frame in size.
        {"FrameBitmapOneBit",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(160, 160, 1)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapFourBits",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(160, 160, 4)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapSixteenBits",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(160, 160, 16)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapThirtyTwoBits",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(160, 160, 32)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapTopDown",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(160, 160, 24, true)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapOs2Header",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(160, 160, 8, false, true)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapOnePixel",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(1, 1, 24)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapWidest",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(4096, 1, 8)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapTallest",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(1, 4096, 8)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"FrameBitmapWiderThan4096",
         [=](const std::string& d) { replaceFile(rel(d, walk0), bmpFile(5000, 2, 8)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"BlankFrameOnePixel",
         [=](const std::string& d) { replaceFile(rel(d, "Burn/blank/frame00.bmp"), bmpFile(1, 1, 8)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"StandingFramesLargerThanTheScreen",
         [=](const std::string& d) {
             for (const char* f : {"frame00.bmp", "frame01.bmp", "frame02.bmp", "frame03.bmp"})
                 replaceFile(rel(d, std::string("Burn/standing/") + f), bmpFile(1000, 700, 8));
         },
         Runs,
         {},
         {"walk", "standing"},
         kNoReport},
        {"ParticleFrameWidest",
         [=](const std::string& d) { replaceFile(rel(d, "particle/fireball1/frame00.bmp"), bmpFile(4096, 2, 8)); },
         Runs,
         {},
         {"pNum 3", "Killing a body bit"},
         kNoReport},
        {"BackgroundOnePixel",
         [=](const std::string& d) { replaceFile(rel(d, "tBG2.bmp"), bmpFile(1, 1, 24)); },
         Runs,
         {},
         {"walk"},
         kNoReport},
        {"BackgroundLargerThanTheScreen",
         [=](const std::string& d) { replaceFile(rel(d, "tBG2.bmp"), bmpFile(4096, 700, 8)); },
         Runs,
         {},
         {"walk"},
         kNoReport},

        // Faults only a move reaches, met by the replay typing every move.
        replayCase(
            "EveryMoveOnTheBundledData", [](const std::string&) {}, Runs, {},
            {kRisingFlame, "punch ended", kFlameThrow, "punch ended", kDashPunch, "punch ended", kJab, "punch ended",
             kSweep, "punch ended", kFrontKick, "punch ended", kSpinKick, "punch ended", kFlyingKick, "punch ended"},
            kNoReport),
        replayCase("MoveConditionGarbage",
                   [=](const std::string& d) { setLine(rel(d, moveList), 45, "ground = = (( maybe"); }, Runs, {},
                   {kJab, kSweep, "punch ended"}),
        replayCase("MoveConditionLong",
                   [=](const std::string& d) {
                       std::string words;
                       while (words.size() < 240) words += "ground = true ";
                       setLine(rel(d, moveList), 45, words);
                   },
                   Runs, {}, {kJab, kSweep, "punch ended"}),
        replayCase("MoveConditionNULL", [=](const std::string& d) { setLine(rel(d, moveList), 45, "NULL"); }, Runs, {},
                   {kJab, kSweep, "punch ended"}),
        replayCase("MoveConditionEmpty", [=](const std::string& d) { setLine(rel(d, moveList), 45, ""); }, Runs, {},
                   {kJab, kSweep, "punch ended"}),
        replayCase("MoveCommandOverTheLimit",
                   [=](const std::string& d) { setLine(rel(d, moveList), 36, std::string(80, 'A')); }, Runs,
                   {out({"data/Burn/moveset:36: move command longer than 79 characters: \"" + std::string(40, 'A') +
                         "...\""})},
                   {kJab, kSweep, "punch ended"}),
        replayCase("MoveCommandOfDirectionsOnly", [=](const std::string& d) { setLine(rel(d, moveList), 36, "DU"); },
                   Runs, {}, {kJab, kSweep, "punch ended"}),
        replayCase("MoveNamedLikeTheWalk", [=](const std::string& d) { setLine(rel(d, moveList), 35, "walk"); }, Runs,
                   {}, {kJab, kSweep, "punch ended"}),
        replayCase("MoveFramesZero", [=](const std::string& d) { setLine(rel(d, "Burn/jab/info"), 1, "FILES: 0"); },
                   Runs, {}, {kJab, kSweep, "punch ended"}),
        replayCase("MoveFrameInfoMissingWhenTyped", [=](const std::string& d) { fs::remove(rel(d, "Burn/jab/info")); },
                   Runs, {out({errorOpening("data/Burn/jab/info"), ""})}, {kJab, kSweep, "punch ended"}),
        replayCase("MoveFrameSoundNowhere",
                   [=](const std::string& d) { setLine(rel(d, "Burn/jab/info"), 33, "nosuch"); }, Runs, {},
                   {kJab, "swoosh VS nosuch", "DID NOT FIND SOUND EFFECT", "punch ended"}),
        replayCase("MoveFrameSoundWithoutWav", [=](const std::string& d) { fs::remove(rel(d, "soundSet/whoosh.wav")); },
                   Runs, {out({"data/soundSet/sound:3: sound file data/soundSet/whoosh.wav can't be opened"})},
                   {kJab, "FOUND SOUND EFFECT", "SOUND PLAYING", "punch ended"}),
        replayCase("MoveFrameParticleNowhere",
                   [=](const std::string& d) { setLine(rel(d, "Burn/flameThrow/info"), 51, "ghost 80 80"); }, Runs, {},
                   {kFlameThrow, "BIT[0]: ghost", "not success", "punch ended"}),
        replayCase("MoveFrameParticleNULL",
                   [=](const std::string& d) { setLine(rel(d, "Burn/flameThrow/info"), 51, "NULL"); }, Runs, {},
                   {kFlameThrow, "punch ended", kDashPunch}, {"BIT[0]: NULL"}),
        replayCase("MoveFrameParticleOffsetsAtIntLimits",
                   [=](const std::string& d) {
                       setLine(rel(d, "Burn/flameThrow/info"), 51, "fireball1 2147483647 -2147483648");
                   },
                   Runs, {}, {kFlameThrow, "BIT[1]: 2147483647", "success!", "punch ended"}),
        replayCase("MoveLiftAtTheLimit",
                   [=](const std::string& d) { setLine(rel(d, "Burn/risingFlame/info"), 51, "3 2147483647"); }, Runs,
                   {out({"data/Burn/risingFlame/info:51: movement beyond 65536 pixels; held at the limit"})},
                   {kRisingFlame, "punch ended", kFlameThrow, "punch ended"}),
        replayCase("MoveStepAtTheLimit",
                   [=](const std::string& d) { setLine(rel(d, "Burn/dashPunch/info"), 19, "2147483647 0"); }, Runs,
                   {out({"data/Burn/dashPunch/info:19: movement beyond 65536 pixels; held at the limit"})},
                   {kDashPunch, "punch ended", kJab, "punch ended"}),
        replayCase(
            "MoveFramesLargerThanTheScreen",
            [=](const std::string& d) {
                for (const char* f : {"frame00.bmp", "frame01.bmp", "frame02.bmp"})
                    replaceFile(rel(d, std::string("Burn/jab/") + f), bmpFile(1000, 700, 8));
            },
            Runs, {}, {kJab, "punch ended", kSweep, "punch ended"}, kNoReport),
        replayCase(
            "MoveFramesOnePixel",
            [=](const std::string& d) {
                for (const char* f : {"frame00.bmp", "frame01.bmp", "frame02.bmp"})
                    replaceFile(rel(d, std::string("Burn/jab/") + f), bmpFile(1, 1, 24));
            },
            Runs, {}, {kJab, "punch ended", kSweep, "punch ended"}, kNoReport),
        replayCase("MoveFrameBitmapBroken",
                   [=](const std::string& d) { replaceFile(rel(d, "Burn/jab/frame01.bmp"), "BM"); }, Fatal,
                   {out({"Unable to load bitmap: data/Burn/jab/frame01.bmp: not a BMP file"})}, {}),

        // Frame-set bitmaps: fatal.
        {"FrameBitmapMissing",
         [=](const std::string& d) { fs::remove(rel(d, "Burn/walk/frame03.bmp")); },
         Fatal,
         {err({"Error opening resource file: No such file or directory"}), out({"frame03.bmp", "NULL", "NULL"})}},
        {"FrameBitmapEmpty",
         [=](const std::string& d) { replaceFile(rel(d, "Burn/walk/frame03.bmp"), ""); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/walk/frame03.bmp: not a BMP file"})}},
        {"FrameBitmapTruncated",
         [=](const std::string& d) { keepBytes(rel(d, "Burn/walk/frame03.bmp"), 5000); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/walk/frame03.bmp: file holds 5000 bytes but its pixel rows need "
               "26678"})}},
        {"FrameBitmapNotBmp",
         [=](const std::string& d) { replaceFile(rel(d, "Burn/standing/frame00.bmp"), "hello\n"); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/standing/frame00.bmp: not a BMP file"})}},
        {"FrameBitmapAbsurdWidth",
         [=](const std::string& d) { pokeBmp(rel(d, "Burn/standing/frame00.bmp"), kBmpWidth, 70000); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/standing/frame00.bmp: size 70000x160 is outside 1..16383 by 1..65535"})}},
        {"FrameBitmapZeroHeight",
         [=](const std::string& d) { pokeBmp(rel(d, "Burn/duck/frame01.bmp"), kBmpHeight, 0); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/duck/frame01.bmp: size 160x0 is outside 1..16383 by 1..65535"})}},
        {"FrameBitmapOddDepth",
         [=](const std::string& d) { pokeBmp(rel(d, "Burn/jab/frame00.bmp"), kBmpBits, 7, 2); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/jab/frame00.bmp: 7 bits per pixel is not supported"})}},
        {"FrameBitmapAbsurdPalette",
         [=](const std::string& d) { pokeBmp(rel(d, "Burn/inAir/frame00.bmp"), kBmpColours, 100000); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/inAir/frame00.bmp: palette of 100000 colours for 8 bits per "
               "pixel"})}},
        {"FrameBitmapPlanes",
         [=](const std::string& d) { pokeBmp(rel(d, "Burn/sweep/frame02.bmp"), kBmpPlanes, 3, 2); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/sweep/frame02.bmp: planes 3 (must be 1)"})}},
        {"FrameBitmapCompressed",
         [=](const std::string& d) { pokeBmp(rel(d, "Burn/blank/frame00.bmp"), kBmpCompression, 1); },
         Fatal,
         {out({"Unable to load bitmap: data/Burn/blank/frame00.bmp: compressed bitmaps are not supported"})}},
        {"FrameBitmapIsAFolder",
         [=](const std::string& d) {
             fs::remove(rel(d, "Burn/walk/frame00.bmp"));
             fs::create_directory(rel(d, "Burn/walk/frame00.bmp"));
         },
         Fatal,
         {err({"Error opening resource file: Is a directory"})}},
        // Pipes and devices: opening or reading them waited, or never ended.
        {"FrameBitmapIsAPipe",
         [=](const std::string& d) { makePipe(rel(d, "Burn/walk/frame02.bmp")); },
         Fatal,
         {err({"Error opening resource file: Invalid argument"}), out({"frame02.bmp", "NULL", "NULL"})}},
        {"FrameInfoIsAPipe",
         [=](const std::string& d) { makePipe(rel(d, walk)); },
         Runs,
         {out({errorOpening("data/Burn/walk/info"), ""})}},
        {"AnimListIsADevice",
         [=](const std::string& d) { linkToDevice(rel(d, animList), "/dev/zero"); },
         Runs,
         {out({errorOpening("data/Burn/info"), ""})}},
        {"SoundListIsAFolder",
         [=](const std::string& d) {
             fs::remove(rel(d, sounds));
             fs::create_directory(rel(d, sounds));
         },
         Runs,
         {out({errorOpening("data/soundSet/sound"), ""})}},
        {"WavIsAPipe",
         [=](const std::string& d) { makePipe(rel(d, step)); },
         Runs,
         {out({stepReport + "can't be opened"})}},
        {"BackgroundIsAPipe",
         [=](const std::string& d) { makePipe(rel(d, "tBG2.bmp")); },
         Runs,
         {out({"data/tBG2.bmp: background can't be opened; the scene runs without it"})}},
        {"ParticleSettingsIsADevice",
         [=](const std::string& d) { linkToDevice(rel(d, fireball), "/dev/urandom"); },
         Runs,
         {out({errorOpening("data/particle/fireball1/particle"), "", "FAIL PARTICLE"})},
         {"Killing the head particle"}},
        {"ParticleBitmapMissing",
         [=](const std::string& d) { fs::remove(rel(d, "particle/ember/frame02.bmp")); },
         Fatal,
         {err({"Error opening resource file: No such file or directory"})}},
        {"ParticleBitmapGarbage",
         [=](const std::string& d) { replaceFile(rel(d, "particle/fireball1/frame00.bmp"), "BM" + garbage(3000, 9)); },
         Fatal,
         {out({"Unable to load bitmap: data/particle/fireball1/frame00.bmp: unknown BMP header size 3037688679"})}},
    };
}

// The walk's first frame block repeated `frames` times: one small bitmap
// drawn again and again, each copy held with its mirror image.
void repeatFrames(const std::string& info, int frames) {
    std::vector<std::string> lines = splitLines(readFile(info));
    const size_t firstBlock = 7, blockLines = 14;
    if (lines.size() < firstBlock - 1 + blockLines) {
        ADD_FAILURE() << info << " has no whole frame block";
        return;
    }
    std::vector<std::string> block(lines.begin() + firstBlock - 1, lines.begin() + firstBlock - 1 + blockLines);
    std::string text = "FILES: " + std::to_string(frames) + "\n";
    for (int i = 0; i < frames; ++i) text += joinLines(block);
    replaceFile(info, text);
}

// Cases that run out of memory: the game ends with its message instead of
// dying of an allocation failure nothing catches. The walk's frame is made
// larger (512x512) so that memory runs out after about a thousand frames,
// within the time a loaded machine gives the case.
std::vector<HostileCase> memoryCases() {
    HostileCase huge{"FrameSetLargerThanMemory",
                     [](const std::string& d) {
                         replaceFile(rel(d, "Burn/walk/frame00.bmp"), bmpFile(512, 512, 8));
                         repeatFrames(rel(d, "Burn/walk/info"), 20000);
                     },
                     Ends::Fatal,
                     {out({"Out of memory loading the frames of data/Burn/walk/info"})}};
    huge.addressSpace = rlim_t(3) << 30;
    return {huge};
}

INSTANTIATE_TEST_SUITE_P(Memory, HostileData, testing::ValuesIn(memoryCases()),
                         [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Folders, HostileData, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// --- Files that change while the game reloads ------------------------------------

// Standard output, collected, that makes `edit` as soon as the loader has
// printed `bitmap` after `folderLine`: the frame loader prints a bitmap's
// name just before it reads it.
struct cuedOutput {
    std::string folderLine, bitmap;
    std::function<void()> edit;
    std::string printed;  // everything printed
    size_t seen = 0;      // printed up to here was looked at
    int step = 0;         // 1: folderLine seen; 2: edit made

    cuedOutput(std::string after, std::string name, std::function<void()> change)
        : folderLine(std::move(after)), bitmap(std::move(name)), edit(std::move(change)) {}

    static ssize_t write(void* self, const char* data, size_t size) {
        cuedOutput& out = *static_cast<cuedOutput*>(self);
        out.printed.append(data, size);
        for (size_t end; (end = out.printed.find('\n', out.seen)) != std::string::npos; out.seen = end + 1) {
            std::string line = out.printed.substr(out.seen, end - out.seen);
            if (out.step == 0 && line == out.folderLine) out.step = 1;
            if (out.step == 1 && line == out.bitmap) out.edit(), out.step = 2;
        }
        return static_cast<ssize_t>(size);
    }
};

// Runs `fn` with printf's output going, unbuffered, through `out`.
void withCues(cuedOutput& out, const std::function<void()>& fn) {
    std::fflush(stdout);
    FILE* cued = fopencookie(&out, "w", cookie_io_functions_t{nullptr, cuedOutput::write, nullptr, nullptr});
    setvbuf(cued, nullptr, _IONBF, 0);
    FILE* saved = stdout;
    stdout = cued;
    fn();
    stdout = saved;
    std::fclose(cued);
}

// Files deleted, replaced and removed between the steps of an F5 reload, at
// the moment the loader is about to read them: the reload reports them and
// refuses, or takes what it read, and the game goes on.
TEST(ReloadRace, FilesChangingWhileTheReloadReadsNeverEndTheGame) {
    std::string game = makeGameFolder("reload-race");
    std::string data = game + "/data";
    std::string before = currentFolder();
    std::unique_ptr<gameScene> objects(startSceneIn(game));
    ASSERT_NE(nullptr, objects.get());
    struct raceCase {
        cuedOutput cue;
        bool taken;           // the reload takes the new content
        std::string message;  // the start of a line the reload prints
    };
    std::vector<raceCase> cases = {
        {{"load folder data/Burn/walk", "frame01.bmp", [&] { fs::remove(data + "/Burn/walk/frame01.bmp"); }},
         false, "data/Burn/walk/info:24: bitmap frame01.bmp: can't be opened"},
        {{"load folder data/Burn/standing", "frame02.bmp",
          [&] { replaceFile(data + "/Burn/standing/frame02.bmp", "not a bitmap"); }},
         false, "data/Burn/standing/info:40: bitmap frame02.bmp: not a BMP file"},
        {{"load folder data/Burn/jab", "frame00.bmp", [&] { fs::remove_all(data + "/Burn/jab"); }},
         false, "data/Burn/jab/info:8: bitmap frame00.bmp: can't be opened"},
        {{"BIT[0]: data/particle/ember", "frame00.bmp",
          [&] { replaceFile(data + "/particle/ember/frame00.bmp", bmpFile(6, 6, 24)); }},
         true, "reloaded data: "},
    };
    for (raceCase& c : cases) {
        SDL_Surface* shown = objects->content.anims.anims[0].frameSet.frames[0].image;
        bool taken = false;
        withCues(c.cue, [&] { taken = reloadScene(*objects); });
        const std::string& printed = c.cue.printed;
        EXPECT_EQ(2, c.cue.step) << c.message << ": the loader never printed " << c.cue.bitmap;
        EXPECT_EQ(c.taken, taken) << printed;
        EXPECT_NE(std::string::npos, printed.find("\n" + c.message)) << printed;
        EXPECT_EQ(c.taken, std::string::npos == printed.find("\nreload refused: ")) << c.message;
        EXPECT_EQ(c.taken, shown != objects->content.anims.anims[0].frameSet.frames[0].image) << "the content in use";
        startCapture();
        clockAdvance(20);
        EXPECT_TRUE(runPass(*objects)) << c.message << ": the game goes on";
        stopCapture();
        fs::remove_all(data);
        fs::copy(sourceDir() + "/data", data, fs::copy_options::recursive);
    }
    changeFolder(before);
    if (!testing::Test::HasFailure()) fs::remove_all(game);
}
}  // namespace
