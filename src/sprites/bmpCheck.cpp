#include "bmpCheck.h"

#include "platform/byteFields.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
const size_t kFileHeader = 14;

bool knownInfoHeader(uint32_t size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}
}  // namespace

bool checkBitmap(const unsigned char* data, size_t size, std::string& reason) {
    if (size < kFileHeader + 4 || data[0] != 'B' || data[1] != 'M') return refuse(reason, "not a BMP file");
    uint32_t pixelOffset = readLE32(data + 10);
    uint32_t infoSize = readLE32(data + kFileHeader);
    if (!knownInfoHeader(infoSize)) return refuse(reason, "unknown BMP header size " + std::to_string(infoSize));
    if (size < kFileHeader + infoSize) return refuse(reason, "file ends inside the BMP header");
    const unsigned char* info = data + kFileHeader;

    int64_t width, height;
    uint32_t planes, bits, compression = 0, coloursUsed = 0;
    if (infoSize == 12) {
        width = static_cast<int16_t>(readLE16(info + 4));
        height = static_cast<int16_t>(readLE16(info + 6));
        planes = readLE16(info + 8);
        bits = readLE16(info + 10);
    } else {
        width = static_cast<int32_t>(readLE32(info + 4));
        height = static_cast<int32_t>(readLE32(info + 8));
        planes = readLE16(info + 12);
        bits = readLE16(info + 14);
        compression = readLE32(info + 16);
        coloursUsed = readLE32(info + 32);
    }
    if (height < 0) height = -height;  // rows stored top-down
    if (planes != 1) return refuse(reason, "planes " + std::to_string(planes) + " (must be 1)");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return refuse(reason, std::to_string(bits) + " bits per pixel is not supported");
    if (compression == 3 && bits != 16 && bits != 32)
        return refuse(reason, "bit fields need 16 or 32 bits per pixel");
    if (compression != 0 && compression != 3) return refuse(reason, "compressed bitmaps are not supported");
    std::string sizeText = "size " + std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || width > kMaxBitmapWidth || height < 1 || height > kMaxBitmapHeight)
        return refuse(reason, sizeText + " is outside 1.." + std::to_string(kMaxBitmapWidth) + " by 1.." +
                                  std::to_string(kMaxBitmapHeight));
    if (width * height > kMaxBitmapPixels)
        return refuse(reason, sizeText + " is over " + std::to_string(kMaxBitmapPixels) + " pixels");
    if (bits <= 8 && coloursUsed > (1u << bits))
        return refuse(reason, "palette of " + std::to_string(coloursUsed) + " colours for " + std::to_string(bits) +
                                " bits per pixel");
    if (pixelOffset < kFileHeader + infoSize || pixelOffset > size)
        return refuse(reason, "pixel data offset " + std::to_string(pixelOffset) + " is outside the file");
    uint64_t rowBytes = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    uint64_t needed = static_cast<uint64_t>(pixelOffset) + rowBytes * static_cast<uint64_t>(height);
    if (needed > size)
        return refuse(reason, "file holds " + std::to_string(size) + " bytes but its pixel rows need " +
                                std::to_string(needed));
    return true;
}

SDL_Surface* loadCheckedBitmap(const char* path, std::string& reason) {
    std::FILE* in = openDataStream(path);
    if (!in) {
        reason = "can't be opened";
        return nullptr;
    }
    std::string bytes;
    char chunk[65536];
    size_t got;
    while (bytes.size() < kMaxBitmapFile && (got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, got);
    if (bytes.size() > kMaxBitmapFile) bytes.resize(kMaxBitmapFile);
    std::fclose(in);
    if (!checkBitmap(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), reason)) return nullptr;
    SDL_Surface* decoded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!decoded) reason = SDL_GetError();
    return decoded;
}
