#include "shell/netGame.h"

#include <SDL/SDL.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/userFolder.h"

std::string screenWords(const std::string& line) {
    size_t colon = line.find(": ");
    std::string words = colon == std::string::npos ? line : line.substr(colon + 2);
    if (!words.empty()) words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
    return words;
}

std::string netGame::userFolder() {
    std::string settings = userSettingsFolder();
    if (settings.empty()) return currentFolder();
    const char between = folderSeparator();
    if (settings.back() != between) settings += between;
    return settings + "fightscene";
}

bool netGame::open(std::string& problem) {
    udp.reset(new enetLink);
    bool opened = setup.role == netplaySetup::host ? udp->host(setup.port, problem)
                                                   : udp->join(setup.address, setup.port, problem);
    if (!opened) return false;
    openedAt = SDL_GetTicks();
    raw = udp.get();
    if (setup.sim.any()) worse.reset(new simulatedLink(*raw, setup.sim));
    return true;
}

void netGame::useLink(netLink& given) {
    raw = &given;
    if (setup.sim.any()) worse.reset(new simulatedLink(*raw, setup.sim));
}

netLink& netGame::link() { return worse ? static_cast<netLink&>(*worse) : *raw; }

void netGame::greet(const versusSetup& match, uint32_t nowMs) {
    netSetup mine;
    mine.side = sideHere();
    mine.delay = setup.delay;
    mine.p1 = match.p1;
    mine.p2 = match.p2;
    mine.roundSeconds = match.roundSeconds;
    sumDataFolder("data", mine.files, mine.paths, mine.contentSum);
    session.begin(link(), mine, nowMs);
}

bool netGame::greetUntilReady(versusSetup& match, const std::function<uint32_t()>& now,
                              const std::function<void()>& pause, const std::function<bool()>& stop) {
    greet(match, now());
    while (!session.ready() && session.ended() == netEnd::none) {
        if (stop()) {
            session.leave(now());
            return false;
        }
        pause();
        session.poll(now());
    }
    if (session.ended() != netEnd::none) return false;
    if (setup.role == netplaySetup::join) {
        const helloPacket& host = session.otherHello();
        match.p1 = host.p1;
        match.p2 = host.p2;
        match.roundSeconds = host.roundSeconds;
    }
    match.versus = true;
    return true;
}

void netGame::linger(const std::function<uint32_t()>& now, const std::function<void()>& pause) {
    // UDP gets a moment more to deliver the last datagrams (a big hello in
    // pieces), and the goodbye is said again meanwhile.
    const uint32_t least = udp ? 300 : 0;
    uint32_t start = now();
    while (now() - start < 1000 &&
           (now() - start < least || session.saying() || (worse && worse->holding()))) {
        session.pump(now());
        pause();
    }
}

bool netGame::writeReplay(const versusSetup& match, const std::string& path) const {
    std::ofstream out(path.c_str(), std::ios::binary);
    if (!out) return false;
    out << kNetReplayHeader << "\n";
    out << "p1 " << match.p1 << "\np2 " << match.p2 << "\nround-time " << match.roundSeconds << "\n";
    // One line a run of ticks alike: how many, then each side's bits.
    const std::vector<uint8_t>& inputs = session.match().confirmedInputs();
    for (size_t at = 0; at + 1 < inputs.size();) {
        size_t run = 1;
        while (at + 2 * run + 1 < inputs.size() && inputs[at + 2 * run] == inputs[at] &&
               inputs[at + 2 * run + 1] == inputs[at + 1])
            ++run;
        out << run << " " << int(inputs[at]) << " " << int(inputs[at + 1]) << "\n";
        at += 2 * run;
    }
    return static_cast<bool>(out);
}

bool netGame::writeState(const std::string& path) const {
    matchState state;
    if (!session.match().stateAt(session.desyncTick(), state)) return false;
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&state), sizeof state);
    return static_cast<bool>(out);
}

int netGame::report(const versusSetup& match) {
    for (const std::string& line : session.endLines()) std::printf("%s\n", line.c_str());
    netEnd end = session.ended();
    // Nothing started (the network didn't open) or the two sides didn't match: nothing to count.
    if (end == netEnd::none || end == netEnd::mismatch) return 1;
    // Nothing was played (the player gave up waiting): nothing to count or keep.
    if (!session.started()) return end == netEnd::left ? 0 : 1;
    std::printf("%s\n", session.summary().c_str());
    // What went out, ENet's headers included, over the time since the link opened.
    unsigned long long seconds = (SDL_GetTicks() - openedAt) / 1000;
    if (udp && seconds > 0)
        std::printf("netplay: sent %llu bytes in %llu s, %llu bytes/s\n", udp->bytesSent(), seconds,
                    udp->bytesSent() / seconds);
    std::string folder = userFolder();
    const char between = folderSeparator();
    if (end == netEnd::desync) {
        std::string path = folder + between + "desync-tick-" + std::to_string(session.desyncTick()) + "-p" +
                           std::to_string(session.match().side() + 1) + ".state";
        if (makeFolders(folder) && writeState(path))
            std::printf("netplay: this side's state at tick %d is in %s\n", session.desyncTick(), path.c_str());
    }
    // Two games on one machine each keep their own: the player's number is in the name.
    std::string replay = setup.replayFile.empty()
                             ? folder + between + "netplay-inputs-p" + std::to_string(sideHere() + 1) + ".txt"
                             : setup.replayFile;
    if (session.match().confirmedInputs().empty() || (setup.replayFile.empty() && !keepInputs)) {
        // Nothing was played: nothing to keep, and no replay overwritten.
    } else if ((!setup.replayFile.empty() || makeFolders(folder)) && writeReplay(match, replay)) {
        std::printf("netplay: the match's inputs are in %s\n", replay.c_str());
    } else {
        std::printf("netplay: cannot write the match's inputs to %s\n", replay.c_str());
    }
    return end == netEnd::lost || end == netEnd::desync ? 1 : 0;
}

bool readNetReplay(const std::string& path, versusSetup& match, std::vector<uint8_t>& inputs, std::string& problem) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        problem = path + ": cannot open";
        return false;
    }
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        problem = path + ":" + std::to_string(number) + ": " + why;
        return false;
    };
    inputs.clear();
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1) {
            if (line != kNetReplayHeader) return fail("not a netplay inputs file");
            continue;
        }
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        std::string value;
        if (first == "p1" || first == "p2") {
            if (!(words >> value) || !checkCharacterName(value.c_str(), problem)) return fail("a character's name");
            (first == "p1" ? match.p1 : match.p2) = value;
            continue;
        }
        if (first == "round-time") {
            if (!(words >> value) || !readNumber(value.c_str(), 0, kMaxRoundSeconds, match.roundSeconds, problem))
                return fail("a round time");
            continue;
        }
        int run = 0, a = 0, b = 0;
        std::string rest;
        if (!readNumber(first.c_str(), 1, 1 << 24, run, problem) || !(words >> a >> b) || (words >> rest) || a < 0 ||
            a > 127 || b < 0 || b > 127)
            return fail("expected: TICKS BITS BITS");
        if (inputs.size() / 2 + static_cast<size_t>(run) > (1u << 24)) return fail("too many ticks");
        for (int i = 0; i < run; ++i) {
            inputs.push_back(static_cast<uint8_t>(a));
            inputs.push_back(static_cast<uint8_t>(b));
        }
    }
    if (number == 0) return fail("empty");
    match.versus = true;
    problem.clear();
    return true;
}
