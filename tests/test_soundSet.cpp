// Sound lists, look-ups by name, playing, and a chunk reaching the audio output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "data/soundSet.h"
#include "testSupport.h"
#include "platform/platform.h"

namespace {
// A 44100 Hz, 16-bit stereo tone of `seconds`.
void writeWav(const std::string& path, double seconds) {
    int frames = static_cast<int>(44100 * seconds);
    std::string pcm;
    for (int i = 0; i < frames; ++i) {
        auto sample = static_cast<Sint16>(9000 * std::sin(i * 0.06));
        for (int channel = 0; channel < 2; ++channel) pcm += std::string(reinterpret_cast<char*>(&sample), 2);
    }
    auto u32 = [](Uint32 v) { return std::string(reinterpret_cast<char*>(&v), 4); };
    auto u16 = [](Uint16 v) { return std::string(reinterpret_cast<char*>(&v), 2); };
    writeFile(path, "RIFF" + u32(36 + pcm.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(2) + u32(44100) +
                        u32(44100 * 4) + u16(4) + u16(16) + "data" + u32(pcm.size()) + pcm);
}

// A sound folder: its list file and a WAV for every name in `wavs`.
std::string soundFolder(const std::string& list, const std::vector<std::string>& wavs, double seconds = 0.05) {
    std::string dir = makeTempDir("snd");
    writeFile(dir + "/sound", list);
    for (const std::string& name : wavs) writeWav(dir + "/" + name + ".wav", seconds);
    return dir;
}

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

int nonZeroBytes(const std::string& pcm, size_t from) {
    int n = 0;
    for (size_t i = from; i < pcm.size(); ++i) n += pcm[i] != 0;
    return n;
}

void openMixer() {
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    if (!SDL_WasInit(SDL_INIT_AUDIO)) SDL_InitSubSystem(SDL_INIT_AUDIO);
    int freq, channels;
    Uint16 format;
    if (!Mix_QuerySpec(&freq, &format, &channels)) {
        ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048));
    }
}

class SoundSet : public ::testing::Test {
protected:
    void SetUp() override { openMixer(); }
    void TearDown() override { Mix_HaltChannel(-1); }
};
}  // namespace

TEST_F(SoundSet, LoadsNamesInOrderAndCountsMissingFiles) {
    std::string dir = soundFolder("SOUNDS: 3\njump\nwhoosh and more words\nhit\n", {"jump", "hit"});
    startCapture();
    soundSet set;
    testing::internal::CaptureStderr();
    set.getList(dir.c_str(), gameLoading());
    std::string err = testing::internal::GetCapturedStderr();
    set.display();
    std::string out = stopCapture();

    ASSERT_EQ(3, set.count);
    EXPECT_EQ("whoosh", set.head->next->name);
    EXPECT_EQ(nullptr, set.head->next->chunk);
    EXPECT_NE(nullptr, set.head->chunk);
    EXPECT_EQ("Loaded myfile.wav\nCould not load myfile.wav\nLoaded myfile.wav\n", err);
    EXPECT_EQ(0u, out.find("SOUND CLASS INITIATED!\nANOTHER COUT LOL\nSOUND NAME: " + dir + "/jump.wav\n"));
    EXPECT_NE(std::string::npos, out.find("Sound - jump\nSound - whoosh\nSound - hit\n"));

    startCapture();
    EXPECT_EQ(set.head->next->next, set.find("hit"));
    EXPECT_EQ(nullptr, set.returnSound("Hit"));
    out = stopCapture();
    EXPECT_EQ("jump VS hit\nwhoosh VS hit\nhit VS hit\nFOUND SOUND EFFECT\n"
              "jump VS Hit\nwhoosh VS Hit\nhit VS Hit\nDID NOT FIND SOUND EFFECT\n",
              out);
}

TEST_F(SoundSet, AddingSkipsOnlyNamesHeldBeforeTheCall) {
    std::string first = soundFolder("SOUNDS: 3\njump\nhit\nburst\n", {"jump", "hit", "burst"});
    std::string second = soundFolder("SOUNDS: 3\nhit\ncast\ncast\n", {"hit", "cast"});
    soundSet set;
    startCapture();
    set.getList(first.c_str(), gameLoading());
    Mix_Chunk* firstHit = set.head->next->chunk;
    set.addToList(second.c_str(), gameLoading());
    std::string out = stopCapture();

    ASSERT_EQ(5, set.count);
    EXPECT_EQ(firstHit, set.head->next->chunk);  // the shared name is loaded once
    EXPECT_EQ(0, occurrences(out, second + "/hit.wav"));
    EXPECT_EQ(2, occurrences(out, second + "/cast.wav"));
    EXPECT_NE(std::string::npos, out.find("\nFOUND SOUND EFFECT\n-1\n"));
    EXPECT_NE(std::string::npos, out.find("New Total is : 5\n"));
    soundNode* cast = set.head->next->next->next;
    EXPECT_EQ("cast", cast->next->name);
    startCapture();
    EXPECT_EQ(cast, set.find("cast"));
    stopCapture();
}

