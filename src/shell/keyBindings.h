#pragma once
// The key binding of one player: SDL key codes of the buttons and directions.
#include <SDL/SDL_keysym.h>

#include <string>

// Keys the game keeps for itself, which no binding may take.
const int kQuitKey = SDLK_ESCAPE;     // ends the game
const int kReloadKey = SDLK_F5;       // loads the content again
const int kInputDisplayKey = SDLK_i;  // shows or hides the input display

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
};
