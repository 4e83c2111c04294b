// The whole scene over the bundled data: start-up, loop passes driven by a
// set clock and pushed key events, checked by the pixels on the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "sprites/clock.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
gameScene* objects = nullptr;

Uint32 backgroundPixel(int x, int y) { return pixelAt(objects->content.back, x, y) & 0xffffff; }
Uint32 screenPixel(int x, int y) { return pixelAt(objects->screen, x, y) & 0xffffff; }

void passes(int count, int msEach = 20) {
    for (int i = 0; i < count; ++i) {
        clockAdvance(msEach);
        runPass(*objects);
    }
}

void pressKey(SDLKey key) { pushKeyDown(key); }

moveInfo* moveWithCommand(const std::string& command) {
    for (moveInfo& move : objects->content.moves.moves)
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
    void SetUp() override { ASSERT_NE(nullptr, objects->content.back) << "the bundled background loads"; }
};
}  // namespace

TEST_F(Scene, StartUpPaintsTheBackgroundAndTheFighterLandsOnTheFloor) {
    ASSERT_NE(nullptr, objects->screen);
    ASSERT_NE(nullptr, objects->content.back);
    EXPECT_EQ(kScreenWidth, objects->screen->w);
    EXPECT_EQ(32, objects->screen->format->BitsPerPixel);
    // Far from the fighter and the start-up fireball the background is shown.
    EXPECT_EQ(backgroundPixel(700, 100), screenPixel(700, 100));
    EXPECT_EQ(backgroundPixel(600, 580), screenPixel(600, 580));
    EXPECT_FALSE(objects->player().dir);
    EXPECT_EQ(150, objects->player().x);
    EXPECT_EQ(300, objects->player().y);
    EXPECT_NE(nullptr, objects->pList.head);  // the start-up fireball

    startCapture();
    passes(2);
    stopCapture();
    // The fighter is drawn: some pixels around its anchor differ from the background.
    int differing = 0;
    for (int y = objects->player().y - 100; y < objects->player().y; y += 2)
        for (int x = objects->player().x - 30; x < objects->player().x + 30; x += 2)
            if (screenPixel(x, y) != backgroundPixel(x, y)) ++differing;
    EXPECT_GT(differing, 50);

    int highY = objects->player().y;
    startCapture();
    passes(150);
    stopCapture();
    EXPECT_EQ(kGroundLevel, objects->player().y);
    EXPECT_TRUE(objects->player().grounded);
    EXPECT_EQ(2, objects->player().airActions);
    // Where the fighter was while falling the background is back.
    for (int x = objects->player().x - 20; x < objects->player().x + 20; x += 4)
        EXPECT_EQ(backgroundPixel(x, highY - 40), screenPixel(x, highY - 40)) << x;
}

TEST_F(Scene, TypedCommandStartsTheMoveAndItEnds) {
    moveInfo* throwMove = moveWithCommand("DRA");
    ASSERT_NE(nullptr, throwMove) << "the bundled moves have a DRA move";
    startCapture();
    passes(150);  // on the floor
    stopCapture();
    ASSERT_TRUE(objects->player().grounded);
    // Facing decides the letters: toward the facing is "R".
    SDLKey forward = objects->player().dir ? SDLK_RIGHT : SDLK_LEFT;
    startCapture();
    pressKey(SDLK_DOWN);
    passes(1);
    pressKey(forward);
    passes(1);
    pressKey(SDLK_z);
    passes(1);
    std::string typed = stopCapture();
    EXPECT_NE(std::string::npos, typed.find("Have Move - " + throwMove->name + "!")) << typed;
    EXPECT_EQ(throwMove, objects->player().currentMove);
    EXPECT_EQ(throwMove->name, objects->player().action);

    startCapture();
    passes(300);
    std::string after = stopCapture();
    EXPECT_NE(std::string::npos, after.find("punch ended"));
    EXPECT_EQ(nullptr, objects->player().currentMove);
}

