#include "particleInfo.h"

#include <cstdio>

#include "platform/textFile.h"

namespace {
// Reads the next line as "%d"; 0 when the line is missing or holds no number.
int readNumber(TextFile& file) {
    std::string line;
    int value = 0;
    if (!file.readLine(line) || !scanInt(line, value)) return 0;
    return value;
}

// Reads one event's count line and its entry lines. A negative count reads
// no entries; a count beyond the end of the file reads what is there.
void readEvent(TextFile& file, const char* eventName, int& count, std::vector<std::string>& entries) {
    entries.clear();
    count = readNumber(file);
    if (count <= 0) {
        count = 0;
        return;
    }
    long left = file.linesLeft();
    if (count > left) {
        file.report(std::string(eventName) + " announces " + std::to_string(count) + " entries but only " +
                    std::to_string(left) + " lines follow");
        count = static_cast<int>(left);
    }
    entries.reserve(static_cast<size_t>(count));
    std::string line;
    for (int i = 0; i < count && file.readLine(line); ++i) entries.push_back(line);
    count = static_cast<int>(entries.size());
}
}  // namespace

particleInfo::~particleInfo() {
    if (base) {
        // After SDL_Quit the images are gone with the video subsystem.
        if (SDL_WasInit(SDL_INIT_VIDEO)) base->release();
        delete base;
    }
}

bool particleInfo::initS(std::string line, SDL_Surface* screen) {
    this->screen = screen;
    inited = true;
    if (base) {
        base->release();
        delete base;
    }
    base = new CSpriteBase();

    // Name (the folder), number, and one more word; the rest is ignored.
    std::vector<std::string> words = splitWords(line, 3);
    for (size_t i = 0; i < words.size(); ++i) std::printf("BIT[%d]: %s\n", static_cast<int>(i), words[i].c_str());

    std::string folder = words.empty() ? std::string() : words[0];
    listNumber = 0;
    if (words.size() > 1) scanInt(words[1], listNumber);

    // The settings path is the longest this definition builds.
    if (!pathFits(nullptr, folder + "/particle")) {
        std::printf("FAIL PARTICLE\n");
        return false;
    }
    base->initR(folder.c_str());

    if (!ParticleInfo(folder.c_str())) {
        std::printf("FAIL PARTICLE\n");
        return false;
    }
    std::printf("PARTICLE LOADED: %s\n", folder.c_str());
    return true;
}

int particleInfo::ParticleInfo(const char* folder) {
    std::string path = std::string(folder ? folder : "") + "/particle";
    if (!pathFits(nullptr, path)) return 0;
    TextFile file;
    if (!file.open(path)) {
        std::printf("ERROR opening file %s\n\n", path.c_str());
        return 0;
    }
    alpha = readNumber(file);
    lifeTime = readNumber(file);
    gravity = readNumber(file) == 1;
    extraFlag1 = readNumber(file) == 1;
    extraFlag2 = readNumber(file) == 1;
    readEvent(file, "OnDeath", onDeathCount, onDeath);
    readEvent(file, "OnHitPlayer", onHitPlayerCount, onHitPlayer);
    readEvent(file, "OnHitEnemy", onHitEnemyCount, onHitEnemy);
    readEvent(file, "OnHitTarget", onHitTargetCount, onHitTarget);
    readEvent(file, "OnHitAlly", onHitAllyCount, onHitAlly);
    file.close();
    if (base) base->alphaAll(alpha);
    return 1;
}

bool particleInfo::drawable() const {
    if (!base || !base->built || base->numFrames <= 0) return false;
    // Every frame must have an image: drawing cycles through all of them.
    for (int i = 0; i < base->numFrames; ++i)
        if (!base->drawable(i)) return false;
    return true;
}
