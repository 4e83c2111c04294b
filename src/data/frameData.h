#pragma once
// How fast a move is: the timing of its frames as the fighter shows them,
// the particles it launches and how far it carries the fighter. Every
// figure an author sees (the checker's table, the README, the input
// display) comes from frameDataOf.
#include <string>
#include <vector>

#include "data/hitData.h"
#include "sprites/CSpriteBase.h"

// One particle line of the move, launched when its frame first shows.
struct particleLaunch {
    std::string line;  // the launch line, e.g. "fireball1 80 80"
    int atMs = 0;      // milliseconds from the start of the move
};

struct moveFrameData {
    bool framesLoaded = false;  // every frame has an image; otherwise the move never starts or stalls
    bool hits = false;          // some frame has an active hit box
    int startupMs = 0;          // from the start to the first frame with an active hit box
    int activeMs = 0;           // from there to the end of the last such frame
    int recoveryMs = 0;         // from there to the end of the move
    int totalMs = 0;            // all frames
    std::vector<particleLaunch> launches;  // in launch order
    int travel = 0;             // pixels toward the facing, one movement step per `stepMs`
    int lift = 0;               // pixels lifted by the frames' moveY, same steps
};

// Each frame lasts its pause times `speed` milliseconds (the first one may
// show for less: its time counts from the last frame change before the move);
// the fighter takes a movement step every `stepMs` milliseconds. The game's
// pace is kFighterSpeed and kStepMs (fighter/Fighter.h).
moveFrameData frameDataOf(const CSpriteBase& frames, float speed, int stepMs);

// The frame advantage of a hit of `hit` landing as the first active frame
// shows: the time the defender is free (hitstop and hitstun after the hit)
// minus the time the attacker is free (the rest of the move, held by the
// hitstop), in ms; + means the attacker acts first.
int advantageOnHit(const moveFrameData& data, const hitData& hit);
// "+12 ms (+0.7 f)", or "-" for a move that never hits.
std::string onHitText(const moveFrameData& data, const hitData& hit);
// The damage, or "-" for a move that never hits.
std::string damageText(const moveFrameData& data, const hitData& hit);

// Milliseconds in frames of a 60 Hz display.
double framesAt60Hz(int ms);
// "78 ms (4.7 f)".
std::string timingText(int ms);
// The startup, active and recovery texts, or the one reason there are none.
std::string startupText(const moveFrameData& data);
std::string activeText(const moveFrameData& data);
std::string recoveryText(const moveFrameData& data);
