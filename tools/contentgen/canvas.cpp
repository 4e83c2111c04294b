#include "canvas.h"

#include <algorithm>
#include <cmath>

Rgb hexRgb(uint32_t hex) {
    return Rgb{uint8_t((hex >> 16) & 0xff), uint8_t((hex >> 8) & 0xff), uint8_t(hex & 0xff)};
}

Rgb mixRgb(Rgb a, Rgb b, float t) {
    t = std::min(1.0f, std::max(0.0f, t));
    auto channel = [t](uint8_t p, uint8_t q) {
        return uint8_t(std::lround(p + (q - p) * t));
    };
    return Rgb{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

IndexedImage::IndexedImage(int width, int height, const std::vector<Rgb>& colours)
    : w(width), h(height), palette(colours), pixels(size_t(width) * height, 0) {}

void IndexedImage::opaqueBox(int box[4]) const {
    boundingBox(w, h, [this](int x, int y) { return at(x, y) != 0; }, box);
}

RgbImage::RgbImage(int width, int height) : w(width), h(height), data(size_t(width) * height * 3, 0.0f) {}

void RgbImage::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float* p = at(x, y);
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void RgbImage::blend(int x, int y, Rgb c, float alpha) {
    if (x < 0 || y < 0 || x >= w || y >= h || alpha <= 0.0f) return;
    alpha = std::min(alpha, 1.0f);
    float* p = at(x, y);
    p[0] += (c.r - p[0]) * alpha;
    p[1] += (c.g - p[1]) * alpha;
    p[2] += (c.b - p[2]) * alpha;
}

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// File header and BITMAPINFOHEADER; rows are stored bottom-up.
void headers(std::vector<uint8_t>& out, int w, int h, int bits, uint32_t paletteBytes) {
    uint32_t rowBytes = ((uint32_t(w) * bits + 31) / 32) * 4;
    uint32_t pixelOffset = 14 + 40 + paletteBytes;
    uint32_t imageBytes = rowBytes * uint32_t(h);
    out.push_back('B');
    out.push_back('M');
    put32(out, pixelOffset + imageBytes);
    put32(out, 0);
    put32(out, pixelOffset);
    put32(out, 40);
    put32(out, uint32_t(w));
    put32(out, uint32_t(h));
    put16(out, 1);
    put16(out, uint32_t(bits));
    put32(out, 0);  // no compression
    put32(out, imageBytes);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, bits == 8 ? 256 : 0);
    put32(out, 0);
}
}  // namespace

std::vector<uint8_t> bmpBytes(const IndexedImage& image) {
    std::vector<uint8_t> out;
    headers(out, image.w, image.h, 8, 256 * 4);
    for (int i = 0; i < 256; ++i) {
        Rgb c = i < int(image.palette.size()) ? image.palette[i] : Rgb{0, 0, 0};
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    int pad = (4 - image.w % 4) % 4;
    for (int y = image.h - 1; y >= 0; --y) {
        for (int x = 0; x < image.w; ++x) out.push_back(image.at(x, y));
        for (int i = 0; i < pad; ++i) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> bmpBytes(const RgbImage& image) {
    std::vector<uint8_t> out;
    headers(out, image.w, image.h, 24, 0);
    int pad = (4 - (image.w * 3) % 4) % 4;
    auto byte = [](float v) { return uint8_t(std::lround(std::min(255.0f, std::max(0.0f, v)))); };
    for (int y = image.h - 1; y >= 0; --y) {
        for (int x = 0; x < image.w; ++x) {
            const float* p = &image.data[(y * image.w + x) * 3];
            out.push_back(byte(p[2]));
            out.push_back(byte(p[1]));
            out.push_back(byte(p[0]));
        }
        for (int i = 0; i < pad; ++i) out.push_back(0);
    }
    return out;
}