TEST_F(Scene, DebugKeyDrawsTheBoxesUntilPressedAgain) {
    startCapture();
    passes(150);
    stopCapture();
    objects->debugging = false;
    pressKey(SDLK_j);
    startCapture();
    passes(1);
    stopCapture();
    ASSERT_TRUE(objects->debugging);
    // The anchor marker: 4x2 pixels just above the anchor.
    EXPECT_EQ(kAnchorMarkColour, screenPixel(objects->player().x - 1, objects->player().y - 1));
    pressKey(SDLK_j);
    startCapture();
    passes(2);
    stopCapture();
    EXPECT_FALSE(objects->debugging);
    EXPECT_NE(kAnchorMarkColour, screenPixel(objects->player().x - 1, objects->player().y - 1));
}

// Screen pixels that differ from the background outside the fighter's image.
int differingBesideTheFighter() {
    const frameInfo& rec = objects->player().base->frames[objects->player().frame];
    int left = objects->player().x - objects->player().anchorOffsetX(objects->player().dir);
    int top = objects->player().y - rec.offsetY;
    int differing = 0;
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            bool onFighter = x >= left && x < left + objects->player().base->width && y >= top && y < top + objects->player().base->height;
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
    pressKey(objects->player().dir ? SDLK_RIGHT : SDLK_LEFT);
    passes(1);
    pressKey(SDLK_z);
    passes(12);
    stopCapture();
    // Mid-throw, with the fireball out beside him.
    ASSERT_EQ(throwMove, objects->player().currentMove);
    ASSERT_GT(objects->pList.size(), 0);
    EXPECT_GT(differingBesideTheFighter(), 0);
    int x = objects->player().x, y = objects->player().y;
    bool dir = objects->player().dir;

    pressKey(SDLK_F5);
    startCapture();
    passes(1);
    std::string reloaded = stopCapture();
    EXPECT_NE(std::string::npos, reloaded.find("reloaded data")) << reloaded;
    EXPECT_EQ(0, objects->pList.size());
    EXPECT_EQ(nullptr, objects->player().currentMove);
    EXPECT_EQ("standing", objects->player().action);
    EXPECT_EQ(x, objects->player().x);
    EXPECT_EQ(y, objects->player().y);
    EXPECT_EQ(dir, objects->player().dir);
    EXPECT_EQ(0, objects->reloadAsked);
    EXPECT_EQ(0, differingBesideTheFighter()) << "the background is whole again";

    // The moves are recognised from the new set.
    startCapture();
    pressKey(SDLK_DOWN);
    passes(1);
    pressKey(objects->player().dir ? SDLK_RIGHT : SDLK_LEFT);
    passes(1);
    pressKey(SDLK_z);
    passes(1);
    stopCapture();
    EXPECT_EQ(moveWithCommand("DRA"), objects->player().currentMove);
    EXPECT_NE(nullptr, objects->player().currentMove);
}

