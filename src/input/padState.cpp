#include "padState.h"

#include <cstdio>
#include <cstdlib>

namespace {
const padAction kButtons[] = {padAction::buttonA, padAction::buttonB, padAction::buttonC, padAction::debug};
const int kButtonCount = sizeof kButtons / sizeof kButtons[0];
// Two directions may start in one hat event; down before right reads a
// diagonal as the quarter circle that usually leads to it.
const padAction kDirections[] = {padAction::up, padAction::down, padAction::left, padAction::right};

// The way one stick axis holds after it moved to `value`, from `held`: -1,
// 0 or 1. It takes a way past the dead zone and lets go only well inside it.
int stickWay(int held, int value) {
    if (held > 0 && value < kStickReleaseZone) held = 0;
    if (held < 0 && value > -kStickReleaseZone) held = 0;
    if (held == 0 && value >= kStickDeadZone) held = 1;
    if (held == 0 && value <= -kStickDeadZone) held = -1;
    return held;
}
}  // namespace

padPresses padState::take(const SDL_Event& event) {
    padPresses presses;
    bool before[4];
    for (int at = 0; at < 4; ++at) before[at] = holds(kDirections[at]);
    switch (event.type) {
    case SDL_JOYBUTTONDOWN:
        if (event.jbutton.which == device && event.jbutton.button < kButtonCount)
            presses.list[presses.count++] = kButtons[event.jbutton.button];
        return presses;
    case SDL_JOYBUTTONUP:
        if (event.jbutton.which == device && event.jbutton.button < kButtonCount)
            presses.releases[presses.releaseCount++] = kButtons[event.jbutton.button];
        return presses;
    case SDL_JOYHATMOTION:
        if (event.jhat.which != device || event.jhat.hat != 0) return presses;
        hat = event.jhat.value;
        break;
    case SDL_JOYAXISMOTION:
        if (event.jaxis.which != device || event.jaxis.axis > 1) return presses;
        if (event.jaxis.axis == 0) {
            stickX = event.jaxis.value;
            stickHeldX = stickWay(stickHeldX, stickX);
        } else {
            stickY = event.jaxis.value;
            stickHeldY = stickWay(stickHeldY, stickY);
        }
        break;
    default:
        return presses;
    }
    for (int at = 0; at < 4; ++at) {
        bool now = holds(kDirections[at]);
        if (!before[at] && now) presses.list[presses.count++] = kDirections[at];
        if (before[at] && !now) presses.releases[presses.releaseCount++] = kDirections[at];
    }
    return presses;
}

bool padState::holds(padAction direction) const {
    switch (direction) {
    case padAction::up: return (hat & SDL_HAT_UP) || stickHeldY < 0;
    case padAction::down: return (hat & SDL_HAT_DOWN) || stickHeldY > 0;
    case padAction::left: return (hat & SDL_HAT_LEFT) || stickHeldX < 0;
    case padAction::right: return (hat & SDL_HAT_RIGHT) || stickHeldX > 0;
    default: return false;
    }
}

namespace {
// Opens the joystick `index`, printing "<label>: <name>". Without it the
// subsystem is shut again, unless another pad holds it open.
SDL_Joystick* openPad(int index, const char* label) {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) return nullptr;
    SDL_Joystick* joystick = SDL_NumJoysticks() > index ? SDL_JoystickOpen(index) : nullptr;
    if (!joystick) {
        if (index == 0 || !SDL_JoystickOpened(0)) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        return nullptr;
    }
    SDL_JoystickEventState(SDL_ENABLE);
    const char* name = SDL_JoystickName(index);
    std::printf("%s: %s\n", label, name ? name : "(no name)");
    return joystick;
}
}  // namespace

SDL_Joystick* openFirstPad() { return openPad(0, "Gamepad"); }

SDL_Joystick* openSecondPad() { return openPad(1, "Gamepad 2"); }
