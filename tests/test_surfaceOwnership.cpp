// Who frees the engine's surfaces: a frame set frees its images when it goes,
// a move hands them over, and a sprite frees its saved background.
#include <gtest/gtest.h>


#include <utility>

#include "sprites/CSprite.h"
#include "sprites/CSpriteBase.h"
#include "testSupport.h"

namespace {
// A one-frame set in a fresh folder, loaded the game's way.
void loadOneFrame(CSpriteBase& set) {
    testScreen();
    std::string dir = makeTempDir("own");
    writeFile(dir + "/info",
              "FILES: 1\nf.bmp 40 255 0 255\n0 0\n0 0 4 4\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n");
    writeBmp(dir + "/f.bmp", 8, 6, 0x336699);
    startCapture();
    set.initR(dir.c_str(), gameLoading());
    stopCapture();
}

// SDL frees a surface only when its last reference goes: holding one more
// shows whether the owner let go of its own.
SDL_Surface* holdExtra(SDL_Surface* surface) {
    ++surface->refcount;
    return surface;
}
}  // namespace

TEST(SurfaceOwnership, FrameSetFreesItsImagesWhenItGoes) {
    SDL_Surface* stored = nullptr;
    SDL_Surface* mirrored = nullptr;
    {
        CSpriteBase set;
        loadOneFrame(set);
        ASSERT_TRUE(set.drawable(0));
        stored = holdExtra(set.frames[0].image);
        mirrored = holdExtra(set.mirror[0].image);
        EXPECT_EQ(2, stored->refcount);
    }
    EXPECT_EQ(1, stored->refcount) << "the set kept its stored image";
    EXPECT_EQ(1, mirrored->refcount) << "the set kept its mirrored image";
    SDL_FreeSurface(stored);
    SDL_FreeSurface(mirrored);
}

TEST(SurfaceOwnership, MovedSetHandsItsImagesOver) {
    CSpriteBase target;
    SDL_Surface* image = nullptr;
    {
        CSpriteBase source;
        loadOneFrame(source);
        image = holdExtra(source.frames[0].image);
        target = std::move(source);
        EXPECT_FALSE(source.drawable(0));
        EXPECT_EQ(0, source.numFrames);
    }
    // The emptied source freed nothing on its way out.
    EXPECT_EQ(2, image->refcount);
    ASSERT_TRUE(target.drawable(0));
    EXPECT_EQ(image, target.frames[0].image);
    target.release();
    EXPECT_EQ(1, image->refcount);
    SDL_FreeSurface(image);
}

TEST(SurfaceOwnership, LoadingAnotherSetIntoAMovedToSetFreesTheOldImages) {
    CSpriteBase kept;
    loadOneFrame(kept);
    SDL_Surface* old = holdExtra(kept.frames[0].image);
    CSpriteBase fresh;
    loadOneFrame(fresh);
    kept = std::move(fresh);
    EXPECT_EQ(1, old->refcount) << "the replaced images leaked";
    EXPECT_TRUE(kept.drawable(0));
    SDL_FreeSurface(old);
}

TEST(SurfaceOwnership, SpriteFreesItsSavedBackground) {
    CSpriteBase set;
    loadOneFrame(set);
    SDL_Surface* saved = nullptr;
    {
        CSprite sprite;
        sprite.init(&set, testScreen());
        ASSERT_NE(nullptr, sprite.bgSave);
        saved = holdExtra(sprite.bgSave);
    }
    EXPECT_EQ(1, saved->refcount);
    SDL_FreeSurface(saved);
}

// A sprite may be destroyed after SDL_Quit has run at
// exit; their saved backgrounds and the sets' images, in system memory, must
// still be freed then. Run in a child, which can shut its video down.
TEST(SurfaceOwnership, SystemMemorySurfacesAreFreedAfterTheVideoIsShutDown) {
    auto check = [] {
        SDL_Surface* saved = nullptr;
        SDL_Surface* image = nullptr;
        {
            CSpriteBase set;
            loadOneFrame(set);
            CSprite sprite;
            sprite.init(&set, testScreen());
            if (!sprite.bgSave || !set.drawable(0)) _exit(2);
            saved = holdExtra(sprite.bgSave);
            image = holdExtra(set.frames[0].image);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
        _exit(saved->refcount == 1 && image->refcount == 1 ? 0 : 1);
    };
    EXPECT_EXIT(check(), testing::ExitedWithCode(0), "");
}
