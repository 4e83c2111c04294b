#pragma once
// A look at a Windows bitmap's headers before SDL decodes it, so that a
// crafted or broken file is refused with a reason instead of reaching the
// decoder.
#include <SDL/SDL.h>

#include <cstddef>
#include <string>

// Largest image accepted, in pixels (width times height): a frame is held
// three times (as decoded, in the display format and mirrored), 64 MiB each
// at most.
const long kMaxBitmapPixels = 4096L * 4096L;
// Widest and tallest image accepted, in pixels: SDL 1.2 makes no surface
// wider or taller (its rows are measured in 16 bits).
const int kMaxBitmapWidth = 16383;
const int kMaxBitmapHeight = 65535;
// Most bytes read of a bitmap file: the largest bitmap accepted (headers, a
// full palette and kMaxBitmapPixels pixels of 32 bits). Bytes beyond belong
// to no pixel row, so a huge file costs no more memory than that.
const size_t kMaxBitmapFile = 14 + 124 + 1024 + static_cast<size_t>(kMaxBitmapPixels) * 4;

// True when `data` (the whole file, `size` bytes) is a bitmap SDL can decode
// safely: a known header, 1 plane, 1/4/8/16/24/32 bits per pixel, no
// compression SDL lacks, a palette its depth allows, sides within SDL's
// limits, at most kMaxBitmapPixels pixels and pixel rows that fit in the file. Otherwise `reason` says what is wrong.
bool checkBitmap(const unsigned char* data, size_t size, std::string& reason);

// Reads the bitmap file `path`, checks it and decodes it. Null with `reason`
// set when the file can't be opened, fails the check or can't be decoded.
SDL_Surface* loadCheckedBitmap(const char* path, std::string& reason);
