// A character's move file ("moveset") from a hostile folder, loaded by
// moveSet::loadAll over folders that hold the bundled moves; then the input
// checker is built over it, every loaded command is typed, and a recognised
// move is started on a fighter and played to its end.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/Target.h"
#include "commands/inputChecker.h"
#include "data/animationSet.h"
#include "data/moveSet.h"
#include "fighter/Fighter.h"
#include "fuzzSupport.h"
#include "sprites/clock.h"
#include "sprites/sceneGeometry.h"

namespace {
std::string characterFolder;
animationSet* anims = nullptr;  // the fighter's animations, loaded once


bool inSet(moveSet& moves, moveInfo* move) {
    for (moveInfo& m : moves.moves)
        if (&m == move) return true;
    return false;
}

int listLength(moveNode* node) {
    int n = 0;
    for (; node; node = node->next) ++n;
    return n;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    characterFolder = quietStart("char");
    writeCharacterFolders(characterFolder);
    writeText(characterFolder + "/info", "ANIMS: 5\nstanding\nwalk\nduck\ninAir\nblank\n");
    anims = new animationSet;
    anims->loadAll(characterFolder.c_str(), quietLoading());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeBytes(characterFolder + "/moveset", data, size);
    moveSet moves;
    if (moves.loadAll(characterFolder.c_str(), quietLoading()) != 1) fail("loadAll did not answer 1");
    if (moves.count < 0 || moves.count != static_cast<int>(moves.moves.size())) fail("count is not what was loaded");

    // Look-ups: a miss gives the first move, an empty set nothing.
    for (moveInfo& move : moves.moves) {
        if (!inSet(moves, moves.returnMove(move.name))) fail("returnMove of a loaded name");
        if (moves.returnAnimation(move.name) != &moves.returnMove(move.name)->animation) fail("returnAnimation");
    }
    if ((moves.returnMove("no such move") == nullptr) != moves.moves.empty()) fail("returnMove of a miss");

    SDL_Surface* screen = fuzzScreen();
    clockSet(1000);
    Fighter fighter;
    fighter.initS(anims, screen);
    fighter.speed = 3.0f;
    fighter.x = 150;
    fighter.y = kGroundLevel;
    fighter.grounded = true;
    fighter.airActions = 2;
    Target target;
    target.setTarget(&fighter);
    {
        inputChecker checker(&moves, &fighter);
        checker.target = &target;
        // Each move stands in the list of its last letter only.
        int listed = listLength(checker.aList) + listLength(checker.bList) + listLength(checker.cList);
        int endsInButton = 0;
        for (moveInfo& move : moves.moves) {
            char last = move.command.empty() ? 0 : move.command.back();
            if (last == 'A' || last == 'B' || last == 'C') ++endsInButton;
        }
        if (listed != endsInButton) fail("move lists do not hold the moves that end in a button");

        // Type every command; start what is recognised and play it out.
        int now = 1000;
        for (size_t m = 0; m < moves.moves.size() && m < 16; ++m) {
            std::string command = moves.moves[m].command;
            for (char letter : command) {
                inputKeys press;
                press.time = now;
                press.key = letter;
                press.action = fighter.action;
                checker.acceptInput(press);
            }
            moveInfo* found = checker.update(now);
            if (found && !inSet(moves, found)) fail("update answered a move of no set");
            if (found && !fighter.returnBusy()) fighter.changeAction(found);
            for (int pass = 0; pass < 12; ++pass) {
                now += 30;
                clockSet(static_cast<Uint32>(now));
                fighterPass(fighter);
                fighter.returnSound();
                for (int i = 1; i <= fighter.returnPartNum(); ++i) fighter.returnParticle(i);
            }
        }
    }
    // The fighter must not outlive the moves it may still point at.
    fighter.currentMove = nullptr;
    fighter.base = nullptr;
    for (moveInfo& move : moves.moves) move.animation.release();
    takeContentReports();
    return 0;
}
