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
#include "shell/greetingScreen.h"
#include "shell/netGame.h"
#include "shell/reload.h"
#include "shell/scene.h"

namespace {
// How long a failed greeting's words stand before the game closes, ms.
const Uint32 kGreetingFailShownMs = 2500;

// Opens the network and greets the other side on a screen of its own;
// false when the game should end (the report says why), with the
// characters found when true.
bool greetOverNet(netGame& net, versusSetup& match, bool windowed) {
    greetingScreen screen;
    screen.open(windowed);
    std::string problem;
    bool host = net.setup.role == netplaySetup::host;
    std::string port = std::to_string(net.setup.port);
    std::string waiting = host ? "Waiting for a player on port " + port : "Joining " + net.setup.address + ":" + port;
    bool greeted = net.open(problem);
    if (!greeted) {
        problem = "netplay: " + problem;
        std::printf("%s\n", problem.c_str());
    } else {
        std::printf("netplay: %s%s\n", host ? "waiting for a player on port " : "joining ",
                    host ? (port + " (Escape or Ctrl-C to stop)").c_str() : (net.setup.address + ":" + port).c_str());
        screen.show(waiting, "Escape to stop");
        auto stop = [&screen] { return screen.stopAsked() || quitSignalled(); };
        greeted = net.greetUntilReady(match, SDL_GetTicks, [] { SDL_Delay(5); }, stop);
        if (greeted && !findCharacters(match, problem)) {
            net.session.giveUp("netplay: " + problem, SDL_GetTicks());
            greeted = false;
        }
        if (!net.session.endLines().empty()) problem = net.session.endLines().front();
    }
    if (greeted) {
        int side = net.sideHere();
        const std::string& mine = side == 0 ? match.p1 : match.p2;
        const std::string& theirs = side == 0 ? match.p2 : match.p1;
        std::printf("netplay: playing %s as P%d against %s\n", mine.c_str(), side + 1, theirs.c_str());
        return true;
    }
    // Why, on the screen a moment, unless the player gave up.
    if (!problem.empty() && net.session.ended() != netEnd::left) {
        screen.show(screenWords(problem));
        Uint32 since = SDL_GetTicks();
        while (SDL_GetTicks() - since < kGreetingFailShownMs && !screen.stopAsked() && !quitSignalled())
            SDL_Delay(10);
    }
    return false;
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
    if (options.net.on() && !greetOverNet(net, options.match, options.window)) {
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
