// The bundled content folder: the generator must rewrite it byte for byte,
// and the data must hold together the way the game reads it (frame sizes
// and anchors, colour keys, boxes, moves, sounds and particles).
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include <SDL/SDL_mixer.h>

#include "data/animationSet.h"
#include "data/moveSet.h"
#include "data/soundSet.h"
#include "particles/partInfoList.h"
#include "data/textFile.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
std::string data(const std::string& relative = "") {
    return sourceDir() + "/data" + (relative.empty() ? "" : "/" + relative);
}

bool isFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Every regular file under `root`, as paths relative to it, sorted.
void listFiles(const std::string& root, const std::string& prefix, std::vector<std::string>& out) {
    DIR* dir = opendir((root + "/" + prefix).c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string relative = prefix.empty() ? name : prefix + "/" + name;
        struct stat info;
        if (stat((root + "/" + relative).c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) listFiles(root, relative, out);
        else if (S_ISREG(info.st_mode)) out.push_back(relative);
    }
    closedir(dir);
}
std::vector<std::string> listFiles(const std::string& root) {
    std::vector<std::string> out;
    listFiles(root, "", out);
    std::sort(out.begin(), out.end());
    return out;
}

// --- The text formats, read as the game reads them ---

struct Frame {
    std::string file;
    int pause = 0;
    int key[3] = {-1, -1, -1};
    int offsetX = 0, offsetY = 0;
    int colBox[4] = {0, 0, 0, 0};
    int hitBox[4] = {0, 0, 0, 0};
    int hitActive = 0;
    std::string sound;
    std::vector<std::string> particles;
    int moveX = 0, moveY = 0;
};

struct FrameSet {
    bool read = false;
    int declared = 0;
    std::vector<Frame> frames;
};

void ints(const std::string& line, int* values, int count) {
    std::vector<std::string> words = splitWords(line, size_t(count));
    for (int i = 0; i < count; ++i) values[i] = i < int(words.size()) && scanInt(words[i], values[i]) ? values[i] : 0;
}

FrameSet readFrameSet(const std::string& folder) {
    FrameSet set;
    TextFile file(gameLoading());
    if (!file.open(folder + "/info")) return set;
    std::string line;
    if (!file.readLine(line) || !scanHeader(line, "FILES:", set.declared)) return set;
    set.read = true;
    while (file.readLine(line)) {
        if (line.empty() || line[0] == '#' || line[0] == '\r') continue;
        Frame f;
        std::vector<std::string> first = splitWords(line, 5);
        f.file = first.empty() ? "" : first[0];
        if (first.size() > 1) scanInt(first[1], f.pause);
        for (int i = 0; i < 3 && i + 2 < int(first.size()); ++i) scanInt(first[i + 2], f.key[i]);
        // Lines 2 to 11 of the block: anchor, boxes, hit flag, reserved
        // values, sound and the number of particle lines.
        std::string block[10];
        for (std::string& b : block) file.readLine(b);
        int anchor[2];
        ints(block[0], anchor, 2);
        f.offsetX = anchor[0];
        f.offsetY = anchor[1];
        ints(block[1], f.colBox, 4);
        ints(block[2], f.hitBox, 4);
        scanInt(block[3], f.hitActive);
        f.sound = firstWord(block[8]);
        int n = 0;
        scanInt(block[9], n);
        for (int i = 0; i < n && file.readLine(line); ++i) f.particles.push_back(line);
        int move[2];
        file.readLine(line);
        ints(line, move, 2);
        f.moveX = move[0];
        f.moveY = move[1];
        file.readLine(line);  // reserved flag
        file.readLine(line);  // reserved name
        set.frames.push_back(f);
    }
    return set;
}

// A list file: a header "LABEL n", then n lines whose first words are names.
std::vector<std::string> readNames(const std::string& path, const char* label) {
    std::vector<std::string> names;
    TextFile file(gameLoading());
    std::string line;
    int count = 0;
    if (!file.open(path) || !file.readLine(line) || !scanHeader(line, label, count)) return names;
    for (int i = 0; i < count && file.readLine(line); ++i) names.push_back(firstWord(line));
    return names;
}

struct Move {
    std::string name, command, condition;
};

// The bundled characters: the player's, the training partner drawn as the
// same fighter in other colours, and the second player's.
const char* const kCharacters[] = {"Burn", "Dummy", "Gale"};

std::vector<Move> readMoves(const std::string& character = "Burn") {
    std::vector<Move> moves;
    TextFile file(gameLoading());
    std::string line;
    int count = 0;
    if (!file.open(data(character + "/moveset")) || !file.readLine(line) || !scanHeader(line, "ANIMS:", count))
        return moves;
    for (int i = 0; i < count; ++i) {
        std::string lines[11];
        for (std::string& l : lines) file.readLine(l);
        moves.push_back(Move{firstWord(lines[0]), firstWord(lines[1]), lines[10]});
    }
    return moves;
}

struct Settings {
    bool read = false;
    int alpha = 0, lifeTime = 0, gravity = 0;
    std::vector<std::string> events[5];
};

Settings readSettings(const std::string& folder) {
    Settings s;
    TextFile file(gameLoading());
    std::string line;
    if (!file.open(folder + "/particle")) return s;
    int values[5] = {0, 0, 0, 0, 0};
    for (int& v : values) {
        file.readLine(line);
        scanInt(line, v);
    }
    s.alpha = values[0];
    s.lifeTime = values[1];
    s.gravity = values[2];
    for (auto& event : s.events) {
        int n = 0;
        file.readLine(line);
        scanInt(line, n);
        for (int i = 0; i < n && file.readLine(line); ++i) event.push_back(line);
    }
    s.read = true;
    return s;
}

// --- Bitmaps ---

struct Bitmap {
    SDL_Surface* surface = nullptr;
    explicit Bitmap(const std::string& path) : surface(SDL_LoadBMP(path.c_str())) {}
    ~Bitmap() {
        if (surface) SDL_FreeSurface(surface);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    Uint32 raw(int x, int y) const {
        const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
        switch (surface->format->BytesPerPixel) {
        case 1: return *p;
        case 3: return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
        default: return *reinterpret_cast<const Uint32*>(p);
        }
    }
    SDL_Color rgb(int x, int y) const {
        SDL_Color c;
        SDL_GetRGB(raw(x, y), surface->format, &c.r, &c.g, &c.b);
        return c;
    }
    bool keyed(int x, int y) const {
        SDL_Color c = rgb(x, y);
        return c.r == 255 && c.g == 0 && c.b == 255;
    }
    // Box of the non-key pixels, right and bottom exclusive.
    void opaqueBox(int box[4]) const {
        box[0] = surface->w, box[1] = surface->h, box[2] = -1, box[3] = -1;
        for (int y = 0; y < surface->h; ++y)
            for (int x = 0; x < surface->w; ++x)
                if (!keyed(x, y)) {
                    box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x + 1), box[3] = std::max(box[3], y + 1);
                }
    }
    int opaqueIn(const int box[4]) const {
        int n = 0;
        for (int y = std::max(0, box[1]); y < std::min(surface->h, box[3]); ++y)
            for (int x = std::max(0, box[0]); x < std::min(surface->w, box[2]); ++x) n += !keyed(x, y);
        return n;
    }
};

// Every frame folder of the characters: their animations, then their moves.
std::vector<std::string> characterFolders() {
    std::vector<std::string> folders;
    for (std::string character : kCharacters) {
        for (const std::string& name : readNames(data(character + "/info"), "ANIMS:"))
            folders.push_back(character + "/" + name);
        for (const Move& m : readMoves(character)) folders.push_back(character + "/" + m.name);
    }
    return folders;
}

// A `hit` file's `key = value` lines, a guard read as its place in kGuards;
// `bad` gets every other line that is neither blank nor a comment.
const std::vector<std::string> kGuards = {"mid", "high", "low"};
std::map<std::string, int> readHit(const std::string& path, std::vector<std::string>& bad) {
    std::map<std::string, int> values;
    TextFile file(gameLoading());
    if (!file.open(path)) {
        bad.push_back(path + " is missing");
        return values;
    }
    std::string line;
    while (file.readLine(line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> words = splitWords(line, 4);
        int value = -1;
        auto guard = std::find(kGuards.begin(), kGuards.end(), words.size() == 3 ? words[2] : "");
        if (words.size() == 3 && words[0] == "guard" && words[1] == "=" && guard != kGuards.end())
            values["guard"] = int(guard - kGuards.begin());
        else if (words.size() == 3 && words[1] == "=" && scanInt(words[2], value) && value >= 0 && value <= 100000)
            values[words[0]] = value;
        else
            bad.push_back(line);
    }
    return values;
}

std::set<std::string> soundNames() {
    std::set<std::string> names;
    for (const std::string& n : readNames(data("soundSet/sound"), "SOUNDS:")) names.insert(n);
    for (const char* list : {"Tor/sound/sound", "Gale/sound/sound", "versus/sound/sound"})
        for (const std::string& n : readNames(data(list), "SOUNDS:")) names.insert(n);
    return names;
}

std::set<std::string> particleNames() {
    std::set<std::string> names;
    for (const char* list : {"particle/default", "particle/Gale"})
        for (const std::string& n : readNames(data(list), "PARTS:")) names.insert(n);
    return names;
}
}  // namespace

TEST(ContentGenerator, RewritesTheCommittedDataByteForByte) {
    std::string generator = buildDir() + "/tools/contentgen";
    ASSERT_TRUE(isFile(generator)) << "build the contentgen target first";
    std::string out = makeTempDir("content") + "/data";
    std::string command = "'" + generator + "' '" + out + "' > /dev/null";
    ASSERT_EQ(0, std::system(command.c_str()));

    std::vector<std::string> made = listFiles(out), committed = listFiles(data());
    ASSERT_FALSE(committed.empty());
    EXPECT_EQ(committed, made) << "the generator and the committed data list different files";
    int differing = 0;
    for (const std::string& file : committed) {
        if (!isFile(out + "/" + file)) continue;
        if (readFile(out + "/" + file) != readFile(data(file))) {
            ADD_FAILURE() << file << " differs from what the generator writes";
            if (++differing > 5) break;
        }
    }
    std::system(("rm -rf '" + out + "'").c_str());
}

TEST(ContentGenerator, RefusesAMissingOrUnwritableFolder) {
    std::string generator = buildDir() + "/tools/contentgen";
    ASSERT_TRUE(isFile(generator));
    EXPECT_NE(0, std::system(("'" + generator + "' 2> /dev/null").c_str()));
    std::string blocker = makeTempDir("content") + "/file";
    writeFile(blocker, "not a folder");
    EXPECT_NE(0, std::system(("'" + generator + "' '" + blocker + "/data' 2> /dev/null").c_str()));
}

TEST(BundledCharacter, AnimationsAreListedWithTheFallbackFirst) {
    std::vector<std::string> names = readNames(data("Burn/info"), "ANIMS:");
    ASSERT_FALSE(names.empty());
    EXPECT_EQ("standing", names[0]) << "the first animation stands in for unknown names";
    std::map<std::string, size_t> least = {{"walk", 6},  {"standing", 4}, {"duck", 2},
                                           {"inAir", 2}, {"blank", 1},    {"hurt", 2}};
    for (const auto& want : least) {
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), want.first)) << want.first;
        FrameSet set = readFrameSet(data("Burn/" + want.first));
        ASSERT_TRUE(set.read) << want.first;
        EXPECT_EQ(size_t(set.declared), set.frames.size()) << want.first;
        EXPECT_GE(set.frames.size(), want.second) << want.first;
    }
    EXPECT_EQ(1u, readFrameSet(data("Burn/blank")).frames.size());
    // Gale's guards, and a knock-down whose last frame, lying down, is held.
    for (const auto& want : std::map<std::string, size_t>{{"guard", 2}, {"duckGuard", 2}, {"ko", 3}})
        EXPECT_GE(readFrameSet(data("Gale/" + want.first)).frames.size(), want.second) << want.first;
    EXPECT_GE(readFrameSet(data("Gale/ko")).frames.back().pause, 300);
}

