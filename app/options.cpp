#include "options.h"

#include <vector>

#include "input/keyFile.h"
#include "input/recordingFile.h"

namespace {
// Add an option here: its usage line and its parse come from this table.
const optionSpec<gameOptions> kOptions[] = {
    {"--window", nullptr, "play in an 800x600 window instead of the full screen",
     setFlag<gameOptions, &gameOptions::window>},
    {"--watch", nullptr, "load data again whenever a file under it changes (F5 does it by hand)",
     setFlag<gameOptions, &gameOptions::watch>},
    {"--record-file", "PATH", "in training, read the recording from PATH and save it there",
     setPath<gameOptions, &gameOptions::recordFile>},
    {"--training", nullptr, "add a training partner to hit, with a panel of damage, combo and advantage",
     setFlag<gameOptions, &gameOptions::training>},
    {"--versus", nullptr, kVersusHelp, setVersus<gameOptions>},
    {"--cpu", "[LEVEL]", kCpuHelp, setCpu<gameOptions>},
    {"--p1", "NAME", kP1Help, setP1<gameOptions>},
    {"--p2", "NAME", kP2Help, setP2<gameOptions>},
    {"--round-time", "SECONDS", kRoundTimeHelp, setRoundTime<gameOptions>},
    {"--host", "[PORT]", kHostHelp, setHost<gameOptions>},
    {"--join", "HOST[:PORT]", kJoinHelp, setJoin<gameOptions>},
    {"--delay", "TICKS", kDelayHelp, setDelay<gameOptions>},
    {"--net-sim", "SETTINGS", kNetSimHelp, setNetSim<gameOptions>},
    {"--net-replay", "PATH", kNetReplayHelp, setPath<gameOptions, &gameOptions::netReplay>},
    {"--help", nullptr, "print this help and exit", setFlag<gameOptions, &gameOptions::help>},
};
}  // namespace

parseResult parseOptions(int argc, char* const argv[], gameOptions& options, std::string& problem) {
    operandList none;
    if (!readOptions(kOptions, argc, argv, options, none, problem)) return parseResult::mistake;
    if (options.training && options.match.versus) {
        problem = "--training can't be played with --versus or --cpu";
        return parseResult::mistake;
    }
    options.net.replayFile = options.netReplay;
    if (!checkNetplay(options.net, options.training, problem)) return parseResult::mistake;
    if (options.net.on()) {
        // The host chooses the match; a CPU or a reload would play apart from the other side.
        if (options.match.cpuLevel > 0) problem = "--cpu can't be played over the network";
        if (options.watch) problem = "--watch can't be played over the network";
        if (options.net.role == netplaySetup::join && options.match.versus)
            problem = "the host chooses the match: --join takes no --versus";
        if (options.net.role == netplaySetup::host) checkNetNames(options.match, problem);
        if (!problem.empty()) return parseResult::mistake;
        options.match.versus = true;
    }
    return options.help ? parseResult::help : parseResult::run;
}

std::string usageText() {
    std::string text = "Usage: fightscene [OPTION]...\n"
                       "Plays the fighting scene.\n" +
                       optionLines(kOptions, 3);
    // The training keys, as the key file names them.
    text += "Training keys, acting only with --training (the key file's record, playback,\n"
            "stance and reset):\n"
            "  F1   start or stop recording your keys (at most 10 s); the recording is saved\n"
            "       to the --record-file, or to " + std::string(kRecordingFile) + " beside the key file\n"
            "  F2   start or stop the partner playing the recording, over and over\n"
            "  F3   the partner's stance: stand, crouch, jump, guard (holds back)\n"
            "  F4   both fighters back at their start places\n";
    text += versusKeysHelp();
    // Where the key file is looked for, as the game will look on this system.
    text += "A key file can change the keys; the first found of these is read:\n";
    std::vector<std::string> places = keyFilePlaces();
    for (size_t at = 0; at + 1 < places.size(); ++at) text += "  " + places[at] + "\n";
    text += "  " + places.back() + " beside the game's data folder\n";
    return text;
}
