#include "particleList.h"

#include <cstdio>

#include "sprites/clock.h"

particleList::~particleList() { clear(); }

int particleList::clear() {
    int removed = 0;
    while (head) {
        partNode* next = head->next;
        delete head->part;
        delete head;
        head = next;
        ++removed;
    }
    live = 0;
    warnedFull = false;
    return removed;
}

namespace {
// Puts a freshly initialised particle at the front, or drops it when its
// spawn string named no definition: such a particle has nothing to show.
void link(partNode*& head, int& live, particle* part, bool wasEmpty) {
    if (!part->info || part->dead) {
        delete part;
        return;
    }
    partNode* node = new partNode;
    node->part = part;
    node->next = head;
    head = node;
    ++live;
    if (wasEmpty) std::printf("particle added\n");
}

// Live particles the list holds at most. A death list that names its own
// particle twice doubles them every life time; past this the spawns are
// dropped rather than freezing the game.
const int kMaxLiveParticles = 1024;

// Prints the line that announces a new particle; true when the list was empty.
bool announceAdding(const partNode* head) {
    if (head) {
        std::printf("adding another particle\n");
        return false;
    }
    std::printf("\n\nAdding particle\n");
    return true;
}
}  // namespace

namespace {
// Launches one particle unless the list is full: announced, its sprite noting
// where it draws, set up by `setUp`, then put at the front.
template <class SetUp>
void launch(particleList& list, const std::string& spec, SetUp setUp) {
    if (list.full(spec)) return;
    bool wasEmpty = announceAdding(list.head);
    particle* part = new particle;
    part->sprite.changes = list.changes;
    setUp(*part);
    link(list.head, list.live, part, wasEmpty);
}
}  // namespace

void particleList::addParticle(std::string spec, Fighter* owner, CSprite* parent, partInfoList* defs,
                               SDL_Surface* screen, int time) {
    launch(*this, spec, [&](particle& part) { part.init(spec, owner, parent, defs, screen, time); });
}

void particleList::addParticleD(std::string spec, bool dir, CSprite* parent, partInfoList* defs,
                                SDL_Surface* screen, int time) {
    launch(*this, spec, [&](particle& part) { part.initD(spec, dir, parent, defs, screen, time); });
}

bool particleList::full(const std::string& spec) {
    if (size() < kMaxLiveParticles) {
        warnedFull = false;
        return false;
    }
    if (!warnedFull)
        std::printf("%d particles live: \"%s\" and further launches are dropped\n", kMaxLiveParticles, spec.c_str());
    warnedFull = true;
    return true;
}

void particleList::update() {
    for (partNode* node = head; node; node = node->next) node->part->update();
    removeDead();
}

void particleList::removeDead() {
    makeParticles();
    while (head && head->part->dead) {
        partNode* node = head;
        head = node->next;
        delete node->part;
        delete node;
        --live;
        std::printf("\n\nKilling the head particle\n");
    }
    if (!head) return;
    partNode* prev = head;
    while (prev->next) {
        partNode* node = prev->next;
        if (node->part->dead) {
            prev->next = node->next;
            delete node->part;
            delete node;
            --live;
            std::printf("\n\nKilling a body bit\n");
        } else {
            prev = node;
        }
    }
}

void particleList::makeParticles() {
    // Particles launched here go to the front and are not visited: the walk
    // starts from the front as it is now.
    for (partNode* node = head; node; node = node->next) {
        particle* part = node->part;
        if (part->event != "NULL") launchEvent(*part, part->event);
        for (const std::string& hit : part->hitEvents) launchEvent(*part, hit);
    }
}

void particleList::launchEvent(particle& part, const std::string& eventName) {
    int n = part.getPartNum(eventName);
    std::printf("pNum %d\n", n);
    for (int i = 0; i < n; ++i) {
        std::string entry = part.getNewPart(eventName, i);
        std::printf("str: %s\n", entry.c_str());
        partNode* before = head;
        addParticleD(entry, part.dir, &part.sprite, part.partInfo, part.screen, static_cast<int>(clockTicks()));
        // The new particle belongs to the same fighter as its launcher.
        if (head != before) head->part->owner = part.owner;
    }
}

void particleList::clearBG() {
    for (partNode* node = head; node; node = node->next)
        if (node->part->canDraw()) node->part->sprite.clearBG();
}

void particleList::updateBG() {
    for (partNode* node = head; node; node = node->next)
        if (node->part->canDraw()) node->part->sprite.updateBG();
}

void particleList::draw() {
    for (partNode* node = head; node; node = node->next)
        if (node->part->canDraw()) node->part->sprite.drawD(node->part->dir);
}

void particleList::debug() {
    for (partNode* node = head; node; node = node->next)
        if (node->part->canDraw()) node->part->sprite.drawColBoxes();
}

int particleList::size() const { return live; }
