#pragma once
// A frame sheet: every frame of a frame set drawn as stored and mirrored,
// with its boxes and anchor in the game's debug colours and its record
// written underneath, on one surface that can be saved as a bitmap.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "sprites/CSpriteBase.h"
#include "sprites/sceneGeometry.h"

// The game's debug colours (raw 0xRRGGBB pixel values, as the fighter fills them).
const Uint32 kCollisionColour = kCollisionBoxColour;
const Uint32 kAnchorColour = kAnchorMarkColour;
const Uint32 kHitColour = kHitBoxColour;

// Spacing of the sheet, in pixels.
const int kSheetMargin = 8;   // around the whole sheet
const int kSlotPad = 6;       // around each image, so boxes a little outside still show
const int kPairGap = 4;       // between a frame and its mirrored copy
const int kCellGap = 12;      // between the cells of two frames
const int kTextGap = 4;       // between the images and the text under them
const int kMinTextColumns = 30;  // a cell is at least this many characters wide

struct sheetOptions {
    int columns = 0;      // cells per row; 0 picks a grid about as wide as it is high
    bool filled = false;  // fill the boxes as the game does instead of outlining them
};

// Where everything goes; drawSheet follows it and tests read it.
struct sheetLayout {
    int frames = 0;       // frame records shown
    int slotWidth = 0;    // one image with kSlotPad on each side
    int slotHeight = 0;
    int cellWidth = 0;    // a frame and its mirrored copy, or the text, if wider
    int cellHeight = 0;   // the slots and the text under them
    int columns = 0;
    int rows = 0;
    int width = 0;        // the whole sheet
    int height = 0;
    std::vector<std::string> title;              // heading lines, wrapped
    std::vector<std::vector<std::string>> text;  // lines under each frame, wrapped

    int titleHeight() const;
    int cellX(int frame) const;
    int cellY(int frame) const;
    // Top-left corner of the frame's image as stored and as mirrored.
    int storedX(int frame) const;
    int mirroredX(int frame) const;
    int imageY(int frame) const;
    // The slot of the frame's image: its drawing is clipped to it.
    SDL_Rect slot(int frame, bool mirrored) const;
};

// The record of frame `index` as text lines, before wrapping.
std::vector<std::string> describeFrame(const CSpriteBase& set, int index);
sheetLayout layoutSheet(const CSpriteBase& set, const std::string& title, const sheetOptions& options);
// The sheet as a new 32-bit surface (0xRRGGBB pixels), or null with the
// reason in `problem` (no frames, or too many for one surface).
SDL_Surface* drawSheet(const CSpriteBase& set, const std::string& title, const sheetOptions& options,
                       std::string& problem);
