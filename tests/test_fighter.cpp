// The fighter: falling, jumping, moves, facing, its boxes and the background
// it saves and restores, on a real 800x600 display.
#include <gtest/gtest.h>

#include <vector>

#include "fighter/Fighter.h"
#include "sprites/clock.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
struct Frame {
    Uint32 rgb;
    int w = 40, h = 60, offX = 10, offY = 60, pause = 10;
    frameBox col{}, hit{};
    int hitActive = 0, moveX = 0, moveY = 0;
};

// A frame set folder: each image filled with its colour, its leftmost four
// columns white so the mirrored image can be told apart.
void writeSet(const std::string& dir, const std::vector<Frame>& frames) {
    std::string info = "FILES: " + std::to_string(frames.size()) + "\n";
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        std::string file = "f" + std::to_string(i) + ".bmp";
        writeBmp(dir + "/" + file, f.w, f.h, f.rgb, f.rgb != 0xff00ff ? 4 : 0, 0xffffff);
        auto box = [](const frameBox& b) {
            return std::to_string(b.left) + " " + std::to_string(b.top) + " " + std::to_string(b.right) + " " +
                   std::to_string(b.bottom) + "\n";
        };
        info += file + " " + std::to_string(f.pause) + " 255 0 255\n" + std::to_string(f.offX) + " " +
                std::to_string(f.offY) + "\n" + box(f.col) + box(f.hit) + std::to_string(f.hitActive) +
                "\n0\n0\n0 0\n0 0\nNULL\n0\n" + std::to_string(f.moveX) + " " + std::to_string(f.moveY) +
                "\n0\nnone\n";
    }
    writeFile(dir + "/info", info);
}

const Uint32 kWalk = 0x20a020, kStand = 0x2020c0, kDuck = 0xc0c020, kAir = 0x20c0c0, kKick = 0xc02020;
const Uint32 kBackground = 0x506070;

Uint32 mapped(Uint32 rgb) { return SDL_MapRGB(testScreen()->format, rgb >> 16, (rgb >> 8) & 255, rgb & 255); }

class FighterTest : public testing::Test {
protected:
    static animationSet anims;
    static moveInfo kick, broken;
    Fighter f;

    static void SetUpTestSuite() {
        testScreen();
        std::string dir = makeTempDir("fighter");
        Frame walk{kWalk};
        walk.col = {2, 0, 8, 60};
        writeSet(dir + "/walk", {walk, walk});
        writeSet(dir + "/standing", {{kStand}});
        writeSet(dir + "/duck", {{kDuck}});
        writeSet(dir + "/inAir", {{kAir}, {kAir}});
        writeSet(dir + "/blank", {{0xff00ff, 50, 70}});
        Frame boxes{kStand, 20, 40, 10, 30};
        boxes.col = {5, 0, 25, 40};
        boxes.hit = {0, 0, 10, 10};
        boxes.hitActive = 1;
        writeSet(dir + "/boxes", {boxes});
        writeFile(dir + "/info", "ANIMS: 6\nwalk\nstanding\nduck\ninAir\nblank\nboxes\n");
        anims.loadAll(dir.c_str(), gameLoading());
        Frame step{kKick}, lift{kKick};
        step.moveX = 5;
        lift.moveY = 6;
        writeSet(dir + "/kick", {step, lift});
        kick.name = "kick";
        kick.animation.initR((dir + "/kick").c_str(), gameLoading());
        broken.name = "broken";
        broken.animation.initR((dir + "/missing").c_str(), gameLoading());
    }

    void SetUp() override {
        clockSet(1000);
        fillSurface(testScreen(), mapped(kBackground));
        f.initS(&anims, testScreen());
        f.speed = 3.0f;
        f.x = 150;
        f.y = 300;
    }
    void land() {
        while (!f.grounded) f.Gravity();
    }
    void drawPass() {
        f.clearBG();
        f.updateBG();
        f.draw();
    }
    Uint32 at(int x, int y) { return pixelAt(testScreen(), x, y); }
};
animationSet FighterTest::anims;
moveInfo FighterTest::kick, FighterTest::broken;
}  // namespace

