#include "figures.h"

#include <cstdio>

#include "match/matchState.h"

namespace {
// Targets: a pass at least this many times cheaper than a full repaint...
const double kRepaintTarget = 15.0;
// ...and within this factor of the bytes it must move; loading within this
// factor of decoding alone.
const double kBytesTarget = 3.0;
const double kLoadTarget = 2.0;

double toNs(double value, benchmark::TimeUnit unit) { return value * 1e9 / benchmark::GetTimeUnitMultiplier(unit); }

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string verdict(bool met) { return met ? "met" : "NOT met"; }

std::string runKey(const benchmark::BenchmarkReporter::Run& run) {
    const std::string& args = run.run_name.args;
    return args.empty() ? run.run_name.function_name : run.run_name.function_name + "/" + args;
}

std::string sized(const char* name, int size) { return std::string(name) + "/" + std::to_string(size); }

// Targets of the scale lines.
const double kScaleBytesTarget = 1.3;
const double kLinearTarget = 1.0;
const double kScaleLoadTarget = 1.1;
// A pass on a real display against the drawing plus the display's update.
const double kDisplayFloorTarget = 1.2;
// A snapshot and its restore against one tick; a rollback against a tick's period.
const double kSaveRestoreTarget = 0.5;
const double kRollbackTarget = 0.25;
}  // namespace

double benchFigure::counter(const std::string& name) const {
    auto it = counters.find(name);
    return it == counters.end() ? 0.0 : it->second;
}

std::string scaleRow::line() const {
    std::string text = "scale " + what + " " + std::to_string(size) + ": " + ratio + " " + fixed(value, 2);
    return beside.empty() ? text : text + "  " + beside;
}

void figureBook::record(const std::vector<benchmark::BenchmarkReporter::Run>& runs) {
    for (const benchmark::BenchmarkReporter::Run& run : runs) {
        if (run.error_occurred) {
            failed.push_back(run.benchmark_name() + ": " + run.error_message);
            continue;
        }
        tally& t = tallies[runKey(run)];
        bool isMean = run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate && run.aggregate_name == "mean";
        bool isIteration = run.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration;
        if (isMean || (isIteration && !t.fromMean)) {
            t.sum.counters.clear();
            for (const auto& named : run.counters) t.sum.counters[named.first] = named.second.value;
        }
        if (isMean) {
            t.sum.cpuNs = toNs(run.GetAdjustedCPUTime(), run.time_unit);
            t.sum.realNs = toNs(run.GetAdjustedRealTime(), run.time_unit);
            t.runs = 1;
            t.fromMean = true;
        } else if (isIteration && !t.fromMean) {
            t.sum.cpuNs += toNs(run.GetAdjustedCPUTime(), run.time_unit);
            t.sum.realNs += toNs(run.GetAdjustedRealTime(), run.time_unit);
            t.runs += 1;
        }
    }
}

const benchFigure* figureBook::find(const std::string& name) const {
    static benchFigure result;
    auto it = tallies.find(name);
    if (it == tallies.end() || it->second.runs == 0) return nullptr;
    result.cpuNs = it->second.sum.cpuNs / it->second.runs;
    result.realNs = it->second.sum.realNs / it->second.runs;
    result.counters = it->second.sum.counters;
    return &result;
}

double cpuRatio(const benchFigure& a, const benchFigure& b) { return b.cpuNs > 0 ? a.cpuNs / b.cpuNs : 0.0; }

