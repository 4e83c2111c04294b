// The rollback match: inputs by tick, predictions, the ring of played ticks
// that makes a restore one copy, and what each stepping gives to hear and read.
#include "net/rollbackMatch.h"

#include <algorithm>

namespace {
// Confirmed checks (and their states) kept for comparing with the other side.
const size_t kChecksKept = 16;
}  // namespace

void rollbackEvents::clear() {
    sounds.clear();
    lines.clear();
    hitLanded = false;
}

void rollbackMatch::start(const matchContent& matchRules, const matchState& initial, int ownSide, int inputDelay) {
    content = &matchRules;
    localSide = ownSide == 1 ? 1 : 0;
    delay = std::min(std::max(inputDelay, 0), kMaxInputDelay);
    now = initial;
    confirmed = initial;
    firstTick = initial.tick;
    for (std::vector<uint8_t>& known : inputs) known.clear();
    inputs[localSide].assign(static_cast<size_t>(delay), 0);
    mispredictedAt = -1;
    history.clear();
    played.clear();
    checks.clear();
    checkStates.clear();
    counts = rollbackStats();
    // Never more than kMaxPrediction ticks are played past the confirmed one,
    // and one more while the next is stepped.
    ring.resize(kMaxPrediction + 1);
}

int rollbackMatch::lastLocalTick() const { return firstTick + static_cast<int>(inputs[localSide].size()); }

int rollbackMatch::lastRemoteTick() const { return firstTick + static_cast<int>(inputs[1 - localSide].size()); }

void rollbackMatch::addLocal(uint8_t bits) { inputs[localSide].push_back(bits); }

bool rollbackMatch::addRemote(int tick, uint8_t bits) {
    if (bits >= 128 || tick != lastRemoteTick() + 1) return false;
    const uint8_t predicted = inputOf(1 - localSide, tick);
    inputs[1 - localSide].push_back(bits);
    // A tick not played yet needs no correction; one played on a prediction
    // that held was played right (an earlier wrong one is already marked).
    if (tick <= now.tick && bits != predicted && (mispredictedAt < 0 || tick < mispredictedAt)) mispredictedAt = tick;
    return true;
}

uint8_t rollbackMatch::inputOf(int side, int tick) const {
    const std::vector<uint8_t>& known = inputs[side];
    const int at = tick - firstTick - 1;
    if (at >= 0 && static_cast<size_t>(at) < known.size()) return known[static_cast<size_t>(at)];
    return known.empty() ? 0 : known.back();
}

bool rollbackMatch::mustWait() const {
    return lastLocalTick() < now.tick + 1 || windowFull();
}

void rollbackMatch::step(rollbackEvents& events) {
    if (mustWait()) {
        settle(events);
        return;
    }
    // Sounds corrected now are heard with the tick about to be played.
    if (mispredictedAt >= 0) rollBack(events, now.tick + 1);
    confirmUpTo(now.tick, events);
    stepOnce(events, false, now.tick + 1);
    confirmUpTo(now.tick, events);
}

void rollbackMatch::settle(rollbackEvents& events) {
    if (mispredictedAt >= 0) rollBack(events, now.tick);
    confirmUpTo(now.tick, events);
}

void rollbackMatch::rollBack(rollbackEvents& events, int shownTick) {
    const int wrong = mispredictedAt;
    const int upTo = now.tick;
    mispredictedAt = -1;
    // Every tick before the wrong one was played on inputs now known right.
    confirmUpTo(wrong - 1, events);
    now = confirmed;
    const int again = upTo - now.tick;
    ++counts.rollbacks;
    counts.longest = std::max(counts.longest, again);
    counts.stepsAgain += again;
    while (now.tick < upTo) stepOnce(events, true, shownTick);
}

void rollbackMatch::stepOnce(rollbackEvents& events, bool again, int shownTick) {
    const int tick = now.tick + 1;
    const uint8_t both[kSides] = {inputOf(0, tick), inputOf(1, tick)};
    stepped.clear();
    stepMatch(now, *content, both, stepped);
    playedTick& slot = slotOf(tick);
    slot.state = now;
    slot.lines.swap(stepped.lines);

    std::vector<soundCue>& heard = played[tick];
    std::vector<soundCue> before = heard;
    for (const soundCue& cue : stepped.sounds) {
        auto same = std::find_if(before.begin(), before.end(), [&cue](const soundCue& old) {
            return old.sound == cue.sound && old.side == cue.side;
        });
        if (same != before.end()) {
            before.erase(same);
            continue;
        }
        lateSound sound;
        sound.cue = cue;
        sound.lateMs = again ? (shownTick - tick) * kTickMs : 0;
        events.sounds.push_back(sound);
        heard.push_back(cue);
    }
    if (!again) events.hitLanded = events.hitLanded || stepped.hitLanded;
}

void rollbackMatch::confirmUpTo(int tick, rollbackEvents& events) {
    const int last = std::min({tick, now.tick, lastRemoteTick(), lastLocalTick()});
    if (last <= confirmed.tick) return;
    for (int at = confirmed.tick + 1; at <= last; ++at) {
        playedTick& slot = slotOf(at);
        events.lines.insert(events.lines.end(), slot.lines.begin(), slot.lines.end());
        history.push_back(inputOf(0, at));
        history.push_back(inputOf(1, at));
        played.erase(at);
        if (at == plantAt) {
            // One bit off here and in every tick played since, as a hidden
            // difference would carry it on.
            plantAt = -1;
            for (int later = at; later <= now.tick; ++later) slotOf(later).state.fighters[0].x ^= 1;
            now.fighters[0].x ^= 1;
        }
        if (at % kCheckEvery != 0) continue;
        checks[at] = matchChecksum(slot.state);
        checkStates[at] = slot.state;
        while (checks.size() > kChecksKept) {
            checkStates.erase(checks.begin()->first);
            checks.erase(checks.begin());
        }
    }
    // The ring holds every state on the way: only the last is copied.
    confirmed = slotOf(last).state;
}

std::vector<uint8_t> rollbackMatch::localInputs(int from) const {
    const std::vector<uint8_t>& known = inputs[localSide];
    const size_t first = static_cast<size_t>(std::max(from - firstTick, 1)) - 1;
    if (first >= known.size()) return {};
    return std::vector<uint8_t>(known.begin() + static_cast<long>(first), known.end());
}

bool rollbackMatch::checkOf(int tick, uint64_t& sum) const {
    auto found = checks.find(tick);
    if (found == checks.end()) return false;
    sum = found->second;
    return true;
}

int rollbackMatch::latestCheck() const { return checks.empty() ? -1 : checks.rbegin()->first; }

bool rollbackMatch::stateAt(int tick, matchState& state) const {
    auto found = checkStates.find(tick);
    if (found == checkStates.end()) return false;
    state = found->second;
    return true;
}
