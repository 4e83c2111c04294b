#include "scene.h"

#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "data/textFile.h"
#include "input/keyFile.h"
#include "shell/reload.h"
#include "sprites/bmpCheck.h"
#include "sprites/clock.h"
#include "sprites/sceneGeometry.h"
#include "sprites/surfaceBlit.h"

namespace {
const char* kBackground = "data/tBG2.bmp";
const char* kSoundList = "data/soundSet";
const char* kCharacterSounds = "data/Tor/sound";
const char* kParticleList = "default";
const char* kVersusSounds = "data/versus/sound";

// "data/tBG2.bmp" in the display format; null, reported, when it won't load.
SDL_Surface* loadBackground(loadPolicy& policy) {
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

// sdl12-compat, SDL 1.2 over SDL 2, numbers itself 1.2.50 and up.
bool onSDL2() {
    const SDL_version* linked = SDL_Linked_Version();
    return linked && linked->major == 1 && linked->minor == 2 && linked->patch >= 50;
}

// The way the player's fighter faces: in the match when there is one.
bool playerFacesRight(const gameScene& o) {
    return o.match ? o.match->state.fighters[0].facingRight != 0 : o.player().dir;
}
}  // namespace

SDL_Surface* openScreen(bool windowed, changedRects& changes) {
    const Uint32 flags = (windowed ? 0 : SDL_FULLSCREEN) | SDL_HWPALETTE;
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    const int width = desktop ? desktop->current_w : 0, height = desktop ? desktop->current_h : 0;
    const bool larger = width >= kScreenWidth && height >= kScreenHeight &&
                        width * height > kScreenWidth * kScreenHeight;
    if (windowed || !larger || !onSDL2()) return SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, flags);
    SDL_Surface* display = SDL_SetVideoMode(width, height, kScreenBits, flags);
    if (!display || !display->pixels || SDL_MUSTLOCK(display))
        return SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, flags);
    SDL_FillRect(display, nullptr, 0);
    SDL_UpdateRect(display, 0, 0, 0, 0);
    changes.left = (width - kScreenWidth) / 2;
    changes.top = (height - kScreenHeight) / 2;
    const SDL_PixelFormat* format = display->format;
    Uint8* corner = static_cast<Uint8*>(display->pixels) + changes.top * display->pitch +
                    changes.left * format->BytesPerPixel;
    SDL_Surface* screen = SDL_CreateRGBSurfaceFrom(corner, kScreenWidth, kScreenHeight, format->BitsPerPixel,
                                                   display->pitch, format->Rmask, format->Gmask, format->Bmask,
                                                   format->Amask);
    if (screen) changes.display = display;
    return screen;
}

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
    bindings.record = kRecordKey;
    bindings.playback = kPlaybackKey;
    bindings.stance = kStanceKey;
    bindings.reset = kResetKey;
    bindings.p2Up = SDLK_w;
    bindings.p2Left = SDLK_a;
    bindings.p2Down = SDLK_s;
    bindings.p2Right = SDLK_d;
    bindings.p2A = SDLK_f;
    bindings.p2B = SDLK_g;
    bindings.p2C = SDLK_h;
}

void askSDL2ForPlainCopies() {
    setEnvironment("SDL_RENDER_DRIVER", "software", false);
    setEnvironment("SDL_FRAMEBUFFER_ACCELERATION", "0", false);
}

int startVideoAndAudio() {
    askSDL2ForPlainCopies();
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return -1;
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    return 0;
}

sceneContent::~sceneContent() { releaseSurface(back); }

namespace {
// In versus: each side's "data/NAME/sound" after the scene's sounds, then
// "data/versus/sound", each when there.
void addVersusSounds(soundSet& sounds, const characterCast& cast, loadPolicy& policy) {
    std::vector<std::string> folders;
    for (const std::string& name : cast.names) folders.push_back("data/" + name + "/sound");
    folders.push_back(kVersusSounds);
    for (size_t at = 0; at < folders.size(); ++at)
        if ((at == 0 || folders[at] != folders[at - 1]) && isFolder(folders[at]))
            sounds.addToList(folders[at].c_str(), policy);
}

// In versus: each side's particle list "data/particle/NAME" after "default", when there.
void addVersusParticles(partInfoList& defs, const characterCast& cast, SDL_Surface* screen, loadPolicy& policy) {
    for (int side = 0; side < kSides; ++side) {
        const std::string& name = cast.names[side];
        if ((side == 0 || name != cast.names[0]) && fileSize(("data/particle/" + name).c_str()) >= 0)
            defs.addList(name.c_str(), screen, policy);
    }
}
}  // namespace

