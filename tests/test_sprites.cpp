// Frame sets, mirroring and sprite instances against the real SDL on the
// dummy display.
#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "sprites/clock.h"
#include "sprites/CSprite.h"
#include "sprites/CSpriteBase.h"
#include "sprites/flipper.h"
#include "sprites/sceneGeometry.h"
#include "testSupport.h"

namespace {
const Uint32 kMagenta = 0xff00ff;

struct blockSpec {
    std::string head = "f0.bmp 40 255 0 255";
    std::string anchor = "10 30";
    std::string colBox = "5 0 25 40";
    std::string hitBox = "0 0 0 0";
    std::string hitActive = "0";
    std::string flag1 = "0";
    std::string sound = "NULL";
    std::vector<std::string> particles;
    std::string move = "0 0";
    std::string flag2 = "0";
    std::string name = "none";
};

std::string blockText(const blockSpec& b) {
    std::string text = b.head + "\n" + b.anchor + "\n" + b.colBox + "\n" + b.hitBox + "\n" + b.hitActive + "\n" +
                       b.flag1 + "\n7\n1 2\n3 4\n" + b.sound + "\n" + std::to_string(b.particles.size()) + "\n";
    for (const std::string& line : b.particles) text += line + "\n";
    return text + b.move + "\n" + b.flag2 + "\n" + b.name + "\n";
}

// A frame folder with `info` text and bitmaps f0.bmp .. f<n-1>.bmp.
std::string frameFolder(const std::string& info, int bitmaps, int w = 64, int h = 80, Uint32 rgb = 0x3366aa) {
    testScreen();
    std::string dir = makeTempDir("frames");
    writeFile(dir + "/info", info);
    for (int i = 0; i < bitmaps; ++i) writeBmp(dir + "/f" + std::to_string(i) + ".bmp", w, h, rgb);
    return dir;
}

std::string framesInfo(const std::vector<blockSpec>& blocks) {
    std::string text = "FILES: " + std::to_string(blocks.size()) + "\n";
    for (const blockSpec& b : blocks) text += blockText(b);
    return text;
}

// Loads the frame set in `dir` into `set`; what loading printed.
std::string loadFrames(CSpriteBase& set, const std::string& dir) {
    startCapture();
    set.initR(dir.c_str(), gameLoading());
    return stopCapture();
}

blockSpec frameNamed(int i, int pause = 40) {
    blockSpec b;
    b.head = "f" + std::to_string(i) + ".bmp " + std::to_string(pause);
    return b;
}
}  // namespace

TEST(FrameSetFormat, ReadsEveryFieldOfABlock) {
    blockSpec b;
    b.hitBox = "30 10 60 20";
    b.hitActive = "1";
    b.flag1 = "3";
    b.sound = "whoosh extra words";
    b.particles = {"fireball1 80 80", "spark 1 2"};
    b.move = "5 -2";
    b.flag2 = "-1";
    b.name = "tag more";
    std::string dir = frameFolder(framesInfo({b}), 1);
    CSpriteBase set;
    startCapture();
    ASSERT_EQ(0, set.initR(dir.c_str(), gameLoading()));
    std::string out = stopCapture();
    ASSERT_EQ(1, set.numFrames);
    const frameInfo& f = set.frames[0];
    EXPECT_EQ(40, f.pause);
    EXPECT_EQ(10, f.offsetX);
    EXPECT_EQ(30, f.offsetY);
    EXPECT_EQ(5, f.colBox.left);
    EXPECT_EQ(25, f.colBox.right);
    EXPECT_EQ(40, f.colBox.bottom);
    EXPECT_EQ(60, f.hitBox.right);
    EXPECT_EQ(1, f.hitActive);
    EXPECT_TRUE(f.reservedFlag1);
    EXPECT_EQ(7, f.reservedValue);
    EXPECT_EQ(2, f.reservedPoint1.y);
    EXPECT_EQ("whoosh", f.sound);  // first word only
    ASSERT_EQ(2, f.numParticles);
    EXPECT_EQ("fireball1 80 80", f.particles[0]);  // whole line
    EXPECT_EQ("spark 1 2", f.particles[1]);
    EXPECT_EQ(5, f.moveX);
    EXPECT_EQ(-2, f.moveY);
    EXPECT_FALSE(f.reservedFlag2);
    EXPECT_EQ("tag", f.reservedName);
    EXPECT_EQ(64, set.width);
    EXPECT_EQ(80, set.height);
    EXPECT_EQ("loading\n1\nf0.bmp\nwhoosh\ntag\nlet me guess\n", out);
}

