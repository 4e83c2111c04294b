#pragma once
// A look at a Windows bitmap's headers before SDL decodes it, so that a
// crafted or broken file is refused with a reason instead of reaching the
// decoder.
#include <SDL/SDL.h>

#include <cstddef>
#include <string>

// Largest width and height accepted, in pixels.
const int kMaxBitmapSide = 4096;

// True when `data` (the whole file, `size` bytes) is a bitmap SDL can decode
// safely: a known header, 1 plane, 1/4/8/16/24/32 bits per pixel, no
// compression SDL lacks, a palette its depth allows, sides of 1..4096 pixels
// and pixel rows that fit in the file. Otherwise `reason` says what is wrong.
bool checkBitmap(const unsigned char* data, size_t size, std::string& reason);

// Reads the bitmap file `path`, checks it and decodes it. Null with `reason`
// set when the file can't be opened, fails the check or can't be decoded.
SDL_Surface* loadCheckedBitmap(const char* path, std::string& reason);
