// A sound folder's list file ("sound") from a hostile folder, read by
// soundSet::getList and soundSet::addToList over folders holding small WAV
// files with the bundled names (and a garbage and an empty one); then
// look-ups and playing on the dummy audio driver.
//
// The input is two lists separated by a line "%%": the first is loaded with
// getList, the second added with addToList (without a separator both are the
// whole input). Then the first is loaded again, replacing the entries.
#include <SDL/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/soundSet.h"
#include "fuzzSupport.h"

namespace {
std::string firstFolder;
std::string secondFolder;


std::string smallWav(int samples, uint32_t seed) {
    std::string pcm;
    for (int i = 0; i < samples; ++i) {
        int16_t v = static_cast<int16_t>(((seed + i * 2654435761u) >> 16) & 0x0fff);
        pcm += static_cast<char>(v & 0xff);
        pcm += static_cast<char>((v >> 8) & 0xff);
    }
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint32_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string wav = "RIFF" + u32(36 + pcm.size()) + "WAVE";
    wav += "fmt " + u32(16) + u16(1) + u16(1) + u32(22050) + u32(44100) + u16(2) + u16(16);
    wav += "data" + u32(pcm.size()) + pcm;
    return wav;
}

void writeSounds(const std::string& folder) {
    makeFolders(folder);
    const char* names[] = {"jump", "whoosh", "impact", "burst", "step", "cast", "rising", "swoosh"};
    uint32_t seed = 1;
    for (const char* name : names) {
        writeText(folder + "/" + name + ".wav", smallWav(64 + seed * 8, seed));
        ++seed;
    }
    writeText(folder + "/garbage.wav", "RIFF\x10\0\0\0WAVEfmt not really a sound");
    writeText(folder + "/empty.wav", "");
}

int entries(const soundSet& set) {
    int n = 0;
    for (soundNode* node = set.head; node && n <= set.count; node = node->next) ++n;
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzScreen();
    if (!fuzzAudio()) fail("no audio on the dummy driver");
    firstFolder = fuzzFolder() + "/s1";
    secondFolder = fuzzFolder() + "/s2";
    writeSounds(firstFolder);
    writeSounds(secondFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = asText(data, size);
    std::string first = text, second = text;
    size_t split = text.find("\n%%\n");
    if (split != std::string::npos) {
        first = text.substr(0, split + 1);
        second = text.substr(split + 4);
    }
    writeText(firstFolder + "/sound", first);
    writeText(secondFolder + "/sound", second);

    soundSet sounds;
    sounds.getList(firstFolder.c_str(), quietLoading());
    if (sounds.count < 0 || entries(sounds) < sounds.count) fail("getList: fewer entries than the count");
    int before = sounds.count;
    sounds.addToList(secondFolder.c_str(), quietLoading());
    if (sounds.count < before || entries(sounds) < sounds.count) fail("addToList: fewer entries than the count");

    // Every entry is found by its name; playing it plays its chunk once.
    int i = 0;
    for (soundNode* node = sounds.head; node && i < sounds.count && i < 8; node = node->next, ++i) {
        if (!sounds.find(node->name)) fail("an entry is not found by its name");
        sounds.Play(node->name, -1);
        sounds.returnSound(node->name);
    }
    sounds.Play("no such sound", -1);
    sounds.display();

    // Loading again replaces the entries; the old chunks may still play.
    sounds.getList(firstFolder.c_str(), quietLoading());
    if (entries(sounds) < sounds.count) fail("second getList: fewer entries than the count");
    if (sounds.head) sounds.Play(sounds.head->name, -1);
    takeContentReports();
    return 0;
}
