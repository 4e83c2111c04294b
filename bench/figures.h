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
const char* const kRepaint = "Scene/FullRepaint";
const char* const kRepaintSdl = "Scene/FullRepaintBySdl";
const char* const kBytesLimit = "Scene/BytesLimit";
const char* const kLoad = "Load/FrameSets";
const char* const kDecode = "Load/DecodeOnly";
const char* const kDecodeConvert = "Load/DecodeAndConvert";
const char* const kDecodeMirror = "Load/DecodeConvertMirror";
const char* const kInputButton = "Input/UpdateWithButton";
const char* const kInputNoButton = "Input/UpdateNoButton";
}  // namespace benchNames

// The time of one iteration, in nanoseconds.
struct benchFigure {
    double cpuNs = 0;
    double realNs = 0;
};

class figureBook {
public:
    // Takes the runs of one benchmark: the "mean" aggregate when there are
    // repetitions, else the average of its iteration runs. Runs that ended
    // in an error are left out.
    void record(const std::vector<benchmark::BenchmarkReporter::Run>& runs);
    // The figure of `name`, or null when it did not run.
    const benchFigure* find(const std::string& name) const;
    // Lines of ratios and targets, for the figures that are present.
    void printSummary(std::ostream& out) const;
    // Benchmarks that ended in an error (a failed check of the scene).
    const std::vector<std::string>& failures() const { return failed; }

private:
    struct tally {
        benchFigure sum;
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
