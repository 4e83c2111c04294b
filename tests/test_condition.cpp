// Conditions of moves against the fighter's grounded state, and the target.
#include <gtest/gtest.h>

#include <string>

#include "commands/Condition.h"
#include "commands/Target.h"
#include "fighter/Fighter.h"
#include "testSupport.h"

namespace {

// Evaluates `text` with a fresh Condition, as the input checker does.
bool holds(const std::string& text, bool grounded, std::string* printed = nullptr) {
    Fighter fighter;
    fighter.grounded = grounded;
    Target target;
    target.setTarget(&fighter);
    Condition condition;
    startCapture();
    bool result = condition.getResult(text, &fighter, &target);
    std::string out = stopCapture();
    if (printed) *printed = out;
    return result;
}

}  // namespace

// --- The ground rule ---

TEST(ConditionGround, GroundEqualsTrueHoldsOnlyOnTheFloor) {
    EXPECT_TRUE(holds("ground = true", true));
    EXPECT_FALSE(holds("ground = true", false));
}

TEST(ConditionGround, GroundEqualsFalseHoldsOnlyInTheAir) {
    EXPECT_FALSE(holds("ground = false", true));
    EXPECT_TRUE(holds("ground = false", false));
}

TEST(ConditionGround, AnyValueButTrueMeansInTheAir) {
    EXPECT_TRUE(holds("ground = yes", false));
    EXPECT_FALSE(holds("ground = yes", true));
    EXPECT_TRUE(holds("ground = TRUE", false));  // values are case-sensitive
    EXPECT_FALSE(holds("ground = TRUE", true));
}

TEST(ConditionGround, TwoWordsHaveNoValueSoHoldOnlyInTheAir) {
    EXPECT_FALSE(holds("ground true", true));
    EXPECT_TRUE(holds("ground true", false));
    EXPECT_TRUE(holds("ground", false));
}

TEST(ConditionGround, RelationWordIsNotExamined) {
    EXPECT_TRUE(holds("ground is true", true));
    EXPECT_TRUE(holds("ground != true", true));
    EXPECT_FALSE(holds("ground is true", false));
}

TEST(ConditionGround, BlanksTabsAndLineEndsSeparateWordsAlike) {
    for (const char* text : {"ground\t=\ttrue", "   ground    =   true   ", "ground = true  \r\n", "ground\n=\ntrue"}) {
        EXPECT_TRUE(holds(text, true)) << text;
        EXPECT_FALSE(holds(text, false)) << text;
    }
}

TEST(ConditionGround, WordsAreRunsOfNonBlanks) {
    // "=true" is one word, so the value slot holds "x", not "true".
    EXPECT_FALSE(holds("\tground =true x", true));
    EXPECT_TRUE(holds("\tground =true x", false));
}

// --- Subjects that never hold ---

TEST(ConditionSubject, OtherSubjectsNeverHold) {
    for (const char* text : {"air = true", "Ground = true", "null", "grounded = true", "x ground = true"}) {
        EXPECT_FALSE(holds(text, true)) << text;
        EXPECT_FALSE(holds(text, false)) << text;
    }
}

TEST(ConditionSubject, EmptyOrBlankConditionNeverHolds) {
    std::string out;
    EXPECT_FALSE(holds("", true, &out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(holds("", false));
    EXPECT_FALSE(holds(" \t \r\n", false, &out));
    EXPECT_EQ(out, "");
}

TEST(ConditionSubject, NoFighterNeverHolds) {
    Condition condition;
    startCapture();
    EXPECT_FALSE(condition.getResult("ground = false", nullptr, nullptr));
    stopCapture();
}

// --- Words, slots and printed lines ---

TEST(ConditionWords, EachWordPrintsItsOwnLine) {
    std::string out;
    holds("ground = true", true, &out);
    EXPECT_EQ(out, "BIT[0]: ground\nBIT[1]: =\nBIT[2]: true\n");
}

TEST(ConditionWords, StoresTheWordsInTheirSlots) {
    Fighter fighter;
    Target target;
    Condition condition;
    startCapture();
    condition.getResult("  ground\tis   false ", &fighter, &target);
    stopCapture();
    EXPECT_EQ(condition.bits[0], "ground");
    EXPECT_EQ(condition.bits[1], "is");
    EXPECT_EQ(condition.bits[2], "false");
    EXPECT_EQ(condition.fighter, &fighter);
    EXPECT_EQ(condition.target, &target);
}

TEST(ConditionWords, WordsPastTheThirdAreIgnored) {
    std::string out;
    // The fourth word would flip the rule if it took the value slot.
    EXPECT_TRUE(holds("ground = true false and more", true, &out));
    EXPECT_EQ(out, "BIT[0]: ground\nBIT[1]: =\nBIT[2]: true\n");
    EXPECT_FALSE(holds("ground = false true", true));
}

TEST(ConditionWords, ReusedConditionForgetsTheLastText) {
    Fighter fighter;
    fighter.grounded = true;
    Condition condition;
    startCapture();
    EXPECT_TRUE(condition.getResult("ground = true", &fighter, nullptr));
    // Two words only: the old value "true" must not linger in the third slot.
    EXPECT_FALSE(condition.getResult("ground is", &fighter, nullptr));
    stopCapture();
    EXPECT_EQ(condition.bits[2], "");
}

TEST(ConditionWords, GroundRuleSkipsTheSubjectTest) {
    Fighter fighter;
    Condition condition;
    condition.fighter = &fighter;
    condition.bits[0] = "anything";
    condition.bits[2] = "true";
    fighter.grounded = true;
    EXPECT_TRUE(condition.ground());
    fighter.grounded = false;
    EXPECT_FALSE(condition.ground());
    condition.bits[2] = "false";
    EXPECT_TRUE(condition.ground());
}

// --- Target ---

TEST(TargetFighter, HoldsTheFighterItWasGiven) {
    Target target;
    EXPECT_EQ(target.returnTarget(), nullptr);
    Fighter first, second;
    target.setTarget(&first);
    EXPECT_EQ(target.returnTarget(), &first);
    EXPECT_EQ(target.target, &first);
    target.setTarget(&second);
    EXPECT_EQ(target.returnTarget(), &second);
}
