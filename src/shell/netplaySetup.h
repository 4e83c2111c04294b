#pragma once
// What a netplay match was asked for on the command line: host or join,
// where, the input delay and a simulated network. The game and the replay
// tool read the same options into it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "net/enetLink.h"
#include "net/netPacket.h"
#include "net/netSim.h"
#include "net/rollbackMatch.h"
#include "shell/optionTable.h"
#include "shell/versusSetup.h"

struct netplaySetup {
    enum Role { none, host, join };
    Role role = none;
    uint16_t port = kDefaultNetPort;  // --host's port, or the port --join connects to
    std::string address;              // --join's host
    int delay = 2;                    // --delay: input delay, ticks
    netSimSettings sim;               // --net-sim
    std::string replayFile;           // --net-replay: where the confirmed inputs go; "" for the default

    bool on() const { return role != none; }
};

// The data folder `root` as the greeting compares it: each file's path and
// bytes summed, sorted by path hash, with the paths to name them and the total.
void sumDataFolder(const std::string& root, std::vector<fileSum>& files, std::map<uint32_t, std::string>& paths,
                   uint32_t& total);

// The option rows' applies, for a table whose choices hold a netplaySetup `net`.
template <class Chosen>
bool setHost(Chosen& chosen, const char* value, std::string& problem) {
    chosen.net.role = netplaySetup::host;
    if (!value) return true;
    int port = 0;
    if (!readNumber(value, 1, 65535, port, problem)) return false;
    chosen.net.port = static_cast<uint16_t>(port);
    return true;
}
template <class Chosen>
bool setJoin(Chosen& chosen, const char* value, std::string& problem) {
    chosen.net.role = netplaySetup::join;
    return readNetAddress(value, chosen.net.address, chosen.net.port, problem);
}
template <class Chosen>
bool setDelay(Chosen& chosen, const char* value, std::string& problem) {
    return readNumber(value, 0, kMaxInputDelay, chosen.net.delay, problem);
}
template <class Chosen>
bool setNetSim(Chosen& chosen, const char* value, std::string& problem) {
    return readNetSim(value, chosen.net.sim, problem);
}

// The usage lines of the rows, the same for the game and the replay tool.
const char* const kHostHelp = "play player 1 over the network: wait for a player on PORT (default 7700, UDP)";
const char* const kJoinHelp = "play player 2 over the network against the game hosting at HOST (default port 7700)";
const char* const kDelayHelp = "with --host or --join: ticks of 10 ms your keys wait before they play (0-8, default 2)";
const char* const kNetSimHelp =
    "with --host or --join: make this side's network worse, each way:\n"
    "      delay=MS,jitter=MS,loss=PERCENT,seed=N";
const char* const kNetReplayHelp = "with --host or --join: write the match's inputs to PATH when it ends";
// The host's characters as a hello can carry them: plain ASCII of at most
// kMaxNameBytes each; false with `problem` set for another.
bool checkNetNames(const versusSetup& match, std::string& problem);
// Checks the netplay options against the rest: false with `problem` set.
bool checkNetplay(const netplaySetup& net, bool training, std::string& problem);
