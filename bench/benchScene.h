#pragma once
// The real scene on the bundled data, driven headless for measuring: a set
// clock, the fighter walking back and forth by held arrow keys, and a fixed
// number of fireballs kept alive on the screen.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "match/matchContent.h"
#include "rectCopy.h"
#include "scaleContent.h"
#include "shell/scene.h"

// Milliseconds the clock moves per pass: every pass takes a movement step.
const int kBenchPassMs = 11;
// Walking turns round at these anchor x values.
const int kWalkLeftEnd = 160;
const int kWalkRightEnd = 640;

// The match's particles for measuring, in its pool: `count` of definition
// `def` (the live ones dropped) laid out on the same grid as
// benchScene::keepParticles, so that 100 fly above both fighters' heads.
// Gives how many the pool took (none for `def` -1).
int fillPool(matchState& state, int def, int count);
// Keeps the pool's particles from ageing and from leaving the screen.
void keepFlying(matchState& state);
// Index of the particle definition `name` in the match's tables, -1 none.
int particleIndex(const matchContent& content, const std::string& name);

class benchScene {
public:
    gameScene objects;               // the scene measured
    Uint32 now = 0;       // the set clock, milliseconds
    long walked = 0;      // pixels the fighter's anchor moved, summed over passes
    int turns = 0;        // times the walk turned round
    // Memory just after start-up: the process's resident size and the
    // pixels of every surface the scene holds.
    residentMemory residentAtStart;
    size_t surfacesAtStart = 0;

    // Opens the scene: start-up over "data" in the working directory, after
    // SDL_Init. False (with `why`) when the content can't give a scene to
    // measure (no background, no fighter frames, no particle definitions).
    bool start(std::string& why, loadPolicy& policy);
    // Lands the fighter and lets the start-up fireball and its sparks die.
    // False when that doesn't happen within a minute of game time.
    bool settle();
    std::string particleName = "fireball1";  // what launch() and keepParticles() launch
    // Launches `count` particles (fireballs unless particleName says
    // otherwise) from the fighter at different heights.
    void launch(int count);
    // Replaces the live particles by `count` fireballs laid out in a grid
    // over the screen (overlapping past a few hundred), then resyncs: in the
    // particle list, or in training in the match's pool. Returns the
    // particles now live: the list's cap or the pool may hold fewer.
    int keepParticles(int count);
    // Repaints the background and runs a few passes, so every saved
    // background matches the screen again (after a repaint-only run).
    void resync();

    // One real pass: keep-up, then the game's own loop pass.
    void pass();
    // The same pass with the whole background repainted instead of the
    // restore and save of the sprites' rectangles: by the engine's own
    // DrawBG, or (`bySdl`) by SDL_BlitSurface as a plain SDL program would.
    void repaintPass(bool bySdl = false);
    // The same pass drawn as the game draws it, but showing only what
    // changed: each sprite's last and new rectangle go to SDL_UpdateRects
    // instead of the whole screen to SDL_Flip. For measuring only.
    void changedRectsPass();
    // The game's pass up to its showing: what it wrote is gathered and
    // merged (screenChanges.shown) but not sent to the display. On SDL
    // 1.2's dummy driver, which shows nothing, this is the whole pass.
    void drawnPass();
    // Sends what drawnPass() gathered to the display, as the pass would.
    void showDrawn();
    // Holds Right for `ms` milliseconds of the real clock, running the
    // game's passes as fast as they come, and gives the pixels walked. The
    // set clock is taken up again afterwards.
    int walkRealTime(int ms);
    // The rectangles such a pass shows now, cut to the screen: where each
    // sprite's background was saved and where it stands.
    std::vector<SDL_Rect> changedRects() const;

    // Pixels of every surface the scene holds: the display, the background,
    // every loaded frame set and every sprite's saved background.
    size_t surfaceBytesHeld() const;
    // Frames of every loaded frame set (each also held mirrored).
    int framesHeld() const;

    // Puts the training partner into the scene, as --training does: from
    // then on the pass plays the match. False when it can't be shown.
    bool addTrainingPartner();
    // Makes the match a versus one, as --versus does: Burn against Gale,
    // the HUD drawn, no round timer (so the walk never stops for a new
    // round). False when player 2 can't be shown.
    bool makeVersus();

    // Live particles: the list's, or in training the match's.
    int liveParticles() const;
    // Fighters shown: two in training.
    size_t fighterCount() const;
    // The player's anchor x: the fighter's, or in training the match's side 0.
    int playerX() const;
    // The rectangles a pass restores, saves and draws now: every fighter's
    // and every particle's, at the frame-set sizes the engine uses.
    std::vector<pixelRect> spriteRects() const;

private:
    // Before each pass: advance the clock, steer the walk, keep the
    // particles alive and on the screen. A few integer writes.
    void keepUp();
    void hold(SDLKey key, bool down);
    // Everything the scene times by the clock (the movement step, frames,
    // particle ages) starts again from `ms`.
    void retime(Uint32 ms);
    // Keeps the fireballs from ageing (as if launched at `ms`) and from
    // leaving the screen.
    void keepFlying(Uint32 ms);
    // The pass up to the drawing: the player control and the side clamp.
    void control();
    // Empties the particle list.
    void dropListParticles();
    // spriteRects() in training: the puppets' places, as the state has them.
    std::vector<pixelRect> matchRects() const;
    SDLKey walking = SDLK_RIGHT;
};
