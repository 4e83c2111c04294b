#include "soundSet.h"

#include <cstdio>
#include <functional>

#include "data/wavCheck.h"
#include "data/textFile.h"

namespace {
// Longest sound name the list format allows.
const size_t kMaxSoundName = 111;

void freeNodes(soundNode* node) {
    while (node) {
        soundNode* next = node->next;
        // Mix_FreeChunk stops any channel still playing the chunk first.
        if (node->chunk) Mix_FreeChunk(node->chunk);
        delete node;
        node = next;
    }
}

// Opens "<folder>/sound" and reads its "SOUNDS: %d" header. The count is 0
// when unreadable or negative, and never more than the lines that follow.
// `trusted` tells whether the count was read and the file holds that many
// lines, so that lines left after them are the count's fault.
bool openList(TextFile& file, const char* folder, int& announced, bool& trusted) {
    std::string path = std::string(folder ? folder : "") + "/sound";
    if (!pathFits(nullptr, path, file.policy())) return false;
    if (!file.open(path)) {
        reportOpenFailure(path, file.policy());
        return false;
    }
    announced = 0;
    trusted = true;
    std::string header;
    if (!file.readLine(header) || !scanHeader(header, "SOUNDS:", announced)) {
        file.report("expected \"SOUNDS: <count>\"");
        announced = 0;
        trusted = false;
    }
    trusted = holdCount(file, announced, 1, "negative sound count read as 0",
                        [](int count, long room) {
                            return "announces " + std::to_string(count) + " sounds but only " +
                                   std::to_string(room) + " lines follow";
                        }) &&
              trusted;
    return true;
}

// The name of the next name line, or "" when the line is to be passed over
// (no line left, no word, or a name or path beyond the format's limits).
std::string readName(TextFile& file, const char* folder, std::string& path) {
    std::string line;
    if (!file.readLine(line)) return "";
    std::string name = firstWord(line);
    if (name.empty()) {
        file.report("sound line holds no name");
        return "";
    }
    if (!wordFits(file, name, kMaxSoundName, "sound name")) return "";
    expectName(file, name, "sound name");
    path = std::string(folder) + "/" + name + ".wav";
    if (!pathFits(&file, path, file.policy())) return "";
    return name;
}

soundNode* loadSound(const TextFile& file, const std::string& name, const std::string& path) {
    std::printf("ANOTHER COUT LOL\n");
    std::printf("SOUND NAME: %s\n", path.c_str());
    soundNode* node = new soundNode;
    node->name = name;
    // Checked before SDL sees it: some headers crash SDL's loader.
    std::string reason;
    bool opened = false;
    bool passed = false;
    node->chunk = loadCheckedWav(path.c_str(), reason, opened, passed);
    // Without an audio device no sound loads; that is not the file's fault.
    bool audioOpen = Mix_QuerySpec(nullptr, nullptr, nullptr) != 0;
    if (!opened)
        file.report("sound file " + path + " can't be opened");
    else if (!node->chunk && (!passed || audioOpen))
        file.report("sound file " + path + " can't be loaded: " + reason);
    std::fflush(stdout);
    if (node->chunk)
        std::fprintf(stderr, "Loaded myfile.wav\n");
    else
        std::fprintf(stderr, "Could not load myfile.wav\n");
    return node;
}

// Reads the `announced` name lines of an open list and loads each sound that
// `keep` accepts onto the end of the list at `head`. The number added.
int appendSounds(TextFile& file, const char* folder, int announced, soundNode*& head,
                 const std::function<bool(const std::string&)>& keep) {
    soundNode* tail = head;
    while (tail && tail->next) tail = tail->next;
    int added = 0;
    for (int i = 0; i < announced; ++i) {
        std::string path;
        std::string name = readName(file, folder, path);
        if (name.empty() || !keep(name)) continue;
        soundNode* node = loadSound(file, name, path);
        if (tail)
            tail->next = node;
        else
            head = node;
        tail = node;
        ++added;
    }
    return added;
}
}  // namespace

soundSet::soundSet() { std::printf("SOUND CLASS INITIATED!\n"); }

