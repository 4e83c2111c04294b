// fightscene-replay SCRIPT [DATA_FOLDER]: the game run headless on a driven
// clock, fed timed key events from a script; prints the game's own lines.
#include <cstdio>
#include <string>

#include "authoring/cpuBatch.h"
#include "authoring/dataFolder.h"
#include "authoring/netRun.h"
#include "authoring/replay.h"
#include "match/cpuPlayer.h"
#include "platform/platform.h"
#include "shell/optionTable.h"

namespace {
bool setStep(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, 1000000, options.step, problem);
}
bool setRepeat(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, 1000000, options.repeat, problem);
}

bool setSeed(replayOptions& options, const char* value, std::string& problem) {
    int seed = 0;
    if (!readNumber(value, 0, 2147483647L, seed, problem)) return false;
    options.match.seed = static_cast<uint32_t>(seed);
    return true;
}
bool setCpu2(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, kCpuLowestLevel, kCpuHighestLevel, options.cpu2, problem);
}
bool setRounds(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, 1000000, options.rounds, problem);
}

bool setSyncTest(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, kMaxSyncDepth, options.syncDepth, problem);
}

bool setPlantDesync(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 0, 1 << 24, options.plantDesync, problem);
}
bool setNetReplay(replayOptions& options, const char* value, std::string& problem) {
    return setPath<netplaySetup, &netplaySetup::replayFile>(options.net, value, problem);
}

const optionSpec<replayOptions> kOptions[] = {
    {"--step", "MS", "clock advance per pass (default 10)", setStep},
    {"--no-marks", nullptr, "print only the game's own lines",
     setFlag<replayOptions, &replayOptions::marks, false>},
    {"--repeat", "N", "run the script N times in a row (soak runs)", setRepeat},
    {"--expect", "FILE", "compare the output with FILE; status 3 when it differs",
     setText<replayOptions, &replayOptions::expect>},
    {"--watch", nullptr, "reload the content when a file under the data folder changes",
     setFlag<replayOptions, &replayOptions::watch>},
    {"--training", nullptr, "play the training scene: a partner to hit and the training panel",
     setFlag<replayOptions, &replayOptions::training>},
    {"--record-file", "PATH", "with --training: the recording F2 plays and F1 saves (default: none, kept in memory)",
     setPath<replayOptions, &replayOptions::recordFile>},
    {"--versus", nullptr, kVersusHelp, setVersus<replayOptions>},
    {"--cpu", "[LEVEL]", kCpuHelp, setCpu<replayOptions>},
    {"--p1", "NAME", kP1Help, setP1<replayOptions>},
    {"--p2", "NAME", kP2Help, setP2<replayOptions>},
    {"--round-time", "SECONDS", kRoundTimeHelp, setRoundTime<replayOptions>},
    {"--seed", "S", "with --cpu: the CPU's seed, which varies its games (default 1)", setSeed},
    {"--cpu2", "LEVEL", "with --versus --cpu and --rounds: a second CPU, 1 to 8, plays player 1", setCpu2},
    {"--rounds", "N", "CPU against CPU: rounds played as fast as they go; a line tells who won", setRounds},
    {"--sync-test", "N", "with --training or --versus: every tick, step the last N ticks again from their saved state and compare",
     setSyncTest},
    {"--host", "[PORT]", "play player 1 of a netplay match over UDP with the script's keys (or --cpu)",
     setHost<replayOptions>},
    {"--join", "HOST[:PORT]", "play player 2 of a netplay match over UDP with the script's keys (or --cpu)",
     setJoin<replayOptions>},
    {"--netplay-pair", nullptr, "play both sides of a netplay match here (--cpu side 2, --cpu2 side 1), fast",
     setFlag<replayOptions, &replayOptions::netPair>},
    {"--delay", "TICKS", kDelayHelp, setDelay<replayOptions>},
    {"--net-sim", "SETTINGS", kNetSimHelp, setNetSim<replayOptions>},
    {"--net-replay", "PATH", kNetReplayHelp, setNetReplay},
    {"--plant-desync", "TICK", "netplay test: this side's (a pair's side 2) state goes wrong from TICK",
     setPlantDesync},
    {"--inputs", "FILE", "play a netplay match's inputs file (no script) and print the checksum",
     setText<replayOptions, &replayOptions::inputs>},
    {"--checksum", nullptr, "with --training or --versus: print the checksum of the match's final state",
     setFlag<replayOptions, &replayOptions::checksum>},
};