void loadContent(sceneContent& content, unsigned parts, SDL_Surface* screen, loadPolicy& policy) {
    const characterCast& cast = content.cast;
    const std::string characterFolder = "data/" + cast.names[0];
    if (parts & animationsPart) content.anims.loadAll(characterFolder.c_str(), policy);
    if (parts & movesPart) content.moves.loadAll(characterFolder.c_str(), policy);
    if (parts & soundsPart) {
        std::printf("making an Sset\n");
        content.sounds.reset(new soundSet());
        content.sounds->getList(kSoundList, policy);
        content.sounds->addToList(kCharacterSounds, policy);
        if (cast.versus) addVersusSounds(*content.sounds, cast, policy);
        content.sounds->display();
    }
    if (parts & particlesPart) {
        content.defs.addList(kParticleList, screen, policy);
        if (cast.versus) addVersusParticles(content.defs, cast, screen, policy);
    }
    if (parts & partnerPart) {
        // Without its own animation list the partner is the player's character.
        const std::string partnerFolder = "data/" + cast.names[1];
        content.partnerAnims = animationSet();
        content.partnerMoves = moveSet();
        if (fileSize((partnerFolder + "/info").c_str()) >= 0) content.partnerAnims.loadAll(partnerFolder.c_str(), policy);
        if (fileSize((partnerFolder + "/moveset").c_str()) >= 0)
            content.partnerMoves.loadAll(partnerFolder.c_str(), policy);
        for (int side = 0; side < kSides && cast.versus; ++side) {
            content.health[side] = kDefaultHealth;
            readCharacterStats("data/" + cast.names[side], content.health[side], policy);
        }
    }
    if (parts & backgroundPart) {
        releaseSurface(content.back);
        content.back = loadBackground(policy);
    }
}

gameScene::gameScene() { fighters.emplace_back(); }

gameScene::~gameScene() {
    // A screen over the middle of the display is the scene's own.
    if (screenChanges.display) releaseSurface(screen);
}

int InitImages(gameScene& scene, loadPolicy& policy) {
    loadContent(scene.content, backgroundPart, scene.screen, policy);
    return 0;
}

int DrawBG(gameScene& scene) {
    if (!scene.content.back || !scene.screen) return 0;
    SDL_Rect corner = {0, 0, 0, 0};
    blitSurface(scene.content.back, nullptr, scene.screen, &corner);
    scene.screenChanges.addWhole();
    return 0;
}

void DrawScene(gameScene& scene) {
    DrawSprites(scene);
    // show the frame: the places written, or a flip where the display swaps pages
    if (scene.screenChanges.screen != scene.screen) scene.screenChanges.watch(scene.screen);
    scene.screenChanges.show();
}

void DrawSprites(gameScene& scene) {
    matchSession* match = scene.match.get();
    // restore the background under last frame's images, the input display
    // (drawn last) first
    scene.inputPanel.clearBG();
    scene.panel.clearBG();
    if (match) {
        match->view.restore();
        // the versus HUD lies on the background, under the fighters:
        // repainted only where it changed, before they save what is under them
        if (match->content.rules.versus) match->hud.draw(match->content, match->state, scene.content.back);
    } else {
        for (Fighter& fighter : scene.fighters) fighter.clearBG();
        scene.pList.clearBG();
    }
    // save the background under the new places
    if (match) {
        match->view.save(match->content, match->state);
    } else {
        for (Fighter& fighter : scene.fighters) fighter.updateBG();
        scene.pList.updateBG();
    }
    scene.inputPanel.updateBG();
    scene.panel.updateBG();
    // draw: the match as its state says; else advancing animations by the
    // clock, and the boxes on top when debugging
    if (match) {
        match->view.draw(match->content, match->state, scene.debugging);
    } else {
        for (Fighter& fighter : scene.fighters) fighter.draw();
        scene.pList.draw();
        if (scene.debugging) {
            for (Fighter& fighter : scene.fighters) fighter.drawColBoxes();
            scene.pList.debug();
        }
    }
    // the input display over everything, when shown, and the training panel
    scene.inputPanel.draw();
    scene.panel.draw();
}

bool playsMatch(const gameScene& o) { return o.training || o.versus.versus; }

