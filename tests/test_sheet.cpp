// Frame sheets: a small frame set written here, drawn on a sheet, checked
// by the sheet's size and by the pixels where the records put boxes and anchors.
#include <gtest/gtest.h>

#include "sprites/font.h"
#include "authoring/sheet.h"
#include "testSupport.h"

namespace {
const Uint32 kFirstColour = 0x2060a0;
const Uint32 kSecondColour = 0x20a060;

// One frame block of an info file.
std::string block(const std::string& bitmap, int pause, const std::string& anchor, const std::string& colBox,
                  const std::string& hitBox, int hitActive, const std::string& sound,
                  const std::vector<std::string>& particles, const std::string& move) {
    std::string text = bitmap + " " + std::to_string(pause) + " 255 0 255\n" + anchor + "\n" + colBox + "\n" +
                       hitBox + "\n" + std::to_string(hitActive) + "\n0\n0\n0 0\n0 0\n" + sound + "\n" +
                       std::to_string(particles.size()) + "\n";
    for (const std::string& line : particles) text += line + "\n";
    return text + move + "\n0\nNULL\n";
}

// Two 40x30 frames: the first with a live hit box and two particle lines,
// the second with a hit box that is not live.
std::string writeTwoFrames() {
    std::string folder = makeTempDir("sheet") + "/set";
    writeBmp(folder + "/a.bmp", 40, 30, kFirstColour);
    writeBmp(folder + "/b.bmp", 40, 30, kSecondColour);
    writeFile(folder + "/info", "FILES: 2\n" +
                                    block("a.bmp", 20, "10 25", "5 4 30 28", "12 6 36 20", 1, "hitA",
                                          {"spark 3 4", "spark -2 1"}, "2 0") +
                                    "\n" +
                                    block("b.bmp", 30, "20 30", "8 2 32 29", "1 1 5 5", 0, "NULL", {}, "0 0"));
    return folder;
}

// A colour the sheet shows at (dx, dy) from a frame image's top-left
// corner, or with `absent` a colour it must not show there.
struct pixelCheck {
    int dx;
    int dy;
    Uint32 colour;
    bool absent = false;
};

class Sheet : public testing::Test {
protected:
    CSpriteBase set;
    SDL_Surface* sheet = nullptr;
    sheetLayout layout;  // where draw put each frame

    void SetUp() override { testScreen(); }
    void TearDown() override {
        if (sheet) SDL_FreeSurface(sheet);
        set.release();
    }
    void load(const std::string& folder) {
        startCapture();
        set.initR(folder.c_str(), gameLoading());
        stopCapture();
    }
    SDL_Surface* draw(const sheetOptions& options = sheetOptions()) {
        std::string problem;
        sheet = drawSheet(set, "set", options, problem);
        EXPECT_EQ("", problem);
        layout = layoutSheet(set, "set", options);
        return sheet;
    }
    Uint32 at(int x, int y) { return pixelAt(sheet, x, y) & 0xffffff; }
    // Checks every pixel of `checks` around the image corner (x, y).
    void expectPixels(int x, int y, const std::vector<pixelCheck>& checks) {
        for (const pixelCheck& check : checks) {
            Uint32 shown = at(x + check.dx, y + check.dy);
            if (check.absent)
                EXPECT_NE(check.colour, shown) << check.dx << "," << check.dy;
            else
                EXPECT_EQ(check.colour, shown) << check.dx << "," << check.dy;
        }
    }
};
}  // namespace

TEST_F(Sheet, TwoFramesMakeOneRowOfTheExpectedSize) {
    load(writeTwoFrames());
    ASSERT_EQ(2, set.numFrames);
    ASSERT_NE(nullptr, draw());
    // Slots: 47 ("no image") + 2 x 6 = 59 wide, 30 + 12 = 42 high. Cells are
    // 30 characters (180 px) wide; frame 0 has 9 text lines: 42 + 4 + 99 = 145.
    // Two cells in one row: 8 + 180 + 12 + 180 + 8 = 388. Heading: the title,
    // the summary in two lines, the legend: 4 x 11 + 8 = 52; 8 + 52 + 145 + 8 = 213.
    EXPECT_EQ(388, sheet->w);
    EXPECT_EQ(213, sheet->h);
    EXPECT_EQ(32, sheet->format->BitsPerPixel);
    EXPECT_EQ(2, layout.columns);
    EXPECT_EQ(1, layout.rows);
}

