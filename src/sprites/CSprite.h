#pragma once
// One drawable object: a frame set drawn at a position, animated by the
// clock, saving and restoring the background it covers.
#include <SDL/SDL.h>

#include <string>

#include "CSpriteBase.h"
#include "changedRects.h"

// An SDL rectangle for a screen place: SDL's fields are 16-bit, so places
// beyond them are held at their edge, and negative sizes become 0.
SDL_Rect makeRect(int x, int y, int w, int h);

// A box on the screen in pixels, right and bottom exclusive.
struct screenBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // True when it covers no pixel.
    bool empty() const { return right <= left || bottom <= top; }
};
// True when `a` and `b` share at least one pixel.
bool boxesOverlap(const screenBox& a, const screenBox& b);
// The pixels `a` and `b` share (empty when none).
screenBox overlapOf(const screenBox& a, const screenBox& b);
// `box` of a frame record placed with its image corner at (x, y); the
// horizontal edges from `across`, the vertical ones from `down`.
screenBox placedBox(const frameBox& across, const frameBox& down, int x, int y);

// --- What a frame record means over time; the game and the frame-data table both ask here ---
// Milliseconds `record` shows at the frame-time factor `speed`: its pause
// times the speed, in single precision. The first drawing after that moves on.
float frameShowMs(const frameInfo& record, float speed);
// The first particle line of `record`, "NULL" when it has none.
std::string firstParticleLine(const frameInfo& record);
// How many particle lines of `record` launch when the pass before saw
// `firstSeenBefore` as the first line: all of them when its own first line
// differs, else none. So frames in a row that start alike launch once.
int particleLinesLaunched(const frameInfo& record, const std::string& firstSeenBefore);

class CSprite {
public:
    int frame = 0;         // current frame index
    int x = 0;             // image corner on screen (a fighter's anchor point)
    int y = 0;
    int oldX = 0;          // where the background was last saved
    int oldY = 0;
    int animating = 1;     // 1: drawing advances the frame with time
    int drawn = 0;         // 1 once drawn
    float speed = 0.0f;    // factor applied to every frame's pause
    int lastTick = 0;      // clock (milliseconds) at the last frame change
    CSpriteBase* base = nullptr;    // frame set drawn; not owned
    SDL_Surface* bgSave = nullptr;  // saved background; owned
    SDL_Surface* screen = nullptr;  // surface drawn on; not owned
    changedRects* changes = nullptr;  // where its writes to the screen are noted, or null; not owned

    CSprite() = default;
    ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // Binds to a frame set and a surface; makes a new saved-background surface.
    void init(CSpriteBase* base, SDL_Surface* screen);
    // Puts the saved background back at (oldX, oldY).
    void clearBG();
    // Saves the background under the current position.
    void updateBG();
    // Moves to the next frame once the current one has shown for its pause
    // times the speed, back to frame 0 after the last (only while animating).
    // True when it went back to frame 0.
    bool advanceFrame();
    // Advances the frame when due and draws it as stored.
    void draw();
    // The same; the stored frame when `facing` is true, the mirrored one otherwise.
    void drawD(bool facing);
    // Moves by the current frame's moveX, right when `facing` is true.
    void moveD(bool facing);
    void setAlpha(int alpha);
    // Places the image so the current frame's anchor lies at (ax, ay).
    void adjustPos(int ax, int ay, bool facing);
    // Lower edge of the lower of the two boxes of frame `frameIndex`.
    int getYOffset(int frameIndex);
    int returnPartNum();
    // The current frame's collision box on the screen as the frame is drawn
    // facing `facing` (the mirrored record's edges when false); empty when
    // there is no frame.
    screenBox collisionBoxOnScreen(bool facing);
    // Draws the current frame's collision box and a mark at the corner.
    void drawColBoxes();
    // Particle launch line `i` of the current frame, counted from 1.
    std::string returnParticle(int i);
    std::string returnSound();

    // The current stored frame record, or null when the set has none to show.
    frameInfo* currentRecord();
    // Replaces the saved-background surface, releasing the old one.
    void setBgSave(SDL_Surface* surface);
};
