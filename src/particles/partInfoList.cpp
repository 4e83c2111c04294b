#include "partInfoList.h"

#include <cstdio>

#include "data/textFile.h"

namespace {
const char* const kParticleFolder = "data/particle/";
}

partInfoList::~partInfoList() {
    while (head) {
        partInfoNode* next = head->next;
        delete head;
        head = next;
    }
}

int partInfoList::addList(const char* listName, SDL_Surface* screen, loadPolicy& policy) {
    std::string path = std::string(kParticleFolder) + (listName ? listName : "");
    if (!pathFits(nullptr, path, policy)) return -1;
    TextFile file(policy);
    if (!file.open(path)) {
        reportOpenFailure(path, policy);
        return -1;
    }

    int announced = 0;
    bool trusted = true;  // lines left after the announced ones are the count's fault
    std::string line;
    if (!file.readLine(line) || !scanHeader(line, "PARTS:", announced)) {
        file.report("expected \"PARTS: <count>\"");
        announced = 0;
        trusted = false;
    }
    trusted = holdCount(file, announced, 1, "negative particle count read as 0",
                        [](int count, long room) {
                            return "announces " + std::to_string(count) + " particles but only " +
                                   std::to_string(room) + " lines follow";
                        }) &&
              trusted;

    for (int i = 0; i < announced && file.readLine(line); ++i) {
        std::printf("New Particle: %s\n", line.c_str());
        std::string name = firstWord(line);
        if (name.empty()) {
            file.report("particle line holds no name");
            continue;
        }
        expectName(file, name, "particle name");
        // The settings file's path is the longest the definition builds.
        if (!pathFits(&file, std::string(kParticleFolder) + name + "/particle", file.policy())) continue;

        if (!head)
            std::printf("\n\nAdding particle\n");
        else
            std::printf("adding another particle\n");
        partInfoNode* node = new partInfoNode;
        // The definition stays in the list whether or not its settings loaded.
        node->info.initS(kParticleFolder + line, screen, policy);
        node->next = head;
        head = node;
        node->name = name;
    }
    if (trusted) reportUnreadLines(file, "particle line", false);
    file.close();
    return 1;
}

particleInfo* partInfoList::findParticle(std::string name) {
    for (partInfoNode* node = head; node; node = node->next) {
        if (node->name == name) {
            std::printf("success!\n");
            return &node->info;
        }
    }
    std::printf("not success\n");
    return nullptr;
}

particleInfo* partInfoList::quietFind(const std::string& name) {
    for (partInfoNode* node = head; node; node = node->next)
        if (node->name == name) return &node->info;
    return nullptr;
}
