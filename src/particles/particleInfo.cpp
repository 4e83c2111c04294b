#include "particleInfo.h"

#include <cstdio>

#include "data/textFile.h"

namespace {
// Reads the next line as "%d"; 0 when the line is missing or holds no number.
// The first missing line is reported; `ended` keeps the rest quiet.
int readNumber(TextFile& file, const std::string& what, bool& ended) {
    std::string line;
    int value = 0;
    if (!file.readLine(line)) {
        if (!ended) file.report("file ends before the " + what);
        ended = true;
        return 0;
    }
    expectNumbers(file, line, 1, what.c_str());
    if (!scanInt(line, value)) return 0;
    return value;
}

// Reads one event's count line and its entry lines. A negative count reads
// no entries; a count beyond the end of the file reads what is there.
void readEvent(TextFile& file, const char* eventName, int& count, std::vector<std::string>& entries,
               int& countLine, std::vector<int>& entryLines, bool& ended) {
    entries.clear();
    entryLines.clear();
    count = readNumber(file, std::string(eventName) + " count", ended);
    countLine = file.line();
    holdCount(file, count, 1, "", [&](int announced, long room) {
        return std::string(eventName) + " announces " + std::to_string(announced) + " entries but only " +
               std::to_string(room) + " lines follow";
    });
    if (count == 0) return;
    entries.reserve(static_cast<size_t>(count));
    std::string line;
    for (int i = 0; i < count && file.readLine(line); ++i) {
        entries.push_back(line);
        entryLines.push_back(file.line());
    }
    count = static_cast<int>(entries.size());
}
}  // namespace

particleInfo::~particleInfo() {
    // The frame set frees its images.
    delete base;
}

bool particleInfo::initS(std::string line, SDL_Surface* screen, loadPolicy& policy) {
    this->screen = screen;
    inited = true;
    if (base) {
        base->release();
        delete base;
    }
    base = new CSpriteBase();
    framesDrawable = false;

    // Name (the folder), number, and one more word; the rest is ignored.
    std::vector<std::string> words = splitWords(line, 3);
    for (size_t i = 0; i < words.size(); ++i) std::printf("BIT[%d]: %s\n", static_cast<int>(i), words[i].c_str());

    std::string folder = words.empty() ? std::string() : words[0];
    listNumber = 0;
    if (words.size() > 1) scanInt(words[1], listNumber);

    // The settings path is the longest this definition builds.
    if (!pathFits(nullptr, folder + "/particle", policy)) {
        std::printf("FAIL PARTICLE\n");
        return false;
    }
    base->initR(folder.c_str(), policy);
    framesDrawable = everyFrameDrawable();

    readHitData(folder, hit, policy);
    if (!ParticleInfo(folder.c_str(), policy)) {
        std::printf("FAIL PARTICLE\n");
        return false;
    }
    std::printf("PARTICLE LOADED: %s\n", folder.c_str());
    return true;
}

int particleInfo::ParticleInfo(const char* folder, loadPolicy& policy) {
    std::string path = std::string(folder ? folder : "") + "/particle";
    if (!pathFits(nullptr, path, policy)) return 0;
    TextFile file(policy);
    if (!file.open(path)) {
        reportOpenFailure(path, policy);
        return 0;
    }
    bool ended = false;
    alpha = readNumber(file, "alpha", ended);
    lifeTime = readNumber(file, "life time", ended);
    gravity = readNumber(file, "gravity flag", ended) == 1;
    extraFlag1 = readNumber(file, "flag", ended) == 1;
    extraFlag2 = readNumber(file, "flag", ended) == 1;
    readEvent(file, "OnDeath", onDeathCount, onDeath, eventLines[0], eventEntryLines[0], ended);
    readEvent(file, "OnHitPlayer", onHitPlayerCount, onHitPlayer, eventLines[1], eventEntryLines[1], ended);
    readEvent(file, "OnHitEnemy", onHitEnemyCount, onHitEnemy, eventLines[2], eventEntryLines[2], ended);
    readEvent(file, "OnHitTarget", onHitTargetCount, onHitTarget, eventLines[3], eventEntryLines[3], ended);
    readEvent(file, "OnHitAlly", onHitAllyCount, onHitAlly, eventLines[4], eventEntryLines[4], ended);
    reportUnreadLines(file, "event list", false);
    file.close();
    if (base) base->alphaAll(alpha);
    return 1;
}

bool particleInfo::drawable() const { return framesDrawable; }

bool particleInfo::everyFrameDrawable() const {
    if (!base || !base->built || base->numFrames <= 0) return false;
    // Every frame must have an image: drawing cycles through all of them.
    for (int i = 0; i < base->numFrames; ++i)
        if (!base->drawable(i)) return false;
    return true;
}