TEST(BundledCharacter, EveryFrameSharesOneSizeAndTheAnchorAtTheFeet) {
    FrameSet blank = readFrameSet(data("Burn/blank"));
    ASSERT_EQ(1u, blank.frames.size());
    Bitmap blankImage(data("Burn/blank/" + blank.frames[0].file));
    ASSERT_NE(nullptr, blankImage.surface);
    int w = blankImage.surface->w, h = blankImage.surface->h;
    int feet = blank.frames[0].offsetY;
    EXPECT_GT(feet, h / 2);
    EXPECT_LE(feet, h);
    int frames = 0;
    for (const std::string& folder : characterFolders()) {
        FrameSet set = readFrameSet(data(folder));
        ASSERT_TRUE(set.read) << folder;
        for (const Frame& f : set.frames) {
            std::string where = folder + "/" + f.file;
            Bitmap image(data(folder + "/" + f.file));
            ASSERT_NE(nullptr, image.surface) << where;
            EXPECT_EQ(w, image.surface->w) << where;
            EXPECT_EQ(h, image.surface->h) << where;
            EXPECT_EQ(w / 2, f.offsetX) << where;
            EXPECT_EQ(feet, f.offsetY) << where;
            EXPECT_EQ(255, f.key[0]) << where;
            EXPECT_EQ(0, f.key[1]) << where;
            EXPECT_EQ(255, f.key[2]) << where;
            // Nothing hangs below the floor.
            for (int y = feet; y < h; ++y)
                for (int x = 0; x < w; ++x) ASSERT_TRUE(image.keyed(x, y)) << where << " at " << x << "," << y;
            ++frames;
        }
    }
    EXPECT_GT(frames, 40);
}