soundSet::~soundSet() {
    // A tail still playing borrows samples about to be freed; with the
    // mixer closed nothing plays (and its channels are gone).
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (lateUsed && Mix_QuerySpec(&frequency, &format, &channels)) channels = Mix_AllocateChannels(-1);
    else channels = 0;
    for (int channel = 0; channel < channels; ++channel)
        for (const Mix_Chunk& part : lateParts)
            if (Mix_Playing(channel) && Mix_GetChunk(channel) == &part) Mix_HaltChannel(channel);
    freeNodes(head);
    freeNodes(retired);
}

void soundSet::getList(const char* folder, loadPolicy& policy) {
    TextFile file(policy);
    int announced = 0;
    bool trusted = false;
    if (!openList(file, folder, announced, trusted)) return;

    // The old entries leave the set but stay alive: a chunk of theirs may be
    // playing right now.
    if (head) {
        soundNode* last = head;
        while (last->next) last = last->next;
        last->next = retired;
        retired = head;
    }
    head = nullptr;
    count = appendSounds(file, folder, announced, head, [](const std::string&) { return true; });
    if (trusted) reportUnreadLines(file, "sound name", false);
    file.close();
}

void soundSet::addToList(const char* folder, loadPolicy& policy) {
    std::printf("ADDING TO SOUND SET, YAY!\n");
    TextFile file(policy);
    int announced = 0;
    bool trusted = false;
    if (!openList(file, folder, announced, trusted)) return;

    // New entries go after the last one; with no list yet they start it.
    int skipped = 0;
    count += appendSounds(file, folder, announced, head, [&](const std::string& name) {
        // `count` still covers only the entries held before this call, so a
        // name listed twice here is added twice.
        if (!find(name)) return true;
        ++skipped;
        std::printf("%d\n", -skipped);
        return false;
    });
    if (trusted) reportUnreadLines(file, "sound name", false);
    std::printf("New Total is : %d\n", count);
    file.close();
}

soundNode* soundSet::find(std::string name) {
    soundNode* node = head;
    for (int i = 0; i < count && node; ++i, node = node->next) {
        std::printf("%s VS %s\n", node->name.c_str(), name.c_str());
        if (node->name == name) {
            std::printf("FOUND SOUND EFFECT\n");
            return node;
        }
    }
    std::printf("DID NOT FIND SOUND EFFECT\n");
    return nullptr;
}

bool soundSet::holds(const std::string& name) const {
    const soundNode* node = head;
    for (int i = 0; i < count && node; ++i, node = node->next)
        if (node->name == name) return true;
    return false;
}

void soundSet::Play(std::string name, int channel) {
    soundNode* node = find(name);
    if (!node) return;
    std::printf("SOUND PLAYING\n");
    // An entry whose file failed to load has nothing to play.
    if (node->chunk) Mix_PlayChannelTimed(channel, node->chunk, 0, -1);
}

void soundSet::PlayFrom(const std::string& name, int lateMs) {
    if (lateMs <= 0) {
        Play(name, -1);
        return;
    }
    soundNode* node = find(name);
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (!node || !node->chunk || !Mix_QuerySpec(&frequency, &format, &channels)) return;
    Uint32 frameBytes = static_cast<Uint32>((format & 0xFF) / 8 * channels);
    Uint32 skip = static_cast<Uint32>(static_cast<long long>(lateMs) * frequency / 1000) * frameBytes;
    if (skip >= node->chunk->alen) return;
    std::printf("SOUND PLAYING\n");
    lateUsed = true;
    Mix_Chunk& part = lateParts[nextLatePart];
    nextLatePart = (nextLatePart + 1) % kLateParts;
    part = Mix_Chunk{};
    part.abuf = node->chunk->abuf + skip;
    part.alen = node->chunk->alen - skip;
    part.volume = node->chunk->volume;
    Mix_PlayChannelTimed(-1, &part, 0, -1);
}

Mix_Chunk* soundSet::returnSound(std::string name) {
    soundNode* node = find(name);
    return node ? node->chunk : nullptr;
}

void soundSet::display() {
    soundNode* node = head;
    for (int i = 0; i < count && node; ++i, node = node->next) std::printf("Sound - %s\n", node->name.c_str());
}
