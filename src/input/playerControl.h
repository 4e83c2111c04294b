#pragma once
// Glue between one player's keyboard and fighter: the clock, frame sounds and
// particles, key presses, the movement step and the start of moves.
#include <SDL/SDL.h>

#include <functional>
#include <string>

#include "input/keyBindings.h"
#include "input/padState.h"
#include "input/recordingPlayer.h"

class Fighter;
class partInfoList;
class particleList;
class soundSet;
class animationSet;
class moveSet;
class inputChecker;
class Target;

// What the player asks of the scene rather than of the fighter.
enum class playerRequest {
    toggleBoxes,         // the debug key (j) or the pad's fourth button: the boxes on or off
    toggleInputDisplay,  // `i`: the input display on or off
    reload,              // F5: the content anew from "data"
    quit,                // Escape: the loop ends after this pass
    // The training keys (F1 to F4 unless the key file moves them); the
    // scene acts on them in training only.
    record,              // start or stop recording the player's keys
    playback,            // start or stop the partner's playback of the recording
    stance,              // the partner's next stance
    reset,               // both fighters back at their start places
};

// The bit of `action` in playerControl::playedHolds.
inline unsigned actionBit(padAction action) { return 1u << static_cast<unsigned>(action); }

class playerControl {
public:
    SDL_Surface* screen = nullptr;
    int quit = 0;                      // 1 once Escape was pressed
    bool closeQuits = false;           // the window's close button quits as Escape does (in a window only)
    Fighter* fighter = nullptr;
    partInfoList* partInfo = nullptr;
    particleList* particles = nullptr;
    soundSet* sounds = nullptr;
    animationSet* anims = nullptr;
    moveSet* moves = nullptr;
    keyBindings* bindings = nullptr;
    inputChecker* checker = nullptr;
    Target* target = nullptr;
    int lastUpdate = 0;                // clock of the previous update()
    int now = 0;                       // clock of this pass's update()
    float stepClock = 0.0f;            // time since the last movement step, in steps of kStepMs
    int frameNow = 0;
    int framePrev = 0;
    std::string actionNow = "NULL";
    std::string actionPrev = "NULL";
    std::string soundNow = "NULL";
    std::string soundPrev = "NULL";
    std::string particleNow = "NULL";
    std::string particlePrev = "NULL";
    padState joystick;                 // what the gamepad holds; its presses act like the keys'
    // In versus: player 2's control, which hears every event this one takes
    // (its own keys and pad; its requests, Escape's too, go nowhere).
    playerControl* alsoHears = nullptr;
    unsigned playedHolds = 0;          // actions a playback holds down, one bit per padAction
    unsigned pressed = 0;              // actions pressed since a match tick took them, one bit per padAction
    // Hears each request as it is raised, within inputChecking; the scene
    // acts on it. Empty: requests other than quit are dropped.
    std::function<void(playerRequest)> onRequest;
    // Hears every key pressed (true) or let go (false), before the bindings
    // act on it: training records the player's keys there. Empty: nothing.
    std::function<void(int key, bool pressed)> onKey;
    // The same for the gamepad: every action it presses (true) or lets go
    // (false), before the press acts. Empty: nothing.
    std::function<void(padAction action, bool pressed)> onPad;
    void init(SDL_Surface* screen);
    void setup(Fighter* fighter, partInfoList* partInfo, particleList* particles, soundSet* sounds,
               animationSet* anims, moveSet* moves, keyBindings* bindings, inputChecker* checker,
               Target* target);
    void update();
    // takeEvents(), then step(): the player's part of a pass.
    void inputChecking(SDL_Event* event);
    // Reads every pending SDL event: keys, the window's close button, the
    // gamepad.
    void takeEvents(SDL_Event* event);
    // What one event does: a key, the close button, the gamepad.
    void takeEvent(const SDL_Event& event);
    // The movement step when one is due (walking, ducking and gravity by what
    // is held, the particles), then the start of a recognised move.
    void step();
    // A key of a playback: a press acts as a bound key's press and holds
    // its action down until its release.
    void play(const playedKey& key);
    // True while `direction` is held: by its bound key, the gamepad or a playback.
    bool holds(padAction direction) const;

    // Hands one key letter, stamped with this pass's clock and the fighter's
    // action, to the input checker.
    void press(char letter);
    // What a bound key does when pressed: a letter (a direction judged by
    // the facing), the jump with up, the debug boxes.
    void act(padAction action);
    // Escape, then every binding of the key `sym`, the training keys last.
    void keyPressed(int sym);
    // Hands `request` to onRequest; quit also sets `quit`.
    void raise(playerRequest request);
};