TEST(BundledCharacter, StandingWalkingAndDuckingFramesTouchTheFloor) {
    for (const char* name : {"standing", "walk", "duck"}) {
        FrameSet set = readFrameSet(data(std::string("Burn/") + name));
        for (const Frame& f : set.frames) {
            Bitmap image(data(std::string("Burn/") + name + "/" + f.file));
            ASSERT_NE(nullptr, image.surface);
            int box[4];
            image.opaqueBox(box);
            EXPECT_EQ(f.offsetY, box[3]) << name << "/" << f.file << ": the soles rest on the anchor row";
        }
    }
}

TEST(BundledCharacter, BlankIsFullyColourKeyed) {
    FrameSet blank = readFrameSet(data("Burn/blank"));
    ASSERT_EQ(1u, blank.frames.size());
    Bitmap image(data("Burn/blank/" + blank.frames[0].file));
    ASSERT_NE(nullptr, image.surface);
    for (int y = 0; y < image.surface->h; ++y)
        for (int x = 0; x < image.surface->w; ++x) ASSERT_TRUE(image.keyed(x, y)) << x << "," << y;
}

TEST(BundledCharacter, CollisionBoxesFitTheBodyAndHitBoxesTheStrike) {
    for (const std::string& folder : characterFolders()) {
        if (folder.size() > 6 && folder.compare(folder.size() - 6, 6, "/blank") == 0) continue;
        for (const Frame& f : readFrameSet(data(folder)).frames) {
            std::string where = folder + "/" + f.file;
            Bitmap image(data(folder + "/" + f.file));
            ASSERT_NE(nullptr, image.surface) << where;
            const int* c = f.colBox;
            ASSERT_TRUE(c[0] >= 0 && c[1] >= 0 && c[2] <= image.surface->w && c[3] <= image.surface->h) << where;
            ASSERT_TRUE(c[2] - c[0] > 10 && c[3] - c[1] > 20) << where;
            // Tight: every edge of the box touches the figure.
            int left[4] = {c[0], c[1], c[0] + 1, c[3]}, right[4] = {c[2] - 1, c[1], c[2], c[3]};
            int top[4] = {c[0], c[1], c[2], c[1] + 1}, bottom[4] = {c[0], c[3] - 1, c[2], c[3]};
            for (const int* edge : {left, right, top, bottom}) EXPECT_GT(image.opaqueIn(edge), 0) << where;
            // Most of the figure's height is inside the collision box.
            int all[4];
            image.opaqueBox(all);
            EXPECT_GE(c[3] - c[1], (all[3] - all[1]) * 2 / 3) << where;
            if (f.hitActive >= 1) {
                const int* hb = f.hitBox;
                EXPECT_TRUE(hb[0] >= 0 && hb[1] >= 0 && hb[2] <= image.surface->w && hb[3] <= image.surface->h) << where;
                EXPECT_GT(hb[2] - hb[0], 2) << where;
                EXPECT_GT(hb[3] - hb[1], 2) << where;
                EXPECT_GT(image.opaqueIn(hb), 8) << where << ": the hit box covers the striking limb";
            }
        }
    }
}

