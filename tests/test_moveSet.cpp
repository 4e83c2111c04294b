// The move set: reading the moveset file, name look-ups and move lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/moveSet.h"
#include "testSupport.h"

namespace {

// A one-frame set in `folder`, 8x8 pixels.
void writeFrames(const std::string& folder) {
    writeBmp(folder + "/f0.bmp", 8, 8, 0x3366cc);
    writeFile(folder + "/info",
              "FILES: 1\n"
              "f0.bmp 100 255 0 255\n4 8\n0 0 8 8\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n");
}

struct moveText {
    std::string name;
    std::string command;
    std::string condition = "null";
    std::string int1 = "7";
    std::string text1 = "first";
    std::string int2 = "-3";
    std::string flag1 = "1";
    std::string text2 = "second";
    std::string int3 = "42";
    std::string flag2 = "2";
    std::string flag3 = "1";
};

std::string block(const moveText& m, const std::string& eol = "\n") {
    return m.name + eol + m.command + eol + m.int1 + eol + m.text1 + eol + m.int2 + eol + m.flag1 + eol + m.text2 +
           eol + m.int3 + eol + m.flag2 + eol + m.flag3 + eol + m.condition + eol;
}

// A character folder with a moveset of `moves`, each with frames unless
// named in `noFrames`.
std::string character(const std::vector<moveText>& moves, const std::string& eol = "\n",
                      const std::vector<std::string>& noFrames = {}) {
    testScreen();
    std::string dir = makeTempDir("moves");
    std::string text = "ANIMS: " + std::to_string(moves.size()) + eol;
    for (const moveText& m : moves) {
        text += block(m, eol);
        bool skip = false;
        for (const std::string& n : noFrames) skip = skip || n == m.name;
        if (!skip && !m.name.empty()) writeFrames(dir + "/" + m.name);
    }
    writeFile(dir + "/moveset", text);
    return dir;
}

std::string load(moveSet& set, const std::string& dir) {
    startCapture();
    set.loadAll(dir.c_str(), gameLoading());
    return stopCapture();
}

bool has(const std::string& out, const std::string& line) { return out.find(line) != std::string::npos; }

// A loaded move's name, command and whether its first frame can be drawn.
void expectMove(const moveInfo& move, const std::string& name, const std::string& command, bool drawable) {
    EXPECT_EQ(move.name, name);
    EXPECT_EQ(move.command, command);
    EXPECT_EQ(move.animation.drawable(0), drawable) << name;
}

std::vector<std::string> names(moveNode* node) {
    std::vector<std::string> result;
    for (; node; node = node->next) result.push_back(node->move->name);
    return result;
}

void freeList(moveNode* node) {
    while (node) {
        moveNode* next = node->next;
        delete node;
        node = next;
    }
}

}  // namespace

// --- Parsing ---

