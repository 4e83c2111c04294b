// The particle definitions: a flying fireball, the burst it ends in, embers
// and cinders that fall to the floor, and the spark of a blow landing.
#include <algorithm>
#include <cstdio>
#include <cmath>
#include <sstream>

#include "canvas.h"
#include "contentgen.h"
#include "frameInfo.h"
#include "noise.h"

namespace {
// Heat levels from a dim red glow up to white; index 0 is the key.
const uint32_t kFire[] = {0x4a0604, 0x6e0c06, 0x941804, 0xb82a06, 0xd84208, 0xf0620c,
                          0xff8418, 0xffa42a, 0xffc23e, 0xffdc62, 0xfff094, 0xfffce0};
const int kFireLevels = sizeof kFire / sizeof kFire[0];
// Smoke from shadow to lit top.
const uint32_t kSmoke[] = {0x2a2426, 0x3c3436, 0x50474a, 0x655b5c, 0x7b7172, 0x958b8a};
const int kSmokeLevels = sizeof kSmoke / sizeof kSmoke[0];

std::vector<Rgb> particlePalette() {
    std::vector<Rgb> palette{Rgb{255, 0, 255}};
    for (uint32_t c : kFire) palette.push_back(hexRgb(c));
    for (uint32_t c : kSmoke) palette.push_back(hexRgb(c));
    return palette;
}

uint8_t fireIndex(int level) { return uint8_t(1 + std::min(kFireLevels - 1, std::max(0, level))); }
uint8_t smokeIndex(int level) { return uint8_t(1 + kFireLevels + std::min(kSmokeLevels - 1, std::max(0, level))); }

// Heat 0..1 to a fire colour; the faint rim is dithered into a glow.
void putHeat(IndexedImage& img, int x, int y, float heat) {
    if (heat <= 0) return;
    float scaled = heat * kFireLevels;
    if (scaled < 1.0f) {
        if (bayer4(x, y) < scaled) img.set(x, y, fireIndex(0));
        return;
    }
    img.set(x, y, fireIndex(int(scaled)));
}

struct Particle {
    const char* name;
    int number;       // the number on its line of the list file
    int lifeTime;     // milliseconds
    bool gravity;
    std::vector<std::string> onDeath;
    std::vector<std::string> onHitEnemy;
};

FrameBlock frameOf(const IndexedImage& img, int index, int pause, int anchorX, int anchorY, int moveX) {
    FrameBlock f;
    char name[32];
    std::snprintf(name, sizeof name, "frame%02d.bmp", index);
    f.file = name;
    f.pause = pause;
    f.offsetX = anchorX;
    f.offsetY = anchorY;
    img.opaqueBox(f.colBox);
    f.moveX = moveX;
    return f;
}

// A ball of flame streaming a tail behind it, facing right.
IndexedImage fireballFrame(int k) {
    const int w = 48, h = 32;
    const float hx = 36, hy = 16;
    IndexedImage img(w, h, particlePalette());
    float pulse = 9.0f + 0.8f * std::sin(k * 2.1f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            // Noise scrolls toward the tail so the flames stream backward.
            float n = fbm((px + k * 7.0f) * 0.17f, py * 0.23f, 3, 901u);
            float wobble = fbm(px * 0.3f, (py + k * 5.0f) * 0.3f, 2, 333u);
            float dh = std::hypot(px - hx, py - hy) / (pulse * (0.85f + 0.3f * wobble));
            float head = 1.0f - dh;
            float tail = 0;
            if (px < hx) {
                float t = (hx - px) / 34.0f;
                if (t < 1.0f) {
                    float wave = 2.2f * std::sin(px * 0.35f + k * 1.9f) * t;
                    float halfWidth = pulse * std::pow(1.0f - t, 0.9f) * (0.65f + 0.7f * n);
                    float across = std::fabs(py - hy - wave) / std::max(0.5f, halfWidth);
                    tail = (1.0f - across) * std::pow(1.0f - t, 0.6f) * 0.85f;
                }
            }
            float heat = std::max(head * 1.25f, tail);
            putHeat(img, x, y, std::min(0.999f, heat));
        }
    return img;
}

// The burst: a flash, a swelling ball of fire, then a ring that turns to smoke.
IndexedImage burstFrame(int k) {
    const int size = 72;
    const float c = 36;
    struct Stage {
        float hole, fire, smoke, bright;
    };
    const Stage stages[] = {{0, 10, 0, 1.0f}, {0, 20, 0, 1.0f}, {6, 27, 30, 0.9f}, {15, 30, 34, 0.62f},
                            {23, 29, 35, 0.38f}};
    const Stage& st = stages[k];
    IndexedImage img(size, size, particlePalette());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float px = x + 0.5f - c, py = y + 0.5f - c;
            float n = fbm((px + 40) * 0.13f, (py + 40) * 0.13f, 3, 4242u + uint32_t(k) * 17u);
            float d = std::hypot(px, py) / (0.7f + 0.6f * n);
            if (d < st.hole || (d >= st.fire && d < st.smoke)) {
                // Smoke, lit from above, its edge dithered thin.
                // Inside the ring the smoke is patchy; outside it thins out.
                float density = d < st.hole ? (n - 0.3f) * 2.4f + (1.0f - d / st.hole) * 0.5f : (st.smoke - d) / 3.0f + 0.35f;
                if (bayer4(x, y) > density) continue;
                int level = int((0.5f - py / (2.0f * st.smoke)) * kSmokeLevels * 0.8f + n * 2.0f);
                img.set(x, y, smokeIndex(level));
            } else if (d < st.fire) {
                float span = st.fire - st.hole;
                float t = (d - st.hole) / span;
                float heat = st.bright * std::pow(1.0f - t, 0.6f) * (st.hole > 0 ? std::min(1.0f, t * 4.0f) : 1.0f);
                putHeat(img, x, y, std::min(0.999f, heat + 0.08f));
            }
        }
    return img;
}

