// The WAV check that stands before SDL_mixer's loader.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "data/wavCheck.h"
#include "testSupport.h"

namespace {
std::string chunk(const std::string& id, const std::string& body) { return id + le32(body.size()) + body; }

std::string formatBody(uint32_t encoding, uint32_t channels, uint32_t rate, uint32_t bits) {
    uint32_t block = channels * bits / 8;
    return le16(encoding) + le16(channels) + le32(rate) + le32(rate * block) + le16(block) + le16(bits);
}

std::string riff(const std::string& chunks) { return "RIFF" + le32(4 + chunks.size()) + "WAVE" + chunks; }

// A plain PCM file with `samples` bytes of sound.
std::string wav(uint32_t channels = 2, uint32_t rate = 44100, uint32_t bits = 16, uint32_t encoding = 1,
                size_t samples = 400) {
    return riff(chunk("fmt ", formatBody(encoding, channels, rate, bits)) +
                chunk("data", std::string(samples, '\x10')));
}

bool passes(const std::string& bytes, std::string* why = nullptr) {
    std::string reason;
    bool ok = checkWav(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), reason);
    if (why) *why = reason;
    return ok;
}

std::string reasonFor(const std::string& bytes) {
    std::string why;
    EXPECT_FALSE(passes(bytes, &why));
    return why;
}
}  // namespace

TEST(WavCheck, PlainPcmFilesPass) {
    EXPECT_TRUE(passes(wav()));
    EXPECT_TRUE(passes(wav(1, 8000, 8)));
    EXPECT_TRUE(passes(wav(2, 192000, 16)));
    EXPECT_TRUE(passes(wav(2, 7999, 16)));
    EXPECT_TRUE(passes(wav(2, 192001, 16)));
    EXPECT_TRUE(passes(wav(1, 22050, 16, 1, 0)));  // no sound at all is still a file
    // "fact" and "LIST" may come before the format, anything before the data.
    std::string format = chunk("fmt ", formatBody(1, 1, 11025, 8));
    EXPECT_TRUE(passes(riff(chunk("LIST", "INFOabcd") + chunk("fact", "1234") + format + chunk("data", "xy"))));
    EXPECT_TRUE(passes(riff(format + chunk("cue ", "12345678") + chunk("data", "xy"))));
    // A format chunk longer than 16 bytes (an extension) is read by its first 16.
    EXPECT_TRUE(passes(riff(chunk("fmt ", formatBody(1, 2, 44100, 16) + le16(0)) + chunk("data", "abcd"))));
}

TEST(WavCheck, EveryBundledSoundPasses) {
    int seen = 0;
    for (const char* folder : {"/data/soundSet", "/data/Tor/sound"}) {
        for (const auto& entry : std::filesystem::directory_iterator(sourceDir() + folder)) {
            if (entry.path().extension() != ".wav") continue;
            std::string why;
            EXPECT_TRUE(passes(readFile(entry.path().string()), &why)) << entry.path() << ": " << why;
            ++seen;
        }
    }
    EXPECT_GE(seen, 8);
}

TEST(WavCheck, HeadersThatCrashSdlAreRefused) {
    // No channels, and rates so far from the mixer's that SDL runs past its
    // list of conversion steps: both ended the game with a segmentation fault.
    EXPECT_EQ("0 channels (must be 1, 2, 4 or 6)", reasonFor(wav(0)));
    EXPECT_EQ("sample rate 0 Hz", reasonFor(wav(2, 0)));
    EXPECT_EQ("sample rate 1 Hz needs more than 9 conversion steps to 44100 Hz", reasonFor(wav(2, 1)));
    EXPECT_EQ("sample rate 300 Hz needs more than 9 conversion steps to 44100 Hz", reasonFor(wav(1, 300, 8)));
    EXPECT_TRUE(passes(wav(1, 500, 8)));
    EXPECT_EQ("sample rate 4294967295 Hz needs more than 9 conversion steps to 44100 Hz",
              reasonFor(wav(2, 0xffffffffu)));
    EXPECT_EQ("3 channels (must be 1, 2, 4 or 6)", reasonFor(wav(3)));
}

TEST(WavCheck, FormatsSdlCantPlayAreRefused) {
    EXPECT_EQ("MS ADPCM format chunk of 16 bytes (needs 50)", reasonFor(wav(2, 44100, 4, 2)));
    EXPECT_EQ("IMA ADPCM format chunk of 16 bytes (needs 20)", reasonFor(wav(2, 44100, 4, 0x11)));
    EXPECT_EQ("encoding 3 is not PCM, MS ADPCM or IMA ADPCM", reasonFor(wav(2, 44100, 32, 3)));
    EXPECT_EQ("24 bits per sample (must be 8 or 16)", reasonFor(wav(2, 44100, 24)));
    EXPECT_EQ("0 bits per sample (must be 8 or 16)", reasonFor(wav(2, 44100, 0)));
}

