// The game: options, start-up, then the main loop until Escape or a
// termination signal.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "options.h"
#include "data/dataHome.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "input/padState.h"
#include "shell/reload.h"
#include "shell/scene.h"

int main(int argc, char* argv[]) {
    // Progress lines show up as they happen, also when output goes to a file.
    showOutputLineByLine();
    gameOptions options;
    std::string problem;
    switch (parseOptions(argc, argv, options, problem)) {
    case parseResult::help:
        std::fputs(usageText().c_str(), stdout);
        return 0;
    case parseResult::mistake:
        std::fprintf(stderr, "fightscene: %s\n%s", problem.c_str(), usageText().c_str());
        return 2;
    case parseResult::run:
        break;
    }
    // A relative --record-file is the player's, from where the game started.
    std::string recordFile = pathFrom(currentFolder(), options.recordFile);
    enterDataHome(argv[0]);
    if (options.match.versus && !findCharacters(options.match, problem)) {
        std::fprintf(stderr, "fightscene: %s\n", problem.c_str());
        return 1;
    }
    hideConsole();
    installQuitSignals();
    if (startVideoAndAudio() < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(SDL_Quit);
    // A gamepad plugged in now plays beside the keyboard; SDL 1.2 sees no
    // pad plugged in later, and an unplugged one just falls silent.
    openFirstPad();
    if (options.match.versus) openSecondPad();

    // Gone before SDL_Quit runs at exit: the fighters and particles free
    // their surfaces while video is up.
    gameScene scene;
    scene.trainer.recordFile = recordFile;
    loadPolicy startUp = gamePolicy();
    scene.training = options.training;
    scene.versus = options.match;
    startScene(scene, options.window, startUp);
    if (options.watch) watchData(scene.watch);
    while (runPass(scene)) {
    }
    return 0;
}