void figureBook::printSummary(std::ostream& out) const {
    using namespace benchNames;
    // Copies: find() hands out one shared slot.
    auto figure = [&](const char* name, benchFigure& into) {
        const benchFigure* found = find(name);
        if (found) into = *found;
        return found != nullptr;
    };
    benchFigure pass, watching, repaint, repaintSdl, limit, load, decode, decodeConvert, decodeMirror, button, noButton;
    bool hasPass = figure(kPass, pass);
    bool hasWatching = figure(kPassWatching, watching);
    bool hasRepaint = figure(kRepaint, repaint);
    bool hasRepaintSdl = figure(kRepaintSdl, repaintSdl);
    bool hasLimit = figure(kBytesLimit, limit);
    bool hasLoad = figure(kLoad, load);
    bool hasDecode = figure(kDecode, decode);
    bool hasDecodeConvert = figure(kDecodeConvert, decodeConvert);
    bool hasDecodeMirror = figure(kDecodeMirror, decodeMirror);
    bool hasButton = figure(kInputButton, button);
    bool hasNoButton = figure(kInputNoButton, noButton);

    out << "\nRatios (CPU time of the benchmark's thread per iteration)\n";
    if (hasPass && hasRepaint) {
        double r = cpuRatio(repaint, pass);
        out << "  full repaint / pass          " << fixed(r, 2) << "  (target >= " << fixed(kRepaintTarget, 0)
            << ": " << verdict(r >= kRepaintTarget) << ")\n";
    }
    if (hasPass && hasWatching)
        out << "  pass watching data / pass    " << fixed(cpuRatio(watching, pass), 2)
            << "  (the cost of --watch while nothing changes)\n";
    if (hasPass && hasRepaintSdl)
        out << "  repaint by SDL's blit / pass " << fixed(cpuRatio(repaintSdl, pass), 2)
            << "  (for comparison only: SDL copies more slowly than the engine)\n";
    if (hasPass && hasLimit) {
        double r = cpuRatio(pass, limit);
        out << "  pass / bytes-moved limit     " << fixed(r, 2) << "  (target <= " << fixed(kBytesTarget, 0) << ": "
            << verdict(r <= kBytesTarget) << ")\n";
    }
    if (hasRepaint && hasLimit)
        out << "  full repaint / bytes limit   " << fixed(cpuRatio(repaint, limit), 2)
            << "  (the most any restore-save-draw pass could gain)\n";
    if (hasLoad && hasDecode) {
        double r = cpuRatio(load, decode);
        out << "  frame-set loading / decoding " << fixed(r, 2) << "  (target <= " << fixed(kLoadTarget, 0) << ": "
            << verdict(r <= kLoadTarget) << ")\n";
    }
    if (hasDecodeConvert && hasDecode)
        out << "  decoding+convert / decoding  " << fixed(cpuRatio(decodeConvert, decode), 2)
            << "  (one conversion to the display format)\n";
    if (hasDecodeMirror && hasDecode)
        out << "  decoding+mirror / decoding   " << fixed(cpuRatio(decodeMirror, decode), 2)
            << "  (the least a loader keeping both facings can do)\n";
    if (hasLoad && hasDecodeMirror)
        out << "  frame-set loading / that     " << fixed(cpuRatio(load, decodeMirror), 2)
            << "  (the loader's own reading, checks and messages)\n";
    if (hasButton)
        out << "  input update, full buffer ending in a button: " << fixed(button.realNs / 1000.0, 2) << " us\n";
    if (hasNoButton)
        out << "  input update, full buffer of directions only: " << fixed(noButton.cpuNs / 1000.0, 2) << " us\n";
    std::vector<scaleRow> rows = scaleRows();
    if (!(hasPass || hasLoad || hasButton || hasNoButton || !rows.empty())) out << "  (no figures to compare)\n";
    if (!rows.empty())
        out << "\nHow the cost grows (CPU time; the lines of a real display by the wall clock)\n";
    for (const scaleRow& row : rows) {
        out << row.line() << "\n";
        if (row.target <= 0) continue;
        out << "    target <= " << fixed(row.target, 2) << ": " << verdict(row.met());
        if (row.largeMiss()) out << (judgeTargets ? ", by more than twice: FAILED" : ", by more than twice (not judged)");
        out << "\n";
    }
    if (const benchFigure* walk = find(kDisplayWalk))
        out << "  held arrow on display-" << display << ": " << fixed(walk->counter("px_per_s"), 0)
            << " px walked in one second\n";
    for (const std::string& failure : failed) out << "  FAILED " << failure << "\n";
}

std::vector<std::string> figureBook::failures() const {
    std::vector<std::string> all = failed;
    for (const scaleRow& row : scaleRows())
        if (judgeTargets && row.largeMiss()) all.push_back(row.line() + " is over twice its target " + fixed(row.target, 2));
    return all;
}

