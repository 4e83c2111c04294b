#include "shell/matchSession.h"

#include <cstdio>

#include "commands/inputChecker.h"
#include "data/soundSet.h"
#include "shell/netGame.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"

namespace {
// The start launch of the scene: a fireball from the screen's corner.
const char* kStartLaunch = "fireball1 80 80";

// Each side's character: the player's, and the partner's own when loaded.
void sourcesOf(const sceneContent& c, characterSource (&sides)[kSides]) {
    bool ownAnims = !c.partnerAnims.anims.empty();
    bool ownMoves = !c.partnerMoves.moves.empty();
    const std::string* names = c.cast.names;
    sides[0] = characterSource{names[0].c_str(), &c.anims, &c.moves, c.health[0]};
    sides[1] = characterSource{(ownAnims ? names[1] : names[0]).c_str(), ownAnims ? &c.partnerAnims : &c.anims,
                               ownMoves ? &c.partnerMoves : &c.moves, c.health[1]};
}

// Where a match starts; in versus nothing flies from the corner.
matchStart startPlaces(const gameScene& scene) {
    matchStart at;
    at.x[0] = kPlayerX;
    at.x[1] = kPartnerX;
    at.y = kGroundLevel;
    at.launchStart = !scene.versus.versus;
    return at;
}

// Holds `action` down or lets it go; pressed once, as a player holds a key.
void holdAction(playerControl& partner, padAction action, bool wanted) {
    if (((partner.playedHolds & actionBit(action)) != 0) == wanted) return;
    playedKey key;
    key.action = action;
    key.pressed = wanted;
    partner.play(key);
}
}  // namespace

void holdStance(playerControl& partner, partnerStance stance, const fighterState& fighter, int tick) {
    holdAction(partner, padAction::down, stance == partnerStance::crouch);
    // Back is away from the way it faces, so it changes sides when the partner turns.
    padAction back = fighter.facingRight ? padAction::left : padAction::right;
    bool guard = stance == partnerStance::guard;
    holdAction(partner, padAction::left, guard && back == padAction::left);
    holdAction(partner, padAction::right, guard && back == padAction::right);
    // A move or a hit plays out first; a jump comes down before the next.
    if (stance != partnerStance::jump || fighter.move >= 0 || fighterHeld(fighter, tick) || !fighter.grounded) return;
    if (!(fighter.held & inputUp)) partner.pressed |= actionBit(padAction::up);
}

void matchSession::build(gameScene& scene) {
    characterSource sides[kSides];
    sourcesOf(scene.content, sides);
    const versusSetup& versus = scene.versus;
    content = buildMatchContent(sides, scene.content.defs, scene.content.sounds.get(),
                                versus.versus ? "" : kStartLaunch);
    content.rules.versus = versus.versus;
    if (versus.versus) content.rules.roundTicks = versus.roundTicks();
    view.pictures = picturesOf(sides, scene.content.defs);
}

void matchSession::start(gameScene& scene, Uint32 now) {
    build(scene);
    view.init(scene.screen, &scene.screenChanges);
    hud.init(scene.screen, &scene.screenChanges);
    state = startMatch(content, startPlaces(scene));
    partnerInput.init(scene.screen);
    inputs[0] = &scene.control;
    const versusSetup& versus = scene.versus;
    if (versus.versus) {
        // Player 2: the p2 keys and the second pad, heard from the events player 1's control takes.
        partnerInput.bindings = &scene.secondBindings;
        partnerInput.joystick.device = 1;
        scene.control.alsoHears = &partnerInput;
        cpuPlays = versus.cpuLevel > 0;
        if (cpuPlays) cpu = makeCpu(1, versus.cpuLevel, versus.seed);
    }
    lastTickAt = now;
}

void matchSession::contentChanged(gameScene& scene) {
    build(scene);
    view.forgetPictures();
    for (int side = 0; side < kSides; ++side) {
        fighterState& fighter = state.fighters[side];
        fighter.move = -1;
        fighter.pose = fighter.grounded ? poseStanding : poseInAir;
        fighter.frame = 0;
        fighter.frameMs = 0;
        state.commands[side] = commandBuffer{};
    }
    for (int i = 0; i < state.particleCount; ++i) state.particles[i] = particleState{};
    state.particleCount = 0;
    syncStates.clear();
    syncInputs.clear();
}

