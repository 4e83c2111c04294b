// The pieces of fightscene-bench: the plain-copy limit, the figures and their
// ratios, and the scene driver over the bundled data.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "benchScene.h"
#include "figures.h"
#include "rectCopy.h"

namespace {
SDL_Surface* makeScreen() {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 800, 600, 32, 0xff0000, 0xff00, 0xff, 0);
}

Uint32 pixel(SDL_Surface* s, int x, int y) {
    return static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x];
}

void fill(SDL_Surface* s, Uint32 value) {
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x] = value;
}

// Pixel (x, y) of a sprite buffer of width w.
Uint32& at(std::vector<Uint8>& buffer, int w, int x, int y) {
    return reinterpret_cast<Uint32*>(buffer.data())[y * w + x];
}

benchmark::BenchmarkReporter::Run makeRun(const std::string& name, double cpuSeconds, long iterations) {
    benchmark::BenchmarkReporter::Run run;
    run.run_name.function_name = name;
    run.cpu_accumulated_time = cpuSeconds;
    run.real_accumulated_time = cpuSeconds;
    run.iterations = iterations;
    run.time_unit = benchmark::kMicrosecond;
    return run;
}
}  // namespace

TEST(ClipRect, KeepsARectangleInsideAndCutsAtEveryEdge) {
    pixelRect inside{10, 20, 30, 40};
    pixelRect cut = clipRect(inside, 800, 600);
    EXPECT_EQ(10, cut.x);
    EXPECT_EQ(20, cut.y);
    EXPECT_EQ(30, cut.w);
    EXPECT_EQ(40, cut.h);

    cut = clipRect(pixelRect{-5, -7, 20, 20}, 800, 600);
    EXPECT_EQ(0, cut.x);
    EXPECT_EQ(0, cut.y);
    EXPECT_EQ(15, cut.w);
    EXPECT_EQ(13, cut.h);

    cut = clipRect(pixelRect{790, 595, 20, 20}, 800, 600);
    EXPECT_EQ(10, cut.w);
    EXPECT_EQ(5, cut.h);

    EXPECT_EQ(0, clipRect(pixelRect{900, 10, 20, 20}, 800, 600).w);
    EXPECT_EQ(0, clipRect(pixelRect{-40, 10, 20, 20}, 800, 600).w);
    EXPECT_EQ(0, clipRect(pixelRect{10, 10, -3, 20}, 800, 600).w);
}

TEST(CopyPass, RestoresSavesAndDrawsOnlyTheSpritesRectangles) {
    SDL_Surface* screen = makeScreen();
    ASSERT_NE(nullptr, screen);
    fill(screen, 0x123456);
    std::vector<spriteCopy> sprites;
    sprites.emplace_back(pixelRect{100, 50, 4, 3});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            at(sprites[0].saved, 4, x, y) = 0x00aa00;
            at(sprites[0].image, 4, x, y) = 0x0000ff + static_cast<Uint32>(x);
        }

    size_t bytes = copyPass(screen, sprites);
    EXPECT_EQ(3u * 4 * 3 * 4, bytes);
    // The image lies on the screen; the saved background is what was restored.
    EXPECT_EQ(0x0000ffu, pixel(screen, 100, 50));
    EXPECT_EQ(0x0000ffu + 3, pixel(screen, 103, 52));
    EXPECT_EQ(0x00aa00u, at(sprites[0].saved, 4, 3, 2));
    // Nothing around the rectangle is touched.
    EXPECT_EQ(0x123456u, pixel(screen, 99, 50));
    EXPECT_EQ(0x123456u, pixel(screen, 104, 50));
    EXPECT_EQ(0x123456u, pixel(screen, 100, 49));
    EXPECT_EQ(0x123456u, pixel(screen, 100, 53));
    SDL_FreeSurface(screen);
}

TEST(CopyPass, CutsASpriteAtTheScreenEdgesWithTheRightColumns) {
    SDL_Surface* screen = makeScreen();
    ASSERT_NE(nullptr, screen);
    fill(screen, 0);
    std::vector<spriteCopy> sprites;
    sprites.emplace_back(pixelRect{-2, 598, 4, 4});    // 2 x 2 of it on the screen
    sprites.emplace_back(pixelRect{1000, 100, 8, 8});  // all of it off the screen
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) at(sprites[0].image, 4, x, y) = 0x100 * static_cast<Uint32>(y) + x;

    size_t bytes = copyPass(screen, sprites);
    EXPECT_EQ(3u * 2 * 2 * 4, bytes);
    // Screen column 0 shows image column 2.
    EXPECT_EQ(0x002u, pixel(screen, 0, 598));
    EXPECT_EQ(0x103u, pixel(screen, 1, 599));
    EXPECT_EQ(0u, pixel(screen, 2, 599));
    SDL_FreeSurface(screen);
}

TEST(FigureBook, AveragesIterationRunsInNanoseconds) {
    figureBook book;
    // 2000 iterations in 0.004 s: 2 us each; then 1000 in 0.004 s: 4 us.
    book.record({makeRun("Scene/Pass", 0.004, 2000)});
    book.record({makeRun("Scene/Pass", 0.004, 1000)});
    const benchFigure* pass = book.find("Scene/Pass");
    ASSERT_NE(nullptr, pass);
    EXPECT_NEAR(3000.0, pass->cpuNs, 1e-6);
    EXPECT_EQ(nullptr, book.find("Scene/FullRepaint"));
}

