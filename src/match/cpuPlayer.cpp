// The CPU opponent: what it sees (a ring of sights, read a reaction time
// late), what it knows of the moves (their reach and startup, learned from
// the frame data once per content), and what it does each tick: guard or
// jump what it sees coming, type a move that reaches, throw its shot from
// afar, or walk in and out of range.
#include "match/cpuPlayer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "match/matchTick.h"

namespace {
// Reaction time at the lowest and the highest level, in ticks.
const int kSlowestReaction = 40;
const int kFastestReaction = 15;
// Ticks a press stays in the command buffer (600 ms).
const int kCommandTicks = 60;
// Nearer than this a shot flying at the fighter is answered, pixels.
const int kShotWatch = 420;
// Beyond this the shot is thrown rather than walked in with.
const int kShotDistance = 300;
// A jump leaves the floor when the shot is this near the fighter's anchor.
const int kJumpLead = 110;
// Slack around a body when judging whether an attack reaches it.
const int kThreatSlack = 24;

int levelOf(int level) { return std::max(kCpuLowestLevel, std::min(kCpuHighestLevel, level)); }

// A figure going in a line from `lowest` at the lowest level to `highest` at the highest.
int byLevel(int level, int lowest, int highest) {
    return lowest + (highest - lowest) * (levelOf(level) - kCpuLowestLevel) / (kCpuHighestLevel - kCpuLowestLevel);
}

// The same on a curve that climbs slowly at first and fast at the top, so
// that the top levels differ as much in play as the lowest ones.
int byLevelSteep(int level, int lowest, int highest) {
    const int span = kCpuHighestLevel - kCpuLowestLevel;
    int step = levelOf(level) - kCpuLowestLevel;
    return lowest + (highest - lowest) * step * step / (span * span);
}

uint32_t nextRandom(cpuPlayer& cpu) {
    uint32_t x = cpu.random;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    cpu.random = x;
    return x;
}

bool chance(cpuPlayer& cpu, int percent) { return static_cast<int>(nextRandom(cpu) % 100u) < percent; }

int below(cpuPlayer& cpu, int count) { return static_cast<int>(nextRandom(cpu) % static_cast<uint32_t>(count)); }

// --- What it knows of the moves ---

bool particleHurts(const matchParticleDef& def) {
    return !def.onHitPlayer.empty() || !def.onHitEnemy.empty() || !def.onHitTarget.empty();
}

// A particle that flies and hits: a shot, not a spark or a flame's ember.
bool isShot(const matchContent& content, int def) {
    if (def < 0 || def >= static_cast<int>(content.particles.size())) return false;
    const matchParticleDef& particle = content.particles[static_cast<size_t>(def)];
    if (!particle.drawable || !particleHurts(particle)) return false;
    for (int i = 0; i < particle.frames.count; ++i)
        if (content.frameOf(particle.frames, i)->moveX != 0) return true;
    return false;
}

void grow(matchBox& all, const matchBox& box) {
    if (all.empty()) {
        all = box;
        return;
    }
    all.left = std::min(all.left, box.left);
    all.top = std::min(all.top, box.top);
    all.right = std::max(all.right, box.right);
    all.bottom = std::max(all.bottom, box.bottom);
}

cpuMoveInfo studyMove(const matchContent& content, const matchMove& move) {
    cpuMoveInfo info;
    const frameRecord* first = content.frameOf(move.frames, 0);
    info.usable = !move.command.empty() && move.condition != moveCondition::never && first && first->drawable;
    info.air = move.condition == moveCondition::airborne;
    info.ground = move.condition == moveCondition::grounded;
    info.guard = move.hit.guard;
    info.damage = move.hit.damage;
    int tick = 0, ahead = 0, lift = 0;
    for (int i = 0; i < move.frames.count; ++i) {
        const frameRecord* record = content.frameOf(move.frames, i);
        if (!record->drawable) continue;
        int ticks = ticksOf(record->showMs);
        int aheadEnd = ahead + record->moveX * ticks;
        int liftEnd = lift + record->moveY * ticks;
        const matchBox& hit = record->hit[1];
        if (!hit.empty()) {
            if (info.startup < 0) info.startup = tick;
            info.lastLive = i;
            info.liveEnd = tick + ticks;
            matchBox box;
            box.left = hit.left - record->anchorX[1] + std::min(ahead, aheadEnd);
            box.right = hit.right - record->anchorX[1] + std::max(ahead, aheadEnd);
            box.top = hit.top - record->anchorY - std::max(lift, liftEnd);
            box.bottom = hit.bottom - record->anchorY - std::min(lift, liftEnd);
            grow(info.reach, box);
        }
        for (const launchSpec& spec : record->launches) {
            if (!isShot(content, spec.def)) continue;
            info.projectile = true;
            if (info.startup < 0) info.startup = tick;
        }
        tick += ticks;
        ahead = aheadEnd;
        lift = liftEnd;
    }
    info.ticks = tick;
    return info;
}

void learn(cpuPlayer& cpu, const matchContent& content) {
    if (cpu.learned == &content && cpu.learnedFrames == content.frames.size()) return;
    cpu.learned = &content;
    cpu.learnedFrames = content.frames.size();
    for (int side = 0; side < kSides; ++side) {
        cpu.moves[side].clear();
        cpu.reach[side] = matchBox();
        for (const matchMove& move : content.characters[side].moves) {
            cpu.moves[side].push_back(studyMove(content, move));
            const cpuMoveInfo& info = cpu.moves[side].back();
            if (info.usable && !info.air) grow(cpu.reach[side], info.reach);
        }
    }
    cpu.shots.clear();
    for (size_t def = 0; def < content.particles.size(); ++def)
        cpu.shots.push_back(isShot(content, static_cast<int>(def)) ? 1 : 0);
}

// `reach` of a fighter at (x, y) facing `right`, on the screen.
matchBox placedReach(const matchBox& reach, int x, int y, bool right) {
    matchBox box = reach;
    if (!right) {
        box.left = -reach.right;
        box.right = -reach.left;
    }
    return placedAt(box, x, y);
}

// --- What it sees ---

cpuFighterSight sightOf(const fighterState& fighter) {
    cpuFighterSight sight;
    sight.x = fighter.x;
    sight.y = fighter.y;
    sight.facingRight = fighter.facingRight;
    sight.grounded = fighter.grounded;
    sight.pose = fighter.pose;
    sight.move = fighter.move;
    sight.frame = fighter.frame;
    sight.actionTick = fighter.actionTick;
    sight.health = fighter.health;
    sight.reeling = fighter.reeling;
    sight.guarding = fighter.guarding;
    sight.knockedOut = fighter.knockedOut;
    return sight;
}

// A fighter as seen, enough of it to find its body.
fighterState standIn(const cpuFighterSight& sight) {
    fighterState fighter{};
    fighter.x = sight.x;
    fighter.y = sight.y;
    fighter.facingRight = sight.facingRight;
    fighter.pose = sight.pose;
    fighter.move = sight.move;
    fighter.frame = sight.frame;
    return fighter;
}

cpuSight look(const cpuPlayer& cpu, const matchState& state, const matchContent& content) {
    cpuSight sight;
    sight.tick = state.tick;
    for (int side = 0; side < kSides; ++side) sight.fighters[side] = sightOf(state.fighters[side]);
    const fighterState& me = state.fighters[cpu.side];
    int nearest = INT_MAX;
    for (int i = 0; i < state.particleCount; ++i) {
        const particleState& part = state.particles[i];
        if (part.dead || part.owner != 1 - cpu.side || !cpu.shots[static_cast<size_t>(part.def)]) continue;
        const matchParticleDef& def = content.particles[static_cast<size_t>(part.def)];
        matchBox box = placedAt(content.frameOf(def.frames, part.frame)->body[part.facingRight], part.x, part.y);
        int middle = (box.left + box.right) / 2;
        int distance = std::abs(middle - me.x);
        if (distance >= nearest) continue;
        nearest = distance;
        sight.shot = 1;
        sight.shotX = middle;
        sight.shotY = (box.top + box.bottom) / 2;
        sight.shotRight = part.facingRight;
        sight.shotBorn = part.bornTick;
    }
    return sight;
}

// Keeps what it sees now; a match started again (an earlier tick, or a gap
// longer than its memory) starts its memory again.
void remember(cpuPlayer& cpu, const matchState& state, const matchContent& content) {
    if (state.tick < cpu.lastTick || state.tick > cpu.lastTick + kCpuMemory || cpu.lastTick < 0) {
        cpu.firstTick = state.tick;
        cpu.planLength = cpu.planAt = 0;
        cpu.threatKey = -1;
        cpu.intentUntil = 0;
    }
    cpu.seen[state.tick % kCpuMemory] = look(cpu, state, content);
    cpu.lastTick = state.tick;
}

// What it saw `ticksAgo` more than its reaction time ago (or the oldest it has).
const cpuSight& seenBefore(const cpuPlayer& cpu, int tick, int ticksAgo) {
    int at = std::max(cpu.firstTick, tick - cpuDelayTicks(cpu.level) - ticksAgo);
    return cpu.seen[at % kCpuMemory];
}

// --- What it does ---

uint8_t letterBit(char key) {
    switch (key) {
    case 'A': return inputA;
    case 'B': return inputB;
    case 'C': return inputC;
    case 'U': return inputUp;
    case 'D': return inputDown;
    case 'R': return inputForward;
    case 'L': return inputBack;
    }
    return 0;
}

// The bits a command is typed with, one a tick, each letter a fresh press.
int typeCommand(const std::string& command, uint8_t holding, uint8_t (&plan)[kCpuPlanLength]) {
    int length = 0;
    uint8_t previous = holding;
    for (char key : command) {
        uint8_t bit = letterBit(key);
        if (length + 2 > kCpuPlanLength) break;
        if (previous & bit) plan[length++] = 0;
        plan[length++] = bit;
        previous = bit;
    }
    return length;
}

// The move that typing `command` in `ticks` from now starts, with the presses
// still young in the fighter's own buffer before it; -1 none.
int typedMove(const cpuPlayer& cpu, const matchState& state, const matchContent& content, const std::string& command,
              int ticks) {
    const commandBuffer& buffer = state.commands[cpu.side];
    const fighterState& me = state.fighters[cpu.side];
    int buttonTick = state.tick + ticks;
    std::string keys;
    for (int i = 0; i < buffer.count; ++i)
        if (buttonTick - buffer.presses[i].tick <= kCommandTicks) keys += static_cast<char>(buffer.presses[i].key);
    keys += command;
    const std::vector<matchMove>& moves = content.characters[cpu.side].moves;
    for (size_t i = 0; i < moves.size(); ++i) {
        const cpuMoveInfo& info = cpu.moves[cpu.side][i];
        if (!info.usable || moves[i].command.back() != command.back()) continue;
        if ((info.air && me.grounded) || (info.ground && !me.grounded)) continue;
        if (keys.find(moves[i].command) != std::string::npos) return static_cast<int>(i);
    }
    return -1;
}

void startTyping(cpuPlayer& cpu, const std::string& command, int move) {
    cpu.planLength = typeCommand(command, cpu.lastBits, cpu.plan);
    cpu.planAt = 0;
    cpu.recent[cpu.recentAt] = move;
    cpu.recentAt = (cpu.recentAt + 1) % 4;
}

int recentUses(const cpuPlayer& cpu, int move) {
    int uses = 0;
    for (int32_t chosen : cpu.recent) uses += chosen == move;
    return uses;
}

// The bit that walks or holds toward larger x when `right`, for the fighter as it faces now.
uint8_t wayBit(bool right, const fighterState& me) { return right == (me.facingRight != 0) ? inputForward : inputBack; }

struct cpuView {
    const matchState& state;
    const matchContent& content;
    const fighterState& me;
    const cpuSight& seen;
    const cpuFighterSight& them;
    bool themRight;  // they stand toward larger x
};

// Types a move of its own whose live hit box will reach them (or, with
// `shot`, its shot), chosen by weight: harder hits weigh more, those chosen
// lately less. Its buffer's young presses count: the move typed is the one
// they and the command start.
bool attack(cpuPlayer& cpu, const cpuView& at, bool shot) {
    const std::vector<matchMove>& moves = at.content.characters[cpu.side].moves;
    fighterState target = standIn(at.them);
    // A weaker CPU misjudges the distance.
    int misjudged = byLevelSteep(cpu.level, 80, 0);
    if (misjudged > 0) target.x += below(cpu, 2 * misjudged + 1) - misjudged;
    matchBox body = bodyBox(at.content, 1 - cpu.side, target);
    int found[32];
    const std::string* commands[32];
    int weights[32];
    int count = 0, total = 0;
    for (size_t i = 0; i < moves.size() && count < 32; ++i) {
        if (!cpu.moves[cpu.side][i].usable) continue;
        const std::string& command = moves[i].command;
        uint8_t plan[kCpuPlanLength];
        int move = typedMove(cpu, at.state, at.content, command, typeCommand(command, cpu.lastBits, plan));
        if (move < 0 || std::find(found, found + count, move) != found + count) continue;
        const cpuMoveInfo& info = cpu.moves[cpu.side][static_cast<size_t>(move)];
        if (info.projectile != shot) continue;
        if (!shot && !overlaps(placedReach(info.reach, at.me.x, at.me.y, at.themRight), body)) continue;
        found[count] = move;
        commands[count] = &command;
        weights[count] = (8 + info.damage) >> std::min(3, recentUses(cpu, move));
        total += weights[count++];
    }
    if (total <= 0) return false;
    int pick = below(cpu, total);
    for (int i = 0; i < count; ++i) {
        pick -= weights[i];
        if (pick < 0) {
            startTyping(cpu, *commands[i], found[i]);
            return true;
        }
    }
    return false;
}

// An attack of theirs that will reach, or a shot flying at it: guarded at
// the level's rate, a shot also jumped. True with `bits` when it answers.
bool answerThreat(cpuPlayer& cpu, const cpuView& at, uint8_t& bits) {
    const int other = 1 - cpu.side;
    uint8_t away = wayBit(!at.themRight, at.me);
    const cpuFighterSight& them = at.them;
    if (them.move >= 0 && them.move < static_cast<int>(cpu.moves[other].size())) {
        const cpuMoveInfo& info = cpu.moves[other][static_cast<size_t>(them.move)];
        matchBox body = bodyBox(at.content, cpu.side, at.me);
        body.left -= kThreatSlack;
        body.right += kThreatSlack;
        // Its live frames may be over by now: the CPU knows how long ago it saw the start.
        bool liveNow = at.state.tick - them.actionTick <= info.liveEnd;
        matchBox reach = placedReach(info.reach, them.x, them.y, them.facingRight != 0);
        if (!info.reach.empty() && liveNow && overlaps(reach, body)) {
            if (cpu.threatKey != them.actionTick) {
                cpu.threatKey = them.actionTick;
                cpu.threatAnswer = chance(cpu, cpuGuardPercent(cpu.level)) ? 1 : 0;
            }
            if (cpu.threatAnswer != 1) return false;
            bits = static_cast<uint8_t>(away | (info.guard == guardLow ? inputDown : 0));
            return true;
        }
    }
    const cpuSight& seen = at.seen;
    if (!seen.shot || (seen.shotRight != 0) != (at.me.x > seen.shotX)) return false;
    int gap = std::abs(seen.shotX - at.me.x);
    if (gap > kShotWatch) return false;
    // Shots are told from attacks by a key below -1.
    if (cpu.threatKey != -2 - seen.shotBorn) {
        cpu.threatKey = -2 - seen.shotBorn;
        cpu.threatAnswer = !chance(cpu, byLevel(cpu.level, 20, 90)) ? 0 : chance(cpu, 50) ? 1 : 2;
    }
    if (cpu.threatAnswer == 1) {
        bits = away;
        return true;
    }
    if (cpu.threatAnswer != 2) return false;
    // Where the shot is now, from its speed between two sights.
    const cpuSight& before = seenBefore(cpu, at.state.tick, 1);
    int speed = before.shot && before.shotBorn == seen.shotBorn ? std::abs(seen.shotX - before.shotX) : 0;
    int now = gap - speed * (at.state.tick - seen.tick);
    // One jump falls before a shot has passed: a second one at the top.
    if (!at.me.grounded) {
        bits = at.me.ySpeed <= 0 && at.me.airActions > 0 ? inputUp : 0;
        return true;
    }
    bits = now <= kJumpLead ? inputUp : 0;
    return true;
}

uint8_t decide(cpuPlayer& cpu, const matchState& state, const matchContent& content) {
    const fighterState& me = state.fighters[cpu.side];
    if (state.round.phase != phaseFight || me.knockedOut) {
        cpu.planLength = cpu.planAt = 0;
        return 0;
    }
    // Nothing seen a reaction time ago yet: nothing to answer.
    if (state.tick - cpuDelayTicks(cpu.level) < cpu.firstTick) return 0;
    const cpuSight& seen = seenBefore(cpu, state.tick, 0);
    const cpuFighterSight& them = seen.fighters[1 - cpu.side];
    cpuView at{state, content, me, seen, them, them.x != me.x ? them.x > me.x : me.facingRight != 0};
    bool held = fighterHeld(me, state.tick);
    // A hit breaks off the typing.
    if (held) cpu.planLength = cpu.planAt = 0;
    if (cpu.planAt < cpu.planLength) return cpu.plan[cpu.planAt++];
    const int level = cpu.level;
    // Its own move landed (a player knows what it does): a stronger CPU
    // strikes again at once, while they still reel.
    if (me.move >= 0 && (me.hitMask & (1 << (1 - cpu.side))) && cpu.followKey != me.actionTick) {
        cpu.followKey = me.actionTick;
        cpu.followUp = chance(cpu, byLevelSteep(level, 5, 95));
    }
    uint8_t bits = 0;
    if (answerThreat(cpu, at, bits)) return bits;
    if (held || me.move >= 0) return 0;
    if (cpu.followUp) {
        cpu.followUp = 0;
        if (me.grounded && attack(cpu, at, false)) return cpu.plan[cpu.planAt++];
    }
    if (!me.grounded) {
        bool strike = me.airActions > 0 && chance(cpu, byLevel(level, 12, 40)) && attack(cpu, at, false);
        return strike ? cpu.plan[cpu.planAt++] : 0;
    }
    // Their move spent, or them reeling: the time to strike.
    bool opening = them.reeling;
    if (them.move >= 0 && them.move < static_cast<int>(cpu.moves[1 - cpu.side].size())) {
        const cpuMoveInfo& theirs = cpu.moves[1 - cpu.side][static_cast<size_t>(them.move)];
        int elapsed = state.tick - them.actionTick;
        opening = opening || (elapsed > theirs.liveEnd && elapsed < theirs.ticks);
    }
    // Guarding ahead of an attack that may come.
    uint8_t away = wayBit(!at.themRight, me);
    if (state.tick < cpu.guardUntil) return static_cast<uint8_t>(away | (cpu.guardLow ? inputDown : 0));
    int eager = opening ? byLevelSteep(level, 30, 90) : byLevel(level, 8, 25);
    if (chance(cpu, eager) && attack(cpu, at, false)) return cpu.plan[cpu.planAt++];
    int distance = std::abs(them.x - me.x);
    // Within their reach, free to strike: now and then it guards first.
    matchBox body = bodyBox(content, cpu.side, me);
    bool inTheirReach = overlaps(placedReach(cpu.reach[1 - cpu.side], them.x, them.y, !at.themRight), body);
    if (inTheirReach && them.move < 0 && !them.reeling && chance(cpu, cpuGuardPercent(level) / 5)) {
        cpu.guardUntil = state.tick + 8 + below(cpu, 16);
        cpu.guardLow = them.grounded && chance(cpu, 35);
        return static_cast<uint8_t>(away | (cpu.guardLow ? inputDown : 0));
    }
    bool shotFlying = false;
    for (int i = 0; i < state.particleCount; ++i)
        shotFlying |= state.particles[i].owner == cpu.side && cpu.shots[static_cast<size_t>(state.particles[i].def)];
    if (distance > kShotDistance && !shotFlying && chance(cpu, byLevel(level, 2, 5)) && attack(cpu, at, true))
        return cpu.plan[cpu.planAt++];
    if (chance(cpu, 1) && distance < kShotDistance) return inputUp;
    if (state.tick >= cpu.intentUntil) {
        int roll = below(cpu, 100);
        cpu.intent = roll < 55 ? 1 : roll < 80 ? 2 : 0;
        cpu.intentUntil = state.tick + 20 + below(cpu, 50);
    }
    if (cpu.intent == 1) return distance > 90 ? wayBit(at.themRight, me) : 0;
    if (cpu.intent == 2) return distance < 360 ? wayBit(!at.themRight, me) : 0;
    return 0;
}
}  // namespace

int cpuDelayTicks(int level) { return byLevel(level, kSlowestReaction, kFastestReaction); }

int cpuGuardPercent(int level) { return byLevel(level, 10, 85); }

cpuPlayer makeCpu(int side, int level, uint32_t seed) {
    cpuPlayer cpu;
    cpu.side = side;
    cpu.level = levelOf(level);
    cpu.seed = seed;
    // Spread the seed over the bits; xorshift never leaves zero.
    cpu.random = (seed + static_cast<uint32_t>(side) + 1u) * 2654435761u;
    if (cpu.random == 0) cpu.random = 1;
    return cpu;
}

uint8_t cpuInput(cpuPlayer& cpu, const matchState& state, const matchContent& content) {
    learn(cpu, content);
    remember(cpu, state, content);
    cpu.lastBits = decide(cpu, state, content);
    return cpu.lastBits;
}
