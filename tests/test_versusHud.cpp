// The versus HUD on the test screen: the bars' pixels with the red part of recent
// damage as it drains, the words and timer of each phase, no rectangle when nothing changed.
#include <gtest/gtest.h>

#include "sprites/changedRects.h"
#include "view/savedBackground.h"
#include "view/versusHud.h"
#include "testSupport.h"

namespace {
Uint32 mapped(Uint32 rgb) { return SDL_MapRGB(testScreen()->format, rgb >> 16, (rgb >> 8) & 255, rgb & 255); }
// Pixels of the test screen in [x0, x1) x [y0, y1) of the colour `rgb`, or with `other` of any other.
int pixels(int x0, int y0, int x1, int y1, Uint32 rgb, bool other = false) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += (pixelAt(testScreen(), x, y) == mapped(rgb)) != other;
    return n;
}

struct Hud : testing::Test {
    matchContent content;
    matchState state = emptyMatch();
    versusHud hud;
    changedRects changes;
    SDL_Surface* back = makeScreenLikeSurface(testScreen(), 800, 600);
    void SetUp() override {
        content.characters[1].name = "Dummy";
        for (fighterState& fighter : state.fighters) fighter.health = 100;
        fillSurface(back, mapped(0x204060));
        fillSurface(testScreen(), mapped(0x204060));
        changes.watch(testScreen());
        hud.init(testScreen(), &changes);
    }
    ~Hud() override { SDL_FreeSurface(back); }
    void drawAt(int tick) {
        state.tick = tick;
        hud.draw(content, state, back);
    }
};

TEST_F(Hud, BarsFillFromTheMiddleWithRecentDamageInRedUntilItDrains) {
    const int in = kHudBarWidth - 2 * kHudBarFrame;
    // The health before a drop at tick 1 and after it, then the bar at tick `at`.
    const struct { int side, before, after, at, health, red; } rows[] = {
        {1, 40, 100, 2, in, 0}, {1, 100, 50, 2, in / 2, in / 2}, {0, 100, 0, 60, 0, in},
        {1, 100, 50, 126, in / 2, in * 75 / 100 - in / 2}, {0, 100, 50, 200, in / 2, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.side) + ": " + std::to_string(row.after) + " at " + std::to_string(row.at));
        SetUp();
        state.fighters[row.side].health = row.before;
        drawAt(0);
        state.fighters[row.side].health = row.after;
        drawAt(1);
        drawAt(row.at);
        SDL_Rect bar = hudBarArea(row.side);
        int y = bar.y + bar.h / 2;
        EXPECT_EQ(row.health, pixels(bar.x, y, bar.x + bar.w, y + 1, kHudHealthRgb));
        EXPECT_EQ(row.red, pixels(bar.x, y, bar.x + bar.w, y + 1, kHudDamageRgb));
        // The health ends at the middle of the screen.
        int middleEnd = row.side == 0 ? bar.x + bar.w - 1 - kHudBarFrame : bar.x + kHudBarFrame;
        EXPECT_EQ(mapped(row.health ? kHudHealthRgb : kHudDamageRgb), pixelAt(testScreen(), middleEnd, y));
    }
}

TEST_F(Hud, WordsAndTimerOfEachPhaseAndNothingWrittenWhenNothingChanged) {
    const std::string keys = "\nF4 or A: rematch   Escape: quit";
    const struct { int phase, winner, knockedOut, tick, fightTicks; const char* timer; std::string words; } rows[] = {
        {phaseIntro, 0, 0, 10, 0, "99", "Round 2"}, {phaseIntro, 0, 0, 120, 0, "99", "Fight!"},
        {phaseFight, 0, 0, 20, 1, "99", "Fight!"},  {phaseFight, 0, 0, 60, 9850, "1", ""},
        {phaseOver, 1, 1, 0, 9899, "1", "KO"},      {phaseOver, 0, 0, 0, 9900, "0", "Time over"},
        {phaseFight, 0, 0, 70, 50, "99", ""},       {phaseOver, -1, 1, 0, 60, "99", "Draw"},
        {phaseMatchOver, 1, 0, 0, 60, "99", "P2 Dummy wins 2-1" + keys},
        {phaseMatchOver, -1, 0, 0, 60, "99", "Draw game" + keys}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.words);
        state.round = roundState{2, row.phase, 0, row.fightTicks, {1, 2}, 0, row.winner};
        state.fighters[0].knockedOut = row.knockedOut;
        drawAt(row.tick);
        std::string words;
        for (const hudLine& line : centreLines(content, state)) words += (words.empty() ? "" : "\n") + line.text;
        EXPECT_EQ(row.words, words);
        EXPECT_EQ(row.timer, timerText(content, state));
        // Below the bars and names only the words differ from the background.
        EXPECT_EQ(row.words.empty(), pixels(0, 60, 800, 600, 0x204060, true) == 0);
        changes.clear();
        drawAt(row.tick);
        EXPECT_TRUE(changes.rects.empty()) << "nothing changed";
    }
    content.rules.roundTicks = 0;
    EXPECT_EQ("--", timerText(content, state));
}
}  // namespace