// A glowing spark of `size` (core radius) and brightness.
IndexedImage sparkFrame(int side, float core, float bright) {
    IndexedImage img(side, side, particlePalette());
    float c = side / 2.0f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            float d = std::hypot(x + 0.5f - c, y + 0.5f - c);
            float heat = bright * (1.0f - d / (core * 2.6f));
            if (d < core) heat = std::max(heat, bright);
            putHeat(img, x, y, std::min(0.999f, heat));
        }
    return img;
}

// The spark where a blow lands: a white-hot star that flashes, throws its
// rays outward and breaks into streaks. Frame k of 4, `side` pixels square.
IndexedImage hitsparkFrame(int k) {
    const int side = 40;
    const float c = side / 2.0f;
    struct Stage {
        float core;    // radius of the solid centre
        float inner;   // where the rays start
        float outer;   // where the long rays end
        float width;   // half-width of a ray at its root
        float bright;  // heat of the hottest pixel, 0..1
    };
    const Stage stages[] = {{6, 0, 11, 2.0f, 1.0f}, {5, 0, 19, 2.6f, 1.0f}, {0, 9, 19, 1.8f, 0.78f},
                            {0, 14, 19, 1.2f, 0.55f}};
    const Stage& st = stages[k];
    // Eight rays, long and short in turn, each a little off the compass.
    const float lean[] = {3, -6, 5, 2, -4, 7, -2, -5};
    const float kDegrees = 3.14159265f / 180.0f;
    IndexedImage img(side, side, particlePalette());
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            float px = x + 0.5f - c, py = y + 0.5f - c;
            float d = std::hypot(px, py);
            float heat = st.core > 0 ? st.bright * (1.6f - d / st.core) : 0.0f;
            for (int i = 0; i < 8; ++i) {
                float angle = (i * 45.0f + lean[i] + k * 6.0f) * kDegrees;
                float along = px * std::cos(angle) + py * std::sin(angle);
                float across = std::fabs(-px * std::sin(angle) + py * std::cos(angle));
                float outer = i % 2 == 0 ? st.outer : st.inner + (st.outer - st.inner) * 0.62f;
                if (along < st.inner || along > outer) continue;
                // Tapering to a point at the tip, hottest at the root.
                float t = (along - st.inner) / std::max(1.0f, outer - st.inner);
                float halfWidth = st.width * (1.0f - t) + 0.35f;
                if (across > halfWidth) continue;
                heat = std::max(heat, st.bright * (1.0f - 0.55f * t) * (1.0f - 0.4f * across / halfWidth));
            }
            putHeat(img, x, y, std::min(0.999f, heat));
        }
    return img;
}

