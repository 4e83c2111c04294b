// The whole scene over the bundled data: start-up, loop passes driven by a
// set clock and pushed key events, checked by the pixels on the screen.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
sceneObjects* objects = nullptr;

Uint32 backgroundPixel(int x, int y) { return pixelAt(back, x, y) & 0xffffff; }
Uint32 screenPixel(int x, int y) { return pixelAt(screen, x, y) & 0xffffff; }

void passes(int count, int msEach = 20) {
    for (int i = 0; i < count; ++i) {
        clockAdvance(msEach);
        runPass(*objects);
    }
}

void pressKey(SDLKey key) { pushKeyDown(key); }

moveInfo* moveWithCommand(const std::string& command) {
    for (moveInfo& move : objects->moves.moves)
        if (move.command == command) return &move;
    return nullptr;
}

// Start-up runs once for the whole program, as in the game.
class Scene : public testing::Test {
protected:
    static void SetUpTestSuite() {
        objects = startSceneIn(buildDir());
        ASSERT_NE(nullptr, objects);
    }
    void SetUp() override { ASSERT_NE(nullptr, back) << "the bundled background loads"; }
};
}  // namespace

TEST_F(Scene, StartUpPaintsTheBackgroundAndTheFighterLandsOnTheFloor) {
    ASSERT_NE(nullptr, screen);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(kScreenWidth, screen->w);
    EXPECT_EQ(32, screen->format->BitsPerPixel);
    // Far from the fighter and the start-up fireball the background is shown.
    EXPECT_EQ(backgroundPixel(700, 100), screenPixel(700, 100));
    EXPECT_EQ(backgroundPixel(600, 580), screenPixel(600, 580));
    EXPECT_FALSE(vikings1.dir);
    EXPECT_EQ(150, vikings1.x);
    EXPECT_EQ(300, vikings1.y);
    EXPECT_NE(nullptr, pList.head);  // the start-up fireball

    startCapture();
    passes(2);
    stopCapture();
    // The fighter is drawn: some pixels around its anchor differ from the background.
    int differing = 0;
    for (int y = vikings1.y - 100; y < vikings1.y; y += 2)
        for (int x = vikings1.x - 30; x < vikings1.x + 30; x += 2)
            if (screenPixel(x, y) != backgroundPixel(x, y)) ++differing;
    EXPECT_GT(differing, 50);

    int highY = vikings1.y;
    startCapture();
    passes(150);
    stopCapture();
    EXPECT_EQ(kGroundLevel, vikings1.y);
    EXPECT_TRUE(vikings1.grounded);
    EXPECT_EQ(2, vikings1.airActions);
    // Where the fighter was while falling the background is back.
    for (int x = vikings1.x - 20; x < vikings1.x + 20; x += 4)
        EXPECT_EQ(backgroundPixel(x, highY - 40), screenPixel(x, highY - 40)) << x;
}

TEST_F(Scene, TypedCommandStartsTheMoveAndItEnds) {
    moveInfo* throwMove = moveWithCommand("DRA");
    ASSERT_NE(nullptr, throwMove) << "the bundled moves have a DRA move";
    startCapture();
    passes(150);  // on the floor
    stopCapture();
    ASSERT_TRUE(vikings1.grounded);
    // Facing decides the letters: toward the facing is "R".
    SDLKey forward = vikings1.dir ? SDLK_RIGHT : SDLK_LEFT;
    startCapture();
    pressKey(SDLK_DOWN);
    passes(1);
    pressKey(forward);
    passes(1);
    pressKey(SDLK_z);
    passes(1);
    std::string typed = stopCapture();
    EXPECT_NE(std::string::npos, typed.find("Have Move - " + throwMove->name + "!")) << typed;
    EXPECT_EQ(throwMove, vikings1.currentMove);
    EXPECT_EQ(throwMove->name, vikings1.action);

    startCapture();
    passes(300);
    std::string after = stopCapture();
    EXPECT_NE(std::string::npos, after.find("punch ended"));
    EXPECT_EQ(nullptr, vikings1.currentMove);
}

