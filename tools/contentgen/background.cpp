// The scene: a mountain temple courtyard on a clear afternoon. Far to near:
// sky and clouds, mountains, a hill with a pagoda, trees, the courtyard wall
// and the stone floor whose top edge is row 530, where the fighter stands.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "contentgen.h"
#include "noise.h"

namespace {
const int W = 800, H = 600;
const int kFloorTop = 530;

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
float smooth(float a, float b, float v) {
    float t = clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}

Rgb shade(Rgb c, float k) {
    auto ch = [k](uint8_t v) { return uint8_t(std::lround(std::min(255.0f, std::max(0.0f, v * k)))); };
    return Rgb{ch(c.r), ch(c.g), ch(c.b)};
}

const Rgb kHaze = hexRgb(0xc4d4e0);

void sky(RgbImage& img) {
    const Rgb top = hexRgb(0x3568bd), middle = hexRgb(0x86bde8), low = hexRgb(0xe4eef0);
    const float sunX = 96, sunY = 64;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float t = y / 430.0f;
            Rgb c = t < 0.55f ? mixRgb(top, middle, t / 0.55f) : mixRgb(middle, low, (t - 0.55f) / 0.45f);
            img.set(x, y, c);
            // The sun's glow, wide and soft.
            float d = std::hypot(x - sunX, y - sunY);
            img.blend(x, y, hexRgb(0xfff6dc), 0.55f * std::exp(-d / 90.0f));
            if (d < 26) img.blend(x, y, hexRgb(0xfffdf4), smooth(26, 23.5f, d));
        }
}

void clouds(RgbImage& img) {
    for (int y = 40; y < 330; ++y)
        for (int x = 0; x < W; ++x) {
            // Flat-bottomed banks of cumulus in a layer around y 120..300.
            auto density = [](float px, float py) {
                float layer = smooth(40, 130, py) * smooth(330, 230, py);
                float n = fbm(px / 170.0f, py / 48.0f, 5, 1201u);
                float bank = fbm(px / 420.0f, 3.7f, 2, 88u);
                return (n * 0.9f + bank * 0.5f) * layer - 0.62f;
            };
            float d = density(float(x), float(y));
            if (d <= 0) continue;
            // Lit from the sun at the upper left: brighter where the cloud
            // thins toward it, bluish grey underneath.
            float toward = density(x - 5.0f, y - 4.0f);
            float light = clamp01(0.6f + (d - toward) * 7.0f);
            float under = smooth(200, 300, float(y)) * 0.35f;
            Rgb c = mixRgb(hexRgb(0xa9b8cc), hexRgb(0xffffff), light - under);
            img.blend(x, y, c, clamp01(d * 9.0f));
        }
}

// Height of a ridge line at column x: smaller is higher on the screen.
float ridge(float x, float base, float height, float scale, uint32_t seed) {
    float n = fbm(x / scale, 0.5f, 5, seed);
    float sharp = 1.0f - std::fabs(fbm(x / (scale * 0.6f), 7.5f, 3, seed + 9u) * 2.0f - 1.0f);
    return base - height * (n * 0.75f + sharp * 0.4f);
}

// Light on a rocky slope: the ridge's own slope near the top, then the
// relief of a noise height field, lit from the upper left.
float rockLight(float x, float y, float top, float ridgeSlope, float roughness, uint32_t seed) {
    auto height = [seed](float px, float py) { return fbm(px / 38.0f, py / 16.0f, 4, seed); };
    float relief = (height(x - 1.5f, y - 1.0f) - height(x + 1.5f, y + 1.0f)) * roughness;
    float nearTop = std::exp(-(y - top) / 25.0f);
    return clamp01(0.5f - ridgeSlope * 0.05f * nearTop + relief);
}

// The ridge's slope over a wide span, so the light changes smoothly.
float ridgeSlope(float x, float base, float height, float scale, uint32_t seed) {
    return ridge(x + 6.0f, base, height, scale, seed) - ridge(x - 6.0f, base, height, scale, seed);
}