std::string settingsText(const Particle& p) {
    std::ostringstream out;
    out << 255 << "\n" << p.lifeTime << "\n" << (p.gravity ? 1 : 0) << "\n0\n0\n";
    auto list = [&out](const std::vector<std::string>& entries) {
        out << entries.size() << "\n";
        for (const std::string& e : entries) out << e << "\n";
    };
    list(p.onDeath);      // OnDeath
    list({});             // OnHitPlayer
    list(p.onHitEnemy);   // OnHitEnemy
    list({});             // OnHitTarget
    list({});             // OnHitAlly
    return out.str();
}
}  // namespace

void writeParticles(Output& out) {
    // Death entries are offsets from the dying particle's image corner, y
    // down, mirrored about that corner, so no x centres the burst on the
    // head in both facings. x 12 (the head's 36 less half the image's 48)
    // puts it 24 pixels from the head either way: on the tail when flying
    // right, just ahead when flying left. y 16 is the head's height.
    const Particle defs[] = {
        {"fireball1", 1, 1100, false, {"burst 12 16", "ember 22 10", "cinder 6 20"}, {"burst 12 16"}},
        {"burst", 2, 330, false, {}, {}},
        {"ember", 3, 1400, true, {}, {}},
        {"cinder", 4, 1100, true, {}, {}},
        // Shorter than its frames (144 ms at the particles' 3 ms a pause
        // unit), so it dies on its last frame instead of flashing again.
        {"hitspark", 5, 130, false, {}, {}},
    };
    std::string list = "PARTS: " + std::to_string(sizeof defs / sizeof defs[0]) + "\n";
    for (const Particle& p : defs) list += std::string(p.name) + " " + std::to_string(p.number) + "\n";
    out.writeText("particle/default", list);

    for (const Particle& p : defs) {
        std::string folder = std::string("particle/") + p.name;
        std::vector<FrameBlock> frames;
        std::string title;
        if (std::string(p.name) == "fireball1") {
            title = "fireball1: a streaming flame, 5 pixels per movement step";
            for (int k = 0; k < 6; ++k) {
                IndexedImage img = fireballFrame(k);
                FrameBlock f = frameOf(img, k, 12, 36, 16, 5);
                // The burning head is what hits: its hottest pixels.
                IndexedImage core = img;
                for (uint8_t& px : core.pixels)
                    if (px < fireIndex(kFireLevels / 2)) px = 0;
                core.opaqueBox(f.hitBox);
                f.hitActive = 1;
                f.note = "flame " + std::to_string(k + 1) + " of 6";
                frames.push_back(f);
                out.write(folder + "/" + f.file, bmpBytes(img));
            }
        } else if (std::string(p.name) == "burst") {
            title = "burst: flash, fireball, ring of fire, smoke; it does not move";
            const int pause[] = {15, 20, 25, 30, 35};
            const char* notes[] = {"flash", "swelling fire", "ring of fire", "breaking into smoke", "smoke"};
            for (int k = 0; k < 5; ++k) {
                IndexedImage img = burstFrame(k);
                FrameBlock f = frameOf(img, k, pause[k], 36, 36, 0);
                f.note = notes[k];
                frames.push_back(f);
                out.write(folder + "/" + f.file, bmpBytes(img));
            }
        } else if (std::string(p.name) == "hitspark") {
            title = "hitspark: the flash of a blow landing; it does not move";
            const int pause[] = {8, 10, 12, 18};
            const char* notes[] = {"flash", "star", "rays flying apart", "streaks fading"};
            for (int k = 0; k < 4; ++k) {
                IndexedImage img = hitsparkFrame(k);
                FrameBlock f = frameOf(img, k, pause[k], 20, 20, 0);
                f.note = notes[k];
                frames.push_back(f);
                out.write(folder + "/" + f.file, bmpBytes(img));
            }
        } else {
            bool ember = std::string(p.name) == "ember";
            title = ember ? "ember: a bright spark flying forward as it falls"
                          : "cinder: a dim spark drifting back as it falls";
            const float cores[] = {1.6f, 2.1f, 1.3f, 1.9f};
            const float brights[] = {0.95f, 0.8f, 0.9f, 0.7f};
            int side = ember ? 12 : 10;
            for (int k = 0; k < 4; ++k) {
                IndexedImage img = sparkFrame(side, cores[k] * (ember ? 1.0f : 0.8f), brights[k] * (ember ? 1.0f : 0.7f));
                FrameBlock f = frameOf(img, k, 15, side / 2, side / 2, ember ? 2 : -1);
                f.note = "flicker " + std::to_string(k + 1);
                frames.push_back(f);
                out.write(folder + "/" + f.file, bmpBytes(img));
            }
        }
        out.writeText(folder + "/info", infoText(title, frames));
        out.writeText(folder + "/particle", settingsText(p));
    }
    out.writeText("particle/fireball1/hit", hitText("fireball1: the thrown fireball, a middling blow", kFireballHit));
}

