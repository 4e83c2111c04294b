#pragma once
// Hits that land: once per movement step each fighter's live hit box is
// tested against every other fighter's collision box, and each live
// particle's collision box against every fighter but its owner.
#include <string>
#include <vector>

#include "data/hitData.h"
#include "sprites/CSprite.h"

struct gameScene;
class Fighter;
class particle;

// The hit events a particle raises on touching `fighter`, in the order
// raised, counting only those with something to launch: OnHitPlayer when it
// is the player's fighter, OnHitEnemy when it is not the particle's owner,
// OnHitTarget when it is the Target's. OnHitAlly needs a team beside the
// owner and is never raised one on one. None when `fighter` is its owner.
std::vector<std::string> hitEventsOn(gameScene& scene, particle& part, Fighter& fighter);

// True, once per start of its move, when `attacker`'s live hit box overlaps
// `defender`'s collision box; the hit then lands.
bool fighterHits(gameScene& scene, Fighter& attacker, Fighter& defender, int now);
// True when `part` touches `fighter` and raises at least one hit event: the
// hit lands, the events are noted for the spawn pass and the particle dies.
bool particleHits(gameScene& scene, particle& part, Fighter& fighter, int now);
// A hit of `hit` lands on `defender` at `now` where the boxes share
// `overlap`: the reaction, the attacker's freeze (when a fighter struck
// itself), the spark and the sound when the content has them, the panel.
// The defender slides toward larger x when `awayRight`.
void landHit(gameScene& scene, const hitData& hit, Fighter* attacker, bool attackerFreezes, Fighter& defender,
             const screenBox& overlap, bool awayRight, int now);
// One movement step of the hits: every reaction's step, then the fighters' hits and the particles' hits, the
// particles that hit being removed at once.
void stepHits(gameScene& scene);
