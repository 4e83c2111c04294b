#pragma once
// A particle definition: its frame set, life time, gravity and the spawn
// entries of its five events.
#include <SDL/SDL.h>

#include <string>
#include <vector>

#include "data/hitData.h"
#include "sprites/CSpriteBase.h"

class particleInfo {
public:
    CSpriteBase* base = nullptr;  // frame set; owned, created by initS
    int listNumber = 0;           // number after the name in the list file
    int lifeTime = 0;             // milliseconds; 0 or less: no limit
    int alpha = 0;
    bool gravity = false;         // falls to the floor
    bool extraFlag1 = false;
    bool extraFlag2 = false;
    bool inited = false;
    bool framesDrawable = false;  // what drawable() answers, set by initS
    int onDeathCount = 0;
    int onHitPlayerCount = 0;
    int onHitEnemyCount = 0;
    int onHitTargetCount = 0;
    int onHitAllyCount = 0;
    std::vector<std::string> onDeath;      // spawn strings or "NULL"
    std::vector<std::string> onHitPlayer;
    std::vector<std::string> onHitEnemy;
    std::vector<std::string> onHitTarget;
    std::vector<std::string> onHitAlly;
    SDL_Surface* screen = nullptr;
    hitData hit;                  // what its hit on a fighter does, from "<folder>/hit"
    // Line of each event's count in the settings file, in the order OnDeath,
    // OnHitPlayer, OnHitEnemy, OnHitTarget, OnHitAlly, and the line of each
    // of its entries (messages and checks).
    int eventLines[5] = {0, 0, 0, 0, 0};
    std::vector<int> eventEntryLines[5];

    particleInfo() = default;
    ~particleInfo();
    particleInfo(const particleInfo&) = delete;
    particleInfo& operator=(const particleInfo&) = delete;

    // Loads the definition of one list line ("data/particle/<name> <number>").
    // Messages and bitmap failures as `policy` says.
    bool initS(std::string line, SDL_Surface* screen, loadPolicy& policy);
    // Reads "<folder>/particle"; 1 on success, 0 when it can't be opened.
    int ParticleInfo(const char* folder, loadPolicy& policy);
    // True when particles of this definition can be drawn: every frame of
    // the set has its images. Asked several times per particle and pass, so
    // it is worked out once, when the frame set is loaded.
    bool drawable() const;
    // The same, worked out from the frame set.
    bool everyFrameDrawable() const;
};
