#pragma once
// A match against a side far away. This side's inputs are known at once (and
// played `delay` ticks after they are made); the other side's come late, and
// until they come they are predicted: its last known bits, held. When a real
// input differs from its prediction, the last confirmed state is restored and
// the ticks since are stepped again up to now. A tick is confirmed once both
// sides' inputs for it are known and it has been played.
//
// Sounds come only from ticks played for the first time; a sound that a
// correction shows should have started earlier comes out late, with how late
// it is, for the player to start it part way or skip it. Lines come from
// confirmed ticks, each once, so both sides print the same lines.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "match/matchContent.h"
#include "match/matchState.h"
#include "match/matchTick.h"

// Ticks the other side's input may be predicted ahead of the last one known;
// past it the match waits for the other side.
const int kMaxPrediction = 12;
// The largest input delay, in ticks.
const int kMaxInputDelay = 8;
// Confirmed ticks at multiples of this are checksummed and compared.
const int kCheckEvery = 10;

// A sound to play: its cue, and how far into it the player should start
// (0 when it starts on time; past its length it plays not at all).
struct lateSound {
    soundCue cue;
    int32_t lateMs = 0;
};

// What the ticks just stepped gave to hear and read.
struct rollbackEvents {
    std::vector<lateSound> sounds;   // in order
    std::vector<std::string> lines;  // of ticks confirmed, in tick order
    bool hitLanded = false;          // a tick played for the first time landed a hit
    void clear();
};

struct rollbackStats {
    long long rollbacks = 0;    // times ticks were stepped again
    int longest = 0;            // most ticks stepped again at once
    long long ticksWaited = 0;  // ticks the match waited for the other side
    long long stepsAgain = 0;   // ticks stepped again in all
};

class rollbackMatch {
public:
    // Starts from `initial` (tick 0 of the match, or any other tick: inputs
    // are then for the ticks after it) with this side's `side`
    // (0 or 1) and input delay (0..kMaxInputDelay). `content` must outlive the match.
    void start(const matchContent& content, const matchState& initial, int side, int delay);

    // This side's input made now: it is the input of tick `lastLocalTick() + 1`,
    // which is `tick() + 1 + delay` once the delay is filled (the first
    // `delay` ticks play no input). Call once before each step.
    void addLocal(uint8_t bits);
    // The other side's input for `tick`. Only the next tick after the last known
    // one is taken; an old, repeated or skipping one changes nothing (false).
    bool addRemote(int tick, uint8_t bits);

    // True when the next tick would predict the other side's input more
    // than kMaxPrediction ticks past its last known one: wait instead.
    bool mustWait() const;
    // True when the next tick would predict the other side's input more
    // than kMaxPrediction ticks past its last known one.
    bool windowFull() const { return tick() + 1 - lastRemoteTick() > kMaxPrediction; }
    // Counts a tick the match waited for the other side.
    void waited() { ++counts.ticksWaited; }
    // Steps again from the last confirmed state when a prediction was wrong,
    // and confirms what both sides' inputs now allow, playing no new tick:
    // for a side that waits.
    void settle(rollbackEvents& events);
    // Steps again from the last confirmed state when a prediction was wrong,
    // then plays the next tick, adding what it gave to `events`.
    void step(rollbackEvents& events);

    int side() const { return localSide; }
    int tick() const { return now.tick; }          // ticks played
    int lastLocalTick() const;                      // this side's last known input's tick
    int lastRemoteTick() const;                     // the other side's last known input's tick; at start, tick()
    int confirmedTick() const { return confirmed.tick; }
    const matchState& state() const { return now; }        // the match as shown, maybe predicted
    const matchState& confirmedState() const { return confirmed; }
    // This side's inputs from tick `from` on, as far as they are known (for sending).
    std::vector<uint8_t> localInputs(int from) const;
    // Both sides' input of every confirmed tick, in order: [tick][side] (the replay).
    const std::vector<uint8_t>& confirmedInputs() const { return history; }
    const rollbackStats& stats() const { return counts; }

    // The checksum of the confirmed state at `tick`, a multiple of
    // kCheckEvery, when it is still remembered; false otherwise.
    bool checkOf(int tick, uint64_t& sum) const;
    // The latest confirmed tick that is a multiple of kCheckEvery, -1 none.
    int latestCheck() const;
    // The confirmed state at that tick, when remembered (for a desync report).
    bool stateAt(int tick, matchState& state) const;

    // For a test build: from `tick` on, this side's confirmed state gets one
    // bit wrong, as hidden state would make it.
    void plantDesync(int tick) { plantAt = tick; }

private:
    // A tick played and not yet confirmed: the state after it and the lines
    // its latest stepping gave, which come out when it is confirmed.
    struct playedTick {
        matchState state;
        std::vector<std::string> lines;
    };

    uint8_t inputOf(int side, int tick) const;  // known, or for the other side predicted
    // Steps `now` by one tick and keeps it in the ring; `again` for a tick
    // played before, whose new sounds are late by the ticks up to `shownTick`.
    void stepOnce(rollbackEvents& events, bool again, int shownTick);
    // Restores the state before the first wrong prediction and steps up to now again.
    void rollBack(rollbackEvents& events, int shownTick);
    // Confirms the played ticks up to `tick` whose inputs are both known.
    void confirmUpTo(int tick, rollbackEvents& events);
    playedTick& slotOf(int tick) { return ring[static_cast<size_t>(tick) % ring.size()]; }

    const matchContent* content = nullptr;
    int localSide = 0;
    int delay = 0;
    int firstTick = 0;     // the tick of the state started from
    matchState now;        // the state after tick `now.tick`
    matchState confirmed;  // the state after the last confirmed tick
    std::vector<uint8_t> inputs[kSides];  // each side's known input, by tick - firstTick - 1
    int mispredictedAt = -1;              // the earliest tick played with a wrong prediction, -1 none
    std::vector<uint8_t> history;         // confirmed inputs, two a tick
    // Sounds already played, by the tick that started them, for ticks not yet confirmed.
    std::map<int, std::vector<soundCue>> played;
    // Checksums of confirmed states at multiples of kCheckEvery, the last ones, with their states.
    std::map<int, uint64_t> checks;
    std::map<int, matchState> checkStates;
    rollbackStats counts;
    int plantAt = -1;
    // The ticks after `confirmed` up to `now`, by tick modulo its size.
    std::vector<playedTick> ring;
    tickEvents stepped;  // scratch for one stepMatch
};
