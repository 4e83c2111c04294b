#include "benchScene.h"

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "sprites/CSprite.h"

namespace {
// Game time allowed for landing and for the start-up particles to die.
const int kSettlePasses = 60000 / kBenchPassMs;
// Fireballs that fly past these x values are carried back across the screen.
const int kParticleLeftEnd = 20;
const int kParticleRightEnd = 720;
const int kParticleWrap = 600;
// The grid of keepParticles: columns and rows of fireball-sized cells.
const int kGridColumns = 14;
const int kGridRows = 17;
const int kCellWidth = 48;
const int kCellHeight = 32;
const int kGridLeft = 30;
const int kGridTop = 20;

// `r` cut to the screen, appended when something of it is left.
void addOnScreen(std::vector<SDL_Rect>& rects, pixelRect r) {
    pixelRect cut = clipRect(r, screen->w, screen->h);
    if (cut.w == 0) return;
    rects.push_back(makeRect(cut.x, cut.y, cut.w, cut.h));
}

// Where `sprite` saved the background last, when it has been drawn.
void addSaved(std::vector<SDL_Rect>& rects, const CSprite& sprite) {
    if (sprite.drawn != 1 || !sprite.bgSave) return;
    addOnScreen(rects, pixelRect{sprite.oldX, sprite.oldY, sprite.bgSave->w, sprite.bgSave->h});
}
}  // namespace

bool benchScene::start(std::string& why, const loadPolicy& policy) {
    now = 1000;
    clockSet(now);
    startScene(objects, false, policy);
    if (!screen) {
        why = "no display";
        return false;
    }
    if (!back) {
        why = "the background did not load";
        return false;
    }
    if (!vikings1.canShow()) {
        why = "the fighter has no frames to show";
        return false;
    }
    if (!objects.defs.findParticle("fireball1")) {
        why = "there is no \"fireball1\" particle definition";
        return false;
    }
    residentAtStart = residentNow();
    surfacesAtStart = surfaceBytesHeld();
    return true;
}

bool benchScene::settle() {
    hold(SDLK_LEFT, false);
    hold(SDLK_RIGHT, false);
    for (int i = 0; i < kSettlePasses; ++i) {
        now += kBenchPassMs;
        clockSet(now);
        runPass(objects);
        if (vikings1.grounded && liveParticles() == 0) return true;
    }
    return false;
}

void benchScene::launch(int count) {
    for (int i = 0; i < count; ++i) {
        std::string spec = "fireball1 80 " + std::to_string(40 + 40 * i);
        pList.addParticle(spec, &vikings1, nullptr, &objects.defs, screen, static_cast<int>(now));
    }
}

int benchScene::keepParticles(int count) {
    // Dropped as the list drops the dead: no death launches, no drawing.
    for (partNode* node = pList.head; node; node = node->next) {
        node->part->dead = true;
        node->part->event = "NULL";
    }
    pList.removeDead();
    launch(count);
    int cell = 0;
    for (partNode* node = pList.head; node; node = node->next, ++cell) {
        node->part->sprite.x = kGridLeft + kCellWidth * (cell % kGridColumns);
        node->part->sprite.y = kGridTop + kCellHeight * (cell / kGridColumns % kGridRows);
    }
    resync();
    return liveParticles();
}

void benchScene::resync() {
    DrawBG();
    for (int i = 0; i < 3; ++i) pass();
}

void benchScene::hold(SDLKey key, bool down) {
    Uint8* keys = SDL_GetKeyState(nullptr);
    keys[key] = down ? 1 : 0;
}