TEST_F(FighterTest, FallsFrom300ToExactly530AndLandsInWalk) {
    f.changeAnim("standing");
    f.Jump(16);  // no air actions before the first landing
    f.changeAction(&kick);
    EXPECT_EQ(f.action, "standing");
    for (int step = 0; step < 22; ++step) f.Gravity();
    EXPECT_EQ(f.y, 531);  // still falling: one pixel of tolerance
    EXPECT_FALSE(f.grounded);
    startCapture();
    f.Gravity();
    EXPECT_EQ(stopCapture(), "walk\n");
    EXPECT_EQ(f.y, kGroundLevel);
    EXPECT_TRUE(f.grounded);
    EXPECT_EQ(f.airActions, 2);
    EXPECT_EQ(f.action, "walk");
}

TEST_F(FighterTest, JumpArcThenWeakerSecondJumpThenNoThird) {
    land();
    f.Jump(16);
    EXPECT_EQ(f.action, "inAir");
    int top = f.y;
    for (int step = 0; step < 16; ++step) {
        f.Gravity();
        top = std::min(top, f.y);
    }
    EXPECT_EQ(top, kGroundLevel - 136);
    EXPECT_EQ(f.y, 394);
    f.Gravity();
    EXPECT_EQ(f.y, 394);  // the turn: speed 0
    f.Jump(16);
    EXPECT_EQ(f.ySpeed, 14);
    EXPECT_EQ(f.airActions, 0);
    f.Gravity();
    startCapture();
    f.Jump(16);
    EXPECT_EQ(stopCapture(), "");
    EXPECT_EQ(f.ySpeed, 13);
    land();
    EXPECT_EQ(f.airActions, 2);
}

TEST_F(FighterTest, MovesCostAirActionsOnlyInTheAir) {
    land();
    f.changeAction(&kick);
    EXPECT_EQ(f.airActions, 2);
    EXPECT_TRUE(f.returnBusy());
    f.currentMove = nullptr;
    f.Jump(16);
    f.changeAction(&kick);  // the last air action
    EXPECT_EQ(f.airActions, 0);
    f.Jump(16);
    EXPECT_EQ(f.action, "kick");
    f.currentMove = nullptr;
    f.changeAction(&kick);
    EXPECT_EQ(f.currentMove, nullptr);
}

TEST_F(FighterTest, BoundaryClampsTheAnchor) {
    const std::vector<std::pair<int, int>> clamps = {
        {-7, kBoundaryXLeft}, {805, kBoundaryXRight}, {800, kBoundaryXRight}, {0, 0}, {400, 400}};
    for (auto [from, to] : clamps) {
        f.x = from;
        f.boundary();
        EXPECT_EQ(f.x, to);
    }
}

TEST_F(FighterTest, DucksOnlyFromWalk) {
    for (const char* from : {"standing", "inAir"}) {
        f.changeAnim(from);
        f.duck();
        EXPECT_EQ(f.action, from);
    }
    f.changeAnim("walk");
    startCapture();
    f.duck();
    EXPECT_EQ(stopCapture(), "duck\n");
    EXPECT_EQ(f.base, anims.returnAnimation("duck"));
}

TEST_F(FighterTest, MoveEndsInDrawShowingWalkFrameZero) {
    land();
    f.x = 300;
    f.lastTick = 1000;
    startCapture();
    f.changeAction(&kick);
    drawPass();
    clockSet(1031);  // 10 ms x 3.0 passed: second frame
    drawPass();
    EXPECT_EQ(f.frame, 1);
    EXPECT_TRUE(f.returnBusy());
    clockSet(1062);
    drawPass();
    EXPECT_EQ(stopCapture(), "kickpunch ended\nwalk\n");
    EXPECT_FALSE(f.returnBusy());
    EXPECT_EQ(f.action, "walk");
    EXPECT_EQ(f.frame, 0);
    EXPECT_EQ(at(300, 500), mapped(kWalk));
    f.x = 400;  // the next pass leaves no trace of either image
    drawPass();
    EXPECT_EQ(at(300, 500), mapped(kBackground));
    EXPECT_EQ(at(280, 480), mapped(kBackground));
}