TEST(BundledCharacter, TheWalkAndTheBreathingAnimate) {
    for (const auto& want : std::map<std::string, size_t>{{"walk", 6}, {"standing", 3}, {"duck", 2}, {"inAir", 2}}) {
        std::set<std::string> distinct;
        std::set<int> footSpans;
        FrameSet set = readFrameSet(data("Burn/" + want.first));
        for (const Frame& f : set.frames) {
            distinct.insert(readFile(data("Burn/" + want.first + "/" + f.file)));
            Bitmap image(data("Burn/" + want.first + "/" + f.file));
            ASSERT_NE(nullptr, image.surface);
            int low[4] = {0, f.offsetY - 12, image.surface->w, f.offsetY};
            int first = -1, last = -1;
            for (int x = 0; x < image.surface->w; ++x) {
                int column[4] = {x, low[1], x + 1, low[3]};
                if (image.opaqueIn(column) > 0) {
                    if (first < 0) first = x;
                    last = x;
                }
            }
            footSpans.insert(last - first);
        }
        EXPECT_GE(distinct.size(), want.second) << want.first << " has too few different pictures";
        if (want.first == "walk") {
            EXPECT_GE(footSpans.size(), 4u) << "the feet must move while walking";
        }
    }
}

TEST(BundledCharacter, TheDummyIsBurnMoveForMoveInOtherColours) {
    // The training partner has every animation and move of the player's
    // character, frame for frame the same shapes and boxes, so the two fight
    // on equal terms; but its colours tell them apart at a glance.
    std::vector<std::string> burnAnims = readNames(data("Burn/info"), "ANIMS:");
    EXPECT_EQ(burnAnims, readNames(data("Dummy/info"), "ANIMS:"));
    std::vector<Move> burnMoves = readMoves("Burn"), dummyMoves = readMoves("Dummy");
    ASSERT_EQ(burnMoves.size(), dummyMoves.size());
    std::vector<std::string> shared = burnAnims;
    for (size_t i = 0; i < burnMoves.size(); ++i) {
        EXPECT_EQ(burnMoves[i].name, dummyMoves[i].name);
        EXPECT_EQ(burnMoves[i].command, dummyMoves[i].command) << burnMoves[i].name;
        EXPECT_EQ(burnMoves[i].condition, dummyMoves[i].condition) << burnMoves[i].name;
        shared.push_back(burnMoves[i].name);
    }
    long opaque = 0, sameColour = 0;
    for (const std::string& name : shared) {
        FrameSet burn = readFrameSet(data("Burn/" + name)), dummy = readFrameSet(data("Dummy/" + name));
        ASSERT_EQ(burn.frames.size(), dummy.frames.size()) << name;
        for (size_t i = 0; i < burn.frames.size(); ++i) {
            const Frame &b = burn.frames[i], &d = dummy.frames[i];
            EXPECT_TRUE(std::equal(b.colBox, b.colBox + 4, d.colBox)) << name << " frame " << i;
            EXPECT_TRUE(std::equal(b.hitBox, b.hitBox + 4, d.hitBox)) << name << " frame " << i;
            EXPECT_EQ(b.hitActive, d.hitActive) << name << " frame " << i;
            EXPECT_EQ(b.pause, d.pause) << name << " frame " << i;
            Bitmap burnImage(data("Burn/" + name + "/" + b.file)), dummyImage(data("Dummy/" + name + "/" + d.file));
            ASSERT_TRUE(burnImage.surface && dummyImage.surface) << name << " frame " << i;
            for (int y = 0; y < burnImage.surface->h; ++y)
                for (int x = 0; x < burnImage.surface->w; ++x) {
                    if (burnImage.keyed(x, y)) continue;
                    SDL_Color p = burnImage.rgb(x, y), q = dummyImage.rgb(x, y);
                    ++opaque;
                    sameColour += p.r == q.r && p.g == q.g && p.b == q.b;
                }
        }
    }
    ASSERT_GT(opaque, 0);
    // Only the eyes and the fire may keep Burn's colours.
    EXPECT_LT(sameColour * 20, opaque) << sameColour << " of " << opaque << " pixels are coloured as Burn's";
}

