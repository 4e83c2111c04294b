#pragma once
// One side of a netplay match as the game and the replay tool run it: the
// link (UDP through ENet, or one end of a pair inside the process), made
// worse when asked, the session over it, the greeting before the scene
// starts, and what is left at the end: the lines, the numbers, the replay
// of the confirmed inputs and, after a desync, the state it happened at.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/enetLink.h"
#include "net/netSession.h"
#include "net/netSim.h"
#include "shell/netplaySetup.h"
#include "shell/versusSetup.h"

// The replay file's first line.
const char* const kNetReplayHeader = "fightscene netplay inputs 1";

class netGame {
public:
    netplaySetup setup;
    netSession session;
    // Without a --net-replay file the inputs go to the user's folder; a tool keeps them only when asked.
    bool keepInputs = true;

    // Opens UDP: the host waits on its port, the joiner connects. False with `problem`.
    bool open(std::string& problem);
    // Uses `link` (one end of a pair in this process) instead of UDP.
    void useLink(netLink& link);
    // Starts the greeting with this side's data folder and, for the host, its match.
    void greet(const versusSetup& match, uint32_t nowMs);
    // Greets until both sides are ready or it ended: `now` reads the clock,
    // `pause` lets a little time go by, `stop` says the player gave up.
    // True when ready; the joiner's `match` then takes the host's characters and round time.
    bool greetUntilReady(versusSetup& match, const std::function<uint32_t()>& now,
                         const std::function<void()>& pause, const std::function<bool()>& stop);
    // After the end: lets what a simulated network still holds go out (a
    // goodbye above all), for at most a second of `now`.
    void linger(const std::function<uint32_t()>& now, const std::function<void()>& pause);
    // The lines of the end, the numbers, the replay file and a desync's
    // state file; the exit status: 0 when this side left, the match finished
    // or the other side left, 1 when it was lost, desynced or mismatched.
    int report(const versusSetup& match);
    // The side played here: 0 for the host, 1 for the joiner.
    int sideHere() const { return setup.role == netplaySetup::host ? 0 : 1; }
    // Where files go by default: the user's fightscene folder.
    static std::string userFolder();

private:
    std::unique_ptr<enetLink> udp;
    std::unique_ptr<simulatedLink> worse;
    netLink* raw = nullptr;
    uint32_t openedAt = 0;  // SDL's clock when UDP opened
    netLink& link();
    bool writeReplay(const versusSetup& match, const std::string& path) const;
    bool writeState(const std::string& path) const;
};

// A "netplay: ..." line as words on the screen: "netplay: connection lost"
// stands as "Connection lost".
std::string screenWords(const std::string& line);

// Reads a netplay replay file: the match's setup and both sides' inputs,
// two bytes a tick. False with `problem` set ("path:line: ...").
bool readNetReplay(const std::string& path, versusSetup& match, std::vector<uint8_t>& inputs, std::string& problem);
