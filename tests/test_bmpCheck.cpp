// The bitmap check that stands before SDL's decoder.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <utility>

#include "sprites/CSpriteBase.h"
#include "sprites/bmpCheck.h"
#include "testSupport.h"

namespace {
void put16(std::string& b, size_t at, uint32_t v) {
    b[at] = static_cast<char>(v & 0xff);
    b[at + 1] = static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xffff);
    put16(b, at + 2, v >> 16);
}

// A bitmap written by SDL itself: w x h pixels at `bits` per pixel.
std::string sdlBitmap(int w, int h, int bits) {
    testScreen();
    std::string path = makeTempDir("bmp") + "/b.bmp";
    SDL_Surface* s = bits == 8 ? SDL_CreateRGBSurface(0, w, h, 8, 0, 0, 0, 0)
                               : SDL_CreateRGBSurface(0, w, h, bits, 0xff0000, 0xff00, 0xff, 0);
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return readFile(path);
}

bool passes(const std::string& bytes, std::string* why = nullptr) {
    std::string reason;
    bool ok = checkBitmap(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), reason);
    if (why) *why = reason;
    return ok;
}
}  // namespace

TEST(BitmapCheck, AcceptsWhatSdlWritesAndDecodes) {
    for (int bits : {8, 24, 32}) {
        std::string bytes = sdlBitmap(13, 7, bits);
        std::string reason;
        EXPECT_TRUE(passes(bytes, &reason)) << bits << ": " << reason;
        SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
        ASSERT_NE(nullptr, decoded);
        EXPECT_EQ(13, decoded->w);
        SDL_FreeSurface(decoded);
    }
    // Any shape within the pixel budget: wider or taller than 4096 too.
    for (auto size : {std::pair<int, int>{5000, 2}, {2, 5000}, {16383, 1}}) {
        std::string bytes = sdlBitmap(size.first, size.second, 24);
        std::string reason;
        EXPECT_TRUE(passes(bytes, &reason)) << size.first << "x" << size.second << ": " << reason;
        SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
        ASSERT_NE(nullptr, decoded);
        EXPECT_EQ(size.first, decoded->w);
        SDL_Surface* display = SDL_DisplayFormat(decoded);
        ASSERT_NE(nullptr, display) << "the widest bitmap also converts to the display's 32 bits";
        SDL_FreeSurface(display);
        SDL_FreeSurface(decoded);
    }
    // Top-down rows (negative height) are fine.
    std::string topDown = sdlBitmap(4, 4, 24);
    put32(topDown, 22, static_cast<uint32_t>(-4));
    EXPECT_TRUE(passes(topDown));
}

TEST(BitmapCheck, RefusesBrokenHeadersWithAReason) {
    struct caseSpec {
        const char* what;
        std::function<void(std::string&)> spoil;
        const char* reason;
    };
    const caseSpec cases[] = {
        {"magic", [](std::string& b) { b[0] = 'X'; }, "not a BMP file"},
        {"tiny", [](std::string& b) { b.resize(10); }, "not a BMP file"},
        {"header size", [](std::string& b) { put32(b, 14, 77); }, "unknown BMP header size 77"},
        {"planes", [](std::string& b) { put16(b, 26, 2); }, "planes 2"},
        {"depth", [](std::string& b) { put16(b, 28, 7); }, "7 bits per pixel"},
        {"zero width", [](std::string& b) { put32(b, 18, 0); }, "size 0x6"},
        {"huge width", [](std::string& b) { put32(b, 18, 16384); }, "size 16384x6 is outside 1..16383 by 1..65535"},
        {"negative width", [](std::string& b) { put32(b, 18, static_cast<uint32_t>(-3)); }, "outside 1..16383"},
        {"huge height", [](std::string& b) { put32(b, 22, 0x7fffffff); }, "outside 1..16383 by 1..65535"},
        {"over the pixel budget",
         [](std::string& b) {
             put32(b, 18, 16000);
             put32(b, 22, 2000);
         },
         "size 16000x2000 is over 16777216 pixels"},
        {"rle", [](std::string& b) { put32(b, 30, 1); }, "compressed"},
        {"truncated rows", [](std::string& b) { b.resize(b.size() - 5); }, "pixel rows need"},
        {"offset", [](std::string& b) { put32(b, 10, 0x7fffffff); }, "pixel data offset"},
    };
    for (const caseSpec& c : cases) {
        std::string bytes = sdlBitmap(5, 6, 24);
        c.spoil(bytes);
        std::string reason;
        EXPECT_FALSE(passes(bytes, &reason)) << c.what;
        EXPECT_NE(std::string::npos, reason.find(c.reason)) << c.what << ": " << reason;
    }
    std::string paletted = sdlBitmap(5, 6, 8);
    put16(paletted, 28, 4);  // 4 bits per pixel cannot have 256 colours
    put32(paletted, 46, 256);
    std::string reason;
    EXPECT_FALSE(passes(paletted, &reason));
    EXPECT_NE(std::string::npos, reason.find("palette of 256 colours for 4 bits"));
}

TEST(BitmapCheck, FrameSetBitmapThatFailsEndsTheProgramNamingTheFile) {
    testScreen();
    std::string dir = makeTempDir("badbmp");
    writeFile(dir + "/info",
              "FILES: 1\nbig.bmp 40\n0 0\n0 0 1 1\n0 0 0 0\n0\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n");
    std::string bytes = sdlBitmap(5, 6, 24);
    put32(bytes, 18, 100000);
    writeFile(dir + "/big.bmp", bytes);
    CSpriteBase set;
    // The message is on standard output: run it in a child to read it.
    int status = 0;
    std::string out = outputOfChild([&] { set.initR(dir.c_str(), gameLoading()); }, status);
    EXPECT_EQ(1, status);
    EXPECT_NE(std::string::npos, out.find("Unable to load bitmap: " + dir + "/big.bmp: size 100000x6 is outside"))
        << out;
    // The second loader refuses it without ending anything.
    CSpriteBase direct;
    startCapture();
    EXPECT_EQ(-1, direct.init(dir.c_str(), gameLoading()));
    stopCapture();
    EXPECT_FALSE(direct.drawable(0));
}