TEST(BundledMoves, EveryMoveStatesItsHitAndTheJabIsTheLightest) {
    const char* const kKeys[] = {"damage", "hitstop", "hitstun", "pushback"};
    std::vector<std::string> files = {"particle/fireball1/hit", "particle/gust/hit"};
    for (std::string character : kCharacters)
        for (const Move& m : readMoves(character)) files.push_back(character + "/" + m.name + "/hit");
    std::map<std::string, std::map<std::string, int>> hits;
    for (const std::string& file : files) {
        std::vector<std::string> bad;
        hits[file] = readHit(data(file), bad);
        for (const std::string& line : bad) ADD_FAILURE() << file << ": " << line;
        for (const char* key : kKeys) EXPECT_TRUE(hits[file].count(key)) << file << " leaves " << key << " out";
        // Gale's blows also say how they are guarded; a guarded one holds the
        // defender for less than a hit, or blocking would not pay.
        bool versus = file.find("Gale/") == 0 || file == "particle/gust/hit";
        for (const char* key : {"guard", "blockstun", "launch", "juggle"})
            EXPECT_EQ(versus, hits[file].count(key) == 1) << file << " " << key;
        EXPECT_TRUE(!versus || hits[file]["blockstun"] < hits[file]["hitstun"]) << file << ": blockstun too long";
        EXPECT_EQ(versus ? 8u : 4u, hits[file].size()) << file << " has a key besides its own";
    }
    EXPECT_TRUE(hits["Gale/galeSweep/hit"]["launch"] > 0 && hits["Gale/galeSweep/hit"]["guard"] == 2) << "low launcher";
    // A player expects the quick poke to be the lightest blow in every way
    // and the burning uppercut (Gale: the axe kick) the heaviest.
    const std::map<std::string, std::pair<std::string, std::string>> kRange = {
        {"Burn", {"jab", "risingFlame"}}, {"Dummy", {"jab", "risingFlame"}}, {"Gale", {"galePalm", "galeAxeKick"}}};
    for (std::string character : kCharacters)
        for (const char* key : kKeys) {
            int jab = hits[character + "/" + kRange.at(character).first + "/hit"][key];
            int flame = hits[character + "/" + kRange.at(character).second + "/hit"][key];
            for (const Move& m : readMoves(character)) {
                int value = hits[character + "/" + m.name + "/hit"][key];
                EXPECT_GE(value, jab) << character << "/" << m.name << " " << key << " below the jab's";
                EXPECT_LE(value, flame) << character << "/" << m.name << " " << key << " above the rising flame's";
            }
            EXPECT_LT(jab, flame) << character << " " << key;
        }
}

TEST(BundledMoves, EveryButtonCompletesAMoveAndEveryMoveHasItsFrames) {
    std::vector<Move> moves = readMoves();
    ASSERT_GE(moves.size(), 6u);
    std::set<char> buttons;
    std::set<std::string> names;
    for (const Move& m : moves) {
        EXPECT_TRUE(names.insert(m.name).second) << m.name << " twice";
        ASSERT_FALSE(m.command.empty()) << m.name;
        EXPECT_EQ(std::string::npos, m.command.find_first_not_of("ABCUDLR")) << m.command;
        char last = m.command.back();
        EXPECT_NE(std::string::npos, std::string("ABC").find(last)) << m.name << " ends in a direction";
        buttons.insert(last);
        FrameSet set = readFrameSet(data("Burn/" + m.name));
        ASSERT_TRUE(set.read) << m.name;
        EXPECT_GE(set.frames.size(), 3u) << m.name;
        EXPECT_EQ(size_t(set.declared), set.frames.size()) << m.name;
    }
    EXPECT_EQ((std::set<char>{'A', 'B', 'C'}), buttons);
}

TEST(BundledMoves, NoMoveIsHiddenBehindAnEarlierOne) {
    // A move can never start when an earlier move's command occurs in its
    // command and that earlier move's condition holds whenever its own does.
    std::vector<Move> moves = readMoves();
    auto implies = [](const std::string& mine, const std::string& earlier) {
        return earlier == "null" || earlier == mine;
    };
    bool tailPair = false;
    for (size_t i = 0; i < moves.size(); ++i)
        for (size_t j = 0; j < moves.size(); ++j) {
            if (i == j) continue;
            const std::string &a = moves[i].command, &b = moves[j].command;
            bool inside = a.size() > b.size() && a.find(b) != std::string::npos;
            if (inside && j < i) {
                EXPECT_FALSE(implies(moves[i].condition, moves[j].condition))
                    << moves[i].name << " (" << a << ") is hidden behind " << moves[j].name << " (" << b << ")";
            }
            if (inside && j > i && a.compare(a.size() - b.size(), b.size(), b) == 0 && b.size() > 1) tailPair = true;
        }
    EXPECT_TRUE(tailPair) << "a longer motion ending in another move's command, placed before it";
}

TEST(BundledMoves, GroundAndAirConditionsAndTheFireballThrow) {
    std::vector<Move> moves = readMoves();
    std::set<std::string> conditions;
    for (const Move& m : moves) conditions.insert(m.condition);
    EXPECT_TRUE(conditions.count("ground = true"));
    EXPECT_TRUE(conditions.count("ground = false"));
    const Move* thrown = nullptr;
    for (const Move& m : moves)
        if (m.command == "DRA") thrown = &m;
    ASSERT_NE(nullptr, thrown);
    int launches = 0;
    for (const Frame& f : readFrameSet(data("Burn/" + thrown->name)).frames) {
        if (f.particles.empty()) continue;
        EXPECT_EQ("fireball1 80 80", f.particles[0]);
        EXPECT_NE("NULL", f.sound) << "the throw is heard";
        ++launches;
    }
    EXPECT_EQ(1, launches) << "exactly one throwing frame";
}

