#pragma once
// The scene: what it holds, its content and how it is loaded, start-up, one
// pass of the main loop and the drawing of one frame.
#include <SDL/SDL.h>

#include <list>
#include <memory>

#include "data/animationSet.h"
#include "data/characterStats.h"
#include "data/moveSet.h"
#include "data/soundSet.h"
#include "fighter/Fighter.h"
#include "particles/partInfoList.h"
#include "particles/particleList.h"
#include "commands/Target.h"
#include "commands/inputChecker.h"
#include "platform/folderWatch.h"
#include "input/keyBindings.h"
#include "view/inputDisplay.h"
#include "shell/matchSession.h"
#include "input/playerControl.h"
#include "shell/trainingTools.h"
#include "shell/versusSetup.h"
#include "view/trainingPanel.h"
#include "sprites/changedRects.h"

// The player's default keys: z, x, c, the arrows, j for the boxes, F1 to F4
// for training.
void bindPlayerKeys(keyBindings& bindings);
// SDL 1.2 on SDL2 (sdl12-compat) shows the screen through an SDL2 renderer,
// OpenGL by default. Where OpenGL is drawn in software (a virtual X display,
// a machine without a graphics driver) the update that reaches the window,
// about every 20 ms, holds the pass some 5 ms, and movement steps come late:
// the fighter walks more slowly. This asks SDL2 for its software renderer and a plain
// copy of the screen into the window, as SDL 1.2 itself does. A player's
// own settings of these variables stay; SDL 1.2 ignores them.
void askSDL2ForPlainCopies();
// SDL_Init of video, then audio. Without an audio device SDL 1.2 starts
// all the same and leaves the report to the mixer, while sdl12-compat
// refuses a joint start (and then wrongly counts video as started), so
// audio is started on its own and its failure left to the mixer on both.
// askSDL2ForPlainCopies() comes first.
// Negative when video can't start (SDL_GetError tells why).
int startVideoAndAudio();

// The 800x600 screen. Full screen on a larger desktop, SDL 1.2 shows it
// unscaled in the middle with black around; sdl12-compat never changes the
// display mode but stretches the screen to the desktop, and with no window
// manager to enlarge its window shows only a corner of the stretched
// picture. There the display takes the desktop's size and the screen is a
// surface over its middle (changes.display then set), shown where it lies
// (`changes`); the caller frees that surface. Null when no mode can be set.
SDL_Surface* openScreen(bool windowed, changedRects& changes);

// --- Content: what one loading of "data" gives ---

// Which characters a loading reads: the player's and the partner's folders
// under "data", and in versus each side's own stats, sounds and particles.
struct characterCast {
    std::string names[kSides] = {"Burn", "Dummy"};  // training's partner, or versus' player 2
    bool versus = false;
};

// The character's sets, the sounds, the particle definitions and the
// background. Whatever this holds when it goes is freed.
struct sceneContent {
    characterCast cast;                // what to read; set before the first loading, kept by a reload
    animationSet anims;                // the character's animations, from "data/Burn" (data/NAME of cast)
    moveSet moves;                     // the character's moves, from "data/Burn"
    // "data/soundSet" and "data/Tor/sound", in versus then each side's
    // "data/NAME/sound" and "data/versus/sound"; null until loaded
    std::unique_ptr<soundSet> sounds;
    // the particle definitions of the list "default", in versus then each side's "data/particle/NAME"
    partInfoList defs;
    animationSet partnerAnims;         // the training partner's, from "data/Dummy"; empty without one
    moveSet partnerMoves;              // the partner's moves, from "data/Dummy"; empty without its moveset
    int health[kSides] = {kDefaultHealth, kDefaultHealth};  // in versus, from each side's "stats"
    SDL_Surface* back = nullptr;       // "data/tBG2.bmp" in display format, owned; null when it won't load

    sceneContent() = default;
    ~sceneContent();
    sceneContent(const sceneContent&) = delete;
    sceneContent& operator=(const sceneContent&) = delete;
};

// The parts of the content one loading reads, to be or-ed together.
enum contentPart : unsigned {
    animationsPart = 1,   // anims
    movesPart = 2,        // moves
    soundsPart = 4,       // sounds, with the progress line "making an Sset" and the listing
    particlesPart = 8,    // defs, converted for `screen`
    backgroundPart = 16,  // back, converted to the display's format
    partnerPart = 32,     // partnerAnims and partnerMoves, when "data/Dummy" holds their lists; in versus the health
    characterParts = animationsPart | movesPart,
    allContentParts = 31,  // what the default scene reads
};