TEST(FrameSetFormat, SkipsBlankAndCommentLinesOnlyBetweenBlocks) {
    blockSpec first = frameNamed(0);
    blockSpec second = frameNamed(1);
    second.sound = "# not a comment here";  // inside a block: read as the sound line
    std::string info = "FILES: 2\n\n# a comment\n" + blockText(first) + "\r\n\n#another\n" + blockText(second);
    std::string dir = frameFolder(info, 2);
    CSpriteBase set;
    loadFrames(set, dir);
    ASSERT_EQ(2, set.numFrames);
    EXPECT_EQ("#", set.frames[1].sound);
    EXPECT_EQ("NULL", set.frames[0].sound);
}

// Each field keeps the line it was read from, past comments, blank lines
// and launch lines of any number, so that a message can name it.
TEST(FrameSetFormat, RecordsTheLineOfEachField) {
    blockSpec first = frameNamed(0);
    first.particles = {"fireball1 80 80", "spark 1 2", "ember 0 0"};
    std::string info = "FILES: 2\n# a comment\n\n" + blockText(first) + "\n" + blockText(frameNamed(1));
    std::string dir = frameFolder(info, 2);
    CSpriteBase set;
    loadFrames(set, dir);
    ASSERT_EQ(2, set.numFrames);
    const struct {
        int frame;
        int block, anchor, colBox, hitBox, sound;
        std::vector<int> particles;
    } expected[] = {
        {0, 4, 5, 6, 7, 13, {15, 16, 17}},
        {1, 22, 23, 24, 25, 31, {}},  // after a blank line between the blocks
    };
    for (const auto& e : expected) {
        const frameInfo& f = set.frames[e.frame];
        EXPECT_EQ(e.block, f.infoLine) << e.frame;
        EXPECT_EQ(e.anchor, f.anchorLine) << e.frame;
        EXPECT_EQ(e.colBox, f.colBoxLine) << e.frame;
        EXPECT_EQ(e.hitBox, f.hitBoxLine) << e.frame;
        EXPECT_EQ(e.sound, f.soundLine) << e.frame;
        EXPECT_EQ(e.particles, f.particleLines) << e.frame;
    }
}

TEST(FrameSetFormat, CrlfFileMeansWhatItsLfTwinMeans) {
    blockSpec b;
    b.particles = {"fireball1 80 80"};
    std::string lf = framesInfo({b});
    std::string crlf;
    for (char c : lf) crlf += (c == '\n') ? std::string("\r\n") : std::string(1, c);
    CSpriteBase a, c;
    startCapture();
    a.initR(frameFolder(lf, 1).c_str(), gameLoading());
    c.initR(frameFolder(crlf, 1).c_str(), gameLoading());
    stopCapture();
    ASSERT_EQ(1, c.numFrames);
    EXPECT_EQ(a.frames[0].particles, c.frames[0].particles);
    EXPECT_EQ(a.frames[0].sound, c.frames[0].sound);
    EXPECT_EQ(a.frames[0].reservedName, c.frames[0].reservedName);
}

TEST(FrameSetFormat, ColourKeyCarriesOverAndNegativeRedMeansNone) {
    // Frame 0 keys magenta; frame 1 names no colour and keys magenta again;
    // frame 2 has red -1 and no key.
    blockSpec keyed = frameNamed(0);
    keyed.head = "f0.bmp 40 255 0 255";
    blockSpec carried = frameNamed(1);
    blockSpec unkeyed = frameNamed(2);
    unkeyed.head = "f2.bmp 40 -1 0 0";
    std::string dir = frameFolder(framesInfo({keyed, carried, unkeyed}), 3, 8, 8, kMagenta);
    CSpriteBase set;
    loadFrames(set, dir);
    ASSERT_EQ(3, set.numFrames);
    EXPECT_TRUE(set.frames[0].image->flags & SDL_SRCCOLORKEY);
    EXPECT_TRUE(set.frames[1].image->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(set.frames[0].image->format->colorkey, set.frames[1].image->format->colorkey);
    EXPECT_FALSE(set.frames[2].image->flags & SDL_SRCCOLORKEY);
    EXPECT_TRUE(set.mirror[0].image->flags & SDL_SRCCOLORKEY);

    // A keyed frame over a blue screen leaves the blue visible.
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0x0000ff);
    SDL_Rect at = {100, 100, 0, 0};
    SDL_BlitSurface(set.frames[1].image, nullptr, screen, &at);
    EXPECT_EQ(0x0000ffu, pixelAt(screen, 103, 103));
    SDL_BlitSurface(set.frames[2].image, nullptr, screen, &at);
    EXPECT_EQ(0xff00ffu, pixelAt(screen, 103, 103));
}

