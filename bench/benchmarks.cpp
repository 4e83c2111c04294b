#include "benchmarks.h"

#include <benchmark/benchmark.h>
#include <dirent.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "benchScene.h"
#include "figures.h"
#include "rectCopy.h"
#include "sprites/flipper.h"

namespace {
// Fireballs kept alive during the scene benchmarks.
const int kLiveParticles = 3;
// The input buffer: one press every 10 ms over the whole 600 ms window.
const int kBufferPresses = 60;
const int kPressGapMs = 10;

// --- The scene pass ---

void checkScene(benchmark::State& state, benchScene& scene, long walkedBefore) {
    if (scene.liveParticles() != kLiveParticles)
        state.SkipWithError("the scene did not keep its particles alive");
    else if (scene.walked == walkedBefore)
        state.SkipWithError("the fighter did not walk");
    state.counters["particles"] = scene.liveParticles();
    state.counters["px_walked"] = benchmark::Counter(static_cast<double>(scene.walked - walkedBefore),
                                                     benchmark::Counter::kAvgIterations);
}

void scenePass(benchmark::State& state, benchScene& scene) {
    scene.resync();
    long walkedBefore = scene.walked;
    for (auto _ : state) scene.pass();
    checkScene(state, scene, walkedBefore);
}

void sceneRepaint(benchmark::State& state, benchScene& scene, bool bySdl) {
    scene.resync();
    long walkedBefore = scene.walked;
    for (auto _ : state) scene.repaintPass(bySdl);
    checkScene(state, scene, walkedBefore);
    scene.resync();
}

void bytesLimit(benchmark::State& state, benchScene& scene) {
    scene.resync();
    std::vector<spriteCopy> sprites;
    for (const pixelRect& r : scene.spriteRects()) sprites.emplace_back(r);
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = copyPass(screen, sprites);
        benchmark::ClobberMemory();
    }
    if (sprites.size() != 1 + kLiveParticles) state.SkipWithError("the scene has not one fighter and its particles");
    state.counters["sprites"] = static_cast<double>(sprites.size());
    state.counters["bytes"] = static_cast<double>(bytes);
    // The copies left stand-in pixels on the screen.
    scene.resync();
}

// --- Loading ---

struct frameSetFiles {
    std::vector<std::string> folders;  // every bundled frame set
    std::vector<std::string> bitmaps;  // every bitmap in those folders
};

std::vector<std::string> bitmapsIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0) names.push_back(folder + "/" + name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The folders the game loads its frame sets from: the character's
// animations and moves, and every particle definition.
frameSetFiles bundledFrameSets(benchScene& scene) {
    frameSetFiles files;
    const std::string character = scene.objects.anims.folder;
    for (const animInfo& anim : scene.objects.anims.anims) files.folders.push_back(character + "/" + anim.name);
    for (const moveInfo& move : scene.objects.moves.moves)
        files.folders.push_back(scene.objects.moves.folder + "/" + move.name);
    for (partInfoNode* node = scene.objects.defs.head; node; node = node->next)
        files.folders.push_back("data/particle/" + node->name);
    for (const std::string& folder : files.folders)
        for (const std::string& bitmap : bitmapsIn(folder)) files.bitmaps.push_back(bitmap);
    return files;
}

void loadFrameSets(benchmark::State& state, const frameSetFiles& files) {
    int frames = 0;
    for (auto _ : state) {
        std::vector<CSpriteBase> sets(files.folders.size());
        for (size_t i = 0; i < sets.size(); ++i) sets[i].initR(files.folders[i].c_str());
        state.PauseTiming();
        frames = 0;
        for (CSpriteBase& set : sets) {
            frames += set.numFrames;
            set.release();
        }
        state.ResumeTiming();
    }
    // Each frame has a bitmap of its own, so both sides read the same files.
    if (frames != static_cast<int>(files.bitmaps.size())) state.SkipWithError("frames and bitmap files differ");
    state.counters["sets"] = static_cast<double>(files.folders.size());
    state.counters["frames"] = frames;
}

// How far decoding goes: SDL's decoding alone; then one conversion to the
// display format; then also a colour key and the mirror image, the least a
// loader can do that keeps both facings ready to draw.
enum class decodeStage { decode, convert, mirror };

void decodeOnly(benchmark::State& state, const frameSetFiles& files, decodeStage stage) {
    std::vector<SDL_Surface*> surfaces(files.bitmaps.size() * 2, nullptr);
    int failed = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < files.bitmaps.size(); ++i) {
            SDL_Surface* decoded = SDL_LoadBMP(files.bitmaps[i].c_str());
            if (stage != decodeStage::decode && decoded) {
                if (stage == decodeStage::mirror)
                    SDL_SetColorKey(decoded, SDL_SRCCOLORKEY | SDL_RLEACCEL, SDL_MapRGB(decoded->format, 255, 0, 255));
                SDL_Surface* display = SDL_DisplayFormat(decoded);
                SDL_FreeSurface(decoded);
                decoded = display;
                if (stage == decodeStage::mirror && display) surfaces[2 * i + 1] = flip_surface(display);
            }
            surfaces[2 * i] = decoded;
        }
        state.PauseTiming();
        for (size_t i = 0; i < surfaces.size(); ++i) {
            if (surfaces[i])
                SDL_FreeSurface(surfaces[i]);
            else if (i % 2 == 0 || stage == decodeStage::mirror)
                ++failed;
            surfaces[i] = nullptr;
        }
        state.ResumeTiming();
    }
    if (failed > 0) state.SkipWithError("a bitmap did not decode");
    state.counters["files"] = static_cast<double>(files.bitmaps.size());
}

