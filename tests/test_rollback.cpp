// The rollback match: two sides of Burn against Gale, their CPUs' inputs
// carried late through a pipe that reorders, must confirm the match a plain
// stepping of the same inputs plays, hear each sound once and read each line once.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <tuple>

#include "match/cpuPlayer.h"
#include "net/netPacket.h"
#include "net/netSession.h"
#include "net/netSim.h"
#include "net/rollbackMatch.h"
#include "platform/files.h"
#include "shell/matchContentBuilder.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
struct pipeCase {
    int delay[kSides];
    int lateMin, lateMax;  // ticks each packet takes, drawn per packet
};

// (tick, sound, side) of every sound, by the tick it belongs to.
using soundKey = std::tuple<int, int, int>;

class Rollback : public testing::Test {
protected:
    static std::unique_ptr<sceneContent> loaded;
    static matchContent content;
    std::unique_ptr<rollbackMatch> sides[kSides] = {std::make_unique<rollbackMatch>(),
                                                    std::make_unique<rollbackMatch>()};
    std::map<soundKey, int> heard[kSides];
    std::vector<std::string> lines[kSides];

    static void SetUpTestSuite() {
        std::string folder = makeTempDir("rollback");
        ASSERT_TRUE(placeBundledData(folder));
        ASSERT_TRUE(changeFolder(folder));
        loaded.reset(new sceneContent);
        loaded->cast.names[1] = "Gale";
        loaded->cast.versus = true;
        startCapture();
        loadContent(*loaded, allContentParts | partnerPart, testScreen(), gameLoading());
        stopCapture();
        characterSource cast[kSides] = {{"Burn", &loaded->anims, &loaded->moves, loaded->health[0]},
                                        {"Gale", &loaded->partnerAnims, &loaded->partnerMoves, loaded->health[1]}};
        content = buildMatchContent(cast, loaded->defs, loaded->sounds.get(), "");
        content.rules.versus = true;
    }
    static matchState initial() {
        matchStart at;
        at.launchStart = false;
        return startMatch(content, at);
    }

    // Both sides play `ticks` ticks, then trade every input left and confirm them.
    void playOnline(const pipeCase& pipe, int ticks) {
        cpuPlayer cpus[kSides] = {makeCpu(0, 6, 11), makeCpu(1, 6, 12)};
        // To each side, by the turn it lands: the first tick and the inputs from it.
        std::multimap<int, std::pair<int, std::vector<uint8_t>>> inFlight[kSides];
        uint32_t dice = 7;
        for (int side = 0; side < kSides; ++side) {
            sides[side]->start(content, initial(), side, pipe.delay[side]);
            heard[side].clear();
            lines[side].clear();
        }
        for (int turn = 0; sides[0]->confirmedTick() < ticks || sides[1]->confirmedTick() < ticks; ++turn) {
            ASSERT_LT(turn, ticks * 3) << "the sides stopped confirming";
            for (int side = 0; side < kSides; ++side) {
                rollbackMatch& m = *sides[side];
                if (m.lastLocalTick() == m.tick() + pipe.delay[side] && m.tick() < ticks)
                    m.addLocal(cpuInput(cpus[side], m.state(), content));
                // Every packet repeats what the other side has not taken yet.
                dice = dice * 1103515245u + 12345u;
                int late = pipe.lateMin + static_cast<int>((dice >> 16) % (pipe.lateMax - pipe.lateMin + 1));
                int from = sides[1 - side]->lastRemoteTick() + 1;
                inFlight[1 - side].emplace(turn + late, std::make_pair(from, m.localInputs(from)));
            }
            for (int side = 0; side < kSides; ++side) {
                rollbackMatch& m = *sides[side];
                for (auto packet = inFlight[side].begin(); packet != inFlight[side].upper_bound(turn);) {
                    int tick = packet->second.first;
                    for (uint8_t bits : packet->second.second) m.addRemote(tick++, bits);
                    packet = inFlight[side].erase(packet);
                }
                // Past its last input made a side only confirms what comes in.
                if (m.mustWait() && m.lastLocalTick() > m.tick()) m.waited();
                rollbackEvents events;
                m.step(events);
                for (const lateSound& sound : events.sounds)
                    heard[side][soundKey{m.tick() - sound.lateMs / kTickMs, sound.cue.sound, sound.cue.side}] += 1;
                lines[side].insert(lines[side].end(), events.lines.begin(), events.lines.end());
            }
        }
    }
};
std::unique_ptr<sceneContent> Rollback::loaded;
matchContent Rollback::content;

