#include "benchScene.h"

#include <cstdlib>
#include <string>

#include "sprites/clock.h"
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
void addOnScreen(std::vector<SDL_Rect>& rects, pixelRect r, const SDL_Surface* screen) {
    pixelRect cut = clipRect(r, screen->w, screen->h);
    if (cut.w == 0) return;
    rects.push_back(makeRect(cut.x, cut.y, cut.w, cut.h));
}

// Where `sprite` saved the background last, when it has been drawn.
void addSaved(std::vector<SDL_Rect>& rects, const CSprite& sprite, const SDL_Surface* screen) {
    if (sprite.drawn != 1 || !sprite.bgSave) return;
    addOnScreen(rects, pixelRect{sprite.oldX, sprite.oldY, sprite.bgSave->w, sprite.bgSave->h}, screen);
}
}  // namespace

bool benchScene::start(std::string& why, loadPolicy& policy) {
    now = 1000;
    clockSet(now);
    startScene(objects, false, policy);
    if (!objects.screen) {
        why = "no display";
        return false;
    }
    if (!objects.content.back) {
        why = "the background did not load";
        return false;
    }
    if (!objects.player().canShow()) {
        why = "the fighter has no frames to show";
        return false;
    }
    if (!objects.content.defs.findParticle("fireball1")) {
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
        if (objects.player().grounded && liveParticles() == 0) return true;
    }
    return false;
}

void benchScene::launch(int count) {
    for (int i = 0; i < count; ++i) {
        std::string spec = particleName + " 80 " + std::to_string(40 + 40 * i);
        objects.pList.addParticle(spec, &objects.player(), nullptr, &objects.content.defs, objects.screen,
                                  static_cast<int>(now));
    }
}

int benchScene::keepParticles(int count) {
    // Dropped as the list drops the dead: no death launches, no drawing.
    for (partNode* node = objects.pList.head; node; node = node->next) {
        node->part->dead = true;
        node->part->event = "NULL";
    }
    objects.pList.removeDead();
    launch(count);
    int cell = 0;
    for (partNode* node = objects.pList.head; node; node = node->next, ++cell) {
        node->part->sprite.x = kGridLeft + kCellWidth * (cell % kGridColumns);
        node->part->sprite.y = kGridTop + kCellHeight * (cell / kGridColumns % kGridRows);
    }
    resync();
    return liveParticles();
}

void benchScene::resync() {
    DrawBG(objects);
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
    if (walking == SDLK_RIGHT && objects.player().x >= kWalkRightEnd) {
        walking = SDLK_LEFT;
        ++turns;
    } else if (walking == SDLK_LEFT && objects.player().x <= kWalkLeftEnd) {
        walking = SDLK_RIGHT;
        ++turns;
    }
    hold(walking == SDLK_RIGHT ? SDLK_LEFT : SDLK_RIGHT, false);
    hold(walking, true);
    keepFlying(now);
}

void benchScene::keepFlying(Uint32 ms) {
    // The fireballs neither age nor leave: carried back before the edge.
    for (partNode* node = objects.pList.head; node; node = node->next) {
        particle* part = node->part;
        part->startTime = static_cast<int>(ms);
        if (part->sprite.x > kParticleRightEnd) part->sprite.x -= kParticleWrap;
        if (part->sprite.x < kParticleLeftEnd) part->sprite.x += kParticleWrap;
    }
}

void benchScene::pass() {
    keepUp();
    int before = objects.player().x;
    runPass(objects);
    walked += std::abs(objects.player().x - before);
}

void benchScene::control() {
    objects.control.update();
    objects.control.inputChecking(&objects.event);
    objects.player().boundary();
}

void benchScene::repaintPass(bool bySdl) {
    keepUp();
    int before = objects.player().x;
    control();
    // the whole background, then the sprites over it
    if (bySdl) {
        SDL_Rect corner = {0, 0, 0, 0};
        SDL_BlitSurface(objects.content.back, nullptr, objects.screen, &corner);
    } else {
        DrawBG(objects);
    }
    DrawSprites(objects);
    // nothing is shown
    objects.screenChanges.clear();
    walked += std::abs(objects.player().x - before);
}

void benchScene::drawnPass() {
    keepUp();
    int before = objects.player().x;
    control();
    DrawSprites(objects);
    objects.screenChanges.prepare();
    walked += std::abs(objects.player().x - before);
}

void benchScene::showDrawn() {
    std::vector<SDL_Rect>& rects = objects.screenChanges.shown;
    if (!rects.empty()) SDL_UpdateRects(objects.screen, static_cast<int>(rects.size()), rects.data());
}

