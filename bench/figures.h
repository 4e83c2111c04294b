#pragma once
// Collects the time of each benchmark as the reporter sees it and prints the
// ratios the figures are judged by.
#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

// Benchmark names; the ratios are formed from them.
namespace benchNames {
const char* const kPass = "Scene/Pass";
// The same pass with "data" watched for changes (--watch), nothing changing.
const char* const kPassWatching = "Scene/PassWatching";
const char* const kRepaint = "Scene/FullRepaint";
const char* const kRepaintSdl = "Scene/FullRepaintBySdl";
const char* const kBytesLimit = "Scene/BytesLimit";
const char* const kLoad = "Load/FrameSets";
const char* const kDecode = "Load/DecodeOnly";
const char* const kDecodeConvert = "Load/DecodeAndConvert";
const char* const kDecodeMirror = "Load/DecodeConvertMirror";
const char* const kInputButton = "Input/UpdateWithButton";
const char* const kInputNoButton = "Input/UpdateNoButton";
const char* const kDisplayFlip = "Display/FlipOnly";
const char* const kDisplayChanged = "Display/ChangedRectsPass";
const char* const kMemoryResident = "Memory/ResidentAtStart";
// How the cost grows: each of these runs at the sizes below, named
// "<name>/<size>" (the frame benchmarks by how many times the bundled frames).
const char* const kScalePass = "Scale/Pass";
const char* const kScaleLimit = "Scale/BytesLimit";
// The two above in turns within each iteration: counters "pass_ns" and
// "limit_ns", the CPU time of one of each.
const char* const kScaleInTurn = "Scale/PassAndLimitInTurn";
const char* const kScaleMoves = "Scale/MovesSearch";
const char* const kScaleMovesSilent = "Scale/MovesSearchSilent";
const char* const kScaleLoad = "Scale/LoadFrames";
const char* const kScaleFloor = "Scale/DecodeConvertMirror";
const int kScaleParticles[] = {1, 10, 100, 1000};
// The game's pass on the display in use against its floor, in turns
// (counters "pass_ns", "drawn_ns", "update_ns": the median wall clock of one of
// each), at these numbers of particles; and a held arrow for one second.
const char* const kDisplayPassFloor = "Display/PassAndFloor";
const int kDisplayParticles[] = {1, 10, 100};
const char* const kDisplayWalk = "Display/WalkSecond";
const int kScaleMoveCounts[] = {8, 64, 512};
// Training: the pass playing the match, with the partner and fireballs
// (above both fighters' heads, so none is hit and the count holds), against
// its limit in turns, at this many particles.
const char* const kTrainingInTurn = "Training/PassAndLimitInTurn";
const int kTrainingParticles = 100;
// The same in versus: Burn against Gale with the HUD, kTrainingParticles fireballs.
const char* const kVersusInTurn = "Versus/PassAndLimitInTurn";
// The match alone, with the player walking and fireballs above both
// fighters: in turns, a snapshot and its restore, kRollbackTicks ticks, and
// the rollback of those ticks (counters "save_restore_ns", "tick_ns",
// "rollback_ns"); and ticks over embers that hit nothing ("tick_ns").
const char* const kMatchInTurn = "Match/TickSaveRollbackInTurn";
const int kMatchParticles = 100;
const int kRollbackTicks = 12;
// A pass of the rollback match correcting a whole window of kMaxPrediction
// predicted ticks: the restore, those ticks again and the next (counter "pass_ns").
const char* const kMatchRollbackPass = "Match/RollbackMatchPass";
const char* const kMatchEmbers = "Match/TickOverEmbers";
const int kMatchEmberCount = 1000;
// One call of the CPU opponent's input (counter "call_ns"), the player's
// kMatchParticles fireballs flying.
const char* const kMatchCpuInput = "Match/CpuInput";
const int kScaleFrameTimes[] = {1, 4, 16};
}  // namespace benchNames

// The time of one iteration, in nanoseconds, and the benchmark's counters.
struct benchFigure {
    double cpuNs = 0;
    double realNs = 0;
    std::map<std::string, double> counters;
    // Counter `name`, or 0 when the benchmark has none.
    double counter(const std::string& name) const;
};

// One line of how the cost grows: "scale <what> <size>: <ratio> <value>",
// with the target the value must stay at or under (0: none).
struct scaleRow {
    std::string what;
    long size = 0;
    std::string ratio;
    double value = 0;
    double target = 0;
    std::string beside;  // a further figure printed after the ratio, or ""
    // The line itself, in its fixed form.
    std::string line() const;
    // Met, missed, or missed by more than twice the target (a failed run).
    bool met() const { return target <= 0 || value <= target; }
    bool largeMiss() const { return target > 0 && value > 2 * target; }
};

class figureBook {
public:
    // Takes the runs of one benchmark: the "mean" aggregate when there are
    // repetitions, else the average of its iteration runs. Runs that ended
    // in an error are left out.
    void record(const std::vector<benchmark::BenchmarkReporter::Run>& runs);
    // The figure of `name` ("<name>/<argument>" for one run of a family),
    // or null when it did not run.
    const benchFigure* find(const std::string& name) const;
    // Lines of ratios and targets, for the figures that are present.
    void printSummary(std::ostream& out) const;
    // The scale lines of the figures that are present.
    std::vector<scaleRow> scaleRows() const;
    // Benchmarks that ended in an error (a failed check of the scene), and
    // targets missed by more than twice.
    std::vector<std::string> failures() const;

    // False where the times say nothing of the code as shipped (a sanitizer
    // build): the scale lines still print, a large miss fails nothing.
    bool judgeTargets = true;

    // The display the figures were taken on, as the scale lines name it
    // ("display-<name>"); "dummy" unless told.
    std::string display = "dummy";

private:
    struct tally {
        benchFigure sum;  // counters: the last run's
        int runs = 0;
        bool fromMean = false;
    };
    std::map<std::string, tally> tallies;
    std::vector<std::string> failed;
};

// `a` / `b` of two figures by CPU time; 0 when `b` is 0.
double cpuRatio(const benchFigure& a, const benchFigure& b);

// A reporter of Google Benchmark's kind `Base` that also fills a book.
template <class Base>
class collectingReporter : public Base {
public:
    template <class... Options>
    explicit collectingReporter(figureBook& book, Options... options) : Base(options...), book(book) {}
    void ReportRuns(const std::vector<benchmark::BenchmarkReporter::Run>& runs) override {
        book.record(runs);
        Base::ReportRuns(runs);
    }

private:
    figureBook& book;
};