TEST_F(SoundSet, AddingToAnEmptySetStartsItsList) {
    std::string dir = soundFolder("SOUNDS: 2\njump\nhit\n", {"jump", "hit"});
    soundSet set;
    startCapture();
    set.getList((dir + "/missing").c_str(), gameLoading());
    set.addToList(dir.c_str(), gameLoading());
    std::string out = stopCapture();
    EXPECT_NE(std::string::npos, out.find("ERROR opening file " + dir + "/missing/sound\n\n"));
    ASSERT_EQ(2, set.count);
    EXPECT_EQ("hit", set.head->next->name);
    EXPECT_NE(std::string::npos, out.find("New Total is : 2\n"));
}

TEST_F(SoundSet, PlaysOnlyKnownNamesWithChunksAndOverlapsRepeats) {
    std::string dir = soundFolder("SOUNDS: 2\njump\nsilent\n", {"jump"}, 2.0);
    soundSet set;
    startCapture();
    set.getList(dir.c_str(), gameLoading());
    set.Play("silent", -1);
    set.Play("JUMP", -1);
    EXPECT_EQ(0, Mix_Playing(-1));
    set.Play("jump", -1);
    set.Play("jump", -1);
    std::string out = stopCapture();
    EXPECT_EQ(2, Mix_Playing(-1));
    EXPECT_EQ(3, occurrences(out, "SOUND PLAYING\n"));
}

TEST_F(SoundSet, ReplacingTheListKeepsAPlayingChunkAlive) {
    std::string first = soundFolder("SOUNDS: 1\njump\n", {"jump"}, 2.0);
    std::string second = soundFolder("SOUNDS: 1\nhit\n", {"hit"});
    soundSet set;
    startCapture();
    set.getList(first.c_str(), gameLoading());
    Mix_Chunk* jump = set.head->chunk;
    int channel = Mix_PlayChannelTimed(-1, jump, 0, -1);
    set.getList(second.c_str(), gameLoading());
    EXPECT_EQ(nullptr, set.find("jump"));
    stopCapture();
    ASSERT_GE(channel, 0);
    EXPECT_EQ(1, Mix_Playing(channel));  // freeing the chunk would have halted it
    ASSERT_EQ(1, set.count);
    EXPECT_EQ("hit", set.head->name);
    ASSERT_NE(nullptr, set.retired);
    EXPECT_EQ(jump, set.retired->chunk);
}

TEST_F(SoundSet, BadListsLoadWhatTheyHoldAndSayWhere) {
    std::string longName(112, 'n');
    std::string dir = soundFolder("SOUNDS: 9\r\njump\r\n\r\n" + longName + "\r\n" + longName.substr(1) + "\r\nhit",
                                  {"jump", "hit", longName.substr(1)});
    soundSet set;
    startCapture();
    testing::internal::CaptureStderr();
    set.getList(dir.c_str(), gameLoading());
    testing::internal::GetCapturedStderr();
    std::string out = stopCapture();
    EXPECT_NE(std::string::npos, out.find(dir + "/sound:1: announces 9 sounds but only 5 lines follow"));
    EXPECT_NE(std::string::npos, out.find(dir + "/sound:3: sound line holds no name"));
    EXPECT_NE(std::string::npos, out.find(dir + "/sound:4: sound name longer than 111 characters"));
    ASSERT_EQ(3, set.count);
    EXPECT_EQ("jump", set.head->name);
    EXPECT_EQ(longName.substr(1), set.head->next->name);
    EXPECT_NE(nullptr, set.head->next->chunk);
    EXPECT_EQ("hit", set.head->next->next->name);

    writeFile(dir + "/sound", "SOUNDS: -4\njump\n");
    startCapture();
    set.getList(dir.c_str(), gameLoading());
    stopCapture();
    EXPECT_EQ(0, set.count);
    EXPECT_EQ(nullptr, set.head);
}

// The disk driver writes the mixed output to a file at about real speed.
TEST(SoundSetOutput, APlayedChunkReachesTheAudioOutput) {
    SKIP_WHERE_DISK_AUDIO_IS_LOCKED();
    std::string out = makeTempDir("disk") + "/audio.raw";
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setEnvironment("SDL_AUDIODRIVER", "disk", true);
    setEnvironment("SDL_DISKAUDIOFILE", out.c_str(), true);
    setEnvironment("SDL_DISKAUDIODELAY", "46", true);
    openMixer();
    std::string dir = soundFolder("SOUNDS: 1\ncast\n", {"cast"}, 0.3);
    soundSet set;
    startCapture();
    set.getList(dir.c_str(), gameLoading());
    stopCapture();

    auto waitForBytes = [&](size_t bytes) {
        for (int i = 0; i < 400 && readFile(out).size() < bytes; ++i) SDL_Delay(10);
        return readFile(out);
    };
    std::string before = waitForBytes(4 * 8192);
    ASSERT_GE(before.size(), 4u * 8192);
    EXPECT_EQ(0, nonZeroBytes(before, 0));

    startCapture();
    set.Play("cast", -1);
    stopCapture();
    std::string after = waitForBytes(before.size() + 12 * 8192);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setEnvironment("SDL_AUDIODRIVER", "dummy", true);
    ASSERT_GE(after.size(), before.size() + 12 * 8192);
    EXPECT_GT(nonZeroBytes(after, before.size()), 1000);
}