TEST(MoveSetParsing, ReadsEveryFieldOfEveryMoveInFileOrder) {
    moveText kick{"kick", "DRB"};
    kick.condition = "  ground   =\ttrue";
    kick.int1 = "12 trailing words";
    kick.flag1 = "2";
    kick.flag2 = "1";
    kick.flag3 = "0";
    std::string dir = character({{"punch", "DRA"}, kick});
    moveSet set;
    std::string out = load(set, dir);

    ASSERT_EQ(set.count, 2);
    ASSERT_EQ(set.moves.size(), 2u);
    EXPECT_EQ(set.folder, dir);
    const moveInfo& p = set.moves[0];
    EXPECT_EQ(p.name, "punch");
    EXPECT_EQ(p.command, "DRA");
    EXPECT_EQ(p.reservedInt1, 7);
    EXPECT_EQ(p.reservedText1, "first");
    EXPECT_EQ(p.reservedInt2, -3);
    EXPECT_TRUE(p.reservedBool1);
    EXPECT_EQ(p.reservedText2, "second");
    EXPECT_EQ(p.reservedInt3, 42);
    EXPECT_FALSE(p.reservedBool2);  // 2 is not 1
    EXPECT_TRUE(p.reservedBool3);
    EXPECT_EQ(p.condition, "null");
    EXPECT_TRUE(p.animation.drawable(0));

    const moveInfo& k = set.moves[1];
    EXPECT_EQ(k.name, "kick");
    EXPECT_EQ(k.reservedInt1, 12);
    EXPECT_FALSE(k.reservedBool1);
    EXPECT_TRUE(k.reservedBool2);
    EXPECT_FALSE(k.reservedBool3);
    // The whole line, leading and inner blanks kept.
    EXPECT_EQ(k.condition, "  ground   =\ttrue");
    EXPECT_TRUE(k.animation.drawable(0));

    EXPECT_TRUE(has(out, "Lets Rock!: punch\nload folder " + dir + "/punch\n"));
    EXPECT_TRUE(has(out, "Loaded!\nCommand: DRA\n"));
    EXPECT_TRUE(has(out, "Condition: null\n"));
    EXPECT_TRUE(has(out, "Condition:   ground   =\ttrue\n"));
    EXPECT_LT(out.find("Lets Rock!: punch"), out.find("Lets Rock!: kick"));
}

// Name, command and condition keep the lines they were read from.
TEST(MoveSetParsing, RecordsTheLinesOfNameCommandAndCondition) {
    std::string dir = character({{"punch", "DRA"}, {"kick", "DRB"}});
    moveSet set;
    load(set, dir);
    ASSERT_EQ(2u, set.moves.size());
    const struct {
        int name, command, condition;
    } expected[] = {{2, 3, 12}, {13, 14, 23}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(expected[i].name, set.moves[i].line) << i;
        EXPECT_EQ(expected[i].command, set.moves[i].commandLine) << i;
        EXPECT_EQ(expected[i].condition, set.moves[i].conditionLine) << i;
    }
}

TEST(MoveSetParsing, NameLineKeepsOnlyItsFirstWordForNameAndFolder) {
    std::string dir = character({{"uppercut", "DA"}});
    std::string text = readFile(dir + "/moveset");
    text.replace(text.find("uppercut\n"), 9, "uppercut with notes\n");
    writeFile(dir + "/moveset", text);
    moveSet set;
    std::string out = load(set, dir);
    ASSERT_EQ(set.count, 1);
    EXPECT_EQ(set.moves[0].name, "uppercut");
    EXPECT_TRUE(has(out, "load folder " + dir + "/uppercut\n"));
    EXPECT_TRUE(set.moves[0].animation.drawable(0));
}

TEST(MoveSetParsing, CrlfFileLoadsLikeLfFile) {
    moveText a{"punch", "DRA"};
    moveText b{"kick", "RB"};
    b.condition = " ground = false ";
    moveSet lf, crlf;
    load(lf, character({a, b}, "\n"));
    load(crlf, character({a, b}, "\r\n"));
    ASSERT_EQ(lf.count, 2);
    ASSERT_EQ(crlf.count, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lf.moves[i].name, crlf.moves[i].name);
        EXPECT_EQ(lf.moves[i].command, crlf.moves[i].command);
        EXPECT_EQ(lf.moves[i].condition, crlf.moves[i].condition);
        EXPECT_EQ(lf.moves[i].reservedText2, crlf.moves[i].reservedText2);
        EXPECT_EQ(lf.moves[i].reservedBool3, crlf.moves[i].reservedBool3);
        EXPECT_TRUE(crlf.moves[i].animation.drawable(0));
    }
    EXPECT_EQ(crlf.moves[0].condition, "null");
    EXPECT_EQ(crlf.moves[1].condition, " ground = false ");
}

TEST(MoveSetParsing, HeaderAcceptsAnyBlankRunAfterTheLabel) {
    std::string dir = character({{"punch", "A"}});
    std::string text = readFile(dir + "/moveset");
    writeFile(dir + "/moveset", "ANIMS:1" + text.substr(text.find('\n')));
    moveSet set;
    load(set, dir);
    EXPECT_EQ(set.count, 1);
}

