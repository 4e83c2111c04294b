#pragma once
// A small built-in bitmap font for the game's overlays and the authoring
// tools: 5x7 glyphs of the printable ASCII characters, drawn with raw pixel
// values.
#include <SDL/SDL.h>

#include <string>
#include <vector>

// Size of one glyph and the spacing of the text, in pixels at scale 1.
const int kGlyphWidth = 5;
const int kGlyphHeight = 7;   // from the top to the base line
const int kGlyphRows = 9;     // with the tails below the base line
const int kGlyphAdvance = 6;  // glyph plus one column of space
const int kLineHeight = 11;   // glyph, tails and two rows of space

// The kGlyphRows rows of character `c`, five bits each, the leftmost pixel
// in bit 4; null for characters the font has no glyph for.
const unsigned char* glyphRows(char c);

// Draws `text` on one line with its top-left corner at (x, y), each font
// pixel a scale x scale square of the raw value `pixel`. Characters without
// a glyph are drawn as a hollow box. Respects the surface's clip rectangle.
void drawText(SDL_Surface* surface, int x, int y, const std::string& text, Uint32 pixel, int scale = 1);
// Width in pixels of `text` drawn at `scale`.
int textWidth(const std::string& text, int scale = 1);
// Cuts `text` into pieces of at most `columns` characters, breaking at
// blanks where it can; an empty text gives one empty line.
std::vector<std::string> wrapText(const std::string& text, size_t columns);
