// The match room: one tick of the rules. In order: the inputs (presses into
// the command buffers, jumps), the frames (with their sounds and launches),
// walking, ducking and falling, the particles, the hits (all judged on one
// state, then landed together), and last the moves the buffers complete.
#include "match/matchTick.h"

#include <algorithm>

namespace {
// Pixels a fighter walks per tick, forward and back.
const int kWalkStep = 3;
const int kBackStep = 2;
// Upward speed of a jump from the floor, pixels per tick; the second jump is 2 slower.
const int kJumpSpeed = 16;
// A frame's lift sets this falling speed for when it ends.
const int kLiftFallSpeed = 4;
// Anchor y of a fighter on the floor; below it by more than a pixel it lands.
const int kFloorY = 530;
// Side limits of a fighter's anchor; a particle dies beyond them by a margin.
const int kLeftLimit = 0;
const int kRightLimit = 800;
const int kOffScreenMargin = 80;
// Fall of a particle with gravity, pixels per tick.
const int kParticleFall = 2;
// Highest anchor y a lift can carry a fighter to.
const int kHighestLift = -(1 << 20);
// Spawn places stay within this distance of the origin.
const int kSpawnLimit = 1 << 20;
// Ticks a press stays in the command buffer (600 ms).
const int kBufferTicks = 60;
// A second unhit and the damage taken starts again.
const int kDamageResetTicks = 100;

int clampSpawn(long long value) {
    return static_cast<int>(std::max<long long>(-kSpawnLimit, std::min<long long>(kSpawnLimit, value)));
}

bool isButton(int32_t key) { return key == 'A' || key == 'B' || key == 'C'; }

// --- Frames ---

// The first frame of the fighter's shown run, entered: its sound and launches.
void enterFrame(matchState& state, const matchContent& content, int side, bool firstOfRun, int previousKey,
                tickEvents& events);

void showPose(matchState& state, const matchContent& content, int side, int pose, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    pose = shownPose(content.characters[side], pose);
    if (fighter.move < 0 && fighter.pose == pose) return;
    fighter.move = -1;
    fighter.pose = pose;
    fighter.frame = 0;
    fighter.frameMs = 0;
    fighter.actionTick = state.tick;
    events.lines.push_back(kPoseNames[pose]);
    enterFrame(state, content, side, true, -1, events);
}

// The particle list's launch of `spec` from a point, facing `right`.
void launch(matchState& state, const matchContent& content, const launchSpec& spec, long long x, long long y,
            bool right, int owner, int spared, tickEvents& events) {
    if (spec.def < 0 || spec.def >= static_cast<int>(content.particles.size())) return;
    const matchParticleDef& def = content.particles[static_cast<size_t>(spec.def)];
    if (state.particleCount >= kParticlePool) {
        if (!state.droppedWarned)
            events.lines.push_back(std::to_string(kParticlePool) + " particles live: \"" + def.name +
                                   "\" and further launches are dropped");
        state.droppedWarned = 1;
        return;
    }
    state.droppedWarned = 0;
    const frameRecord* first = content.frameOf(def.frames, 0);
    bool drawn = def.drawable && first;
    // Never shown, never leaving, never ageing: it would stay forever.
    if (!drawn && def.lifeMs <= 0) return;
    particleState& part = state.particles[state.particleCount++];
    part = particleState{};
    part.def = spec.def;
    part.facingRight = right ? 1 : 0;
    part.owner = owner;
    part.spared = spared;
    part.bornTick = state.tick;
    int ax = clampSpawn(x);
    int ay = clampSpawn(y);
    // Placed by its first frame's anchor; without frames the anchor is the place.
    part.x = drawn ? ax - first->anchorX[part.facingRight] : ax;
    part.y = drawn ? ay - first->anchorY : ay;
}

void launchFromFighter(matchState& state, const matchContent& content, int side, const frameRecord& record,
                       tickEvents& events) {
    for (const launchSpec& spec : record.launches) {
        const fighterState& fighter = state.fighters[side];
        bool right = fighter.facingRight != 0;
        long long x = right ? static_cast<long long>(fighter.x) + spec.x : static_cast<long long>(fighter.x) - spec.x;
        long long y = static_cast<long long>(fighter.y) - spec.y;
        launch(state, content, spec, x, y, right, side, -1, events);
    }
}

void enterFrame(matchState& state, const matchContent& content, int side, bool firstOfRun, int previousKey,
                tickEvents& events) {
    const fighterState& fighter = state.fighters[side];
    const frameRecord* record = content.frameOf(shownRun(content, side, fighter), fighter.frame);
    if (!record || !record->drawable) return;
    if (record->sound >= 0) events.sounds.push_back(soundCue{record->sound, side});
    if (record->launches.empty()) return;
    if (firstOfRun || record->launchKey != previousKey) launchFromFighter(state, content, side, *record, events);
}

// The move ends: the fighter shows its pose again.
void endMove(matchState& state, const matchContent& content, int side, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    fighter.move = -1;
    fighter.pose = -1;
    showPose(state, content, side, fighter.grounded ? poseStanding : poseInAir, events);
}

// The fighter's frame advances by one tick of match time.
void advanceFighter(matchState& state, const matchContent& content, int side, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    if (state.tick < fighter.frozenUntil) return;
    frameRun run = shownRun(content, side, fighter);
    if (run.count <= 0) return;
    fighter.frameMs += kTickMs;
    // A run of frames of no time passes in one tick, at most once round.
    for (int turns = 0; turns <= run.count; ++turns) {
        const frameRecord* record = content.frameOf(run, fighter.frame);
        if (!record || fighter.frameMs < record->showMs) return;
        fighter.frameMs -= record->showMs;
        int previousKey = record->launchKey;
        if (fighter.frame + 1 >= run.count) {
            // A fighter knocked out stays down on its last frame.
            if (fighter.knockedOut && fighter.move < 0) {
                fighter.frameMs = 0;
                return;
            }
            if (fighter.move >= 0) {
                events.lines.push_back("punch ended");
                endMove(state, content, side, events);
                return;
            }
            fighter.frame = 0;
        } else {
            ++fighter.frame;
        }
        enterFrame(state, content, side, false, previousKey, events);
    }
}

void advanceParticle(const matchContent& content, particleState& part) {
    const matchParticleDef& def = content.particles[static_cast<size_t>(part.def)];
    if (!def.drawable || def.frames.count <= 0) return;
    part.frameMs += kTickMs;
    for (int turns = 0; turns <= def.frames.count; ++turns) {
        const frameRecord* record = content.frameOf(def.frames, part.frame);
        if (!record || part.frameMs < record->showMs) return;
        part.frameMs -= record->showMs;
        part.frame = part.frame + 1 >= def.frames.count ? 0 : part.frame + 1;
    }
}

// --- Inputs and movement ---

// What the inputs of this tick press: letters into the buffer, and up jumps.
void takeInput(matchState& state, int side, uint8_t bits, tickEvents& events, const matchContent& content) {
    fighterState& fighter = state.fighters[side];
    uint8_t pressed = static_cast<uint8_t>(bits & ~static_cast<uint8_t>(fighter.held));
    fighter.held = bits;
    const struct {
        uint8_t bit;
        char key;
    } letters[] = {{inputA, 'A'}, {inputB, 'B'}, {inputC, 'C'}, {inputUp, 'U'},
                   {inputDown, 'D'}, {inputForward, 'R'}, {inputBack, 'L'}};
    commandBuffer& buffer = state.commands[side];
    for (const auto& letter : letters) {
        if (!(pressed & letter.bit)) continue;
        if (buffer.count == kBufferPresses) {
            std::copy(buffer.presses + 1, buffer.presses + kBufferPresses, buffer.presses);
            --buffer.count;
        }
        buffer.presses[buffer.count++] = pressState{state.tick, letter.key};
        commandNote note;
        note.side = side;
        note.key = letter.key;
        events.notes.push_back(note);
    }
    // A jump needs a free fighter with a jump left; a held press waits in the buffer only.
    if ((pressed & inputUp) && !fighterHeld(fighter, state.tick) && fighter.move < 0 && fighter.airActions > 0) {
        showPose(state, content, side, poseInAir, events);
        fighter.airActions -= 1;
        fighter.grounded = 0;
        fighter.ySpeed = fighter.airActions == 0 ? kJumpSpeed - 2 : kJumpSpeed;
    }
}

void clampToSides(fighterState& fighter) { fighter.x = std::max(kLeftLimit, std::min(kRightLimit, fighter.x)); }

// A free fighter on the floor turns to face the other one.
void faceOther(matchState& state, int side) {
    fighterState& fighter = state.fighters[side];
    const fighterState& other = state.fighters[1 - side];
    if (fighter.x != other.x) fighter.facingRight = other.x > fighter.x ? 1 : 0;
}

// Walking and ducking by what is held, when nothing holds the fighter.
void moveByInput(matchState& state, const matchContent& content, int side, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    if (fighterHeld(fighter, state.tick) || fighter.move >= 0 || !fighter.grounded) return;
    faceOther(state, side);
    uint8_t bits = static_cast<uint8_t>(fighter.held);
    if (bits & inputDown) {
        showPose(state, content, side, poseDuck, events);
        return;
    }
    bool forward = (bits & inputForward) != 0;
    bool back = (bits & inputBack) != 0;
    // Both ways at once go nowhere.
    if (forward == back) {
        showPose(state, content, side, poseStanding, events);
        return;
    }
    // Walking back keeps the face to the other fighter.
    int step = back ? -kBackStep : kWalkStep;
    fighter.x += fighter.facingRight ? step : -step;
    showPose(state, content, side, poseWalk, events);
}

// A frame's motion, then the fall and the landing.
void fall(matchState& state, const matchContent& content, int side, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    if (state.tick < fighter.frozenUntil) return;
    const frameRecord* record = content.frameOf(shownRun(content, side, fighter), fighter.frame);
    if (record && record->drawable) {
        fighter.x += fighter.facingRight ? record->moveX : -record->moveX;
        if (record->moveY > 0) {
            fighter.y = std::max(kHighestLift, fighter.y - record->moveY);
            fighter.grounded = 0;
            fighter.ySpeed = kLiftFallSpeed;
            return;
        }
    }
    if (!fighter.grounded) {
        fighter.y -= fighter.ySpeed;
        fighter.ySpeed -= 1;
    }
    if (fighter.y > kFloorY + 1) {
        bool landing = !fighter.grounded;
        fighter.y = kFloorY;
        fighter.grounded = 1;
        fighter.airActions = 2;
        fighter.ySpeed = 0;
        fighter.airHits = 0;
        // An air move ends on the floor; a reeling fighter keeps reeling.
        if (landing && !fighter.reeling && !fighter.knockedOut) {
            fighter.move = -1;
            fighter.pose = -1;
            showPose(state, content, side, poseStanding, events);
        }
    }
}

// The slide of a hit's push-back, all of it by the end of the stun, and the
// end of the stun once the fighter is on the floor.
void react(matchState& state, const matchContent& content, int side, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    if (state.tick < fighter.frozenUntil) return;
    if (fighter.pushLeft > 0) {
        int ticksLeft = std::max(1, fighter.stunUntil - state.tick);
        int move = (fighter.pushLeft + ticksLeft - 1) / ticksLeft;
        fighter.pushLeft -= move;
        fighter.x += fighter.pushRight ? move : -move;
        int beyond = fighter.x > kRightLimit ? fighter.x - kRightLimit : fighter.x < kLeftLimit ? fighter.x - kLeftLimit : 0;
        if (beyond != 0) {
            fighter.x -= beyond;
            // At the screen's edge the attacker gives way instead.
            if (fighter.pushedBy >= 0) {
                fighterState& pusher = state.fighters[fighter.pushedBy];
                if (state.tick >= pusher.frozenUntil) {
                    pusher.x -= beyond;
                    clampToSides(pusher);
                }
            }
        }
    }
    if (fighter.knockedOut) return;
    bool reelEnds = fighter.reeling && fighter.grounded;
    if ((reelEnds || fighter.guarding) && state.tick >= fighter.stunUntil) {
        fighter.reeling = 0;
        fighter.guarding = 0;
        fighter.pushLeft = 0;
        fighter.pushedBy = -1;
        fighter.comboTaken = 0;
        // Training's partner is whole again once a combo is over.
        if (!content.rules.versus) fighter.health = content.characters[side].health;
        showPose(state, content, side, poseStanding, events);
    }
}

// --- Particles ---

const std::vector<launchSpec>* entriesOf(const matchParticleDef& def, int event) {
    switch (event) {
    case eventOnDeath: return &def.onDeath;
    case eventOnHitPlayer: return &def.onHitPlayer;
    case eventOnHitEnemy: return &def.onHitEnemy;
    case eventOnHitTarget: return &def.onHitTarget;
    }
    return nullptr;
}

// True when `event` of `def` launches something.
bool launchesOn(const matchParticleDef& def, int event) {
    const std::vector<launchSpec>* entries = entriesOf(def, event);
    return entries && !entries->empty();
}

void stepParticles(matchState& state, const matchContent& content) {
    long long now = static_cast<long long>(state.tick) * kTickMs;
    for (int i = 0; i < state.particleCount; ++i) {
        particleState& part = state.particles[i];
        if (part.dead) continue;
        const matchParticleDef& def = content.particles[static_cast<size_t>(part.def)];
        const frameRecord* record = def.drawable ? content.frameOf(def.frames, part.frame) : nullptr;
        if (record) part.x += part.facingRight ? record->moveX : -record->moveX;
        if (def.gravity) {
            int rest = record ? content.frameOf(def.frames, 0)->restY : 0;
            if (part.y + rest > kFloorY - 1)
                part.y = kFloorY - rest;
            else
                part.y += kParticleFall;
        }
        if (part.x > kRightLimit + kOffScreenMargin || part.x < kLeftLimit - kOffScreenMargin) part.dead = 1;
        if (def.lifeMs > 0 && static_cast<long long>(part.bornTick) * kTickMs + def.lifeMs < now) {
            part.dead = 1;
            if (launchesOn(def, eventOnDeath)) part.events |= eventOnDeath;
        }
    }
}

// The dead particles launch their events' entries from where they were, then go.
void removeDead(matchState& state, const matchContent& content, tickEvents& events) {
    int count = state.particleCount;
    for (int i = 0; i < count; ++i) {
        particleState part = state.particles[i];
        if (!part.dead || !part.events) continue;
        const matchParticleDef& def = content.particles[static_cast<size_t>(part.def)];
        for (int event : {eventOnDeath, eventOnHitPlayer, eventOnHitEnemy, eventOnHitTarget}) {
            if (!(part.events & event)) continue;
            for (const launchSpec& spec : *entriesOf(def, event)) {
                bool right = part.facingRight != 0;
                long long x = right ? static_cast<long long>(part.x) + spec.x : static_cast<long long>(part.x) - spec.x;
                long long y = static_cast<long long>(part.y) + spec.y;
                launch(state, content, spec, x, y, right, part.owner, part.spared, events);
            }
        }
    }
    int kept = 0;
    for (int i = 0; i < state.particleCount; ++i)
        if (!state.particles[i].dead) state.particles[kept++] = state.particles[i];
    for (int i = kept; i < state.particleCount; ++i) state.particles[i] = particleState{};
    state.particleCount = kept;
}

matchBox particleBox(const matchContent& content, const particleState& part) {
    const matchParticleDef& def = content.particles[static_cast<size_t>(part.def)];
    const frameRecord* record = def.drawable ? content.frameOf(def.frames, part.frame) : nullptr;
    if (!record) return matchBox();
    return placedAt(record->body[part.facingRight], part.x, part.y);
}

// --- Hits ---

// One hit judged this tick, to land with the others.
struct judgedHit {
    int attacker = -1;  // side whose move or particle hits
    bool melee = false; // a fighter's hit box, not a particle
    int particle = -1;  // index of the particle
    int events = 0;     // the particle's hit events raised
    int defender = -1;
    hitData hit;
    matchBox overlap;
    bool awayRight = false;
    bool high = false;  // guarded standing only: its guard says so, or a fighter strikes from the air
    std::string name;   // the move's or the particle's
    std::string line;   // the start of its line; the damage follows
};

// True when the defender can take `hit` now: a knocked-out fighter takes
// no more, and one in the air no more than the hit's juggle limit allows.
bool canBeHit(const fighterState& defender, const hitData& hit) {
    if (defender.knockedOut) return false;
    return defender.grounded || defender.airHits < hit.juggle;
}

void judgeHits(const matchState& state, const matchContent& content, std::vector<judgedHit>& hits) {
    for (int side = 0; side < kSides; ++side) {
        const fighterState& attacker = state.fighters[side];
        if (attacker.move < 0) continue;
        matchBox reach = hitBoxOf(content, side, attacker);
        for (int other = 0; other < kSides; ++other) {
            if (other == side || (attacker.hitMask & (1 << other))) continue;
            const fighterState& defender = state.fighters[other];
            matchBox body = bodyBox(content, other, defender);
            if (!overlaps(reach, body)) continue;
            const matchMove& move = content.characters[side].moves[static_cast<size_t>(attacker.move)];
            if (!canBeHit(defender, move.hit)) continue;
            judgedHit hit;
            hit.attacker = side;
            hit.melee = true;
            hit.defender = other;
            hit.hit = move.hit;
            hit.overlap = overlapBox(reach, body);
            hit.awayRight = defender.x != attacker.x ? defender.x > attacker.x : attacker.facingRight != 0;
            hit.high = move.hit.guard == guardHigh || !attacker.grounded;
            hit.name = move.name;
            hit.line = "hit: " + move.name;
            hits.push_back(hit);
        }
    }
    matchBox bodies[kSides];
    for (int side = 0; side < kSides; ++side) bodies[side] = bodyBox(content, side, state.fighters[side]);
    for (int i = 0; i < state.particleCount; ++i) {
        const particleState& part = state.particles[i];
        if (part.dead) continue;
        matchBox box = particleBox(content, part);
        if (box.empty()) continue;
        const matchParticleDef& def = content.particles[static_cast<size_t>(part.def)];
        for (int side = 0; side < kSides; ++side) {
            if (side == part.owner || side == part.spared || !overlaps(box, bodies[side])) continue;
            if (!canBeHit(state.fighters[side], def.hit)) continue;
            // The other side is the owner's target; a particle of no one's aims at side 1.
            int target = part.owner >= 0 ? 1 - part.owner : 1;
            int raised = 0;
            std::string names;
            const struct {
                int event;
                bool applies;
                const char* name;
            } tests[] = {{eventOnHitPlayer, side == 0, "OnHitPlayer"},
                         {eventOnHitEnemy, true, "OnHitEnemy"},
                         {eventOnHitTarget, side == target, "OnHitTarget"}};
            for (const auto& test : tests) {
                if (!test.applies || !launchesOn(def, test.event)) continue;
                raised |= test.event;
                names += std::string(" ") + test.name;
            }
            // A particle with nothing to launch on a hit flies through.
            if (!raised) continue;
            judgedHit hit;
            hit.attacker = part.owner;
            hit.particle = i;
            hit.events = raised;
            hit.defender = side;
            hit.hit = def.hit;
            hit.overlap = overlapBox(box, bodies[side]);
            hit.awayRight = part.facingRight != 0;
            hit.high = def.hit.guard == guardHigh;
            hit.name = def.name;
            hit.line = "particle hit:" + names;
            hits.push_back(hit);
            break;
        }
    }
}

// Damage of each hit of a combo, in percent; past the table, its last.
const int kComboScale[] = {100, 100, 80, 70, 60, 50, 40, 30, 20, 10};

// The points the hit takes as the defender's `taken`th hit of a combo.
int scaledDamage(int damage, int taken) {
    const int last = static_cast<int>(sizeof kComboScale / sizeof kComboScale[0]) - 1;
    int percent = kComboScale[std::min(std::max(taken, 0), last)];
    long long scaled = static_cast<long long>(damage) * percent / 100;
    // A blow that does damage always takes a point.
    return damage > 0 ? static_cast<int>(std::max(1LL, scaled)) : 0;
}

// True when the defender guards `hit`: it holds back, free on the floor or
// already guarding, standing against high and mid hits, crouching against low and mid.
bool guards(const fighterState& defender, const judgedHit& hit, int tick) {
    if (!defender.grounded || defender.move >= 0 || defender.knockedOut || defender.reeling) return false;
    if (tick < defender.frozenUntil && !defender.guarding) return false;
    if (!(defender.held & inputBack)) return false;
    bool crouching = (defender.held & inputDown) != 0;
    if (hit.high) return !crouching;
    if (hit.hit.guard == guardLow) return crouching;
    return true;
}

// The hit is guarded: no damage, the blockstun's hold, half the push-back.
void guardHit(matchState& state, const matchContent& content, const judgedHit& hit, tickEvents& events) {
    fighterState& defender = state.fighters[hit.defender];
    int stop = ticksOf(hit.hit.hitstop);
    bool crouching = (defender.held & inputDown) != 0;
    defender.pose = -1;
    showPose(state, content, hit.defender, crouching ? poseDuckGuard : poseGuard, events);
    defender.frozenUntil = std::max(defender.frozenUntil, state.tick + stop + 1);
    defender.guarding = 1;
    defender.stunUntil = state.tick + stop + ticksOf(hit.hit.blockstun) + 1;
    defender.pushLeft = hit.hit.pushback / 2;
    defender.pushRight = hit.awayRight ? 1 : 0;
    defender.pushedBy = hit.melee ? hit.attacker : -1;
    events.lines.push_back("guarded: " + hit.name);
    if (content.blockSound >= 0) events.sounds.push_back(soundCue{content.blockSound, hit.defender});
}

void takeHit(matchState& state, const matchContent& content, const judgedHit& hit, tickEvents& events) {
    fighterState& defender = state.fighters[hit.defender];
    int stop = ticksOf(hit.hit.hitstop);
    if (!defender.grounded) defender.airHits += 1;
    defender.guarding = 0;
    // Frozen for the hitstop's ticks after this one, then reeling for the hitstun's.
    defender.move = -1;
    defender.pose = -1;
    showPose(state, content, hit.defender, poseHurt, events);
    defender.frozenUntil = std::max(defender.frozenUntil, state.tick + stop + 1);
    defender.reeling = 1;
    defender.stunUntil = state.tick + stop + ticksOf(hit.hit.hitstun) + 1;
    defender.pushLeft = hit.hit.pushback;
    defender.pushRight = hit.awayRight ? 1 : 0;
    // Only a melee hit pushes its attacker back at the screen's edge.
    defender.pushedBy = hit.melee ? hit.attacker : -1;
    if (hit.hit.launch > 0) {
        defender.grounded = 0;
        defender.ySpeed = hit.hit.launch;
    }
}

void landHits(matchState& state, const matchContent& content, std::vector<judgedHit>& hits, tickEvents& events) {
    for (const judgedHit& hit : hits) {
        if (hit.particle >= 0) {
            particleState& part = state.particles[hit.particle];
            // A hit is not a death: the hit events launch, OnDeath does not.
            part.dead = 1;
            part.events = hit.events;
        }
    }
    for (judgedHit& hit : hits) {
        fighterState& defender = state.fighters[hit.defender];
        if (hit.melee) {
            fighterState& attacker = state.fighters[hit.attacker];
            attacker.hitMask |= 1 << hit.defender;
            attacker.frozenUntil = std::max(attacker.frozenUntil, state.tick + ticksOf(hit.hit.hitstop) + 1);
        }
        if (guards(defender, hit, state.tick)) {
            guardHit(state, content, hit, events);
            continue;
        }
        bool combo = defender.reeling != 0;
        if (!combo) defender.comboTaken = 0;
        int damage = scaledDamage(hit.hit.damage, defender.comboTaken);
        defender.comboTaken += 1;
        // Damage counts while a round is fought; training never knocks out.
        if (state.round.phase == phaseFight) defender.health = std::max(0, defender.health - damage);
        events.lines.push_back(hit.line + ", damage " + std::to_string(damage));
        takeHit(state, content, hit, events);
        // The panel tells of the hits on side 1.
        if (hit.defender == 1) {
            panelState& panel = state.panel;
            int attackerBusy = hit.attacker >= 0 ? busyMs(content, hit.attacker, state.fighters[hit.attacker], state.tick) : 0;
            int defenderFree = (defender.stunUntil - state.tick - 1) * kTickMs;
            panel.anyHit = 1;
            panel.lastDamage = damage;
            panel.comboHits = combo ? panel.comboHits + 1 : 1;
            panel.comboDamage = combo ? panel.comboDamage + damage : damage;
            panel.advantageMs = defenderFree - attackerBusy;
            panel.damageTaken += damage;
            panel.lastHitTick = state.tick;
            events.panelChanged = true;
        }
        if (content.sparkDef >= 0) {
            launchSpec spark;
            spark.def = content.sparkDef;
            long long cx = (static_cast<long long>(hit.overlap.left) + hit.overlap.right) / 2;
            long long cy = (static_cast<long long>(hit.overlap.top) + hit.overlap.bottom) / 2;
            // The spark is the attacker's, and never strikes the one it marks.
            launch(state, content, spark, cx, cy, true, hit.attacker, hit.defender, events);
        }
        if (content.hitSound >= 0) events.sounds.push_back(soundCue{content.hitSound, hit.attacker});
        events.hitLanded = true;
    }
}

// --- Commands ---

bool conditionHolds(moveCondition condition, const fighterState& fighter) {
    switch (condition) {
    case moveCondition::none: return true;
    case moveCondition::grounded: return fighter.grounded != 0;
    case moveCondition::airborne: return fighter.grounded == 0;
    case moveCondition::never: return false;
    }
    return false;
}

// Old presses go, but the youngest stays; a buffered button searches the
// moves of its list, and the buffer is emptied. The move found, or -1.
int searchCommands(matchState& state, const matchContent& content, int side, tickEvents& events) {
    commandBuffer& buffer = state.commands[side];
    int kept = 0;
    for (int i = 0; i < buffer.count; ++i) {
        bool youngest = i == buffer.count - 1;
        if (youngest || state.tick - buffer.presses[i].tick <= kBufferTicks) buffer.presses[kept++] = buffer.presses[i];
    }
    for (int i = kept; i < buffer.count; ++i) buffer.presses[i] = pressState{};
    buffer.count = kept;
    int button = -1;
    std::string keys;
    for (int i = 0; i < buffer.count; ++i) {
        keys += static_cast<char>(buffer.presses[i].key);
        if (isButton(buffer.presses[i].key)) button = buffer.presses[i].key;
    }
    if (button < 0) return -1;
    for (int i = 0; i < buffer.count; ++i) buffer.presses[i] = pressState{};
    buffer.count = 0;
    commandNote answer;
    answer.side = side;
    answer.button = button;
    answer.keys = keys;
    int found = -1;
    const fighterState& fighter = state.fighters[side];
    const std::vector<matchMove>& moves = content.characters[side].moves;
    for (size_t i = 0; i < moves.size() && found < 0; ++i) {
        const matchMove& move = moves[i];
        if (move.command.empty() || move.command.back() != button) continue;
        const frameRecord* first = content.frameOf(move.frames, 0);
        int verdict = 3;
        if (keys.find(move.command) == std::string::npos)
            verdict = 0;
        else if (!first || !first->drawable)
            verdict = 1;
        else if (!conditionHolds(move.condition, fighter))
            verdict = 2;
        answer.moves.push_back(static_cast<int32_t>(i));
        answer.verdicts.push_back(verdict);
        if (verdict == 3) found = static_cast<int>(i);
    }
    events.notes.push_back(answer);
    return found;
}

void startMove(matchState& state, const matchContent& content, int side, int move, tickEvents& events) {
    fighterState& fighter = state.fighters[side];
    if (fighter.airActions < 1) return;
    if (!fighter.grounded) fighter.airActions -= 1;
    fighter.move = move;
    fighter.hitMask = 0;
    fighter.frame = 0;
    fighter.frameMs = 0;
    fighter.actionTick = state.tick;
    events.lines.push_back(content.characters[side].moves[static_cast<size_t>(move)].name);
    enterFrame(state, content, side, true, -1, events);
}

// --- Fighters' places and rounds ---

// Both fighters at the start's places, standing whole, facing each other.
void placeFighters(matchState& state, const matchContent& content, const matchStart& start) {
    tickEvents ignored;
    for (int side = 0; side < kSides; ++side) {
        fighterState& fighter = state.fighters[side];
        fighter.x = start.x[side];
        fighter.y = start.y;
        fighter.facingRight = start.x[side] < start.x[1 - side] ? 1 : 0;
        fighter.grounded = 1;
        fighter.airActions = 2;
        fighter.health = content.characters[side].health;
        fighter.pose = -1;
        showPose(state, content, side, poseStanding, ignored);
    }
}

// Round `number` begins: a fresh field, the score and what each side holds kept.
void startRound(matchState& state, const matchContent& content, int number) {
    matchState fresh = emptyMatch();
    fresh.tick = state.tick;
    fresh.round = state.round;
    for (int side = 0; side < kSides; ++side) fresh.fighters[side].held = state.fighters[side].held;
    matchStart start;
    placeFighters(fresh, content, start);
    fresh.round.number = number;
    fresh.round.phase = phaseIntro;
    fresh.round.phaseTick = state.tick;
    fresh.round.fightTicks = 0;
    state = fresh;
}

void enterPhase(matchState& state, int phase) {
    state.round.phase = phase;
    state.round.phaseTick = state.tick;
}

// Ticks of the match-over phase before a press of A starts a rematch, so
// that a button still mashed from the last round does not.
const int kRematchWaitTicks = 100;

// The round's clock before the inputs: the intro's lines, the fight's start,
// the next round after a result, a rematch.
void stepRound(matchState& state, const matchContent& content, const uint8_t inputs[kSides], tickEvents& events) {
    roundState& round = state.round;
    int since = state.tick - round.phaseTick;
    switch (round.phase) {
    case phaseIntro:
        if (since == 1) {
            events.lines.push_back("round " + std::to_string(round.number));
            if (content.roundSound >= 0) events.sounds.push_back(soundCue{content.roundSound, -1});
        }
        if (since >= content.rules.introTicks) {
            enterPhase(state, phaseFight);
            if (content.fightSound >= 0) events.sounds.push_back(soundCue{content.fightSound, -1});
        }
        break;
    case phaseFight: round.fightTicks += 1; break;
    case phaseOver:
        if (since >= content.rules.outroTicks) startRound(state, content, round.number + 1);
        break;
    case phaseMatchOver:
        if (since >= kRematchWaitTicks && ((inputs[0] | inputs[1]) & inputA)) {
            round = roundState{};
            round.winner = -1;
            startRound(state, content, 1);
        }
        break;
    }
}

// The round's result: the score, then the match's end or the next round.
void endRound(matchState& state, const matchContent& content, int winner, const std::string& how, tickEvents& events) {
    roundState& round = state.round;
    round.winner = winner;
    std::string number = std::to_string(round.number);
    if (winner < 0) {
        round.draws += 1;
        events.lines.push_back("draw: round " + number);
    } else {
        round.wins[winner] += 1;
        events.lines.push_back(how + ": " + sideName(content, winner) + " wins round " + number);
    }
    if (winner >= 0 && round.wins[winner] >= content.rules.winsNeeded) {
        events.lines.push_back("match: " + sideName(content, winner) + " wins " + std::to_string(round.wins[winner]) +
                               "-" + std::to_string(round.wins[1 - winner]));
        enterPhase(state, phaseMatchOver);
    } else if (round.draws >= content.rules.drawsToEnd || round.number >= content.rules.roundsToEnd) {
        round.winner = -1;
        events.lines.push_back("match: draw game");
        enterPhase(state, phaseMatchOver);
    } else {
        enterPhase(state, phaseOver);
    }
}

// After the hits: a fighter out of health is knocked out, and a KO or the
// timer ends the round.
void judgeRound(matchState& state, const matchContent& content, tickEvents& events) {
    if (state.round.phase != phaseFight) return;
    bool out[kSides] = {false, false};
    for (int side = 0; side < kSides; ++side) {
        fighterState& fighter = state.fighters[side];
        if (fighter.health > 0) continue;
        out[side] = true;
        fighter.knockedOut = 1;
        fighter.move = -1;
        fighter.pose = -1;
        showPose(state, content, side, poseKo, events);
    }
    if (out[0] || out[1]) {
        if (content.koSound >= 0) events.sounds.push_back(soundCue{content.koSound, -1});
        endRound(state, content, out[0] && out[1] ? -1 : out[0] ? 1 : 0, "KO", events);
        return;
    }
    if (content.rules.roundTicks <= 0 || state.round.fightTicks < content.rules.roundTicks) return;
    if (content.timeOverSound >= 0) events.sounds.push_back(soundCue{content.timeOverSound, -1});
    int h0 = state.fighters[0].health;
    int h1 = state.fighters[1].health;
    endRound(state, content, h0 == h1 ? -1 : h0 > h1 ? 0 : 1, "time over", events);
}
}  // namespace

