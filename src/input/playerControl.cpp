#include "playerControl.h"

#include <cstdio>

#include "commands/inputChecker.h"
#include "data/soundSet.h"
#include "fighter/Fighter.h"
#include "particles/particleList.h"
#include "sprites/clock.h"
#include "input/keyBindings.h"
#include "input/keyRecording.h"
#include "sprites/sceneGeometry.h"

// Pixels the anchor moves per movement step while an arrow is held.
static const int walkStep = 3;

void playerControl::init(SDL_Surface* screen) {
    this->screen = screen;
    quit = 0;
    fighter = nullptr;
    partInfo = nullptr;
    particles = nullptr;
    sounds = nullptr;
    anims = nullptr;
    moves = nullptr;
    bindings = nullptr;
    checker = nullptr;
    target = nullptr;
    frameNow = 0;
    framePrev = 0;
    actionNow = actionPrev = "NULL";
    soundNow = soundPrev = "NULL";
    particleNow = particlePrev = "NULL";
    joystick = padState();
    playedHolds = 0;
    pressed = 0;
}

void playerControl::setup(Fighter* fighter, partInfoList* partInfo, particleList* particles,
                          soundSet* sounds, animationSet* anims, moveSet* moves, keyBindings* bindings,
                          inputChecker* checker, Target* target) {
    this->fighter = fighter;
    this->partInfo = partInfo;
    this->particles = particles;
    this->sounds = sounds;
    this->anims = anims;
    this->moves = moves;
    this->bindings = bindings;
    this->checker = checker;
    this->target = target;
}

void playerControl::update() {
    now = static_cast<int>(clockTicks());
    float elapsed = static_cast<float>((now - lastUpdate) * (1.0 / kStepMs));  // in movement steps
    lastUpdate = now;
    stepClock += elapsed;

    framePrev = frameNow;
    actionPrev = actionNow;
    soundPrev = soundNow;
    particlePrev = particleNow;

    if (!fighter) return;
    frameInfo* rec = fighter->currentRecord();
    frameNow = fighter->frame;
    actionNow = fighter->action;
    soundNow = rec ? fighter->returnSound() : "NULL";

    // A sound plays once, when the frame index changed and it names another sound.
    if (frameNow != framePrev && soundNow != "NULL" && soundNow != soundPrev && sounds)
        sounds->Play(soundNow, -1);

    // A frame's particles launch once, when its first line differs from the last seen.
    particleNow = rec ? firstParticleLine(*rec) : "NULL";
    int launched = rec ? particleLinesLaunched(*rec, particlePrev) : 0;
    for (int i = 1; i <= launched; ++i) {
        std::printf("TD: %d\n", lastUpdate);
        if (particles)
            particles->addParticle(fighter->returnParticle(i), fighter, nullptr, partInfo, screen, lastUpdate);
    }

    // A new action counts from frame 0 in the next pass.
    if (actionNow != actionPrev) frameNow = 0;
}

void playerControl::press(char letter) {
    if (!checker || !fighter) return;
    inputKeys key;
    key.time = now;
    key.key = letter;
    key.action = fighter->action;
    checker->acceptInput(key);
}

namespace {
// The bindings in the order a key press is tested: a key bound to two of
// them does both.
const struct {
    int keyBindings::*key;
    padAction action;
} kKeyOrder[] = {
    {&keyBindings::buttonA, padAction::buttonA}, {&keyBindings::buttonB, padAction::buttonB},
    {&keyBindings::buttonC, padAction::buttonC}, {&keyBindings::up, padAction::up},
    {&keyBindings::down, padAction::down},       {&keyBindings::right, padAction::right},
    {&keyBindings::left, padAction::left},       {&keyBindings::debug, padAction::debug},
};
}  // namespace

