#include "view/inputDisplay.h"

#include <cstdio>

#include "commands/inputChecker.h"
#include "sprites/clock.h"
#include "sprites/CSprite.h"
#include "sprites/CSpriteBase.h"
#include "view/savedBackground.h"
#include "sprites/changedRects.h"
#include "sprites/font.h"
#include "sprites/surfaceBlit.h"

namespace {
const char* kTitle = "inputs (i hides)";
const int kPadding = 3;

// "R D R A" for "RDRA".
std::string spaced(const std::string& letters) {
    std::string text;
    for (char c : letters) {
        if (!text.empty()) text += ' ';
        text += c;
    }
    return text;
}

std::string verdictText(const moveVerdict& said, const std::string& keys) {
    switch (said.outcome) {
        case verdict::notTyped:
            return said.name + ": needs " + spaced(said.command) + ", typed " + spaced(keys);
        case verdict::framesNotLoaded:
            return said.name + ": frames not loaded";
        case verdict::conditionFalse:
            return said.name + ": condition " + said.condition + " is false";
        case verdict::recognised:
            if (!said.timing.hits) return said.name + " recognised: " + startupText(said.timing);
            return said.name + " recognised: startup " + std::to_string(said.timing.startupMs) + " ms, active " +
                   std::to_string(said.timing.activeMs) + " ms, recovery " +
                   std::to_string(said.timing.recoveryMs) + " ms";
    }
    return said.name;
}

void appendEntry(std::vector<displayLine>& out, const journalEntry& entry, int now) {
    // The checker drops a press older than this from its buffer.
    bool old = static_cast<long long>(now) - entry.time > static_cast<long long>(kInputDelay) * 10;
    if (entry.key) {
        char text[48];
        std::snprintf(text, sizeof text, "%c %6d ms", entry.key, now - entry.time);
        out.push_back({text, old, false, false});
        return;
    }
    if (entry.verdicts.empty()) {
        out.push_back({std::string("  no move ends in ") + entry.button, old, true, false});
        return;
    }
    for (const moveVerdict& said : entry.verdicts)
        out.push_back({"  " + verdictText(said, entry.keys), old, true, said.outcome == verdict::recognised});
}

Uint32 colour(SDL_Surface* surface, int red, int green, int blue) {
    return SDL_MapRGB(surface->format, static_cast<Uint8>(red), static_cast<Uint8>(green),
                      static_cast<Uint8>(blue));
}
}  // namespace

inputDisplay::~inputDisplay() { releaseSurface(bgSave); }

void inputDisplay::init(SDL_Surface* target, inputChecker* from) {
    releaseSurface(bgSave);
    bgSave = nullptr;
    screen = target;
    checker = from;
    shown = false;
    drawn = false;
}

void inputDisplay::toggle() {
    shown = !shown;
    if (shown && checker) checker->journalOn = true;
}

SDL_Rect inputDisplay::area() const {
    return makeRect(kDisplayX, kDisplayY, kDisplayWidth, (kDisplayLines + 1) * kLineHeight + 2 * kPadding);
}

std::vector<displayLine> inputDisplay::lines(int now) const {
    std::vector<displayLine> all;
    if (!checker) return all;
    for (const journalEntry& entry : checker->journal) appendEntry(all, entry, now);
    if (all.size() > static_cast<size_t>(kDisplayLines)) all.erase(all.begin(), all.end() - kDisplayLines);
    return all;
}

void inputDisplay::clearBG() {
    if (!drawn || !bgSave || !screen) return;
    restoreBackground(screen, bgSave, area(), changes);
    drawn = false;
}

void inputDisplay::updateBG() {
    if (!shown || !screen) return;
    saveBackground(screen, area(), bgSave);
}

void inputDisplay::draw() {
    if (!shown || !screen || !bgSave) return;
    SDL_Rect panel = area();
    if (changes) changes->add(panel);
    SDL_Rect savedClip;
    SDL_GetClipRect(screen, &savedClip);
    SDL_SetClipRect(screen, &panel);
    Uint32 shadow = colour(screen, 0, 0, 0);
    Uint32 grey = colour(screen, 128, 128, 128);
    Uint32 white = colour(screen, 255, 255, 255);
    Uint32 good = colour(screen, 96, 255, 96);
    Uint32 bad = colour(screen, 255, 208, 64);
    // Each text with a dark shadow, to read over any background.
    auto write = [&](int row, const std::string& text, Uint32 pixel) {
        int x = panel.x + kPadding;
        int y = panel.y + kPadding + row * kLineHeight;
        drawText(screen, x + 1, y + 1, text, shadow);
        drawText(screen, x, y, text, pixel);
    };
    write(0, kTitle, white);
    std::vector<displayLine> text = lines(static_cast<int>(clockTicks()));
    for (size_t i = 0; i < text.size(); ++i) {
        const displayLine& line = text[i];
        Uint32 pixel = line.old ? grey : !line.answer ? white : line.recognised ? good : bad;
        write(static_cast<int>(i) + 1, line.text, pixel);
    }
    SDL_SetClipRect(screen, &savedClip);
    drawn = true;
}
