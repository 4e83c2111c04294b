#include "wavCheck.h"

#include "platform/platform.h"

#include <cstdint>
#include <cstdio>

namespace {
const size_t kChunkHeader = 8;
const size_t kFormatBytes = 16;
// Largest file read: the sound data and room for other chunks.
const size_t kMaxWavFile = 4 * static_cast<size_t>(kMaxWavData);

uint32_t read16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool isId(const unsigned char* p, const char* id) {
    return p[0] == id[0] && p[1] == id[1] && p[2] == id[2] && p[3] == id[3];
}

// The chunk's name for a message: its four bytes when they are printable.
std::string idText(const unsigned char* p) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += (p[i] >= 32 && p[i] < 127) ? static_cast<char>(p[i]) : '?';
    return "\"" + text + "\"";
}

bool fail(std::string& reason, const std::string& text) {
    reason = text;
    return false;
}

// One chunk at `at`: its name and length, which must lie inside the file.
bool readChunk(const unsigned char* data, size_t size, size_t at, const unsigned char*& id, uint32_t& length,
               const char* looking, std::string& reason) {
    if (size - at < kChunkHeader) return fail(reason, std::string("file ends before the ") + looking + " chunk");
    id = data + at;
    length = read32(data + at + 4);
    if (length > size - at - kChunkHeader)
        return fail(reason, "chunk " + idText(id) + " of " + std::to_string(length) + " bytes runs past the end of " +
                                "the file");
    return true;
}
}  // namespace

bool checkWav(const unsigned char* data, size_t size, std::string& reason) {
    if (size < 12 || !isId(data, "RIFF") || !isId(data + 8, "WAVE")) return fail(reason, "not a WAV file");

    // Up to the format chunk SDL passes over "fact" and "LIST" chunks only.
    size_t at = 12;
    const unsigned char* id = nullptr;
    uint32_t length = 0;
    for (;;) {
        if (!readChunk(data, size, at, id, length, "format", reason)) return false;
        if (isId(id, "fmt ")) break;
        if (!isId(id, "fact") && !isId(id, "LIST")) return fail(reason, "chunk " + idText(id) + " before the format");
        at += kChunkHeader + length;
    }
    if (length < kFormatBytes) return fail(reason, "format chunk of " + std::to_string(length) + " bytes");
    const unsigned char* format = id + kChunkHeader;
    uint32_t encoding = read16(format);
    uint32_t channels = read16(format + 2);
    uint32_t rate = read32(format + 4);
    uint32_t bits = read16(format + 14);
    if (encoding != 1) return fail(reason, "encoding " + std::to_string(encoding) + " is not plain PCM");
    if (channels < 1 || channels > 2) return fail(reason, std::to_string(channels) + " channels (must be 1 or 2)");
    if (bits != 8 && bits != 16) return fail(reason, std::to_string(bits) + " bits per sample (must be 8 or 16)");
    if (rate < kMinWavRate || rate > kMaxWavRate)
        return fail(reason, "sample rate " + std::to_string(rate) + " Hz is outside " + std::to_string(kMinWavRate) +
                                ".." + std::to_string(kMaxWavRate));
    at += kChunkHeader + length;

    // Then any chunks until the sound data.
    for (;;) {
        if (!readChunk(data, size, at, id, length, "data", reason)) return false;
        if (isId(id, "data")) break;
        at += kChunkHeader + length;
    }
    if (length > kMaxWavData)
        return fail(reason, "sound data of " + std::to_string(length) + " bytes is over " +
                                std::to_string(kMaxWavData) + " bytes");
    return true;
}

Mix_Chunk* loadCheckedWav(const char* path, std::string& reason, bool& opened, bool& passed) {
    opened = false;
    passed = false;
    std::FILE* in = openDataStream(path);
    if (!in) {
        reason = "can't be opened";
        return nullptr;
    }
    opened = true;
    std::string bytes;
    char piece[65536];
    size_t got;
    while (bytes.size() <= kMaxWavFile && (got = std::fread(piece, 1, sizeof piece, in)) > 0) bytes.append(piece, got);
    std::fclose(in);
    if (bytes.size() > kMaxWavFile) {
        reason = "file is over " + std::to_string(kMaxWavFile) + " bytes";
        return nullptr;
    }
    if (!checkWav(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), reason)) return nullptr;
    passed = true;
    // The chunk gets its own copy of the samples; the bytes may go after this.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!chunk) reason = Mix_GetError();
    return chunk;
}
