// fightscene-replay SCRIPT [DATA_FOLDER]: the game run headless on a driven
// clock, fed timed key events from a script; prints the game's own lines.
#include <cstdio>
#include <string>

#include "authoring/cpuBatch.h"
#include "authoring/dataFolder.h"
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

bool setCpu(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, kCpuLowestLevel, kCpuHighestLevel, options.cpu, problem);
}
bool setCpu2(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, kCpuLowestLevel, kCpuHighestLevel, options.cpu2, problem);
}
bool setRounds(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, 1000000, options.rounds, problem);
}
bool setSeed(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 0, 1000000000, options.seed, problem);
}

bool setSyncTest(replayOptions& options, const char* value, std::string& problem) {
    return readNumber(value, 1, kMaxSyncDepth, options.syncDepth, problem);
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
    {"--sync-test", "N", "with --training: every tick, step the last N ticks again from their saved state and compare",
     setSyncTest},
    {"--checksum", nullptr, "with --training: print the checksum of the match's final state",
     setFlag<replayOptions, &replayOptions::checksum>},
    {"--versus", nullptr, "with --cpu, --cpu2 and --rounds: CPU against CPU, no script",
     setFlag<replayOptions, &replayOptions::versus>},
    {"--cpu", "LEVEL", "the first CPU's level, 1 to 8", setCpu},
    {"--cpu2", "LEVEL", "the second CPU's level, 1 to 8", setCpu2},
    {"--rounds", "N", "rounds the CPUs play, as fast as they go; a line tells who won", setRounds},
    {"--seed", "S", "varies the CPUs' games (default 1)", setSeed},
};

void usage();

// CPU against CPU: the operand, if any, is the data folder.
int cpuBatch(const char* argv0, const replayOptions& options, const operandList& operands) {
    if (!options.versus || options.cpu == 0 || options.cpu2 == 0 || options.rounds == 0 || operands.words.size() > 1) {
        std::fprintf(stderr,
                     "fightscene-replay: CPU against CPU needs --versus, --cpu, --cpu2 and --rounds, and no script\n");
        usage();
        return 2;
    }
    cpuBatchOptions batch;
    batch.levels[0] = options.cpu;
    batch.levels[1] = options.cpu2;
    batch.rounds = options.rounds;
    batch.seed = static_cast<uint32_t>(options.seed);
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
    if (options.rounds > 0 || options.cpu2 > 0) return cpuBatch(argv[0], options, operands);
    if (operands.words.empty()) {
        usage();
        return 2;
    }
    if ((options.syncDepth > 0 || options.checksum) && !options.training) {
        std::fprintf(stderr, "fightscene-replay: --sync-test and --checksum need --training\n");
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