TEST(BundledMoves, MovesTravelLiftAndStrike) {
    bool travels = false, lifts = false;
    for (const Move& m : readMoves()) {
        int striking = 0;
        bool reaches = false;  // a strike beyond the front of its own body
        for (const Frame& f : readFrameSet(data("Burn/" + m.name)).frames) {
            travels = travels || f.moveX != 0;
            lifts = lifts || f.moveY > 0;
            if (f.hitActive >= 1) ++striking;
            if (f.hitActive >= 1 && f.hitBox[2] > f.colBox[2]) reaches = true;
        }
        bool projectile = m.command == "DRA";
        if (!projectile) {
            EXPECT_GT(striking, 0) << m.name << " has no striking frame";
            EXPECT_TRUE(reaches) << m.name << " strikes only inside its own body: it hits no one standing in front";
        }
    }
    EXPECT_TRUE(travels);
    EXPECT_TRUE(lifts);
}

TEST(BundledSounds, FramesNameListedSoundsAndEveryListedSoundIsAShortWav) {
    std::set<std::string> names = soundNames();
    for (const char* wanted : {"jump", "whoosh", "impact", "cast", "burst", "hit"})
        EXPECT_TRUE(names.count(wanted)) << wanted;
    // Short, so a quick string of blows is heard as separate hits.
    EXPECT_LE(readFile(data("soundSet/hit.wav")).size(), 44u + 44100u * 4 * 15 / 100) << "hit lasts 150 ms at most";

    std::vector<std::string> common = readNames(data("soundSet/sound"), "SOUNDS:");
    std::vector<std::string> own = readNames(data("Tor/sound/sound"), "SOUNDS:");
    bool shared = false;
    for (const std::string& n : own) shared = shared || std::find(common.begin(), common.end(), n) != common.end();
    EXPECT_TRUE(shared) << "one of the character's sounds is also common, so the skip rule runs";

    std::vector<std::pair<std::string, std::vector<std::string>>> lists = {{"soundSet", common}, {"Tor/sound", own}};
    for (const char* folder : {"Gale/sound", "versus/sound"})
        lists.push_back({folder, readNames(data(std::string(folder) + "/sound"), "SOUNDS:")});
    for (const auto& list : lists)
        for (const std::string& n : list.second) {
            std::string bytes = readFile(data(list.first + "/" + n + ".wav"));
            ASSERT_GT(bytes.size(), 44u) << n;
            auto u16 = [&bytes](size_t at) { return unsigned(Uint8(bytes[at])) | unsigned(Uint8(bytes[at + 1])) << 8; };
            auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
            EXPECT_EQ("RIFF", bytes.substr(0, 4)) << n;
            EXPECT_EQ("WAVE", bytes.substr(8, 4)) << n;
            EXPECT_EQ(1u, u16(20)) << n << ": PCM";
            EXPECT_EQ(2u, u16(22)) << n << ": stereo";
            EXPECT_EQ(44100u, u32(24)) << n;
            EXPECT_EQ(16u, u16(34)) << n;
            EXPECT_EQ("data", bytes.substr(36, 4)) << n;
            unsigned length = u32(40);
            EXPECT_EQ(bytes.size() - 44, length) << n;
            EXPECT_LT(length, 44100u * 4) << n << ": well under a second";
            int peak = 0;
            for (size_t at = 44; at + 1 < bytes.size(); at += 2) peak = std::max(peak, std::abs(int(int16_t(u16(at)))));
            EXPECT_GT(peak, 4000) << n << " is silent";
        }

    int named = 0;
    for (const std::string& folder : characterFolders())
        for (const Frame& f : readFrameSet(data(folder)).frames) {
            if (f.sound == "NULL") continue;
            EXPECT_TRUE(names.count(f.sound)) << folder << "/" << f.file << " names " << f.sound;
            ++named;
        }
    EXPECT_GE(named, 8);
    FrameSet air = readFrameSet(data("Burn/inAir"));
    ASSERT_FALSE(air.frames.empty());
    EXPECT_EQ("jump", air.frames[0].sound);
}

TEST(BundledParticles, EveryLaunchAndEventEntryNamesADefinition) {
    std::set<std::string> defs = particleNames();
    ASSERT_GE(defs.size(), 3u);
    int lines = 0;
    for (const std::string& folder : characterFolders())
        for (const Frame& f : readFrameSet(data(folder)).frames)
            for (const std::string& line : f.particles) {
                std::vector<std::string> words = splitWords(line, 4);
                ASSERT_EQ(3u, words.size()) << line;
                EXPECT_TRUE(defs.count(words[0])) << folder << " launches " << line;
                ++lines;
            }
    EXPECT_GE(lines, 1);
    for (const std::string& name : defs) {
        Settings s = readSettings(data("particle/" + name));
        ASSERT_TRUE(s.read) << name;
        for (const auto& event : s.events)
            for (const std::string& entry : event) {
                if (entry == "NULL") continue;
                std::vector<std::string> words = splitWords(entry, 4);
                EXPECT_EQ(3u, words.size()) << entry;
                EXPECT_TRUE(!words.empty() && defs.count(words[0])) << name << " spawns " << entry;
            }
    }
}

