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
#include "shell/gamePad.h"
#include "shell/playerControl.h"

extern SDL_Surface* screen;   // the display
extern SDL_Surface* back;     // the background in display format
extern Fighter vikings1;      // the player's fighter
extern particleList pList;    // the scene's live particles
extern bool debugging;        // draw the boxes each frame

// The player's default keys: z, x, c, the arrows, j for the boxes.
void bindPlayerKeys(gamePad& pad);
// Loads "data/tBG2.bmp" into `back`. 0.
int InitImages();
// Paints `back` whole onto the screen.
int DrawBG();
// Draws one frame: restore, save, draw, boxes, flip.
void DrawScene();
// The same without the flip: the screen surface is ready to be shown.
void DrawSprites();

// The objects the entry function owns for the whole run.
struct sceneObjects {
    animationSet anims;
    moveSet moves;
    std::unique_ptr<inputChecker> checker;
    std::unique_ptr<soundSet> sounds;
    gamePad pad;
    partInfoList defs;
    Target target;
    playerControl control;
    SDL_Event event;
};

// Start-up after SDL_Init: audio, video mode (full screen, or an 800x600
// window when `windowed`), content, wiring. Ends the process with status 1
// when the video mode can't be set.
void startScene(sceneObjects& objects, bool windowed = false);
// One pass of the main loop; false once the loop should end.
bool runPass(sceneObjects& objects);