TEST_F(Sheet, StoredFrameHasItsBoxesAndAnchorWhereTheRecordPutsThem) {
    load(writeTwoFrames());
    ASSERT_NE(nullptr, draw());
    int cx = layout.storedX(0);
    int cy = layout.imageY(0);
    EXPECT_EQ(14, cx);
    EXPECT_EQ(8 + 52 + 6, cy);
    expectPixels(cx, cy, {// collision box 5,4 - 30,28: its outline, and the image inside and outside it
                          {5, 4, kCollisionColour},
                          {29, 27, kCollisionColour},
                          {5, 16, kCollisionColour},
                          {4, 4, kFirstColour},
                          {30, 28, kFirstColour},
                          {20, 15, kFirstColour},
                          // live hit box 12,6 - 36,20, drawn over the collision box
                          {12, 6, kHitColour},
                          {35, 19, kHitColour},
                          {36, 20, kFirstColour},
                          // the cross through the anchor 10,25
                          {10, 25, kAnchorColour}});
    // the game's anchor marker: 4 x 2 pixels just above the anchor
    for (int x = cx + 8; x < cx + 12; ++x) {
        EXPECT_EQ(kAnchorColour, at(x, cy + 23)) << x;
        EXPECT_EQ(kAnchorColour, at(x, cy + 24)) << x;
    }
}

TEST_F(Sheet, MirroredFrameHasMirroredEdgesAndAnchor) {
    load(writeTwoFrames());
    ASSERT_NE(nullptr, draw());
    int mx = layout.mirroredX(0);
    EXPECT_EQ(8 + 59 + 4 + 6, mx);
    expectPixels(mx, layout.imageY(0), {// collision 5..30 across a 40-pixel image becomes 10..35
                                        {10, 4, kCollisionColour},
                                        {34, 27, kCollisionColour},
                                        {9, 10, kFirstColour},
                                        // hit 12..36 becomes 4..28
                                        {4, 6, kHitColour},
                                        {27, 19, kHitColour},
                                        // anchor x 10 becomes 30
                                        {28, 23, kAnchorColour},
                                        {31, 24, kAnchorColour},
                                        {8, 23, kAnchorColour, true}});
}

TEST_F(Sheet, HitBoxThatIsNotLiveIsNotDrawn) {
    load(writeTwoFrames());
    ASSERT_NE(nullptr, draw());
    int cx = layout.storedX(1);
    EXPECT_EQ(8 + 180 + 12 + 6, cx);
    expectPixels(cx, layout.imageY(1), {{1, 1, kSecondColour}, {4, 4, kSecondColour}, {8, 2, kCollisionColour}});
}

TEST_F(Sheet, FilledBoxesCoverTheirInsideAsInTheGame) {
    load(writeTwoFrames());
    sheetOptions filled;
    filled.filled = true;
    ASSERT_NE(nullptr, draw(filled));
    expectPixels(layout.storedX(1), layout.imageY(1),
                 {{20, 15, kCollisionColour},
                  {33, 15, kSecondColour},
                  // no cross in the game's look: only the marker above the anchor 20,30
                  {18, 28, kAnchorColour},
                  {20, 26, kAnchorColour, true}});
}

TEST_F(Sheet, TextUnderEachFrameTellsItsRecord) {
    load(writeTwoFrames());
    std::vector<std::string> lines = describeFrame(set, 0);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ("frame 0  pause 20 (x3 = 60 ms)", lines[0]);
    EXPECT_EQ("anchor 10,25 (mirrored 30,25)", lines[1]);
    EXPECT_EQ("hit 12,6 - 36,20  active", lines[3]);
    EXPECT_EQ("sound hitA", lines[5]);
    EXPECT_EQ("particles 2:", lines[6]);
    EXPECT_EQ("  spark 3 4", lines[7]);
    EXPECT_EQ("  spark -2 1", lines[8]);
    EXPECT_EQ("sound NULL", describeFrame(set, 1)[5]);

    ASSERT_NE(nullptr, draw());
    int textTop = layout.cellY(0) + layout.slotHeight + kTextGap;
    int lit = 0;
    for (int y = textTop; y < textTop + kLineHeight; ++y)
        for (int x = layout.cellX(0); x < layout.cellX(0) + 60; ++x)
            if (at(x, y) == 0xe8e8e8) ++lit;
    EXPECT_GT(lit, 20) << "the first text line is drawn under the frame";
}

