#include "view/versusHud.h"

#include <algorithm>

#include "sprites/CSprite.h"
#include "sprites/changedRects.h"
#include "sprites/font.h"
#include "sprites/sceneGeometry.h"
#include "sprites/surfaceBlit.h"

Uint32 pixelOfRgb(SDL_Surface* surface, Uint32 rgb) {
    return SDL_MapRGB(surface->format, static_cast<Uint8>(rgb >> 16), static_cast<Uint8>(rgb >> 8),
                      static_cast<Uint8>(rgb));
}

namespace {
const int kMiddle = kScreenWidth / 2;
const int kTicksPerSecond = 1000 / kTickMs;
const int kBigScale = 5;     // "Round 1", "KO"
const int kResultScale = 3;  // "P1 Burn wins 2-1", and the timer
const int kNameScale = 2;
const int kMarkerSize = 12;  // a round won: a square under the bar, toward the middle
const int kMarkerStep = 16;
const char* const kRematchHint = "F4 or A: rematch   Escape: quit";

// Pixels of a bar's inside that `health` out of `full` fills.
int barFill(int health, int full) {
    if (full <= 0) return 0;
    return (kHudBarWidth - 2 * kHudBarFrame) * std::min(std::max(health, 0), full) / full;
}


void fill(SDL_Surface* surface, int x, int y, int w, int h, Uint32 rgb) {
    if (w <= 0 || h <= 0) return;
    SDL_Rect rect = makeRect(x, y, w, h);
    SDL_FillRect(surface, &rect, pixelOfRgb(surface, rgb));
}
}  // namespace

SDL_Rect hudBarArea(int side) {
    int x = side == 0 ? kMiddle - kHudBarGap / 2 - kHudBarWidth : kMiddle + kHudBarGap / 2;
    return makeRect(x, kHudBarY, kHudBarWidth, kHudBarHeight);
}

std::string timerText(const matchContent& content, const matchState& state) {
    if (content.rules.roundTicks <= 0) return "--";
    int left = std::max(content.rules.roundTicks - state.round.fightTicks, 0);
    return std::to_string((left + kTicksPerSecond - 1) / kTicksPerSecond);
}

std::vector<hudLine> centreLines(const matchContent& content, const matchState& state) {
    const roundState& round = state.round;
    int elapsed = state.tick - round.phaseTick;
    switch (round.phase) {
    case phaseIntro:
        if (elapsed < content.rules.introTicks - kFightShownTicks)
            return {{"Round " + std::to_string(round.number), kBigScale}};
        return {{"Fight!", kBigScale}};
    case phaseFight:
        if (elapsed < kFightShownTicks) return {{"Fight!", kBigScale}};
        return {};
    case phaseOver: {
        if (round.winner < 0) return {{"Draw", kBigScale}};
        bool knockedOut = state.fighters[0].knockedOut || state.fighters[1].knockedOut;
        return {{knockedOut ? "KO" : "Time over", kBigScale}};
    }
    case phaseMatchOver: {
        std::string result = "Draw game";
        int winner = round.winner;
        if (winner >= 0 && winner < kSides)
            result = sideName(content, winner) + " wins " + std::to_string(round.wins[winner]) + "-" +
                     std::to_string(round.wins[1 - winner]);
        return {{result, kResultScale}, {kRematchHint, kNameScale, true}};
    }
    }
    return {};
}

void versusHud::init(SDL_Surface* target, changedRects* notes) {
    screen = target;
    changes = notes;
    for (redPart& part : red) part = redPart();
    for (int side = 0; side < kSides; ++side) {
        SDL_Rect bar = hudBarArea(side);
        bars[side].area = bar;
        names[side].area = makeRect(bar.x, bar.y + bar.h + 4, bar.w, kGlyphRows * kNameScale + kNameScale);
    }
    int timerHeight = kGlyphHeight * kResultScale + kResultScale;
    timer.area = makeRect(kMiddle - kHudBarGap / 2 + 4, kHudBarY + kHudBarHeight / 2 - timerHeight / 2,
                          kHudBarGap - 8, timerHeight);
    centre.area = makeRect(100, 140, kScreenWidth - 200, 130);
    forget();
}

void versusHud::forget() {
    for (hudPiece* piece : {&bars[0], &bars[1], &names[0], &names[1], &timer, &centre}) piece->shown.clear();
}

void versusHud::follow(const matchState& state) {
    for (int side = 0; side < kSides; ++side) {
        redPart& part = red[side];
        int health = state.fighters[side].health;
        if (part.health < 0 || health > part.health) {
            part.top = health;
            part.since = state.tick;
        } else if (health < part.health) {
            // A hit while red still shows adds to what is left of it.
            part.top = redHealth(side, state.tick);
            part.since = state.tick;
        }
        part.health = health;
    }
}