TEST(BundledParticles, FramesAreColourKeyedAndFallingOnesLandOnTheirLowestPixel) {
    for (const std::string& name : particleNames()) {
        FrameSet set = readFrameSet(data("particle/" + name));
        ASSERT_TRUE(set.read) << name;
        ASSERT_FALSE(set.frames.empty()) << name;
        EXPECT_EQ(size_t(set.declared), set.frames.size()) << name;
        for (const Frame& f : set.frames) {
            std::string where = name + "/" + f.file;
            Bitmap image(data("particle/" + name + "/" + f.file));
            ASSERT_NE(nullptr, image.surface) << where;
            EXPECT_EQ(255, f.key[0]) << where;
            EXPECT_EQ(0, f.key[1]) << where;
            EXPECT_EQ(255, f.key[2]) << where;
            EXPECT_TRUE(image.keyed(0, 0)) << where << ": the corner is see-through";
            int box[4];
            image.opaqueBox(box);
            ASSERT_GT(box[2], box[0]) << where << " is empty";
            // The floor test uses the lower of the two boxes' bottoms.
            EXPECT_EQ(box[3], std::max(f.colBox[3], f.hitBox[3])) << where;
        }
    }
}

TEST(BundledParticles, TheFireballFliesDiesAndBursts) {
    std::set<std::string> defs = particleNames();
    ASSERT_TRUE(defs.count("fireball1"));
    FrameSet fire = readFrameSet(data("particle/fireball1"));
    EXPECT_GE(fire.frames.size(), 4u);
    for (const Frame& f : fire.frames) EXPECT_GE(f.moveX, 3) << f.file;
    Settings s = readSettings(data("particle/fireball1"));
    EXPECT_GE(s.lifeTime, 1000);
    EXPECT_LE(s.lifeTime, 2000);
    EXPECT_NE(1, s.gravity);
    ASSERT_GE(s.events[0].size(), 2u) << "its death bursts into two particles or more";
    EXPECT_NE("NULL", s.events[0][0]);

    bool burst = false, falls = false;
    for (const std::string& name : defs) {
        Settings d = readSettings(data("particle/" + name));
        FrameSet set = readFrameSet(data("particle/" + name));
        bool still = std::all_of(set.frames.begin(), set.frames.end(), [](const Frame& f) { return f.moveX == 0; });
        if (still && d.gravity != 1 && d.lifeTime > 0 && d.lifeTime <= 600) burst = true;
        if (d.gravity == 1 && d.lifeTime > 0) falls = true;
    }
    EXPECT_TRUE(burst) << "a short-lived burst that does not move";
    EXPECT_TRUE(falls) << "sparks that fall to the floor and go out";
}

TEST(BundledParticles, TheHitsparkFlashesOnceWhereItIsAndHitsNothing) {
    ASSERT_TRUE(particleNames().count("hitspark"));
    FrameSet set = readFrameSet(data("particle/hitspark"));
    EXPECT_GE(set.frames.size(), 3u);
    EXPECT_LE(set.frames.size(), 5u);
    int pauses = 0;
    for (const Frame& f : set.frames) {
        EXPECT_EQ(0, f.moveX) << f.file;
        EXPECT_EQ(0, f.hitActive) << f.file;
        EXPECT_TRUE(f.particles.empty()) << f.file;
        pauses += f.pause;
    }
    Settings s = readSettings(data("particle/hitspark"));
    ASSERT_TRUE(s.read);
    EXPECT_NE(1, s.gravity);
    // It dies of age during its last frame (particles show each pause unit
    // 3 ms), so it never starts its flash over.
    EXPECT_GT(s.lifeTime, (pauses - set.frames.back().pause) * 3);
    EXPECT_LT(s.lifeTime, pauses * 3);
    // With no entries it flies through the fighters and leaves nothing behind.
    for (const auto& event : s.events)
        EXPECT_TRUE(event.empty()) << "the hitspark launches " << (event.empty() ? "" : event[0]);
}

TEST(BundledScene, TheBackgroundFillsTheScreenWithTheFloorEdgeAtTheFeet) {
    Bitmap bg(data("tBG2.bmp"));
    ASSERT_NE(nullptr, bg.surface);
    ASSERT_EQ(kScreenWidth, bg.surface->w);
    ASSERT_EQ(kScreenHeight, bg.surface->h);
    auto rowBrightness = [&bg](int y) {
        long sum = 0;
        for (int x = 0; x < kScreenWidth; ++x) {
            SDL_Color c = bg.rgb(x, y);
            sum += c.r + c.g + c.b;
        }
        return sum / kScreenWidth / 3;
    };
    EXPECT_GT(rowBrightness(kGroundLevel) - rowBrightness(kGroundLevel - 1), 40)
        << "the floor's top edge stands out at the floor's row";
    SDL_Color sky = bg.rgb(400, 10);
    EXPECT_GT(sky.b, sky.r) << "a blue sky at the top";
}

TEST(BundledCharacter, TheFirstFramesAreTimedSoNothingIsLost) {
    // An action's first frame is timed from the previous frame change, so it
    // can be skipped at once: moves keep their sounds and launches off it,
    // the idle animations make it brief, and the jump's outlasts them all.
    for (const Move& m : readMoves()) {
        FrameSet set = readFrameSet(data("Burn/" + m.name));
        ASSERT_FALSE(set.frames.empty()) << m.name;
        EXPECT_EQ("NULL", set.frames[0].sound) << m.name;
        EXPECT_TRUE(set.frames[0].particles.empty()) << m.name;
    }
    int longest = 0;
    for (const char* name : {"standing", "walk", "duck"}) {
        FrameSet set = readFrameSet(data(std::string("Burn/") + name));
        ASSERT_FALSE(set.frames.empty()) << name;
        EXPECT_LE(set.frames[0].pause, 10) << name;
        for (const Frame& f : set.frames) longest = std::max(longest, f.pause);
    }
    FrameSet air = readFrameSet(data("Burn/inAir"));
    ASSERT_FALSE(air.frames.empty());
    EXPECT_GE(air.frames[0].pause, longest);
}