void mountains(RgbImage& img) {
    // Far range: pale and hazy with snow on the peaks.
    for (int x = 0; x < W; ++x) {
        float top = ridge(float(x), 372, 150, 240, 501u);
        float slope = ridgeSlope(float(x), 372, 150, 240, 501u);
        for (int y = std::max(0, int(top)); y < 440; ++y) {
            float lit = rockLight(float(x), float(y), top, slope, 2.5f, 611u);
            Rgb rock = mixRgb(hexRgb(0x7488ae), hexRgb(0xb2c0dc), lit);
            float snowLine = 262 + 30 * fbm(x / 24.0f, y / 30.0f, 3, 7u);
            if (y < snowLine) rock = mixRgb(hexRgb(0xb8c6e0), hexRgb(0xf6f9ff), lit * 1.2f);
            float fade = smooth(top + 30, 440, float(y));
            img.set(x, y, mixRgb(rock, kHaze, 0.38f + 0.45f * fade));
        }
    }
    // Nearer range: blue-green forest slopes.
    for (int x = 0; x < W; ++x) {
        float top = ridge(float(x), 408, 95, 160, 733u);
        float slope = ridgeSlope(float(x), 408, 95, 160, 733u);
        for (int y = int(top); y < 450; ++y) {
            float lit = rockLight(float(x), float(y), top, slope, 4.0f, 733u);
            float tex = fbm(x / 4.0f, y / 4.0f, 2, 99u);
            Rgb c = mixRgb(hexRgb(0x456474), hexRgb(0x86a8a6), lit * 0.85f + tex * 0.2f);
            img.set(x, y, mixRgb(c, kHaze, 0.3f * smooth(top, 450, float(y)) + 0.12f));
        }
    }
}

// A five-storey pagoda standing on the hill, seen through a little haze.
void pagoda(RgbImage& img, int cx, int baseY) {
    const Rgb wood = hexRgb(0x9a4634), woodDark = hexRgb(0x62281e), roof = hexRgb(0x34404e),
              roofLight = hexRgb(0x5d6c7e), plaster = hexRgb(0xe2d8c4);
    auto put = [&](int x, int y, Rgb c) { img.set(x, y, mixRgb(c, kHaze, 0.28f)); };
    int y = baseY;
    for (int storey = 0; storey < 5; ++storey) {
        int bodyW = 30 - storey * 4, bodyH = 15 - storey;
        // Walls: white plaster between red posts.
        for (int yy = y - bodyH; yy < y; ++yy)
            for (int xx = cx - bodyW / 2; xx <= cx + bodyW / 2; ++xx) {
                int rel = xx - (cx - bodyW / 2);
                bool post = rel % 7 < 2 || xx == cx + bodyW / 2;
                Rgb c = post ? wood : plaster;
                if (yy < y - bodyH + 3) c = woodDark;  // shadow under the eaves
                put(xx, yy, c);
            }
        y -= bodyH;
        // The roof: a wide sweep with upturned corners.
        int roofW = bodyW + 22, roofH = 7;
        for (int yy = 0; yy < roofH; ++yy) {
            float t = yy / float(roofH - 1);
            int half = int(roofW / 2 - (1 - t) * 8);
            for (int xx = -half; xx <= half; ++xx) {
                float edge = std::fabs(float(xx)) / roofW * 2;
                int lift = int(std::pow(edge, 4.0f) * 4);
                int py = y - yy - lift + roofH - 3;
                put(cx + xx, py, yy == 0 ? roofLight : mixRgb(roof, roofLight, edge * 0.4f));
                if (yy == 0) put(cx + xx, py + 1, woodDark);
            }
        }
        y -= roofH - 2;
    }
    // Spire with its rings.
    for (int yy = y - 24; yy < y; ++yy) {
        bool ring = (y - yy) % 4 == 0;
        for (int xx = -(ring ? 2 : 1); xx <= (ring ? 2 : 1); ++xx) put(cx + xx, yy, ring ? hexRgb(0xb49450) : hexRgb(0x6d5a3a));
    }
}

