#include "shell/matchSession.h"

#include <cstdio>

#include "commands/inputChecker.h"
#include "data/soundSet.h"
#include "shell/scene.h"
#include "sprites/sceneGeometry.h"

namespace {
// The start launch of the scene: a fireball from the screen's corner.
const char* kStartLaunch = "fireball1 80 80";

// Each side's character: the player's, and the partner's own when loaded.
void sourcesOf(const sceneContent& c, characterSource (&sides)[kSides]) {
    bool ownAnims = !c.partnerAnims.anims.empty();
    bool ownMoves = !c.partnerMoves.moves.empty();
    sides[0] = characterSource{"Burn", &c.anims, &c.moves};
    sides[1] = characterSource{ownAnims ? "Dummy" : "Burn", ownAnims ? &c.partnerAnims : &c.anims,
                               ownMoves ? &c.partnerMoves : &c.moves};
}

matchStart startPlaces() {
    matchStart at;
    at.x[0] = kPlayerX;
    at.x[1] = kPartnerX;
    at.y = kGroundLevel;
    return at;
}

void forget(puppet& shown) {
    shown.sprite.drawn = 0;
    shown.sprite.base = nullptr;
    shown.initedFor = nullptr;
}
}  // namespace

void holdStance(playerControl& partner, partnerStance stance, const fighterState& fighter, int tick) {
    playedKey down;
    down.action = padAction::down;
    down.pressed = stance == partnerStance::crouch;
    // Pressed once, as a player holds the key.
    if (((partner.playedHolds & actionBit(padAction::down)) != 0) != down.pressed) partner.play(down);
    // A move or a hit plays out first; a jump comes down before the next.
    if (stance != partnerStance::jump || fighter.move >= 0 || fighterHeld(fighter, tick) || !fighter.grounded) return;
    if (!(fighter.held & inputUp)) partner.pressed |= actionBit(padAction::up);
}

void matchSession::start(gameScene& scene, Uint32 now) {
    characterSource sides[kSides];
    sourcesOf(scene.content, sides);
    content = buildMatchContent(sides, scene.content.defs, scene.content.sounds.get(), kStartLaunch);
    pictures = picturesOf(sides, scene.content.defs);
    state = startMatch(content, startPlaces());
    partnerInput.init(scene.screen);
    lastTickAt = now;
    screen = scene.screen;
    changes = &scene.screenChanges;
    fighters.resize(kSides);
}

void matchSession::contentChanged(gameScene& scene) {
    characterSource sides[kSides];
    sourcesOf(scene.content, sides);
    content = buildMatchContent(sides, scene.content.defs, scene.content.sounds.get(), kStartLaunch);
    pictures = picturesOf(sides, scene.content.defs);
    // The old sets are going: nothing may point at them, and the background is painted anew.
    for (puppet& shown : fighters) forget(shown);
    for (puppet& shown : particles) forget(shown);
    particlesDrawn = 0;
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
    matchStart at = startPlaces();
    at.launchStart = false;
    matchState fresh = startMatch(content, at);
    fresh.tick = state.tick;
    for (fighterState& fighter : fresh.fighters) fighter.actionTick = state.tick;
    fresh.panel = state.panel;
    fresh.panel.comboHits = 0;
    fresh.panel.comboDamage = 0;
    fresh.panel.damageTaken = 0;
    state = fresh;
    syncStates.clear();
    syncInputs.clear();
    (void)scene;
}

uint8_t matchSession::bitsOf(playerControl& control, int side) {
    auto on = [&control](padAction action) {
        return control.holds(action) || (control.pressed & actionBit(action)) != 0;
    };
    bool right = state.fighters[side].facingRight != 0;
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
        // the partner's keys due by this tick: its playback, or its stance
        const fighterState& partner = state.fighters[1];
        trainingTools& trainer = scene.trainer;
        if (trainer.playback.playing) {
            for (const playedKey& key : trainer.playback.due(static_cast<int>(at), partner.facingRight != 0))
                partnerInput.play(key);
        } else {
            holdStance(partnerInput, trainer.stance, partner, state.tick + 1);
        }
        uint8_t inputs[kSides] = {bitsOf(scene.control, 0), bitsOf(partnerInput, 1)};
        // A press counts in one tick: a tap inside one pass still presses.
        scene.control.pressed = 0;
        partnerInput.pressed = 0;
        stepOnce(scene, inputs);
        noteCommands(scene, at);
        lastTickAt = at;
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
    for (const soundCue& cue : events.sounds)
        if (scene.content.sounds && cue.sound >= 0 && cue.sound < static_cast<int>(content.sounds.size()))
            scene.content.sounds->Play(content.sounds[static_cast<size_t>(cue.sound)], -1);
    for (const std::string& line : events.lines) std::printf("%s\n", line.c_str());
    events.clear();
}

