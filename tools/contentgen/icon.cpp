#include "icon.h"

#include <png.h>

#include <algorithm>
#include <cstdio>

#include "fighter.h"

namespace {
// The flame throw's thrust with the fire still between the palms.
Pose iconPose() {
    Pose p;
    p.pelvis = Vec{4, 54};
    p.lean = 16;
    p.handNear = Vec{62, 82};
    p.handFar = Vec{64, 90};
    p.shapeNear = Hand::Palm;
    p.shapeFar = Hand::Palm;
    p.footNear = Vec{-30, 5.5f};
    p.footFar = Vec{28, 5.5f};
    p.palmFire = 1;
    p.seed = 23;
    p.tail = -0.8f;
    return p;
}
}  // namespace

std::vector<uint8_t> iconPixels(int size) {
    IndexedImage frame = renderFighter(iconPose(), Look::Burn).image;
    int box[4];
    frame.opaqueBox(box);
    // The opaque box, centred in a square, shrunk by averaging the source
    // pixels under each icon pixel (colours weighted by their coverage).
    int side = std::max(box[2] - box[0], box[3] - box[1]) + 2;
    float left = (box[0] + box[2] - side) / 2.0f;
    float top = (box[1] + box[3] - side) / 2.0f;
    float step = float(side) / float(size);
    std::vector<uint8_t> rgba(size_t(size) * size * 4, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float sum[3] = {0, 0, 0};
            int covered = 0, samples = 0;
            // At least one source pixel each, also when the icon is the larger.
            int y0 = int(top + y * step), y1 = std::max(y0 + 1, int(top + (y + 1) * step));
            int x0 = int(left + x * step), x1 = std::max(x0 + 1, int(left + (x + 1) * step));
            for (int sy = y0; sy < y1; ++sy) {
                for (int sx = x0; sx < x1; ++sx) {
                    ++samples;
                    if (sx < 0 || sy < 0 || sx >= frame.w || sy >= frame.h || frame.at(sx, sy) == 0) continue;
                    const Rgb& c = frame.palette[frame.at(sx, sy)];
                    sum[0] += c.r;
                    sum[1] += c.g;
                    sum[2] += c.b;
                    ++covered;
                }
            }
            if (covered == 0) continue;
            uint8_t* out = &rgba[(size_t(y) * size + x) * 4];
            for (int i = 0; i < 3; ++i) out[i] = uint8_t(sum[i] / covered + 0.5f);
            out[3] = uint8_t(255 * covered / samples);
        }
    }
    return rgba;
}

bool writeIcon(const std::string& path, int size) {
    std::vector<uint8_t> rgba = iconPixels(size);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "contentgen: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}
