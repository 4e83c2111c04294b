// The particles room: definitions, live particles and the list that steps,
// draws and removes them. This file: one live particle.
#include "particle.h"

#include <cstdio>
#include <vector>

#include "fighter/Fighter.h"
#include "particles/partInfoList.h"
#include "particles/particleInfo.h"
#include "sprites/clock.h"
#include "data/textFile.h"
#include "sprites/sceneGeometry.h"

namespace {
// Fall per movement step, in pixels.
const int kGravitySpeed = 2;

// How far past the side limits a particle may fly before it is dropped.
const int kOffScreenMargin = 80;

// Spawn points stay within this many pixels of the origin: far enough out
// that the particle is dropped at its first update, near enough that huge
// offsets in the data can't overflow the position arithmetic.
const long long kSpawnLimit = 1 << 20;

int clampSpawn(long long value) {
    if (value < -kSpawnLimit) return static_cast<int>(-kSpawnLimit);
    if (value > kSpawnLimit) return static_cast<int>(kSpawnLimit);
    return static_cast<int>(value);
}
}  // namespace

bool particle::canDraw() const { return info && info->drawable(); }

void particle::place(std::string spec, CSprite* parent, partInfoList* defs, SDL_Surface* screen, int time) {
    partInfo = defs;
    this->screen = screen;
    this->parent = parent;
    startTime = time;

    // Name, x offset, y offset; further words are ignored.
    std::vector<std::string> words = splitWords(spec, 3);
    for (size_t i = 0; i < words.size(); ++i) std::printf("BIT[%d]: %s\n", static_cast<int>(i), words[i].c_str());

    std::string name = words.empty() ? std::string() : words[0];
    if (defs) {
        info = defs->findParticle(name);
    } else {
        std::printf("not success\n");
        info = nullptr;
    }
    if (!info) {
        // Nothing to show or to follow: the particle is finished at once.
        dead = true;
        this->parent = nullptr;
        return;
    }
    if (canDraw()) sprite.init(info->base, screen);

    startX = 0;
    startY = 0;
    if (words.size() > 1) scanInt(words[1], startX);
    if (words.size() > 2) scanInt(words[2], startY);

    // A fighter's spawn offset points up, a sprite's points down; both are
    // mirrored by the facing.
    long long spawnX = startX;
    long long spawnY = startY;
    if (owner) {
        spawnX = dir ? owner->x + spawnX : owner->x - spawnX;
        spawnY = owner->y - spawnY;
    }
    if (parent) {
        spawnX = dir ? parent->x + spawnX : parent->x - spawnX;
        spawnY = parent->y + spawnY;
    }
    startX = clampSpawn(spawnX);
    startY = clampSpawn(spawnY);
    this->parent = nullptr;
    sprite.speed = 3.0f;

    if (canDraw()) {
        sprite.adjustPos(startX, startY, dir);
    } else if (info->lifeTime <= 0) {
        // Never shown, never leaving the screen, never ageing: it would stay forever.
        dead = true;
    } else {
        // No frames to place by: the anchor itself stands for the position.
        sprite.x = startX;
        sprite.y = startY;
    }
}

void particle::init(std::string spec, Fighter* owner, CSprite* parent, partInfoList* defs, SDL_Surface* screen,
                    int time) {
    this->owner = owner;
    dir = owner ? owner->dir : true;
    place(spec, parent, defs, screen, time);
}

void particle::initD(std::string spec, bool dir, CSprite* parent, partInfoList* defs, SDL_Surface* screen, int time) {
    this->dir = dir;
    place(spec, parent, defs, screen, time);
}

void particle::update() {
    if (!info) return;
    if (canDraw()) sprite.moveD(dir);
    if (info->gravity) gravity();

    if (sprite.x > kBoundaryXRight + kOffScreenMargin || sprite.x < kBoundaryXLeft - kOffScreenMargin) dead = true;

    long long now = clockTicks();
    if (info->lifeTime > 0 && static_cast<long long>(startTime) + info->lifeTime < now) {
        dead = true;
        if (!info->onDeath.empty() && info->onDeath[0] != "NULL") event = "OnDeath";
        // Dying of age wipes the image off the screen.
        if (canDraw()) {
            sprite.clearBG();
            sprite.updateBG();
        }
    }
}

void particle::gravity() {
    int h = canDraw() ? sprite.getYOffset(0) : 0;
    if (sprite.y + h > kGroundLevel - 1)
        sprite.y = kGroundLevel - h;
    else
        sprite.y += kGravitySpeed;
}

namespace {
const std::vector<std::string>* eventEntries(const particleInfo* info, const std::string& eventName) {
    if (!info) return nullptr;
    if (eventName == "OnDeath") return &info->onDeath;
    if (eventName == "OnHitPlayer") return &info->onHitPlayer;
    if (eventName == "OnHitEnemy") return &info->onHitEnemy;
    if (eventName == "OnHitTarget") return &info->onHitTarget;
    if (eventName == "OnHitAlly") return &info->onHitAlly;
    return nullptr;
}

int eventCount(const particleInfo* info, const std::string& eventName) {
    if (eventName == "OnDeath") return info->onDeathCount;
    if (eventName == "OnHitPlayer") return info->onHitPlayerCount;
    if (eventName == "OnHitEnemy") return info->onHitEnemyCount;
    if (eventName == "OnHitTarget") return info->onHitTargetCount;
    return info->onHitAllyCount;
}
}  // namespace

screenBox particle::collisionBox() {
    if (!canDraw()) return screenBox();
    return sprite.collisionBoxOnScreen(dir);
}

bool particle::launches(const std::string& eventName) {
    return getPartNum(eventName) > 0 && getNewPart(eventName, 0) != "NULL";
}

int particle::getPartNum(std::string eventName) {
    const std::vector<std::string>* entries = eventEntries(info, eventName);
    if (!entries) return 0;
    // Never more than the entries really held, whatever the count says.
    int count = eventCount(info, eventName);
    int held = static_cast<int>(entries->size());
    if (count < 0) return 0;
    return count < held ? count : held;
}

std::string particle::getNewPart(std::string eventName, int i) {
    const std::vector<std::string>* entries = eventEntries(info, eventName);
    if (eventName == "OnDeath" && info)
        std::printf("in here bad boy %s\n", info->onDeath.empty() ? "" : info->onDeath[0].c_str());
    if (!entries || i < 0 || i >= static_cast<int>(entries->size())) return "NULL";
    return (*entries)[static_cast<size_t>(i)];
}
