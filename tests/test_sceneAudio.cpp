// A move's sound reaches the audio output: the scene over the bundled data
// with SDL's disk audio driver, which writes the mixed samples to a file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "sprites/clock.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
void passes(gameScene& objects, int count) {
    for (int i = 0; i < count; ++i) {
        clockAdvance(20);
        runPass(objects);
    }
}

void pressKey(SDLKey key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

bool allSilent(const std::string& samples) {
    for (char byte : samples)
        if (byte != 0) return false;
    return true;
}
}  // namespace

TEST(SceneAudio, TheThrowSoundIsHeardAfterTheMoveStartsAndNotBefore) {
    SKIP_WHERE_DISK_AUDIO_IS_LOCKED();
    std::string output = makeTempDir("audio") + "/out.raw";
    setEnvironment("SDL_AUDIODRIVER", "disk", true);
    setEnvironment("SDL_DISKAUDIOFILE", output.c_str(), true);
    setEnvironment("SDL_DISKAUDIODELAY", "46", true);  // one 2048-frame buffer: about real time
    ASSERT_TRUE(changeFolder(buildDir()));
    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO));
    clockSet(1000);
    gameScene objects;
    startCapture();
    loadPolicy startUp = gamePolicy();
    startScene(objects, false, startUp);
    passes(objects, 200);  // fall, land, stand still
    std::string settled = stopCapture();
    ASSERT_EQ(std::string::npos, settled.find("Warning: Couldn't set")) << "the disk audio device opens";
    ASSERT_TRUE(objects.player().grounded);

    SDL_Delay(300);  // the audio thread writes a stretch of the quiet scene
    size_t quietEnd = readFile(output).size();
    ASSERT_GT(quietEnd, 8192u);
    EXPECT_TRUE(allSilent(readFile(output).substr(quietEnd - 8192)));

    // down, forward, A: the throw, whose throwing frame names the cast sound
    SDLKey forward = objects.player().dir ? SDLK_RIGHT : SDLK_LEFT;
    startCapture();
    pressKey(SDLK_DOWN);
    passes(objects, 1);
    pressKey(forward);
    passes(objects, 1);
    pressKey(SDLK_z);
    passes(objects, 60);
    std::string typed = stopCapture();
    ASSERT_NE(std::string::npos, typed.find("Have Move - flameThrow!"));
    ASSERT_NE(std::string::npos, typed.find("SOUND PLAYING"));
    SDL_Delay(400);
    std::string after = readFile(output).substr(quietEnd);
    EXPECT_FALSE(allSilent(after));
    Mix_CloseAudio();
}
