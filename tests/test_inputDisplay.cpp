// The input display over the bundled scene: keys pushed through the real
// loop on a set clock, the display's text as the checker answered, and its
// pixels on the screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sprites/clock.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
gameScene* objects = nullptr;
const int kPassMs = 20;

void passes(int count) {
    for (int i = 0; i < count; ++i) {
        clockAdvance(kPassMs);
        runPass(*objects);
    }
}

// Passes until the fighter stands on the floor with no move running.
void settle() {
    for (int i = 0; i < 200 && (!objects->player().grounded || objects->player().returnBusy()); ++i) passes(1);
    ASSERT_TRUE(objects->player().grounded);
    ASSERT_FALSE(objects->player().returnBusy());
}

class InputDisplay : public testing::Test {
protected:
    static void SetUpTestSuite() {
        objects = startSceneIn(buildDir());
        ASSERT_NE(nullptr, objects);
    }
    void SetUp() override {
        ASSERT_NE(nullptr, objects->content.back) << "the bundled background loads";
        startCapture();
    }
    // The game's lines are kept from the log; with the failures among them.
    void TearDown() override {
        std::string out = stopCapture();
        if (HasFailure()) std::printf("%s", out.c_str());
    }
};

TEST_F(InputDisplay, SaysWhatTheCheckerRecognisedAndWhyTheOthersFailed) {
    ASSERT_FALSE(objects->inputPanel.shown);
    pushKeyDown(SDLK_i);
    passes(1);
    ASSERT_TRUE(objects->inputPanel.shown);
    ASSERT_FALSE(objects->player().dir) << "the fighter starts facing left: left is forward (R)";
    // Keys one per pass (left is forward), and the newest lines they give.
    const struct { const char* what; std::vector<SDLKey> keys; std::vector<std::string> expected; } cases[] = {
        {"a recognised move",
         {SDLK_DOWN, SDLK_LEFT, SDLK_z},
         {"D     40 ms", "R     20 ms", "A      0 ms", "  risingFlame: needs R D R A, typed D R A",
          "  flameThrow recognised: no active hit box"}},
        {"a motion too short for the longer moves",
         {SDLK_LEFT, SDLK_z},
         {"R     20 ms", "A      0 ms", "  risingFlame: needs R D R A, typed R A",
          "  flameThrow: needs D R A, typed R A",
          "  dashPunch recognised: startup 105 ms, active 90 ms, recovery 75 ms"}},
        {"conditions that fail in the air",
         {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_z},
         {"U     60 ms", "D     40 ms", "R     20 ms", "A      0 ms", "  risingFlame: needs R D R A, typed U D R A",
          "  flameThrow: condition ground = true is false", "  dashPunch: condition ground = true is false",
          "  jab recognised: startup 36 ms, active 75 ms, recovery 54 ms"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        settle();
        for (SDLKey key : c.keys) {
            pushKeyDown(key);
            passes(1);
        }
        std::vector<displayLine> shown = objects->inputPanel.lines(static_cast<int>(clockTicks()));
        ASSERT_GE(shown.size(), c.expected.size());
        std::vector<std::string> newest;
        for (size_t i = shown.size() - c.expected.size(); i < shown.size(); ++i) {
            newest.push_back(shown[i].text);
            EXPECT_FALSE(shown[i].old) << shown[i].text;
        }
        EXPECT_EQ(newest, c.expected);
        EXPECT_TRUE(shown.back().recognised);
    }
    // Past the checker's 600 ms every line is greyed.
    passes(601 / kPassMs + 1);
    for (const displayLine& line : objects->inputPanel.lines(static_cast<int>(clockTicks())))
        EXPECT_TRUE(line.old) << line.text;
}

Uint32 screenPixel(int x, int y) { return pixelAt(objects->screen, x, y) & 0xffffff; }
Uint32 backgroundPixel(int x, int y) { return pixelAt(objects->content.back, x, y) & 0xffffff; }

int differingInPanel() {
    SDL_Rect area = objects->inputPanel.area();
    int differing = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) differing += screenPixel(x, y) != backgroundPixel(x, y);
    return differing;
}

TEST_F(InputDisplay, IsDrawnOverTheSceneAndLeavesNoPixelsWhenHidden) {
    if (!objects->inputPanel.shown) pushKeyDown(SDLK_i);
    // No particle may cross the panel while its pixels are compared.
    for (int i = 0; i < 500 && objects->pList.head; ++i) passes(1);
    ASSERT_EQ(nullptr, objects->pList.head);
    settle();
    ASSERT_TRUE(objects->inputPanel.shown);
    // A mark outside the panel and the sprites: the background is never
    // repainted whole, so it stays.
    SDL_Rect mark = makeRect(780, 20, 2, 2);
    SDL_FillRect(objects->screen, &mark, SDL_MapRGB(objects->screen->format, 1, 2, 3));
    const Uint32 marked = screenPixel(780, 20);
    ASSERT_NE(marked, backgroundPixel(780, 20));

    // Keys typed while shown: the text changes from pass to pass.
    pushKeyDown(SDLK_c);
    passes(1);
    int withText = differingInPanel();
    EXPECT_GT(withText, 500);
    passes(10);
    EXPECT_GT(differingInPanel(), 500);

    pushKeyDown(SDLK_i);
    passes(1);
    EXPECT_FALSE(objects->inputPanel.shown);
    EXPECT_EQ(0, differingInPanel());
    passes(5);
    EXPECT_EQ(0, differingInPanel());
    EXPECT_EQ(marked, screenPixel(780, 20));
}

TEST_F(InputDisplay, AfterAReloadRestoresTheNewBackground) {
    // Nothing else may cross the panel while its pixels are compared.
    for (int i = 0; i < 500 && objects->pList.head; ++i) passes(1);
    settle();
    if (!objects->inputPanel.shown) pushKeyDown(SDLK_i);
    passes(1);
    ASSERT_TRUE(objects->inputPanel.drawn);
    // What the panel saved stands for the background before the reload.
    SDL_FillRect(objects->inputPanel.bgSave, nullptr, SDL_MapRGB(objects->inputPanel.bgSave->format, 1, 2, 3));
    pushKeyDown(SDLK_F5);
    passes(1);
    pushKeyDown(SDLK_i);
    passes(1);
    EXPECT_EQ(0, differingInPanel());
}

}  // namespace
