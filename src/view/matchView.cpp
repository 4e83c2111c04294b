#include "view/matchView.h"

#include "match/matchTick.h"
#include "sprites/changedRects.h"
#include "sprites/sceneGeometry.h"

namespace {
void forget(puppet& shown) {
    shown.sprite.drawn = 0;
    shown.sprite.base = nullptr;
    shown.initedFor = nullptr;
}
}  // namespace

const CSpriteBase* matchPictures::shownBy(const matchContent& content, int side, const fighterState& fighter) const {
    if (fighter.move >= 0)
        return fighter.move < static_cast<int>(moves[side].size()) ? moves[side][static_cast<size_t>(fighter.move)]
                                                                   : nullptr;
    if (fighter.pose < 0 || fighter.pose >= poseCount) return nullptr;
    int anim = content.characters[side].poses[fighter.pose];
    return anim >= 0 && anim < static_cast<int>(anims[side].size()) ? anims[side][static_cast<size_t>(anim)] : nullptr;
}

void matchView::init(SDL_Surface* display, changedRects* notes) {
    screen = display;
    changes = notes;
    fighters.resize(kSides);
}

void matchView::forgetPictures() {
    for (puppet& shown : fighters) forget(shown);
    for (puppet& shown : particles) forget(shown);
    particlesDrawn = 0;
}

void matchView::restore() {
    for (puppet& shown : fighters) shown.sprite.clearBG();
    for (int i = 0; i < particlesDrawn; ++i) particles[static_cast<size_t>(i)].sprite.clearBG();
}

void matchView::place(puppet& shown, const CSpriteBase* set, int frame, int x, int y) {
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

void matchView::save(const matchContent& content, const matchState& state) {
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

void matchView::draw(const matchContent& content, const matchState& state, bool boxes) {
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