void hill(RgbImage& img) {
    for (int x = 0; x < W; ++x) {
        float top = 432 - 34 * std::exp(-std::pow((x - 600) / 120.0f, 2.0f)) - 12 * fbm(x / 60.0f, 3, 3, 61u);
        for (int y = int(top); y < 470; ++y) {
            float tex = fbm(x / 5.0f, y / 4.0f, 3, 515u);
            float lit = clamp01(0.55f + (tex - 0.5f) * 1.6f - (y - top) * 0.01f);
            Rgb c = mixRgb(hexRgb(0x3d6a48), hexRgb(0x79a062), lit);
            img.set(x, y, mixRgb(c, kHaze, 0.18f));
        }
    }
    pagoda(img, 606, 400);
}

// Trees behind the wall: dark green crowns with lit tops, and two cherry
// trees in blossom.
void trees(RgbImage& img) {
    for (int x = 0; x < W; ++x) {
        float bumps = 0;
        for (int k = 0; k < 3; ++k) bumps += std::fabs(std::sin(x / (11.0f + k * 7.3f) + k * 1.7f)) * (6 - k * 1.5f);
        float top = 452 - bumps - 16 * fbm(x / 45.0f, 2, 3, 71u);
        for (int y = int(top); y < 470; ++y) {
            float leaf = fbm(x / 3.5f, y / 3.5f, 3, 373u);
            float lit = clamp01((leaf - 0.35f) * 1.8f - (y - top) * 0.045f + 0.35f);
            img.set(x, y, mixRgb(hexRgb(0x1f3f2a), hexRgb(0x5c8a48), lit));
        }
    }
    // Cherry trees: a dark trunk under round clusters of blossom.
    const int cherries[][2] = {{72, 408}, {730, 414}};
    const float clusters[][3] = {{-42, 4, 22}, {-18, -14, 25}, {12, -18, 25}, {38, -4, 22},
                                 {0, 6, 26},   {-30, 20, 17},  {28, 18, 18},  {-4, -30, 16}};
    for (const auto& tree : cherries) {
        int cx = tree[0], cy = tree[1];
        for (int y = cy; y < 470; ++y) {
            float bend = 3.0f * std::sin((y - cy) / 14.0f);
            int half = 2 + (y - cy) / 18;
            for (int x = int(cx + bend) - half; x <= int(cx + bend) + half; ++x)
                img.set(x, y, x < cx + bend - half + 2 ? hexRgb(0x5a3a30) : hexRgb(0x3a221c));
        }
        for (int y = cy - 56; y < cy + 44; ++y)
            for (int x = cx - 72; x < cx + 72; ++x) {
                if (x < 0 || x >= W) continue;
                float best = 1e9f, bestDy = 0, bestDx = 0;
                for (const auto& cl : clusters) {
                    float dx = x - (cx + cl[0]), dy = y - (cy + cl[1]);
                    float edge = fbm(x / 5.0f, y / 5.0f, 3, 2024u) * 7.0f;
                    float d = std::sqrt(dx * dx + dy * dy) - cl[2] - edge + 4.0f;
                    if (d < best) {
                        best = d;
                        bestDx = dx / cl[2];
                        bestDy = dy / cl[2];
                    }
                }
                if (best > 0) continue;
                float petal = fbm(x / 2.2f, y / 2.2f, 2, 555u);
                float lit = clamp01(0.55f + (petal - 0.5f) * 1.2f - bestDy * 0.4f - bestDx * 0.3f);
                if (best > -1.5f) lit *= 0.7f;
                img.set(x, y, mixRgb(hexRgb(0xa84868), hexRgb(0xfde0ea), lit));
            }
    }
}