// After every pass, every screen pixel that changed lies in what the pass
// showed: a write left out of the gathering would leave the display stale.
TEST_F(Scene, EveryPixelAPassChangesIsInTheRectanglesItShows) {
    std::vector<Uint32> before(static_cast<size_t>(kScreenWidth) * kScreenHeight);
    auto keep = [&]() {
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) before[static_cast<size_t>(y) * kScreenWidth + x] = screenPixel(x, y);
    };
    Uint8* keys = SDL_GetKeyState(nullptr);
    // What is done before the passes of each step.
    const struct {
        const char* what;
        std::function<void()> act;
        int passes;
    } steps[] = {
        {"landing", [] {}, 100},
        {"the input display", [] { pressKey(SDLK_i); }, 5},
        {"walking right", [&] { keys[SDLK_RIGHT] = 1; }, 40},
        {"the boxes", [&] { keys[SDLK_RIGHT] = 0; pressKey(SDLK_j); }, 5},
        {"a throw: down", [] { pressKey(SDLK_DOWN); }, 1},
        {"a throw: forward", [] { pressKey(objects->player().dir ? SDLK_RIGHT : SDLK_LEFT); }, 1},
        {"a throw: z, the fireball flying", [] { pressKey(SDLK_z); }, 120},
        {"a jump", [] { pressKey(SDLK_UP); }, 10},
        {"a kick in the air", [] { pressKey(SDLK_x); }, 60},
        {"walking left", [&] { keys[SDLK_LEFT] = 1; }, 40},
        {"the boxes off", [&] { keys[SDLK_LEFT] = 0; pressKey(SDLK_j); }, 5},
        {"a reload", [] { pressKey(SDLK_F5); }, 3},
        {"the input display off", [] { pressKey(SDLK_i); }, 5},
    };
    long wholeScreens = 0, shownPixels = 0, allPasses = 0;
    startCapture();
    // whatever start-up or the tests before left to show
    clockAdvance(20);
    runPass(*objects);
    for (const auto& step : steps) {
        step.act();
        for (int pass = 0; pass < step.passes; ++pass) {
            keep();
            clockAdvance(20);
            runPass(*objects);
            ++allPasses;
            std::vector<bool> covered(before.size(), false);
            for (const SDL_Rect& r : objects->screenChanges.shown) {
                ASSERT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= kScreenWidth && r.y + r.h <= kScreenHeight) << step.what;
                shownPixels += r.w * r.h;
                if (r.w == kScreenWidth && r.h == kScreenHeight) ++wholeScreens;
                for (int y = r.y; y < r.y + r.h; ++y)
                    for (int x = r.x; x < r.x + r.w; ++x) covered[static_cast<size_t>(y) * kScreenWidth + x] = true;
            }
            int stale = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < kScreenHeight; ++y)
                for (int x = 0; x < kScreenWidth; ++x) {
                    size_t at = static_cast<size_t>(y) * kScreenWidth + x;
                    if (covered[at] || before[at] == screenPixel(x, y)) continue;
                    if (stale++ == 0) firstX = x, firstY = y;
                }
            ASSERT_EQ(0, stale) << step.what << ", pass " << pass << ": changed but not shown, first at (" << firstX
                                << ", " << firstY << ")";
        }
    }
    std::string printed = stopCapture();
    EXPECT_NE(std::string::npos, printed.find("Have Move - ")) << "the throw was recognised";
    EXPECT_NE(std::string::npos, printed.find("reloaded data"));
    // Only the reload repaints the whole screen; the other passes show a
    // part of it (the input display, redrawn every pass, is a fifth).
    EXPECT_EQ(1, wholeScreens);
    EXPECT_LT(shownPixels - wholeScreens * kScreenWidth * kScreenHeight, allPasses * kScreenWidth * kScreenHeight / 4);
}

TEST_F(Scene, EscapeEndsTheLoopAfterDrawingThatPass) {
    startCapture();
    passes(150);
    objects->player().x = 600;  // somewhere the fighter has not been drawn yet
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

static void removeEnvironment(const char* name) {
#ifdef _WIN32
    _putenv((std::string(name) + "=").c_str());
#else
    unsetenv(name);
#endif
}

// On SDL2 the game asks for the software renderer and a plain copy to the
// window (OpenGL drawn in software stalls the pass); a player who chose
// otherwise keeps the choice.
TEST(SceneStart, AsksSDL2ForPlainCopiesUnlessThePlayerChose) {
    const char* const names[] = {"SDL_RENDER_DRIVER", "SDL_FRAMEBUFFER_ACCELERATION"};
    const struct {
        const char* what;
        const char* before;  // the player's value; null: not set
        const char* after[2];
    } cases[] = {
        {"nothing set", nullptr, {"software", "0"}},
        {"the player's own", "opengl", {"opengl", "opengl"}},
    };
    std::string saved[2];
    bool had[2];
    for (int at = 0; at < 2; ++at) {
        const char* value = std::getenv(names[at]);
        had[at] = value != nullptr;
        saved[at] = value ? value : "";
    }
    for (const auto& c : cases) {
        for (const char* name : names) {
            if (c.before)
                setEnvironment(name, c.before, true);
            else
                removeEnvironment(name);
        }
        askSDL2ForPlainCopies();
        for (int at = 0; at < 2; ++at) {
            const char* value = std::getenv(names[at]);
            EXPECT_STREQ(c.after[at], value ? value : "(unset)") << c.what << ": " << names[at];
        }
    }
    for (int at = 0; at < 2; ++at) {
        if (had[at])
            setEnvironment(names[at], saved[at].c_str(), true);
        else
            removeEnvironment(names[at]);
    }
}
