#pragma once
// Fields of binary file headers (bitmaps, WAV files), read before a library
// decodes the file.
#include <cstdint>
#include <string>

// The little-endian 16-bit and 32-bit values at `p`.
inline uint32_t readLE16(const unsigned char* p) { return p[0] | (p[1] << 8); }
inline uint32_t readLE32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Sets `reason` and answers false: a check's way of refusing a file.
inline bool refuse(std::string& reason, const std::string& text) {
    reason = text;
    return false;
}
