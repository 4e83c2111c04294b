#include "sheet.h"

#include <algorithm>
#include <cmath>

#include "sprites/font.h"

namespace {
const Uint32 kSheetColour = 0x202428;
const Uint32 kSlotColour = 0x3a4048;     // shows through the colour-keyed parts
const Uint32 kOutlineColour = 0x687078;  // the image's own rectangle
const Uint32 kTextColour = 0xe8e8e8;
const Uint32 kDimColour = 0xa0a8b0;
const Uint32 kWarnColour = 0xff6060;
// SDL rectangles hold signed 16-bit positions.
const int kMaxSide = 32000;

int frameCount(const CSpriteBase& set) {
    return std::max(0, std::min(set.numFrames, static_cast<int>(set.frames.size())));
}

std::string pair(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

std::string boxText(const frameBox& box) {
    return pair(box.left, box.top) + " - " + pair(box.right, box.bottom);
}

// Fills the part of (x, y, w, h) that lies inside `clip`; sizes that would
// wrap SDL's 16-bit rectangles are cut here first.
void fillClipped(SDL_Surface* surface, const SDL_Rect& clip, long long x, long long y, long long w, long long h,
                 Uint32 pixel) {
    if (w <= 0 || h <= 0) return;
    long long left = std::max<long long>(x, clip.x);
    long long top = std::max<long long>(y, clip.y);
    long long right = std::min<long long>(x + w, clip.x + clip.w);
    long long bottom = std::min<long long>(y + h, clip.y + clip.h);
    if (right <= left || bottom <= top) return;
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(left);
    rect.y = static_cast<Sint16>(top);
    rect.w = static_cast<Uint16>(right - left);
    rect.h = static_cast<Uint16>(bottom - top);
    SDL_FillRect(surface, &rect, pixel);
}

// A box as the game places it: edges across from `across`, edges down from
// `down`, measured from the image corner (cx, cy). Inverted boxes are not drawn.
void drawBox(SDL_Surface* surface, const SDL_Rect& clip, long long cx, long long cy, const frameBox& across,
             const frameBox& down, Uint32 pixel, bool filled) {
    long long x = cx + across.left;
    long long y = cy + down.top;
    long long w = static_cast<long long>(across.right) - across.left;
    long long h = static_cast<long long>(down.bottom) - down.top;
    if (w <= 0 || h <= 0) return;
    if (filled) {
        fillClipped(surface, clip, x, y, w, h, pixel);
        return;
    }
    fillClipped(surface, clip, x, y, w, 1, pixel);
    fillClipped(surface, clip, x, y + h - 1, w, 1, pixel);
    fillClipped(surface, clip, x, y, 1, h, pixel);
    fillClipped(surface, clip, x + w - 1, y, 1, h, pixel);
}

// One image with its boxes and anchor, as the fighter draws them facing
// right (`mirrored` false) or left.
void drawFrame(SDL_Surface* sheet, const CSpriteBase& set, int index, const SDL_Rect& slot, int cornerX, int cornerY,
               bool mirrored, bool filled) {
    SDL_FillRect(sheet, const_cast<SDL_Rect*>(&slot), kSlotColour);
    const frameInfo& stored = set.frames[index];
    const frameInfo& rec = mirrored ? set.mirror[index] : stored;
    if (!set.drawable(index)) {
        drawText(sheet, slot.x + kSlotPad, slot.y + kSlotPad, "no image", kWarnColour);
        return;
    }
    SDL_Surface* image = mirrored ? set.mirror[index].image : stored.image;
    fillClipped(sheet, slot, cornerX - 1, cornerY - 1, image->w + 2, 1, kOutlineColour);
    fillClipped(sheet, slot, cornerX - 1, cornerY + image->h, image->w + 2, 1, kOutlineColour);
    fillClipped(sheet, slot, cornerX - 1, cornerY, 1, image->h, kOutlineColour);
    fillClipped(sheet, slot, cornerX + image->w, cornerY, 1, image->h, kOutlineColour);
    SDL_Rect corner;
    corner.x = static_cast<Sint16>(cornerX);
    corner.y = static_cast<Sint16>(cornerY);
    SDL_BlitSurface(image, nullptr, sheet, &corner);

    // The order of the game: collision box, anchor marker, live hit box.
    drawBox(sheet, slot, cornerX, cornerY, rec.colBox, stored.colBox, kCollisionColour, filled);
    long long ax = static_cast<long long>(cornerX) + rec.offsetX;
    long long ay = static_cast<long long>(cornerY) + stored.offsetY;
    if (!filled) {
        // A cross through the anchor point: the game's marker alone is small.
        fillClipped(sheet, slot, ax - 4, ay, 9, 1, kAnchorColour);
        fillClipped(sheet, slot, ax, ay - 4, 1, 9, kAnchorColour);
    }
    fillClipped(sheet, slot, ax - 2, ay - 2, 4, 2, kAnchorColour);
    if (stored.hitActive >= 1) drawBox(sheet, slot, cornerX, cornerY, rec.hitBox, stored.hitBox, kHitColour, filled);
}

void drawSwatch(SDL_Surface* sheet, int x, int y, Uint32 pixel) {
    SDL_Rect swatch;
    swatch.x = static_cast<Sint16>(x);
    swatch.y = static_cast<Sint16>(y);
    swatch.w = kGlyphHeight;
    swatch.h = kGlyphHeight;
    SDL_FillRect(sheet, &swatch, pixel);
}

const char* const kLegend[] = {"collision box", "hit box (while active)", "anchor"};
const Uint32 kLegendColours[] = {kCollisionColour, kHitColour, kAnchorColour};
const int kLegendGap = 16;

int legendWidth() {
    int width = 0;
    for (const char* label : kLegend) width += kGlyphHeight + kGlyphAdvance + textWidth(label) + kLegendGap;
    return width;
}
}  // namespace

int sheetLayout::titleHeight() const {
    // The heading lines, then the legend line, then a gap.
    return static_cast<int>(title.size() + 1) * kLineHeight + kTextGap * 2;
}

int sheetLayout::cellX(int frame) const {
    return kSheetMargin + (frame % std::max(columns, 1)) * (cellWidth + kCellGap);
}

int sheetLayout::cellY(int frame) const {
    return kSheetMargin + titleHeight() + (frame / std::max(columns, 1)) * (cellHeight + kCellGap);
}

int sheetLayout::storedX(int frame) const { return cellX(frame) + kSlotPad; }

int sheetLayout::mirroredX(int frame) const { return cellX(frame) + slotWidth + kPairGap + kSlotPad; }

int sheetLayout::imageY(int frame) const { return cellY(frame) + kSlotPad; }

SDL_Rect sheetLayout::slot(int frame, bool mirrored) const {
    SDL_Rect rect;
    rect.x = static_cast<Sint16>(cellX(frame) + (mirrored ? slotWidth + kPairGap : 0));
    rect.y = static_cast<Sint16>(cellY(frame));
    rect.w = static_cast<Uint16>(slotWidth);
    rect.h = static_cast<Uint16>(slotHeight);
    return rect;
}

std::vector<std::string> describeFrame(const CSpriteBase& set, int index) {
    const frameInfo& stored = set.frames[index];
    const frameInfo& mirrored = set.mirror[index];
    std::vector<std::string> lines;
    // Fighters and particles both show each frame three times its pause.
    std::string head = "frame " + std::to_string(index) + "  pause " + std::to_string(stored.pause) + " (x3 = " +
                       std::to_string(static_cast<long long>(stored.pause) * 3) + " ms)";
    if (!set.drawable(index)) head += "  NO IMAGE";
    lines.push_back(head);
    lines.push_back("anchor " + pair(stored.offsetX, stored.offsetY) + " (mirrored " +
                    pair(mirrored.offsetX, stored.offsetY) + ")");
    lines.push_back("collision " + boxText(stored.colBox));
    lines.push_back("hit " + boxText(stored.hitBox) + (stored.hitActive >= 1 ? "  active" : "  inactive"));
    lines.push_back("move " + pair(stored.moveX, stored.moveY));
    lines.push_back("sound " + stored.sound);
    lines.push_back("particles " + std::to_string(stored.numParticles) + (stored.particles.empty() ? "" : ":"));
    for (const std::string& line : stored.particles) lines.push_back("  " + line);
    return lines;
}

sheetLayout layoutSheet(const CSpriteBase& set, const std::string& title, const sheetOptions& options) {
    sheetLayout layout;
    layout.frames = frameCount(set);
    int imageWidth = 0;
    int imageHeight = 0;
    for (int i = 0; i < layout.frames; ++i) {
        if (!set.drawable(i)) continue;
        imageWidth = std::max(imageWidth, set.frames[i].image->w);
        imageHeight = std::max(imageHeight, set.frames[i].image->h);
        imageWidth = std::max(imageWidth, set.mirror[i].image->w);
        imageHeight = std::max(imageHeight, set.mirror[i].image->h);
    }
    // A slot without an image still holds its "no image" note.
    layout.slotWidth = std::max(imageWidth, textWidth("no image")) + 2 * kSlotPad;
    layout.slotHeight = std::max(imageHeight, kLineHeight) + 2 * kSlotPad;
    layout.cellWidth = std::max(2 * layout.slotWidth + kPairGap, kMinTextColumns * kGlyphAdvance);

    size_t textColumns = static_cast<size_t>(layout.cellWidth / kGlyphAdvance);
    size_t mostLines = 0;
    for (int i = 0; i < layout.frames; ++i) {
        std::vector<std::string> wrapped;
        for (const std::string& line : describeFrame(set, i))
            for (const std::string& piece : wrapText(line, textColumns)) wrapped.push_back(piece);
        mostLines = std::max(mostLines, wrapped.size());
        layout.text.push_back(wrapped);
    }
    layout.cellHeight = layout.slotHeight + kTextGap + static_cast<int>(mostLines) * kLineHeight;

    if (options.columns > 0)
        layout.columns = std::min(options.columns, std::max(layout.frames, 1));
    else
        layout.columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(layout.frames)))));
    layout.rows = (layout.frames + layout.columns - 1) / layout.columns;

    layout.width = 2 * kSheetMargin + layout.columns * layout.cellWidth + (layout.columns - 1) * kCellGap;
    layout.width = std::max(layout.width, 2 * kSheetMargin + legendWidth());
    size_t titleColumns = static_cast<size_t>((layout.width - 2 * kSheetMargin) / kGlyphAdvance);
    std::string summary = std::to_string(layout.frames) + " frames, " + std::to_string(set.width) + "x" +
                          std::to_string(set.height) + "; each as stored (facing right) and mirrored (facing left)";
    for (const std::string& line : {title, summary})
        for (const std::string& piece : wrapText(line, titleColumns)) layout.title.push_back(piece);
    layout.height = 2 * kSheetMargin + layout.titleHeight() + layout.rows * layout.cellHeight +
                    std::max(layout.rows - 1, 0) * kCellGap;
    return layout;
}