// Faults caught: a wrong restore or a tick stepped on a stale prediction
// (checksums part from the plain stepping), a sound heard twice or never
// after a correction, a line from a predicted tick, a refill that is lost.
TEST_F(Rollback, BothSidesConfirmThePlainSteppingOfTheirInputs) {
    const pipeCase cases[] = {{{0, 0}, 0, 0}, {{0, 0}, 5, 5}, {{2, 1}, 1, 12}, {{1, 0}, 16, 16}};
    const int kTicks = 2500;
    for (const pipeCase& pipe : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &pipe - cases);
        playOnline(pipe, kTicks);
        ASSERT_FALSE(HasFatalFailure());
        const bool second = sides[1]->confirmedTick() > sides[0]->confirmedTick();
        const std::vector<uint8_t>& longer = sides[second]->confirmedInputs();
        uint64_t sums[kSides] = {};
        for (int side = 0; side < kSides; ++side) {
            const rollbackMatch& m = *sides[side];
            ASSERT_EQ(m.confirmedInputs().size(), static_cast<size_t>(m.confirmedTick()) * 2);
            EXPECT_TRUE(std::equal(m.confirmedInputs().begin(), m.confirmedInputs().end(), longer.begin()));
            EXPECT_TRUE(m.checkOf(kTicks, sums[side]));
            EXPECT_EQ(m.stats().rollbacks > 0, pipe.lateMax > 0) << side;
        }
        EXPECT_EQ(sums[0], sums[1]);
        EXPECT_EQ(sides[0]->stats().ticksWaited > 0, pipe.lateMax - pipe.delay[0] > kMaxPrediction);

        // The plain stepping of the inputs, checked against each side at its confirmed tick.
        std::unique_ptr<matchState> plain(new matchState(initial()));
        std::vector<std::string> plainLines;
        std::map<soundKey, int> plainSounds;
        int lowest[kSides] = {plain->fighters[0].health, plain->fighters[1].health};
        tickEvents events;
        for (size_t at = 0; at < longer.size(); at += 2) {
            events.clear();
            stepMatch(*plain, content, &longer[at], events);
            for (const soundCue& cue : events.sounds) plainSounds[soundKey{plain->tick, cue.sound, cue.side}] += 1;
            plainLines.insert(plainLines.end(), events.lines.begin(), events.lines.end());
            for (int side = 0; side < kSides; ++side) {
                lowest[side] = std::min(lowest[side], plain->fighters[side].health);
                if (plain->tick != sides[side]->confirmedTick()) continue;
                EXPECT_EQ(matchChecksum(*plain), matchChecksum(sides[side]->confirmedState())) << side;
                EXPECT_EQ(plainLines, lines[side]) << side;
                for (const auto& sound : plainSounds)
                    EXPECT_EQ(heard[side][sound.first], sound.second) << side << ": " << std::get<0>(sound.first);
            }
        }
        for (int side = 0; side < kSides; ++side) {
            EXPECT_LT(lowest[side], initial().fighters[side].health) << "no hit landed on " << side;
            for (const auto& sound : heard[side])
                EXPECT_EQ(sound.second, 1) << side << ": " << std::get<0>(sound.first);
        }
    }
}

// Faults caught: a prediction past the window, a step without this side's
// input, an input taken out of turn or out of range, a correction of a whole
// window stepped short.
TEST_F(Rollback, WaitsAtTheWindowsEdgeAndTakesOnlyTheNextInput) {
    rollbackMatch& m = *sides[0];
    m.start(content, initial(), 0, 0);
    EXPECT_TRUE(m.mustWait()) << "no input of its own yet";
    rollbackEvents events;
    for (int tick = 1; tick <= kMaxPrediction; ++tick) {
        m.addLocal(inputForward);
        ASSERT_FALSE(m.mustWait()) << tick;
        m.step(events);
    }
    m.addLocal(inputForward);
    EXPECT_TRUE(m.mustWait());
    for (int refused : {0, 2, -1}) EXPECT_FALSE(m.addRemote(refused, 0)) << refused;
    EXPECT_FALSE(m.addRemote(1, 128));
    EXPECT_EQ(m.lastRemoteTick(), 0);
    EXPECT_TRUE(m.addRemote(1, inputBack));
    EXPECT_FALSE(m.addRemote(1, inputBack)) << "repeated";
    EXPECT_FALSE(m.mustWait());
    m.step(events);
    EXPECT_EQ(m.stats().rollbacks, 1);
    EXPECT_EQ(m.stats().longest, kMaxPrediction);
    EXPECT_EQ(m.tick(), kMaxPrediction + 1);
    EXPECT_EQ(m.confirmedTick(), 1);
    EXPECT_EQ(m.localInputs(kMaxPrediction).size(), 2u);
}

