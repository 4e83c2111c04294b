// The match room: the state of a match as plain values and the rules that
// step it by one tick. This file: the state, its checksum and its comparison.
#include "match/matchState.h"

#include <cstring>

matchState emptyMatch() {
    matchState state;
    std::memset(&state, 0, sizeof state);
    for (fighterState& fighter : state.fighters) {
        fighter.move = -1;
        fighter.pushedBy = -1;
    }
    state.round.winner = -1;
    return state;
}

uint64_t matchChecksum(const matchState& state) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&state);
    uint64_t hash = 1469598103934665603ull;
    for (size_t at = 0; at < sizeof state; ++at) {
        hash ^= bytes[at];
        hash *= 1099511628211ull;
    }
    return hash;
}

namespace {
// Compares one field; keeps the first difference found.
struct differ {
    std::string found;
    void field(const std::string& name, int32_t a, int32_t b) {
        if (found.empty() && a != b) found = name + ": " + std::to_string(a) + " != " + std::to_string(b);
    }
};

void compareFighter(differ& d, const std::string& at, const fighterState& a, const fighterState& b) {
    const struct {
        const char* name;
        int32_t fighterState::*field;
    } fields[] = {
        {"x", &fighterState::x},
        {"y", &fighterState::y},
        {"facingRight", &fighterState::facingRight},
        {"grounded", &fighterState::grounded},
        {"ySpeed", &fighterState::ySpeed},
        {"airActions", &fighterState::airActions},
        {"pose", &fighterState::pose},
        {"move", &fighterState::move},
        {"frame", &fighterState::frame},
        {"actionTick", &fighterState::actionTick},
        {"frameMs", &fighterState::frameMs},
        {"frozenUntil", &fighterState::frozenUntil},
        {"stunUntil", &fighterState::stunUntil},
        {"reeling", &fighterState::reeling},
        {"pushLeft", &fighterState::pushLeft},
        {"pushRight", &fighterState::pushRight},
        {"pushedBy", &fighterState::pushedBy},
        {"hitMask", &fighterState::hitMask},
        {"held", &fighterState::held},
        {"health", &fighterState::health},
        {"guarding", &fighterState::guarding},
        {"comboTaken", &fighterState::comboTaken},
        {"airHits", &fighterState::airHits},
        {"knockedOut", &fighterState::knockedOut},
    };
    for (const auto& f : fields) d.field(at + "." + f.name, a.*f.field, b.*f.field);
}

void compareParticle(differ& d, const std::string& at, const particleState& a, const particleState& b) {
    d.field(at + ".def", a.def, b.def);
    d.field(at + ".x", a.x, b.x);
    d.field(at + ".y", a.y, b.y);
    d.field(at + ".bornTick", a.bornTick, b.bornTick);
    d.field(at + ".frame", a.frame, b.frame);
    d.field(at + ".frameMs", a.frameMs, b.frameMs);
    d.field(at + ".facingRight", a.facingRight, b.facingRight);
    d.field(at + ".owner", a.owner, b.owner);
    d.field(at + ".spared", a.spared, b.spared);
    d.field(at + ".dead", a.dead, b.dead);
    d.field(at + ".events", a.events, b.events);
}
}  // namespace

std::string firstDifference(const matchState& a, const matchState& b) {
    differ d;
    d.field("tick", a.tick, b.tick);
    const struct {
        const char* name;
        int32_t roundState::*field;
    } roundFields[] = {
        {"number", &roundState::number},         {"phase", &roundState::phase},
        {"phaseTick", &roundState::phaseTick},   {"fightTicks", &roundState::fightTicks},
        {"draws", &roundState::draws},           {"winner", &roundState::winner},
    };
    for (const auto& f : roundFields) d.field(std::string("round.") + f.name, a.round.*f.field, b.round.*f.field);
    for (int side = 0; side < kSides; ++side)
        d.field("round.wins[" + std::to_string(side) + "]", a.round.wins[side], b.round.wins[side]);
    for (int side = 0; side < kSides; ++side) {
        std::string at = "fighters[" + std::to_string(side) + "]";
        compareFighter(d, at, a.fighters[side], b.fighters[side]);
    }
    for (int side = 0; side < kSides; ++side) {
        std::string at = "commands[" + std::to_string(side) + "]";
        const commandBuffer& ca = a.commands[side];
        const commandBuffer& cb = b.commands[side];
        d.field(at + ".count", ca.count, cb.count);
        for (int i = 0; i < kBufferPresses; ++i) {
            d.field(at + ".presses[" + std::to_string(i) + "].tick", ca.presses[i].tick, cb.presses[i].tick);
            d.field(at + ".presses[" + std::to_string(i) + "].key", ca.presses[i].key, cb.presses[i].key);
        }
    }
    d.field("particleCount", a.particleCount, b.particleCount);
    d.field("droppedWarned", a.droppedWarned, b.droppedWarned);
    const struct {
        const char* name;
        int32_t panelState::*field;
    } panelFields[] = {
        {"anyHit", &panelState::anyHit},       {"lastDamage", &panelState::lastDamage},
        {"comboHits", &panelState::comboHits}, {"comboDamage", &panelState::comboDamage},
        {"advantageMs", &panelState::advantageMs}, {"damageTaken", &panelState::damageTaken},
        {"lastHitTick", &panelState::lastHitTick},
    };
    for (const auto& f : panelFields) d.field(std::string("panel.") + f.name, a.panel.*f.field, b.panel.*f.field);
    for (int i = 0; i < kParticlePool && d.found.empty(); ++i)
        compareParticle(d, "particles[" + std::to_string(i) + "]", a.particles[i], b.particles[i]);
    return d.found;
}