TEST(FrameSetFormat, FirstBlockWithoutColourKeysBlack) {
    blockSpec b;
    b.head = "f0.bmp 40";
    std::string dir = frameFolder(framesInfo({b}), 1, 8, 8, 0x000000);
    CSpriteBase set;
    loadFrames(set, dir);
    ASSERT_EQ(1, set.numFrames);
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0x00ff00);
    SDL_Rect at = {0, 0, 0, 0};
    SDL_BlitSurface(set.frames[0].image, nullptr, screen, &at);
    EXPECT_EQ(0x00ff00u, pixelAt(screen, 2, 2));
}

TEST(FrameSetFormat, MirroredRecordsFlipAboutTheFrameWidth) {
    blockSpec b;
    b.colBox = "10 0 50 40";
    b.hitBox = "40 5 60 20";
    std::string dir = frameFolder(framesInfo({b}), 1, 64, 80);
    CSpriteBase set;
    loadFrames(set, dir);
    const frameInfo& m = set.mirror[0];
    EXPECT_EQ(14, m.colBox.left);
    EXPECT_EQ(54, m.colBox.right);
    EXPECT_EQ(4, m.hitBox.left);
    EXPECT_EQ(24, m.hitBox.right);
    EXPECT_EQ(54, m.offsetX);
    EXPECT_EQ(63, m.reservedPoint1.x);  // 64 - 1
    EXPECT_EQ(0, m.pause);              // only the mirrored members are filled
}

TEST(FrameSetFormat, FramesOfDifferentSizesKeepTheLastSize) {
    testScreen();
    std::string dir = makeTempDir("sizes");
    writeFile(dir + "/info", framesInfo({frameNamed(0), frameNamed(1)}));
    writeBmp(dir + "/f0.bmp", 64, 80, 0x123456);
    writeBmp(dir + "/f1.bmp", 32, 40, 0x123456);
    blockSpec b0 = frameNamed(0);
    CSpriteBase set;
    loadFrames(set, dir);
    EXPECT_EQ(32, set.width);
    EXPECT_EQ(40, set.height);
    EXPECT_EQ(64 - 10, set.mirror[0].offsetX);  // mirrored about its own width
    EXPECT_EQ(32 - 10, set.mirror[1].offsetX);

    // The second loader keeps the first frame's size.
    CSpriteBase direct;
    startCapture();
    EXPECT_EQ(0, direct.init(dir.c_str(), gameLoading()));
    std::string out = stopCapture();
    EXPECT_EQ(64, direct.width);
    EXPECT_EQ(64 - 10, direct.mirror[1].offsetX);
    EXPECT_EQ(std::string::npos, out.find("let me guess"));
}

TEST(FrameSetFormat, FlagsAreTrueOnlyAboveZero) {
    blockSpec zero = frameNamed(0);
    zero.flag1 = "0";
    zero.flag2 = "1";
    blockSpec negative = frameNamed(1);
    negative.flag1 = "-4";
    negative.flag2 = "2";
    std::string dir = frameFolder(framesInfo({zero, negative}), 2);
    CSpriteBase set;
    loadFrames(set, dir);
    EXPECT_FALSE(set.frames[0].reservedFlag1);
    EXPECT_TRUE(set.frames[0].reservedFlag2);
    EXPECT_FALSE(set.frames[1].reservedFlag1);
    EXPECT_TRUE(set.frames[1].reservedFlag2);
}

TEST(FrameSetFormat, MissingInfoLeavesTheSetUnloaded) {
    testScreen();
    std::string dir = makeTempDir("empty");
    CSpriteBase set;
    startCapture();
    EXPECT_EQ(-1, set.initR(dir.c_str(), gameLoading()));
    std::string out = stopCapture();
    EXPECT_EQ("ERROR opening file " + dir + "/info\n\n", out);
    EXPECT_EQ(0, set.built);
    EXPECT_FALSE(set.drawable(0));
}

