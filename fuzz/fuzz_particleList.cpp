// The particle list file ("data/particle/<list>") from a hostile folder, read
// by partInfoList::addList over definition folders like the bundled ones;
// then every loaded definition is looked up and launched, and the particles
// fly, die and launch their death particles.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzzSupport.h"
#include "particles/partInfoList.h"
#include "particles/particleInfo.h"
#include "particles/particleList.h"
#include "sprites/clock.h"
#include "platform/files.h"

namespace {
std::string gameFolder;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gameFolder = quietStart("pl");
    writeParticleDefinitions(gameFolder + "/data/particle");
    // Definitions that are broken in their own ways.
    writeFrameSet(gameFolder + "/data/particle/nosettings", 1, 4, 4, 2);
    makeFolders(gameFolder + "/data/particle/noframes");
    writeText(gameFolder + "/data/particle/noframes/particle", "255\n500\n1\n0\n0\n1\nnoframes 1 1\n0\n0\n0\n0\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The loader reads its fixed relative paths from here.
    folderVisit visit(gameFolder);
    writeBytes("data/particle/fuzzlist", data, size);
    SDL_Surface* screen = fuzzScreen();
    clockSet(1);
    partInfoList defs;
    if (defs.addList("fuzzlist", screen, quietLoading()) != 1) fail("addList could not open its list");

    particleList particles;
    int launched = 0;
    for (partInfoNode* node = defs.head; node; node = node->next) {
        checkEventCounts(node->info);
        // The newest definition of a name is the one found.
        particleInfo* found = defs.findParticle(node->name);
        if (!found) fail("a loaded definition is not found by its name");
        if (launched < 6) {
            particles.addParticle(node->name + " 80 80", nullptr, nullptr, &defs, screen, 1);
            ++launched;
        }
    }

    for (int step = 0; step < 40 && particles.head; ++step) {
        clockAdvance(60);
        particles.update();
        for (partNode* node = particles.head; node; node = node->next)
            if (node->part->dead) fail("a dead particle is still in the list after the step");
        particlesPass(particles);
        if (particles.size() > 400) break;
    }
    takeContentReports();
    return 0;
}
