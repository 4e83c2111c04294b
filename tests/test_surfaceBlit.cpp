// The scene's own blit against SDL's: same pixels, same clipping, same
// rectangle written back, for plain and colour-keyed 32-bit surfaces; the
// cases it leaves to SDL; and the save surface that must not be RLE.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "sprites/CSprite.h"
#include "sprites/CSpriteBase.h"
#include "sprites/surfaceBlit.h"
#include "testSupport.h"

namespace {
SDL_Surface* surface32(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0xff00, 0xff, 0);
}

Uint32* row(SDL_Surface* s, int y) {
    return reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
}

SDL_Surface* copyOf(SDL_Surface* s) {
    SDL_Surface* c = surface32(s->w, s->h);
    for (int y = 0; y < s->h; ++y) std::memcpy(row(c, y), row(s, y), static_cast<size_t>(s->w) * 4);
    return c;
}

// Where the two surfaces differ, as "x,y: a vs b", or "".
std::string firstDifference(SDL_Surface* a, SDL_Surface* b) {
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            if (row(a, y)[x] != row(b, y)[x])
                return std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(row(a, y)[x]) + " vs " +
                       std::to_string(row(b, y)[x]);
    return "";
}
}  // namespace

TEST(SurfaceBlit, MatchesSdlOnRandomRectanglesKeysAndClips) {
    std::mt19937 random(20240607);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const Uint32 key = 0xff00ff;
    int ownCases = 0;
    for (int round = 0; round < 400; ++round) {
        SDL_Surface* src = surface32(pick(1, 40), pick(1, 40));
        SDL_Surface* dstSdl = surface32(pick(1, 60), pick(1, 60));
        // Source pixels: some equal to the key, some with stray top bits.
        for (int y = 0; y < src->h; ++y)
            for (int x = 0; x < src->w; ++x) {
                int kind = pick(0, 5);
                Uint32 p = static_cast<Uint32>(random());
                row(src, y)[x] = kind == 0 ? key : kind == 1 ? p : (p & 0xffffff);
            }
        for (int y = 0; y < dstSdl->h; ++y)
            for (int x = 0; x < dstSdl->w; ++x) row(dstSdl, y)[x] = static_cast<Uint32>(random()) & 0xffffff;
        if (pick(0, 1)) SDL_SetColorKey(src, SDL_SRCCOLORKEY, key);
        if (pick(0, 3) == 0) {
            SDL_Rect clip = {static_cast<Sint16>(pick(-5, 20)), static_cast<Sint16>(pick(-5, 20)),
                             static_cast<Uint16>(pick(0, 50)), static_cast<Uint16>(pick(0, 50))};
            SDL_SetClipRect(dstSdl, &clip);
        }
        SDL_Surface* dstOwn = copyOf(dstSdl);
        SDL_SetClipRect(dstOwn, &dstSdl->clip_rect);

        SDL_Rect srcRect = {static_cast<Sint16>(pick(-10, 30)), static_cast<Sint16>(pick(-10, 30)),
                            static_cast<Uint16>(pick(0, 45)), static_cast<Uint16>(pick(0, 45))};
        bool useSrcRect = pick(0, 2) != 0;
        SDL_Rect atSdl = {static_cast<Sint16>(pick(-50, 70)), static_cast<Sint16>(pick(-50, 70)),
                          static_cast<Uint16>(pick(0, 9)), static_cast<Uint16>(pick(0, 9))};
        SDL_Rect atOwn = atSdl;
        SDL_Rect srcRectOwn = srcRect;

        ASSERT_TRUE(blitIsOwn(src, dstOwn)) << "round " << round;
        ++ownCases;
        int resultSdl = SDL_BlitSurface(src, useSrcRect ? &srcRect : nullptr, dstSdl, &atSdl);
        int resultOwn = blitSurface(src, useSrcRect ? &srcRectOwn : nullptr, dstOwn, &atOwn);
        EXPECT_EQ(resultSdl, resultOwn) << "round " << round;
        EXPECT_EQ("", firstDifference(dstSdl, dstOwn)) << "round " << round;
        EXPECT_EQ(atSdl.x, atOwn.x) << "round " << round;
        EXPECT_EQ(atSdl.y, atOwn.y) << "round " << round;
        EXPECT_EQ(atSdl.w, atOwn.w) << "round " << round;
        EXPECT_EQ(atSdl.h, atOwn.h) << "round " << round;
        for (SDL_Surface* s : {src, dstSdl, dstOwn}) SDL_FreeSurface(s);
        if (HasFailure()) break;
    }
    EXPECT_EQ(400, ownCases);
}