void usage();

// CPU against CPU: the operand, if any, is the data folder.
int cpuBatch(const char* argv0, const replayOptions& options, const operandList& operands) {
    if (!options.match.versus || options.match.cpuLevel == 0 || options.cpu2 == 0 || options.rounds == 0 ||
        operands.words.size() > 1) {
        std::fprintf(stderr,
                     "fightscene-replay: CPU against CPU needs --versus, --cpu, --cpu2 and --rounds, and no script\n");
        usage();
        return 2;
    }
    cpuBatchOptions batch;
    batch.levels[0] = options.match.cpuLevel;
    batch.levels[1] = options.cpu2;
    batch.rounds = options.rounds;
    batch.seed = options.match.seed;
    batch.data = operands.words.empty() ? defaultDataFolder(argv0) : operands.words[0];
    if (batch.data.empty()) {
        std::fprintf(stderr, "fightscene-replay: no data folder found; give one\n");
        return 2;
    }
    return runCpuBatch(batch);
}

void usage() {
    std::string text = "usage: fightscene-replay [OPTIONS] SCRIPT [DATA_FOLDER]\n"
                       "  SCRIPT lines: \"<ms> down|up|tap <key>\", \"<ms> shot <file.bmp>\",\n"
                       "                \"<ms> copy <from> <to>\", \"<ms> end\"; '#' comments\n"
                       "  <key>: an SDL key name, or a training recording's input: up, down,\n"
                       "         forward, back, buttonA, buttonB, buttonC (the bound keys)\n" +
                       optionLines(kOptions, 4);
    std::fputs(text.c_str(), stderr);
}
}  // namespace

int main(int argc, char* argv[]) {
    showOutputLineByLine();
    replayOptions options;
    operandList operands;  // the script, then the data folder
    operands.most = 2;
    std::string mistake;  // the usage says enough
    if (!readOptions(kOptions, argc, argv, options, operands, mistake)) {
        usage();
        return 2;
    }
    if (!options.inputs.empty()) {
        std::string data = operands.words.empty() ? defaultDataFolder(argv[0]) : operands.words[0];
        if (operands.words.size() > 1 || data.empty()) {
            usage();
            return 2;
        }
        return playNetReplay(options.inputs, data);
    }
    bool netplay = options.net.on() || options.netPair;
    if (netplay) {
        // A netplay match is a versus match; the script (or the CPU) plays this side.
        std::string problem;
        if (options.net.on() && options.netPair) problem = "--netplay-pair plays both sides: no --host or --join";
        if (options.training || options.syncDepth > 0 || options.watch)
            problem = "--training, --sync-test and --watch can't be played over the network";
        if (options.net.role != netplaySetup::join) checkNetNames(options.match, problem);
        if (options.rounds > 0) problem = "--rounds can't be played over the network";
        if (!problem.empty()) {
            std::fprintf(stderr, "fightscene-replay: %s\n", problem.c_str());
            return 2;
        }
        options.match.versus = true;
    }
    if (!netplay && (options.net.sim.any() || !options.net.replayFile.empty() || options.plantDesync >= 0)) {
        std::fprintf(stderr, "fightscene-replay: --net-sim, --net-replay and --plant-desync need netplay\n");
        return 2;
    }
    if (!netplay && (options.rounds > 0 || options.cpu2 > 0)) return cpuBatch(argv[0], options, operands);
    if (operands.words.empty()) {
        usage();
        return 2;
    }
    if ((options.syncDepth > 0 || options.checksum) && !options.training && !options.match.versus) {
        std::fprintf(stderr, "fightscene-replay: --sync-test and --checksum need --training or --versus\n");
        usage();
        return 2;
    }
    if (options.training && options.match.versus) {
        std::fprintf(stderr, "fightscene-replay: --training can't be played with --versus or --cpu\n");
        usage();
        return 2;
    }
    options.script = operands.words[0];
    options.data = operands.words.size() > 1 ? operands.words[1] : defaultDataFolder(argv[0]);
    if (options.data.empty()) {
        std::fprintf(stderr, "fightscene-replay: no data folder found; give one after the script\n");
        return 2;
    }
    return runReplay(options);
}
