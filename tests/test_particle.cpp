// One particle: placement from a spawn string, motion, gravity, the side
// limits, life time and its events.
#include <gtest/gtest.h>

#include "fighter/Fighter.h"
#include "particles/partInfoList.h"
#include "particles/particle.h"
#include "sprites/clock.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
std::string settings(int life, int gravity, const std::string& deathEntries, int deathCount) {
    return "0\n" + std::to_string(life) + "\n" + std::to_string(gravity) + "\n0\n0\n" + std::to_string(deathCount) +
           "\n" + deathEntries + "0\n1\nball 1 1\n0\n0\n";
}

class Particle : public ::testing::Test {
protected:
    partInfoList defs;
    std::string dir;

    void SetUp() override {
        dir = makeTempDir("part");
        std::string root = dir + "/data/particle/";
        writeFile(root + "default", "PARTS: 6\nball\nslow\nfaller\nquiet\nbare\nghost\n");
        struct { const char* name; int moveX; std::string settings; } kinds[] = {
            {"ball", 3, settings(500, 0, "spark 1 1\nNULL\n", 2)},
            {"slow", 1, settings(0, 0, "", 0)},
            {"faller", 0, settings(0, 1, "", 0)},
            {"quiet", 0, settings(500, 0, "NULL\nball 1 1\n", 2)},
            {"bare", 0, settings(500, 0, "", 0)},
            {"ghost", 0, settings(500, 0, "", 0)},
        };
        for (const auto& kind : kinds) {
            writeFile(root + kind.name + "/particle", kind.settings);
            if (std::string(kind.name) == "ghost") continue;  // settings but no frames
            writeFile(root + kind.name + "/info", particleFrameInfo(kind.moveX));
            writeBmp(root + kind.name + "/f.bmp", 20, 10, 0xff8800);
        }
        loadParticleList(defs, dir);
    }

    std::string spawn(particle& p, const std::string& spec, Fighter* owner, int time = 0) {
        return spawnBeside(p, spec, owner, defs, time);
    }
    void spawnD(particle& p, const std::string& spec, bool dir, CSprite* parent) { spawnFrom(p, spec, dir, parent, defs); }
};
}  // namespace

TEST_F(Particle, SpawnsRelativeToAFighterUpwardAndMirrored) {
    Fighter fighter;
    fighter.x = 300;
    fighter.y = 400;
    fighter.dir = false;
    particle left;
    std::string out = spawn(left, "ball 80 80 more words", &fighter, 7);
    EXPECT_TRUE(out.find("BIT[0]: ball\nBIT[1]: 80\nBIT[2]: 80\nsuccess!\n") != std::string::npos);
    EXPECT_EQ(std::string::npos, out.find("BIT[3]"));
    EXPECT_EQ(220, left.startX);
    EXPECT_EQ(320, left.startY);
    EXPECT_FALSE(left.dir);
    EXPECT_EQ(205, left.sprite.x);  // mirrored anchor: 20 - 5
    EXPECT_EQ(316, left.sprite.y);
    EXPECT_EQ(7, left.startTime);
    EXPECT_FLOAT_EQ(3.0f, left.sprite.speed);

    fighter.dir = true;
    particle right;
    spawn(right, "ball 80 80", &fighter);
    EXPECT_EQ(380, right.startX);
    EXPECT_EQ(375, right.sprite.x);

    particle alone;
    spawn(alone, "ball", nullptr);
    EXPECT_TRUE(alone.dir);
    EXPECT_EQ(0, alone.startX);
    EXPECT_EQ(0, alone.startY);
}

TEST_F(Particle, SpawnsRelativeToAParentDownward) {
    CSprite parent;
    parent.x = 100;
    parent.y = 200;
    particle right, left;
    spawnD(right, "ball 10 20", true, &parent);
    spawnD(left, "ball 10 20", false, &parent);
    EXPECT_EQ(110, right.startX);
    EXPECT_EQ(220, right.startY);
    EXPECT_EQ(90, left.startX);
    EXPECT_EQ(220, left.startY);
    EXPECT_EQ(nullptr, left.parent);
    EXPECT_EQ(75, left.sprite.x);  // mirrored anchor: 20 - 5
}

