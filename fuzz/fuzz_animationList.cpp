// A character's animation list ("info" in the character folder) from a
// hostile folder, loaded by animationSet::loadAll over folders that hold the
// bundled animations; then a fighter is set up on what was loaded and
// walks, ducks, jumps, lands and draws.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fighter/Fighter.h"
#include "fuzzSupport.h"
#include "sprites/clock.h"
#include "data/animationSet.h"

namespace {
std::string characterFolder;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    characterFolder = quietStart("char");
    writeCharacterFolders(characterFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeBytes(characterFolder + "/info", data, size);
    animationSet anims;
    if (anims.loadAll(characterFolder.c_str(), quietLoading()) != 1) fail("loadAll did not answer 1");
    if (anims.count < 0 || anims.count != static_cast<int>(anims.anims.size())) fail("count is not what was loaded");

    // Look-ups: a miss gives the first animation, an empty set nothing.
    const char* names[] = {"walk", "standing", "duck", "inAir", "blank", "nothing", ""};
    for (const char* name : names) {
        CSpriteBase* set = anims.returnAnimation(name);
        if ((set == nullptr) != anims.anims.empty()) fail("returnAnimation: null only for an empty set");
        int index = anims.find(name);
        if (index < 0 || (!anims.anims.empty() && index >= anims.count)) fail("find out of range");
    }

    // The fighter over these animations, as the game drives it.
    SDL_Surface* screen = fuzzScreen();
    clockSet(1000);
    {
        Fighter fighter;
        fighter.initS(&anims, screen);
        fighter.speed = 3.0f;
        fighter.x = 150;
        fighter.y = 300;
        for (int pass = 0; pass < 80; ++pass) {
            clockAdvance(20);
            switch (pass % 16) {
            case 3: fighter.setDir(true); fighter.x += 3; fighter.changeAnim("walk"); break;
            case 5: fighter.duck(); break;
            case 7: fighter.changeAnim("standing"); break;
            case 9: fighter.Jump(16); break;
            case 11: fighter.Jump(16); break;
            case 13: fighter.setDir(false); fighter.x -= 3; break;
            default: break;
            }
            fighterPass(fighter);
        }
    }
    for (animInfo& anim : anims.anims) anim.frameSet.release();
    takeContentReports();
    return 0;
}