TEST(MoveSetParsing, OverLongLineIsReadInPiecesShiftingLaterFields) {
    std::string dir = character({{"punch", "DRA"}, {"kick", "RB"}});
    std::string text = readFile(dir + "/moveset");
    // The first condition runs to 254 + 13 characters: its rest becomes the
    // next read, the second move's name line.
    std::string longCondition = std::string(254, 'x') + "restof line";
    text.replace(text.find("null\n"), 4, longCondition);
    writeFile(dir + "/moveset", text);
    moveSet set;
    std::string out = load(set, dir);
    ASSERT_EQ(set.count, 2);
    EXPECT_EQ(set.moves[0].condition, std::string(254, 'x'));
    expectMove(set.moves[1], "restof", "kick", false);  // shifted by one line
    EXPECT_TRUE(has(out, dir + "/moveset:12: line longer than 254 characters"));
}

// --- Bad counts and short files ---

TEST(MoveSetCounts, CountZeroGivesAnEmptySetAndEmptyLists) {
    std::string dir = makeTempDir("moves");
    writeFile(dir + "/moveset", "ANIMS: 0\npunch\nDRA\n");
    moveSet set;
    std::string out = load(set, dir);
    EXPECT_EQ(set.count, 0);
    EXPECT_TRUE(set.moves.empty());
    EXPECT_FALSE(has(out, "Lets Rock!"));
    startCapture();
    EXPECT_EQ(set.returnMoveList("A"), nullptr);
    EXPECT_EQ(set.returnMoveList("B"), nullptr);
    EXPECT_EQ(set.returnMoveList("C"), nullptr);
    EXPECT_EQ(stopCapture(),
              "lets make a list, total is : 0\n"
              "lets make a list, total is : 0\n"
              "lets make a list, total is : 0\n");
}

TEST(MoveSetCounts, MissingFileReportsItsPathAndLeavesTheSetEmpty) {
    std::string dir = makeTempDir("moves");
    moveSet set;
    std::string out = load(set, dir);
    EXPECT_EQ(out, "ERROR opening file " + dir + "/moveset\n\n");
    EXPECT_EQ(set.count, 0);
    EXPECT_TRUE(set.moves.empty());
}

TEST(MoveSetCounts, NegativeOrUnreadableCountMeansNoMoves) {
    for (const char* header : {"ANIMS: -4\n", "ANIMS: many\n", "MOVES: 1\n", ""}) {
        std::string dir = character({{"punch", "A"}});
        std::string text = readFile(dir + "/moveset");
        writeFile(dir + "/moveset", header + text.substr(text.find('\n') + 1));
        moveSet set;
        std::string out = load(set, dir);
        EXPECT_EQ(set.count, 0) << header;
        EXPECT_TRUE(set.moves.empty()) << header;
        EXPECT_FALSE(has(out, "Lets Rock!")) << header;
        EXPECT_TRUE(has(out, dir + "/moveset:1: ")) << header;
    }
}

TEST(MoveSetCounts, CountBeyondTheFileLoadsOnlyTheWholeBlocks) {
    std::string dir = character({{"punch", "DRA"}, {"kick", "RB"}});
    std::string text = readFile(dir + "/moveset");
    // An absurd count, and a third block cut off after four lines.
    writeFile(dir + "/moveset", "ANIMS: 2147483647" + text.substr(text.find('\n')) + "spin\nUC\n1\nx\n");
    moveSet set;
    std::string out = load(set, dir);
    EXPECT_EQ(set.count, 2);
    EXPECT_EQ(set.moves.size(), 2u);
    EXPECT_EQ(set.moves[1].name, "kick");
    EXPECT_TRUE(has(out, dir + "/moveset:1: announces 2147483647 moves but holds only 2"));
    EXPECT_FALSE(has(out, "Lets Rock!: spin"));
}

// --- Over-long words and paths ---