std::vector<scaleRow> figureBook::scaleRows() const {
    using namespace benchNames;
    std::vector<scaleRow> rows;
    // Copies: find() hands out one shared slot.
    auto figure = [&](const std::string& name, benchFigure& into) {
        const benchFigure* found = find(name);
        if (found) into = *found;
        return found != nullptr;
    };
    auto add = [&](const std::string& what, long size, const std::string& ratio, double value, double target) {
        scaleRow row;
        row.what = what;
        row.size = size;
        row.ratio = ratio;
        row.value = value;
        row.target = target;
        rows.push_back(row);
    };
    benchFigure a, b;
    // The pass against its limit from their turns when those ran, else from
    // the two benchmarks of their own.
    for (int n : kScaleParticles) {
        if (figure(sized(kScaleInTurn, n), a) && a.counter("limit_ns") > 0)
            add("particles", n, "pass/limit", a.counter("pass_ns") / a.counter("limit_ns"), kScaleBytesTarget);
        else if (figure(sized(kScalePass, n), a) && figure(sized(kScaleLimit, n), b))
            add("particles", n, "pass/limit", cpuRatio(a, b), kScaleBytesTarget);
    }

    // Training: two fighters and fireballs, the pass against its limit.
    if (figure(sized(kTrainingInTurn, kTrainingParticles), a) && a.counter("limit_ns") > 0)
        add("training", kTrainingParticles, "pass/limit", a.counter("pass_ns") / a.counter("limit_ns"),
            kScaleBytesTarget);
    if (figure(sized(kVersusInTurn, kTrainingParticles), a) && a.counter("limit_ns") > 0)
        add("versus", kTrainingParticles, "pass/limit", a.counter("pass_ns") / a.counter("limit_ns"),
            kScaleBytesTarget);

    // The match: a snapshot and its restore against a tick, a rollback
    // against the period of one tick; the tick's own time beside.
    if (figure(sized(kMatchInTurn, kMatchParticles), a) && a.counter("tick_ns") > 0) {
        double tick = a.counter("tick_ns"), rollback = a.counter("rollback_ns");
        add("match", kMatchParticles, "save+restore/tick", a.counter("save_restore_ns") / tick, kSaveRestoreTarget);
        rows.back().beside = "tick " + fixed(tick / 1000, 2) + " us";
        add("match", kMatchParticles, "rollback-" + std::to_string(kRollbackTicks) + "/period",
            rollback / (kTickMs * 1e6), kRollbackTarget);
        rows.back().beside = "rollback " + fixed(rollback / 1000, 1) + " us";
    }
    if (figure(sized(kMatchRollbackPass, kMatchParticles), a) && a.counter("pass_ns") > 0) {
        add("match-online", kMatchParticles, "rollback-pass/period", a.counter("pass_ns") / (kTickMs * 1e6),
            kRollbackTarget);
        rows.back().beside = "pass " + fixed(a.counter("pass_ns") / 1000, 1) + " us";
    }
    if (figure(sized(kMatchEmbers, kMatchEmberCount), a) && a.counter("tick_ns") > 0) {
        add("match-embers", kMatchEmberCount, "tick-us", a.counter("tick_ns") / 1000, 0);
    }

    // Moves: the time per move searched, against that of the smallest set.
    benchFigure first;
    bool hasFirst = figure(sized(kScaleMoves, kScaleMoveCounts[0]), first) && first.counter("searched") > 0;
    for (int n : kScaleMoveCounts) {
        if (!figure(sized(kScaleMoves, n), a)) continue;
        if (hasFirst && n != kScaleMoveCounts[0] && a.counter("searched") > 0) {
            double perMove = a.realNs / a.counter("searched");
            double perFirst = first.realNs / first.counter("searched");
            add("moves", n, "per-move/smallest", perFirst > 0 ? perMove / perFirst : 0, kLinearTarget);
        }
        if (figure(sized(kScaleMovesSilent, n), b) && a.realNs > 0)
            add("moves", n, "printing/search", 1.0 - b.realNs / a.realNs, 0);
    }

    for (int times : kScaleFrameTimes) {
        if (!figure(sized(kScaleLoad, times), a)) continue;
        long frames = static_cast<long>(a.counter("frames"));
        if (figure(sized(kScaleFloor, times), b)) add("frames", frames, "load/floor", cpuRatio(a, b), kScaleLoadTarget);
        double floor = a.counter("floor_per_frame");
        if (floor > 0 && a.counters.count("heap_per_frame")) {
            add("frame-memory", frames, "heap/floor", a.counter("heap_per_frame") / floor, 0);
            add("frame-memory", frames, "drawn-heap/floor", a.counter("drawn_heap_per_frame") / floor, 0);
        }
    }
    if (figure(kMemoryResident, a) && a.counter("surfaces") > 0) {
        long frames = static_cast<long>(a.counter("frames"));
        add("resident", frames, "rss/surfaces", a.counter("resident") / a.counter("surfaces"), 0);
        // Not measured where the system does not tell the anonymous part (Windows).
        if (a.counter("anonymous") > 0)
            add("resident", frames, "anonymous/surfaces", a.counter("anonymous") / a.counter("surfaces"), 0);
    }

    // The display: the game's pass, the flip alone and a pass showing only
    // the changed rectangles. On a real display the X server does part of
    // the work, which only the wall clock sees; the dummy driver does it all
    // in this thread, where the CPU time is the steadier figure.
    auto displayNs = [&](const benchFigure& f) { return display == "dummy" ? f.cpuNs : f.realNs; };
    if (figure(kPass, a) && displayNs(a) > 0) {
        long particles = static_cast<long>(a.counter("particles"));
        if (figure(kDisplayFlip, b))
            add("display-" + display, particles, "flip/pass", displayNs(b) / displayNs(a), 0);
        if (figure(kDisplayChanged, b))
            add("display-" + display, particles, "changed-rects/pass", displayNs(b) / displayNs(a), 0);
    }
    // The pass against its floor, the three timed in turns; beside it the
    // pass on this display against the same pass showing nothing.
    for (int n : kDisplayParticles) {
        if (!figure(sized(kDisplayPassFloor, n), a)) continue;
        double pass = a.counter("pass_ns"), drawn = a.counter("drawn_ns"), update = a.counter("update_ns");
        if (pass <= 0 || drawn + update <= 0) continue;
        add("display " + display, n, "pass/floor", pass / (drawn + update), kDisplayFloorTarget);
        if (drawn > 0) rows.back().beside = "real/dummy " + fixed(pass / drawn, 2);
    }
    return rows;
}