void matchSession::restore() {
    for (puppet& shown : fighters) shown.sprite.clearBG();
    for (int i = 0; i < particlesDrawn; ++i) particles[static_cast<size_t>(i)].sprite.clearBG();
}

void matchSession::place(puppet& shown, const CSpriteBase* set, int frame, int x, int y) {
    CSprite& sprite = shown.sprite;
    sprite.screen = screen;
    sprite.changes = changes;
    if (set != shown.initedFor) {
        sprite.init(const_cast<CSpriteBase*>(set), sprite.screen);
        shown.initedFor = set;
    }
    // The state says which frame shows: the sprite never advances one itself.
    sprite.animating = 0;
    sprite.base = const_cast<CSpriteBase*>(set);
    sprite.frame = frame;
    sprite.x = x;
    sprite.y = y;
}

void matchSession::save() {
    for (int side = 0; side < kSides; ++side) {
        const fighterState& fighter = state.fighters[side];
        const CSpriteBase* set = pictures.shownBy(content, side, fighter);
        const frameRecord* record = content.frameOf(shownRun(content, side, fighter), fighter.frame);
        int f = fighter.facingRight;
        int x = record ? fighter.x - record->anchorX[f] : fighter.x;
        int y = record ? fighter.y - record->anchorY : fighter.y;
        place(fighters[static_cast<size_t>(side)], set, fighter.frame, x, y);
        fighters[static_cast<size_t>(side)].sprite.updateBG();
    }
    while (static_cast<int>(particles.size()) < state.particleCount) particles.emplace_back();
    for (int i = 0; i < state.particleCount; ++i) {
        const particleState& part = state.particles[i];
        size_t def = static_cast<size_t>(part.def);
        const CSpriteBase* set = def < pictures.particles.size() ? pictures.particles[def] : nullptr;
        puppet& shown = particles[static_cast<size_t>(i)];
        place(shown, set, part.frame, part.x, part.y);
        shown.sprite.updateBG();
    }
    particlesDrawn = state.particleCount;
}

void matchSession::draw(bool boxes) {
    for (int side = 0; side < kSides; ++side)
        fighters[static_cast<size_t>(side)].sprite.drawD(state.fighters[side].facingRight != 0);
    for (int i = 0; i < particlesDrawn; ++i)
        particles[static_cast<size_t>(i)].sprite.drawD(state.particles[i].facingRight != 0);
    if (!boxes) return;
    for (int side = 0; side < kSides; ++side) {
        const fighterState& fighter = state.fighters[side];
        CSprite& sprite = fighters[static_cast<size_t>(side)].sprite;
        if (!sprite.currentRecord() || !sprite.screen) continue;
        auto fill = [&sprite](const matchBox& box, Uint32 pixel) {
            if (box.empty()) return;
            SDL_Rect rect = makeRect(box.left, box.top, box.right - box.left, box.bottom - box.top);
            if (sprite.changes) sprite.changes->add(rect);
            SDL_FillRect(sprite.screen, &rect, pixel);
        };
        fill(bodyBox(content, side, fighter), kCollisionBoxColour);
        fill(matchBox{fighter.x - 2, fighter.y - 2, fighter.x + 2, fighter.y}, kAnchorMarkColour);
        fill(hitBoxOf(content, side, fighter), kHitBoxColour);
    }
    for (int i = 0; i < particlesDrawn; ++i) particles[static_cast<size_t>(i)].sprite.drawColBoxes();
}

