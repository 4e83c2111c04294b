#pragma once
// The input display toggled by `i`: the last presses as the input checker
// saw them, with their age, and after each button the checker's answer,
// drawn in the top-left corner. Its rectangle is saved, restored and drawn
// like a sprite's, so the background is never repainted whole.
#include <SDL/SDL.h>

#include <string>
#include <vector>

class inputChecker;
class changedRects;

// One line of the display's text.
struct displayLine {
    std::string text;
    bool old = false;     // its press is older than the checker's age limit: greyed
    bool answer = false;  // a line of a search's answer
    bool recognised = false;  // the answer's recognised move
};

// Where the display stands and how much text it holds.
const int kDisplayX = 4;
const int kDisplayY = 4;
const int kDisplayWidth = 432;
const int kDisplayLines = 16;  // text lines under the title

class inputDisplay {
public:
    bool shown = false;              // toggled by `i`
    bool drawn = false;              // on screen now: its background is saved
    inputChecker* checker = nullptr; // borrowed
    SDL_Surface* screen = nullptr;   // borrowed
    SDL_Surface* bgSave = nullptr;   // owned: the background under the panel
    changedRects* changes = nullptr; // where its writes to the screen are noted, or null; borrowed

    inputDisplay() = default;
    ~inputDisplay();
    inputDisplay(const inputDisplay&) = delete;
    inputDisplay& operator=(const inputDisplay&) = delete;

    // Binds to the display and the checker, hidden.
    void init(SDL_Surface* screen, inputChecker* checker);
    // Shows or hides the display; showing starts the checker's journal.
    void toggle();
    // The newest kDisplayLines lines of the journal, ages taken at `now`.
    std::vector<displayLine> lines(int now) const;
    // The panel's place and size on the screen.
    SDL_Rect area() const;

    // Puts the saved background back where the panel was drawn.
    void clearBG();
    // Saves the background under the panel while it is shown.
    void updateBG();
    // Draws the title and lines at the clock's time while it is shown.
    void draw();
};