TEST_F(Sheet, FramesCutShortAndWildBoxesAreSafe) {
    std::string folder = makeTempDir("sheet") + "/cut";
    writeBmp(folder + "/a.bmp", 20, 10, kFirstColour);
    // a box far beyond the image, an inverted one, then a block the file cuts off
    writeFile(folder + "/info", "FILES: 2\n" +
                                    block("a.bmp", 5, "-900 4000", "-5000 -5000 5000 5000", "30 8 2 1", 1, "NULL",
                                          {}, "0 0") +
                                    "a.bmp 5\n1 1\n");
    load(folder);
    ASSERT_EQ(1, set.numFrames);
    ASSERT_NE(nullptr, draw());
    EXPECT_EQ(1, layout.frames);
    SDL_Rect slot = layout.slot(0, false);
    // The huge box is cut at the slot: its edges are not drawn, nothing outside it is.
    EXPECT_NE(kCollisionColour, at(slot.x - 1, slot.y + 5));
    EXPECT_NE(kCollisionColour, at(slot.x + slot.w, slot.y + 5));
    EXPECT_NE(kHitColour, at(layout.storedX(0) + 2, layout.imageY(0) + 1));
}

TEST_F(Sheet, NoFramesGiveNoSheet) {
    std::string folder = makeTempDir("sheet") + "/empty";
    writeFile(folder + "/info", "FILES: 0\n");
    load(folder);
    std::string problem;
    EXPECT_EQ(nullptr, drawSheet(set, "empty", sheetOptions(), problem));
    EXPECT_EQ("no frames to draw", problem);
}

TEST(SheetFont, GlyphsAreDrawnFromTheirRows) {
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 10, 32, 0xff0000, 0xff00, 0xff, 0);
    SDL_FillRect(surface, nullptr, 0);
    drawText(surface, 0, 0, "A ", 0xffffff);
    // A's top row is .###.; its fourth row is #####; the blank after it is empty
    EXPECT_EQ(0u, pixelAt(surface, 0, 0) & 0xffffff);
    EXPECT_EQ(0xffffffu, pixelAt(surface, 1, 0) & 0xffffff);
    EXPECT_EQ(0xffffffu, pixelAt(surface, 3, 0) & 0xffffff);
    EXPECT_EQ(0u, pixelAt(surface, 4, 0) & 0xffffff);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(0xffffffu, pixelAt(surface, x, 3) & 0xffffff) << x;
    for (int x = 5; x < 12; ++x)
        for (int y = 0; y < 7; ++y) EXPECT_EQ(0u, pixelAt(surface, x, y) & 0xffffff) << x << "," << y;
    SDL_FreeSurface(surface);

    // p hangs below the base line, P does not: they stay apart at this size
    EXPECT_NE(0, glyphRows('p')[kGlyphRows - 1]);
    EXPECT_EQ(0, glyphRows('P')[kGlyphRows - 1]);
    EXPECT_EQ(0, glyphRows('p')[0]);
    EXPECT_NE(nullptr, glyphRows('~'));
    EXPECT_EQ(nullptr, glyphRows('\t'));
    EXPECT_EQ(11, textWidth("AB"));
    EXPECT_EQ(22, textWidth("AB", 2));
    EXPECT_EQ(0, textWidth(""));
}

TEST(SheetFont, LongLinesWrapAtBlanksOrWhereTheyMust) {
    std::vector<std::string> lines = wrapText("alpha beta gamma", 10);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("alpha beta", lines[0]);
    EXPECT_EQ("gamma", lines[1]);
    lines = wrapText("abcdefghijkl", 5);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("abcde", lines[0]);
    EXPECT_EQ("kl", lines[2]);
    EXPECT_EQ(1u, wrapText("", 5).size());
}
