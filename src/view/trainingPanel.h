#pragma once
// The training panel: the partner's stance and health, the last hit's
// damage, the combo and the frame advantage, drawn in the top-right corner
// in training. Its rectangle is
// saved, restored and drawn like a sprite's, so the background is never
// repainted whole.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "sprites/sceneGeometry.h"

class changedRects;

// Where the panel stands and how big it is.
const int kPanelWidth = 208;
const int kPanelX = kScreenWidth - 4 - kPanelWidth;
const int kPanelY = 4;
const int kPanelLines = 8;  // title, the stance, the health, four lines of the last hit, the keys
// Milliseconds without a hit after which the damage taken starts again from 0.
const int kDamageResetMs = 1000;

class trainingPanel {
public:
    bool shown = false;              // in training only
    bool drawn = false;              // on screen now: its background is saved
    SDL_Surface* screen = nullptr;   // borrowed
    SDL_Surface* bgSave = nullptr;   // owned: the background under the panel
    SDL_Surface* image = nullptr;    // owned: the text as drawn, colour-keyed; made anew when it changes
    std::vector<std::string> imageLines;  // the lines `image` shows
    changedRects* changes = nullptr; // where its writes to the screen are noted, or null; borrowed

    bool anyHit = false;     // a hit has landed since the start
    int lastDamage = 0;      // points of the last hit
    int comboHits = 0;       // hits in a row, each landing while the defender still reeled
    int comboDamage = 0;     // their points together
    int advantageMs = 0;     // of the last hit: defender free minus attacker free, ms (+: attacker first)
    int damageTaken = 0;     // points the partner took since it last went a second unhit
    int lastHitAt = 0;       // clock of the last hit, ms
    std::string stance = "stand";  // what the partner does when it plays nothing, as shown
    int health = 0;                // the partner's points left
    int fullHealth = 0;            // its points at the start; 0: no health line
    std::string activity;          // "recording", "playing back" or "", shown after the title
    std::string help;              // the training keys, the panel's last line

    trainingPanel() = default;
    ~trainingPanel();
    trainingPanel(const trainingPanel&) = delete;
    trainingPanel& operator=(const trainingPanel&) = delete;

    // Binds to the display; shown when `training`.
    void init(SDL_Surface* screen, bool training);
    // Counts a hit of `damage` points landing at `now`; `combo` when the
    // defender was still reeling from the hit before.
    void recordHit(int damage, bool combo, int advantage, int now);
    // The combo and the damage taken start again from 0 (the reset key).
    void clearCombo();
    // The damage taken starts again after kDamageResetMs without a hit.
    void forget(int now);
    // The text lines, title first, the help last.
    std::vector<std::string> lines() const;
    // The panel's place and size on the screen.
    SDL_Rect area() const;

    // Puts the saved background back where the panel was drawn.
    void clearBG();
    // Saves the background under the panel while it is shown.
    void updateBG();
    // Draws the lines while it is shown: one blit of the image, which is
    // written anew only when the text changed.
    void draw();
    // Writes `imageLines` into `image`; false when it can't be made.
    bool render();
};

// "+12 ms (+0.7 f)": milliseconds with their 60 Hz frames, signed.
std::string advantageText(int ms);
