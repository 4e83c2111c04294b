#include "scene.h"

#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/textFile.h"
#include "shell/keyFile.h"
#include "sprites/bmpCheck.h"
#include "sprites/surfaceBlit.h"

SDL_Surface* screen = nullptr;
SDL_Surface* back = nullptr;
Fighter vikings1;
particleList pList;
bool debugging = false;

namespace {
const char* kBackground = "data/tBG2.bmp";

}  // namespace

void bindPlayerKeys(gamePad& pad) {
    pad.name = "defualt";
    pad.buttonA = SDLK_z;
    pad.buttonB = SDLK_x;
    pad.buttonC = SDLK_c;
    pad.left = SDLK_LEFT;
    pad.right = SDLK_RIGHT;
    pad.up = SDLK_UP;
    pad.down = SDLK_DOWN;
    pad.debug = SDLK_j;
}

int InitImages() {
    back = nullptr;
    std::string reason;
    SDL_Surface* loaded = loadCheckedBitmap(kBackground, reason);
    if (!loaded) {
        // The scene still runs, over a black screen.
        reportContent(kBackground, 0, "background " + reason + "; the scene runs without it");
        return 0;
    }
    back = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    return 0;
}

int DrawBG() {
    if (!back || !screen) return 0;
    SDL_Rect corner = {0, 0, 0, 0};
    blitSurface(back, nullptr, screen, &corner);
    return 0;
}

void DrawScene() {
    DrawSprites();
    // show the frame
    SDL_Flip(screen);
}

void DrawSprites() {
    // restore the background under last frame's images
    vikings1.clearBG();
    pList.clearBG();
    // save the background under the new places
    vikings1.updateBG();
    pList.updateBG();
    // draw, advancing animations by the clock
    vikings1.draw();
    pList.draw();
    // boxes on top, when debugging
    if (debugging) {
        vikings1.drawColBoxes();
        pList.debug();
    }
}

void startScene(sceneObjects& o, bool windowed) {
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) < 0)
        std::printf("Warning: Couldn't set 44100 Hz 16-bit audio\n- Reason: %s\n", SDL_GetError());

    // In a window the hidden cursor is hidden only over the window.
    screen = SDL_SetVideoMode(800, 600, 32, (windowed ? 0 : SDL_FULLSCREEN) | SDL_HWPALETTE);
    if (!screen) {
        std::printf("Unable to set 800x600 video: %s\n", SDL_GetError());
        std::exit(1);
    }

    // the character
    o.anims.loadAll("data/Burn");
    o.moves.loadAll("data/Burn");
    vikings1.initS(&o.anims, screen);
    vikings1.speed = 3.0f;
    vikings1.x = 150;
    vikings1.y = 300;
    SDL_ShowCursor(SDL_DISABLE);

    o.checker.reset(new inputChecker(&o.moves, &vikings1));
    o.checker->printB();

    std::printf("making an Sset\n");
    o.sounds.reset(new soundSet());
    o.sounds->getList("data/soundSet");
    o.sounds->addToList("data/Tor/sound");
    o.sounds->display();

    bindPlayerKeys(o.pad);
    loadKeyFile(kKeyFile, o.pad);
    std::printf("Right is also %d\n", o.pad.right);

    // particles
    o.defs.addList("default", screen);
    pList.addParticle("fireball1 80 80", nullptr, nullptr, &o.defs, screen, 1);

    // the background, painted once
    InitImages();
    DrawBG();

    o.target.setTarget(&vikings1);
    o.checker->target = &o.target;

    o.control.init(screen);
    o.control.setup(&vikings1, &o.defs, &pList, o.sounds.get(), &o.anims, &o.moves, &o.pad, o.checker.get(),
                    &o.target);
}

bool runPass(sceneObjects& o) {
    // timing, frame sounds and frame particles
    o.control.update();
    // keys, the movement step and the start of moves
    o.control.inputChecking(&o.event);
    // Escape, or a termination signal, ends the loop after this pass is drawn
    bool leaving = o.control.quit != 0 || quitSignalled();
    vikings1.boundary();
    DrawScene();
    return !leaving;
}
