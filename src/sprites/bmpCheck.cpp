#include "bmpCheck.h"

#include "platform/byteFields.h"
#include "platform/files.h"
#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <vector>

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

namespace {
bitmapRead fault(bitmapFault kind, int error = 0, const std::string& reason = std::string()) {
    bitmapRead read;
    read.fault = kind;
    read.error = error;
    read.reason = reason;
    read.outOfMemory = kind == bitmapFault::noMemory || error == ENOMEM;
    return read;
}

// The bytes of the open file `fd`, at most kMaxBitmapFile of them: bytes
// beyond belong to no pixel row of a bitmap the check accepts.
bitmapRead readBytes(int fd, const std::string& path, std::vector<unsigned char>& bytes) {
    long long size = fileSize(path.c_str());
    if (size < 0) return fault(bitmapFault::sizeUnknown, errno);
    size_t wanted = static_cast<size_t>(std::min<long long>(size, static_cast<long long>(kMaxBitmapFile)));
    try {
        bytes.resize(wanted);
    } catch (const std::bad_alloc&) {
        return fault(bitmapFault::noMemory);
    }
    bytes.resize(readDataFile(fd, bytes.data(), wanted));
    return bitmapRead();
}

bool sdlOutOfMemory() { return std::string(SDL_GetError()).find("Out of memory") != std::string::npos; }
}  // namespace

bitmapRead readBitmap(const std::string& path) {
    // Opened, then read by its descriptor: what is checked and decoded is
    // what was read, whatever happens to the path meanwhile.
    int fd = openDataFile(path.c_str());
    if (fd < 0) return fault(bitmapFault::notOpened, errno);
    std::vector<unsigned char> bytes;
    bitmapRead read = readBytes(fd, path, bytes);
    closeDataFile(fd);
    if (read.fault != bitmapFault::none) return read;
    std::string reason;
    if (!checkBitmap(bytes.data(), bytes.size(), reason)) return fault(bitmapFault::refused, 0, reason);
    read.image = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!read.image) {
        read = fault(bitmapFault::undecodable, 0, SDL_GetError());
        read.outOfMemory = sdlOutOfMemory();
    }
    return read;
}

std::string faultText(const bitmapRead& read) {
    switch (read.fault) {
    case bitmapFault::none: return "";
    case bitmapFault::folderUnlisted:
    case bitmapFault::notOpened: return "can't be opened";
    case bitmapFault::sizeUnknown: return "size can't be read";
    case bitmapFault::noMemory: return "out of memory";
    case bitmapFault::refused:
    case bitmapFault::undecodable: return read.reason;
    }
    return read.reason;
}

SDL_Surface* loadCheckedBitmap(const char* path, std::string& reason) {
    bitmapRead read = readBitmap(path);
    if (!read.image) reason = faultText(read);
    return read.image;
}
