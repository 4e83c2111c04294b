// The gathering of the places a pass wrote: cut to the screen, merged where
// one bounding box costs less than two rectangles, and the flip kept for
// displays that swap pages.
#include <gtest/gtest.h>

#include <vector>

#include "sprites/changedRects.h"
#include "sprites/sceneGeometry.h"

namespace {
struct place {
    int x, y, w, h;
};
bool operator==(const SDL_Rect& a, const place& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }
}  // namespace

TEST(ChangedRects, AreCutToTheScreenAndMergedWhereCheaper) {
    SDL_Surface* display = SDL_CreateRGBSurface(SDL_SWSURFACE, kScreenWidth, kScreenHeight, 32, 0xff0000, 0xff00, 0xff, 0);
    ASSERT_NE(nullptr, display);
    const struct {
        const char* what;
        std::vector<place> added;
        std::vector<place> shown;
    } cases[] = {
        {"a sprite moved 3 pixels: old and new place as one", {{100, 300, 160, 160}, {103, 300, 160, 160}},
         {{100, 300, 163, 160}}},
        {"far apart: two", {{10, 10, 64, 64}, {600, 400, 64, 64}}, {{10, 10, 64, 64}, {600, 400, 64, 64}}},
        {"in one column far apart: two", {{10, 10, 64, 64}, {10, 400, 64, 64}}, {{10, 10, 64, 64}, {10, 400, 64, 64}}},
        {"one inside another: the outer", {{200, 200, 4, 2}, {150, 150, 100, 100}}, {{150, 150, 100, 100}}},
        {"over the top-left corner: the part on the screen", {{-20, -30, 50, 50}}, {{0, 0, 30, 20}}},
        {"over the bottom-right corner", {{790, 580, 64, 64}}, {{790, 580, 10, 20}}},
        {"wholly off the screen, or empty: nothing", {{900, 10, 64, 64}, {10, -70, 64, 64}, {50, 50, 0, 10}}, {}},
        {"a chain taken in from the left", {{0, 0, 40, 40}, {30, 0, 40, 40}, {60, 0, 40, 40}}, {{0, 0, 100, 40}}},
    };
    changedRects changes;
    changes.watch(display);
    ASSERT_EQ(1u, changes.prepare().size());
    EXPECT_TRUE(changes.shown[0] == (place{0, 0, kScreenWidth, kScreenHeight})) << "a new display is shown whole";
    for (const auto& c : cases) {
        for (const place& p : c.added) changes.add(p.x, p.y, p.w, p.h);
        const std::vector<SDL_Rect>& shown = changes.prepare();
        ASSERT_EQ(c.shown.size(), shown.size()) << c.what;
        for (const place& p : c.shown) {
            bool found = false;
            for (const SDL_Rect& r : shown) found = found || r == p;
            EXPECT_TRUE(found) << c.what << ": " << p.x << "," << p.y << " " << p.w << "x" << p.h;
        }
        EXPECT_TRUE(changes.rects.empty()) << "prepared once, then forgotten";
    }
    // A repaint covers everything noted before or after it.
    changes.add(10, 10, 5, 5);
    changes.addWhole();
    changes.add(20, 20, 5, 5);
    ASSERT_EQ(1u, changes.prepare().size());
    EXPECT_TRUE(changes.shown[0] == (place{0, 0, kScreenWidth, kScreenHeight}));
    // Drawn and never shown: the list stops at the whole screen.
    for (size_t i = 0; i <= kMaxRects; ++i) changes.add(static_cast<int>(i % 700), 0, 1, 1);
    EXPECT_TRUE(changes.whole);
    EXPECT_TRUE(changes.rects.empty());
    SDL_FreeSurface(display);
}

TEST(ChangedRects, AFlipWhereTheDisplaySwapsPages) {
    SDL_Surface surface = {};
    EXPECT_FALSE(showsByFlip(&surface));
    surface.flags = SDL_FULLSCREEN | SDL_HWPALETTE;
    EXPECT_FALSE(showsByFlip(&surface)) << "the game's software display";
    surface.flags = SDL_HWSURFACE;
    EXPECT_TRUE(showsByFlip(&surface));
    surface.flags = SDL_SWSURFACE | SDL_DOUBLEBUF;
    EXPECT_TRUE(showsByFlip(&surface));
}