void lantern(RgbImage& img, int cx, int top) {
    // A red paper lantern hanging from the eaves, glowing softly.
    for (int y = top - 6; y < top; ++y) img.set(cx, y, hexRgb(0x2a1a14));
    for (int y = top; y < top + 24; ++y)
        for (int x = cx - 10; x <= cx + 10; ++x) {
            float dx = (x - cx) / 9.5f, dy = (y - top - 12) / 12.0f;
            if (dx * dx + dy * dy > 1.0f) continue;
            float lit = clamp01(0.85f - dx * 0.5f - std::fabs(dy) * 0.3f);
            Rgb c = mixRgb(hexRgb(0x8e1414), hexRgb(0xff7050), lit);
            if ((y - top) % 5 == 0) c = shade(c, 0.78f);  // the paper's ribs
            img.set(x, y, c);
        }
    for (int x = cx - 5; x <= cx + 5; ++x) {
        img.set(x, top, hexRgb(0x2a1a14));
        img.set(x, top + 1, hexRgb(0xc89a40));
        img.set(x, top + 23, hexRgb(0xc89a40));
        img.set(x, top + 24, hexRgb(0x2a1a14));
    }
    for (int y = top + 25; y < top + 33; ++y) img.set(cx, y, hexRgb(0xd8b050));
}

void wall(RgbImage& img) {
    const int roofTop = 452, roofBottom = 468, baseTop = 508;
    // Plaster, shaded under the eaves, with faint weathering.
    for (int y = roofBottom; y < baseTop; ++y)
        for (int x = 0; x < W; ++x) {
            float stain = fbm(x / 26.0f, y / 10.0f, 4, 919u);
            float k = 0.9f + stain * 0.14f - smooth(roofBottom + 9, roofBottom, float(y)) * 0.22f;
            img.set(x, y, shade(hexRgb(0xe6dcc6), k));
        }
    // Lattice windows between the posts.
    for (int wx : {200, 400, 600}) {
        for (int y = 476; y < 500; ++y)
            for (int x = wx - 28; x <= wx + 28; ++x) {
                bool frame = y < 478 || y > 497 || x < wx - 26 || x > wx + 26;
                bool bar = (x - wx + 28) % 7 < 2 || (y - 476) % 6 < 2;
                Rgb c = frame ? hexRgb(0x5a2c20) : bar ? hexRgb(0x7a4230) : hexRgb(0x2a2420);
                if (!frame && bar && (y - 476) % 6 == 0) c = hexRgb(0x96583e);
                img.set(x, y, c);
            }
    }
    // Posts of red-brown wood, lit on the left.
    for (int px = 100; px < W; px += 200)
        for (int y = roofBottom - 2; y < kFloorTop; ++y)
            for (int x = px - 7; x <= px + 7; ++x) {
                int rel = x - (px - 7);
                Rgb c = rel < 3 ? hexRgb(0x9a5440) : rel > 11 ? hexRgb(0x4a1c12) : hexRgb(0x76321f);
                float grain = fbm(x / 2.0f, y / 30.0f, 2, 33u);
                img.set(x, y, shade(c, 0.9f + grain * 0.2f));
            }
    // Stone base: staggered blocks with mortar.
    for (int y = baseTop; y < kFloorTop; ++y)
        for (int x = 0; x < W; ++x) {
            int course = (y - baseTop) / 11;
            int offset = course % 2 ? 21 : 0;
            int bx = (x + offset) / 42;
            bool mortar = (y - baseTop) % 11 == 0 || (x + offset) % 42 == 0;
            float vary = hash2(bx, course, 77u);
            float tex = fbm(x / 4.0f, y / 4.0f, 2, 3u);
            Rgb c = mortar ? hexRgb(0x5e5a52) : shade(hexRgb(0x9c968a), 0.86f + vary * 0.18f + tex * 0.1f);
            if (!mortar && (y - baseTop) % 11 == 1) c = shade(c, 1.12f);
            img.set(x, y, c);
        }
    // Roof cap: rows of round tiles with a ridge on top.
    for (int y = roofTop; y < roofBottom; ++y)
        for (int x = 0; x < W; ++x) {
            Rgb c;
            if (y < roofTop + 4) {
                c = y == roofTop ? hexRgb(0x56606c) : hexRgb(0x2b3139);
            } else {
                int phase = x % 9;
                float round = std::sin((phase + 0.5f) / 9.0f * 3.14159f);
                c = mixRgb(hexRgb(0x262c34), hexRgb(0x66717e), round * 0.9f - (y - roofTop) * 0.015f);
                if (y >= roofBottom - 3) {
                    // The round tile ends along the drip edge.
                    float d = std::hypot(phase - 4.0f, y - (roofBottom - 2.0f));
                    c = d < 2.6f ? mixRgb(hexRgb(0x3a424c), hexRgb(0x8a96a4), 1 - d / 2.6f) : hexRgb(0x1e2329);
                }
            }
            img.set(x, y, c);
        }
    for (int px = 100; px < W; px += 200) lantern(img, px + 30, roofBottom + 6);
    // The wall's foot in shadow, just above the floor's edge.
    for (int x = 0; x < W; ++x) img.set(x, kFloorTop - 1, shade(hexRgb(0x5e5a52), 0.75f));
}