void tickEvents::clear() {
    sounds.clear();
    lines.clear();
    panelChanged = false;
    hitLanded = false;
    notes.clear();
}

int ticksOf(int ms) { return ms <= 0 ? 0 : (ms + kTickMs - 1) / kTickMs; }

bool fighterHeld(const fighterState& fighter, int tick) {
    return tick < fighter.frozenUntil || fighter.reeling || fighter.guarding || fighter.knockedOut;
}

int busyMs(const matchContent& content, int side, const fighterState& fighter, int tick) {
    if (fighter.move < 0) return 0;
    frameRun run = shownRun(content, side, fighter);
    int left = std::max(0, fighter.frozenUntil - tick - 1) * kTickMs;
    for (int at = fighter.frame; at < run.count; ++at) left += content.frameOf(run, at)->showMs;
    return std::max(0, left - fighter.frameMs);
}

matchBox bodyBox(const matchContent& content, int side, const fighterState& fighter) {
    const frameRecord* record = content.frameOf(shownRun(content, side, fighter), fighter.frame);
    if (!record || !record->drawable) return matchBox();
    int f = fighter.facingRight;
    return placedAt(record->body[f], fighter.x - record->anchorX[f], fighter.y - record->anchorY);
}

matchBox hitBoxOf(const matchContent& content, int side, const fighterState& fighter) {
    const frameRecord* record = content.frameOf(shownRun(content, side, fighter), fighter.frame);
    if (!record || !record->drawable) return matchBox();
    int f = fighter.facingRight;
    return placedAt(record->hit[f], fighter.x - record->anchorX[f], fighter.y - record->anchorY);
}