TEST(FrameSetBadInput, CountsThatLieAreLoadedAsFarAsTheFileGoes) {
    struct caseSpec {
        std::string header;
        int blocks;
        int expected;
    };
    const caseSpec cases[] = {
        {"FILES: -3", 1, 0},          {"FILES: 99999999999", 2, 2}, {"FILES: x", 1, 0},
        {"nonsense", 1, 0},           {"FILES: 5", 1, 1},           {"FILES:2", 2, 2},
    };
    for (const caseSpec& c : cases) {
        std::string info = c.header + "\n";
        for (int i = 0; i < c.blocks; ++i) info += blockText(frameNamed(i));
        std::string dir = frameFolder(info, c.blocks);
        CSpriteBase set;
        std::string out = loadFrames(set, dir);
        EXPECT_EQ(c.expected, set.numFrames) << c.header;
        EXPECT_EQ(c.expected, static_cast<int>(set.frames.size())) << c.header;
        if (c.expected != c.blocks || c.header == "nonsense") {
            EXPECT_NE(std::string::npos, out.find(dir + "/info:")) << c.header << "\n" << out;
        }
    }
}

TEST(FrameSetBadInput, FileEndingInsideABlockKeepsTheWholeFramesOnly) {
    std::string whole = blockText(frameNamed(0));
    std::string cut = blockText(frameNamed(1)).substr(0, 20);
    std::string dir = frameFolder("FILES: 2\n" + whole + cut, 2);
    CSpriteBase set;
    std::string out = loadFrames(set, dir);
    EXPECT_EQ(1, set.numFrames);
    EXPECT_TRUE(set.drawable(0));
    EXPECT_FALSE(set.drawable(1));
    EXPECT_NE(std::string::npos, out.find(dir + "/info:1: FILES: 2 but the file holds at most 1 frames"));

    // A block cut short where the count leaves room for it is reported where it starts.
    std::string padded = frameFolder("FILES: 2\n" + whole + std::string(14, '\n') + cut, 2);
    CSpriteBase second;
    startCapture();
    second.initR(padded.c_str(), gameLoading());
    out = stopCapture();
    EXPECT_EQ(1, second.numFrames);
    EXPECT_NE(std::string::npos, out.find(padded + "/info:"));
}

TEST(FrameSetBadInput, OverlongWordsAndLinesAreRejectedWithFileAndLine) {
    blockSpec b;
    b.sound = std::string(120, 's');
    b.name = std::string(300, 'n');  // over 254: read in pieces, shifting nothing here but the name
    b.particles = {std::string(90, 'p') + " 1 2"};
    std::string info = "FILES: 1\n" + blockText(b);
    std::string dir = frameFolder(info, 1);
    CSpriteBase set;
    std::string out = loadFrames(set, dir);
    ASSERT_EQ(1, set.numFrames);
    EXPECT_EQ("NULL", set.frames[0].sound);
    EXPECT_EQ(0, set.frames[0].numParticles);
    EXPECT_NE(std::string::npos, out.find(dir + "/info:11: sound name longer than 95 characters"));
    EXPECT_NE(std::string::npos, out.find(dir + "/info:13: particle name longer than 79 characters"));
    EXPECT_NE(std::string::npos, out.find("line longer than 254 characters"));
}

TEST(FrameSetFatal, MissingBitmapEndsTheProgram) {
    std::string dir = frameFolder(framesInfo({frameNamed(0)}), 0);
    CSpriteBase set;
    EXPECT_EXIT(set.initR(dir.c_str(), gameLoading()), testing::ExitedWithCode(1), "Error opening resource file");
}

TEST(FrameSetFatal, FileThatIsNotABitmapEndsTheProgram) {
    std::string dir = frameFolder(framesInfo({frameNamed(0)}), 0);
    writeFile(dir + "/f0.bmp", "this is not a bitmap at all");
    CSpriteBase set;
    // The message goes to standard output; check it with a captured run.
    int status = 0;
    std::string out = outputOfChild([&] { set.initR(dir.c_str(), gameLoading()); }, status);
    EXPECT_EQ(1, status);
    EXPECT_NE(std::string::npos, out.find("Unable to load bitmap: "));
}

