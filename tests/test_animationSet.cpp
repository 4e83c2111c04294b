// The character's animation list and look-ups by name.
#include <gtest/gtest.h>

#include "data/animationSet.h"
#include "testSupport.h"

namespace {
std::string frameSetInfo() {
    return "FILES: 1\nf.bmp 40 255 0 255\n4 8\n0 0 8 8\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n";
}

// A character folder with the given list text and one frame folder per name.
std::string character(const std::string& list, const std::vector<std::string>& folders) {
    testScreen();
    std::string dir = makeTempDir("char");
    writeFile(dir + "/info", list);
    for (const std::string& name : folders) {
        writeFile(dir + "/" + name + "/info", frameSetInfo());
        writeBmp(dir + "/" + name + "/f.bmp", 8, 8, 0x336699);
    }
    return dir;
}
}  // namespace

TEST(AnimationSet, LoadsEveryNameInOrderAndPrintsProgress) {
    std::string dir = character("ANIMS: 3\nstanding\n  walk more words\nWalk\n", {"standing", "walk", "Walk"});
    animationSet set;
    startCapture();
    EXPECT_EQ(1, set.loadAll(dir.c_str(), gameLoading()));
    std::string out = stopCapture();
    ASSERT_EQ(3, set.count);
    EXPECT_EQ("walk", set.anims[1].name);
    EXPECT_EQ(1, set.anims[1].frameSet.numFrames);
    EXPECT_NE(std::string::npos, out.find("holy diver: standing\nload folder " + dir + "/standing\nloading\n"));
    EXPECT_NE(std::string::npos, out.find("let me guess\nACTION COMMANDO\nholy diver: walk\n"));

    // Look-ups: exact, case-sensitive, the first animation for unknown names.
    EXPECT_EQ(&set.anims[1].frameSet, set.returnAnimation("walk"));
    EXPECT_EQ(&set.anims[2].frameSet, set.returnAnimation("Walk"));
    EXPECT_EQ(&set.anims[0].frameSet, set.returnAnimation("WALK"));
    EXPECT_EQ(&set.anims[0].frameSet, set.returnAnimation("run"));
    EXPECT_EQ(2, set.find("Walk"));
    EXPECT_EQ(0, set.find("nothing"));
}

TEST(AnimationSet, DuplicateNamesGiveTheFirst) {
    std::string dir = character("ANIMS: 2\nduck\nduck\n", {"duck"});
    animationSet set;
    startCapture();
    set.loadAll(dir.c_str(), gameLoading());
    stopCapture();
    EXPECT_EQ(&set.anims[0].frameSet, set.returnAnimation("duck"));
}

TEST(AnimationSetBadInput, MissingListLeavesAnEmptySetThatNothingDrawsFrom) {
    testScreen();
    std::string dir = makeTempDir("nochar");
    animationSet set;
    startCapture();
    EXPECT_EQ(1, set.loadAll(dir.c_str(), gameLoading()));
    std::string out = stopCapture();
    EXPECT_EQ("ERROR opening file " + dir + "/info\n\n", out);
    EXPECT_EQ(0, set.count);
    EXPECT_EQ(nullptr, set.returnAnimation("walk"));
}

TEST(AnimationSetBadInput, BadCountsBlankNamesAndMissingFolders) {
    struct caseSpec {
        std::string list;
        int count;
        bool reported;
    };
    const caseSpec cases[] = {
        {"ANIMS: -2\nwalk\n", 0, true},
        {"ANIMS: x\nwalk\n", 0, true},
        {"ANIMS: 2000000000\nwalk\nduck\n", 2, true},
        {"ANIMS: 3\nwalk\n\nghost\n", 3, true},
        {"ANIMS: 1\n" + std::string(100, 'w') + "\n", 1, true},
        {"ANIMS: 2\nwalk\nduck\n", 2, false},
    };
    for (const caseSpec& c : cases) {
        std::string dir = character(c.list, {"walk", "duck"});
        animationSet set;
        startCapture();
        set.loadAll(dir.c_str(), gameLoading());
        std::string out = stopCapture();
        EXPECT_EQ(c.count, set.count) << c.list;
        EXPECT_EQ(c.count, static_cast<int>(set.anims.size())) << c.list;
        EXPECT_EQ(c.reported, out.find(dir + "/info:") != std::string::npos) << out;
    }
    // A name whose folder is missing keeps its record, unloaded and undrawable.
    std::string dir = character("ANIMS: 2\nwalk\nghost\n", {"walk"});
    animationSet set;
    startCapture();
    set.loadAll(dir.c_str(), gameLoading());
    std::string out = stopCapture();
    EXPECT_NE(std::string::npos, out.find("ERROR opening file " + dir + "/ghost/info\n\n"));
    EXPECT_EQ("ghost", set.anims[1].name);
    EXPECT_FALSE(set.returnAnimation("ghost")->drawable(0));
}
