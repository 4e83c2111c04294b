#include "data/frameData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sprites/CSprite.h"

namespace {
// Whole milliseconds a frame shows, as the fighter's frame timer counts it
// (a negative pause is over at once).
int frameMs(const frameInfo& frame, float speed) {
    return static_cast<int>(std::lround(std::max(frameShowMs(frame, speed), 0.0f)));
}
}  // namespace

moveFrameData frameDataOf(const CSpriteBase& set, float speed, int stepMs) {
    moveFrameData data;
    int count = std::min(set.numFrames, static_cast<int>(set.frames.size()));
    data.framesLoaded = count > 0;
    int firstActive = -1;  // start of the first active frame, ms
    int activeEnd = 0;     // end of the last active frame, ms
    double travel = 0.0, lift = 0.0;
    std::string seen = "NULL";
    for (int i = 0; i < count; ++i) {
        const frameInfo& frame = set.frames[i];
        if (!set.drawable(i)) data.framesLoaded = false;
        int start = data.totalMs;
        int ms = frameMs(frame, speed);
        data.totalMs += ms;
        if (frame.hitActive >= 1) {
            if (firstActive < 0) firstActive = start;
            activeEnd = data.totalMs;
        }
        // The player control's rule, as if the move's frames were seen one by one.
        int launched = particleLinesLaunched(frame, seen);
        for (int j = 0; j < launched; ++j) data.launches.push_back({frame.particles[j], start});
        seen = firstParticleLine(frame);
        // Movement steps while the frame shows carry the fighter by its
        // moveX each, and lift him by a positive moveY.
        double steps = static_cast<double>(ms) / stepMs;
        travel += frame.moveX * steps;
        if (frame.moveY > 0) lift += frame.moveY * steps;
    }
    data.travel = static_cast<int>(std::lround(travel));
    data.lift = static_cast<int>(std::lround(lift));
    data.hits = firstActive >= 0;
    if (data.hits) {
        data.startupMs = firstActive;
        data.activeMs = activeEnd - firstActive;
        data.recoveryMs = data.totalMs - activeEnd;
    }
    return data;
}

double framesAt60Hz(int ms) { return ms * 60.0 / 1000.0; }

std::string timingText(int ms) {
    char text[64];
    std::snprintf(text, sizeof text, "%d ms (%.1f f)", ms, framesAt60Hz(ms));
    return text;
}

std::string startupText(const moveFrameData& data) {
    if (!data.framesLoaded) return "frames not loaded";
    return data.hits ? timingText(data.startupMs) : "no active hit box";
}

std::string activeText(const moveFrameData& data) {
    return data.framesLoaded && data.hits ? timingText(data.activeMs) : "-";
}

std::string recoveryText(const moveFrameData& data) {
    return data.framesLoaded && data.hits ? timingText(data.recoveryMs) : "-";
}

int advantageOnHit(const moveFrameData& data, const hitData& hit) {
    int defenderFree = data.startupMs + hit.hitstop + hit.hitstun;
    int attackerFree = data.totalMs + hit.hitstop;
    return defenderFree - attackerFree;
}

std::string onHitText(const moveFrameData& data, const hitData& hit) {
    if (!data.framesLoaded || !data.hits) return "-";
    int ms = advantageOnHit(data, hit);
    char text[48];
    std::snprintf(text, sizeof text, "%+d ms (%+.1f f)", ms, framesAt60Hz(ms));
    return text;
}

std::string damageText(const moveFrameData& data, const hitData& hit) {
    if (!data.framesLoaded || !data.hits) return "-";
    return std::to_string(hit.damage);
}
