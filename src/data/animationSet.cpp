#include "animationSet.h"

#include <cstdio>

#include "data/textFile.h"

namespace {
const size_t kMaxName = 79;
}

int animationSet::loadAll(const char* characterFolder, loadPolicy& policy) {
    folder = characterFolder;
    std::string listPath = folder + "/info";
    if (!pathFits(nullptr, listPath, policy)) return 1;
    TextFile file(policy);
    if (!file.open(listPath)) {
        reportOpenFailure(listPath, policy);
        return 1;
    }
    std::string line;
    file.readLine(line);
    int announced = 0;
    // Lines left after the announced names are the count's fault only when it was read and held.
    bool trusted = scanHeader(line, "ANIMS:", announced);
    if (!trusted) file.report("header is not \"ANIMS: <count>\"");
    trusted = holdCount(file, announced, 1, "negative animation count",
                        [](int count, long room) {
                            return "ANIMS: " + std::to_string(count) + " but only " + std::to_string(room) +
                                   " names follow";
                        }) &&
              trusted;
    // Fresh records: the frame sets own their images and are not copied.
    anims.clear();
    anims.resize(announced);
    count = 0;
    for (int i = 0; i < announced && file.readLine(line); ++i) {
        std::string name = firstWord(line);
        if (name.empty()) {
            file.report("no animation name on this line");
        } else if (!wordFits(file, name, kMaxName, "animation name")) {
            name.clear();  // treated as missing: its folder is not read
        } else {
            expectName(file, name, "animation name");
        }
        std::printf("holy diver: %s\n", name.c_str());
        if (name.empty())
            anims[i].name.clear();
        else
            loadAnim(i, name, policy);
        std::printf("ACTION COMMANDO\n");
        count = i + 1;
    }
    anims.resize(count);
    if (trusted) reportUnreadLines(file, "animation name", false);
    return 1;
}

void animationSet::loadAnim(int index, std::string name, loadPolicy& policy) {
    if (index < 0 || index >= static_cast<int>(anims.size())) return;
    anims[index].name = name;
    std::string path = folder + "/" + name;
    std::printf("load folder %s\n", path.c_str());
    if (!pathFits(nullptr, path, policy)) return;
    anims[index].frameSet.initR(path.c_str(), policy);
}

CSpriteBase* animationSet::returnAnimation(std::string name) {
    if (anims.empty()) return nullptr;
    int index = find(name);
    return &anims[index].frameSet;
}

int animationSet::find(std::string name) {
    for (size_t i = 0; i < anims.size(); ++i)
        if (anims[i].name == name) return static_cast<int>(i);
    return 0;
}
