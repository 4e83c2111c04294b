#pragma once
// Owns the scene's live particles, newest first: steps, draws, launches the
// particles of their events and removes the dead.
#include <SDL/SDL.h>

#include <string>

#include "particles/particle.h"

class Fighter;
class CSprite;
class changedRects;
class partInfoList;

struct partNode {
    particle* part = nullptr;
    partNode* next = nullptr;
};

class particleList {
public:
    partNode* head = nullptr;
    int live = 0;  // nodes in the list, kept as they are linked and unlinked
    changedRects* changes = nullptr;  // given to every new particle's sprite; not owned

    particleList() = default;
    ~particleList();
    particleList(const particleList&) = delete;
    particleList& operator=(const particleList&) = delete;

    void addParticle(std::string spec, Fighter* owner, CSprite* parent, partInfoList* defs,
                     SDL_Surface* screen, int time);
    void addParticleD(std::string spec, bool dir, CSprite* parent, partInfoList* defs,
                      SDL_Surface* screen, int time);
    void update();
    void removeDead();
    void makeParticles();
    // Launches the entries of `eventName` of `part` at its place, with its
    // facing; they belong to its owner.
    void launchEvent(particle& part, const std::string& eventName);
    void clearBG();
    void updateBG();
    void draw();
    void debug();
    // Removes every live particle at once, with no death events (their
    // definitions are about to be replaced); the number removed.
    int clear();
    // Number of live particles, without walking the list.
    int size() const;
    // True, with one message per run of drops, when the list holds as many
    // particles as it may; `spec` is the launch being dropped.
    bool full(const std::string& spec);
    bool warnedFull = false;  // the drop message has been printed
};
