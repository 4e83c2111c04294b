// The desktop icon made by the content generator: the same bytes on every
// run, square at the size asked, the fighter on a transparent ground with
// the fire between his palms.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <vector>

#include "testSupport.h"

namespace {
std::string generator() { return buildDir() + "/tools/contentgen"; }

int makeIcon(const std::string& path, const std::string& size) {
    return std::system(("'" + generator() + "' --icon '" + path + "' " + size + " 2> /dev/null").c_str());
}

// The icon's pixels as RGBA; empty when it can't be read.
std::vector<uint8_t> readRgba(const std::string& path, int& w, int& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    w = int(image.width);
    h = int(image.height);
    return pixels;
}
}  // namespace

TEST(Icon, SameBytesEachRunAndTheFighterWithFireOnATransparentGround) {
    std::string dir = makeTempDir("icon");
    for (int size : {64, 128}) {
        std::string first = dir + "/a.png", second = dir + "/b.png";
        ASSERT_EQ(0, makeIcon(first, std::to_string(size))) << size;
        ASSERT_EQ(0, makeIcon(second, std::to_string(size))) << size;
        EXPECT_EQ(readFile(first), readFile(second)) << size;

        int w = 0, h = 0;
        std::vector<uint8_t> rgba = readRgba(first, w, h);
        ASSERT_FALSE(rgba.empty()) << size;
        EXPECT_EQ(size, w);
        EXPECT_EQ(size, h);
        auto alpha = [&](int x, int y) { return rgba[(size_t(y) * w + x) * 4 + 3]; };
        for (int corner : {0, w - 1}) {
            EXPECT_EQ(0, alpha(corner, 0)) << size;
            EXPECT_EQ(0, alpha(corner, h - 1)) << size;
        }
        int opaque = 0, fire = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = &rgba[(size_t(y) * w + x) * 4];
                if (p[3] == 255) ++opaque;
                // Bright orange to yellow: the flames, in the front third.
                if (p[3] > 128 && p[0] > 220 && p[1] > 90 && p[2] < 90 && x > 2 * w / 3) ++fire;
            }
        }
        EXPECT_GT(opaque, w * h / 8) << size;
        EXPECT_GT(fire, 0) << size;
    }
}

TEST(Icon, SizesOutsideSixteenTo512AreRefused) {
    std::string dir = makeTempDir("icon");
    for (const char* size : {"8", "0", "513", "big"})
        EXPECT_NE(0, makeIcon(dir + "/icon.png", size)) << size;
}
