#pragma once
// The screen while a netplay match is greeted, before the scene starts: a
// few words in the middle (waiting, joining, why it failed), and Escape or
// closing the window to give up.
#include <SDL/SDL.h>

#include <string>

#include "sprites/changedRects.h"

class greetingScreen {
public:
    greetingScreen() = default;
    ~greetingScreen();
    greetingScreen(const greetingScreen&) = delete;
    greetingScreen& operator=(const greetingScreen&) = delete;

    // Opens the screen as the scene will (full screen, or a window).
    void open(bool windowed);
    // The screen black with `words` in the middle, and `hint` under them.
    void show(const std::string& words, const std::string& hint = "");
    // True once the player pressed Escape or closed the window.
    bool stopAsked();
    // Lets go of the screen before the scene opens its own.
    void close();

private:
    SDL_Surface* screen = nullptr;
    changedRects changes;
};
