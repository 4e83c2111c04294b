#include "shell/hits.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "shell/scene.h"
#include "sprites/clock.h"

namespace {
// The particle definition launched where a hit lands, and the sound played.
const char* kSparkName = "hitspark";
const char* kHitSound = "hit";

// Which way `defender` slides from `attacker`: away from it, or the way
// the attacker faces when they stand on one spot.
bool awayFrom(const Fighter& attacker, const Fighter& defender) {
    return defender.x != attacker.x ? defender.x > attacker.x : attacker.dir;
}
}  // namespace

std::vector<std::string> hitEventsOn(gameScene& o, particle& part, Fighter& fighter) {
    std::vector<std::string> raised;
    if (&fighter == part.owner) return raised;
    auto raise = [&](bool applies, const char* name) {
        if (applies && part.launches(name)) raised.push_back(name);
    };
    raise(&fighter == &o.player(), "OnHitPlayer");
    raise(true, "OnHitEnemy");
    raise(&fighter == o.target.target, "OnHitTarget");
    return raised;
}

bool fighterHits(gameScene& o, Fighter& attacker, Fighter& defender, int now) {
    if (!attacker.currentMove) return false;
    std::vector<const Fighter*>& struck = attacker.hitThisMove;
    if (std::find(struck.begin(), struck.end(), &defender) != struck.end()) return false;
    screenBox hit = attacker.hitBox();
    screenBox body = defender.collisionBox();
    if (!boxesOverlap(hit, body)) return false;
    struck.push_back(&defender);
    std::printf("hit: %s, damage %d\n", attacker.action.c_str(), attacker.currentMove->hit.damage);
    landHit(o, attacker.currentMove->hit, &attacker, true, defender, overlapOf(hit, body),
            awayFrom(attacker, defender), now);
    return true;
}

bool particleHits(gameScene& o, particle& part, Fighter& fighter, int now) {
    if (part.dead || !part.info) return false;
    screenBox box = part.collisionBox();
    screenBox body = fighter.collisionBox();
    if (!boxesOverlap(box, body)) return false;
    std::vector<std::string> raised = hitEventsOn(o, part, fighter);
    // A particle with nothing to launch on a hit flies through.
    if (raised.empty()) return false;
    part.hitEvents = raised;
    part.dead = true;
    // A hit is not a death: OnDeath stays unlaunched. The image goes at once.
    if (part.canDraw()) {
        part.sprite.clearBG();
        part.sprite.updateBG();
    }
    std::string names;
    for (const std::string& name : raised) names += " " + name;
    std::printf("particle hit:%s, damage %d\n", names.c_str(), part.info->hit.damage);
    landHit(o, part.info->hit, part.owner, false, fighter, overlapOf(box, body), part.dir, now);
    return true;
}

void landHit(gameScene& o, const hitData& hit, Fighter* attacker, bool attackerFreezes, Fighter& defender,
             const screenBox& overlap, bool awayRight, int now) {
    bool combo = defender.reeling;
    defender.takeHit(hit, now, awayRight, attacker);
    if (attacker && attackerFreezes) attacker->freeze(now, hit.hitstop);
    int defenderFree = now + hit.hitstop + hit.hitstun;
    int attackerFree = now + (attacker ? attacker->busyFor(now) : 0);
    // The panel tells of the player's hits on the partner.
    if (&defender != &o.player()) o.panel.recordHit(hit.damage, combo, defenderFree - attackerFree, now);

    if (o.content.defs.quietFind(kSparkName)) {
        int cx = (overlap.left + overlap.right) / 2;
        int cy = (overlap.top + overlap.bottom) / 2;
        o.pList.addParticle(std::string(kSparkName) + " " + std::to_string(cx) + " " + std::to_string(cy),
                            nullptr, nullptr, &o.content.defs, o.screen, now);
    }
    if (o.content.sounds && o.content.sounds->holds(kHitSound)) o.content.sounds->Play(kHitSound, -1);
}

void stepHits(gameScene& o) {
    int now = static_cast<int>(clockTicks());
    for (Fighter& fighter : o.fighters) fighter.reactStep(now);
    o.panel.forget(now);

    for (Fighter& attacker : o.fighters)
        for (Fighter& defender : o.fighters)
            if (&attacker != &defender) fighterHits(o, attacker, defender, now);

    // The bodies once, then each particle's box once against them: a step
    // may test a thousand particles.
    std::vector<screenBox> bodies;
    for (Fighter& fighter : o.fighters) bodies.push_back(fighter.collisionBox());
    bool struck = false;
    for (partNode* node = o.pList.head; node; node = node->next) {
        particle& part = *node->part;
        if (part.dead) continue;
        screenBox box = part.collisionBox();
        if (box.empty()) continue;
        size_t at = 0;
        for (Fighter& fighter : o.fighters) {
            const screenBox& body = bodies[at++];
            bool touches = &fighter != part.owner && boxesOverlap(box, body);
            if (touches && particleHits(o, part, fighter, now)) {
                struck = true;
                break;
            }
        }
    }
    // The particles that hit launch their events' entries and go.
    if (struck) o.pList.removeDead();
}
