#include "figures.h"

#include <cstdio>

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
}  // namespace

void figureBook::record(const std::vector<benchmark::BenchmarkReporter::Run>& runs) {
    for (const benchmark::BenchmarkReporter::Run& run : runs) {
        if (run.error_occurred) {
            failed.push_back(run.benchmark_name() + ": " + run.error_message);
            continue;
        }
        tally& t = tallies[run.run_name.function_name];
        bool isMean = run.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate && run.aggregate_name == "mean";
        bool isIteration = run.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration;
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
    benchFigure pass, repaint, repaintSdl, limit, load, decode, decodeConvert, decodeMirror, button, noButton;
    bool hasPass = figure(kPass, pass);
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
    if (!(hasPass || hasLoad || hasButton || hasNoButton)) out << "  (no figures to compare)\n";
    for (const std::string& failure : failed) out << "  FAILED " << failure << "\n";
}