// --- Gale's wind ---

namespace {
// Wind from a deep teal shadow up to white; index 0 is the key.
const uint32_t kWind[] = {0x0c3440, 0x124a58, 0x1a6272, 0x24808e, 0x36a0aa,
                          0x52bcc2, 0x78d4d8, 0xa4e8ea, 0xd0f6f6, 0xf6ffff};
const int kWindLevels = sizeof kWind / sizeof kWind[0];

std::vector<Rgb> windPalette() {
    std::vector<Rgb> palette{Rgb{255, 0, 255}};
    for (uint32_t c : kWind) palette.push_back(hexRgb(c));
    return palette;
}

// Strength 0..1 to a wind colour; the faint rim is dithered away.
void putWind(IndexedImage& img, int x, int y, float strength) {
    if (strength <= 0) return;
    float scaled = std::min(0.999f, strength) * kWindLevels;
    if (scaled < 1.0f) {
        if (bayer4(x, y) < scaled) img.set(x, y, 1);
        return;
    }
    img.set(x, y, uint8_t(1 + int(scaled)));
}

const int kGustW = 56, kGustH = 40, kGustHeadX = 40, kGustHeadY = 20;

// The wind blade, facing right: a crescent, brightest on its leading edge,
// with streaks of air trailing behind it.
IndexedImage gustFrame(int k) {
    IndexedImage img(kGustW, kGustH, windPalette());
    for (int y = 0; y < kGustH; ++y)
        for (int x = 0; x < kGustW; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float n = fbm((px + k * 9.0f) * 0.2f, py * 0.2f, 2, 515u);
            // Between an outer circle and an inner one set back from it.
            float outer = 17.0f + 1.5f * n - std::hypot(px - 30.0f, py - kGustHeadY);
            float inner = std::hypot(px - 23.0f, (py - kGustHeadY) * 1.05f) - 16.0f;
            float blade = std::min(outer, inner);
            float strength = blade > 0 ? 0.35f + std::min(1.0f, blade / 4.0f) * 0.35f + (px - 24.0f) / 40.0f : 0.0f;
            // Streaks: thin lines of air, broken by the noise, fading backward.
            for (float row : {-9.0f, -3.5f, 2.5f, 8.0f}) {
                float across = std::fabs(py - kGustHeadY - row - std::sin(px * 0.3f + k + row) * 0.8f);
                float along = px / 30.0f;
                if (across < 0.9f && px < 34.0f && n > 0.35f + 0.25f * std::sin(px * 0.2f + k * 1.7f + row))
                    strength = std::max(strength, along * 0.55f);
            }
            putWind(img, x, y, strength);
        }
    return img;
}

// The blade coming apart: curls of air spinning outward and thinning.
// Frame k of 4, 48 pixels square.
IndexedImage gustFadeFrame(int k) {
    const int side = 48;
    const float c = side / 2.0f;
    const float radius[] = {7, 11, 15, 18}, fade[] = {1.0f, 0.85f, 0.62f, 0.4f};
    IndexedImage img(side, side, windPalette());
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            float px = x + 0.5f - c, py = y + 0.5f - c;
            float d = std::hypot(px, py), angle = std::atan2(py, px);
            // Three arms curling out from the middle.
            float arm = std::cos(3.0f * angle - d * 0.32f + k * 0.9f);
            float ring = 1.0f - std::fabs(d - radius[k]) / (4.0f + k);
            float strength = fade[k] * ring * (0.35f + 0.65f * std::max(0.0f, arm));
            if (d < 4.0f && k == 0) strength = std::max(strength, 0.9f);
            putWind(img, x, y, strength);
        }
    return img;
}
}  // namespace

