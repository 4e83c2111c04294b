#pragma once
// The game's command line: a table of options, each with its help line and
// what it sets, parsed before anything starts.
#include <string>

#include "shell/netplaySetup.h"
#include "shell/optionTable.h"
#include "shell/versusSetup.h"

// What the command line chose. Every member's default is the game as it
// plays with no options.
struct gameOptions {
    bool window = false;  // an 800x600 window instead of the full screen
    bool watch = false;   // reload the content when files under "data" change
    bool training = false;  // a training partner stands opposite the player
    bool help = false;    // print the usage and stop
    std::string recordFile;  // --record-file: the training recording's file; "" for recording.txt beside keys.txt
    versusSetup match;    // --versus, --cpu, --p1, --p2, --round-time
    netplaySetup net;     // --host, --join, --delay, --net-sim
    std::string netReplay;  // --net-replay, copied into net
};

enum class parseResult { run, help, mistake };

// Reads argv[1..] into `options` by the game's table; the game takes no
// operands. On a mistake `problem` holds a one-line message.
parseResult parseOptions(int argc, char* const argv[], gameOptions& options, std::string& problem);

// The usage text: a synopsis line and one line per option of the table.
std::string usageText();
