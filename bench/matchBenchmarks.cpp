// The match on its own, as later modes step it: one tick, a snapshot and its
// restore, and a rollback, over the training's content tables. No drawing.
#include "matchBenchmarks.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "benchScene.h"
#include "figures.h"
#include "match/cpuPlayer.h"
#include "match/matchTick.h"
#include "net/rollbackMatch.h"
#include "processProbe.h"

namespace {
using benchNames::kRollbackTicks;
// A match of the training's two fighters with `particles` of `name` in the
// pool, and room for a snapshot and a replay: each state is some 46 KB.
struct benchMatch {
    const matchContent* content = nullptr;
    std::unique_ptr<matchState> now{new matchState()};
    std::unique_ptr<matchState> saved{new matchState()};
    std::unique_ptr<matchState> stepped{new matchState()};
    tickEvents events;

    void step(int ticks, uint8_t side0) {
        const uint8_t inputs[kSides] = {side0, 0};
        for (int i = 0; i < ticks; ++i) stepMatch(*now, *content, inputs, events);
    }
    // Between timed turns: the particles kept flying, the player walking
    // the same stretch, the events of the ticks forgotten.
    void keepUp() {
        keepFlying(*now);
        fighterState& player = now->fighters[0];
        if (player.x >= kWalkRightEnd) player.x = kWalkLeftEnd;
        events.clear();
    }
};

bool startBenchMatch(benchmark::State& state, benchScene& scene, int particles, const char* name, benchMatch& match) {
    if (!scene.addTrainingPartner()) {
        state.SkipWithError("the training partner can't be shown");
        return false;
    }
    match.content = &scene.objects.match->content;
    matchStart at;
    at.x[0] = kWalkLeftEnd;
    at.launchStart = false;
    *match.now = startMatch(*match.content, at);
    int def = particleIndex(*match.content, name);
    if (def < 0 || fillPool(*match.now, def, particles) != particles) {
        state.SkipWithError("the pool does not hold the particles asked for");
        return false;
    }
    return true;
}

// Snapshots and restores per turn, and ticks per turn over the embers.
const int kTurnCopies = 8;
const int kEmberTicks = 8;

// In turns within each iteration, by the thread's CPU clock, so that the
// three meet the same machine: snapshot-and-restore kTurnCopies times;
// kRollbackTicks ticks with the player walking; then the rollback of those
// ticks (restore the snapshot taken before them, step them again), which
// must give the same bytes.
void tickSaveRollback(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    benchMatch match;
    if (!startBenchMatch(state, scene, particles, "fireball1", match)) return;
    long walked = 0;
    double copySeconds = 0, tickSeconds = 0, rollbackSeconds = 0;
    bool replayed = true, kept = true, hit = false;
    for (auto _ : state) {
        double begin = threadSeconds();
        for (int i = 0; i < kTurnCopies; ++i) {
            *match.saved = *match.now;
            benchmark::ClobberMemory();
            *match.now = *match.saved;
            benchmark::ClobberMemory();
        }
        double copied = threadSeconds();
        *match.saved = *match.now;
        double ticksBegin = threadSeconds();
        match.step(kRollbackTicks, inputForward);
        double ticked = threadSeconds();
        *match.stepped = *match.now;
        double rollbackBegin = threadSeconds();
        *match.now = *match.saved;
        match.step(kRollbackTicks, inputForward);
        double end = threadSeconds();
        copySeconds += copied - begin;
        tickSeconds += ticked - ticksBegin;
        rollbackSeconds += end - rollbackBegin;
        state.SetIterationTime((copied - begin) + (ticked - ticksBegin) + (end - rollbackBegin));
        replayed = replayed && std::memcmp(match.now.get(), match.stepped.get(), sizeof(matchState)) == 0;
        kept = kept && match.now->particleCount == particles;
        hit = hit || match.events.hitLanded;
        walked += match.stepped->fighters[0].x - match.saved->fighters[0].x;
        match.keepUp();
    }
    if (!replayed)
        state.SkipWithError("the rollback did not step again to the same state");
    else if (!kept || hit)
        state.SkipWithError("the match did not keep its particles flying unhit");
    else if (walked <= 0)
        state.SkipWithError("the fighter did not walk");
    const double n = static_cast<double>(state.iterations());
    if (n > 0) {
        state.counters["save_restore_ns"] = copySeconds * 1e9 / (n * kTurnCopies);
        state.counters["tick_ns"] = tickSeconds * 1e9 / (n * kRollbackTicks);
        state.counters["rollback_ns"] = rollbackSeconds * 1e9 / n;
    }
    state.counters["particles"] = match.now->particleCount;
}

// One pass of the rollback match that corrects a whole window: the other
// side's real inputs for the kMaxPrediction ticks played on a wrong
// prediction come at once, and the pass restores the confirmed state, steps
// those ticks again, plays the next tick and confirms them all. Untimed
// between passes: the match starts anew from the kept-up state and plays its
// window on the prediction, and after the pass a plain stepping of the same
// inputs must give the same bytes.
void rollbackMatchPass(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    benchMatch match;
    if (!startBenchMatch(state, scene, particles, "fireball1", match)) return;
    std::unique_ptr<rollbackMatch> online(new rollbackMatch());
    const uint8_t real = inputDown;  // the partner crouches; it was predicted standing
    long long rolledBack = 0;
    double seconds = 0;
    bool replayed = true, hit = false;
    rollbackEvents heard;
    for (auto _ : state) {
        heard.clear();
        online->start(*match.content, *match.now, 0, 0);
        for (int i = 0; i < kMaxPrediction; ++i) {
            online->addLocal(inputForward);
            online->step(heard);
        }
        for (int tick = 1; tick <= kMaxPrediction; ++tick) online->addRemote(match.now->tick + tick, real);
        online->addLocal(inputForward);
        double begin = threadSeconds();
        online->step(heard);
        double end = threadSeconds();
        seconds += end - begin;
        state.SetIterationTime(end - begin);
        rolledBack += online->stats().longest;
        hit = hit || heard.hitLanded;
        const uint8_t inputs[kSides] = {inputForward, real};
        for (int i = 0; i <= kMaxPrediction; ++i) stepMatch(*match.now, *match.content, inputs, match.events);
        replayed = replayed && std::memcmp(match.now.get(), &online->state(), sizeof(matchState)) == 0;
        match.keepUp();
    }
    const double n = static_cast<double>(state.iterations());
    if (!replayed)
        state.SkipWithError("the rollback match did not step again to the plain stepping's state");
    else if (hit || rolledBack != static_cast<long long>(n) * kMaxPrediction)
        state.SkipWithError("a pass did not roll the whole window back over fireballs flying unhit");
    if (n > 0) state.counters["pass_ns"] = seconds * 1e9 / n;
    state.counters["particles"] = match.now->particleCount;
}

// One tick over embers, which have nothing to launch on a hit: the judging
// tests each against both fighters (many overlap them once they have fallen)
// and none is hit. The judging is not reachable from outside the match room,
// so the whole tick is timed: the embers' frames, flight and ageing too.
void tickOverEmbers(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    benchMatch match;
    if (!startBenchMatch(state, scene, particles, "ember", match)) return;
    bool kept = true, hit = false;
    double tickSeconds = 0;
    for (auto _ : state) {
        double begin = threadSeconds();
        match.step(kEmberTicks, 0);
        double end = threadSeconds();
        tickSeconds += end - begin;
        state.SetIterationTime(end - begin);
        kept = kept && match.now->particleCount == particles;
        hit = hit || match.events.hitLanded;
        match.keepUp();
    }
    if (!kept || hit) state.SkipWithError("an ember was lost or hit");
    const double n = static_cast<double>(state.iterations());
    if (n > 0) state.counters["tick_ns"] = tickSeconds * 1e9 / (n * kEmberTicks);
    state.counters["particles"] = match.now->particleCount;
}

// One call of the CPU's input at the highest level on side 1, the player's
// fireballs flying (each looked at for the nearest shot); between the
// calls, untimed, the match steps with its bits and the player walking.
void cpuInputCall(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    benchMatch match;
    if (!startBenchMatch(state, scene, particles, "fireball1", match)) return;
    cpuPlayer cpu = makeCpu(1, kCpuHighestLevel, 1);
    double seconds = 0;
    for (auto _ : state) {
        double begin = threadSeconds();
        uint8_t bits = cpuInput(cpu, *match.now, *match.content);
        benchmark::DoNotOptimize(bits);
        double end = threadSeconds();
        seconds += end - begin;
        state.SetIterationTime(end - begin);
        const uint8_t inputs[kSides] = {inputForward, bits};
        stepMatch(*match.now, *match.content, inputs, match.events);
        match.keepUp();
    }
    const double n = static_cast<double>(state.iterations());
    if (n > 0) state.counters["call_ns"] = seconds * 1e9 / n;
}
}  // namespace

void registerMatchBenchmarks(benchScene& scene) {
    using namespace benchNames;
    benchmark::RegisterBenchmark(kMatchInTurn, [&scene](benchmark::State& s) { tickSaveRollback(s, scene); })
        ->Arg(kMatchParticles)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kMatchRollbackPass, [&scene](benchmark::State& s) { rollbackMatchPass(s, scene); })
        ->Arg(kMatchParticles)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kMatchEmbers, [&scene](benchmark::State& s) { tickOverEmbers(s, scene); })
        ->Arg(kMatchEmberCount)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kMatchCpuInput, [&scene](benchmark::State& s) { cpuInputCall(s, scene); })
        ->Arg(kMatchParticles)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}
