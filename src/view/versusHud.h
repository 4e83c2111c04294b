#pragma once
// The versus HUD: each side's health bar with its recent damage in red, the
// names with a marker per round won, the round's timer, and the round's big
// words in the middle. It lies on the background, under the fighters: each
// piece repaints its own rectangle (the background, then itself) only when
// what it shows changed, so a pass where nothing changed writes nothing.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "match/matchContent.h"

class changedRects;

// The health bars: player 1's left of the middle, player 2's mirrored right of it.
const int kHudBarWidth = 320;   // pixels, with its 2-pixel frame
const int kHudBarHeight = 16;
const int kHudBarFrame = 2;
const int kHudBarY = 16;
const int kHudBarGap = 80;      // between the two bars, where the timer stands
// Ticks the red part of a bar holds after the last damage before it drains.
const int kRedHoldTicks = 100;
// Health points the red part drains each tick after that.
const int kRedDrainPerTick = 1;
// Ticks "Fight!" stays once the fight began.
const int kFightShownTicks = 50;

// Colours of the bars, 0xRRGGBB.
const Uint32 kHudHealthRgb = 0xf0c828;
const Uint32 kHudDamageRgb = 0xd01818;
const Uint32 kHudEmptyRgb = 0x302828;
const Uint32 kHudFrameRgb = 0x000000;
// The big words in the middle and the names.
const Uint32 kHudWordsRgb = 0xffd040;
const Uint32 kHudTextRgb = 0xffffff;

// The rectangle of side's bar.
SDL_Rect hudBarArea(int side);
// "99": the seconds left of the round, rounded up; "--" without a timer.
std::string timerText(const matchContent& content, const matchState& state);

// The surface's pixel of the colour 0xRRGGBB.
Uint32 pixelOfRgb(SDL_Surface* surface, Uint32 rgb);

// One line of the words in the middle.
struct hudLine {
    std::string text;
    int scale = 1;  // the font's pixels drawn this many screen pixels wide
    bool hint = false;  // the keys' line, in the plain colour
};
// The words in the middle for the round's phase: "Round N" then "Fight!",
// "KO", "Time over" or "Draw", the match's result and the keys after it;
// none while the fight goes on.
std::vector<hudLine> centreLines(const matchContent& content, const matchState& state);

// The recent damage of one side, shown in red on its bar.
struct redPart {
    int health = -1;  // the health seen last; -1 before the first look
    int top = 0;      // where the red part reached at `since`
    int since = 0;    // tick of the last damage
};

// One piece of the HUD: a rectangle and what it showed when last painted.
struct hudPiece {
    SDL_Rect area = {0, 0, 0, 0};
    std::string shown;  // "" when not painted since the screen was
};

class versusHud {
public:
    SDL_Surface* screen = nullptr;    // borrowed
    changedRects* changes = nullptr;  // where its writes are noted, or null; borrowed
    redPart red[kSides];
    // Words that stand in the middle instead of the round's, such as why a
    // match over the network ended; "" for none.
    std::string notice;

    // Binds to the display; everything is painted at the next draw.
    void init(SDL_Surface* screen, changedRects* changes);
    // Follows each side's health at the state's tick: a drop keeps the
    // health before it in red, which drains once kRedHoldTicks passed; a
    // rise (a new round) leaves no red.
    void follow(const matchState& state);
    // Where side's red part reaches at `tick`: its health or above.
    int redHealth(int side, int tick) const;
    // Follows the state, then repaints the pieces whose figures or words
    // changed over `background` (black where it has none); every piece
    // after the screen was painted whole.
    void draw(const matchContent& content, const matchState& state, SDL_Surface* background);
    // Every piece is painted anew at the next draw.
    void forget();

private:
    hudPiece bars[kSides];
    hudPiece names[kSides];
    hudPiece timer;
    hudPiece centre;

    // Paints `piece` when `now` differs from what it shows: true then, with
    // the rectangle noted and the background put back under it.
    bool repaint(hudPiece& piece, const std::string& now, SDL_Surface* background);
    // The bar's frame, its health and its red part, in pixels of its inside.
    void drawBar(int side, int health, int redTop);
    void drawName(int side, const std::string& name, int wins, int slots);
    // `text` with a dark shadow, its top-left corner at (x, y).
    void write(int x, int y, const std::string& text, Uint32 rgb, int scale);
};
