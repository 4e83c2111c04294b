// The particle list: adding, stepping, launching death particles, removal,
// the drawing phases and memory over many launches.
#include <gtest/gtest.h>

#include <malloc.h>

#include <functional>

#include "particles/partInfoList.h"
#include "particles/particleList.h"
#include "sprites/clock.h"
#include "testSupport.h"

namespace {
const Uint32 kBackground = 0x000080;

// One 20x10 frame, anchor (5, 4), collision box (2, 2)-(8, 8), step `moveX`.
std::string frames(int moveX) {
    return "FILES: 1\nf.bmp 40 -1 0 0\n5 4\n2 2 8 8\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n" + std::to_string(moveX) +
           " 0\n0\nNULL\n";
}

std::string settings(int life, const std::string& deathEntries, int deathCount) {
    return "0\n" + std::to_string(life) + "\n0\n0\n0\n" + std::to_string(deathCount) + "\n" + deathEntries +
           "0\n0\n0\n0\n";
}

// A 20x10 bitmap, red on the left half and green on the right.
void writeTwoTone(const std::string& path) { writeBmp(path, 20, 10, 0x00ff00, 10, 0xff0000); }

class ParticleList : public ::testing::Test {
protected:
    partInfoList defs;
    particleList list;

    void SetUp() override {
        std::string dir = makeTempDir("plist");
        std::string root = dir + "/data/particle/";
        writeFile(root + "default", "PARTS: 7\nburst\nspark\nbare\ntwotone\nghost\nbreeder\nmortal\n");
        struct { const char* name; int moveX; std::string settings; Uint32 colour; } kinds[] = {
            {"burst", 0, settings(100, "spark 5 5\nbare 0 0\n", 2), 0xff8800},
            {"spark", 3, settings(0, "", 0), 0xffff00},
            {"bare", 0, settings(0, "", 0), 0x808080},
            {"twotone", 0, settings(0, "", 0), 0},
            {"ghost", 0, settings(0, "", 0), 0},
            {"breeder", 0, settings(10, "breeder 0 0\nbreeder 0 0\n", 2), 0x00ff00},
            {"mortal", 0, settings(50, "", 0), 0},
        };
        for (const auto& kind : kinds) {
            writeFile(root + kind.name + "/particle", kind.settings);
            if (std::string(kind.name) == "ghost" || std::string(kind.name) == "mortal") continue;  // no frames
            writeFile(root + kind.name + "/info", frames(kind.moveX));
            if (kind.colour)
                writeBmp(root + kind.name + "/f.bmp", 20, 10, kind.colour);
            else
                writeTwoTone(root + kind.name + "/f.bmp");
        }
        loadParticleList(defs, dir);
        fillSurface(testScreen(), kBackground);
    }

    void add(const std::string& spec, bool dir = true) {
        list.addParticleD(spec, dir, nullptr, &defs, testScreen(), static_cast<int>(clockTicks()));
    }
    std::string step() {
        startCapture();
        list.update();
        return stopCapture();
    }
    // One scene update of the list: restore, save, draw.
    void drawScene() {
        list.clearBG();
        list.updateBG();
        list.draw();
    }
    Uint32 pixel(int x, int y) { return pixelAt(testScreen(), x, y) & 0xffffff; }
    const particleInfo* def(const std::string& name) {
        for (partInfoNode* node = defs.head; node; node = node->next)
            if (node->name == name) return &node->info;
        return nullptr;
    }
    particle* at(int index) {
        partNode* node = list.head;
        for (int i = 0; i < index && node; ++i) node = node->next;
        return node ? node->part : nullptr;
    }
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}
}  // namespace

TEST_F(ParticleList, AddsAtTheFrontAndDropsUnknownSpawns) {
    startCapture();
    list.update();
    list.removeDead();
    drawScene();
    list.debug();
    EXPECT_EQ("", stopCapture());

    startCapture();
    list.addParticle("spark 10 10", nullptr, nullptr, &defs, testScreen(), 1);
    std::string first = stopCapture();
    EXPECT_EQ(0u, first.find("\n\nAdding particle\nBIT[0]: spark\n"));
    EXPECT_TRUE(has(first, "success!\nparticle added\n"));
    startCapture();
    add("bare 10 10");
    add("nothing 10 10");
    std::string more = stopCapture();
    EXPECT_TRUE(has(more, "adding another particle\nBIT[0]: bare\n"));
    EXPECT_TRUE(has(more, "not success\n"));
    EXPECT_FALSE(has(more, "particle added"));
    ASSERT_EQ(2, list.size());  // the unknown spawn is dropped
    EXPECT_EQ(def("bare"), at(0)->info);
    EXPECT_EQ(def("spark"), at(1)->info);
}

TEST_F(ParticleList, ADeathLaunchesItsEntriesAtTheFront) {
    add("spark 300 300");
    add("burst 100 100");
    add("bare 500 500");
    clockSet(101);
    std::string out = step();
    EXPECT_TRUE(has(out, "pNum 2\nin here bad boy spark 5 5\nstr: spark 5 5\n"));
    EXPECT_TRUE(has(out, "in here bad boy spark 5 5\nstr: bare 0 0\n"));
    EXPECT_TRUE(has(out, "\n\nKilling a body bit\n"));
    EXPECT_FALSE(has(out, "Killing the head particle"));
    ASSERT_EQ(4, list.size());
    // Newest first: the second entry, the first entry, then the survivors.
    EXPECT_EQ(def("bare"), at(0)->info);
    particle* spark = at(1);
    EXPECT_EQ(def("spark"), spark->info);
    EXPECT_EQ(100, spark->startX);  // parent sprite (95, 96) plus (5, 5)
    EXPECT_EQ(101, spark->startY);
    EXPECT_EQ(101, spark->startTime);
    EXPECT_EQ(95, spark->sprite.x);  // placed, not yet stepped
    EXPECT_EQ(500, at(2)->startX);
    EXPECT_EQ(300, at(3)->startX);
    step();
    EXPECT_EQ(98, spark->sprite.x);
}

