#pragma once
// The key binding of one player: SDL key codes of the buttons and directions.
#include <string>

class gamePad {
public:
    std::string name = "Default";  // label; nothing reads it
    int buttonA = 0;               // reported as 'A'
    int buttonB = 0;               // 'B'
    int buttonC = 0;               // 'C'
    int left = 0;
    int right = 0;
    int up = 0;                    // jump
    int down = 0;                  // duck
};
