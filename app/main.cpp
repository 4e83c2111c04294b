// The game: start-up, then the main loop until Escape or a termination signal.
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "shell/scene.h"

int main(int argc, char* argv[]) {
    (void)argc;
    // Progress lines show up as they happen, also when output goes to a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    enterProgramFolder(argv[0]);
    hideConsole();
    installQuitSignals();
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(SDL_Quit);

    sceneObjects objects;
    startScene(objects);
    while (runPass(objects)) {
    }
    return 0;
}
