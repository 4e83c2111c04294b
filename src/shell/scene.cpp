#include "scene.h"

#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "data/textFile.h"
#include "shell/hits.h"
#include "shell/keyFile.h"
#include "shell/reload.h"
#include "sprites/bmpCheck.h"
#include "sprites/clock.h"
#include "sprites/sceneGeometry.h"
#include "sprites/surfaceBlit.h"

namespace {
const char* kBackground = "data/tBG2.bmp";
const char* kCharacterFolder = "data/Burn";
const char* kSoundList = "data/soundSet";
const char* kCharacterSounds = "data/Tor/sound";
const char* kParticleList = "default";
const char* kPartnerFolder = "data/Dummy";

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

// The 800x600 screen. Full screen on a larger desktop, SDL 1.2 shows it
// unscaled in the middle with black around; sdl12-compat never changes the
// display mode but stretches the screen to the desktop, and with no window
// manager to enlarge its window shows only a corner of the stretched
// picture. There the display takes the desktop's size and the screen is a
// surface over its middle, shown where it lies (`changes`).
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

// The partner's moves: its own when loaded, else the player's.
moveSet& partnerMoves(gameScene& o) {
    return o.content.partnerMoves.moves.empty() ? o.content.moves : o.content.partnerMoves;
}
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
    bindings.record = kRecordKey;
    bindings.playback = kPlaybackKey;
    bindings.stance = kStanceKey;
    bindings.reset = kResetKey;
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

void loadContent(sceneContent& content, unsigned parts, SDL_Surface* screen, loadPolicy& policy) {
    if (parts & animationsPart) content.anims.loadAll(kCharacterFolder, policy);
    if (parts & movesPart) content.moves.loadAll(kCharacterFolder, policy);
    if (parts & soundsPart) {
        std::printf("making an Sset\n");
        content.sounds.reset(new soundSet());
        content.sounds->getList(kSoundList, policy);
        content.sounds->addToList(kCharacterSounds, policy);
        content.sounds->display();
    }
    if (parts & particlesPart) content.defs.addList(kParticleList, screen, policy);
    if (parts & partnerPart) {
        // Without its own animation list the partner is the player's character.
        content.partnerAnims = animationSet();
        content.partnerMoves = moveSet();
        if (fileSize((std::string(kPartnerFolder) + "/info").c_str()) >= 0)
            content.partnerAnims.loadAll(kPartnerFolder, policy);
        if (fileSize((std::string(kPartnerFolder) + "/moveset").c_str()) >= 0)
            content.partnerMoves.loadAll(kPartnerFolder, policy);
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
    // restore the background under last frame's images, the input display
    // (drawn last) first
    scene.inputPanel.clearBG();
    scene.panel.clearBG();
    for (Fighter& fighter : scene.fighters) fighter.clearBG();
    scene.pList.clearBG();
    // save the background under the new places
    for (Fighter& fighter : scene.fighters) fighter.updateBG();
    scene.pList.updateBG();
    scene.inputPanel.updateBG();
    scene.panel.updateBG();
    // draw, advancing animations by the clock
    for (Fighter& fighter : scene.fighters) fighter.draw();
    scene.pList.draw();
    // boxes on top, when debugging
    if (scene.debugging) {
        for (Fighter& fighter : scene.fighters) fighter.drawColBoxes();
        scene.pList.debug();
    }
    // the input display over everything, when shown, and the training panel
    scene.inputPanel.draw();
    scene.panel.draw();
}

void startScene(gameScene& o, bool windowed, loadPolicy& policy) {
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

    // particles
    loadContent(o.content, particlesPart, o.screen, policy);
    o.pList.addParticle("fireball1 80 80", nullptr, nullptr, &o.content.defs, o.screen, 1);
    // Placed from the screen's corner, facing right, yet the player's own.
    if (o.pList.head) o.pList.head->part->owner = &player;

    // the background, painted once
    InitImages(o, policy);
    DrawBG(o);

    if (o.training) addPartner(o, policy);

    // In training the partner is the one aimed at.
    o.target.setTarget(o.training ? &o.partner() : &player);
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
    o.control.onRequest = [&o](playerRequest request) { actOn(o, request); };
    o.control.onKey = [&o](int key, bool pressed) {
        if (o.training)
            o.trainer.recording.recordKey(o.bindings, key, pressed, o.player().dir, o.control.now);
    };
    o.control.onPad = [&o](padAction action, bool pressed) {
        if (o.training) o.trainer.recording.recordPad(action, pressed, o.player().dir, o.control.now);
    };
    o.control.onStep = [&o]() { stepHits(o); };
    if (o.training) {
        o.trainer.loadSaved(policy);
        wirePartnerControl(o);
    }
}

void wirePartnerControl(gameScene& o) {
    Fighter& partner = o.partner();
    o.partnerTarget.setTarget(&o.player());
    o.partnerChecker.reset(new inputChecker(&partnerMoves(o), &partner));
    o.partnerChecker->target = &o.partnerTarget;
    playerControl& control = o.partnerControl;
    control.init(o.screen);
    control.setup(&partner, &o.content.defs, &o.pList, o.content.sounds.get(), partner.anims, &partnerMoves(o),
                  nullptr, o.partnerChecker.get(), &o.partnerTarget);
    // The player's control steps the particles and tests the hits.
    control.stepsParticles = false;
    control.lastUpdate = o.control.lastUpdate;
}

void pointPartnerContent(gameScene& o) {
    animationSet* own = &o.content.partnerAnims;
    o.partner().anims = own->anims.empty() ? &o.content.anims : own;
    if (!o.partnerChecker) return;
    o.partnerChecker->getMoveLists(&partnerMoves(o));
    o.partnerControl.anims = o.partner().anims;
    o.partnerControl.moves = &partnerMoves(o);
    o.partnerControl.sounds = o.content.sounds.get();
}

void addPartner(gameScene& o, loadPolicy& policy) {
    loadContent(o.content, partnerPart, o.screen, policy);
    o.fighters.emplace_back();
    Fighter& partner = o.partner();
    partner.changes = &o.screenChanges;
    pointPartnerContent(o);
    partner.initS(partner.anims, o.screen);
    partner.speed = kFighterSpeed;
    partner.x = kPartnerX;
    partner.y = kGroundLevel;
    partner.dir = o.player().x > partner.x;
    // The two face each other, so that a first walk toward the partner is forward.
    o.player().dir = !partner.dir;
    partner.grounded = true;
    partner.airActions = 2;
    partner.changeAnim("standing");
}

namespace {
// Where start-up leaves a fighter once it has landed: at `x`, facing right
// when `right`, standing on the floor with nothing of a hit or a move left.
void placeStanding(Fighter& fighter, int x, bool right) {
    fighter.currentMove = nullptr;
    fighter.stopUntil = 0;
    fighter.stunUntil = 0;
    fighter.reeling = false;
    fighter.pushLeft = 0;
    fighter.pushStep = 0;
    fighter.pushedBy = nullptr;
    fighter.hitThisMove.clear();
    fighter.x = x;
    fighter.y = kGroundLevel;
    fighter.dir = right;
    fighter.grounded = true;
    fighter.ySpeed = 0;
    fighter.airActions = 2;
    fighter.changeAnim("standing");
}
}  // namespace

void resetTraining(gameScene& o) {
    // Everything drawn comes off the screen first, as at the start of a
    // pass: the particles' images go with them, the rest is drawn anew.
    o.inputPanel.clearBG();
    o.panel.clearBG();
    for (Fighter& fighter : o.fighters) fighter.clearBG();
    o.pList.clearBG();
    o.pList.clear();
    placeStanding(o.player(), kPlayerX, kPartnerX > kPlayerX);
    placeStanding(o.partner(), kPartnerX, kPlayerX > kPartnerX);
    o.panel.clearCombo();
    // A playback starts again from its beginning, from the start places.
    if (o.trainer.playback.playing) {
        playOnPartner(o, o.trainer.playback.stop());
        o.trainer.playback.start(o.trainer.recording, o.control.now);
    }
    std::printf("Reset: both fighters at their start places\n");
}

void holdStance(playerControl& control, partnerStance stance, int now) {
    playedKey down;
    down.action = padAction::down;
    down.pressed = stance == partnerStance::crouch;
    // Pressed once, as a player holds the key: a press per step would fill
    // the partner's command buffer.
    if (((control.playedHolds & actionBit(padAction::down)) != 0) != down.pressed) control.play(down);
    // A move or a hit plays out first; a jump comes down before the next.
    Fighter* partner = control.fighter;
    if (stance != partnerStance::jump || !partner) return;
    if (partner->returnBusy() || partner->held(now) || !partner->grounded) return;
    partner->Jump(kJumpSpeed);
}

void playOnPartner(gameScene& o, const std::vector<playedKey>& keys) {
    for (const playedKey& key : keys) o.partnerControl.play(key);
}

void drivePartner(gameScene& o) {
    playerControl& control = o.partnerControl;
    trainingTools& trainer = o.trainer;
    if (trainer.playback.playing)
        playOnPartner(o, trainer.playback.due(control.now, o.partner().dir));
    else
        holdStance(control, trainer.stance, control.now);
    control.step();
}

namespace {
// A crouch or a walk already held when a recording starts is its first
// press. A held up is not: the jump it gave is over.
void recordHeldDirections(gameScene& o) {
    int now = o.control.now;
    bool right = o.player().dir;
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
    playOnPartner(o, o.trainer.togglePlayback(o.control.now));
    // A playback starts from nothing held: the stance lets go.
    if (!wasPlaying && o.trainer.playback.playing) o.partnerControl.playedHolds = 0;
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
        playOnPartner(o, o.trainer.toggleRecording(o.control.now));
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
        break;
    }
}

bool runPass(gameScene& o) {
    // timing, frame sounds and frame particles
    o.control.update();
    if (o.training) {
        o.partnerControl.update();
        // One clock for both: the partner steps in the passes the player does.
        o.partnerControl.now = o.control.now;
        o.partnerControl.lastUpdate = o.control.lastUpdate;
        o.partnerControl.stepClock = o.control.stepClock;
        // A full recording stops and is saved before a key could stop it unsaved.
        o.trainer.stopIfFull(o.control.now);
    }
    // keys, the movement steps and the start of moves: the partner's first,
    // so that the hits, tested at the end of the player's step, see both moved
    o.control.takeEvents(&o.event);
    if (o.training) {
        drivePartner(o);
        o.panel.activity = o.trainer.activity();
    }
    o.control.step();
    // Escape, or a termination signal, ends the loop after this pass is drawn
    bool leaving = o.control.quit != 0 || quitSignalled();
    // A recording under way is kept, as the record key would keep it.
    if (leaving && o.training) o.trainer.stopRecording(o.control.now);
    // F5, or files under "data" changed and then quiet: the content anew
    if (o.reloadAsked || dataSettled(o.watch)) {
        o.reloadAsked = false;
        reloadScene(o);
    }
    for (Fighter& fighter : o.fighters) fighter.boundary();
    DrawScene(o);
    return !leaving;
}