// Stone slabs seen in perspective: eye level at row 420, the slabs 0.9 m
// square, the camera 1.6 m above the floor.
void floorSlabs(RgbImage& img) {
    const float horizon = 420, focal = 700, eye = 1.6f, slab = 0.9f;
    for (int y = kFloorTop; y < H; ++y) {
        float depth = focal * eye / (y + 0.5f - horizon);
        float depthAbove = focal * eye / (y - 0.5f - horizon);
        int rowIndex = int(std::floor(depth / slab));
        bool rowSeam = y > kFloorTop && int(std::floor(depthAbove / slab)) != rowIndex;
        float stagger = (rowIndex % 2) * slab * 0.5f;
        for (int x = 0; x < W; ++x) {
            float wx = (x + 0.5f - W / 2) * depth / focal + stagger;
            float wxLeft = (x - 0.5f - W / 2) * depth / focal + stagger;
            int col = int(std::floor(wx / slab));
            bool colSeam = int(std::floor(wxLeft / slab)) != col;
            float vary = hash2(col, rowIndex, 1234u);
            float tex = fbm(wx * 9.0f, depth * 9.0f, 3, 808u);
            float k = 0.86f + vary * 0.14f + (tex - 0.5f) * 0.16f;
            // Nearer rows catch more light.
            k *= 0.92f + 0.1f * (y - kFloorTop) / float(H - kFloorTop);
            Rgb c = shade(hexRgb(0xb7ab94), k);
            if (rowSeam || colSeam) c = shade(hexRgb(0x7a705e), 0.9f + vary * 0.1f);
            if (y == kFloorTop) c = hexRgb(0xd9cdb4);  // the lit front edge of the top row
            img.set(x, y, c);
        }
    }
    // The wall's soft shadow on the first rows.
    for (int y = kFloorTop + 1; y < kFloorTop + 7; ++y)
        for (int x = 0; x < W; ++x) {
            float* p = img.at(x, y);
            float k = 0.8f + 0.2f * (y - kFloorTop) / 7.0f;
            p[0] *= k;
            p[1] *= k;
            p[2] *= k;
        }
}

// A little noise so the wide gradients don't band.
void grain(RgbImage& img) {
    Rng rng(20261207u);
    for (float& v : img.data) v += rng.range(-1.2f, 1.2f);
}
}  // namespace

void writeBackground(Output& out) {
    RgbImage img(W, H);
    sky(img);
    clouds(img);
    mountains(img);
    hill(img);
    trees(img);
    wall(img);
    floorSlabs(img);
    grain(img);
    out.write("tBG2.bmp", bmpBytes(img));
}
