#pragma once
// The scene's globals, start-up, one pass of the main loop and the drawing
// of one frame.
#include <SDL/SDL.h>

#include <memory>

#include "data/animationSet.h"
#include "data/moveSet.h"
#include "data/soundSet.h"
#include "fighter/Fighter.h"
#include "particles/partInfoList.h"
#include "particles/particleList.h"
#include "commands/Target.h"
#include "commands/inputChecker.h"
#include "platform/folderWatch.h"
#include "shell/keyBindings.h"
#include "shell/inputDisplay.h"
#include "shell/playerControl.h"

extern SDL_Surface* screen;   // the display
extern SDL_Surface* back;     // the background in display format
extern Fighter vikings1;      // the player's fighter
extern particleList pList;    // the scene's live particles
extern bool debugging;        // draw the boxes each frame
extern inputDisplay inputPanel;  // the presses and the checker's answers, toggled by `i`

// The player's default keys: z, x, c, the arrows, j for the boxes.
void bindPlayerKeys(keyBindings& bindings);
// SDL_Init of video, then audio. Without an audio device SDL 1.2 starts
// all the same and leaves the report to the mixer, while sdl12-compat
// refuses a joint start (and then wrongly counts video as started), so
// audio is started on its own and its failure left to the mixer on both.
// Negative when video can't start (SDL_GetError tells why).
int startVideoAndAudio();
// Loads "data/tBG2.bmp" into `back`. 0.
// Messages as `policy` says.
int InitImages(const loadPolicy& policy = gamePolicy);
// Paints `back` whole onto the screen.
int DrawBG();
// Draws one frame: restore, save, draw, boxes, flip.
void DrawScene();
// The same without the flip: the screen surface is ready to be shown.
void DrawSprites();

// --- Content: the loading steps start-up and reload share ---
// The character's animations and moves, from "data/Burn".
// Each with messages and bitmap failures as `policy` says.
void loadCharacter(animationSet& anims, moveSet& moves, const loadPolicy& policy = gamePolicy);
// A new sound set from "data/soundSet" and "data/Tor/sound".
std::unique_ptr<soundSet> loadSounds(const loadPolicy& policy = gamePolicy);
// The particle definitions of the list "default".
void loadParticleDefinitions(partInfoList& defs, const loadPolicy& policy = gamePolicy);
// "data/tBG2.bmp" in the display format; null, reported, when it won't load.
SDL_Surface* loadBackground(const loadPolicy& policy = gamePolicy);

// With --watch: change notices from "data", gathered until the files have
// been quiet for a moment (an editor or a copy writes in bursts).
struct dataWatch {
    folderWatch* watch = nullptr;  // null when not watching
    bool pending = false;          // changes seen since the last reload
    Uint32 lastChange = 0;         // clock of the latest change seen, milliseconds

    dataWatch() = default;
    ~dataWatch() { unwatchFolder(watch); }
    dataWatch(const dataWatch&) = delete;
    dataWatch& operator=(const dataWatch&) = delete;
};

// The objects the entry function owns for the whole run.
struct sceneObjects {
    animationSet anims;
    moveSet moves;
    std::unique_ptr<inputChecker> checker;
    std::unique_ptr<soundSet> sounds;
    keyBindings bindings;
    partInfoList defs;
    Target target;
    playerControl control;
    SDL_Event event;
    dataWatch watch;
};

// Start-up after SDL_Init: audio, video mode (full screen, or an 800x600
// window when `windowed`), content, wiring. Ends the process with status 1
// when the video mode can't be set.
void startScene(sceneObjects& objects, bool windowed = false, const loadPolicy& policy = gamePolicy);
// One pass of the main loop; false once the loop should end.
bool runPass(sceneObjects& objects);