TEST_F(ParticleList, RemovesTheDeadFromTheHeadAndLaunchesEachEventOnce) {
    add("burst 100 100");
    add("burst 200 200");
    add("spark 883 0");
    add("spark 883 0");
    clockSet(101);
    std::string out = step();
    EXPECT_EQ(2, count(out, "pNum 2\n"));
    EXPECT_EQ(2, count(out, "pNum"));
    EXPECT_EQ(4, count(out, "\n\nKilling a body bit\n"));
    EXPECT_EQ(0, count(out, "Killing the head particle"));  // launches went in front
    EXPECT_EQ(4, list.size());  // two launches each; the sparks flew off

    particleList lone;
    lone.addParticleD("spark 883 0", true, nullptr, &defs, testScreen(), 0);
    startCapture();
    lone.update();
    lone.update();
    std::string gone = stopCapture();
    EXPECT_EQ("\n\nKilling the head particle\n", gone);
    EXPECT_EQ(0, lone.size());
}

TEST_F(ParticleList, DrawsRestoresAndBoxesByPhase) {
    add("spark 100 100");
    drawScene();
    EXPECT_EQ(0xffff00u, pixel(95, 96));
    step();
    drawScene();
    EXPECT_EQ(kBackground, pixel(95, 96));  // the old place is restored
    EXPECT_EQ(0xffff00u, pixel(98, 96));
    list.debug();
    EXPECT_EQ(0xff0000u, pixel(98 + 3, 96 + 3));

    add("twotone 300 100", false);
    add("twotone 400 100", true);
    add("ghost 600 100");
    drawScene();
    int mirroredLeft = 300 - (20 - 5);
    EXPECT_EQ(0x00ff00u, pixel(mirroredLeft + 1, 100));
    EXPECT_EQ(0xff0000u, pixel(mirroredLeft + 18, 100));
    EXPECT_EQ(0xff0000u, pixel(400 - 5 + 1, 100));
    EXPECT_EQ(kBackground, pixel(600, 100));  // frameless: never drawn
}

TEST_F(ParticleList, OlderParticlesAreDrawnOverNewerOnes) {
    add("burst 100 100");
    add("spark 100 100");
    drawScene();
    EXPECT_EQ(0xff8800u, pixel(100, 100));
}

TEST_F(ParticleList, ThousandsOfParticlesLeaveNoMemoryBehind) {
    startCapture();
    auto cycle = [&](int times) {
        for (int i = 0; i < times; ++i) {
            add("bare 900 100");
            list.update();
        }
    };
    cycle(200);
    size_t before = mallinfo2().uordblks;
    cycle(5000);
    size_t after = mallinfo2().uordblks;
    stopCapture();
    EXPECT_EQ(0, list.size());
    EXPECT_LT(after, before + 64 * 1024) << "grew by " << (after - before) << " bytes";
}

TEST_F(ParticleList, SelfLaunchingDeathListsStopAtTheLiveLimit) {
    add("breeder 100 100");
    std::string out;
    for (int life = 0; life < 14; ++life) {
        clockAdvance(11);
        out += step();
    }
    // Doubling every life time would reach 16384; the list holds 1024 at most.
    EXPECT_LE(list.size(), 1024);
    EXPECT_GE(list.size(), 512);
    EXPECT_TRUE(has(out, "1024 particles live: \"breeder 0 0\" and further launches are dropped"));
}

// The list keeps its count as it links and unlinks; it must always be the
// number of nodes a walk finds.
TEST_F(ParticleList, SizeIsTheNodeCountThroughLaunchesDeathsDropsAndClear) {
    auto walked = [&] {
        int n = 0;
        for (partNode* node = list.head; node; node = node->next) ++n;
        return n;
    };
    struct change {
        const char* what;
        std::function<void()> apply;
        int size;
    };
    const change changes[] = {
        {"an empty list", [] {}, 0},
        {"a launch", [&] { add("spark 100 100"); }, 1},
        {"unknown and frameless ageless launches are dropped", [&] { add("nothing 0 0"); add("ghost 0 0"); }, 1},
        {"two more, one off the screen", [&] { add("burst 100 100"); add("bare 900 100"); }, 3},
        {"the head flies off", [&] { step(); }, 2},
        {"a death launches two", [&] { clockAdvance(101); step(); }, 3},
        {"a body bit flies off", [&] { add("spark 883 0"); add("mortal 0 0"); step(); step(); }, 4},
        {"clear", [&] { list.clear(); }, 0},
        {"breeding up to the cap",
         [&] {
             add("breeder 100 100");
             for (int life = 0; life < 14; ++life) {
                 clockAdvance(11);
                 step();
             }
         },
         -1},
        {"clear at the cap", [&] { list.clear(); }, 0},
    };
    for (const change& c : changes) {
        c.apply();
        EXPECT_EQ(walked(), list.size()) << c.what;
        if (c.size >= 0) {
            EXPECT_EQ(c.size, list.size()) << c.what;
        }
    }
    EXPECT_EQ(0, list.size());
}

TEST_F(ParticleList, FramelessParticlesThatNeverAgeAreNotKept) {
    startCapture();
    for (int i = 0; i < 100; ++i) add("ghost 0 0");
    add("mortal 0 0");
    stopCapture();
    EXPECT_EQ(1, list.size());  // the mortal one still lives, to die of age
    clockAdvance(51);
    step();
    EXPECT_EQ(0, list.size());
}
