#include "CSprite.h"

#include <algorithm>

#include "sprites/clock.h"
#include "sceneGeometry.h"
#include "surfaceBlit.h"

SDL_Rect makeRect(int x, int y, int w, int h) {
    // Far-off places are held at the edge of the 16-bit range rather than
    // wrapped: from there no image can reach the screen.
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(std::min(std::max(x, -32768), 32767));
    rect.y = static_cast<Sint16>(std::min(std::max(y, -32768), 32767));
    rect.w = static_cast<Uint16>(std::min(std::max(w, 0), 65535));
    rect.h = static_cast<Uint16>(std::min(std::max(h, 0), 65535));
    return rect;
}

CSprite::~CSprite() {
    // Also after SDL_Quit: a sprite may outlive the display.
    releaseSurface(bgSave);
}

void CSprite::setBgSave(SDL_Surface* surface) {
    if (bgSave && bgSave != surface) SDL_FreeSurface(bgSave);
    bgSave = surface;
    // The save surface is written every frame: it keeps its colour key but
    // not the RLE acceleration a frame image may carry, which SDL would
    // undo and redo around every save.
    if (bgSave && (bgSave->flags & SDL_RLEACCELOK))
        SDL_SetColorKey(bgSave, bgSave->flags & SDL_SRCCOLORKEY, bgSave->format->colorkey);
}

float frameShowMs(const frameInfo& record, float speed) { return static_cast<float>(record.pause) * speed; }

namespace {
// Particle lines the record holds: its count, never more than it read.
int particleLineCount(const frameInfo& record) {
    return std::min(record.numParticles, static_cast<int>(record.particles.size()));
}
}  // namespace

std::string firstParticleLine(const frameInfo& record) {
    return particleLineCount(record) > 0 ? record.particles[0] : "NULL";
}

int particleLinesLaunched(const frameInfo& record, const std::string& firstSeenBefore) {
    int lines = particleLineCount(record);
    return lines > 0 && firstParticleLine(record) != firstSeenBefore ? lines : 0;
}

frameInfo* CSprite::currentRecord() {
    if (!base || !base->drawable(frame)) return nullptr;
    return &base->frames[frame];
}

void CSprite::init(CSpriteBase* set, SDL_Surface* target) {
    base = set;
    if (base && base->built) {
        if (base->numFrames > 1) animating = 1;
        if (base->drawable(0)) setBgSave(SDL_DisplayFormat(base->frames[0].image));
    }
    screen = target;
}

void CSprite::clearBG() {
    if (drawn != 1 || !bgSave || !screen) return;
    SDL_Rect where = makeRect(oldX, oldY, 0, 0);
    if (changes) changes->addImage(where, bgSave);
    blitSurface(bgSave, nullptr, screen, &where);
}

void CSprite::updateBG() {
    oldX = x;
    oldY = y;
    if (!bgSave || !screen || !base) return;
    SDL_Rect from = makeRect(x, y, base->width, base->height);
    SDL_Rect to = makeRect(0, 0, 0, 0);
    blitSurface(screen, &from, bgSave, &to);
}

void CSprite::draw() { drawD(true); }

bool CSprite::advanceFrame() {
    frameInfo* record = currentRecord();
    if (!record || animating != 1) return false;
    float deadline = static_cast<float>(lastTick) + frameShowMs(*record, speed);
    if (static_cast<float>(clockTicks()) <= deadline) return false;
    lastTick = static_cast<int>(clockTicks());
    ++frame;
    if (frame <= base->numFrames - 1) return false;
    frame = 0;
    return true;
}

void CSprite::drawD(bool facing) {
    if (!currentRecord() || !screen) return;
    advanceFrame();
    drawn = 1;
    SDL_Surface* image = facing ? base->frames[frame].image : base->mirror[frame].image;
    SDL_Rect where = makeRect(x, y, 0, 0);
    if (changes) changes->addImage(where, image);
    SDL_BlitSurface(image, nullptr, screen, &where);
}

void CSprite::moveD(bool facing) {
    frameInfo* record = currentRecord();
    if (!record) return;
    x += facing ? record->moveX : -record->moveX;
}

void CSprite::setAlpha(int alpha) {
    if (base) base->alphaAll(alpha);
}

void CSprite::adjustPos(int ax, int ay, bool facing) {
    frameInfo* record = currentRecord();
    if (!record) return;
    y = ay - record->offsetY;
    x = ax - (facing ? record->offsetX : base->mirror[frame].offsetX);
}

int CSprite::getYOffset(int frameIndex) {
    if (!base || !base->drawable(frameIndex)) return 0;
    const frameInfo& record = base->frames[frameIndex];
    return std::max(record.colBox.bottom, record.hitBox.bottom);
}

int CSprite::returnPartNum() {
    frameInfo* record = currentRecord();
    return record ? record->numParticles : 0;
}

bool boxesOverlap(const screenBox& a, const screenBox& b) {
    return !a.empty() && !b.empty() && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

screenBox overlapOf(const screenBox& a, const screenBox& b) {
    screenBox both;
    both.left = std::max(a.left, b.left);
    both.top = std::max(a.top, b.top);
    both.right = std::min(a.right, b.right);
    both.bottom = std::min(a.bottom, b.bottom);
    return both;
}

screenBox placedBox(const frameBox& across, const frameBox& down, int x, int y) {
    screenBox box;
    box.left = x + across.left;
    box.right = x + across.right;
    box.top = y + down.top;
    box.bottom = y + down.bottom;
    return box;
}

screenBox CSprite::collisionBoxOnScreen(bool facing) {
    frameInfo* record = currentRecord();
    if (!record) return screenBox();
    const frameInfo& across = facing ? *record : base->mirror[frame];
    return placedBox(across.colBox, record->colBox, x, y);
}

void CSprite::drawColBoxes() {
    frameInfo* record = currentRecord();
    if (!record || !screen) return;
    const frameBox& box = record->colBox;
    SDL_Rect colRect = makeRect(x + box.left, y + box.top, box.right - box.left, box.bottom - box.top);
    SDL_Rect corner = makeRect(x - 2, y - 2, 4, 2);
    if (changes) {
        changes->add(colRect);
        changes->add(corner);
    }
    SDL_FillRect(screen, &colRect, kSpriteBoxColour);
    SDL_FillRect(screen, &corner, kAnchorMarkColour);
}

std::string CSprite::returnParticle(int i) {
    frameInfo* record = currentRecord();
    if (!record || i < 1 || i > static_cast<int>(record->particles.size())) return "NULL";
    return record->particles[i - 1];
}

std::string CSprite::returnSound() {
    frameInfo* record = currentRecord();
    return record ? record->sound : "NULL";
}
