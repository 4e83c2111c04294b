#include "scene.h"

#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "data/textFile.h"
#include "shell/keyFile.h"
#include "shell/reload.h"
#include "sprites/bmpCheck.h"
#include "sprites/sceneGeometry.h"
#include "sprites/surfaceBlit.h"

SDL_Surface* screen = nullptr;
SDL_Surface* back = nullptr;
Fighter vikings1;
particleList pList;
bool debugging = false;
inputDisplay inputPanel;

namespace {
const char* kBackground = "data/tBG2.bmp";
const char* kCharacterFolder = "data/Burn";

}  // namespace

void bindPlayerKeys(keyBindings& bindings) {
    bindings.name = "defualt";
    bindings.buttonA = SDLK_z;
    bindings.buttonB = SDLK_x;
    bindings.buttonC = SDLK_c;
    bindings.left = SDLK_LEFT;
    bindings.right = SDLK_RIGHT;
    bindings.up = SDLK_UP;
    bindings.down = SDLK_DOWN;
    bindings.debug = SDLK_j;
}

int startVideoAndAudio() {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return -1;
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    return 0;
}

SDL_Surface* loadBackground(const loadPolicy& policy) {
    std::string reason;
    SDL_Surface* loaded = loadCheckedBitmap(kBackground, reason);
    if (!loaded) {
        // The scene still runs, over a black screen.
        reportContent(kBackground, 0, "background " + reason + "; the scene runs without it", policy);
        return nullptr;
    }
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    if (!converted)
        reportContent(kBackground, 0, std::string("background can't be converted: ") + SDL_GetError(), policy);
    return converted;
}

int InitImages(const loadPolicy& policy) {
    back = loadBackground(policy);
    return 0;
}

void loadCharacter(animationSet& anims, moveSet& moves, const loadPolicy& policy) {
    anims.loadAll(kCharacterFolder, policy);
    moves.loadAll(kCharacterFolder, policy);
}

std::unique_ptr<soundSet> loadSounds(const loadPolicy& policy) {
    std::printf("making an Sset\n");
    std::unique_ptr<soundSet> sounds(new soundSet());
    sounds->getList("data/soundSet", policy);
    sounds->addToList("data/Tor/sound", policy);
    sounds->display();
    return sounds;
}

void loadParticleDefinitions(partInfoList& defs, const loadPolicy& policy) {
    defs.addList("default", screen, policy);
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
    // restore the background under last frame's images, the input display
    // (drawn last) first
    inputPanel.clearBG();
    vikings1.clearBG();
    pList.clearBG();
    // save the background under the new places
    vikings1.updateBG();
    pList.updateBG();
    inputPanel.updateBG();
    // draw, advancing animations by the clock
    vikings1.draw();
    pList.draw();
    // boxes on top, when debugging
    if (debugging) {
        vikings1.drawColBoxes();
        pList.debug();
    }
    // the input display over everything, when shown
    inputPanel.draw();
}

void startScene(sceneObjects& o, bool windowed, const loadPolicy& policy) {
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) < 0)
        std::printf("Warning: Couldn't set 44100 Hz 16-bit audio\n- Reason: %s\n", SDL_GetError());

    // In a window the hidden cursor is hidden only over the window.
    screen = SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, (windowed ? 0 : SDL_FULLSCREEN) | SDL_HWPALETTE);
    if (!screen) {
        std::printf("Unable to set 800x600 video: %s\n", SDL_GetError());
        std::exit(1);
    }

    // the character
    loadCharacter(o.anims, o.moves, policy);
    vikings1.initS(&o.anims, screen);
    vikings1.speed = kFighterSpeed;
    vikings1.x = 150;
    vikings1.y = 300;
    SDL_ShowCursor(SDL_DISABLE);

    o.checker.reset(new inputChecker(&o.moves, &vikings1));
    o.checker->printB();

    o.sounds = loadSounds(policy);

    bindPlayerKeys(o.bindings);
    loadPlayerKeyFile(o.bindings, policy);
    std::printf("Right is also %d\n", o.bindings.right);

    // particles
    loadParticleDefinitions(o.defs, policy);
    pList.addParticle("fireball1 80 80", nullptr, nullptr, &o.defs, screen, 1);

    // the background, painted once
    InitImages(policy);
    DrawBG();

    o.target.setTarget(&vikings1);
    o.checker->target = &o.target;
    inputPanel.init(screen, o.checker.get());

    o.control.init(screen);
    // A window has a close button, which players expect to work.
    o.control.closeQuits = windowed;
    o.control.setup(&vikings1, &o.defs, &pList, o.sounds.get(), &o.anims, &o.moves, &o.bindings, o.checker.get(),
                    &o.target);
}

bool runPass(sceneObjects& o) {
    // timing, frame sounds and frame particles
    o.control.update();
    // keys, the movement step and the start of moves
    o.control.inputChecking(&o.event);
    // Escape, or a termination signal, ends the loop after this pass is drawn
    bool leaving = o.control.quit != 0 || quitSignalled();
    // F5, or files under "data" changed and then quiet: the content anew
    if (o.control.reload || dataSettled(o.watch)) {
        o.control.reload = 0;
        reloadScene(o);
    }
    vikings1.boundary();
    DrawScene();
    return !leaving;
}
