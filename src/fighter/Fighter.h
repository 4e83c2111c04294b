#pragma once
// The player's character: a sprite placed by its anchor point that walks,
// ducks, jumps twice before landing, falls onto the floor and plays moves.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "data/animationSet.h"
#include "data/hitData.h"
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

    // --- Hits taken and dealt ---
    int stopUntil = 0;       // clock (ms) until which a hit freezes it: no frame advances, no motion
    int stunUntil = 0;       // clock (ms) until which it reels from a hit it took
    bool reeling = false;    // showing its hit reaction until stunUntil; then "standing"
    int pushLeft = 0;        // pixels of push-back still to slide while reeling
    int pushStep = 0;        // pixels of the slide per movement step
    bool pushRight = false;  // the slide goes toward larger x
    Fighter* pushedBy = nullptr;  // who hit it: takes the rest of the slide at the screen's edge; not owned
    std::vector<const Fighter*> hitThisMove;  // fighters the move in progress has hit (once per start)

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

    // True while a hit holds it still (its hitstop), at clock `now` in ms.
    bool frozen(int now) const { return now < stopUntil; }
    // True while it can't act: frozen or reeling.
    bool held(int now) const { return frozen(now) || reeling; }
    // The current frame's collision box on the screen, as the image is
    // drawn: facing left, the mirrored record's edges from the mirrored
    // image's corner. Empty when no frame can be shown.
    screenBox collisionBox() const;
    // The current frame's hit box placed the same way; empty unless it is live.
    screenBox hitBox() const;
    // Holds the fighter still for `ms` from `now`: the frame on show keeps
    // the time it had left, to run out once the freeze is over.
    void freeze(int now, int ms);
    // Takes `hit` at `now`: a move in progress is cut off, it freezes for
    // the hitstop and then reels for the hitstun in "hurt" ("standing"
    // without one), sliding `pushback` pixels toward larger x when
    // `awayRight`, else toward smaller x.
    void takeHit(const hitData& hit, int now, bool awayRight, Fighter* attacker);
    // One movement step of a hit's reaction at `now`: the slide (held at the
    // screen's side limits, the rest passed to the attacker) and, once the
    // hitstun is over, back to "standing".
    void reactStep(int now);
    // Milliseconds from `now` until the move in progress has run out (0
    // without one), counting a freeze in force.
    int busyFor(int now) const;

    // True when the current frame of the current set can be drawn; every
    // save, restore and draw needs it.
    bool canShow() const;
    // The current frame's anchor x inside the image drawn for `facing`.
    int anchorOffsetX(bool facing) const;
    // Points `base` at "blank" and takes a fresh copy of its first image as
    // the save surface.
    void takeBlank();
};