TEST_F(Particle, AnUnknownNameIsNeverUsed) {
    particle p;
    std::string out = spawn(p, "nothing 5 5", nullptr);
    EXPECT_TRUE(out.find("not success\n") != std::string::npos);
    EXPECT_TRUE(p.dead);
    EXPECT_EQ(nullptr, p.info);
    EXPECT_EQ(nullptr, p.sprite.bgSave);
    p.update();
    EXPECT_EQ(0, p.getPartNum("OnDeath"));
}

TEST_F(Particle, LivesUntilOneTickAfterItsLifeTime) {
    particle p, quiet, bare, endless;
    spawn(p, "ball 100 0", nullptr, 1000);
    spawn(quiet, "quiet 100 0", nullptr, 1000);
    spawn(bare, "bare 100 0", nullptr, 1000);
    spawn(endless, "slow 100 0", nullptr, 1000);
    clockSet(1500);
    p.update();
    EXPECT_FALSE(p.dead);
    EXPECT_EQ(95 + 3, p.sprite.x);  // one step of 3 to the right
    clockSet(1501);
    for (particle* each : {&p, &quiet, &bare, &endless}) each->update();
    EXPECT_TRUE(p.dead);
    EXPECT_EQ("OnDeath", p.event);
    EXPECT_TRUE(quiet.dead);
    EXPECT_EQ("NULL", quiet.event);  // first entry "NULL": no event
    EXPECT_TRUE(bare.dead);
    EXPECT_EQ("NULL", bare.event);
    clockSet(1000000);
    endless.update();
    EXPECT_FALSE(endless.dead);
}

TEST_F(Particle, DyingOfAgeWipesItsImage) {
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0x000080);
    particle p;
    spawn(p, "ball 100 100", nullptr, 0);
    p.sprite.updateBG();
    p.sprite.drawD(true);
    ASSERT_EQ(0xff8800u, pixelAt(screen, 96, 97) & 0xffffff);
    clockSet(501);
    p.update();
    EXPECT_TRUE(p.dead);
    EXPECT_EQ(0x000080u, pixelAt(screen, 96, 97) & 0xffffff);
}

TEST_F(Particle, LeavesThePlayfieldPastEightyPixels) {
    particle right, left;
    spawn(right, "slow 0 0", nullptr);
    spawnD(left, "slow 0 0", false, nullptr);
    right.sprite.x = 879;
    left.sprite.x = -79;
    right.update();
    left.update();
    EXPECT_EQ(880, right.sprite.x);
    EXPECT_EQ(-80, left.sprite.x);
    EXPECT_FALSE(right.dead || left.dead);
    right.update();
    left.update();
    EXPECT_TRUE(right.dead && left.dead);
    EXPECT_EQ("NULL", right.event);
}

TEST_F(Particle, FallsTwoPixelsAStepAndLandsOnTheFloor) {
    particle p;
    spawn(p, "faller 0 0", nullptr);
    p.sprite.y = 529 - 12;
    p.update();
    EXPECT_EQ(531 - 12, p.sprite.y);
    p.update();
    EXPECT_EQ(kGroundLevel - 12, p.sprite.y);
    p.gravity();
    EXPECT_EQ(kGroundLevel - 12, p.sprite.y);
    particle level;
    spawn(level, "slow 0 0", nullptr);
    level.sprite.y = 100;
    level.update();
    EXPECT_EQ(100, level.sprite.y);  // no gravity
}

TEST_F(Particle, ReadsItsEventLists) {
    particle p;
    spawn(p, "ball 0 0", nullptr);
    EXPECT_EQ(2, p.getPartNum("OnDeath"));
    EXPECT_EQ(1, p.getPartNum("OnHitEnemy"));
    EXPECT_EQ(0, p.getPartNum("OnHitPlayer"));
    EXPECT_EQ(0, p.getPartNum("onDeath"));
    startCapture();
    EXPECT_EQ("NULL", p.getNewPart("OnDeath", 1));
    EXPECT_EQ("ball 1 1", p.getNewPart("OnHitEnemy", 0));
    EXPECT_EQ("in here bad boy spark 1 1\n", stopCapture());
}

TEST_F(Particle, AFramelessDefinitionLivesButIsNeverDrawn) {
    particle p;
    spawn(p, "ghost 40 50", nullptr, 0);
    EXPECT_FALSE(p.canDraw());
    EXPECT_EQ(nullptr, p.sprite.base);
    EXPECT_EQ(40, p.sprite.x);
    p.update();
    EXPECT_EQ(40, p.sprite.x);
    clockSet(501);
    p.update();
    EXPECT_TRUE(p.dead);
}