// A frame shows for its whole pause times the speed (10 ms x 3.0): at that
// very tick it is still shown; one tick later the next frame, or the move's end.
TEST_F(FighterTest, FrameShowsForItsWholePauseBeforeTheNextOrTheMoveEnds) {
    land();
    f.lastTick = 1000;
    startCapture();
    f.changeAction(&kick);
    const struct {
        Uint32 clock;
        int frame;
        bool busy;
    } passes[] = {
        {1000, 0, true}, {1030, 0, true}, {1031, 1, true}, {1061, 1, true}, {1062, 0, false},
    };
    for (const auto& pass : passes) {
        clockSet(pass.clock);
        drawPass();
        EXPECT_EQ(pass.frame, f.frame) << "at " << pass.clock;
        EXPECT_EQ(pass.busy, f.returnBusy()) << "at " << pass.clock;
    }
    EXPECT_EQ("kickpunch ended\nwalk\n", stopCapture());
}

TEST_F(FighterTest, JumpDuringAMoveEndsItWhenInAirWraps) {
    land();
    f.changeAction(&kick);
    f.Jump(16);
    EXPECT_TRUE(f.returnBusy());
    clockSet(1031);
    drawPass();
    clockSet(1062);
    startCapture();
    drawPass();
    EXPECT_EQ(stopCapture(), "punch ended\nwalk\n");
    EXPECT_FALSE(f.returnBusy());
}

TEST_F(FighterTest, FramesMoveSidewaysByFacingAndLift) {
    land();
    f.changeAction(&kick);
    f.dir = true;
    f.Gravity();
    EXPECT_EQ(f.x, 155);
    f.dir = false;
    f.Gravity();
    EXPECT_EQ(f.x, 150);
    f.frame = 1;
    f.Gravity();
    EXPECT_EQ(f.y, 524);
    EXPECT_FALSE(f.grounded);
    EXPECT_EQ(f.ySpeed, 4);
}

TEST_F(FighterTest, BoxRectangleExampleFacingRight) {
    f.changeAnim("boxes");
    f.dir = true;
    f.x = 100;
    f.y = kGroundLevel;
    f.drawColBoxes();
    EXPECT_EQ(at(95, 510), kCollisionBoxColour);  // below the hit box
    EXPECT_EQ(at(100, 500), kCollisionBoxColour);
    EXPECT_EQ(at(114, 539), kCollisionBoxColour);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{115, 520}, {110, 499}, {110, 540}})
        EXPECT_EQ(at(x, y), mapped(kBackground));
    EXPECT_EQ(at(90, 500), kHitBoxColour);  // hit box, drawn last
    EXPECT_EQ(at(99, 509), kHitBoxColour);
    EXPECT_EQ(at(100, 509), kCollisionBoxColour);
    EXPECT_EQ(at(98, 528), kAnchorMarkColour);  // anchor marker
    EXPECT_EQ(at(101, 529), kAnchorMarkColour);
    EXPECT_EQ(at(102, 528), kCollisionBoxColour);
}

TEST_F(FighterTest, AnchorPlacesTheImageAndBoxesByFacing) {
    land();
    f.x = 200;
    f.dir = true;
    drawPass();
    EXPECT_EQ(at(190, 470), mapped(0xffffff));
    EXPECT_EQ(at(229, 529), mapped(kWalk));
    EXPECT_EQ(at(189, 500), mapped(kBackground));
    EXPECT_EQ(at(230, 500), mapped(kBackground));
    EXPECT_EQ(at(200, 469), mapped(kBackground));
    f.drawColBoxes();
    EXPECT_EQ(at(192, 480), kCollisionBoxColour);
    EXPECT_EQ(at(198, 480), mapped(kWalk));
    fillSurface(testScreen(), mapped(kBackground));
    f.dir = false;
    drawPass();
    EXPECT_EQ(at(170, 470), mapped(kWalk));
    EXPECT_EQ(at(209, 529), mapped(0xffffff));  // mirrored: the edge is on the right
    EXPECT_EQ(at(169, 500), mapped(kBackground));
    EXPECT_EQ(at(210, 500), mapped(kBackground));
    f.drawColBoxes();
    EXPECT_EQ(at(202, 480), kCollisionBoxColour);
    EXPECT_EQ(at(207, 480), kCollisionBoxColour);
    EXPECT_EQ(at(197, 480), mapped(kWalk));
}

