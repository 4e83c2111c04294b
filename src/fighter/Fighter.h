#pragma once
// The player's character: a sprite placed by its anchor point that walks,
// ducks, jumps twice before landing, falls onto the floor and plays moves.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "data/animationSet.h"
#include "data/moveSet.h"
#include "sprites/CSprite.h"

// --- The fighter's pace ---
// The frame-time factor the game gives its fighter: a frame shows for its
// pause times this, in milliseconds.
const float kFighterSpeed = 3.0f;
// Milliseconds of one movement step (walking, gravity, particle motion) at
// its fastest: the player control steps once more than this has gathered.
const int kStepMs = 10;
// Upward speed of a jump from the floor, pixels per movement step.
const int kJumpSpeed = 16;

class Fighter : public CSprite {
public:
    bool dir = false;        // facing: true right (stored frames), false left (mirrored)
    bool oldDir = false;     // facing when the background was last saved
    bool grounded = false;   // standing on the floor
    int ySpeed = 0;          // upward speed, pixels per movement step
    int airActions = 0;      // jumps and air moves left before landing
    std::string action;      // animation name or the name of the move in progress
    animationSet* anims = nullptr;      // not owned
    moveInfo* currentMove = nullptr;    // move in progress, or null; not owned

    void initS(animationSet* anims, SDL_Surface* screen);
    void setDir(bool right);
    bool returnBusy();
    void changeAnim(std::string name);
    void changeAction(moveInfo* move);
    void duck();
    void Jump(int speed);
    void Gravity();
    void boundary();
    void clearBG();
    void updateBG();
    void draw();
    void drawColBoxes();

    // True when the current frame of the current set can be drawn; every
    // save, restore and draw needs it.
    bool canShow() const;
    // The current frame's anchor x inside the image drawn for `facing`.
    int anchorOffsetX(bool facing) const;
    // Points `base` at "blank" and takes a fresh copy of its first image as
    // the save surface.
    void takeBlank();
};
