// Faults the fuzz harnesses found, each kept as a test of the sound
// behaviour that mends it.
#include <gtest/gtest.h>

#include "fighter/Fighter.h"
#include "sprites/CSprite.h"
#include "sprites/CSpriteBase.h"
#include "particles/partInfoList.h"
#include "particles/particle.h"
#include "data/textFile.h"
#include "input/keyBindings.h"
#include "input/keyFile.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
// Definitions "ball" (one 20x10 frame, anchor (5, 4), 3 pixels a step).
class FuzzFindings : public ::testing::Test {
protected:
    partInfoList defs;

    void SetUp() override {
        std::string dir = makeTempDir("fuzzfind");
        std::string root = dir + "/data/particle/";
        writeFile(root + "default", "PARTS: 1\nball 1\n");
        writeFile(root + "ball/info", particleFrameInfo(3));
        writeBmp(root + "ball/f.bmp", 20, 10, 0xff8800);
        writeFile(root + "ball/particle", "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n");
        loadParticleList(defs, dir);
    }

    void spawn(particle& p, const std::string& spec, Fighter* owner, CSprite* parent, bool dir = true) {
        if (owner)
            spawnBeside(p, spec, owner, defs);
        else
            spawnFrom(p, spec, dir, parent, defs);
    }
};
}  // namespace

// Spawn offsets at the ends of the int range used to overflow when added to
// the owner's position, wrapping a particle meant far to the right round to
// the far left (and undefined behaviour besides).
TEST_F(FuzzFindings, HugeSpawnOffsetsFromAFighterStayOnTheirSideWithoutOverflow) {
    Fighter fighter;
    fighter.x = 400;
    fighter.y = kGroundLevel;
    fighter.dir = true;
    particle right;
    spawn(right, "ball 2147483647 -2147483648", &fighter, nullptr);
    EXPECT_GT(right.startX, kScreenWidth);  // far right, as the offset says
    EXPECT_GT(right.startY, kScreenHeight);  // a negative fighter offset points down

    fighter.dir = false;
    particle left;
    spawn(left, "ball -2147483648 2147483647", &fighter, nullptr);
    EXPECT_GT(left.startX, kScreenWidth);  // facing left, a negative offset points right
    EXPECT_LT(left.startY, 0);

    startCapture();
    right.update();
    left.update();
    stopCapture();
    EXPECT_TRUE(right.dead);
    EXPECT_TRUE(left.dead);
}

TEST_F(FuzzFindings, HugeSpawnOffsetsFromASpriteStayOnTheirSideWithoutOverflow) {
    CSprite parent;
    parent.x = 100;
    parent.y = 100;
    particle p;
    spawn(p, "ball -2147483648 2147483647", nullptr, &parent, true);
    EXPECT_LT(p.startX, -80);
    EXPECT_GT(p.startY, 600);
    particle q;
    spawn(q, "ball -99999999999 -99999999999", nullptr, &parent, false);
    EXPECT_GT(q.startX, 880);
    EXPECT_LT(q.startY, 0);
    // Offsets inside the range are placed exactly as before.
    particle r;
    spawn(r, "ball 80 -20", nullptr, &parent, false);
    EXPECT_EQ(20, r.startX);
    EXPECT_EQ(80, r.startY);
}

// Anchors, boxes and steps at the ends of the int range overflowed when the
// loader mirrored them and when sprites were placed and drawn by them. They
// are held at 65536 pixels, with a message naming the line.
TEST(FuzzFindingsFrames, HugeFrameNumbersAreHeldAtTheLimitAndMirrorWithoutOverflow) {
    std::string dir = makeTempDir("fuzzframe");
    writeFile(dir + "/set/info",
              "FILES: 1\n"
              "f.bmp 40 -1 0 0\n"
              "-2147483648 2147483647\n"           // line 3: anchor
              "-2147483648 0 2147483647 99999999999\n"  // collision box
              "0 0 20 10\n"
              "1\n0\n0\n"
              "2147483647 0\n"                     // line 9: point
              "0 0\nNULL\n0\n"
              "2147483647 -2147483647\n"           // line 13: movement
              "0\nNULL\n");
    writeBmp(dir + "/set/f.bmp", 20, 10, 0x123456);
    testScreen();
    CSpriteBase set;
    startCapture();
    set.initR((dir + "/set").c_str(), gameLoading());
    std::string out = stopCapture();
    ASSERT_EQ(1, set.numFrames);
    const frameInfo& stored = set.frames[0];
    EXPECT_EQ(-65536, stored.offsetX);
    EXPECT_EQ(65536, stored.offsetY);
    EXPECT_EQ(-65536, stored.colBox.left);
    EXPECT_EQ(65536, stored.colBox.right);
    EXPECT_EQ(65536, stored.colBox.bottom);
    EXPECT_EQ(20, stored.hitBox.right);  // in range: as read
    EXPECT_EQ(65536, stored.reservedPoint1.x);
    EXPECT_EQ(65536, stored.moveX);
    EXPECT_EQ(-65536, stored.moveY);
    // Mirrored about the image's width, 20.
    EXPECT_EQ(20 + 65536, set.mirror[0].offsetX);
    EXPECT_EQ(20 - 65536, set.mirror[0].colBox.left);
    EXPECT_EQ(20 + 65536, set.mirror[0].colBox.right);
    EXPECT_NE(std::string::npos, out.find("/set/info:3: anchor beyond 65536 pixels; held at the limit"));
    EXPECT_NE(std::string::npos, out.find("/set/info:4: collision box beyond 65536 pixels"));
    EXPECT_NE(std::string::npos, out.find("/set/info:13: movement beyond 65536 pixels"));
    EXPECT_NE(std::string::npos, out.find("/set/info:9: point beyond 65536 pixels"));
    EXPECT_EQ(std::string::npos, out.find("/set/info:5:"));

    // Placed by its anchor, far away but exactly.
    CSprite sprite;
    sprite.init(&set, testScreen());
    sprite.adjustPos(400, 300, true);
    EXPECT_EQ(400 + 65536, sprite.x);
    EXPECT_EQ(300 - 65536, sprite.y);
    sprite.adjustPos(400, 300, false);
    EXPECT_EQ(400 - 20 - 65536, sprite.x);
    set.release();
}

