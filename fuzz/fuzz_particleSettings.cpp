// A particle definition's settings file ("particle") from a hostile folder,
// read by particleInfo::initS / ParticleInfo beside the bundled definitions;
// then particles of it are launched from a fighter and from a sprite, and
// fly, fall, die of age and launch what their death list names.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fighter/Fighter.h"
#include "fuzzSupport.h"
#include "particles/partInfoList.h"
#include "particles/particleInfo.h"
#include "particles/particleList.h"
#include "shell/scene.h"
#include "sprites/clock.h"
#include "sprites/sceneGeometry.h"

namespace {
std::string gameFolder;
partInfoList* defs = nullptr;  // the bundled definitions, loaded once (the content's)
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gameFolder = quietStart("ps");
    writeParticleDefinitions(gameFolder + "/data/particle");
    writeFrameSet(gameFolder + "/data/particle/fuzzed", 3, 6, 5, 4);
    folderVisit visit(gameFolder);
    sceneContent* content = new sceneContent;
    loadContent(*content, particlesPart, fuzzScreen(), quietLoading());
    defs = &content->defs;
    if (!defs->head) fail("the bundled definitions did not load");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    folderVisit visit(gameFolder);
    writeBytes("data/particle/fuzzed/particle", data, size);
    SDL_Surface* screen = fuzzScreen();

    partInfoNode* node = new partInfoNode;
    node->name = "fuzzed";
    if (!node->info.initS("data/particle/fuzzed 5", screen, quietLoading())) fail("the settings file did not read");
    // The alpha switch is off in the game; on, the fuzzed alpha reaches every image.
    node->info.base->alphaOp = size % 2 == 1;
    node->info.base->alphaAll(node->info.alpha);
    checkEventCounts(node->info);
    node->next = defs->head;
    defs->head = node;

    clockSet(1000);
    {
        Fighter owner;
        owner.x = 300;
        owner.y = kGroundLevel;
        owner.dir = size % 3 == 0;
        CSprite parent;
        parent.x = 420;
        parent.y = 200;
        particleList particles;
        particles.addParticle("fuzzed 80 80", &owner, nullptr, defs, screen, 1000);
        particles.addParticleD("fuzzed -30 10", false, &parent, defs, screen, 1000);
        particles.addParticle("fuzzed", nullptr, nullptr, defs, screen, 1000);
        for (int step = 0; step < 60 && particles.head; ++step) {
            clockAdvance(step % 2 ? 15 : 90);
            particles.update();
            for (partNode* p = particles.head; p; p = p->next)
                if (p->part->dead) fail("a dead particle is still in the list after the step");
            particles.clearBG();
            particles.updateBG();
            particles.draw();
            particles.debug();
            // Death lists naming themselves grow without end; enough is seen by then.
            if (particles.size() > 300) break;
        }
    }
    defs->head = node->next;
    delete node;
    takeContentReports();
    return 0;
}