TEST(BundledParticles, LaunchesStartAtTheFighterAndBurstsOnTheFlame) {
    // A frame's spawn point (x forward, y up from the anchor) lies at the
    // figure, by the hand or foot that throws it.
    for (const std::string& folder : characterFolders())
        for (const Frame& f : readFrameSet(data(folder)).frames)
            for (const std::string& line : f.particles) {
                std::vector<std::string> words = splitWords(line, 3);
                ASSERT_EQ(3u, words.size());
                int dx = 0, dy = 0;
                scanInt(words[1], dx);
                scanInt(words[2], dy);
                int px = f.offsetX + dx, py = f.offsetY - dy;
                Bitmap image(data(folder + "/" + f.file));
                ASSERT_NE(nullptr, image.surface);
                int near[4] = {px - 24, py - 24, px + 25, py + 25};
                EXPECT_GT(image.opaqueIn(near), 20) << folder << "/" << f.file << ": " << line << " starts in the air";
            }
    // A death entry is an offset from the dying particle's image corner, y
    // down: it stays inside that image.
    for (const std::string& name : particleNames()) {
        FrameSet set = readFrameSet(data("particle/" + name));
        ASSERT_FALSE(set.frames.empty()) << name;
        Bitmap image(data("particle/" + name + "/" + set.frames[0].file));
        ASSERT_NE(nullptr, image.surface) << name;
        for (const std::string& entry : readSettings(data("particle/" + name)).events[0]) {
            if (entry == "NULL") continue;
            std::vector<std::string> words = splitWords(entry, 3);
            ASSERT_EQ(3u, words.size()) << entry;
            int dx = -1, dy = -1;
            scanInt(words[1], dx);
            scanInt(words[2], dy);
            EXPECT_TRUE(dx >= 0 && dx <= image.surface->w && dy >= 0 && dy <= image.surface->h)
                << name << " bursts at " << entry << ", outside its " << image.surface->w << "x" << image.surface->h
                << " image";
        }
    }
}

TEST(BundledContent, TheGameLoadsEveryPieceWithoutAComplaint) {
    SDL_Surface* screen = testScreen();
    bool audio = Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) == 0;
    animationSet anims, dummyAnims;
    moveSet moves, dummyMoves;
    soundSet sounds;
    partInfoList defs;
    std::string printed;
    inFolder(sourceDir(), [&] {
        startCapture();
        anims.loadAll("data/Burn", gameLoading());
        moves.loadAll("data/Burn", gameLoading());
        dummyAnims.loadAll("data/Dummy", gameLoading());
        dummyMoves.loadAll("data/Dummy", gameLoading());
        if (audio) {
            sounds.getList("data/soundSet", gameLoading());
            for (const char* folder : {"data/Tor/sound", "data/Gale/sound", "data/versus/sound"})
                sounds.addToList(folder, gameLoading());
        }
        defs.addList("default", screen, gameLoading());
        defs.addList("Gale", screen, gameLoading());
        printed = stopCapture();
    });
    EXPECT_EQ(std::string::npos, printed.find("ERROR")) << printed.substr(0, 2000);
    EXPECT_EQ(std::string::npos, printed.find("FAIL PARTICLE"));
    EXPECT_EQ(std::string::npos, printed.find("longer than"));

    std::vector<std::string> names = readNames(data("Burn/info"), "ANIMS:");
    ASSERT_EQ(int(names.size()), anims.count);
    for (animInfo& a : anims.anims) {
        FrameSet set = readFrameSet(data("Burn/" + a.name));
        EXPECT_EQ(int(set.frames.size()), a.frameSet.numFrames) << a.name;
        for (int i = 0; i < a.frameSet.numFrames; ++i) {
            EXPECT_TRUE(a.frameSet.drawable(i)) << a.name << " frame " << i;
            // With the anchor in the middle, turning around keeps it in place.
            EXPECT_EQ(a.frameSet.frames[i].offsetX, a.frameSet.mirror[i].offsetX) << a.name << " frame " << i;
        }
    }
    EXPECT_EQ(anims.count, dummyAnims.count);
    EXPECT_EQ(moves.count, dummyMoves.count);
    std::vector<Move> listed = readMoves();
    ASSERT_EQ(int(listed.size()), moves.count);
    for (size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].command, moves.moves[i].command);
        EXPECT_EQ(listed[i].condition, moves.moves[i].condition);
        EXPECT_GE(moves.moves[i].animation.numFrames, 3) << listed[i].name;
        for (int f = 0; f < moves.moves[i].animation.numFrames; ++f)
            EXPECT_TRUE(moves.moves[i].animation.drawable(f)) << listed[i].name << " frame " << f;
    }
    if (audio) {
        EXPECT_EQ(int(soundNames().size()), sounds.count);
        for (soundNode* n = sounds.head; n; n = n->next) {
            if (n->name.empty()) continue;
            EXPECT_NE(nullptr, n->chunk) << n->name << " did not load";
        }
    }
    for (const std::string& name : particleNames()) {
        particleInfo* info = defs.findParticle(name);
        ASSERT_NE(nullptr, info) << name;
        EXPECT_TRUE(info->drawable()) << name;
        EXPECT_EQ(readSettings(data("particle/" + name)).lifeTime, info->lifeTime) << name;
    }
    if (audio) Mix_CloseAudio();
}
