// The authoring tools' shared code. This file: CPU against CPU, round after
// round, headless and unclocked.
#include "cpuBatch.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <memory>

#include "data/animationSet.h"
#include "data/characterStats.h"
#include "data/dataHome.h"
#include "data/moveSet.h"
#include "match/cpuPlayer.h"
#include "match/matchTick.h"
#include "particles/partInfoList.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/matchContentBuilder.h"
#include "sprites/sceneGeometry.h"

namespace {
// The second side's character when its folder is there.
const char* kSecondCharacter = "Gale";

// One side's character as loaded from "data/<name>".
struct loadedCharacter {
    std::string name;
    animationSet anims;
    moveSet moves;
    int health = kDefaultHealth;  // from its "stats", as the game reads it
};

void loadCharacter(loadedCharacter& character, const std::string& name, loadPolicy& policy) {
    character.name = name;
    std::string folder = "data/" + name;
    character.anims.loadAll(folder.c_str(), policy);
    character.moves.loadAll(folder.c_str(), policy);
    readCharacterStats(folder, character.health, policy);
}

// Longest a round may go before the batch calls it stalled: a round of the
// timer with its opening and its close, or a minute of ticks without a timer.
int stallTicks(const matchRules& rules) {
    int fight = rules.roundTicks > 0 ? rules.roundTicks : 6000;
    return rules.introTicks + fight + rules.outroTicks + 1000;
}
}  // namespace

cpuBatchResult playCpuRounds(const matchContent& given, int levelA, int levelB, int rounds, uint32_t seed) {
    matchContent content = given;
    content.rules.versus = true;
    cpuBatchResult result;
    matchStart start;
    start.launchStart = false;
    std::unique_ptr<matchState> state(new matchState());
    tickEvents events;
    for (uint32_t match = 0; result.rounds < rounds && !result.stalled; ++match) {
        int sideA = static_cast<int>(match % 2);
        uint32_t matchSeed = seed * 1000003u + match;
        cpuPlayer cpus[kSides] = {makeCpu(0, sideA == 0 ? levelA : levelB, matchSeed),
                                  makeCpu(1, sideA == 1 ? levelA : levelB, matchSeed)};
        *state = startMatch(content, start);
        int roundStart = state->tick;
        while (result.rounds < rounds && state->round.phase != phaseMatchOver) {
            uint8_t inputs[kSides] = {cpuInput(cpus[0], *state, content), cpuInput(cpus[1], *state, content)};
            int before = state->round.phase;
            events.clear();
            stepMatch(*state, content, inputs, events);
            int after = state->round.phase;
            if (before == phaseFight && (after == phaseOver || after == phaseMatchOver)) {
                int winner = state->round.winner;
                (winner < 0 ? result.drawn : winner == sideA ? result.won : result.lost) += 1;
                result.rounds += 1;
                roundStart = state->tick;
            }
            if (state->tick - roundStart > stallTicks(content.rules)) {
                result.stalled = true;
                break;
            }
        }
    }
    return result;
}

std::string cpuBatchLine(int levelA, int levelB, const cpuBatchResult& result) {
    std::string a = std::to_string(levelA), b = std::to_string(levelB);
    return "cpu " + a + " against cpu " + b + ": " + a + " won " + std::to_string(result.won) + ", " + b + " won " +
           std::to_string(result.lost) + ", drew " + std::to_string(result.drawn) + " of " +
           std::to_string(result.rounds) + " rounds";
}

int runCpuBatch(const cpuBatchOptions& options) {
    std::string here = currentFolder();
    std::string data = pathFrom(here, options.data);
    std::string scratch;
    if (!isFolder(data) || !enterDataParent(data, scratch)) {
        std::fprintf(stderr, "fightscene-replay: no data folder at %s\n", data.c_str());
        removeDataScratch(scratch);
        return 2;
    }
    // Headless: the particles' frames are converted for a display never shown.
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    SDL_Surface* screen = SDL_Init(SDL_INIT_VIDEO) < 0 ? nullptr
                          : SDL_SetVideoMode(kScreenWidth, kScreenHeight, kScreenBits, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "fightscene-replay: no display: %s\n", SDL_GetError());
        removeDataScratch(scratch);
        return 2;
    }
    // The loaders' chatter is left out; what they find wrong goes to standard error.
    loadPolicy policy = gamePolicy();
    policy.listener = [](const std::string& file, int line, const std::string& message) {
        std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, message.c_str());
    };
    std::fflush(stdout);
    int savedOut = redirectOutput(1, nullptr);
    std::unique_ptr<loadedCharacter> characters[kSides] = {std::unique_ptr<loadedCharacter>(new loadedCharacter),
                                                           std::unique_ptr<loadedCharacter>(new loadedCharacter)};
    bool second = fileSize((std::string("data/") + kSecondCharacter + "/info").c_str()) >= 0;
    loadCharacter(*characters[0], "Burn", policy);
    loadCharacter(*characters[1], second ? kSecondCharacter : "Burn", policy);
    partInfoList defs;
    defs.addList("default", screen, policy);
    if (second && fileSize((std::string("data/particle/") + kSecondCharacter).c_str()) >= 0)
        defs.addList(kSecondCharacter, screen, policy);
    characterSource sides[kSides];
    for (int side = 0; side < kSides; ++side)
        sides[side] = characterSource{characters[side]->name.c_str(), &characters[side]->anims,
                                      &characters[side]->moves, characters[side]->health};
    matchContent content = buildMatchContent(sides, defs, nullptr, "");
    std::fflush(stdout);
    restoreOutput(1, savedOut);
    if (!changeFolder(here)) std::perror("chdir");
    removeDataScratch(scratch);
    cpuBatchResult result = playCpuRounds(content, options.levels[0], options.levels[1], options.rounds, options.seed);
    if (result.stalled) {
        std::fprintf(stderr, "fightscene-replay: a round never ended after %d rounds\n", result.rounds);
        return 1;
    }
    std::printf("%s\n", cpuBatchLine(options.levels[0], options.levels[1], result).c_str());
    return 0;
}
