#include "benchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "benchScene.h"
#include "figures.h"
#include "matchBenchmarks.h"
#include "processProbe.h"
#include "rectCopy.h"
#include "scaleContent.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "shell/reload.h"
#include "sprites/flipper.h"

namespace {
// Fireballs kept alive during the scene benchmarks.
const int kLiveParticles = 3;
// The input buffer: one press every 10 ms over the whole 600 ms window.
const int kBufferPresses = 60;
const int kPressGapMs = 10;

// --- The scene pass ---

void checkScene(benchmark::State& state, benchScene& scene, long walkedBefore, int particles = kLiveParticles) {
    if (scene.liveParticles() != particles)
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

// The pass with "data" watched, as --watch runs it; nothing changes there.
void scenePassWatching(benchmark::State& state, benchScene& scene) {
    dataWatch& watch = scene.objects.watch;
    watchData(watch);
    if (!watch.watch) {
        state.SkipWithError("data can't be watched on this system");
        return;
    }
    scenePass(state, scene);
    if (watch.pending) state.SkipWithError("the watch saw a change in data, which nothing changed");
    unwatchFolder(watch.watch);
    watch.watch = nullptr;
}

void sceneRepaint(benchmark::State& state, benchScene& scene, bool bySdl) {
    scene.resync();
    long walkedBefore = scene.walked;
    for (auto _ : state) scene.repaintPass(bySdl);
    checkScene(state, scene, walkedBefore);
    scene.resync();
}

// Stand-ins for the scene's sprites as they stand now, for the limit's copies.
std::vector<spriteCopy> spriteCopies(const benchScene& scene) {
    std::vector<spriteCopy> sprites;
    for (const pixelRect& r : scene.spriteRects()) sprites.emplace_back(r);
    return sprites;
}

void bytesLimit(benchmark::State& state, benchScene& scene, int particles = kLiveParticles) {
    scene.resync();
    std::vector<spriteCopy> sprites = spriteCopies(scene);
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = copyPass(scene.objects.screen, sprites);
        benchmark::ClobberMemory();
    }
    size_t panel = scene.objects.panel.shown ? 1 : 0;
    if (sprites.size() != scene.fighterCount() + panel + static_cast<size_t>(particles))
        state.SkipWithError("the scene has not its fighters and its particles");
    state.counters["sprites"] = static_cast<double>(sprites.size());
    state.counters["bytes"] = static_cast<double>(bytes);
    // The copies left stand-in pixels on the screen.
    scene.resync();
}

// --- Loading ---

std::vector<std::string> bitmapsIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& name : listFolder(folder))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0) names.push_back(folder + "/" + name);
    return names;
}

// The folders the game loads its frame sets from: the character's
// animations and moves, and every particle definition.
frameSetFiles bundledFrameSets(benchScene& scene) {
    frameSetFiles files;
    const std::string character = scene.objects.content.anims.folder;
    for (const animInfo& anim : scene.objects.content.anims.anims) files.folders.push_back(character + "/" + anim.name);
    for (const moveInfo& move : scene.objects.content.moves.moves)
        files.folders.push_back(scene.objects.content.moves.folder + "/" + move.name);
    for (partInfoNode* node = scene.objects.content.defs.head; node; node = node->next)
        files.folders.push_back("data/particle/" + node->name);
    for (const std::string& folder : files.folders)
        for (const std::string& bitmap : bitmapsIn(folder)) files.bitmaps.push_back(bitmap);
    return files;
}

// What the loaded sets hold, per frame, loaded once outside the timing:
// the heap right after loading and after every image was drawn once (SDL
// builds a frame's RLE runs at its first blit), the pixels of the surfaces,
// and the floor of two 32-bit images.
void countMemory(benchmark::State& state, const frameSetFiles& files) {
    std::vector<CSpriteBase> sets(files.folders.size());
    size_t before = 0, loaded = 0, drawn = 0;
    loadPolicy loading = gamePolicy();
    bool heapRead = heapInUse(before);
    for (size_t i = 0; i < sets.size(); ++i) sets[i].initR(files.folders[i].c_str(), loading);
    heapRead = heapInUse(loaded) && heapRead;
    size_t frames = 0, pixels = 0, floor = 0;
    SDL_Surface* scratch = SDL_DisplayFormat(SDL_GetVideoSurface());
    for (CSpriteBase& set : sets) {
        frames += static_cast<size_t>(set.numFrames);
        pixels += frameSetBytes(set);
        floor += frameSetFloor(set);
        for (int f = 0; scratch && f < set.numFrames; ++f) {
            SDL_BlitSurface(set.frames[f].image, nullptr, scratch, nullptr);
            SDL_BlitSurface(set.mirror[f].image, nullptr, scratch, nullptr);
        }
    }
    heapRead = heapInUse(drawn) && heapRead;
    if (scratch) SDL_FreeSurface(scratch);
    for (CSpriteBase& set : sets) set.release();
    if (frames == 0) return;
    auto perFrame = [frames](size_t bytes) { return static_cast<double>(bytes) / static_cast<double>(frames); };
    // Without a count of the heap the memory lines are left out, not zero.
    if (heapRead) {
        state.counters["heap_per_frame"] = perFrame(loaded - before);
        state.counters["drawn_heap_per_frame"] = perFrame(drawn - before);
    }
    state.counters["pixels_per_frame"] = perFrame(pixels);
    state.counters["floor_per_frame"] = perFrame(floor);
}

