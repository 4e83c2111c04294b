#include "shell/reload.h"

#include <cstdio>
#include <string>
#include <utility>

#include "sprites/clock.h"
#include "data/textFile.h"

namespace {
const char* kDataFolder = "data";
// Milliseconds without a new change before a watched change is loaded.
const Uint32 kQuietMs = 250;

// How a reload reads: every message printed as the game prints it, the
// opening failures too; a frame bitmap that can't be read is reported and
// left out instead of ending the game.
loadPolicy reloadPolicy() {
    loadPolicy policy = keepGoingPolicy();
    policy.listener = printContentMessage;
    return policy;
}

// Hands the new content to the scene and takes the old one back into
// `content`. Afterwards nothing points into the old sets.
void swapContent(gameScene& o, sceneContent& content) {
    // The particles point at their definitions, the moves in progress at their moves.
    int removed = o.pList.clear() + (o.match ? o.match->state.particleCount : 0);
    for (Fighter& fighter : o.fighters) fighter.currentMove = nullptr;
    // Swapped in place: the fighters, the checker and the player control
    // keep pointing at the scene's own sets.
    std::swap(o.content.anims, content.anims);
    std::swap(o.content.moves, content.moves);
    std::swap(o.content.sounds, content.sounds);
    std::swap(o.content.defs.head, content.defs.head);
    std::swap(o.content.back, content.back);
    std::swap(o.content.partnerAnims, content.partnerAnims);
    std::swap(o.content.partnerMoves, content.partnerMoves);
    std::swap(o.content.health, content.health);
    if (o.match) o.match->contentChanged(o);
    // The fighters' sets are looked up anew; their old frames are still
    // there to restore and save around.
    if (!o.match)
        for (Fighter& fighter : o.fighters) fighter.changeAnim("standing");
    o.checker->getMoveLists(&o.content.moves);
    o.control.sounds = o.content.sounds.get();
    // the new background, painted once; the fighters save their part of it,
    // and the input display and the training panel, painted over, save
    // their own when next drawn
    DrawBG(o);
    if (!o.match)
        for (Fighter& fighter : o.fighters) fighter.updateBG();
    o.inputPanel.drawn = false;
    o.panel.drawn = false;
    std::printf("reloaded data: %d particle%s removed\n", removed, removed == 1 ? "" : "s");
}
}  // namespace

void watchData(dataWatch& watch) {
    std::string problem;
    watch.watch = watchFolder(kDataFolder, problem);
    if (watch.watch)
        std::printf("watching %s for changes\n", kDataFolder);
    else
        std::printf("cannot watch %s for changes: %s\n", kDataFolder, problem.c_str());
}

bool dataSettled(dataWatch& watch) {
    if (!watch.watch) return false;
    Uint32 now = clockTicks();
    if (folderChanged(watch.watch, now)) {
        watch.pending = true;
        watch.lastChange = now;
    }
    std::string stopped = watchStopped(watch.watch);
    if (!stopped.empty()) {
        std::printf("stopped watching %s for changes: %s; F5 still loads it again\n", kDataFolder, stopped.c_str());
        unwatchFolder(watch.watch);
        watch.watch = nullptr;
        return watch.pending;  // what changed before is still loaded
    }
    return watch.pending && now - watch.lastChange >= kQuietMs;
}

bool reloadScene(gameScene& o) {
    // What is on disk now is what gets read: earlier changes are covered.
    o.watch.pending = false;
    std::printf("reloading data\n");
    sceneContent content;
    content.cast = o.content.cast;
    loadPolicy policy = reloadPolicy();
    loadContent(content, allContentParts | (playsMatch(o) ? partnerPart : 0u), o.screen, policy);
    int problems = policy.reported;
    if (problems > 0) {
        std::printf("reload refused: %d problem%s in data; the scene goes on with the content it had\n", problems,
                    problems == 1 ? "" : "s");
        return false;
    }
    swapContent(o, content);
    return true;
}