int versusHud::redHealth(int side, int tick) const {
    const redPart& part = red[side];
    int drained = std::max(tick - part.since - kRedHoldTicks, 0) * kRedDrainPerTick;
    return std::max(part.health, part.top - drained);
}

bool versusHud::repaint(hudPiece& piece, const std::string& now, SDL_Surface* background) {
    if (now == piece.shown) return false;
    piece.shown = now;
    SDL_Rect area = piece.area;
    if (changes) changes->add(area);
    // What it draws stays inside its rectangle, the only one noted.
    SDL_SetClipRect(screen, &area);
    SDL_FillRect(screen, &area, pixelOfRgb(screen, 0));
    if (background) {
        SDL_Rect from = area, to = area;
        blitSurface(background, &from, screen, &to);
    }
    return true;
}

void versusHud::draw(const matchContent& content, const matchState& state, SDL_Surface* background) {
    if (!screen) return;
    follow(state);
    // The background was painted whole: nothing of the HUD is left on it.
    if (changes && changes->whole) forget();
    SDL_Rect savedClip;
    SDL_GetClipRect(screen, &savedClip);
    const roundState& round = state.round;
    for (int side = 0; side < kSides; ++side) {
        int full = content.characters[side].health;
        int health = barFill(state.fighters[side].health, full);
        int redTop = barFill(redHealth(side, state.tick), full);
        if (repaint(bars[side], std::to_string(health) + " " + std::to_string(redTop), background))
            drawBar(side, health, redTop);
        std::string name = sideName(content, side);
        int wins = round.wins[side];
        int slots = std::max(content.rules.winsNeeded, wins);
        if (repaint(names[side], name + " " + std::to_string(wins) + "/" + std::to_string(slots), background))
            drawName(side, name, wins, slots);
    }
    std::string seconds = timerText(content, state);
    if (repaint(timer, seconds, background)) {
        int x = kMiddle - textWidth(seconds, kResultScale) / 2;
        write(x, timer.area.y, seconds, kHudTextRgb, kResultScale);
    }
    std::vector<hudLine> lines = centreLines(content, state);
    if (!notice.empty()) lines.assign(1, hudLine{notice, 2, false});
    std::string words = "centre";
    for (const hudLine& line : lines) words += "\n" + line.text;
    if (repaint(centre, words, background)) {
        int y = centre.area.y + 10;
        for (const hudLine& line : lines) {
            int x = kMiddle - textWidth(line.text, line.scale) / 2;
            write(x, y, line.text, line.hint ? kHudTextRgb : kHudWordsRgb, line.scale);
            y += kLineHeight * line.scale;
        }
    }
    SDL_SetClipRect(screen, &savedClip);
}

void versusHud::drawBar(int side, int health, int redTop) {
    SDL_Rect bar = hudBarArea(side);
    fill(screen, bar.x, bar.y, bar.w, bar.h, kHudFrameRgb);
    int left = bar.x + kHudBarFrame, top = bar.y + kHudBarFrame;
    int width = bar.w - 2 * kHudBarFrame, height = bar.h - 2 * kHudBarFrame;
    fill(screen, left, top, width, height, kHudEmptyRgb);
    // Player 1's health ends at the middle and drains away from it;
    // player 2's is its mirror.
    if (side == 0) {
        fill(screen, left + width - redTop, top, redTop - health, height, kHudDamageRgb);
        fill(screen, left + width - health, top, health, height, kHudHealthRgb);
    } else {
        fill(screen, left + health, top, redTop - health, height, kHudDamageRgb);
        fill(screen, left, top, health, height, kHudHealthRgb);
    }
}

void versusHud::drawName(int side, const std::string& name, int wins, int slots) {
    SDL_Rect area = names[side].area;
    int x = side == 0 ? area.x : area.x + area.w - textWidth(name, kNameScale);
    write(x, area.y, name, kHudTextRgb, kNameScale);
    // The markers line up from the middle outward.
    for (int slot = 0; slot < slots; ++slot) {
        int markerX = side == 0 ? area.x + area.w - (slot + 1) * kMarkerStep + (kMarkerStep - kMarkerSize)
                                : area.x + slot * kMarkerStep;
        fill(screen, markerX, area.y, kMarkerSize, kMarkerSize, kHudFrameRgb);
        fill(screen, markerX + 2, area.y + 2, kMarkerSize - 4, kMarkerSize - 4,
             slot < wins ? kHudWordsRgb : kHudEmptyRgb);
    }
}

void versusHud::write(int x, int y, const std::string& text, Uint32 rgb, int scale) {
    drawText(screen, x + scale, y + scale, text, pixelOfRgb(screen, 0), scale);
    drawText(screen, x, y, text, pixelOfRgb(screen, rgb), scale);
}