// Loads the `parts` of the content from "data" in the working folder into
// `content`, in start-up's order (animations, moves, sounds, particles,
// background), each part replacing what `content` held of it. Messages and
// bitmap failures as `policy` says; it counts them.
void loadContent(sceneContent& content, unsigned parts, SDL_Surface* screen, loadPolicy& policy);

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

// --- The scene ---

// Everything one run of the scene holds, owned here for the whole run. The
// objects point at each other by plain pointers wired once at start-up.
struct gameScene {
    SDL_Surface* screen = nullptr;  // the display, or its middle (screenChanges.display); every sprite draws onto it
    sceneContent content;           // what "data" gave; a reload swaps it whole
    std::list<Fighter> fighters;    // the fighters, the player's first; a list, so that they never move
    particleList pList;             // the live particles; they point at the fighters and the definitions
    bool debugging = false;         // draw the boxes each frame
    inputDisplay inputPanel;        // the presses and the checker's answers, toggled by `i`
    keyBindings bindings;           // the player's keys
    std::unique_ptr<inputChecker> checker;  // the player's commands, over the moves and the player
    Target target;                  // what the checker's conditions test
    playerControl control;          // the player's keyboard and gamepad
    SDL_Event event;                // scratch storage the player control polls into
    dataWatch watch;                // with --watch: changes under "data"
    changedRects screenChanges;     // what the pass wrote on the display, shown at its end
    bool reloadAsked = false;       // F5 this pass: the content is loaded anew before the drawing
    trainingTools trainer;          // the training keys' recording, playback and partner's stance
    bool training = false;          // --training: a partner stands opposite the player, hits are counted
    versusSetup versus;             // --versus or --cpu: player 2 or the CPU opposite, rounds
    keyBindings secondBindings;     // in versus: player 2's keys, from the bindings' p2 keys
    trainingPanel panel;            // in training: the last hit, the combo and the advantage
    // In training and versus: the match of the two sides, on a fixed tick.
    std::unique_ptr<matchSession> match;

    // Holds one default-constructed fighter, the player's.
    gameScene();
    ~gameScene();
    gameScene(const gameScene&) = delete;
    gameScene& operator=(const gameScene&) = delete;

    // The fighter the keyboard controls.
    Fighter& player() { return fighters.front(); }
    const Fighter& player() const { return fighters.front(); }
};

// Loads "data/tBG2.bmp" into the scene's background. 0.
int InitImages(gameScene& scene, loadPolicy& policy);
// Paints the background whole onto the screen.
int DrawBG(gameScene& scene);
// Draws one frame: restore, save, draw, boxes, then shows what changed.
void DrawScene(gameScene& scene);
// The same without showing: the screen surface is ready to be shown, and
// the scene's screenChanges holds the places written.
void DrawSprites(gameScene& scene);

// Start-up after SDL_Init: audio, video mode (full screen, or an 800x600
// window when `windowed`; on sdl12-compat full screen on a larger desktop
// takes the desktop's size, the screen its middle), content, wiring; in
// training (scene.training set before) the partner too, in versus
// (scene.versus set before, its characters found) player 2's side. Ends the process
// with status 1 when the video mode can't be set.
void startScene(gameScene& scene, bool windowed, loadPolicy& policy);
// Does what the player asked of the scene: the boxes and the input display
// at once, a reload once the pass's input is handled.
void actOn(gameScene& scene, playerRequest request);
// One pass of the main loop; false once the loop should end.
bool runPass(gameScene& scene);

// --- Training ---

// Anchor x of the player's fighter at start-up.
const int kPlayerX = 150;
// Anchor x of the training partner, standing on the floor.
const int kPartnerX = 650;
// The reset key: both fighters back at their start places, facing each
// other, standing on the floor, no particle left, the panel's combo
// cleared; the recording and the stance stay.
void resetTraining(gameScene& scene);
// True in the modes that play a match on a fixed tick: training and versus.
bool playsMatch(const gameScene& scene);
// One pass of the loop in training or versus: the keys, the ticks the clock made due,
// their sounds and lines, a reload, the picture.
bool runMatchPass(gameScene& scene);