SDL_Surface* drawSheet(const CSpriteBase& set, const std::string& title, const sheetOptions& options,
                       std::string& problem) {
    sheetLayout layout = layoutSheet(set, title, options);
    if (layout.frames == 0) {
        problem = "no frames to draw";
        return nullptr;
    }
    if (layout.width > kMaxSide || layout.height > kMaxSide) {
        problem = "the sheet would be " + std::to_string(layout.width) + "x" + std::to_string(layout.height) +
                  " pixels, more than one image can hold; try another column count";
        return nullptr;
    }
    SDL_Surface* sheet =
        SDL_CreateRGBSurface(SDL_SWSURFACE, layout.width, layout.height, 32, 0xff0000, 0x00ff00, 0x0000ff, 0);
    if (!sheet) {
        problem = std::string("cannot make the sheet: ") + SDL_GetError();
        return nullptr;
    }
    SDL_FillRect(sheet, nullptr, kSheetColour);

    // heading, then the legend in the debug colours
    int y = kSheetMargin;
    for (const std::string& line : layout.title) {
        drawText(sheet, kSheetMargin, y, line, kTextColour);
        y += kLineHeight;
    }
    int x = kSheetMargin;
    for (int i = 0; i < 3; ++i) {
        drawSwatch(sheet, x, y, kLegendColours[i]);
        x += kGlyphHeight + kGlyphAdvance;
        drawText(sheet, x, y, kLegend[i], kDimColour);
        x += textWidth(kLegend[i]) + kLegendGap;
    }

    for (int i = 0; i < layout.frames; ++i) {
        drawFrame(sheet, set, i, layout.slot(i, false), layout.storedX(i), layout.imageY(i), false, options.filled);
        drawFrame(sheet, set, i, layout.slot(i, true), layout.mirroredX(i), layout.imageY(i), true, options.filled);
        int textY = layout.cellY(i) + layout.slotHeight + kTextGap;
        for (size_t line = 0; line < layout.text[i].size(); ++line)
            drawText(sheet, layout.cellX(i), textY + static_cast<int>(line) * kLineHeight, layout.text[i][line],
                     line == 0 ? kTextColour : kDimColour);
    }
    return sheet;
}
