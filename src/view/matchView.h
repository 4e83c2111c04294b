#pragma once
// The match's picture: each fighter and particle drawn where the state puts
// it, by a sprite of its own that saves and restores the background under it
// and never advances a frame itself.
#include <SDL/SDL.h>

#include <deque>
#include <vector>

#include "match/matchContent.h"
#include "sprites/CSprite.h"

class changedRects;

// The frame sets behind the tables' indices, for drawing.
struct matchPictures {
    std::vector<const CSpriteBase*> anims[kSides];  // each side's animations, in list order
    std::vector<const CSpriteBase*> moves[kSides];  // each side's moves, in file order
    std::vector<const CSpriteBase*> particles;      // the definitions, in the tables' order (null: none)

    // The set the fighter of `side` shows, or null.
    const CSpriteBase* shownBy(const matchContent& content, int side, const fighterState& fighter) const;
};

// A sprite that shows what the state says.
struct puppet {
    CSprite sprite;
    const CSpriteBase* initedFor = nullptr;  // the set its save surface was made for
};

class matchView {
public:
    matchPictures pictures;  // the frame sets behind the tables' indices

    // Binds to the display and the notes of what it changes.
    void init(SDL_Surface* screen, changedRects* changes);
    // The old frame sets are going (a reload): nothing points at them, and
    // the background is painted anew, so nothing is restored.
    void forgetPictures();
    // Puts back the background under what was drawn last.
    void restore();
    // Places every puppet as `state` says and saves the background under it.
    void save(const matchContent& content, const matchState& state);
    // Draws them; with `boxes`, the fighters' bodies, anchors and live hit
    // boxes and the particles' boxes on top.
    void draw(const matchContent& content, const matchState& state, bool boxes);

private:
    SDL_Surface* screen = nullptr;
    changedRects* changes = nullptr;
    std::deque<puppet> fighters;
    std::deque<puppet> particles;
    int particlesDrawn = 0;

    void place(puppet& shown, const CSpriteBase* set, int frame, int x, int y);
};
