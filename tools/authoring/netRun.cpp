// The replay tool's netplay: one side over UDP, or a pair in one process.
#include "authoring/netRun.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"
#include "shell/scene.h"
#include "sprites/clock.h"

namespace {
// A run that goes this long past its end without finishing is stopped.
const long long kFinishGraceMs = 60000;

}  // namespace

bool netRun::greet(versusSetup& match) {
    if (!pair) {
        // The script's clock follows the real one, so the other process and the network agree on time.
        sides[0].setup = setup;
        sides[0].keepInputs = false;
        std::string problem;
        if (!sides[0].open(problem)) {
            std::printf("netplay: %s\n", problem.c_str());
            return false;
        }
        auto now = [] {
            clockSet(SDL_GetTicks());
            return clockTicks();
        };
        bool ready = sides[0].greetUntilReady(match, now, [] { SDL_Delay(1); }, quitSignalled);
        clockSet(SDL_GetTicks());
        return ready;
    }
    count = 2;
    memoryLink::pair(ends[0], ends[1]);
    for (int side = 0; side < kSides; ++side) {
        sides[side].setup = setup;
        sides[side].setup.role = side == 0 ? netplaySetup::host : netplaySetup::join;
        // The joiner's network is the worse one, as between two processes where only it is given --net-sim.
        if (side == 0) sides[side].setup.sim = netSimSettings();
        sides[side].keepInputs = false;
        sides[side].useLink(ends[side]);
    }
    uint32_t now = 0;
    clockSet(now);
    versusSetup joined = match;
    for (netGame& side : sides) side.greet(match, now);
    while (!sides[0].session.ready() || !sides[1].session.ready()) {
        if (sides[0].session.ended() != netEnd::none || sides[1].session.ended() != netEnd::none) return false;
        now += 1;
        for (netGame& side : sides) side.session.poll(now);
    }
    clockSet(now);
    // Side 1 plays what the host chose; the one scene here shows it.
    const helloPacket& host = sides[1].session.otherHello();
    if (host.p1 != match.p1 || host.p2 != match.p2 || host.roundSeconds != match.roundSeconds) {
        std::printf("netplay: the pair's sides chose different matches\n");
        return false;
    }
    return true;
}

void netRun::giveUp(const std::string& line) {
    for (int at = 0; at < count; ++at) sides[at].session.giveUp(line, clockTicks());
}

int netRun::greetingFailed() {
    int status = 1;
    for (int at = 0; at < count; ++at) {
        if (!pair) sides[at].linger(SDL_GetTicks, [] { SDL_Delay(1); });
        status = std::max(status, sides[at].report(versusSetup()));
    }
    return status;
}

void netRun::attach(gameScene& scene, int endMs) {
    endTick = endMs / (kTickMs * kCheckEvery) * kCheckEvery;
    if (endTick < kCheckEvery) endTick = kCheckEvery;
    matchSession& match = *scene.match;
    const versusSetup& versus = scene.versus;
    if (pair) {
        match.playOverNet(sides[0].session, 0, scene.control);
        match.playOverNet(sides[1].session, 1, match.partnerInput);
        if (firstCpuLevel > 0) {
            match.firstCpuPlays = true;
            match.firstCpu = makeCpu(0, firstCpuLevel, versus.seed);
        }
    } else {
        int side = sides[0].sideHere();
        match.playOverNet(sides[0].session, side, scene.control);
        // The replay's --cpu plays this side.
        if (side == 0 && versus.cpuLevel > 0) {
            match.firstCpuPlays = true;
            match.firstCpu = makeCpu(0, versus.cpuLevel, versus.seed);
        }
    }
    for (int at = 0; at < count; ++at) sides[at].session.finishAt(endTick);
    if (plantDesyncAt >= 0) sides[count - 1].session.match().plantDesync(plantDesyncAt);
}

void netRun::noteDamage() {
    // A new round fills the bars again: only what falls counts.
    const matchState& confirmed = sides[0].session.match().confirmedState();
    for (int side = 0; side < kSides; ++side) {
        int health = confirmed.fighters[side].health;
        if (lastHealth[side] >= 0 && health < lastHealth[side]) damage[side] += lastHealth[side] - health;
        lastHealth[side] = health;
    }
}

bool netRun::afterPass(gameScene& scene, long long clockMs) {
    noteDamage();
    if (!pair)
        while (static_cast<int32_t>(clockTicks() - SDL_GetTicks()) > 0) SDL_Delay(1);
    // A side that ended still lets its goodbye out of its network, while the other plays on.
    for (int at = 0; at < count; ++at)
        if (pair && sides[at].session.ended() != netEnd::none) sides[at].session.pump(clockTicks());
    if (scene.match->netEnded()) {
        if (!pair) sides[0].linger(SDL_GetTicks, [] { SDL_Delay(1); });
        return false;
    }
    if (clockMs > static_cast<long long>(endTick) * kTickMs + kFinishGraceMs) {
        std::printf("netplay: the match didn't finish within %lld s of its end\n", kFinishGraceMs / 1000);
        for (int at = 0; at < count; ++at) sides[at].session.leave(clockTicks());
        timedOut = true;
        return false;
    }
    return true;
}

int netRun::finish(gameScene& scene, const versusSetup& match, bool checksum) {
    int status = 0;
    bool finished = true;
    matchState last[kSides];
    for (int at = 0; at < count; ++at)
        finished = finished && sides[at].session.ended() == netEnd::finished &&
                   sides[at].session.match().stateAt(endTick, last[at]);
    if (finished) {
        // The picture of the end: the confirmed state both sides agree on.
        scene.match->state = last[0];
        // The red of recent damage remembers the predicted states this side
        // showed: the end's picture is drawn from the confirmed state alone.
        versusHud& hud = scene.match->hud;
        for (redPart& red : hud.red) red = redPart();
        hud.forget();
        DrawScene(scene);
        if (checksum) printChecksum(last[0]);
        noteDamage();
        std::printf("netplay: damage taken: P1 %lld, P2 %lld\n", damage[0], damage[1]);
        if (pair) {
            bool alike = matchChecksum(last[0]) == matchChecksum(last[1]);
            bool sameLines = scene.match->netLines[0] == scene.match->netLines[1];
            if (checksum || !alike) printChecksum(last[1], " of P2");
            if (!alike || !sameLines) {
                std::printf("netplay: the pair's sides ended apart (%s)\n", alike ? "lines" : "checksums");
                status = 5;
            }
        }
    }
    for (int at = 0; at < count; ++at) {
        int sideStatus = sides[at].report(match);
        if (sideStatus > status) status = sideStatus;
    }
    return timedOut ? std::max(status, 1) : status;
}
