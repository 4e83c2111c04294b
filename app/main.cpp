// The game: options, start-up, then the main loop until Escape or a
// termination signal.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "options.h"
#include "data/dataHome.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "input/padState.h"
#include "shell/netGame.h"
#include "shell/reload.h"
#include "shell/scene.h"

namespace {
// Opens the network and greets the other side; false when the game should
// end (the report says why), with the characters found when true.
bool greetOverNet(netGame& net, versusSetup& match) {
    std::string problem;
    if (!net.open(problem)) {
        std::printf("netplay: %s\n", problem.c_str());
        return false;
    }
    if (net.setup.role == netplaySetup::host)
        std::printf("netplay: waiting for a player on port %u (Ctrl-C to stop)\n", unsigned(net.setup.port));
    else
        std::printf("netplay: joining %s:%u\n", net.setup.address.c_str(), unsigned(net.setup.port));
    if (!net.greetUntilReady(match, SDL_GetTicks, [] { SDL_Delay(5); }, quitSignalled)) return false;
    if (!findCharacters(match, problem)) {
        std::printf("netplay: %s\n", problem.c_str());
        net.session.leave(SDL_GetTicks());
        return false;
    }
    int side = net.sideHere();
    const std::string& mine = side == 0 ? match.p1 : match.p2;
    const std::string& theirs = side == 0 ? match.p2 : match.p1;
    std::printf("netplay: playing %s as P%d against %s\n", mine.c_str(), side + 1, theirs.c_str());
    return true;
}
}  // namespace

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
    if (!options.net.replayFile.empty()) options.net.replayFile = pathFrom(currentFolder(), options.net.replayFile);
    enterDataHome(argv[0]);
    // A joiner plays the host's characters: they are looked for once the host named them.
    if (options.match.versus && options.net.role != netplaySetup::join && !findCharacters(options.match, problem)) {
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
    // Over the network the two sides greet before the scene starts: the joiner plays the host's match.
    // On the heap: its match states are too big for a Windows stack.
    std::unique_ptr<netGame> netOwned(new netGame);
    netGame& net = *netOwned;
    net.setup = options.net;
    if (options.net.on() && !greetOverNet(net, options.match)) {
        // The other side hears our last words too: why the greeting failed, or goodbye.
        net.linger(SDL_GetTicks, [] { SDL_Delay(5); });
        return net.report(options.match);
    }
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
    if (options.net.on()) scene.match->playOverNet(net.session, net.sideHere(), scene.control);
    while (runPass(scene)) {
    }
    if (!options.net.on()) return 0;
    net.linger(SDL_GetTicks, [] { SDL_Delay(5); });
    return net.report(scene.versus);
}
