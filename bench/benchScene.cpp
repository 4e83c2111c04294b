#include "benchScene.h"

#include <cstdlib>
#include <string>

#include "match/matchTick.h"
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

int cellX(int cell) { return kGridLeft + kCellWidth * (cell % kGridColumns); }
int cellY(int cell) { return kGridTop + kCellHeight * (cell / kGridColumns % kGridRows); }

// Carried back across the screen before it leaves.
int wrapped(int x) {
    if (x > kParticleRightEnd) return x - kParticleWrap;
    if (x < kParticleLeftEnd) return x + kParticleWrap;
    return x;
}

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

int fillPool(matchState& state, int def, int count) {
    for (particleState& part : state.particles) part = particleState{};
    state.particleCount = 0;
    // No definition: nothing flies.
    if (def < 0) return 0;
    for (int cell = 0; cell < count && cell < kParticlePool; ++cell) {
        particleState& part = state.particles[state.particleCount++];
        part.def = def;
        part.x = cellX(cell);
        part.y = cellY(cell);
        part.facingRight = 1;
        part.owner = 0;
        part.spared = -1;
        part.bornTick = state.tick;
    }
    return state.particleCount;
}

void keepFlying(matchState& state) {
    for (int i = 0; i < state.particleCount; ++i) {
        particleState& part = state.particles[i];
        part.bornTick = state.tick;
        part.x = wrapped(part.x);
    }
}

int particleIndex(const matchContent& content, const std::string& name) {
    for (size_t i = 0; i < content.particles.size(); ++i)
        if (content.particles[i].name == name) return static_cast<int>(i);
    return -1;
}

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
    if (objects.match) {
        matchSession& match = *objects.match;
        fillPool(match.state, particleIndex(match.content, particleName), count);
        resync();
        return liveParticles();
    }
    dropListParticles();
    launch(count);
    int cell = 0;
    for (partNode* node = objects.pList.head; node; node = node->next, ++cell) {
        node->part->sprite.x = cellX(cell);
        node->part->sprite.y = cellY(cell);
    }
    resync();
    return liveParticles();
}

void benchScene::dropListParticles() {
    // Dropped as the list drops the dead: no death launches, no drawing.
    for (partNode* node = objects.pList.head; node; node = node->next) {
        node->part->dead = true;
        node->part->event = "NULL";
    }
    objects.pList.removeDead();
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
    if (walking == SDLK_RIGHT && playerX() >= kWalkRightEnd) {
        walking = SDLK_LEFT;
        ++turns;
    } else if (walking == SDLK_LEFT && playerX() <= kWalkLeftEnd) {
        walking = SDLK_RIGHT;
        ++turns;
    }
    hold(walking == SDLK_RIGHT ? SDLK_LEFT : SDLK_RIGHT, false);
    hold(walking, true);
    keepFlying(now);
}

void benchScene::keepFlying(Uint32 ms) {
    // The fireballs neither age nor leave: carried back before the edge.
    if (objects.match) ::keepFlying(objects.match->state);
    for (partNode* node = objects.pList.head; node; node = node->next) {
        particle* part = node->part;
        part->startTime = static_cast<int>(ms);
        part->sprite.x = wrapped(part->sprite.x);
    }
}

void benchScene::pass() {
    keepUp();
    int before = playerX();
    runPass(objects);
    walked += std::abs(playerX() - before);
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
        // The one-fighter scene's fireballs go: the match flies its own.
        dropListParticles();
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
    return match.view.pictures.shownBy(match.content, 1, match.state.fighters[1]) != nullptr;
}

bool benchScene::makeVersus() {
    if (!objects.match || !objects.match->content.rules.versus) {
        if (!objects.match) dropListParticles();
        loadPolicy policy = keepGoingPolicy();
        objects.training = false;
        objects.panel.init(objects.screen, false);
        objects.versus.versus = true;
        objects.versus.p2 = "Gale";
        objects.versus.roundSeconds = 0;
        objects.content.cast.versus = true;
        objects.content.cast.names[1] = "Gale";
        // Nothing may point into the partner's sets while they are replaced.
        objects.match.reset();
        loadContent(objects.content, partnerPart, objects.screen, policy);
        // Gale's own particles after the default list; the sounds stay as they are.
        objects.content.defs.addList("Gale", objects.screen, policy);
        objects.match.reset(new matchSession);
        objects.match->start(objects, clockTicks());
        resync();
        // Past "Round 1" and "Fight!", which hold the inputs back.
        for (int i = 0; i < 1000 && objects.match->state.round.phase == phaseIntro; ++i) pass();
    }
    const matchSession& match = *objects.match;
    return match.state.round.phase == phaseFight &&
           match.view.pictures.shownBy(match.content, 1, match.state.fighters[1]) != nullptr;
}

int benchScene::liveParticles() const {
    return objects.match ? objects.match->state.particleCount : objects.pList.size();
}

size_t benchScene::fighterCount() const { return objects.match ? kSides : objects.fighters.size(); }

int benchScene::playerX() const { return objects.match ? objects.match->state.fighters[0].x : objects.player().x; }

std::vector<pixelRect> benchScene::matchRects() const {
    const matchSession& match = *objects.match;
    std::vector<pixelRect> rects;
    for (int side = 0; side < kSides; ++side) {
        const fighterState& fighter = match.state.fighters[side];
        const CSpriteBase* set = match.view.pictures.shownBy(match.content, side, fighter);
        const frameRecord* record = match.content.frameOf(shownRun(match.content, side, fighter), fighter.frame);
        if (!set || !record) continue;
        int f = fighter.facingRight;
        rects.push_back(pixelRect{fighter.x - record->anchorX[f], fighter.y - record->anchorY, set->width, set->height});
    }
    if (objects.panel.shown) {
        SDL_Rect area = objects.panel.area();
        rects.push_back(pixelRect{area.x, area.y, area.w, area.h});
    }
    for (int i = 0; i < match.state.particleCount; ++i) {
        const particleState& part = match.state.particles[i];
        size_t def = static_cast<size_t>(part.def);
        const CSpriteBase* set = def < match.view.pictures.particles.size() ? match.view.pictures.particles[def] : nullptr;
        if (set) rects.push_back(pixelRect{part.x, part.y, set->width, set->height});
    }
    return rects;
}

std::vector<pixelRect> benchScene::spriteRects() const {
    if (objects.match) return matchRects();
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