void matchSession::reset(gameScene& scene) {
    matchStart at = startPlaces(scene);
    at.launchStart = false;
    matchState fresh = startMatch(content, at);
    fresh.tick = state.tick;
    // In versus the match starts anew: "Round 1" and its wait from now.
    if (scene.versus.versus) fresh.round.phaseTick = state.tick;
    for (fighterState& fighter : fresh.fighters) fighter.actionTick = state.tick;
    fresh.panel = state.panel;
    fresh.panel.comboHits = 0;
    fresh.panel.comboDamage = 0;
    fresh.panel.damageTaken = 0;
    state = fresh;
    syncStates.clear();
    syncInputs.clear();
}

uint8_t matchSession::bitsOf(playerControl& control, int side, const matchState& seen) {
    auto on = [&control](padAction action) {
        return control.holds(action) || (control.pressed & actionBit(action)) != 0;
    };
    bool right = seen.fighters[side].facingRight != 0;
    uint8_t bits = 0;
    if (on(padAction::up)) bits |= inputUp;
    if (on(padAction::down)) bits |= inputDown;
    if (on(padAction::right)) bits |= right ? inputForward : inputBack;
    if (on(padAction::left)) bits |= right ? inputBack : inputForward;
    if (on(padAction::buttonA)) bits |= inputA;
    if (on(padAction::buttonB)) bits |= inputB;
    if (on(padAction::buttonC)) bits |= inputC;
    return bits;
}

void matchSession::runTicks(gameScene& scene, Uint32 now) {
    // A clock that went back starts counting again from now.
    if (now < lastTickAt) lastTickAt = now;
    Uint32 due = (now - lastTickAt) / kTickMs;
    if (due > kMaxTicksPerPass) {
        if (!dropSaid)
            std::printf("The game fell behind the clock: a pass runs at most %d ticks, the rest is dropped\n",
                        kMaxTicksPerPass);
        dropSaid = true;
        lastTickAt += (due - kMaxTicksPerPass) * kTickMs;
        due = kMaxTicksPerPass;
    }
    for (Uint32 i = 0; i < due; ++i) {
        Uint32 at = lastTickAt + kTickMs;
        if (shownNet()) {
            runNetTick(at);
            lastTickAt = at;
            continue;
        }
        if (scene.training) partnerDue(scene, at);
        uint8_t bits[kSides];
        for (int side = 0; side < kSides; ++side) {
            bits[side] = bitsOf(*inputs[side], side, state);
            // A press counts in one tick: a tap inside one pass still presses.
            inputs[side]->pressed = 0;
        }
        // The CPU sees the state, never the other side's keys; player 2's keys go unheard.
        if (cpuPlays) bits[1] = cpuInput(cpu, state, content);
        stepOnce(scene, bits);
        noteCommands(scene, at);
        lastTickAt = at;
    }
}

void matchSession::playOverNet(netSession& session, int side, playerControl& control) {
    net[side] = &session;
    inputs[side] = &control;
    session.startMatch(content, state);
}

bool matchSession::netEnded() const {
    // A pair here goes on until both sides have said goodbye.
    for (const netSession* side : net)
        if (side && side->ended() == netEnd::none) return false;
    return true;
}

void matchSession::runNetTick(Uint32 at) {
    for (int side = 0; side < kSides; ++side) {
        if (!net[side] || net[side]->next(at, netEvents[side]) != netTick::played) continue;
        // Bits made from what this side sees; a press waits in its control until a tick takes it.
        const matchState& seen = net[side]->match().state();
        bool byCpu = side == 0 ? firstCpuPlays : cpuPlays;
        uint8_t bits = byCpu ? cpuInput(side == 0 ? firstCpu : cpu, seen, content) : bitsOf(*inputs[side], side, seen);
        inputs[side]->pressed = 0;
        net[side]->play(bits, netEvents[side], at);
    }
    state = shownNet()->match().state();
}