void startScene(gameScene& o, bool windowed, loadPolicy& policy) {
    if (o.versus.versus) {
        o.content.cast.versus = true;
        o.content.cast.names[0] = o.versus.p1;
        o.content.cast.names[1] = o.versus.p2;
    }
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) < 0)
        std::printf("Warning: Couldn't set 44100 Hz 16-bit audio\n- Reason: %s\n", SDL_GetError());

    // In a window the hidden cursor is hidden only over the window.
    o.screen = openScreen(windowed, o.screenChanges);
    if (!o.screen) {
        std::printf("Unable to set 800x600 video: %s\n", SDL_GetError());
        std::exit(1);
    }
    // everything that draws notes where
    o.screenChanges.watch(o.screen);
    for (Fighter& fighter : o.fighters) fighter.changes = &o.screenChanges;
    o.pList.changes = &o.screenChanges;
    o.inputPanel.changes = &o.screenChanges;

    // the character
    loadContent(o.content, characterParts, o.screen, policy);
    Fighter& player = o.player();
    player.initS(&o.content.anims, o.screen);
    player.speed = kFighterSpeed;
    player.x = kPlayerX;
    player.y = 300;
    SDL_ShowCursor(SDL_DISABLE);

    o.checker.reset(new inputChecker(&o.content.moves, &player));
    o.checker->printB();

    loadContent(o.content, soundsPart, o.screen, policy);

    bindPlayerKeys(o.bindings);
    loadPlayerKeyFile(o.bindings, policy);
    std::printf("Right is also %d\n", o.bindings.right);
    o.secondBindings = secondPlayerKeys(o.bindings);
    std::string unbound = unboundSecondPlayerKeys(o.bindings);
    if (o.versus.versus && !unbound.empty())
        std::printf("Player 2 has no key for %s: player 1's keys took them; the key file can bind them\n",
                    unbound.c_str());

    // particles
    loadContent(o.content, particlesPart, o.screen, policy);
    if (!playsMatch(o)) {
        o.pList.addParticle("fireball1 80 80", nullptr, nullptr, &o.content.defs, o.screen, 1);
        // Placed from the screen's corner, facing right, yet the player's own.
        if (o.pList.head) o.pList.head->part->owner = &player;
    }

    // the background, painted once
    InitImages(o, policy);
    DrawBG(o);

    if (playsMatch(o)) loadContent(o.content, partnerPart, o.screen, policy);

    o.target.setTarget(&player);
    o.checker->target = &o.target;
    o.inputPanel.init(o.screen, o.checker.get());
    o.panel.changes = &o.screenChanges;
    o.panel.init(o.screen, o.training);
    o.panel.help = trainingKeysHelp(o.bindings);

    o.control.init(o.screen);
    // A window has a close button, which players expect to work.
    o.control.closeQuits = windowed;
    o.control.setup(&player, &o.content.defs, &o.pList, o.content.sounds.get(), &o.content.anims, &o.content.moves,
                    &o.bindings, o.checker.get(), &o.target);
    // In a match the keys make the match's inputs: they move no fighter themselves.
    if (playsMatch(o)) {
        o.control.fighter = nullptr;
        o.control.checker = nullptr;
    }
    o.control.onRequest = [&o](playerRequest request) { actOn(o, request); };
    o.control.onKey = [&o](int key, bool pressed) {
        if (o.training) o.trainer.recording.recordKey(o.bindings, key, pressed, playerFacesRight(o), o.control.now);
    };
    o.control.onPad = [&o](padAction action, bool pressed) {
        if (o.training) o.trainer.recording.recordPad(action, pressed, playerFacesRight(o), o.control.now);
    };
    if (playsMatch(o)) {
        if (o.training) o.trainer.loadSaved(policy);
        o.match.reset(new matchSession);
        o.match->start(o, clockTicks());
    }
}

void resetTraining(gameScene& o) {
    o.match->reset(o);
    o.panel.clearCombo();
    // A playback starts again from its beginning, from the start places.
    if (o.trainer.playback.playing) {
        for (const playedKey& key : o.trainer.playback.stop()) o.match->partnerInput.play(key);
        o.trainer.playback.start(o.trainer.recording, o.control.now);
    }
    std::printf("Reset: both fighters at their start places\n");
}

