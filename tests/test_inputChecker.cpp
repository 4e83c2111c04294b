// The input checker: the buffer of key presses, its 600 ms age rule and the
// search of the button's move list.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "commands/Target.h"
#include "commands/inputChecker.h"
#include "fighter/Fighter.h"
#include "sprites/clock.h"
#include "testSupport.h"

namespace {

struct moveLine {
    std::string name;
    std::string command;
    std::string condition = "null";
    bool frames = true;  // false: no frame folder, the move can't be drawn
};

// A character folder with one frame per move, loaded into `set`.
void loadMoves(moveSet& set, const std::vector<moveLine>& moves) {
    testScreen();
    std::string dir = makeTempDir("checker");
    std::string text = "ANIMS: " + std::to_string(moves.size()) + "\n";
    for (const moveLine& m : moves) {
        text += m.name + "\n" + m.command + "\n0\nx\n0\n0\nx\n0\n0\n0\n" + m.condition + "\n";
        if (!m.frames) continue;
        writeBmp(dir + "/" + m.name + "/f0.bmp", 8, 8, 0xcc3300);
        writeFile(dir + "/" + m.name + "/info",
                  "FILES: 1\nf0.bmp 100\n4 8\n0 0 8 8\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n");
    }
    writeFile(dir + "/moveset", text);
    startCapture();
    set.loadAll(dir.c_str(), gameLoading());
    stopCapture();
}

// A loaded move set, a grounded fighter, and a checker over both.
struct bench {
    moveSet set;
    Fighter fighter;
    Target target;
    std::unique_ptr<inputChecker> checker;

    explicit bench(std::initializer_list<moveLine> moves) {
        loadMoves(set, std::vector<moveLine>(moves));
        fighter.grounded = true;
        fighter.action = "walk";
        target.setTarget(&fighter);
        startCapture();
        checker.reset(new inputChecker(&set, &fighter));
        stopCapture();
        checker->target = &target;
    }

    // Presses every letter of `keys` in the pass at `time`.
    void press(const std::string& keys, int time) {
        for (char key : keys) checker->acceptInput({time, key, fighter.action});
    }

    // One pass of the player control: the clock's time goes to update.
    moveInfo* pass(std::string* printed = nullptr) {
        startCapture();
        moveInfo* move = checker->update(static_cast<int>(clockTicks()));
        std::string out = stopCapture();
        if (printed) *printed = out;
        return move;
    }

    // The buffered letters, oldest first.
    std::string buffered() const {
        std::string keys;
        for (inputNode* node = checker->head; node; node = node->next) keys += node->key;
        return keys;
    }

    moveInfo* move(const std::string& name) { return set.returnMove(name); }
};

bool has(const std::string& out, const std::string& text) { return out.find(text) != std::string::npos; }

int occurrences(const std::string& out, const std::string& text) {
    int n = 0;
    for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) ++n;
    return n;
}

}  // namespace

// --- Building the checker ---

TEST(CheckerSetup, BuildsOneListPerButtonInFileOrder) {
    moveSet set;
    loadMoves(set, {{"fireball", "DRA"}, {"kick", "DRB"}, {"hop", "DU"}, {"jab", "A"}, {"sweep", "LC"}});
    Fighter fighter;
    startCapture();
    inputChecker checker(&set, &fighter);
    std::string out = stopCapture();
    EXPECT_EQ(out.find("Lets start this up\nA LIST TIME!!!\nlets make a list, total is : 5\n"), 0u);
    EXPECT_LT(out.find("A LIST TIME!!!"), out.find("B LIST TIME!!!"));
    EXPECT_LT(out.find("B LIST TIME!!!"), out.find("C LIST TIME!!!"));
    EXPECT_EQ(checker.head, nullptr);
    EXPECT_EQ(checker.inputCount, 0);
    EXPECT_EQ(checker.fighter, &fighter);
    ASSERT_NE(checker.aList, nullptr);
    EXPECT_EQ(checker.aList->move, &set.moves[0]);
    ASSERT_NE(checker.aList->next, nullptr);
    EXPECT_EQ(checker.aList->next->move, &set.moves[3]);
    EXPECT_EQ(checker.aList->next->next, nullptr);
    ASSERT_NE(checker.bList, nullptr);
    EXPECT_EQ(checker.bList->move, &set.moves[1]);
    ASSERT_NE(checker.cList, nullptr);
    EXPECT_EQ(checker.cList->move, &set.moves[4]);
}