void loadFrameSets(benchmark::State& state, const frameSetFiles& files) {
    // First untimed, measuring the memory: the files read and the heap grown.
    countMemory(state, files);
    int frames = 0;
    loadPolicy loading = gamePolicy();
    for (auto _ : state) {
        std::vector<CSpriteBase> sets(files.folders.size());
        for (size_t i = 0; i < sets.size(); ++i) sets[i].initR(files.folders[i].c_str(), loading);
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
    auto decodeAll = [&]() {
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
    };
    auto freeAll = [&]() {
        for (size_t i = 0; i < surfaces.size(); ++i) {
            if (surfaces[i])
                SDL_FreeSurface(surfaces[i]);
            else if (i % 2 == 0 || stage == decodeStage::mirror)
                ++failed;
            surfaces[i] = nullptr;
        }
    };
    // Once untimed, as the loader's benchmark does: the files read and the
    // heap grown before the first timed round, on both sides.
    decodeAll();
    freeAll();
    for (auto _ : state) {
        decodeAll();
        state.PauseTiming();
        freeAll();
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

moveNode* lastOf(moveNode* list) {
    while (list && list->next) list = list->next;
    return list;
}

void inputWithButton(benchmark::State& state, benchScene& scene) {
    // In the air every "ground = true" condition fails, so the search goes
    // through the whole A list and answers its last move.
    Fighter airborne;
    inputChecker checker(&scene.objects.content.moves, &airborne);
    checker.target = &scene.objects.target;
    moveNode* last = lastOf(checker.aList);
    const int start = 100000;
    bool whole = true;
    // The update alone is timed, by the CPU time of this thread as the
    // other figures, so time spent waiting for the CPU does not count.
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
    inputChecker checker(&scene.objects.content.moves, &airborne);
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

// --- The real display ---

void flipOnly(benchmark::State& state) {
    for (auto _ : state) SDL_Flip(SDL_GetVideoSurface());
}

void changedRectsPass(benchmark::State& state, benchScene& scene) {
    scene.resync();
    long walkedBefore = scene.walked;
    for (auto _ : state) scene.changedRectsPass();
    checkScene(state, scene, walkedBefore);
}

// --- How the cost grows ---

void scaleFrames(benchmark::State& state, const frameSetFiles& files, bool floorOnly) {
    if (files.folders.empty()) {
        state.SkipWithError("the repeated frame sets could not be written");
        return;
    }
    if (floorOnly)
        decodeOnly(state, files, decodeStage::mirror);
    else
        loadFrameSets(state, files);
}

// Keeps the benchmark's count of particles live; false (the benchmark
// skipped) when the list holds fewer.
bool keepAskedParticles(benchmark::State& state, benchScene& scene, int particles) {
    if (scene.keepParticles(particles) == particles) return true;
    state.SkipWithError("the particle list holds fewer particles than asked");
    return false;
}

void scalePass(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    if (!keepAskedParticles(state, scene, particles)) return;
    long walkedBefore = scene.walked;
    for (auto _ : state) scene.pass();
    checkScene(state, scene, walkedBefore, particles);
}

void scaleLimit(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    scene.keepParticles(particles);
    bytesLimit(state, scene, particles);
}

// The pass and its limit timed in turns, a few of each per iteration, by
// the thread's CPU clock, so that both meet the same machine: on a shared
// machine the other processes' use of the caches and the memory bus changes
// from one second to the next, and the two benchmarks above, run a minute
// apart, differ by up to a third in their ratio. The limit copies onto a
// screen of its own, so that its stand-in pixels never reach the scene's.
const int kTurnPasses = 8;

void scaleInTurn(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    if (!keepAskedParticles(state, scene, particles)) return;
    SDL_Surface* limitScreen = SDL_DisplayFormat(scene.objects.screen);
    if (!limitScreen) {
        state.SkipWithError("no surface for the limit's copies");
        return;
    }
    std::vector<spriteCopy> sprites = spriteCopies(scene);
    long walkedBefore = scene.walked;
    double passSeconds = 0, limitSeconds = 0;
    for (auto _ : state) {
        double begin = threadSeconds();
        for (int i = 0; i < kTurnPasses; ++i) scene.pass();
        double passed = threadSeconds();
        for (int i = 0; i < kTurnPasses; ++i) {
            copyPass(limitScreen, sprites);
            benchmark::ClobberMemory();
        }
        double end = threadSeconds();
        passSeconds += passed - begin;
        limitSeconds += end - passed;
        state.SetIterationTime(end - begin);
    }
    SDL_FreeSurface(limitScreen);
    checkScene(state, scene, walkedBefore, particles);
    const double passes = static_cast<double>(state.iterations()) * kTurnPasses;
    if (passes > 0) {
        state.counters["pass_ns"] = passSeconds * 1e9 / passes;
        state.counters["limit_ns"] = limitSeconds * 1e9 / passes;
    }
}

// The training pass: the partner added, so that the pass plays the match,
// and fireballs in the match's pool, as the one-fighter scene flies them, in
// the rows above both fighters' heads: each tick judges every one against
// both fighters, none is hit and the count holds. In versus, player 2 and
// the HUD take the place of the partner and the panel.
void matchPassInTurn(benchmark::State& state, benchScene& scene, bool versus) {
    if (!(versus ? scene.makeVersus() : scene.addTrainingPartner())) {
        state.SkipWithError(versus ? "player 2 can't be shown" : "the training partner can't be shown");
        return;
    }
    scene.particleName = "fireball1";
    scaleInTurn(state, scene);
    state.counters["fighters"] = static_cast<double>(scene.fighterCount());
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The game's pass on the display in use against its floor, in turns within
// each iteration so that the machine's load meets all three alike: the
// pass; the same pass with its showing left out (the drawing, gathering
// and merging: a pass on SDL 1.2's dummy driver); and SDL_UpdateRects of
// the rectangles that one gathered, with nothing drawn in between (what the
// display must take). By the wall clock: the X server's share of the work
// is not in this thread's CPU time.
void passAndFloor(benchmark::State& state, benchScene& scene) {
    const int particles = static_cast<int>(state.range(0));
    if (!keepAskedParticles(state, scene, particles)) return;
    using wall = std::chrono::steady_clock;
    auto ns = [](wall::duration d) { return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()); };
    long walkedBefore = scene.walked;
    std::vector<double> passNs, drawnNs, updateNs;
    double rects = 0;
    for (auto _ : state) {
        wall::time_point begin = wall::now();
        scene.pass();
        wall::time_point passed = wall::now();
        scene.drawnPass();
        wall::time_point drawn = wall::now();
        scene.showDrawn();
        wall::time_point shown = wall::now();
        passNs.push_back(ns(passed - begin));
        drawnNs.push_back(ns(drawn - passed));
        updateNs.push_back(ns(shown - drawn));
        rects += static_cast<double>(scene.objects.screenChanges.shown.size());
        state.SetIterationTime(std::chrono::duration<double>(shown - begin).count());
    }
    checkScene(state, scene, walkedBefore, particles);
    // Medians: a turn in which the thread waited for the processor counts
    // once, however long the wait.
    if (!passNs.empty()) {
        state.counters["pass_ns"] = median(passNs);
        state.counters["drawn_ns"] = median(drawnNs);
        state.counters["update_ns"] = median(updateNs);
        state.counters["rects"] = rects / static_cast<double>(passNs.size());
    }
}

// How far a held arrow walks the fighter in one second of the real clock,
// with the game's passes on the display in use.
void walkSecond(benchmark::State& state, benchScene& scene) {
    scene.keepParticles(kLiveParticles);
    double walked = 0;
    for (auto _ : state) walked += scene.walkRealTime(1000);
    scene.resync();
    const double n = static_cast<double>(state.iterations());
    if (n > 0) state.counters["px_per_s"] = walked / n;
    if (walked <= 0) state.SkipWithError("the fighter did not walk");
}

void scaleMoves(benchmark::State& state, benchScene& scene, bool silent) {
    const int count = static_cast<int>(state.range(0));
    moveSet generated;
    makeMoveSet(scene.objects.content.moves, count, generated);
    Fighter airborne;
    inputChecker checker(&generated, &airborne);
    checker.target = &scene.objects.target;
    moveNode* last = lastOf(checker.aList);
    outputFile output;
    const int start = 100000;
    bool whole = true;
    for (auto _ : state) {
        fillBuffer(checker, start, true);
        output.empty();
        double begin = threadSeconds();
        moveInfo* move = silent ? silentSearch(checker) : checker.update(start + kBufferPresses * kPressGapMs);
        double end = threadSeconds();
        benchmark::DoNotOptimize(move);
        state.SetIterationTime(end - begin);
        if (!last || move != last->move || checker.inputCount != 0) whole = false;
    }
    output.empty();
    if (!output.ok())
        state.SkipWithError("standard output could not be sent to a file");
    else if (!whole)
        state.SkipWithError("the search did not run through the whole A list");
    state.counters["moves"] = count;
    state.counters["searched"] = movesEndingIn(generated, 'A');
    state.counters["bytes_printed"] =
        benchmark::Counter(static_cast<double>(output.written), benchmark::Counter::kAvgIterations);
}

void residentMemoryAtStart(benchmark::State& state, benchScene& scene) {
    for (auto _ : state) benchmark::DoNotOptimize(scene.residentAtStart.total);
    state.counters["resident"] = static_cast<double>(scene.residentAtStart.total);
    state.counters["anonymous"] = static_cast<double>(scene.residentAtStart.anonymous);
    state.counters["surfaces"] = static_cast<double>(scene.surfacesAtStart);
    state.counters["frames"] = scene.framesHeld();
}

// The generated frame sets live here while the benchmarks run.
std::string scaledRoot;
}  // namespace

void finishBenchmarks() {
    if (!scaledRoot.empty()) removeTree(scaledRoot);
}

void registerBenchmarks(benchScene& scene) {
    using namespace benchNames;
    // The fireballs fly for as long as the scene benchmarks run.
    scene.launch(kLiveParticles);
    benchmark::RegisterBenchmark(kPass, [&scene](benchmark::State& s) { scenePass(s, scene); })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kPassWatching, [&scene](benchmark::State& s) { scenePassWatching(s, scene); })
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

    // On the display the caller chose; the wall clock counts here, because
    // with a real display the X server does the work of the flip.
    benchmark::RegisterBenchmark(kDisplayFlip, flipOnly)->UseRealTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kDisplayChanged, [&scene](benchmark::State& s) { changedRectsPass(s, scene); })
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kMemoryResident, [&scene](benchmark::State& s) { residentMemoryAtStart(s, scene); })
        ->Iterations(1);

    // The scale benchmarks come last: they change the scene's particles.
    auto overParticles = [](benchmark::internal::Benchmark* family) {
        for (int particles : kScaleParticles) family->Arg(particles);
        family->Unit(benchmark::kMicrosecond);
    };
    overParticles(benchmark::RegisterBenchmark(kScalePass, [&scene](benchmark::State& s) { scalePass(s, scene); }));
    overParticles(benchmark::RegisterBenchmark(kScaleLimit, [&scene](benchmark::State& s) { scaleLimit(s, scene); }));
    overParticles(benchmark::RegisterBenchmark(kScaleInTurn, [&scene](benchmark::State& s) { scaleInTurn(s, scene); })
                      ->UseManualTime());
    for (bool silent : {false, true}) {
        benchmark::internal::Benchmark* family = benchmark::RegisterBenchmark(
            silent ? kScaleMovesSilent : kScaleMoves,
            [&scene, silent](benchmark::State& s) { scaleMoves(s, scene, silent); });
        for (int moves : kScaleMoveCounts) family->Arg(moves);
        family->UseManualTime()->Unit(benchmark::kMicrosecond);
    }
    benchmark::internal::Benchmark* display = benchmark::RegisterBenchmark(
        kDisplayPassFloor, [&scene](benchmark::State& s) { passAndFloor(s, scene); });
    for (int particles : kDisplayParticles) display->Arg(particles);
    display->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(kDisplayWalk, [&scene](benchmark::State& s) { walkSecond(s, scene); })
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    // Last of the scene's: the partner stays once added.
    benchmark::RegisterBenchmark(kTrainingInTurn, [&scene](benchmark::State& s) { matchPassInTurn(s, scene, false); })
        ->Arg(kTrainingParticles)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    registerMatchBenchmarks(scene);
    // After the match's: from here on the match is a versus one.
    benchmark::RegisterBenchmark(kVersusInTurn, [&scene](benchmark::State& s) { matchPassInTurn(s, scene, true); })
        ->Arg(kTrainingParticles)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    static std::vector<frameSetFiles> scaled;
    scaledRoot = makeTempFolder("fightscene-bench-frames");
    for (int times : kScaleFrameTimes) {
        std::string why;
        std::string folder = scaledRoot + "/x" + std::to_string(times);
        bool made = !scaledRoot.empty() && makeFolders(folder);
        scaled.push_back(made ? repeatFrameSets(files, times, folder, why) : frameSetFiles());
    }
    for (size_t i = 0; i < scaled.size(); ++i) {
        const frameSetFiles* set = &scaled[i];
        benchmark::RegisterBenchmark(kScaleLoad, [set](benchmark::State& s) { scaleFrames(s, *set, false); })
            ->Arg(kScaleFrameTimes[i])
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(kScaleFloor, [set](benchmark::State& s) { scaleFrames(s, *set, true); })
            ->Arg(kScaleFrameTimes[i])
            ->Unit(benchmark::kMillisecond);
    }
}
