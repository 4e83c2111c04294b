// fightscene-bench: the scene pass, frame-set loading and command recognition
// measured on the bundled data, headless. The engine's progress lines go to
// /dev/null; the results and the ratios go to standard output.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>

#include "benchScene.h"
#include "benchmarks.h"
#include "figures.h"
#include "processProbe.h"
#include "data/textFile.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/scene.h"

#ifndef FIGHTSCENE_SOURCE_DIR
#define FIGHTSCENE_SOURCE_DIR "."
#endif

namespace {
// An output stream over a stdio file, for the reporter.
class fileBuffer : public std::streambuf {
public:
    explicit fileBuffer(std::FILE* file) : file(file) {}

protected:
    int overflow(int c) override { return c == EOF ? 0 : std::fputc(c, file); }
    std::streamsize xsputn(const char* text, std::streamsize n) override {
        return static_cast<std::streamsize>(std::fwrite(text, 1, static_cast<size_t>(n), file));
    }
    int sync() override { return std::fflush(file); }

private:
    std::FILE* file;
};

// Content messages go to standard error, where the results don't go.
void reportToErrors(const std::string& file, int line, const std::string& message) {
    std::fprintf(stderr, "content: %s:%d: %s\n", file.c_str(), line, message.c_str());
}

std::string formatAsked(int argc, char** argv) {
    const char* flag = "--benchmark_format=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0) return argv[i] + std::strlen(flag);
    return "console";
}
}  // namespace

int main(int argc, char** argv) {
    // Headless unless the caller asks otherwise.
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    std::string format = formatAsked(argc, argv);
    if (format != "console" && format != "json") {
        std::fprintf(stderr, "fightscene-bench: --benchmark_format=console or json\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    // The data folder: FIGHTSCENE_ROOT when set, else the source tree.
    const char* root = std::getenv("FIGHTSCENE_ROOT");
    if (!root) root = FIGHTSCENE_SOURCE_DIR;
    if (!changeFolder(root)) {
        std::fprintf(stderr, "fightscene-bench: cannot enter %s\n", root);
        return 1;
    }

    // From here on the engine prints into /dev/null; the results go to the
    // real standard output through their own stream.
    int resultsFd = redirectOutput(1, nullptr);
    std::FILE* results = fdopen(resultsFd, "w");
    if (!results) return 1;
    fileBuffer resultsBuffer(results);
    std::ostream out(&resultsBuffer);

    // Start-up also writes sound progress to standard error.
    int errorFd = redirectOutput(2, nullptr);
    loadPolicy benchLoading = gamePolicy();
    benchLoading.listener = reportToErrors;
    // The display as the game sets it up (on SDL2, a plain copy to the window).
    askSDL2ForPlainCopies();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        restoreOutput(2, errorFd);
        std::fprintf(stderr, "fightscene-bench: Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    static benchScene scene;
    std::string why;
    bool ready = scene.start(why, benchLoading) && scene.settle();
    restoreOutput(2, errorFd);
    if (!ready) {
        std::fprintf(stderr, "fightscene-bench: no scene to measure: %s\n",
                     why.empty() ? "the fighter did not land or the start-up particles did not die" : why.c_str());
        return 1;
    }
    if (benchLoading.reported > 0)
        std::fprintf(stderr, "fightscene-bench: the bundled data gave %d content reports\n", benchLoading.reported);

    // After start-up, whose resident size is measured.
    keepFreedMemory();
    registerBenchmarks(scene);
    figureBook book;
#ifdef FIGHTSCENE_SANITIZED
    // Instrumented code runs several times slower than the copies it is
    // measured against, which the sanitizers leave as they are.
    book.judgeTargets = false;
#endif
    // CTest's single short run beside other tests: its timings are noise, so
    // it checks that every figure is made and printed, not the targets.
    const char* judge = std::getenv("FIGHTSCENE_BENCH_JUDGE");
    if (judge && std::string(judge) == "0") book.judgeTargets = false;
    char driver[32] = "";
    if (SDL_VideoDriverName(driver, sizeof driver)) book.display = driver;
    // sdl12-compat, the SDL 1.2 interface over SDL 2, numbers itself 1.2.50 and up.
    const SDL_version* linked = SDL_Linked_Version();
    if (linked && linked->major == 1 && linked->minor == 2 && linked->patch >= 50) book.display = "compat-" + book.display;
    std::unique_ptr<benchmark::BenchmarkReporter> reporter;
    if (format == "json") {
        reporter.reset(new collectingReporter<benchmark::JSONReporter>(book));
    } else {
        // Colours only for a terminal: the output is often kept in a file.
        auto options = isTerminal(resultsFd) ? benchmark::ConsoleReporter::OO_ColorTabular
                                         : benchmark::ConsoleReporter::OO_Tabular;
        reporter.reset(new collectingReporter<benchmark::ConsoleReporter>(book, options));
    }
    reporter->SetOutputStream(&out);
    reporter->SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(reporter.get());
    finishBenchmarks();
    out.flush();
    // Machine-readable formats stay clean; the ratios then go to standard error.
    if (format == "console")
        book.printSummary(out);
    else
        book.printSummary(std::cerr);
    out.flush();
    std::fflush(results);
    benchmark::Shutdown();
    std::fflush(stderr);
    // Leave without tearing the scene down: the game never does either.
    // A benchmark whose scene checks failed makes the run fail.
    std::_Exit(book.failures().empty() ? 0 : 1);
}