TEST_F(Scene, DebugKeyDrawsTheBoxesUntilPressedAgain) {
    startCapture();
    passes(150);
    stopCapture();
    debugging = false;
    pressKey(SDLK_j);
    startCapture();
    passes(1);
    stopCapture();
    ASSERT_TRUE(debugging);
    // The anchor marker: 4x2 pixels just above the anchor.
    EXPECT_EQ(kAnchorMarkColour, screenPixel(vikings1.x - 1, vikings1.y - 1));
    pressKey(SDLK_j);
    startCapture();
    passes(2);
    stopCapture();
    EXPECT_FALSE(debugging);
    EXPECT_NE(kAnchorMarkColour, screenPixel(vikings1.x - 1, vikings1.y - 1));
}

// Screen pixels that differ from the background outside the fighter's image.
int differingBesideTheFighter() {
    const frameInfo& rec = vikings1.base->frames[vikings1.frame];
    int left = vikings1.x - vikings1.anchorOffsetX(vikings1.dir);
    int top = vikings1.y - rec.offsetY;
    int differing = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            bool onFighter = x >= left && x < left + vikings1.base->width && y >= top && y < top + vikings1.base->height;
            if (!onFighter && screenPixel(x, y) != backgroundPixel(x, y)) ++differing;
        }
    return differing;
}

TEST_F(Scene, F5ReloadsTheContentRemovesTheParticlesAndRepaintsTheBackground) {
    moveInfo* throwMove = moveWithCommand("DRA");
    ASSERT_NE(nullptr, throwMove);
    startCapture();
    passes(150);
    pressKey(SDLK_DOWN);
    passes(1);
    pressKey(vikings1.dir ? SDLK_RIGHT : SDLK_LEFT);
    passes(1);
    pressKey(SDLK_z);
    passes(12);
    stopCapture();
    // Mid-throw, with the fireball out beside him.
    ASSERT_EQ(throwMove, vikings1.currentMove);
    ASSERT_GT(pList.size(), 0);
    EXPECT_GT(differingBesideTheFighter(), 0);
    int x = vikings1.x, y = vikings1.y;
    bool dir = vikings1.dir;

    pressKey(SDLK_F5);
    startCapture();
    passes(1);
    std::string reloaded = stopCapture();
    EXPECT_NE(std::string::npos, reloaded.find("reloaded data")) << reloaded;
    EXPECT_EQ(0, pList.size());
    EXPECT_EQ(nullptr, vikings1.currentMove);
    EXPECT_EQ("standing", vikings1.action);
    EXPECT_EQ(x, vikings1.x);
    EXPECT_EQ(y, vikings1.y);
    EXPECT_EQ(dir, vikings1.dir);
    EXPECT_EQ(0, objects->control.reload);
    EXPECT_EQ(0, differingBesideTheFighter()) << "the background is whole again";

    // The moves are recognised from the new set.
    startCapture();
    pressKey(SDLK_DOWN);
    passes(1);
    pressKey(vikings1.dir ? SDLK_RIGHT : SDLK_LEFT);
    passes(1);
    pressKey(SDLK_z);
    passes(1);
    stopCapture();
    EXPECT_EQ(moveWithCommand("DRA"), vikings1.currentMove);
    EXPECT_NE(nullptr, vikings1.currentMove);
}

TEST_F(Scene, EscapeEndsTheLoopAfterDrawingThatPass) {
    startCapture();
    passes(150);
    vikings1.x = 600;  // somewhere the fighter has not been drawn yet
    pressKey(SDLK_ESCAPE);
    clockAdvance(20);
    bool goOn = runPass(*objects);
    stopCapture();
    EXPECT_FALSE(goOn);
    EXPECT_EQ(1, objects->control.quit);
    int differing = 0;
    for (int y = 440; y < 530; y += 2)
        for (int x = 580; x < 620; x += 2)
            if (screenPixel(x, y) != backgroundPixel(x, y)) ++differing;
    EXPECT_GT(differing, 50) << "the pass of Escape still draws the fighter at its new place";
}
