// Spawn strings ("fireball1 80 80") as frames, event lists and start-up give
// them, over the bundled definitions: each line of the input launches a
// particle from the fighter, from a sprite and from nothing, and is read by
// a lone particle; then the list steps, draws and removes them.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fighter/Fighter.h"
#include "fuzzSupport.h"
#include "particles/partInfoList.h"
#include "particles/particle.h"
#include "particles/particleList.h"
#include "shell/scene.h"
#include "sprites/clock.h"
#include "platform/files.h"
#include "data/textFile.h"
#include "sprites/sceneGeometry.h"

namespace {
partInfoList* defs = nullptr;  // the bundled definitions and two odd ones, loaded once (the content's)
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string gameFolder = quietStart("sp");
    writeParticleDefinitions(gameFolder + "/data/particle");
    // One with no frames at all, one whose death list names itself.
    makeFolders(gameFolder + "/data/particle/bare");
    writeText(gameFolder + "/data/particle/bare/particle", "255\n200\n1\n0\n0\n2\nNULL\nbare\n0\n0\n0\n0\n");
    writeFrameSet(gameFolder + "/data/particle/again", 2, 5, 5, -6);
    writeText(gameFolder + "/data/particle/again/particle", "255\n120\n1\n0\n0\n2\nagain 5 5\nNULL\n0\n0\n0\n0\n");
    writeText(gameFolder + "/data/particle/odd", "PARTS: 2\nbare 9\nagain 10\n");
    folderVisit visit(gameFolder);
    sceneContent* content = new sceneContent;
    loadContent(*content, particlesPart, fuzzScreen(), quietLoading());
    defs = &content->defs;
    defs->addList("odd", fuzzScreen(), quietLoading());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = asText(data, size);
    // Frame lines hold at most 254 characters; so do event entries.
    std::vector<std::string> specs;
    size_t start = 0;
    while (start <= text.size() && specs.size() < 24) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        specs.push_back(text.substr(start, std::min<size_t>(end - start, kMaxLineRead)));
        start = end + 1;
    }

    SDL_Surface* screen = fuzzScreen();
    clockSet(5000);
    Fighter owner;
    owner.x = 400;
    owner.y = kGroundLevel;
    CSprite parent;
    parent.x = 100;
    parent.y = 100;
    particleList particles;
    for (size_t i = 0; i < specs.size(); ++i) {
        const std::string& spec = specs[i];
        owner.dir = i % 2 == 0;
        particles.addParticle(spec, &owner, nullptr, defs, screen, 5000);
        particles.addParticleD(spec, i % 3 == 0, &parent, defs, screen, 5000);
        particles.addParticle(spec, nullptr, nullptr, defs, screen, 1);

        // A lone particle: an unknown name leaves it dead, never half made.
        particle lone;
        lone.init(spec, &owner, nullptr, defs, screen, 5000);
        if (!lone.info && !lone.dead) fail("a particle without a definition is not dead");
        lone.getPartNum("OnDeath");
        lone.getPartNum(spec);
        lone.getNewPart("OnDeath", 0);
        lone.getNewPart("OnHitAlly", static_cast<int>(i) - 1);
        lone.update();
        lone.gravity();
    }
    for (int step = 0; step < 30 && particles.head; ++step) {
        clockAdvance(step % 3 ? 20 : 150);
        particles.update();
        for (partNode* node = particles.head; node; node = node->next)
            if (node->part->dead || !node->part->info) fail("a dead or undefined particle stays in the list");
        particlesPass(particles);
        if (particles.size() > 400) break;
    }
    takeContentReports();
    return 0;
}
