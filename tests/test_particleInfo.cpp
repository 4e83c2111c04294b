// Particle definitions: the list file, the settings files and look-ups.
#include <gtest/gtest.h>

#include "particles/partInfoList.h"
#include "testSupport.h"

namespace {
const std::string kFrames =
    "FILES: 1\nf.bmp 40 -1 0 0\n4 4\n0 0 8 8\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n3 0\n0\nNULL\n";

// A game folder whose data/particle holds `list` as "default" and, for each
// named definition, its frames and the given settings text.
std::string particleFolder(const std::string& list, const std::vector<std::pair<std::string, std::string>>& defs) {
    testScreen();
    std::string dir = makeTempDir("parts");
    writeFile(dir + "/data/particle/default", list);
    for (const auto& def : defs) {
        std::string folder = dir + "/data/particle/" + def.first;
        writeFile(folder + "/info", kFrames);
        writeBmp(folder + "/f.bmp", 8, 8, 0xff8800);
        writeFile(folder + "/particle", def.second);
    }
    return dir;
}

std::string load(partInfoList& list, const std::string& dir, const char* name = "default", int* result = nullptr) {
    startCapture();
    inFolder(dir, [&] {
        int r = list.addList(name, testScreen(), gameLoading());
        if (result) *result = r;
    });
    return stopCapture();
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
}  // namespace

TEST(ParticleDefinitions, LoadNewestFirstWithEverySetting) {
    std::string dir = particleFolder(
        "PARTS: 3\r\nfire 7 extra words\r\nspark\r\nfire 9\r\n",
        {{"fire", "255\r\n1500\r\n1\r\n2\r\n1\r\n2\r\nspark 5 -5\r\nNULL\r\n0\r\n1\r\nfire 1 2\r\n0\r\n0\r\n"},
         {"spark", "0\n-5\n2\n0\n0\n0\n0\n0\n0\n0\n"}});
    partInfoList list;
    int result = 0;
    std::string out = load(list, dir, "default", &result);
    EXPECT_EQ(1, result);
    EXPECT_TRUE(has(out, "New Particle: fire 7 extra words\n\n\nAdding particle\nBIT[0]: data/particle/fire\n"
                         "BIT[1]: 7\nBIT[2]: extra\n"));
    EXPECT_FALSE(has(out, "BIT[3]"));
    EXPECT_TRUE(has(out, "New Particle: spark\nadding another particle\n"));

    ASSERT_NE(nullptr, list.head);
    EXPECT_EQ("fire", list.head->name);
    EXPECT_EQ("spark", list.head->next->name);
    EXPECT_EQ(0, list.head->next->info.listNumber);
    EXPECT_EQ(7, list.head->next->next->info.listNumber);

    startCapture();
    particleInfo* fire = list.findParticle("fire");
    EXPECT_EQ(nullptr, list.findParticle("Fire"));
    EXPECT_EQ("success!\nnot success\n", stopCapture());
    ASSERT_EQ(&list.head->info, fire);
    EXPECT_EQ(9, fire->listNumber);
    EXPECT_EQ(255, fire->alpha);
    EXPECT_EQ(1500, fire->lifeTime);
    EXPECT_TRUE(fire->gravity);
    EXPECT_FALSE(fire->extraFlag1);
    EXPECT_TRUE(fire->extraFlag2);
    EXPECT_EQ(2, fire->onDeathCount);
    EXPECT_EQ((std::vector<std::string>{"spark 5 -5", "NULL"}), fire->onDeath);
    EXPECT_EQ(0, fire->onHitPlayerCount);
    EXPECT_TRUE(fire->onHitPlayer.empty());
    EXPECT_EQ((std::vector<std::string>{"fire 1 2"}), fire->onHitEnemy);
    EXPECT_EQ(0, fire->onHitTargetCount);
    EXPECT_EQ(0, fire->onHitAllyCount);
    EXPECT_TRUE(fire->drawable());

    const particleInfo& spark = list.head->next->info;
    EXPECT_FALSE(spark.gravity);  // only 1 means gravity
    EXPECT_EQ(-5, spark.lifeTime);
    EXPECT_TRUE(spark.onDeath.empty());
}

TEST(ParticleDefinitions, EmptyAndMissingLists) {
    std::string dir = particleFolder("PARTS: 0\nfire\n", {});
    partInfoList list;
    int result = 0;
    load(list, dir, "default", &result);
    EXPECT_EQ(1, result);
    EXPECT_EQ(nullptr, list.head);
    std::string out = load(list, dir, "nolist", &result);
    EXPECT_EQ(-1, result);
    EXPECT_EQ("ERROR opening file data/particle/nolist\n\n", out);
}

TEST(ParticleDefinitions, MissingFilesLeaveASafeDefinition) {
    std::string dir = particleFolder("PARTS: 1\nghost 3\n", {});
    partInfoList list;
    std::string out = load(list, dir);
    EXPECT_TRUE(has(out, "ERROR opening file data/particle/ghost/particle\n\nFAIL PARTICLE\n"));
    ASSERT_NE(nullptr, list.head);
    const particleInfo& ghost = list.head->info;
    EXPECT_EQ("ghost", list.head->name);
    EXPECT_EQ(3, ghost.listNumber);
    EXPECT_EQ(0, ghost.lifeTime);
    EXPECT_FALSE(ghost.gravity);
    EXPECT_EQ(0, ghost.onDeathCount);
    EXPECT_TRUE(ghost.onDeath.empty());
    EXPECT_FALSE(ghost.drawable());
}

TEST(ParticleDefinitions, BadCountsAndLongNamesLoadWhatFits) {
    std::string longName(245, 'x');
    std::string dir = particleFolder("PARTS: 9\nfire\n" + longName + " 1\n",
                                     {{"fire", "0\n100\n0\n0\n0\n9\nspark\n-2\n0\n0\n"}});
    partInfoList list;
    std::string out = load(list, dir);
    EXPECT_TRUE(has(out, "data/particle/default:1: announces 9 particles but only 2 lines follow\n"));
    EXPECT_TRUE(has(out, "data/particle/default:3: path longer than 255 characters"));
    EXPECT_TRUE(has(out, "data/particle/fire/particle:6: OnDeath announces 9 entries but only 4 lines follow\n"));
    ASSERT_NE(nullptr, list.head);
    EXPECT_EQ(nullptr, list.head->next);  // the over-long record is left out
    const particleInfo& fire = list.head->info;
    EXPECT_EQ(100, fire.lifeTime);
    EXPECT_EQ((std::vector<std::string>{"spark", "-2", "0", "0"}), fire.onDeath);
    EXPECT_EQ(4, fire.onDeathCount);
    EXPECT_EQ(0, fire.onHitPlayerCount);
    EXPECT_EQ(0, fire.onHitAllyCount);
}

// Whether a definition's particles can be drawn is worked out at loading;
// loading the same definition again works it out anew.
TEST(ParticleDefinitions, DrawableFollowsEachLoadOfTheFrameSet) {
    std::string dir = particleFolder("PARTS: 0\n", {{"fire", "0\n100\n0\n0\n0\n0\n0\n0\n0\n0\n"}});
    writeFile(dir + "/data/particle/bare/particle", "0\n100\n0\n0\n0\n0\n0\n0\n0\n0\n");
    writeFile(dir + "/data/particle/broken/info", kFrames);  // its bitmap is missing
    writeFile(dir + "/data/particle/broken/particle", "0\n100\n0\n0\n0\n0\n0\n0\n0\n0\n");
    loadPolicy keepGoing = keepGoingPolicy();
    keepGoing.listener = [](const std::string&, int, const std::string&) {};
    const struct {
        const char* line;
        bool drawable;
    } loads[] = {{"data/particle/fire", true},
                 {"data/particle/bare", false},
                 {"data/particle/fire", true},
                 {"data/particle/broken", false},
                 {"data/particle/nowhere", false}};
    particleInfo info;
    for (const auto& l : loads) {
        startCapture();
        inFolder(dir, [&] { info.initS(l.line, testScreen(), keepGoing); });
        stopCapture();
        EXPECT_EQ(l.drawable, info.drawable()) << l.line;
        EXPECT_EQ(info.everyFrameDrawable(), info.drawable()) << l.line;
    }
}