matchState startMatch(const matchContent& content, const matchStart& start) {
    matchState state = emptyMatch();
    tickEvents ignored;
    placeFighters(state, content, start);
    state.round.number = 1;
    state.round.phase = content.rules.versus ? phaseIntro : phaseFight;
    if (start.launchStart) {
        // Placed from the screen's corner, facing right, yet the player's own.
        launch(state, content, content.startLaunch, content.startLaunch.x, content.startLaunch.y, true, 0, -1, ignored);
    }
    return state;
}

void stepMatch(matchState& state, const matchContent& content, const uint8_t inputs[kSides], tickEvents& events) {
    state.tick += 1;
    // the round's clock; outside a round's fight, and for a fighter knocked out, no input counts
    uint8_t taken[kSides] = {inputs[0], inputs[1]};
    if (content.rules.versus) {
        stepRound(state, content, inputs, events);
        for (int side = 0; side < kSides; ++side)
            if (state.round.phase != phaseFight || state.fighters[side].knockedOut) taken[side] = 0;
    }
    // presses into the buffers, and jumps
    for (int side = 0; side < kSides; ++side) takeInput(state, side, taken[side], events, content);
    // frames advance by the tick, with their sounds and launches
    for (int side = 0; side < kSides; ++side) advanceFighter(state, content, side, events);
    for (int i = 0; i < state.particleCount; ++i) advanceParticle(content, state.particles[i]);
    // walking, ducking, the fall and the slides of hits
    for (int side = 0; side < kSides; ++side) {
        moveByInput(state, content, side, events);
        fall(state, content, side, events);
        react(state, content, side, events);
        clampToSides(state.fighters[side]);
    }
    // the particles fly and age
    stepParticles(state, content);
    // every hit judged on the same state, then all landed: hits trade
    std::vector<judgedHit> hits;
    judgeHits(state, content, hits);
    landHits(state, content, hits, events);
    removeDead(state, content, events);
    if (content.rules.versus) judgeRound(state, content, events);
    // the moves the buffers complete, for fighters no hit holds
    for (int side = 0; side < kSides; ++side) {
        fighterState& fighter = state.fighters[side];
        if (fighterHeld(fighter, state.tick)) continue;
        int move = searchCommands(state, content, side, events);
        if (move >= 0 && fighter.move < 0) startMove(state, content, side, move, events);
    }
    if (state.panel.anyHit && state.tick - state.panel.lastHitTick >= kDamageResetTicks && state.panel.damageTaken) {
        state.panel.damageTaken = 0;
        events.panelChanged = true;
    }
}
