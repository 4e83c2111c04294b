// The fighter room: the controllable character placed by its anchor, with
// its facing, actions, moves, walking, ducking, jumping and gravity.
#include "Fighter.h"

#include <algorithm>
#include <cstdio>

#include "sprites/sceneGeometry.h"
#include "sprites/clock.h"
#include "sprites/surfaceBlit.h"

// Highest anchor y a frame's lift can carry the fighter to: a lifting frame
// shown for minutes stops there instead of overflowing.
static const int kHighestLift = -(1 << 20);

bool Fighter::canShow() const { return base && base->drawable(frame); }

int Fighter::anchorOffsetX(bool facing) const {
    return facing ? base->frames[frame].offsetX : base->mirror[frame].offsetX;
}

void Fighter::takeBlank() {
    base = anims ? anims->returnAnimation("blank") : nullptr;
    // Without a drawable "blank" the old save surface stays: a null one would
    // leave nothing to save the background into.
    if (base && base->drawable(0)) setBgSave(SDL_DisplayFormat(base->frames[0].image));
}

void Fighter::initS(animationSet* anims, SDL_Surface* screen) {
    currentMove = nullptr;
    this->anims = anims;
    base = anims ? anims->returnAnimation("blank") : nullptr;
    if (base && base->built) {
        if (base->numFrames > 1) animating = 1;
        if (base->drawable(0)) setBgSave(SDL_DisplayFormat(base->frames[0].image));
    }
    changeAnim("walk");
    action = "walk";
    // Last: the save made inside changeAnim has no surface to copy from yet.
    this->screen = screen;
}

void Fighter::setDir(bool right) { dir = right; }

bool Fighter::returnBusy() { return currentMove != nullptr; }

void Fighter::changeAnim(std::string name) {
    frame = 0;
    clearBG();
    updateBG();
    takeBlank();
    action = name;
    base = anims ? anims->returnAnimation(name) : nullptr;
    if (base && base->numFrames > 1) animating = 1;
    std::printf("%s\n", name.c_str());
}

void Fighter::changeAction(moveInfo* move) {
    // A move whose frames can't be shown never starts.
    if (!move || !move->animation.drawable(0)) return;
    if (airActions < 1) return;
    if (!grounded) airActions -= 1;
    currentMove = move;
    frame = 0;
    clearBG();
    updateBG();
    takeBlank();
    action = move->name;
    std::printf("%s", move->name.c_str());
    base = &move->animation;
    if (base->numFrames > 1) animating = 1;
}

void Fighter::duck() {
    if (action == "walk") changeAnim("duck");
}

void Fighter::Jump(int speed) {
    if (airActions < 1) return;
    changeAnim("inAir");
    airActions -= 1;
    if (airActions == 0) speed -= 2;
    grounded = false;
    ySpeed = speed;
}

void Fighter::Gravity() {
    if (frameInfo* rec = currentRecord()) {
        x += dir ? rec->moveX : -rec->moveX;
        if (rec->moveY > 0) {
            y -= rec->moveY;
            if (y < kHighestLift) y = kHighestLift;
            grounded = false;
            ySpeed = 4;
            return;
        }
    }
    if (!grounded) {
        y -= ySpeed;
        ySpeed -= 1;
    }
    // One pixel of tolerance: 531 still falls and lands on the next step.
    if (y > kGroundLevel + 1) {
        if (!grounded) changeAnim("walk");
        y = kGroundLevel;
        grounded = true;
        airActions = 2;
    }
}

void Fighter::boundary() {
    if (x < kBoundaryXLeft) x = kBoundaryXLeft;
    if (x > kBoundaryXRight) x = kBoundaryXRight;
}

void Fighter::clearBG() {
    if (drawn != 1 || !canShow() || !bgSave || !screen) return;
    // Restored with the current frame's offsets and the facing of the save.
    SDL_Rect at = makeRect(oldX - anchorOffsetX(oldDir), oldY - base->frames[frame].offsetY,
                           base->width, base->height);
    if (changes) changes->addImage(at, bgSave);
    blitSurface(bgSave, nullptr, screen, &at);
}

void Fighter::updateBG() {
    if (!canShow()) return;
    if (bgSave && screen) {
        SDL_Rect from = makeRect(x - anchorOffsetX(dir), y - base->frames[frame].offsetY,
                                 base->width, base->height);
        SDL_Rect to = makeRect(0, 0, 0, 0);
        blitSurface(screen, &from, bgSave, &to);
    }
    oldX = x;
    oldY = y;
    oldDir = dir;
}

void Fighter::draw() {
    if (!canShow()) return;
    // A move ends when its last frame has run out.
    if (advanceFrame() && currentMove) {
        std::printf("punch ended\n");
        currentMove = nullptr;
        changeAnim("walk");
        frame = 0;
        clearBG();
        updateBG();
    }
    if (drawn == 0) drawn = 1;
    // "walk" may be missing after a move ends.
    if (!canShow() || !screen) return;
    SDL_Surface* image = dir ? base->frames[frame].image : base->mirror[frame].image;
    SDL_Rect at = makeRect(x - anchorOffsetX(dir), y - base->frames[frame].offsetY, 0, 0);
    if (changes) changes->addImage(at, image);
    SDL_BlitSurface(image, nullptr, screen, &at);
}

void Fighter::drawColBoxes() {
    if (!canShow() || !screen) return;
    const frameInfo& stored = base->frames[frame];
    const frameInfo& rec = dir ? stored : base->mirror[frame];
    // Mirrored edges are measured from the mirrored image's corner, so the
    // boxes sit on the image as it is drawn in either facing.
    int cx = x - anchorOffsetX(dir);
    int cy = y - stored.offsetY;

    auto fillBox = [&](const frameBox& across, const frameBox& down, Uint32 pixel) {
        int w = across.right - across.left;
        int h = down.bottom - down.top;
        // An inverted box would wrap to a huge rectangle.
        if (w <= 0 || h <= 0) return;
        SDL_Rect box = makeRect(cx + across.left, cy + down.top, w, h);
        if (changes) changes->add(box);
        SDL_FillRect(screen, &box, pixel);
    };

    fillBox(rec.colBox, stored.colBox, kCollisionBoxColour);
    SDL_Rect mark = makeRect(x - 2, y - 2, 4, 2);
    if (changes) changes->add(mark);
    SDL_FillRect(screen, &mark, kAnchorMarkColour);
    if (stored.hitActive >= 1) fillBox(rec.hitBox, stored.hitBox, kHitBoxColour);
}

