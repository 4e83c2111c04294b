#include "padState.h"

#include <cstdio>
#include <cstdlib>

namespace {
const padAction kButtons[] = {padAction::buttonA, padAction::buttonB, padAction::buttonC, padAction::debug};
const int kButtonCount = sizeof kButtons / sizeof kButtons[0];
// Two directions may start in one hat event; down before right reads a
// diagonal as the quarter circle that usually leads to it.
const padAction kDirections[] = {padAction::up, padAction::down, padAction::left, padAction::right};
}  // namespace

padPresses padState::take(const SDL_Event& event) {
    padPresses presses;
    bool before[4];
    for (int at = 0; at < 4; ++at) before[at] = holds(kDirections[at]);
    switch (event.type) {
    case SDL_JOYBUTTONDOWN:
        if (event.jbutton.which == 0 && event.jbutton.button < kButtonCount)
            presses.list[presses.count++] = kButtons[event.jbutton.button];
        return presses;
    case SDL_JOYHATMOTION:
        if (event.jhat.which != 0 || event.jhat.hat != 0) return presses;
        hat = event.jhat.value;
        break;
    case SDL_JOYAXISMOTION:
        if (event.jaxis.which != 0 || event.jaxis.axis > 1) return presses;
        (event.jaxis.axis == 0 ? stickX : stickY) = event.jaxis.value;
        break;
    default:
        return presses;
    }
    for (int at = 0; at < 4; ++at)
        if (!before[at] && holds(kDirections[at])) presses.list[presses.count++] = kDirections[at];
    return presses;
}

bool padState::holds(padAction direction) const {
    switch (direction) {
    case padAction::up: return (hat & SDL_HAT_UP) || stickY <= -kStickDeadZone;
    case padAction::down: return (hat & SDL_HAT_DOWN) || stickY >= kStickDeadZone;
    case padAction::left: return (hat & SDL_HAT_LEFT) || stickX <= -kStickDeadZone;
    case padAction::right: return (hat & SDL_HAT_RIGHT) || stickX >= kStickDeadZone;
    default: return false;
    }
}

SDL_Joystick* openFirstPad() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) return nullptr;
    SDL_Joystick* joystick = SDL_NumJoysticks() > 0 ? SDL_JoystickOpen(0) : nullptr;
    if (!joystick) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        return nullptr;
    }
    SDL_JoystickEventState(SDL_ENABLE);
    const char* name = SDL_JoystickName(0);
    std::printf("Gamepad: %s\n", name ? name : "(no name)");
    return joystick;
}