void benchScene::keepUp() {
    now += kBenchPassMs;
    clockSet(now);
    // Walk between the two ends, turning by the held arrow as a player would.
    if (walking == SDLK_RIGHT && vikings1.x >= kWalkRightEnd) {
        walking = SDLK_LEFT;
        ++turns;
    } else if (walking == SDLK_LEFT && vikings1.x <= kWalkLeftEnd) {
        walking = SDLK_RIGHT;
        ++turns;
    }
    hold(walking == SDLK_RIGHT ? SDLK_LEFT : SDLK_RIGHT, false);
    hold(walking, true);
    // The fireballs neither age nor leave: carried back before the edge.
    for (partNode* node = pList.head; node; node = node->next) {
        particle* part = node->part;
        part->startTime = static_cast<int>(now);
        if (part->sprite.x > kParticleRightEnd) part->sprite.x -= kParticleWrap;
        if (part->sprite.x < kParticleLeftEnd) part->sprite.x += kParticleWrap;
    }
}

void benchScene::pass() {
    keepUp();
    int before = vikings1.x;
    runPass(objects);
    walked += std::abs(vikings1.x - before);
}

void benchScene::control() {
    objects.control.update();
    objects.control.inputChecking(&objects.event);
    vikings1.boundary();
}

void benchScene::repaintPass(bool bySdl) {
    keepUp();
    int before = vikings1.x;
    control();
    // the whole background, then the sprites over it
    if (bySdl) {
        SDL_Rect corner = {0, 0, 0, 0};
        SDL_BlitSurface(back, nullptr, screen, &corner);
    } else {
        DrawBG();
    }
    DrawSprites();
    walked += std::abs(vikings1.x - before);
}

void benchScene::changedRectsPass() {
    keepUp();
    int before = vikings1.x;
    control();
    // Where the sprites were: restored below.
    std::vector<SDL_Rect> rects = changedRects();
    DrawSprites();
    // The new places, now saved: the same rectangles the next pass restores.
    std::vector<SDL_Rect> now = changedRects();
    rects.insert(rects.end(), now.begin(), now.end());
    SDL_UpdateRects(screen, static_cast<int>(rects.size()), rects.data());
    walked += std::abs(vikings1.x - before);
}

std::vector<SDL_Rect> benchScene::changedRects() const {
    std::vector<SDL_Rect> rects;
    addSaved(rects, vikings1);
    for (partNode* node = pList.head; node; node = node->next)
        if (node->part->canDraw()) addSaved(rects, node->part->sprite);
    return rects;
}

size_t benchScene::surfaceBytesHeld() const {
    size_t bytes = surfaceBytes(screen) + surfaceBytes(back) + surfaceBytes(vikings1.bgSave);
    for (const animInfo& anim : objects.anims.anims) bytes += frameSetBytes(anim.frameSet);
    for (const moveInfo& move : objects.moves.moves) bytes += frameSetBytes(move.animation);
    for (partInfoNode* node = objects.defs.head; node; node = node->next)
        if (node->info.base) bytes += frameSetBytes(*node->info.base);
    for (partNode* node = pList.head; node; node = node->next) bytes += surfaceBytes(node->part->sprite.bgSave);
    return bytes;
}

int benchScene::framesHeld() const {
    int frames = 0;
    for (const animInfo& anim : objects.anims.anims) frames += anim.frameSet.numFrames;
    for (const moveInfo& move : objects.moves.moves) frames += move.animation.numFrames;
    for (partInfoNode* node = objects.defs.head; node; node = node->next)
        if (node->info.base) frames += node->info.base->numFrames;
    return frames;
}

int benchScene::liveParticles() const { return pList.size(); }

std::vector<pixelRect> benchScene::spriteRects() const {
    std::vector<pixelRect> rects;
    if (vikings1.canShow()) {
        pixelRect r;
        r.x = vikings1.x - vikings1.anchorOffsetX(vikings1.dir);
        r.y = vikings1.y - vikings1.base->frames[vikings1.frame].offsetY;
        r.w = vikings1.base->width;
        r.h = vikings1.base->height;
        rects.push_back(r);
    }
    for (partNode* node = pList.head; node; node = node->next) {
        const CSprite& sprite = node->part->sprite;
        if (!sprite.base) continue;
        pixelRect r;
        r.x = sprite.x;
        r.y = sprite.y;
        r.w = sprite.base->width;
        r.h = sprite.base->height;
        rects.push_back(r);
    }
    return rects;
}