TEST(CheckerSetup, PrintBListsTheMovesOfButtonB) {
    bench b({{"kick", "DRB"}, {"jab", "A"}, {"knee", "B"}});
    startCapture();
    b.checker->printB();
    EXPECT_EQ(stopCapture(), "====================\nB LIST\n====================\nMove: kick\nMove: knee\n");
}

TEST(CheckerSetup, EmptyMoveSetGivesEmptyListsAndFindsNothing) {
    bench b({});
    EXPECT_EQ(b.checker->aList, nullptr);
    EXPECT_EQ(b.checker->bList, nullptr);
    EXPECT_EQ(b.checker->cList, nullptr);
    clockSet(100);
    b.press("DRA", 100);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_EQ(out, "DELETING HAHAHAHA\nGot nothing\n");
    EXPECT_EQ(b.checker->inputCount, 0);
}

// --- The buffer ---

TEST(CheckerBuffer, UpdateOnAnEmptyBufferPrintsNothing) {
    bench b({{"jab", "A"}});
    clockSet(5000);
    std::string out = "unset";
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_EQ(out, "");
}

TEST(CheckerBuffer, PressesAreKeptOldestFirstWithTheirActions) {
    bench b({{"jab", "A"}});
    b.checker->acceptInput({100, 'D', "walk"});
    b.checker->acceptInput({140, 'R', "duck"});
    EXPECT_EQ(b.checker->inputCount, 2);
    EXPECT_EQ(b.buffered(), "DR");
    startCapture();
    b.checker->print();
    EXPECT_EQ(stopCapture(), "Printing\nInfo: D 100 walk\nInfo: R 140 duck\n");
}

TEST(CheckerBuffer, DirectionsWithoutAButtonWait) {
    bench b({{"fireball", "DRA"}});
    clockSet(1000);
    b.press("DR", 1000);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_EQ(out, "");
    EXPECT_EQ(b.buffered(), "DR");
    EXPECT_EQ(b.checker->inputCount, 2);
}

TEST(CheckerBuffer, DeleteListEmptiesTheBufferEvenWhenEmpty) {
    bench b({{"jab", "A"}});
    b.press("DDR", 10);
    startCapture();
    b.checker->deleteList();
    b.checker->deleteList();
    EXPECT_EQ(stopCapture(), "DELETING HAHAHAHA\nDELETING HAHAHAHA\n");
    EXPECT_EQ(b.checker->head, nullptr);
    EXPECT_EQ(b.checker->inputCount, 0);
}

// --- Age rule ---

TEST(CheckerAge, PressExactly600msOldStays) {
    bench b({{"fireball", "DRA"}});
    b.press("D", 0);
    b.press("R", 400);
    b.press("A", 600);
    clockSet(600);
    std::string out;
    EXPECT_EQ(b.pass(&out), b.move("fireball"));
    EXPECT_FALSE(has(out, "Lets try deleting!"));
    EXPECT_TRUE(has(out, "searched DRA|| Against DRA\n"));
}

TEST(CheckerAge, Press601msOldIsDroppedBeforeTheSearch) {
    bench b({{"fireball", "DRA"}});
    b.press("D", 0);
    b.press("R", 400);
    b.press("A", 601);
    clockSet(601);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_EQ(occurrences(out, "Lets try deleting!\n"), 1);
    EXPECT_TRUE(has(out, "searched DRA|| Against RA\n"));
    EXPECT_TRUE(has(out, "Got nothing\n"));
}

TEST(CheckerAge, OldDownIsDroppedWhenForwardArrives) {
    bench b({{"fireball", "DRA"}});
    b.press("D", 100);
    clockSet(2000);
    b.pass();
    EXPECT_EQ(b.buffered(), "D");  // the youngest never ages out
    b.press("R", 2000);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_EQ(out, "Lets try deleting!\n");
    EXPECT_EQ(b.buffered(), "R");
    EXPECT_EQ(b.checker->inputCount, 1);
}

TEST(CheckerAge, LoneOldDirectionNeverAgesOut) {
    bench b({{"fireball", "DRA"}});
    b.press("D", 0);
    startCapture();
    b.checker->shaveOff(100000);
    EXPECT_EQ(stopCapture(), "");
    EXPECT_EQ(b.checker->inputCount, 1);
    EXPECT_EQ(b.buffered(), "D");
}

