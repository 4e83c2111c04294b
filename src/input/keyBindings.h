#pragma once
// The key binding of one player: SDL key codes of the buttons and directions.
#include <SDL/SDL_keysym.h>

#include <string>

// Keys the game keeps for itself, which no binding may take.
const int kQuitKey = SDLK_ESCAPE;     // ends the game
const int kReloadKey = SDLK_F5;       // loads the content again
const int kInputDisplayKey = SDLK_i;  // shows or hides the input display

// The training keys' defaults. Players and the docs rely on them, so no
// binding but a training one may take them.
const int kRecordKey = SDLK_F1;    // starts and stops recording the player's keys
const int kPlaybackKey = SDLK_F2;  // starts and stops the partner's playback of the recording
const int kStanceKey = SDLK_F3;    // cycles the partner's stance: stand, crouch, jump
const int kResetKey = SDLK_F4;     // puts both fighters back at their start places

// What a bound key, or a control of a gamepad, stands for.
enum class padAction { buttonA, buttonB, buttonC, up, down, right, left, debug };

class keyBindings {
public:
    std::string name = "Default";  // label; nothing reads it
    int buttonA = 0;               // reported as 'A'
    int buttonB = 0;               // 'B'
    int buttonC = 0;               // 'C'
    int left = 0;
    int right = 0;
    int up = 0;                    // jump
    int down = 0;                  // duck
    int debug = SDLK_j;            // shows or hides the boxes
    // The training keys; they act only in training.
    int record = kRecordKey;       // starts and stops recording the player's keys
    int playback = kPlaybackKey;   // starts and stops the playback on the partner
    int stance = kStanceKey;       // cycles the partner's stance
    int reset = kResetKey;         // puts both fighters back at their start places
    // Player 2's keys, acting only in versus; 0 leaves one unbound.
    int p2Left = 0;
    int p2Right = 0;
    int p2Up = 0;
    int p2Down = 0;
    int p2A = 0;
    int p2B = 0;
    int p2C = 0;
};

// Player 2's keys of `both` as a binding of its own: its directions and
// buttons, no debug or training key.
keyBindings secondPlayerKeys(const keyBindings& both);