namespace {
// A crouch or a walk already held when a recording starts is its first
// press. A held up is not: the jump it gave is over.
void recordHeldDirections(gameScene& o) {
    int now = o.control.now;
    bool right = playerFacesRight(o);
    for (padAction direction : {padAction::down, padAction::right, padAction::left}) {
        if (o.control.joystick.holds(direction))
            o.trainer.recording.recordPad(direction, true, right, now);
        else if (o.control.holds(direction))
            o.trainer.recording.recordKey(o.bindings, boundKey(o.bindings, direction), true, right, now);
    }
}

// The playback key: the recording starts or stops playing on the partner.
void togglePartnerPlayback(gameScene& o) {
    bool wasPlaying = o.trainer.playback.playing;
    for (const playedKey& key : o.trainer.togglePlayback(o.control.now)) o.match->partnerInput.play(key);
    // A playback starts from nothing held: the stance lets go.
    if (!wasPlaying && o.trainer.playback.playing) o.match->partnerInput.playedHolds = 0;
}
}  // namespace

void actOn(gameScene& o, playerRequest request) {
    switch (request) {
    case playerRequest::toggleBoxes: o.debugging = !o.debugging; break;
    case playerRequest::toggleInputDisplay: o.inputPanel.toggle(); break;
    case playerRequest::reload: o.reloadAsked = true; break;
    case playerRequest::quit: break;  // the loop reads control.quit once the input is handled
    // The training keys need the training partner: without it they do nothing.
    case playerRequest::record:
        if (!o.training) break;
        for (const playedKey& key : o.trainer.toggleRecording(o.control.now)) o.match->partnerInput.play(key);
        if (o.trainer.recording.recording) recordHeldDirections(o);
        break;
    case playerRequest::playback:
        if (o.training) togglePartnerPlayback(o);
        break;
    case playerRequest::stance:
        if (!o.training) break;
        o.trainer.cycleStance();
        o.panel.stance = stanceName(o.trainer.stance);
        break;
    case playerRequest::reset:
        if (o.training) resetTraining(o);
        // In versus a rematch, or the match from its start.
        // Over the network both sides would have to agree on it: it does nothing.
        if (o.versus.versus && !o.match->shownNet()) o.match->reset(o);
        break;
    }
}

bool runPass(gameScene& o) {
    if (o.match) return runMatchPass(o);
    // timing, frame sounds and frame particles
    o.control.update();
    // keys, the movement step and the start of moves
    o.control.inputChecking(&o.event);
    // Escape, or a termination signal, ends the loop after this pass is drawn
    bool leaving = o.control.quit != 0 || quitSignalled();
    // F5, or files under "data" changed and then quiet: the content anew
    if (o.reloadAsked || dataSettled(o.watch)) {
        o.reloadAsked = false;
        reloadScene(o);
    }
    for (Fighter& fighter : o.fighters) fighter.boundary();
    DrawScene(o);
    return !leaving;
}

bool runMatchPass(gameScene& o) {
    // the clock, for the training keys
    o.control.update();
    // A full recording stops and is saved before a key could stop it unsaved.
    o.trainer.stopIfFull(o.control.now);
    // keys: requests act at once, presses wait for the ticks
    o.control.takeEvents(&o.event);
    // the ticks the clock has made due, then their sounds and lines
    o.match->runTicks(o, clockTicks());
    o.match->playEvents(o);
    // the panel shows the state's figures
    const panelState& figures = o.match->state.panel;
    o.panel.anyHit = figures.anyHit != 0;
    o.panel.lastDamage = figures.lastDamage;
    o.panel.comboHits = figures.comboHits;
    o.panel.comboDamage = figures.comboDamage;
    o.panel.advantageMs = figures.advantageMs;
    o.panel.damageTaken = figures.damageTaken;
    o.panel.health = o.match->state.fighters[1].health;
    o.panel.fullHealth = o.match->content.characters[1].health;
    o.panel.activity = o.trainer.activity();
    // Escape, or a termination signal, ends the loop after this pass is drawn
    bool leaving = o.control.quit != 0 || quitSignalled();
    // A recording under way is kept, as the record key would keep it.
    if (leaving) o.trainer.stopRecording(o.control.now);
    // Over the network: the other side is told, and an end there ends the pass loop here.
    if (o.match->shownNet()) {
        for (netSession* side : o.match->net)
            if (side && leaving) side->leave(clockTicks());
        leaving = leaving || (o.match->netEnded() && o.match->netEndShown(clockTicks()));
    }
    // F5, or files under "data" changed and then quiet: the content anew;
    // not over the network, where both sides must play the same content
    if (!o.match->shownNet() && (o.reloadAsked || dataSettled(o.watch))) {
        o.reloadAsked = false;
        reloadScene(o);
    }
    DrawScene(o);
    return !leaving;
}