TEST(MoveSetLimits, NameOfEightyCharactersIsRejectedAndItsFolderNotRead) {
    std::string longName(80, 'n');
    std::string dir = character({{longName, "DRA"}, {"kick", "RB"}}, "\n", {longName});
    moveSet set;
    std::string out = load(set, dir);
    ASSERT_EQ(set.count, 2);
    expectMove(set.moves[0], "", "", false);  // in no list: it can never start
    EXPECT_FALSE(has(out, "load folder " + dir + "/n"));
    EXPECT_TRUE(has(out, dir + "/moveset:2: move name longer than 79 characters"));
    EXPECT_EQ(set.moves[1].name, "kick");
    EXPECT_TRUE(set.moves[1].animation.drawable(0));
}

TEST(MoveSetLimits, NameOfSeventyNineCharactersIsKept) {
    std::string name(79, 'n');
    std::string dir = character({{name, "DRA"}});
    moveSet set;
    load(set, dir);
    ASSERT_EQ(set.count, 1);
    expectMove(set.moves[0], name, "DRA", true);
}

TEST(MoveSetLimits, OverLongCommandOrTextLeavesTheMoveOutOfEveryList) {
    moveText longCommand{"punch", std::string(80, 'R') + "A"};
    moveText longText{"kick", "RA"};
    longText.text2 = std::string(120, 't');
    std::string dir = character({longCommand, longText, {"jab", "A"}});
    moveSet set;
    std::string out = load(set, dir);
    ASSERT_EQ(set.count, 3);
    EXPECT_EQ(set.moves[0].command, "");
    EXPECT_EQ(set.moves[1].command, "");
    EXPECT_EQ(set.moves[1].reservedText2, "");
    EXPECT_TRUE(has(out, dir + "/moveset:3: move command longer than 79 characters"));
    EXPECT_TRUE(has(out, dir + "/moveset:19: move text longer than 79 characters"));
    startCapture();
    moveNode* list = set.returnMoveList("A");
    stopCapture();
    EXPECT_EQ(names(list), std::vector<std::string>{"jab"});
    freeList(list);
}

TEST(MoveSetLimits, FramePathOverTheLimitIsRejected) {
    std::string base = makeTempDir("moves");
    std::string dir = base + "/" + std::string(200, 'd');
    std::string name(60, 'm');
    writeFile(dir + "/moveset", "ANIMS: 1\n" + block({name, "DRA"}));
    moveSet set;
    std::string out = load(set, dir);
    ASSERT_EQ(set.count, 1);
    expectMove(set.moves[0], "", "", false);
    EXPECT_TRUE(has(out, dir + "/moveset:2: path longer than 255 characters"));
    EXPECT_FALSE(has(out, "load folder"));
}

TEST(MoveSetLimits, MovesetPathOverTheLimitLeavesTheSetEmpty) {
    std::string dir = makeTempDir("moves") + "/" + std::string(250, 'd');
    moveSet set;
    std::string out = load(set, dir);
    EXPECT_EQ(set.count, 0);
    EXPECT_TRUE(has(out, "path longer than 255 characters"));
    EXPECT_FALSE(has(out, "ERROR opening file"));
}

TEST(MoveSetLimits, MissingFrameFolderKeepsTheMoveInPlaceButUndrawable) {
    std::string dir = character({{"ghost", "DRA"}, {"punch", "RA"}}, "\n", {"ghost"});
    moveSet set;
    std::string out = load(set, dir);
    ASSERT_EQ(set.count, 2);
    expectMove(set.moves[0], "ghost", "DRA", false);
    EXPECT_TRUE(has(out, "ERROR opening file " + dir + "/ghost/info\n\n"));
    EXPECT_TRUE(set.moves[1].animation.drawable(0));
}

// --- Look-ups by name ---