bool matchSession::netEndShown(Uint32 now) {
    const netSession* session = shownNet();
    // What ended here, or ended alike on both sides, goes at once.
    if (!session || session->ended() == netEnd::left || session->ended() == netEnd::finished ||
        session->endLines().empty())
        return true;
    if (netEndSince == 0) {
        hud.notice = screenWords(session->endLines().front());
        netEndSince = now == 0 ? 1 : now;
    }
    return now - netEndSince >= kNetEndShownMs;
}

void matchSession::partnerDue(gameScene& scene, Uint32 at) {
    // the partner's keys due by this tick: its playback, or its stance
    const fighterState& partner = state.fighters[1];
    trainingTools& trainer = scene.trainer;
    if (trainer.playback.playing) {
        for (const playedKey& key : trainer.playback.due(static_cast<int>(at), partner.facingRight != 0))
            partnerInput.play(key);
    } else {
        holdStance(partnerInput, trainer.stance, partner, state.tick + 1);
    }
}

void matchSession::stepOnce(gameScene& scene, const uint8_t inputs[kSides]) {
    (void)scene;
    if (syncDepth > 0) {
        syncStates.push_back(state);
        syncInputs.push_back(std::vector<uint8_t>(inputs, inputs + kSides));
    }
    stepMatch(state, content, inputs, events);
    if (syncDepth > 0 && static_cast<int>(syncStates.size()) >= syncDepth) syncCheck(inputs);
}

void matchSession::syncCheck(const uint8_t[kSides]) {
    // The state of syncDepth ticks back, stepped again with the same inputs.
    matchState again = syncStates.front();
    tickEvents unheard;
    for (const std::vector<uint8_t>& inputs : syncInputs) stepMatch(again, content, inputs.data(), unheard);
    ++syncChecks;
    if (syncFailure.empty() && matchChecksum(again) != matchChecksum(state)) {
        std::string field = firstDifference(state, again);
        syncFailure = "tick " + std::to_string(state.tick) + ": " + (field.empty() ? "the checksums differ" : field);
    }
    syncStates.pop_front();
    syncInputs.pop_front();
}

void matchSession::noteCommands(gameScene& scene, Uint32 at) {
    inputChecker* journal = scene.checker.get();
    if (journal && journal->journalOn) {
        for (const commandNote& note : events.notes) {
            if (note.side != 0) continue;
            journalEntry entry;
            entry.time = static_cast<int>(at);
            entry.key = static_cast<char>(note.key);
            entry.button = static_cast<char>(note.button);
            entry.keys = note.keys;
            for (size_t i = 0; i < note.moves.size(); ++i) {
                size_t index = static_cast<size_t>(note.moves[i]);
                if (index >= scene.content.moves.moves.size()) continue;
                const moveInfo& move = scene.content.moves.moves[index];
                moveVerdict said;
                said.name = move.name;
                said.command = move.command;
                said.condition = move.condition;
                said.outcome = static_cast<verdict>(note.verdicts[i]);
                if (said.outcome == verdict::recognised)
                    said.timing = frameDataOf(move.animation, kFighterSpeed, kTickMs);
                entry.verdicts.push_back(said);
            }
            journal->remember(entry);
        }
    }
    events.notes.clear();
}

void matchSession::playEvents(gameScene& scene) {
    if (shownNet()) {
        int shownSide = net[0] ? 0 : 1;
        for (const lateSound& sound : netEvents[shownSide].sounds) {
            const soundCue& cue = sound.cue;
            if (scene.content.sounds && cue.sound >= 0 && cue.sound < static_cast<int>(content.sounds.size()))
                scene.content.sounds->PlayFrom(content.sounds[static_cast<size_t>(cue.sound)], sound.lateMs);
        }
        for (const std::string& line : netEvents[shownSide].lines) std::printf("%s\n", line.c_str());
        for (int side = 0; side < kSides; ++side) {
            netLines[side].insert(netLines[side].end(), netEvents[side].lines.begin(), netEvents[side].lines.end());
            netEvents[side].clear();
        }
        return;
    }
    for (const soundCue& cue : events.sounds)
        if (scene.content.sounds && cue.sound >= 0 && cue.sound < static_cast<int>(content.sounds.size()))
            scene.content.sounds->Play(content.sounds[static_cast<size_t>(cue.sound)], -1);
    for (const std::string& line : events.lines) std::printf("%s\n", line.c_str());
    events.clear();
}