// --- Input recognition ---

// Fills the buffer with one press every 10 ms from `start`, the oldest
// exactly 600 ms old at `start` + 600. Directions only, or ending in the
// longest A command so that every move of the A list is searched.
void fillBuffer(inputChecker& checker, int start, bool withButton) {
    const char directions[] = "DLUR";
    const char tail[] = "RDRA";
    for (int i = 0; i < kBufferPresses; ++i) {
        inputKeys press;
        press.time = start + i * kPressGapMs;
        int fromEnd = kBufferPresses - i;
        press.key = withButton && fromEnd <= 4 ? tail[4 - fromEnd] : directions[i % 4];
        press.action = "inAir";
        checker.acceptInput(press);
    }
}

// CPU time of this thread: the update alone is timed, by the same clock as
// the other figures, so time spent waiting for the CPU does not count.
double threadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

moveNode* lastOf(moveNode* list) {
    while (list && list->next) list = list->next;
    return list;
}

void inputWithButton(benchmark::State& state, benchScene& scene) {
    // In the air every "ground = true" condition fails, so the search goes
    // through the whole A list and answers its last move.
    Fighter airborne;
    inputChecker checker(&scene.objects.moves, &airborne);
    checker.target = &scene.objects.target;
    moveNode* last = lastOf(checker.aList);
    const int start = 100000;
    bool whole = true;
    for (auto _ : state) {
        fillBuffer(checker, start, true);
        double begin = threadSeconds();
        moveInfo* move = checker.update(start + kBufferPresses * kPressGapMs);
        double end = threadSeconds();
        benchmark::DoNotOptimize(move);
        state.SetIterationTime(end - begin);
        if (!last || move != last->move || checker.inputCount != 0) whole = false;
    }
    if (!whole) state.SkipWithError("the search did not run through the whole A list");
    state.counters["presses"] = kBufferPresses;
}

void inputNoButton(benchmark::State& state, benchScene& scene) {
    Fighter airborne;
    inputChecker checker(&scene.objects.moves, &airborne);
    checker.target = &scene.objects.target;
    const int start = 100000;
    fillBuffer(checker, start, false);
    moveInfo* answered = nullptr;
    for (auto _ : state) {
        moveInfo* move = checker.update(start + kBufferPresses * kPressGapMs);
        benchmark::DoNotOptimize(move);
        if (move) answered = move;
    }
    // Nothing ages out (the oldest press is exactly 600 ms old) and nothing
    // is searched: the buffer stays full.
    if (answered || checker.inputCount != kBufferPresses) state.SkipWithError("the buffer did not stay full");
    state.counters["presses"] = checker.inputCount;
}
}  // namespace

void registerBenchmarks(benchScene& scene) {
    using namespace benchNames;
    // The fireballs fly for as long as the scene benchmarks run.
    scene.launch(kLiveParticles);
    benchmark::RegisterBenchmark(kPass, [&scene](benchmark::State& s) { scenePass(s, scene); })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kRepaint, [&scene](benchmark::State& s) { sceneRepaint(s, scene, false); })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kRepaintSdl, [&scene](benchmark::State& s) { sceneRepaint(s, scene, true); })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kBytesLimit, [&scene](benchmark::State& s) { bytesLimit(s, scene); })
        ->Unit(benchmark::kMicrosecond);

    static frameSetFiles files = bundledFrameSets(scene);
    benchmark::RegisterBenchmark(kLoad, [](benchmark::State& s) { loadFrameSets(s, files); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kDecode, [](benchmark::State& s) { decodeOnly(s, files, decodeStage::decode); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kDecodeConvert,
                                 [](benchmark::State& s) { decodeOnly(s, files, decodeStage::convert); })
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kDecodeMirror, [](benchmark::State& s) { decodeOnly(s, files, decodeStage::mirror); })
        ->Unit(benchmark::kMillisecond);

    benchmark::RegisterBenchmark(kInputButton, [&scene](benchmark::State& s) { inputWithButton(s, scene); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kInputNoButton, [&scene](benchmark::State& s) { inputNoButton(s, scene); })
        ->Unit(benchmark::kMicrosecond);
}