TEST(CheckerAge, ShaveOffDropsTheOldRunOnly) {
    bench b({{"fireball", "DRA"}});
    b.press("DD", 0);
    b.press("L", 399);
    b.press("R", 400);
    b.press("U", 1000);
    startCapture();
    b.checker->shaveOff(1000);
    std::string out = stopCapture();
    EXPECT_EQ(occurrences(out, "Lets try deleting!\n"), 3);
    EXPECT_EQ(b.buffered(), "RU");
    EXPECT_EQ(b.checker->inputCount, 2);
}

TEST(CheckerAge, OldButtonWithAYoungerPressIsDroppedToo) {
    bench b({{"jab", "A"}});
    b.press("A", 0);
    b.press("D", 700);
    startCapture();
    b.checker->shaveOff(700);
    stopCapture();
    EXPECT_EQ(b.buffered(), "D");
}

// --- Which move wins ---

TEST(CheckerSearch, TailCommandEarlierInTheFileWins) {
    bench b({{"palm", "RA"}, {"fireball", "DRA"}});
    clockSet(300);
    b.press("DRA", 300);
    EXPECT_EQ(b.pass(), b.move("palm"));
}

TEST(CheckerSearch, LongerCommandEarlierInTheFileWins) {
    bench b({{"fireball", "DRA"}, {"palm", "RA"}});
    clockSet(300);
    b.press("DRA", 300);
    EXPECT_EQ(b.pass(), b.move("fireball"));
    b.press("RA", 400);
    clockSet(400);
    EXPECT_EQ(b.pass(), b.move("palm"));
}

TEST(CheckerSearch, UpBetweenDirectionsBreaksTheMotion) {
    bench b({{"fireball", "DRA"}});
    clockSet(300);
    b.press("DURA", 300);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_TRUE(has(out, "searched DRA|| Against DURA\nNext -> \n"));
    EXPECT_TRUE(has(out, "Got nothing\n"));
}

TEST(CheckerSearch, CommandMayStandAnywhereInTheKeysWord) {
    bench b({{"fireball", "DRA"}});
    clockSet(300);
    b.press("LDRAU", 300);  // U after the button: the command is not at the end
    EXPECT_EQ(b.pass(), b.move("fireball"));
}

TEST(CheckerSearch, LastButtonChoosesTheList) {
    bench b({{"fireball", "DRA"}, {"kick", "DRB"}, {"combo", "AB"}});
    clockSet(300);
    b.press("DRAB", 300);
    std::string out;
    EXPECT_EQ(b.pass(&out), b.move("combo"));
    EXPECT_TRUE(has(out, "Ready are we? with B\n"));
    EXPECT_TRUE(has(out, "searched DRB|| Against DRAB\nNext -> \n"));
    EXPECT_TRUE(has(out, "searched AB|| Against DRAB\n"));
    EXPECT_FALSE(has(out, "searched DRA||"));  // the A list is not searched
}

TEST(CheckerSearch, ButtonCListIsSearchedForC) {
    bench b({{"jab", "A"}, {"sweep", "LC"}});
    clockSet(50);
    b.press("LC", 50);
    std::string out;
    EXPECT_EQ(b.pass(&out), b.move("sweep"));
    EXPECT_FALSE(has(out, "Ready are we?"));
}

TEST(CheckerSearch, SuccessfulSearchPrintsItsLinesInOrder) {
    bench b({{"palm", "RA"}, {"fireball", "DRA"}});
    clockSet(300);
    b.press("DA", 300);
    b.press("DRA", 300);
    std::string out;
    EXPECT_EQ(b.pass(&out), b.move("palm"));
    EXPECT_EQ(out,
              "Not empty, lucky!\n"
              "searched RA|| Against DADRA\n"
              "Found a move!\n"
              "Have Move - palm!\n"
              "DELETING HAHAHAHA\n");
}

TEST(CheckerSearch, ButtonWithoutAMoveFindsNothing) {
    bench b({{"jab", "A"}});
    clockSet(10);
    b.press("DB", 10);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_EQ(out, "Ready are we? with B\nDELETING HAHAHAHA\nGot nothing\n");
    EXPECT_EQ(b.checker->inputCount, 0);
}

// --- Conditions and undrawable moves ---