void playerControl::act(padAction action) {
    if (action == padAction::debug) {
        raise(playerRequest::toggleBoxes);
        return;
    }
    pressed |= actionBit(action);
    if (!fighter) return;
    switch (action) {
    case padAction::buttonA: press('A'); break;
    case padAction::buttonB: press('B'); break;
    case padAction::buttonC: press('C'); break;
    case padAction::up:
        fighter->Jump(kJumpSpeed);
        press('U');
        break;
    case padAction::down: press('D'); break;
    case padAction::right: press(fighter->dir ? 'R' : 'L'); break;
    case padAction::left: press(fighter->dir ? 'L' : 'R'); break;
    case padAction::debug: break;
    }
}

void playerControl::keyPressed(int sym) {
    if (sym == kQuitKey) raise(playerRequest::quit);
    if (sym == kReloadKey) raise(playerRequest::reload);
    if (sym == kInputDisplayKey) raise(playerRequest::toggleInputDisplay);
    if (!bindings) {
        if (sym == SDLK_j) act(padAction::debug);
        return;
    }
    for (const auto& binding : kKeyOrder)
        if (sym == bindings->*binding.key) act(binding.action);
    if (sym == bindings->record) raise(playerRequest::record);
    if (sym == bindings->playback) raise(playerRequest::playback);
    if (sym == bindings->stance) raise(playerRequest::stance);
    if (sym == bindings->reset) raise(playerRequest::reset);
}

void playerControl::raise(playerRequest request) {
    if (request == playerRequest::quit) quit = 1;
    if (onRequest) onRequest(request);
}

void playerControl::inputChecking(SDL_Event* event) {
    takeEvents(event);
    step();
}

void playerControl::takeEvents(SDL_Event* event) {
    while (SDL_PollEvent(event)) {
        takeEvent(*event);
        if (alsoHears) alsoHears->takeEvent(*event);
    }
}

void playerControl::takeEvent(const SDL_Event& event) {
    bool keyEvent = event.type == SDL_KEYDOWN || event.type == SDL_KEYUP;
    if (keyEvent && onKey) onKey(event.key.keysym.sym, event.type == SDL_KEYDOWN);
    if (event.type == SDL_KEYDOWN) keyPressed(event.key.keysym.sym);
    if (event.type == SDL_QUIT && closeQuits) raise(playerRequest::quit);
    padPresses presses = joystick.take(event);
    for (int at = 0; at < presses.releaseCount && onPad; ++at) onPad(presses.releases[at], false);
    for (int at = 0; at < presses.count; ++at) {
        if (onPad) onPad(presses.list[at], true);
        act(presses.list[at]);
    }
}

void playerControl::play(const playedKey& key) {
    if (!key.pressed) {
        playedHolds &= ~actionBit(key.action);
        return;
    }
    playedHolds |= actionBit(key.action);
    act(key.action);
}

bool playerControl::holds(padAction direction) const {
    if ((playedHolds & actionBit(direction)) || joystick.holds(direction)) return true;
    if (!bindings) return false;
    int code = boundKey(*bindings, direction);
    int numKeys = 0;
    Uint8* keys = SDL_GetKeyState(&numKeys);
    return keys && code > 0 && code < numKeys && keys[code];
}

void playerControl::step() {
    if (stepClock > 1.0f && fighter) {
        bool idle = true;
        std::string prev = fighter->action;
        if (!fighter->returnBusy() && fighter->action != "duck") {
            if (holds(padAction::left)) {
                fighter->x -= walkStep;
                fighter->setDir(false);
                idle = false;
            }
            if (holds(padAction::right)) {
                fighter->x += walkStep;
                fighter->setDir(true);
                idle = false;
            }
        }
        if (holds(padAction::down)) {
            fighter->duck();
            idle = false;
        } else if (prev == "duck") {
            fighter->changeAnim("standing");
        }
        prev = fighter->action;
        if (!fighter->returnBusy() && fighter->action != "duck" && fighter->action != "inAir") {
            if (!idle && prev != "walk") fighter->changeAnim("walk");
            if (idle && prev != "standing") fighter->changeAnim("standing");
        }
        fighter->Gravity();
        if (particles) particles->update();
        // The surplus is dropped: at most one step per pass.
        stepClock = 0.0f;
    }

    if (checker && fighter) {
        moveInfo* move = checker->update(now);
        if (move && !fighter->returnBusy()) fighter->changeAction(move);
    }
}
