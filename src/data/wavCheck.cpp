// The data room: the text reader and load policy every loader uses, the
// data home, and the character's sets (animations, moves, sounds, frame
// data). This file: checking a WAV file before the mixer is given it.
#include "wavCheck.h"

#include "platform/byteFields.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstdio>

namespace {
const size_t kChunkHeader = 8;
const size_t kFormatBytes = 16;
// Largest file read: the sound data and room for other chunks.
const size_t kMaxWavFile = 4 * static_cast<size_t>(kMaxWavData);

const uint32_t kPcm = 1;
const uint32_t kMsAdpcm = 2;
const uint32_t kImaAdpcm = 0x11;
// Bytes of the format chunk SDL reads for each ADPCM kind: the common 16,
// the extension size, samples per block, and for MS ADPCM the count and
// pairs of its 7 coefficients.
const size_t kMsFormatBytes = 16 + 2 + 2 + 2 + 7 * 4;
const size_t kImaFormatBytes = 16 + 2 + 2;

// The mixer's rate, which every sound is converted to.
const uint32_t kMixerRate = 44100;
// Conversion steps SDL has room for (its list of 10 ends with an empty one).
const int kMaxConversionSteps = 9;

bool isId(const unsigned char* p, const char* id) {
    return p[0] == id[0] && p[1] == id[1] && p[2] == id[2] && p[3] == id[3];
}

// The chunk's name for a message: its four bytes when they are printable.
std::string idText(const unsigned char* p) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += (p[i] >= 32 && p[i] < 127) ? static_cast<char>(p[i]) : '?';
    return "\"" + text + "\"";
}

// One chunk at `at`: its name and length, which must lie inside the file.
bool readChunk(const unsigned char* data, size_t size, size_t at, const unsigned char*& id, uint32_t& length,
               const char* looking, std::string& reason) {
    if (size - at < kChunkHeader) return refuse(reason, std::string("file ends before the ") + looking + " chunk");
    id = data + at;
    length = readLE32(data + at + 4);
    if (length > size - at - kChunkHeader)
        return refuse(reason, "chunk " + idText(id) + " of " + std::to_string(length) +
                                  " bytes runs past the end of the file");
    return true;
}

// The fields of the format chunk this check looks at.
struct wavFormat {
    uint32_t encoding = 0;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t blockAlign = 0;  // bytes of one ADPCM block
    uint32_t bits = 0;
    uint32_t samplesPerBlock = 0;
    uint32_t coefficients = 0;  // MS ADPCM only
};

wavFormat readFormat(const unsigned char* format, uint32_t length) {
    wavFormat f;
    f.encoding = readLE16(format);
    f.channels = readLE16(format + 2);
    f.rate = readLE32(format + 4);
    f.blockAlign = readLE16(format + 12);
    f.bits = readLE16(format + 14);
    if (length >= kImaFormatBytes) f.samplesPerBlock = readLE16(format + 18);
    if (length >= kMsFormatBytes) f.coefficients = readLE16(format + 20);
    return f;
}

// An ADPCM block: a header per channel (`headerBytes` each), then the rest
// of the samples at 4 bits. SDL decodes whole blocks by the samples per
// block the header gives, so they must match the block's size.
bool checkAdpcm(const wavFormat& f, uint32_t length, size_t formatBytes, uint32_t headerBytes, const char* kind,
                std::string& reason) {
    std::string name(kind);
    if (length < formatBytes)
        return refuse(reason, name + " format chunk of " + std::to_string(length) + " bytes (needs " +
                                  std::to_string(formatBytes) + ")");
    if (f.bits != 4) return refuse(reason, name + " of " + std::to_string(f.bits) + " bits per sample (must be 4)");
    if (f.channels < 1 || f.channels > 2)
        return refuse(reason, name + " in " + std::to_string(f.channels) + " channels (must be 1 or 2)");
    uint32_t headers = headerBytes * f.channels;
    uint32_t body = f.blockAlign > headers ? f.blockAlign - headers : 0;
    // IMA ADPCM interleaves the channels in groups of 4 bytes.
    bool whole = f.blockAlign > headers && (f.encoding != kImaAdpcm || body % (4 * f.channels) == 0);
    uint32_t expected = f.encoding == kImaAdpcm ? body * 2 / f.channels + 1 : body * 2 / f.channels + 2;
    if (!whole || f.samplesPerBlock != expected)
        return refuse(reason, name + " blocks of " + std::to_string(f.blockAlign) + " bytes with " +
                                  std::to_string(f.samplesPerBlock) + " samples do not match");
    if (f.encoding == kMsAdpcm && f.coefficients != 7)
        return refuse(reason, name + " with " + std::to_string(f.coefficients) + " coefficients (must be 7)");
    return true;
}

bool checkEncoding(const wavFormat& f, uint32_t length, std::string& reason) {
    if (f.encoding == kMsAdpcm) return checkAdpcm(f, length, kMsFormatBytes, 7, "MS ADPCM", reason);
    if (f.encoding == kImaAdpcm) return checkAdpcm(f, length, kImaFormatBytes, 4, "IMA ADPCM", reason);
    if (f.encoding != kPcm)
        return refuse(reason, "encoding " + std::to_string(f.encoding) + " is not PCM, MS ADPCM or IMA ADPCM");
    if (f.channels != 1 && f.channels != 2 && f.channels != 4 && f.channels != 6)
        return refuse(reason, std::to_string(f.channels) + " channels (must be 1, 2, 4 or 6)");
    if (f.bits != 8 && f.bits != 16)
        return refuse(reason, std::to_string(f.bits) + " bits per sample (must be 8 or 16)");
    return true;
}

