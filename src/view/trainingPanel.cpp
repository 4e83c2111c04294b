#include "view/trainingPanel.h"

#include <cstdio>

#include "data/frameData.h"
#include "sprites/CSprite.h"
#include "view/savedBackground.h"
#include "sprites/changedRects.h"
#include "sprites/font.h"
#include "sprites/surfaceBlit.h"

namespace {
const int kPadding = 3;

Uint32 colour(SDL_Surface* surface, int red, int green, int blue) {
    return SDL_MapRGB(surface->format, static_cast<Uint8>(red), static_cast<Uint8>(green),
                      static_cast<Uint8>(blue));
}
}  // namespace

std::string advantageText(int ms) {
    char text[48];
    std::snprintf(text, sizeof text, "%+d ms (%+.1f f)", ms, framesAt60Hz(ms));
    return text;
}

trainingPanel::~trainingPanel() {
    releaseSurface(bgSave);
    releaseSurface(image);
}

void trainingPanel::init(SDL_Surface* target, bool training) {
    releaseSurface(bgSave);
    bgSave = nullptr;
    releaseSurface(image);
    image = nullptr;
    imageLines.clear();
    screen = target;
    shown = training;
    drawn = false;
}

void trainingPanel::recordHit(int damage, bool combo, int advantage, int now) {
    forget(now);
    anyHit = true;
    lastDamage = damage;
    comboHits = combo ? comboHits + 1 : 1;
    comboDamage = combo ? comboDamage + damage : damage;
    advantageMs = advantage;
    damageTaken += damage;
    lastHitAt = now;
}

void trainingPanel::forget(int now) {
    if (damageTaken > 0 && now - lastHitAt >= kDamageResetMs) damageTaken = 0;
}

void trainingPanel::clearCombo() {
    comboHits = 0;
    comboDamage = 0;
    damageTaken = 0;
}

std::vector<std::string> trainingPanel::lines() const {
    std::vector<std::string> text = {activity.empty() ? "training" : "training: " + activity, "stance " + stance};
    if (fullHealth > 0) text.push_back("health " + std::to_string(health) + "/" + std::to_string(fullHealth));
    if (!anyHit) {
        text.push_back("no hit yet");
    } else {
        text.push_back("damage " + std::to_string(lastDamage));
        text.push_back("combo " + std::to_string(comboHits) + (comboHits == 1 ? " hit, " : " hits, ") +
                       std::to_string(comboDamage) + " damage");
        text.push_back("advantage " + advantageText(advantageMs));
        text.push_back("taken " + std::to_string(damageTaken));
    }
    // The keys stay on the last line.
    if (!help.empty()) {
        text.resize(kPanelLines - 1);
        text.push_back(help);
    }
    return text;
}

SDL_Rect trainingPanel::area() const {
    return makeRect(kPanelX, kPanelY, kPanelWidth, kPanelLines * kLineHeight + 2 * kPadding);
}

void trainingPanel::clearBG() {
    if (!drawn || !bgSave || !screen) return;
    restoreBackground(screen, bgSave, area(), changes);
    drawn = false;
}

void trainingPanel::updateBG() {
    if (!shown || !screen) return;
    saveBackground(screen, area(), bgSave);
}

bool trainingPanel::render() {
    SDL_Rect panel = area();
    if (!image) {
        image = makeScreenLikeSurface(screen, panel.w, panel.h);
        if (!image) return false;
    }
    // Where no text is, the background shows through.
    Uint32 key = colour(image, 255, 0, 255);
    SDL_FillRect(image, nullptr, key);
    SDL_SetColorKey(image, SDL_SRCCOLORKEY, key);
    Uint32 shadow = colour(image, 0, 0, 0);
    Uint32 white = colour(image, 255, 255, 255);
    Uint32 title = colour(image, 255, 208, 64);
    for (size_t row = 0; row < imageLines.size(); ++row) {
        int x = kPadding;
        int y = kPadding + static_cast<int>(row) * kLineHeight;
        // A dark shadow, to read over any background.
        drawText(image, x + 1, y + 1, imageLines[row], shadow);
        drawText(image, x, y, imageLines[row], row == 0 ? title : white);
    }
    return true;
}

void trainingPanel::draw() {
    if (!shown || !screen || !bgSave) return;
    std::vector<std::string> text = lines();
    if (!image || text != imageLines) {
        imageLines = text;
        if (!render()) return;
    }
    SDL_Rect panel = area();
    if (changes) changes->add(panel);
    blitSurface(image, nullptr, screen, &panel);
    drawn = true;
}