TEST(CheckerConditions, FalseConditionSkipsToTheNextMove) {
    bench b({{"flyingKick", "DRA", "ground = false"}, {"fireball", "DRA", "ground = true"}});
    clockSet(300);
    b.press("DRA", 300);
    std::string out;
    EXPECT_EQ(b.pass(&out), b.move("fireball"));
    EXPECT_EQ(out,
              "Not empty, lucky!\n"
              "searched DRA|| Against DRA\n"
              "Found a move!\n"
              "Condition much!\n"
              "BIT[0]: ground\nBIT[1]: =\nBIT[2]: false\n"
              "Next -> \n"
              "Not empty, lucky!\n"
              "searched DRA|| Against DRA\n"
              "Found a move!\n"
              "Condition much!\n"
              "BIT[0]: ground\nBIT[1]: =\nBIT[2]: true\n"
              "Have Move - fireball!\n"
              "DELETING HAHAHAHA\n");
}

TEST(CheckerConditions, InTheAirTheAirMoveWins) {
    bench b({{"flyingKick", "DRA", "ground = false"}, {"fireball", "DRA", "ground = true"}});
    b.fighter.grounded = false;
    clockSet(300);
    b.press("DRA", 300);
    EXPECT_EQ(b.pass(), b.move("flyingKick"));
}

TEST(CheckerConditions, NoMoveLeftStillEmptiesTheBuffer) {
    bench b({{"flyingKick", "DRA", "ground = false"}});
    clockSet(300);
    b.press("DRA", 300);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_TRUE(has(out, "Next -> \nDELETING HAHAHAHA\nGot nothing\n"));
    EXPECT_EQ(b.checker->head, nullptr);
    EXPECT_EQ(b.checker->inputCount, 0);
}

TEST(CheckerConditions, ConditionReadsTheCheckersFighterNotTheTarget) {
    // Only the checker's own fighter decides: a grounded stranger changes nothing.
    bench b({{"flyingKick", "A", "ground = false"}});
    Fighter stranger;
    stranger.grounded = false;
    b.target.setTarget(&stranger);
    clockSet(10);
    b.press("A", 10);
    EXPECT_EQ(b.pass(), nullptr);
}

TEST(CheckerConditions, MoveWithoutFramesIsSkippedLikeAFailedCondition) {
    bench b({{"ghost", "DRA", "null", false}, {"palm", "RA"}});
    ASSERT_FALSE(b.move("ghost")->animation.drawable(0));
    clockSet(300);
    b.press("DRA", 300);
    std::string out;
    EXPECT_EQ(b.pass(&out), b.move("palm"));
    EXPECT_EQ(out.find("Not empty, lucky!\nsearched DRA|| Against DRA\nFound a move!\nNext -> \n"), 0u);
    EXPECT_FALSE(has(out, "Have Move - ghost!"));
}

TEST(CheckerConditions, LoneUndrawableMoveNeverStarts) {
    bench b({{"ghost", "A", "null", false}});
    clockSet(5);
    b.press("A", 5);
    std::string out;
    EXPECT_EQ(b.pass(&out), nullptr);
    EXPECT_TRUE(has(out, "Got nothing\n"));
}

// --- Every search empties the buffer ---

TEST(CheckerEmptying, SuccessEmptiesTheBuffer) {
    bench b({{"jab", "A"}});
    clockSet(20);
    b.press("DLA", 20);
    EXPECT_EQ(b.pass(), b.move("jab"));
    EXPECT_EQ(b.checker->head, nullptr);
    EXPECT_EQ(b.checker->inputCount, 0);
    // The next command starts from nothing: the old directions are gone.
    clockSet(30);
    b.press("R", 30);
    b.pass();
    EXPECT_EQ(b.buffered(), "R");
}

TEST(CheckerEmptying, FailedSearchDiscardsTheMotionToo) {
    bench b({{"fireball", "DRA"}});
    clockSet(100);
    b.press("DRB", 100);
    EXPECT_EQ(b.pass(), nullptr);
    EXPECT_EQ(b.checker->inputCount, 0);
    // The motion was used up by B, so A alone finds nothing.
    clockSet(120);
    b.press("A", 120);
    EXPECT_EQ(b.pass(), nullptr);
}

TEST(CheckerEmptying, CheckListOnALetterThatIsNoButtonFindsNothing) {
    bench b({{"jab", "A"}});
    b.press("DA", 0);
    startCapture();
    EXPECT_EQ(b.checker->checkList(1, 0, "DA"), nullptr);
    EXPECT_EQ(b.checker->checkList(9, 0, "DA"), nullptr);
    std::string out = stopCapture();
    EXPECT_EQ(out, "DELETING HAHAHAHA\nGot nothing\nDELETING HAHAHAHA\nGot nothing\n");
    EXPECT_EQ(b.checker->inputCount, 0);
}