// Opens of each file of `dir` while `fn` runs, as the kernel saw them. Each
// close is watched too: two opens in a row would otherwise be told as one.
std::map<std::string, int> opensDuring(const std::string& dir, const std::function<void()>& fn) {
    std::map<std::string, int> opens;
    int watcher = inotify_init1(IN_NONBLOCK);
    if (watcher < 0 || inotify_add_watch(watcher, dir.c_str(), IN_OPEN | IN_CLOSE_NOWRITE) < 0) {
        ADD_FAILURE() << "inotify on " << dir;
        return opens;
    }
    fn();
    alignas(inotify_event) char events[65536];
    ssize_t got;
    while ((got = read(watcher, events, sizeof events)) > 0)
        for (char* at = events; at < events + got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(at);
            if ((event->mask & IN_OPEN) && event->len > 0) ++opens[event->name];
            at += sizeof(inotify_event) + event->len;
        }
    close(watcher);
    return opens;
}

// The loading policy says where messages go and whether a frame bitmap that
// can't be read ends the process: the game's prints and ends; a tool's
// collects and leaves the frame out.
TEST(FrameSetPolicy, DecidesWhereMessagesGoAndWhetherABadBitmapEnds) {
    std::string dir = frameFolder(framesInfo({frameNamed(0), frameNamed(1)}), 2);
    writeFile(dir + "/f1.bmp", "this is not a bitmap at all");
    static std::vector<std::string> collected;
    collected.clear();
    loadPolicy tool;
    tool.listener = [](const std::string& file, int line, const std::string& message) {
        collected.push_back(file + ":" + std::to_string(line) + ": " + message);
    };
    tool.bitmapFailureEndsProcess = false;

    CSpriteBase set;
    startCapture();
    // Each bitmap is read once: a second read (a look before the real one)
    // could meet a file changed in between.
    std::map<std::string, int> opens = opensDuring(dir, [&] { EXPECT_EQ(0, set.initR(dir.c_str(), tool)); });
    std::string out = stopCapture();
    EXPECT_EQ(1, opens["f0.bmp"]);
    EXPECT_EQ(1, opens["f1.bmp"]);
    EXPECT_EQ(1, set.numFrames);
    ASSERT_FALSE(collected.empty());
    EXPECT_EQ(dir + "/info:16: bitmap f1.bmp: not a BMP file", collected[0]);
    EXPECT_EQ(std::string::npos, out.find("not a BMP file")) << out;

    int status = 0;
    out = outputOfChild([&] { CSpriteBase game; game.initR(dir.c_str(), gameLoading()); }, status);
    EXPECT_EQ(1, status);
    EXPECT_NE(std::string::npos, out.find("Unable to load bitmap: " + dir + "/f1.bmp: not a BMP file")) << out;
}

