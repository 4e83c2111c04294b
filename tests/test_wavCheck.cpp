// The WAV check that stands before SDL_mixer's loader.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "data/wavCheck.h"
#include "testSupport.h"

namespace {
std::string le16(uint32_t v) { return std::string{static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)}; }
std::string le32(uint32_t v) { return le16(v & 0xffff) + le16(v >> 16); }

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
    // No channels, and a rate so low that SDL runs past its list of
    // conversion steps: both ended the game with a segmentation fault.
    EXPECT_EQ("0 channels (must be 1 or 2)", reasonFor(wav(0)));
    EXPECT_EQ("sample rate 1 Hz is outside 8000..192000", reasonFor(wav(2, 1)));
    EXPECT_EQ("sample rate 7999 Hz is outside 8000..192000", reasonFor(wav(2, 7999)));
    EXPECT_EQ("sample rate 192001 Hz is outside 8000..192000", reasonFor(wav(2, 192001)));
    EXPECT_EQ("sample rate 4294967295 Hz is outside 8000..192000", reasonFor(wav(2, 0xffffffffu)));
    EXPECT_EQ("3 channels (must be 1 or 2)", reasonFor(wav(3)));
}

TEST(WavCheck, FormatsSdlCantPlayAreRefused) {
    EXPECT_EQ("encoding 2 is not plain PCM", reasonFor(wav(2, 44100, 4, 2)));
    EXPECT_EQ("encoding 17 is not plain PCM", reasonFor(wav(2, 44100, 4, 0x11)));
    EXPECT_EQ("24 bits per sample (must be 8 or 16)", reasonFor(wav(2, 44100, 24)));
    EXPECT_EQ("0 bits per sample (must be 8 or 16)", reasonFor(wav(2, 44100, 0)));
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
    EXPECT_EQ("0 channels (must be 1 or 2)", reason);

    // 8-bit mono at 11025 Hz comes out as 16-bit stereo at 44100: 4 x 2 x 2 bytes per byte.
    writeFile(dir + "/good.wav", wav(1, 11025, 8, 1, 1000));
    Mix_Chunk* chunk = loadCheckedWav((dir + "/good.wav").c_str(), reason, opened, passed);
    ASSERT_NE(nullptr, chunk) << reason;
    EXPECT_TRUE(passed);
    EXPECT_EQ(1000u * 16, chunk->alen);
    Mix_FreeChunk(chunk);
    Mix_CloseAudio();
}