TEST_F(FighterTest, RestoresTheBackgroundWhereItWasSavedWithTheOldFacing) {
    land();
    SDL_Rect stripe = {150, 480, 200, 10};
    SDL_FillRect(testScreen(), &stripe, mapped(0xe0e0e0));
    f.x = 200;
    f.dir = true;
    drawPass();
    EXPECT_EQ(at(200, 485), mapped(kWalk));
    f.x = 260;
    f.dir = false;
    drawPass();
    EXPECT_EQ(at(190, 470), mapped(kBackground));
    EXPECT_EQ(at(225, 500), mapped(kBackground));
    EXPECT_EQ(at(200, 485), mapped(0xe0e0e0));
    EXPECT_EQ(at(229, 485), mapped(0xe0e0e0));
    EXPECT_EQ(at(230, 470), mapped(kWalk));
    EXPECT_EQ(at(266, 470), mapped(0xffffff));
}

TEST_F(FighterTest, EveryChangeTakesAFreshCopyOfBlank) {
    f.changeAnim("standing");
    ASSERT_NE(f.bgSave, nullptr);
    EXPECT_EQ(f.bgSave->w, 50);
    EXPECT_EQ(f.bgSave->h, 70);
    EXPECT_EQ(pixelAt(f.bgSave, 0, 0), mapped(0xff00ff));
}

TEST_F(FighterTest, RefusesAMoveWhoseFramesNeverLoaded) {
    land();
    startCapture();
    f.changeAction(&broken);
    EXPECT_EQ(stopCapture(), "");
    EXPECT_EQ(f.action, "walk");
    EXPECT_FALSE(f.returnBusy());
    EXPECT_EQ(f.base, anims.returnAnimation("walk"));
}

TEST_F(FighterTest, NeverDrawsSavesOrRestoresAnUndrawableSet) {
    land();
    drawPass();
    f.base = &broken.animation;
    f.x = 400;
    fillSurface(testScreen(), mapped(kBackground));
    drawPass();
    f.drawColBoxes();
    EXPECT_EQ(f.oldX, 150);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{140, 500}, {400, 500}, {398, 528}})
        EXPECT_EQ(at(x, y), mapped(kBackground));
}

TEST(FighterData, EmptyAnimationSetFallsWithoutDrawing) {
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0x123456);
    animationSet none;
    Fighter f;
    startCapture();
    f.initS(&none, screen);
    EXPECT_EQ(stopCapture(), "walk\n");
    EXPECT_EQ(f.base, nullptr);
    f.x = 100;
    f.y = 300;
    for (int step = 0; step < 23; ++step) f.Gravity();
    EXPECT_EQ(f.y, kGroundLevel);
    f.Jump(16);
    f.clearBG();
    f.updateBG();
    f.draw();
    f.drawColBoxes();
    EXPECT_EQ(pixelAt(screen, 100, 529), 0x123456u);
}

TEST(FighterData, MissingBlankSavesWithTheFirstAnimation) {
    testScreen();
    std::string dir = makeTempDir("noblank");
    writeSet(dir + "/walk", {{kWalk, 30, 50}});
    writeFile(dir + "/info", "ANIMS: 1\nwalk\n");
    animationSet anims;
    anims.loadAll(dir.c_str(), gameLoading());
    Fighter f;
    f.initS(&anims, testScreen());
    ASSERT_NE(f.bgSave, nullptr);
    EXPECT_EQ(f.bgSave->w, 30);
    EXPECT_EQ(pixelAt(f.bgSave, 10, 10), mapped(kWalk));
}

TEST_F(FighterTest, PlacesBeyondSixteenBitsAreNotDrawnWhereTheyWouldWrap) {
    land();
    drawPass();
    // 65536 below 300 wraps to 300 in SDL's 16-bit rectangles.
    f.y = 300 + 65536;
    f.x = 400;
    drawPass();
    EXPECT_EQ(mapped(kBackground), at(400, 280));
    f.x = 400 + 65536;
    f.y = 300;
    drawPass();
    EXPECT_EQ(mapped(kBackground), at(400, 280));
}