TEST(Mirroring, ReversesEachRowAndKeepsTheKey) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, 3, 2, 32, 0xff0000, 0xff00, 0xff, 0xff000000);
    put_pixel32(s, 0, 0, 1);
    put_pixel32(s, 1, 0, 2);
    put_pixel32(s, 2, 0, 3);
    put_pixel32(s, 0, 1, 4);
    SDL_Surface* m = flip_surface(s);
    EXPECT_EQ(3u, get_pixel32(m, 0, 0));
    EXPECT_EQ(2u, get_pixel32(m, 1, 0));
    EXPECT_EQ(1u, get_pixel32(m, 2, 0));
    EXPECT_EQ(4u, get_pixel32(m, 2, 1));
    EXPECT_EQ(0xff000000u, m->format->Amask);  // no key: alpha mask kept
    SDL_Surface* back = flip_surface(m);
    EXPECT_EQ(1u, get_pixel32(back, 0, 0));
    EXPECT_EQ(4u, get_pixel32(back, 0, 1));

    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 2);
    SDL_Surface* keyed = flip_surface(s);
    EXPECT_TRUE(keyed->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(2u, keyed->format->colorkey);
    EXPECT_EQ(0u, keyed->format->Amask);

    SDL_Surface* thin = SDL_CreateRGBSurface(0, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
    put_pixel32(thin, 0, 0, 77);
    SDL_Surface* thinFlip = flip_surface(thin);
    EXPECT_EQ(77u, get_pixel32(thinFlip, 0, 0));
    for (SDL_Surface* x : {s, m, back, keyed, thin, thinFlip}) SDL_FreeSurface(x);
}

TEST(Mirroring, LoadedFramesAreMirroredPixelForPixel) {
    testScreen();
    std::string dir = makeTempDir("mirror");
    writeFile(dir + "/info", framesInfo({frameNamed(0)}));
    writeBmp(dir + "/f0.bmp", 4, 1, 0x0000c8, 1, 0xc80000);
    CSpriteBase set;
    loadFrames(set, dir);
    EXPECT_EQ(0xc80000u, get_pixel32(set.frames[0].image, 0, 0) & 0xffffff);
    EXPECT_EQ(0xc80000u, get_pixel32(set.mirror[0].image, 3, 0) & 0xffffff);
    EXPECT_EQ(0x0000c8u, get_pixel32(set.mirror[0].image, 0, 0) & 0xffffff);
}

// --- Sprite instances ---

namespace {
std::unique_ptr<CSpriteBase> loadedSet(int frames, int pause = 40, int w = 20, int h = 10) {
    std::vector<blockSpec> blocks;
    for (int i = 0; i < frames; ++i) {
        blockSpec b = frameNamed(i, pause);
        b.head += " -1 0 0";  // no key: every pixel drawn
        blocks.push_back(b);
    }
    testScreen();
    std::string dir = makeTempDir("sprite");
    writeFile(dir + "/info", framesInfo(blocks));
    for (int i = 0; i < frames; ++i) writeBmp(dir + "/f" + std::to_string(i) + ".bmp", w, h, 0x101010 * (i + 1));
    std::unique_ptr<CSpriteBase> set(new CSpriteBase);
    startCapture();
    set->initR(dir.c_str(), gameLoading());
    stopCapture();
    return set;
}
}  // namespace

TEST(SpriteTiming, FrameAdvancesStrictlyAfterPauseTimesSpeed) {
    std::unique_ptr<CSpriteBase> set = loadedSet(3, 40);
    CSprite sprite;
    sprite.init(set.get(), testScreen());
    sprite.speed = 3.0f;
    clockSet(1000);
    sprite.lastTick = 1000;
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);
    clockSet(1120);  // exactly lastTick + 40 * 3: not yet
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);
    clockSet(1121);
    sprite.draw();
    EXPECT_EQ(1, sprite.frame);
    EXPECT_EQ(1121, sprite.lastTick);
    clockSet(5000);  // long overdue: still one frame per drawing
    sprite.draw();
    EXPECT_EQ(2, sprite.frame);
    sprite.draw();
    EXPECT_EQ(2, sprite.frame);
    clockSet(5121);
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);  // wraps after the last frame
    sprite.animating = 0;
    clockSet(90000);
    sprite.draw();
    EXPECT_EQ(0, sprite.frame);
    clockUseSDL();
}

TEST(SpriteBackground, SaveRestoreAndDrawByPixels) {
    std::unique_ptr<CSpriteBase> set = loadedSet(1, 40, 20, 10);
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0x203040);
    SDL_Rect mark = {105, 52, 1, 1};
    SDL_FillRect(screen, &mark, 0x00ff00);
    CSprite sprite;
    sprite.init(set.get(), screen);
    sprite.x = 100;
    sprite.y = 50;
    sprite.clearBG();  // never drawn: nothing restored
    EXPECT_EQ(0x00ff00u, pixelAt(screen, 105, 52));
    sprite.updateBG();
    sprite.draw();
    EXPECT_EQ(0x101010u, pixelAt(screen, 105, 52) & 0xffffff);
    EXPECT_EQ(0x203040u, pixelAt(screen, 121, 52));  // right of the 20-pixel image
    sprite.x = 300;
    sprite.clearBG();
    EXPECT_EQ(0x00ff00u, pixelAt(screen, 105, 52));
    EXPECT_EQ(0x203040u, pixelAt(screen, 110, 55));
    EXPECT_EQ(100, sprite.oldX);
}

TEST(SpritePlacement, AdjustPosMoveDAndOffsets) {
    blockSpec b;
    b.anchor = "10 30";
    b.colBox = "0 0 10 60";
    b.hitBox = "0 0 10 75";
    b.move = "5 0";
    std::string dir = frameFolder(framesInfo({b, frameNamed(1), frameNamed(2)}), 3, 64, 80);
    CSpriteBase set;
    loadFrames(set, dir);
    CSprite sprite;
    sprite.init(&set, testScreen());
    sprite.adjustPos(20, 100, true);
    EXPECT_EQ(10, sprite.x);
    EXPECT_EQ(70, sprite.y);
    sprite.adjustPos(20, 100, false);
    EXPECT_EQ(20 - 54, sprite.x);
    sprite.x = 0;
    sprite.moveD(false);
    EXPECT_EQ(-5, sprite.x);
    sprite.moveD(true);
    EXPECT_EQ(0, sprite.x);
    EXPECT_EQ(75, sprite.getYOffset(0));
    set.frames[0].hitBox.bottom = 0;
    EXPECT_EQ(60, sprite.getYOffset(0));
    EXPECT_EQ(40, sprite.getYOffset(1));
    EXPECT_EQ(0, sprite.getYOffset(7));  // out of range reads nothing
}