// ADPCM headers that don't describe their blocks: SDL's decoders read and
// write by what the header says.
TEST(WavCheck, AdpcmThatDoesNotMatchItsBlocksIsRefused) {
    const std::string ima = imaAdpcmWav(1, 22050, 2);
    auto withField = [&](size_t at, const std::string& bytes) {
        std::string file = ima;
        file.replace(20 + at, bytes.size(), bytes);  // 20: where the format's fields begin
        return file;
    };
    // Byte `at` of the sound set to `value` (48: where imaAdpcmWav's sound begins).
    auto withSoundByte = [](std::string file, size_t at, char value) {
        file[48 + at] = value;
        return file;
    };
    // MS ADPCM: 256-byte mono blocks of 500 samples, and its 7 coefficients.
    auto msFormat = [](uint32_t samples, uint32_t coefficients) {
        return le16(32) + le16(samples) + le16(coefficients) + std::string(7 * 4, '\0');
    };
    const struct {
        const char* what;
        std::string file;
        const char* reason;
    } cases[] = {
        {"3 channels", wavBytes(0x11, 3, 22050, 4, std::string(768, '\0'), 768, le16(2) + le16(505)),
         "IMA ADPCM in 3 channels (must be 1 or 2)"},
        {"8 bits", withField(14, le16(8)), "IMA ADPCM of 8 bits per sample (must be 4)"},
        {"samples per block", withField(18, le16(2000)), "IMA ADPCM blocks of 256 bytes with 2000 samples do not match"},
        {"block of headers only", withField(12, le16(4)), "IMA ADPCM blocks of 4 bytes with 505 samples do not match"},
        {"block of no group", withField(12, le16(255)), "IMA ADPCM blocks of 255 bytes with 505 samples do not match"},
        {"MS coefficients", wavBytes(2, 1, 22050, 4, std::string(512, '\0'), 256, msFormat(500, 6)),
         "MS ADPCM with 6 coefficients (must be 7)"},
        {"MS samples per block", wavBytes(2, 1, 22050, 4, std::string(512, '\0'), 256, msFormat(501, 7)),
         "MS ADPCM blocks of 256 bytes with 501 samples do not match"},
        // Block headers SDL's decoders give up on, losing what they decoded.
        {"IMA step index", withSoundByte(ima, 256 + 2, 89), "IMA ADPCM block 1 starts with a step index SDL lacks"},
        {"MS predictor", wavBytes(2, 1, 22050, 4, std::string(256, '\0') + '\x07' + std::string(255, '\0'), 256,
                                  msFormat(500, 7)),
         "MS ADPCM block 1 starts with a predictor SDL lacks"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.reason, reasonFor(c.file)) << c.what;
}

TEST(WavCheck, SoundThatGrowsPastMemoryIsRefused) {
    // 8-bit mono at 1000 Hz grows 128 times on its way to 16-bit stereo at
    // 32000 Hz, the nearest SDL comes to 44100.
    EXPECT_TRUE(passes(wav(1, 1000, 8, 1, 4u << 20)));
    EXPECT_EQ("sound data of 4194305 bytes grows to 536871040 bytes at 44100 Hz, over 536870912",
              reasonFor(wav(1, 1000, 8, 1, (4u << 20) + 1)));
}

TEST(WavCheck, BrokenFilesAreRefused) {
    EXPECT_EQ("not a WAV file", reasonFor(""));
    EXPECT_EQ("not a WAV file", reasonFor(std::string("RIFF\0\0\0\0AVI LIST", 16)));
    EXPECT_EQ("file ends before the format chunk", reasonFor(riff("")));
    EXPECT_EQ("chunk \"junk\" before the format", reasonFor(riff(chunk("junk", "1234") + wav().substr(12))));
    EXPECT_EQ("format chunk of 14 bytes", reasonFor(riff(chunk("fmt ", formatBody(1, 2, 44100, 16).substr(0, 14)))));
    EXPECT_EQ("file ends before the data chunk", reasonFor(riff(chunk("fmt ", formatBody(1, 2, 44100, 16)))));

    // A chunk whose length runs past the end: SDL would allocate it whole.
    std::string file = wav();
    std::string cut = file.substr(0, file.size() - 100);
    EXPECT_EQ("chunk \"data\" of 400 bytes runs past the end of the file", reasonFor(cut));
    std::string huge = riff(chunk("LIST", "") + chunk("fmt ", formatBody(1, 2, 44100, 16)));
    huge.replace(16, 4, le32(0xffffffffu));
    EXPECT_EQ("chunk \"LIST\" of 4294967295 bytes runs past the end of the file", reasonFor(huge));
    // Unprintable names are shown as question marks.
    EXPECT_EQ("chunk \"?A??\" before the format",
              reasonFor(riff(std::string("\x01\x41\x02\x03", 4) + le32(0) + chunk("fmt ", ""))));
}

TEST(WavCheck, SoundDataOverTheLimitIsRefused) {
    std::string format = chunk("fmt ", formatBody(1, 2, 44100, 16));
    EXPECT_TRUE(passes(riff(format + chunk("data", std::string(kMaxWavData, '\0')))));
    EXPECT_EQ("sound data of 16777217 bytes is over 16777216 bytes",
              reasonFor(riff(format + chunk("data", std::string(kMaxWavData + 1, '\0')))));
}

TEST(WavCheck, LoadingReadsChecksAndDecodes) {
    testScreen();
    ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048));
    std::string dir = makeTempDir("wav");
    std::string reason;
    bool opened = true, passed = true;

    EXPECT_EQ(nullptr, loadCheckedWav((dir + "/none.wav").c_str(), reason, opened, passed));
    EXPECT_FALSE(opened);
    EXPECT_EQ("can't be opened", reason);

    writeFile(dir + "/bad.wav", wav(0));
    EXPECT_EQ(nullptr, loadCheckedWav((dir + "/bad.wav").c_str(), reason, opened, passed));
    EXPECT_TRUE(opened);
    EXPECT_FALSE(passed);
    EXPECT_EQ("0 channels (must be 1, 2, 4 or 6)", reason);

    // 8-bit mono at 11025 Hz comes out as 16-bit stereo at 44100: 4 x 2 x 2 bytes per byte.
    writeFile(dir + "/good.wav", wav(1, 11025, 8, 1, 1000));
    Mix_Chunk* chunk = loadCheckedWav((dir + "/good.wav").c_str(), reason, opened, passed);
    ASSERT_NE(nullptr, chunk) << reason;
    EXPECT_TRUE(passed);
    EXPECT_EQ(1000u * 16, chunk->alen);
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
}

