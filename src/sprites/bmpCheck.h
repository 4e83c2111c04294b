#pragma once
// A look at a Windows bitmap's headers before SDL decodes it, so that a
// crafted or broken file is refused with a reason instead of reaching the
// decoder.
#include <SDL/SDL.h>

#include <cstddef>
#include <string>

// Largest width and height accepted, in pixels.
const int kMaxBitmapSide = 4096;
// Most bytes read of a bitmap file: the largest bitmap accepted (headers, a
// full palette and 4096x4096 pixels of 32 bits). Bytes beyond belong to no
// pixel row, so a huge file costs no more memory than that.
const size_t kMaxBitmapFile = 14 + 124 + 1024 + static_cast<size_t>(kMaxBitmapSide) * kMaxBitmapSide * 4;

// True when `data` (the whole file, `size` bytes) is a bitmap SDL can decode
// safely: a known header, 1 plane, 1/4/8/16/24/32 bits per pixel, no
// compression SDL lacks, a palette its depth allows, sides of 1..4096 pixels
// and pixel rows that fit in the file. Otherwise `reason` says what is wrong.
bool checkBitmap(const unsigned char* data, size_t size, std::string& reason);

// Reads the bitmap file `path`, checks it and decodes it. Null with `reason`
// set when the file can't be opened, fails the check or can't be decoded.
SDL_Surface* loadCheckedBitmap(const char* path, std::string& reason);