TEST(SpriteFrameData, SoundAndParticlesOfTheCurrentFrame) {
    blockSpec b;
    b.sound = "swing";
    b.particles = {"fireball1 80 80", "burst 0 0"};
    std::string dir = frameFolder(framesInfo({b}), 1);
    CSpriteBase set;
    loadFrames(set, dir);
    CSprite sprite;
    sprite.init(&set, testScreen());
    EXPECT_EQ("swing", sprite.returnSound());
    EXPECT_EQ(2, sprite.returnPartNum());
    EXPECT_EQ("fireball1 80 80", sprite.returnParticle(1));
    EXPECT_EQ("burst 0 0", sprite.returnParticle(2));
    EXPECT_EQ("NULL", sprite.returnParticle(3));
}

TEST(SpriteDebug, ColBoxesUseRawPixelValues) {
    blockSpec b;
    b.colBox = "5 2 25 12";
    std::string dir = frameFolder(framesInfo({b}), 1, 30, 20);
    CSpriteBase set;
    loadFrames(set, dir);
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0);
    CSprite sprite;
    sprite.init(&set, screen);
    sprite.x = 200;
    sprite.y = 100;
    sprite.drawColBoxes();
    EXPECT_EQ(kSpriteBoxColour, pixelAt(screen, 205, 102));
    EXPECT_EQ(kSpriteBoxColour, pixelAt(screen, 224, 111));
    EXPECT_EQ(0u, pixelAt(screen, 225, 111));
    EXPECT_EQ(0u, pixelAt(screen, 205, 112));
    EXPECT_EQ(kAnchorMarkColour, pixelAt(screen, 198, 98));
    EXPECT_EQ(kAnchorMarkColour, pixelAt(screen, 201, 99));
    EXPECT_EQ(0u, pixelAt(screen, 202, 99));
}

TEST(SpriteBadInput, UnloadedAndEmptySetsAreNeverDrawnOrRead) {
    SDL_Surface* screen = testScreen();
    fillSurface(screen, 0x445566);
    CSpriteBase unloaded;
    CSpriteBase empty;
    std::string dir = frameFolder("FILES: 0\n", 0);
    loadFrames(empty, dir);
    for (CSpriteBase* set : {&unloaded, &empty}) {
        CSprite sprite;
        sprite.init(set, screen);
        sprite.frame = 3;
        sprite.updateBG();
        sprite.draw();
        sprite.drawD(false);
        sprite.moveD(true);
        sprite.adjustPos(10, 10, false);
        sprite.drawColBoxes();
        EXPECT_EQ(0, sprite.returnPartNum());
        EXPECT_EQ("NULL", sprite.returnSound());
        EXPECT_EQ(0, sprite.getYOffset(0));
        EXPECT_EQ(0, sprite.drawn);
    }
    EXPECT_EQ(0x445566u, pixelAt(screen, 400, 300));
}

TEST(SpriteBadInput, BindingTwiceReleasesTheFirstSaveSurface) {
    std::unique_ptr<CSpriteBase> set = loadedSet(1);
    CSprite sprite;
    sprite.init(set.get(), testScreen());
    SDL_Surface* first = sprite.bgSave;
    ASSERT_NE(nullptr, first);
    // Count live surfaces by watching the refcount of the first: a freed
    // surface is gone, so check instead that memory does not grow over many binds.
    for (int i = 0; i < 10000; ++i) sprite.init(set.get(), testScreen());
    EXPECT_NE(nullptr, sprite.bgSave);
    struct mallinfo2 before = mallinfo2();
    for (int i = 0; i < 10000; ++i) sprite.init(set.get(), testScreen());
    struct mallinfo2 after = mallinfo2();
    EXPECT_LT(after.uordblks, before.uordblks + 4096);
}