void benchScene::retime(Uint32 ms) {
    // Everything the scene timed by the clock starts again from `ms`.
    objects.control.lastUpdate = static_cast<int>(ms);
    objects.control.stepClock = 0.0f;
    objects.player().lastTick = static_cast<int>(ms);
    for (partNode* node = objects.pList.head; node; node = node->next) {
        node->part->sprite.lastTick = static_cast<int>(ms);
        node->part->startTime = static_cast<int>(ms);
    }
}

int benchScene::walkRealTime(int ms) {
    hold(SDLK_LEFT, false);
    objects.player().x = kWalkLeftEnd;
    Uint32 begin = SDL_GetTicks();
    clockUseSDL();
    retime(begin);
    int from = objects.player().x;
    while (SDL_GetTicks() - begin < static_cast<Uint32>(ms)) {
        hold(SDLK_RIGHT, true);
        keepFlying(SDL_GetTicks());
        runPass(objects);
    }
    hold(SDLK_RIGHT, false);
    int distance = objects.player().x - from;
    // The set clock goes on from where it was.
    clockSet(now);
    retime(now);
    walking = SDLK_LEFT;
    return distance;
}

void benchScene::changedRectsPass() {
    keepUp();
    int before = objects.player().x;
    control();
    // Where the sprites were: restored below.
    std::vector<SDL_Rect> rects = changedRects();
    DrawSprites(objects);
    // The new places, now saved: the same rectangles the next pass restores.
    std::vector<SDL_Rect> now = changedRects();
    rects.insert(rects.end(), now.begin(), now.end());
    SDL_UpdateRects(objects.screen, static_cast<int>(rects.size()), rects.data());
    // the game's own gathering is not shown here
    objects.screenChanges.clear();
    walked += std::abs(objects.player().x - before);
}

std::vector<SDL_Rect> benchScene::changedRects() const {
    std::vector<SDL_Rect> rects;
    addSaved(rects, objects.player(), objects.screen);
    for (partNode* node = objects.pList.head; node; node = node->next)
        if (node->part->canDraw()) addSaved(rects, node->part->sprite, objects.screen);
    return rects;
}

size_t benchScene::surfaceBytesHeld() const {
    size_t bytes = surfaceBytes(objects.screen) + surfaceBytes(objects.content.back) + surfaceBytes(objects.player().bgSave);
    for (const animInfo& anim : objects.content.anims.anims) bytes += frameSetBytes(anim.frameSet);
    for (const moveInfo& move : objects.content.moves.moves) bytes += frameSetBytes(move.animation);
    for (partInfoNode* node = objects.content.defs.head; node; node = node->next)
        if (node->info.base) bytes += frameSetBytes(*node->info.base);
    for (partNode* node = objects.pList.head; node; node = node->next) bytes += surfaceBytes(node->part->sprite.bgSave);
    return bytes;
}

int benchScene::framesHeld() const {
    int frames = 0;
    for (const animInfo& anim : objects.content.anims.anims) frames += anim.frameSet.numFrames;
    for (const moveInfo& move : objects.content.moves.moves) frames += move.animation.numFrames;
    for (partInfoNode* node = objects.content.defs.head; node; node = node->next)
        if (node->info.base) frames += node->info.base->numFrames;
    return frames;
}

bool benchScene::addTrainingPartner() {
    if (!objects.match) {
        loadPolicy policy = keepGoingPolicy();
        objects.training = true;
        loadContent(objects.content, partnerPart, objects.screen, policy);
        objects.panel.changes = &objects.screenChanges;
        objects.panel.init(objects.screen, true);
        objects.match.reset(new matchSession);
        objects.match->start(objects, clockTicks());
        resync();
    }
    const matchSession& match = *objects.match;
    return match.pictures.shownBy(match.content, 1, match.state.fighters[1]) != nullptr;
}

int benchScene::liveParticles() const { return objects.pList.size(); }

std::vector<pixelRect> benchScene::spriteRects() const {
    std::vector<pixelRect> rects;
    for (const Fighter& fighter : objects.fighters) {
        if (!fighter.canShow()) continue;
        pixelRect r;
        r.x = fighter.x - fighter.anchorOffsetX(fighter.dir);
        r.y = fighter.y - fighter.base->frames[fighter.frame].offsetY;
        r.w = fighter.base->width;
        r.h = fighter.base->height;
        rects.push_back(r);
    }
    // The training panel is restored, saved and drawn as a sprite is.
    if (objects.panel.shown) {
        SDL_Rect area = objects.panel.area();
        rects.push_back(pixelRect{area.x, area.y, area.w, area.h});
    }
    for (partNode* node = objects.pList.head; node; node = node->next) {
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