// A frame that lifts the fighter by the largest step for minutes on end (a
// long pause) carried its anchor past the int range, wrapping it round to
// far below the floor. The lift stops far above the screen.
TEST(FuzzFindingsFrames, ALiftShownForMinutesStopsFarAboveTheScreen) {
    std::string dir = makeTempDir("fuzzlift");
    writeFile(dir + "/lift/info",
              "FILES: 1\nf.bmp 2000000000 -1\n5 10\n0 0 10 10\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n"
              "0 65536\n0\nNULL\n");
    writeBmp(dir + "/lift/f.bmp", 10, 10, 0x445566);
    testScreen();
    CSpriteBase set;
    startCapture();
    set.initR((dir + "/lift").c_str(), gameLoading());
    stopCapture();
    ASSERT_EQ(1, set.numFrames);
    ASSERT_EQ(65536, set.frames[0].moveY);

    Fighter fighter;
    fighter.base = &set;
    fighter.x = 100;
    fighter.y = kGroundLevel;
    fighter.grounded = true;
    fighter.Gravity();
    EXPECT_EQ(kGroundLevel - 65536, fighter.y);  // an ordinary lift is exact
    EXPECT_FALSE(fighter.grounded);
    int lowest = fighter.y;
    for (int step = 0; step < 40000; ++step) {
        fighter.Gravity();
        if (fighter.y > lowest) lowest = fighter.y;
    }
    EXPECT_EQ(-(1 << 20), fighter.y);
    EXPECT_LE(lowest, kGroundLevel - 65536);  // never wrapped round below
    EXPECT_FALSE(fighter.grounded);
    set.release();
}

// Loaders ask how many lines are left for every frame block; counting the
// rest of the file each time made a large "info" load in quadratic time.
// The count is now taken once; what it answers must not change.
TEST(FuzzFindingsText, LinesLeftAnswersTheSameWhereverItIsAsked) {
    std::string dir = makeTempDir("fuzzlines");
    // 1 header (CRLF), 2 an over-long line read in two pieces, 3 empty,
    // 4 with a lone CR inside, 5 without a line end.
    std::string path = dir + "/f";
    writeFile(path, "FILES: 3\r\n" + std::string(300, 'a') + "\n\nx\ry\ntail");
    const long expected[] = {5, 4, 4, 3, 2, 1, 0, 0};  // before each read, and after the last

    TextFile file(gameLoading());
    ASSERT_TRUE(file.open(path));
    std::string line;
    startCapture();
    for (int read = 0; read < 7; ++read) {
        EXPECT_EQ(expected[read], file.linesLeft()) << "before read " << read;
        EXPECT_EQ(expected[read], file.linesLeft()) << "asked twice before read " << read;
        bool got = file.readLine(line);
        EXPECT_EQ(read < 6, got) << "read " << read;
    }
    EXPECT_EQ(0, file.linesLeft());
    // First asked in the middle of the over-long line.
    TextFile late(gameLoading());
    ASSERT_TRUE(late.open(path));
    late.readLine(line);
    late.readLine(line);
    EXPECT_EQ(254u, line.size());
    EXPECT_EQ(4, late.linesLeft());
    late.readLine(line);
    EXPECT_EQ(46u, line.size());
    EXPECT_EQ(3, late.linesLeft());
    // Reopened, the count starts again.
    ASSERT_TRUE(late.open(dir + "/f"));
    EXPECT_EQ(5, late.linesLeft());
    stopCapture();
    TextFile empty(gameLoading());
    writeFile(dir + "/empty", "");
    ASSERT_TRUE(empty.open(dir + "/empty"));
    EXPECT_EQ(0, empty.linesLeft());
}

// A key file line of nothing but carriage returns (or other white space
// than blanks and tabs) passed for a binding line, and echoing it cut the
// text at a position past its end: an exception that ended the game.
TEST(FuzzFindingsText, AKeyFileLineOfCarriageReturnsIsBlank) {
    std::string path = makeTempDir("fuzzkeys") + "/keys.txt";
    writeFile(path, "\r\r\n\x0b\x0c\n  \r# a comment\n");
    keyBindings bindings;
    bindPlayerKeys(bindings);
    loadPolicy policy = gameLoading();
    startCapture();
    EXPECT_EQ(0, loadKeyFile(path, bindings, policy));
    EXPECT_EQ("", stopCapture());
    EXPECT_EQ(SDLK_LEFT, bindings.left);
}

// A folder named by a hostile list line was echoed raw when it could not
// be opened, terminal escapes and all.
TEST(FuzzFindingsText, AFileThatCannotBeOpenedIsNamedWithoutControlBytes) {
    loadPolicy policy = gameLoading();
    startCapture();
    reportOpenFailure("data/\x1b[2Jinfo", policy);
    EXPECT_EQ("ERROR opening file data/\\x1b[2Jinfo\n\n", stopCapture());
}