TEST(FigureBook, PrefersTheMeanOfRepetitionsAndSetsAsideErrors) {
    figureBook book;
    benchmark::BenchmarkReporter::Run mean = makeRun("Load/FrameSets", 0.010, 1);
    mean.run_type = benchmark::BenchmarkReporter::Run::RT_Aggregate;
    mean.aggregate_name = "mean";
    benchmark::BenchmarkReporter::Run deviation = makeRun("Load/FrameSets", 0.5, 1);
    deviation.run_type = benchmark::BenchmarkReporter::Run::RT_Aggregate;
    deviation.aggregate_name = "stddev";
    book.record({makeRun("Load/FrameSets", 0.030, 1), mean, deviation});
    ASSERT_NE(nullptr, book.find("Load/FrameSets"));
    EXPECT_NEAR(10e6, book.find("Load/FrameSets")->cpuNs, 1e-3);

    benchmark::BenchmarkReporter::Run broken = makeRun("Scene/Pass", 0.001, 10);
    broken.error_occurred = true;
    broken.error_message = "the fighter did not walk";
    book.record({broken});
    EXPECT_EQ(nullptr, book.find("Scene/Pass"));
    ASSERT_EQ(1u, book.failures().size());
    EXPECT_NE(std::string::npos, book.failures()[0].find("the fighter did not walk"));
}

TEST(FigureBook, SummaryGivesEachRatioAndWhetherItsTargetIsMet) {
    figureBook book;
    book.record({makeRun(benchNames::kPass, 0.010, 1000)});        // 10 us
    book.record({makeRun(benchNames::kRepaint, 0.100, 1000)});     // 100 us
    book.record({makeRun(benchNames::kBytesLimit, 0.004, 1000)});  // 4 us
    book.record({makeRun(benchNames::kLoad, 0.030, 1)});           // 30 ms
    book.record({makeRun(benchNames::kDecode, 0.020, 1)});         // 20 ms
    std::ostringstream out;
    book.printSummary(out);
    std::string text = out.str();
    EXPECT_NE(std::string::npos, text.find("full repaint / pass          10.00  (target >= 15: NOT met)")) << text;
    EXPECT_NE(std::string::npos, text.find("pass / bytes-moved limit     2.50  (target <= 3: met)")) << text;
    EXPECT_NE(std::string::npos, text.find("full repaint / bytes limit   25.00")) << text;
    EXPECT_NE(std::string::npos, text.find("frame-set loading / decoding 1.50  (target <= 2: met)")) << text;
    EXPECT_EQ(std::string::npos, text.find("input update")) << "no input figures were recorded";
}

// The driver over the real scene and the bundled data.
class BenchSceneTest : public testing::Test {
protected:
    static benchScene* scene;
    static void SetUpTestSuite() {
        ASSERT_EQ(0, chdir(FIGHTSCENE_SOURCE_DIR));
        ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO));
        scene = new benchScene;
        std::string why;
        testing::internal::CaptureStdout();
        bool started = scene->start(why) && scene->settle();
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(started) << why;
        scene->launch(3);
    }
    void SetUp() override { ASSERT_NE(nullptr, scene); }
};
benchScene* BenchSceneTest::scene = nullptr;

TEST_F(BenchSceneTest, SettledSceneHasTheFighterOnTheFloor) {
    EXPECT_TRUE(vikings1.grounded);
    EXPECT_EQ(530, vikings1.y);
    EXPECT_EQ(3, scene->liveParticles());
}

TEST_F(BenchSceneTest, PassesWalkBackAndForthAndKeepThreeParticles) {
    testing::internal::CaptureStdout();
    long walkedBefore = scene->walked;
    int turnsBefore = scene->turns;
    // 3 pixels a pass: enough passes to cross the walk twice.
    // The walk may begin left of its left end (the start-up place).
    int leftmost = std::min(vikings1.x, kWalkLeftEnd) - 3;
    int outside = -1;
    int lost = -1;
    for (int i = 0; i < 400; ++i) {
        scene->pass();
        if (outside < 0 && (vikings1.x < leftmost || vikings1.x > kWalkRightEnd + 3)) outside = i;
        if (lost < 0 && scene->liveParticles() != 3) lost = i;
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(-1, outside) << "the fighter left the walk at pass " << outside;
    EXPECT_EQ(-1, lost) << "particles were lost at pass " << lost;
    EXPECT_EQ(400 * 3, scene->walked - walkedBefore);
    EXPECT_GE(scene->turns - turnsBefore, 2);
    EXPECT_EQ("walk", vikings1.action);
}

TEST_F(BenchSceneTest, RepaintPassesShowTheBackgroundAwayFromTheSprites) {
    testing::internal::CaptureStdout();
    for (int i = 0; i < 50; ++i) scene->repaintPass();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(3, scene->liveParticles());
    // Below the floor line, far from every sprite, the screen is the background.
    std::vector<pixelRect> rects = scene->spriteRects();
    ASSERT_EQ(4u, rects.size());
    for (int x = 0; x < 800; x += 37) {
        bool covered = false;
        for (const pixelRect& r : rects) covered = covered || (x >= r.x && x < r.x + r.w && 590 >= r.y);
        if (covered) continue;
        EXPECT_EQ(pixel(back, x, 590) & 0xffffff, pixel(screen, x, 590) & 0xffffff) << x;
    }
    scene->resync();
}

TEST_F(BenchSceneTest, SpriteRectanglesAreTheFrameSetSizesAtTheImageCorners) {
    std::vector<pixelRect> rects = scene->spriteRects();
    ASSERT_EQ(4u, rects.size());
    EXPECT_EQ(vikings1.base->width, rects[0].w);
    EXPECT_EQ(vikings1.base->height, rects[0].h);
    EXPECT_EQ(vikings1.y - vikings1.base->frames[vikings1.frame].offsetY, rects[0].y);
    int i = 1;
    for (partNode* node = pList.head; node; node = node->next, ++i) {
        EXPECT_EQ(node->part->sprite.x, rects[i].x);
        EXPECT_EQ(node->part->sprite.base->width, rects[i].w);
    }
}
