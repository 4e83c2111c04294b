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

// Why a bitmap file gave no image.
enum class bitmapFault {
    none,
    folderUnlisted,  // its folder can't be opened for listing (`error` says why)
    notOpened,       // the file can't be opened, or is no regular file (`error`)
    sizeUnknown,     // its size can't be had (`error`)
    noMemory,        // no memory to hold its bytes
    refused,         // its headers fail checkBitmap (`reason` says how)
    undecodable,     // SDL could not decode it (`reason` is SDL's error)
};

// One read of a bitmap file: the image, or why there is none.
struct bitmapRead {
    SDL_Surface* image = nullptr;      // as decoded (not display format); the caller frees it
    bitmapFault fault = bitmapFault::none;  // none when there is an image
    int error = 0;                     // errno of the call that failed, for the system's words
    std::string reason;                // the check's or SDL's words
    bool outOfMemory = false;          // the fault came from a lack of memory
};

// Reads the bitmap file at `path` once, whole, checks its headers and
// decodes it. Prints nothing: the caller says what a fault means.
bitmapRead readBitmap(const std::string& path);
// The words a report gives for a fault: "can't be opened", the check's
// reason, SDL's error and so on.
std::string faultText(const bitmapRead& read);

// Reads the bitmap file `path`, checks it and decodes it. Null with `reason`
// set (faultText) when the file can't be opened, fails the check or can't be
// decoded.
SDL_Surface* loadCheckedBitmap(const char* path, std::string& reason);
