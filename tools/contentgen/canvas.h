#pragma once
// Pictures as the generator builds them: palette-indexed images for sprites,
// true-colour images for the background, and their Windows bitmap bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

// 0xRRGGBB to a colour.
Rgb hexRgb(uint32_t hex);
// Straight mix of two colours, t from 0 (a) to 1 (b).
Rgb mixRgb(Rgb a, Rgb b, float t);

// Smallest box (right and bottom exclusive) of the cells of a w x h grid
// for which `inside(x, y)` holds; all zero when it holds for none.
template <typename Test>
void boundingBox(int w, int h, Test inside, int box[4]) {
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (inside(x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    if (right < 0) {
        box[0] = box[1] = box[2] = box[3] = 0;
        return;
    }
    box[0] = left;
    box[1] = top;
    box[2] = right + 1;
    box[3] = bottom + 1;
}

// An 8-bit image over its own palette; index 0 is the colour key.
struct IndexedImage {
    int w = 0, h = 0;
    std::vector<Rgb> palette;      // at most 256 entries
    std::vector<uint8_t> pixels;   // row-major, top row first

    IndexedImage(int width, int height, const std::vector<Rgb>& colours);
    uint8_t at(int x, int y) const { return pixels[y * w + x]; }
    void set(int x, int y, uint8_t index) {
        if (x >= 0 && y >= 0 && x < w && y < h) pixels[y * w + x] = index;
    }
    // Smallest box (right and bottom exclusive) holding every non-key pixel;
    // all zero when the image is empty.
    void opaqueBox(int box[4]) const;
};

// A 24-bit image with float channels (0..255) so layers can be blended.
struct RgbImage {
    int w = 0, h = 0;
    std::vector<float> data;  // r, g, b per pixel

    RgbImage(int width, int height);
    float* at(int x, int y) { return &data[(y * w + x) * 3]; }
    void set(int x, int y, Rgb c);
    // Blends `c` over the pixel with coverage `alpha` (0..1).
    void blend(int x, int y, Rgb c, float alpha);
};

// Windows bitmap bytes: 8 bits with a 256-entry palette, or 24 bits.
std::vector<uint8_t> bmpBytes(const IndexedImage& image);
std::vector<uint8_t> bmpBytes(const RgbImage& image);