// The headers of the ADPCM blocks in `sound`: SDL gives up on a block whose
// MS ADPCM predictor is not one of its 7 or whose IMA ADPCM step index is
// past its table of 89, and then loses the sound it has decoded so far.
bool checkBlockHeaders(const wavFormat& f, const unsigned char* sound, uint32_t length, std::string& reason) {
    if (f.encoding == kPcm) return true;
    for (uint32_t block = 0; (block + 1) * static_cast<uint64_t>(f.blockAlign) <= length; ++block) {
        const unsigned char* head = sound + static_cast<size_t>(block) * f.blockAlign;
        for (uint32_t c = 0; c < f.channels; ++c) {
            // MS ADPCM: a predictor byte per channel first; IMA ADPCM: a
            // sample, then the step index, then a reserved byte per channel.
            bool good = f.encoding == kMsAdpcm ? head[c] < 7 : head[4 * c + 2] <= 88;
            if (!good)
                return refuse(reason, std::string(f.encoding == kMsAdpcm ? "MS" : "IMA") + " ADPCM block " +
                                          std::to_string(block) + " starts with a " +
                                          (f.encoding == kMsAdpcm ? "predictor" : "step index") + " SDL lacks");
        }
    }
    return true;
}

// What SDL's conversion to the mixer's 16-bit stereo at 44100 Hz takes:
// its steps, and how many times larger than the decoded sound its buffer is.
struct conversionPlan {
    int steps = 0;
    uint64_t growth = 1;
};

conversionPlan planConversion(const wavFormat& f) {
    conversionPlan plan;
    if (f.encoding == kPcm && f.bits == 8) {
        plan.steps += 2;  // unsigned to signed, 8 to 16 bits
        plan.growth *= 2;
    }
    if (f.channels == 1) {
        ++plan.steps;
        plan.growth *= 2;
    } else if (f.channels > 2) {
        ++plan.steps;  // 4 or 6 channels folded to 2
    }
    // SDL doubles or halves the rate while that stays within the mixer's
    // (compared in hundreds of hertz), and leaves the rest: a rate that is
    // no power of two from 44100 plays a little off pitch.
    bool up = f.rate < kMixerRate;
    uint64_t low = up ? f.rate : kMixerRate;
    uint64_t high = up ? kMixerRate : f.rate;
    if (low / 100 == high / 100) return plan;
    while ((low * 2) / 100 <= high / 100 && plan.steps <= kMaxConversionSteps) {
        ++plan.steps;
        low *= 2;
        if (up) plan.growth *= 2;
    }
    return plan;
}

// Bytes of sound SDL decodes from `dataBytes` of the file.
uint64_t decodedBytes(const wavFormat& f, uint32_t dataBytes) {
    if (f.encoding == kPcm) return dataBytes;
    return static_cast<uint64_t>(dataBytes / f.blockAlign) * f.samplesPerBlock * f.channels * 2;
}
}  // namespace

bool checkWav(const unsigned char* data, size_t size, std::string& reason) {
    if (size < 12 || !isId(data, "RIFF") || !isId(data + 8, "WAVE")) return refuse(reason, "not a WAV file");

    // Up to the format chunk SDL passes over "fact" and "LIST" chunks only.
    size_t at = 12;
    const unsigned char* id = nullptr;
    uint32_t length = 0;
    for (;;) {
        if (!readChunk(data, size, at, id, length, "format", reason)) return false;
        if (isId(id, "fmt ")) break;
        if (!isId(id, "fact") && !isId(id, "LIST"))
            return refuse(reason, "chunk " + idText(id) + " before the format");
        at += kChunkHeader + length;
    }
    if (length < kFormatBytes) return refuse(reason, "format chunk of " + std::to_string(length) + " bytes");
    wavFormat format = readFormat(id + kChunkHeader, length);
    if (!checkEncoding(format, length, reason)) return false;
    if (format.rate == 0) return refuse(reason, "sample rate 0 Hz");
    conversionPlan plan = planConversion(format);
    if (plan.steps > kMaxConversionSteps)
        return refuse(reason, "sample rate " + std::to_string(format.rate) + " Hz needs more than " +
                                  std::to_string(kMaxConversionSteps) + " conversion steps to 44100 Hz");
    at += kChunkHeader + length;

    // Then any chunks until the sound data.
    for (;;) {
        if (!readChunk(data, size, at, id, length, "data", reason)) return false;
        if (isId(id, "data")) break;
        at += kChunkHeader + length;
    }
    if (length > kMaxWavData)
        return refuse(reason, "sound data of " + std::to_string(length) + " bytes is over " +
                                  std::to_string(kMaxWavData) + " bytes");
    if (!checkBlockHeaders(format, id + kChunkHeader, length, reason)) return false;
    uint64_t converted = decodedBytes(format, length) * plan.growth;
    if (converted > kMaxWavConverted)
        return refuse(reason, "sound data of " + std::to_string(length) + " bytes grows to " +
                                  std::to_string(converted) + " bytes at 44100 Hz, over " +
                                  std::to_string(kMaxWavConverted));
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