// Saved backgrounds as the scene has them: wide rows where the key and
// stray top bits are rare or absent, so that whole runs of pixels are plain
// and others hold a single special pixel, at every offset and row end.
TEST(SurfaceBlit, KeyedCopyMatchesSdlWhereTheKeyIsRare) {
    struct density {
        int keyOneIn;    // a pixel is the key once in this many (0: never)
        int strayOneIn;  // a pixel has top bits once in this many (0: never)
    };
    // Also every pixel the key, or every pixel with top bits: no step is plain.
    const density cases[] = {{0, 0}, {0, 97}, {211, 0}, {53, 149}, {7, 0}, {1, 0}, {0, 1}};
    std::mt19937 random(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const Uint32 key = 0xff00ff;
    // Every vector width the processor runs.
    const int widest = keyedCopyBytes;
    for (int width : {4, 16, 32}) {
        if (width > widest) break;
        for (const density& d : cases) {
            for (int round = 0; round < 40; ++round) {
                SDL_Surface* src = surface32(pick(1, 200), pick(1, 12));
                SDL_Surface* dstSdl = surface32(pick(1, 220), pick(1, 14));
                for (int y = 0; y < src->h; ++y)
                    for (int x = 0; x < src->w; ++x) {
                        Uint32 p = static_cast<Uint32>(random());
                        bool isKey = d.keyOneIn > 0 && pick(1, d.keyOneIn) == 1;
                        bool stray = d.strayOneIn > 0 && pick(1, d.strayOneIn) == 1;
                        row(src, y)[x] = isKey ? key : stray ? (p | 0x01000000) : (p & 0xffffff);
                    }
                for (int y = 0; y < dstSdl->h; ++y)
                    for (int x = 0; x < dstSdl->w; ++x) row(dstSdl, y)[x] = static_cast<Uint32>(random()) & 0xffffff;
                SDL_SetColorKey(src, SDL_SRCCOLORKEY, key);
                SDL_Surface* dstOwn = copyOf(dstSdl);
                SDL_Rect atSdl = {static_cast<Sint16>(pick(-20, 40)), static_cast<Sint16>(pick(-3, 6)), 0, 0};
                SDL_Rect atOwn = atSdl;
                SDL_BlitSurface(src, nullptr, dstSdl, &atSdl);
                blitSurfaceBy(width, src, nullptr, dstOwn, &atOwn);
                EXPECT_EQ("", firstDifference(dstSdl, dstOwn)) << width << "-byte vectors, key 1/" << d.keyOneIn
                                                               << ", stray 1/" << d.strayOneIn << ", round " << round;
                for (SDL_Surface* surface : {src, dstSdl, dstOwn}) SDL_FreeSurface(surface);
                if (HasFailure()) break;
            }
            if (HasFailure()) break;
        }
    }
}

TEST(SurfaceBlit, KeyedPixelsAreSkippedAndOthersLoseTheirTopBits) {
    SDL_Surface* src = surface32(3, 1);
    SDL_Surface* dst = surface32(3, 1);
    row(src, 0)[0] = 0xff00ff;
    row(src, 0)[1] = 0xab123456;
    row(src, 0)[2] = 0x000001;
    for (int x = 0; x < 3; ++x) row(dst, 0)[x] = 0x777777;
    SDL_SetColorKey(src, SDL_SRCCOLORKEY, 0xff00ff);
    SDL_Rect at = {0, 0, 0, 0};
    blitSurface(src, nullptr, dst, &at);
    EXPECT_EQ(0x777777u, row(dst, 0)[0]);
    EXPECT_EQ(0x123456u, row(dst, 0)[1]);
    EXPECT_EQ(0x000001u, row(dst, 0)[2]);
    // Without a key every pixel is copied as it is.
    SDL_SetColorKey(src, 0, 0);
    blitSurface(src, nullptr, dst, &at);
    EXPECT_EQ(0xff00ffu, row(dst, 0)[0]);
    EXPECT_EQ(0xab123456u, row(dst, 0)[1]);
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

TEST(SurfaceBlit, LeavesAlphaRleOtherDepthsAndLockedSurfacesToSdl) {
    SDL_Surface* a = surface32(4, 4);
    SDL_Surface* b = surface32(4, 4);
    EXPECT_TRUE(blitIsOwn(a, b));
    EXPECT_FALSE(blitIsOwn(a, a));
    EXPECT_FALSE(blitIsOwn(nullptr, b));

    SDL_SetColorKey(a, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0);
    EXPECT_FALSE(blitIsOwn(a, b));
    SDL_SetColorKey(a, 0, 0);
    SDL_SetAlpha(a, SDL_SRCALPHA, 128);
    EXPECT_FALSE(blitIsOwn(a, b));
    SDL_SetAlpha(a, 0, 255);
    EXPECT_TRUE(blitIsOwn(a, b));

    SDL_Surface* withAlpha = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0xff0000, 0xff00, 0xff, 0xff000000);
    SDL_Surface* rgb24 = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 24, 0xff0000, 0xff00, 0xff, 0);
    SDL_Surface* bgr = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0xff, 0xff00, 0xff0000, 0);
    EXPECT_FALSE(blitIsOwn(withAlpha, b));
    EXPECT_FALSE(blitIsOwn(rgb24, b));
    EXPECT_FALSE(blitIsOwn(a, bgr));

    // A locked surface makes SDL refuse the blit; so does blitSurface.
    ASSERT_EQ(0, SDL_LockSurface(b));
    EXPECT_FALSE(blitIsOwn(a, b));
    SDL_Rect at = {0, 0, 0, 0};
    EXPECT_EQ(-1, blitSurface(a, nullptr, b, &at));
    SDL_UnlockSurface(b);
    for (SDL_Surface* s : {a, b, withAlpha, rgb24, bgr}) SDL_FreeSurface(s);
}