void writeGaleParticles(Output& out) {
    // Its death entry centres the fade where the blade was, as the
    // fireball's does its burst: x 16 is the image's width less the head's.
    const Particle defs[] = {
        {"gust", 20, 1000, false, {"gustFade 16 20"}, {"gustFade 16 20"}},
        // Shorter than its frames (270 ms), so it dies on its last one.
        {"gustFade", 21, 250, false, {}, {}},
    };
    std::string list = "PARTS: 2\n";
    for (const Particle& p : defs) list += std::string(p.name) + " " + std::to_string(p.number) + "\n";
    out.writeText("particle/Gale", list);

    std::vector<FrameBlock> frames;
    for (int k = 0; k < 6; ++k) {
        IndexedImage img = gustFrame(k);
        FrameBlock f = frameOf(img, k, 12, kGustHeadX, kGustHeadY, 6);
        // The bright edge of the blade is what hits.
        IndexedImage edge = img;
        for (uint8_t& px : edge.pixels)
            if (px < 1 + kWindLevels / 2) px = 0;
        edge.opaqueBox(f.hitBox);
        f.hitActive = 1;
        f.note = "blade " + std::to_string(k + 1) + " of 6";
        frames.push_back(f);
        out.write("particle/gust/" + f.file, bmpBytes(img));
    }
    out.writeText("particle/gust/info", infoText("gust: a blade of wind, 6 pixels per movement step", frames));
    out.writeText("particle/gust/particle", settingsText(defs[0]));
    out.writeText("particle/gust/hit", hitText("gust: Gale's wind blade, a middling blow", kGustHit, kGustGuard));

    frames.clear();
    const int pause[] = {15, 20, 25, 30};
    for (int k = 0; k < 4; ++k) {
        IndexedImage img = gustFadeFrame(k);
        FrameBlock f = frameOf(img, k, pause[k], 24, 24, 0);
        f.note = "curls of air " + std::to_string(k + 1) + " of 4";
        frames.push_back(f);
        out.write("particle/gustFade/" + f.file, bmpBytes(img));
    }
    out.writeText("particle/gustFade/info", infoText("gustFade: the blade spins apart; it does not move", frames));
    out.writeText("particle/gustFade/particle", settingsText(defs[1]));
}
