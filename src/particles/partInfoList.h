#pragma once
// The particle definitions, newest first.
#include <SDL/SDL.h>

#include <string>

#include "particles/particleInfo.h"

struct partInfoNode {
    std::string name;
    particleInfo info;
    partInfoNode* next = nullptr;
};

class partInfoList {
public:
    partInfoNode* head = nullptr;

    partInfoList() = default;
    ~partInfoList();
    partInfoList(const partInfoList&) = delete;
    partInfoList& operator=(const partInfoList&) = delete;

    // Loads every definition of "data/particle/<listName>". 1, or -1 when
    // the list can't be opened.
    // Messages and bitmap failures as `policy` says.
    int addList(const char* listName, SDL_Surface* screen, loadPolicy& policy);
    // The newest definition called `name`, or null.
    particleInfo* findParticle(std::string name);
    // The same without a word on standard output.
    particleInfo* quietFind(const std::string& name);
};