// Fault caught: a side whose hidden difference never shows in its checks.
TEST_F(Rollback, APlantedDesyncShowsInTheChecks) {
    sides[1]->plantDesync(2 * kCheckEvery);
    playOnline(pipeCase{{1, 1}, 3, 3}, 4 * kCheckEvery);
    uint64_t sums[kSides][3] = {};
    for (int side = 0; side < kSides; ++side)
        for (int i : {1, 2}) ASSERT_TRUE(sides[side]->checkOf(i * kCheckEvery, sums[side][i]));
    EXPECT_EQ(sums[0][1], sums[1][1]);
    EXPECT_NE(sums[0][2], sums[1][2]);
    matchState states[kSides];
    for (int side = 0; side < kSides; ++side) ASSERT_TRUE(sides[side]->stateAt(2 * kCheckEvery, states[side]));
    const std::string difference = firstDifference(states[0], states[1]);
    EXPECT_EQ(difference.rfind("fighters[0].x", 0), 0u) << difference;
}

// Hands its side, after each datagram, a hostile one: random bytes, the same
// datagram again, or the one before it cut short.
class hostileLink : public netLink {
public:
    explicit hostileLink(netLink& inner) : inner(inner) {}
    void send(const std::vector<uint8_t>& bytes, uint32_t nowMs) override { inner.send(bytes, nowMs); }
    bool receive(std::vector<uint8_t>& bytes, uint32_t nowMs) override {
        if (!pending.empty()) {
            bytes.swap(pending);
            pending.clear();
            return true;
        }
        if (!inner.receive(bytes, nowMs)) return false;
        dice = dice * 1103515245u + 12345u;
        switch ((dice >> 16) % 3) {
        case 0:
            for (uint32_t i = 0; i < (dice >> 20) % 64 + 1; ++i)
                pending.push_back(static_cast<uint8_t>(dice >> (i % 24)));
            break;
        case 1: pending = bytes; break;
        default: pending.assign(bytes.begin(), bytes.end() - 1); break;
        }
        return true;
    }
    netLink& inner;
    std::vector<uint8_t> pending;
    uint32_t dice = 3;
};

// Faults caught: a repeated, cut or random datagram that changes the match,
// crashes the reader or ends the session; a greeting that misses the other
// side's protocol version.
TEST_F(Rollback, SessionsShrugOffHostileDatagramsAndNameAnotherVersion) {
    uint64_t sums[2] = {};
    for (int hostile = 0; hostile < 2; ++hostile) {
        memoryLink ends[kSides];
        memoryLink::pair(ends[0], ends[1]);
        hostileLink spoiled(ends[1]);
        netSession sessions[kSides];
        cpuPlayer cpus[kSides] = {makeCpu(0, 6, 11), makeCpu(1, 6, 12)};
        for (int side = 0; side < kSides; ++side) {
            netSetup setup;
            setup.side = side;
            sessions[side].begin(side == 1 && hostile ? static_cast<netLink&>(spoiled) : ends[side], setup, 0);
            sessions[side].finishAt(500);
        }
        uint32_t now = 0;
        while (!sessions[0].ready() || !sessions[1].ready()) {
            ASSERT_LT(now += 10, 5000u) << "no greeting";
            for (netSession& session : sessions) session.poll(now);
        }
        for (netSession& session : sessions) session.startMatch(content, initial());
        while (sessions[0].ended() == netEnd::none || sessions[1].ended() == netEnd::none) {
            ASSERT_LT(now += kTickMs, 60000u) << "no end";
            for (int side = 0; side < kSides; ++side) {
                rollbackEvents events;
                if (sessions[side].next(now, events) == netTick::played)
                    sessions[side].play(cpuInput(cpus[side], sessions[side].match().state(), content), events, now);
            }
        }
        for (netSession& session : sessions) EXPECT_EQ(session.ended(), netEnd::finished);
        EXPECT_EQ(sessions[1].counts().dropped > 0, hostile == 1);
        ASSERT_TRUE(sessions[1].match().checkOf(500, sums[hostile]));
    }
    EXPECT_EQ(sums[0], sums[1]);

    memoryLink ends[kSides];
    memoryLink::pair(ends[0], ends[1]);
    netSession joiner;
    joiner.begin(ends[1], netSetup{}, 0);
    netPacket hello;
    hello.kind = packetKind::hello;
    std::vector<uint8_t> bytes = writePacket(hello);
    bytes[0] = kNetProtocol + 1;
    ends[0].send(bytes, 0);
    joiner.poll(10);
    EXPECT_EQ(joiner.ended(), netEnd::mismatch);
    ASSERT_EQ(joiner.endLines().size(), 1u);
    const std::string said = "netplay: the other side plays protocol version " + std::to_string(kNetProtocol + 1) +
                             ", this side " + std::to_string(kNetProtocol);
    EXPECT_EQ(joiner.endLines()[0], said);
}
}  // namespace
