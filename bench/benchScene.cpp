#include "benchScene.h"

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace {
// Game time allowed for landing and for the start-up particles to die.
const int kSettlePasses = 60000 / kBenchPassMs;
// Fireballs that fly past these x values are carried back across the screen.
const int kParticleLeftEnd = 20;
const int kParticleRightEnd = 720;
const int kParticleWrap = 600;
}  // namespace

bool benchScene::start(std::string& why) {
    now = 1000;
    clockSet(now);
    startScene(objects);
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

void benchScene::repaintPass(bool bySdl) {
    keepUp();
    int before = vikings1.x;
    objects.control.update();
    objects.control.inputChecking(&objects.event);
    vikings1.boundary();
    // the whole background, then the sprites over it
    if (bySdl) {
        SDL_Rect corner = {0, 0, 0, 0};
        SDL_BlitSurface(back, nullptr, screen, &corner);
    } else {
        DrawBG();
    }
    vikings1.draw();
    pList.draw();
    if (debugging) {
        vikings1.drawColBoxes();
        pList.debug();
    }
    SDL_Flip(screen);
    walked += std::abs(vikings1.x - before);
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
