#include "shell/reload.h"

#include <cstdio>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "data/textFile.h"

namespace {
const char* kDataFolder = "data";
// Milliseconds without a new change before a watched change is loaded.
const Uint32 kQuietMs = 250;

// The sets one loading of "data" makes. Whatever this holds when it goes
// is freed: the new content when it was refused, the old one once the
// scene points at the new.
struct sceneContent {
    animationSet anims;
    moveSet moves;
    std::unique_ptr<soundSet> sounds;
    partInfoList defs;
    SDL_Surface* background = nullptr;

    ~sceneContent() { releaseSurface(background); }
};

// Reports made while a reload reads; each is printed as the game prints it.
int problemsFound = 0;
void countProblem(const std::string& file, int line, const std::string& message) {
    ++problemsFound;
    reportContent(file, line, message);
}

// How a reload reads: a frame bitmap that can't be read is reported and
// left out instead of ending the game, and every report is counted.
loadPolicy reloadLoading() {
    loadPolicy policy;
    policy.report = countProblem;
    policy.bitmapFailureEndsProcess = false;
    return policy;
}

// Everything the scene reads from "data", in start-up's order. The number
// of problems reported.
int loadContent(sceneContent& content) {
    problemsFound = 0;
    const loadPolicy policy = reloadLoading();
    loadCharacter(content.anims, content.moves, policy);
    content.sounds = loadSounds(policy);
    loadParticleDefinitions(content.defs, policy);
    content.background = loadBackground(policy);
    return problemsFound;
}

// Hands the new content to the scene and takes the old one back into
// `content`. Afterwards nothing points into the old sets.
void swapContent(sceneObjects& o, sceneContent& content) {
    // The particles point at their definitions, the move in progress at its move.
    int removed = pList.clear();
    vikings1.currentMove = nullptr;
    std::swap(o.anims, content.anims);
    std::swap(o.moves, content.moves);
    std::swap(o.sounds, content.sounds);
    std::swap(o.defs.head, content.defs.head);
    std::swap(back, content.background);
    // The fighter's sets are looked up anew; his old frame is still there
    // to restore and save around.
    vikings1.changeAnim("standing");
    o.checker->getMoveLists(&o.moves);
    o.control.sounds = o.sounds.get();
    // the new background, painted once; the fighter saves his part of it,
    // and the input display, painted over, saves its own when next drawn
    DrawBG();
    vikings1.updateBG();
    inputPanel.drawn = false;
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

bool reloadScene(sceneObjects& o) {
    // What is on disk now is what gets read: earlier changes are covered.
    o.watch.pending = false;
    std::printf("reloading data\n");
    sceneContent content;
    int problems = loadContent(content);
    if (problems > 0) {
        std::printf("reload refused: %d problem%s in data; the scene goes on with the content it had\n", problems,
                    problems == 1 ? "" : "s");
        return false;
    }
    swapContent(o, content);
    return true;
}