// Files SDL_mixer decodes that the check once refused: ADPCM, low and high
// rates, more channels. Each passes and comes out as 16-bit stereo at the
// rate SDL brings it to: it only doubles or halves a rate, as long as that
// stays within 44100 Hz.
TEST(WavCheck, EverySoundSdlDecodesLoads) {
    testScreen();
    ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048));
    std::string dir = makeTempDir("wav-wide");
    const struct {
        const char* what;
        std::string file;
        double seconds;  // length of the sound
        int mixedRate;   // the rate SDL converts it to
    } cases[] = {
        {"IMA ADPCM mono", imaAdpcmWav(1, 44100, 3), 3.0 * kImaSamplesPerBlock / 44100, 44100},
        {"IMA ADPCM stereo at 22050 Hz", imaAdpcmWav(2, 22050, 2), 2.0 * kImaSamplesPerBlock / 22050, 44100},
        {"6000 Hz", wav(1, 6000, 16, 1, 6000), 0.5, 24000},
        {"1000 Hz, 8 bits", wav(1, 1000, 8, 1, 1000), 1.0, 32000},
        {"96000 Hz", wav(2, 96000, 16, 1, 96000 * 4), 1.0, 48000},
        {"4 channels", wav(4, 44100, 16, 1, 44100 * 8), 1.0, 44100},
        {"6 channels", wav(6, 22050, 8, 1, 22050 * 6), 1.0, 44100},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_TRUE(passes(c.file, &reason)) << c.what << ": " << reason;
        writeFile(dir + "/sound.wav", c.file);
        bool opened = false, passed = false;
        Mix_Chunk* chunk = loadCheckedWav((dir + "/sound.wav").c_str(), reason, opened, passed);
        ASSERT_NE(nullptr, chunk) << c.what << ": " << reason;
        double expected = c.seconds * c.mixedRate * 4;
        EXPECT_NEAR(expected, chunk->alen, 8) << c.what;  // SDL drops a last part sample
        Mix_FreeChunk(chunk);
    }
    Mix_CloseAudio();
}