TEST(MoveSetLookup, FindsTheFirstMoveOfAName) {
    std::string dir = character({{"punch", "A"}, {"kick", "B"}, {"kick", "C"}});
    moveSet set;
    load(set, dir);
    EXPECT_EQ(set.find("kick"), 1);
    EXPECT_EQ(set.returnMove("kick"), &set.moves[1]);
    EXPECT_EQ(set.returnAnimation("kick"), &set.moves[1].animation);
    // The record and its frame set share one address.
    EXPECT_EQ(static_cast<void*>(set.returnMove("kick")), static_cast<void*>(set.returnAnimation("kick")));
}

TEST(MoveSetLookup, MissFallsBackToTheFirstMove) {
    std::string dir = character({{"punch", "A"}, {"kick", "B"}});
    moveSet set;
    load(set, dir);
    EXPECT_EQ(set.find("Kick"), 0);  // case-sensitive
    EXPECT_EQ(set.find("kic"), 0);   // whole names only
    EXPECT_EQ(set.returnMove("nothing"), &set.moves[0]);
    EXPECT_EQ(set.returnAnimation("nothing"), &set.moves[0].animation);
}

TEST(MoveSetLookup, EmptySetAnswersNothing) {
    moveSet never;
    EXPECT_EQ(never.find("punch"), -1);
    EXPECT_EQ(never.returnMove("punch"), nullptr);
    EXPECT_EQ(never.returnAnimation("punch"), nullptr);
    std::string dir = makeTempDir("moves");
    writeFile(dir + "/moveset", "ANIMS: 0\n");
    moveSet empty;
    load(empty, dir);
    EXPECT_EQ(empty.find(""), -1);
    EXPECT_EQ(empty.returnMove(""), nullptr);
}

// --- Move lists ---

TEST(MoveSetLists, ListHoldsMovesEndingWithTheKeyInFileOrder) {
    std::string dir =
        character({{"fireball", "DRA"}, {"kick", "DRB"}, {"jab", "A"}, {"hop", "DU"}, {"sweep", "LLC"}, {"palm", "RA"}});
    moveSet set;
    load(set, dir);
    startCapture();
    moveNode* a = set.returnMoveList("A");
    moveNode* b = set.returnMoveList("B");
    moveNode* c = set.returnMoveList("C");
    moveNode* d = set.returnMoveList("U");
    stopCapture();
    EXPECT_EQ(names(a), (std::vector<std::string>{"fireball", "jab", "palm"}));
    EXPECT_EQ(names(b), std::vector<std::string>{"kick"});
    EXPECT_EQ(names(c), std::vector<std::string>{"sweep"});
    // A direction-ending command is never in a button list; only a list for
    // that very letter would hold it.
    EXPECT_EQ(names(d), std::vector<std::string>{"hop"});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->move, &set.moves[0]);
    EXPECT_EQ(a->next->move, &set.moves[2]);
    for (moveNode* list : {a, b, c, d}) freeList(list);
}

TEST(MoveSetLists, ListUsesOnlyTheKeysFirstLetter) {
    std::string dir = character({{"jab", "A"}, {"kick", "B"}});
    moveSet set;
    load(set, dir);
    startCapture();
    moveNode* list = set.returnMoveList("BA");
    moveNode* none = set.returnMoveList("");
    stopCapture();
    EXPECT_EQ(names(list), std::vector<std::string>{"kick"});
    EXPECT_EQ(none, nullptr);
    freeList(list);
}

TEST(MoveSetLists, PrintsTheBuildingOfTheList) {
    std::string dir = character({{"fireball", "DRA"}, {"kick", "DRB"}, {"jab", "A"}});
    moveSet set;
    load(set, dir);
    startCapture();
    moveNode* list = set.returnMoveList("A");
    std::string out = stopCapture();
    EXPECT_EQ(out,
              "lets make a list, total is : 3\n"
              "check move fireball DRA\n"
              "A based Attack\n"
              "head added\n"
              "fireball DRA\n"
              "check move kick DRB\n"
              "check move jab A\n"
              "A based Attack\n"
              "new tailbit added\n");
    freeList(list);
}