TEST(SurfaceBlit, SaveSurfaceKeepsTheKeyButNotTheRleOfItsFrame) {
    SDL_Surface* display = testScreen();
    ASSERT_NE(nullptr, display);
    SDL_Surface* picture = SDL_DisplayFormat(display);
    ASSERT_NE(nullptr, picture);
    SDL_SetColorKey(picture, SDL_SRCCOLORKEY | SDL_RLEACCEL, 0xff00ff);
    CSprite sprite;
    sprite.setBgSave(SDL_DisplayFormat(picture));
    ASSERT_NE(nullptr, sprite.bgSave);
    EXPECT_TRUE(sprite.bgSave->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(0xff00ffu, sprite.bgSave->format->colorkey);
    EXPECT_FALSE(sprite.bgSave->flags & (SDL_RLEACCELOK | SDL_RLEACCEL));
    // So the scene's own blit serves every save and restore of it.
    EXPECT_TRUE(blitIsOwn(sprite.bgSave, display));
    EXPECT_TRUE(blitIsOwn(display, sprite.bgSave));
    SDL_FreeSurface(picture);
}

namespace {
// A frame folder with one 4 x 2 bitmap keyed magenta: the left half
// magenta, the right half green.
std::string keyedFrameFolder() {
    std::string dir = makeTempDir("keyed");
    writeFile(dir + "/info",
              "FILES: 1\nf0.bmp 40 255 0 255\n2 1\n0 0 4 2\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n");
    writeBmp(dir + "/f0.bmp", 4, 2, 0x00c800, 2, 0xff00ff);
    return dir;
}
}  // namespace

TEST(KeyedFrames, AreRleInTheDisplayFormatAndDrawOnlyTheirUnkeyedPixels) {
    SDL_Surface* display = testScreen();
    ASSERT_NE(nullptr, display);
    CSpriteBase set;
    startCapture();
    set.initR(keyedFrameFolder().c_str(), gameLoading());
    stopCapture();
    ASSERT_TRUE(set.drawable(0));
    for (SDL_Surface* image : {set.frames[0].image, set.mirror[0].image}) {
        EXPECT_TRUE(image->flags & SDL_SRCCOLORKEY);
        EXPECT_TRUE(image->flags & SDL_RLEACCELOK);
        EXPECT_EQ(display->format->Rmask, image->format->Rmask);
        EXPECT_EQ(display->format->BitsPerPixel, image->format->BitsPerPixel);
    }
    fillSurface(display, 0x123456);
    CSprite sprite;
    sprite.init(&set, display);
    sprite.animating = 0;
    sprite.x = 10;
    sprite.y = 20;
    sprite.updateBG();
    sprite.drawD(true);
    sprite.x = 30;
    sprite.drawD(false);
    // Drawn as stored: magenta left, green right; mirrored: the other way.
    EXPECT_EQ(0x123456u, pixelAt(display, 10, 20) & 0xffffff);
    EXPECT_EQ(0x123456u, pixelAt(display, 11, 21) & 0xffffff);
    EXPECT_EQ(0x00c800u, pixelAt(display, 12, 20) & 0xffffff);
    EXPECT_EQ(0x00c800u, pixelAt(display, 13, 21) & 0xffffff);
    EXPECT_EQ(0x00c800u, pixelAt(display, 30, 20) & 0xffffff);
    EXPECT_EQ(0x123456u, pixelAt(display, 33, 21) & 0xffffff);
    // Restoring puts back what was saved at the first place.
    sprite.clearBG();
    EXPECT_EQ(0x123456u, pixelAt(display, 12, 20) & 0xffffff);
    EXPECT_FALSE(sprite.bgSave->flags & SDL_RLEACCELOK);
}
