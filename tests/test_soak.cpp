// Long play: the real start-up and main-loop passes over the bundled data,
// driven by a set clock, pushed key presses and held keys, for more than
// 20,000 passes. Walks back and forth, ducks, jumps, performs every bundled
// move and throws a fireball every 50 passes, and reloads the content a
// hundred times (F5); checks that the particles stay few, that every launched
// particle is released, and that memory does not grow over the run.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "commands/Condition.h"
#include "sprites/clock.h"
#include "shell/scene.h"
#include "testSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif
#ifdef SOAK_UNDER_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace {
// Scripted passes, and the clock's step per pass: 40 ms leaves room in a
// 50-pass cycle for the throw and a whole jump (one movement step per pass).
const int kPasses = 20000;
const int kPassMs = 40;
const int kCycle = 50;
// The fireball's command, typed at the start of every cycle.
const char* const kFireballCommand = "DRA";
// Arrows pressed this long before a command would join it (600 ms buffer).
const int kQuietPasses = 600 / kPassMs + 1;
// Reloads (F5) after each 1,000 passes: a hundred over the run.
const int kReloadsEach = 5;

// Bytes in use on the heap: the allocator's own count under AddressSanitizer
// (mallinfo2 does not see its heap), glibc's otherwise.
size_t heapInUse() {
#ifdef SOAK_UNDER_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// Standard output goes to a file for the whole run; the lines that matter
// are counted as the file grows.
class OutputLog {
public:
    void begin() {
        path_ = makeTempDir("soak") + "/out.txt";
        std::fflush(stdout);
        saved_ = dup(1);
        int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        dup2(fd, 1);
        close(fd);
    }
    // Standard output is back even when an assertion leaves the test early.
    ~OutputLog() { end(); }
    void end() {
        if (saved_ < 0) return;
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
        saved_ = -1;
        unlink(path_.c_str());
    }
    // Reads what was written since the last scan and counts its lines.
    void scan() {
        std::fflush(stdout);
        std::ifstream in(path_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset_));
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof()) break;  // a line still being written
            offset_ += line.size() + 1;
            // A reload prints the definitions it loads: those are no launches.
            if (line == "reloading data") reloading_ = true;
            if (line.compare(0, 15, "reloaded data: ") == 0) {
                reloading_ = false;
                ++reloads;
                removedByReloads += std::atol(line.c_str() + 15);
            }
            if (line.compare(0, 15, "reload refused:") == 0) {
                reloading_ = false;
                ++reloadsRefused;
            }
            if (reloading_) continue;
            auto known = count.find(line);
            if (known != count.end()) ++known->second;
            // Particles launched by frames, and by deaths ("pNum <n>" then n launches).
            if (line.compare(0, 4, "TD: ") == 0) ++frameLaunches;
            if (line.compare(0, 5, "pNum ") == 0) deathLaunches += std::atol(line.c_str() + 5);
        }
    }
    long reloads = 0;
    long reloadsRefused = 0;
    long removedByReloads = 0;
    long frameLaunches = 0;
    long deathLaunches = 0;
    long adds() { return count["Adding particle"] + count["adding another particle"]; }
    long kills() { return count["Killing the head particle"] + count["Killing a body bit"] + removedByReloads; }
    // The lines counted whole (the map does not grow during the run).
    std::map<std::string, long> count = {{"Adding particle", 0},
                                         {"adding another particle", 0},
                                         {"Killing the head particle", 0},
                                         {"Killing a body bit", 0}};

private:
    std::string path_;
    int saved_ = -1;
    size_t offset_ = 0;
    bool reloading_ = false;  // between "reloading data" and its outcome
};

void push(Uint8 type, SDLKey key) {
    SDL_Event event = {};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

gameScene* objects = nullptr;

void hold(SDLKey key, bool down) { SDL_GetKeyState(nullptr)[key] = down ? 1 : 0; }

// The key of a command letter for the fighter's facing now: "R" is toward it.
SDLKey keyOf(char letter) {
    switch (letter) {
    case 'R': return objects->player().dir ? SDLK_RIGHT : SDLK_LEFT;
    case 'L': return objects->player().dir ? SDLK_LEFT : SDLK_RIGHT;
    case 'U': return SDLK_UP;
    case 'D': return SDLK_DOWN;
    case 'A': return SDLK_z;
    case 'B': return SDLK_x;
    default: return SDLK_c;
    }
}

void press(char letter) {
    push(SDL_KEYDOWN, keyOf(letter));
    push(SDL_KEYUP, keyOf(letter));
}

bool fighterFree() { return objects->player().grounded && !objects->player().returnBusy(); }

// Whether a move's condition holds for a fighter on the floor or in the air.
bool conditionHolds(const moveInfo& move, bool grounded) {
    if (move.condition == "null") return true;
    Fighter probe;
    probe.grounded = grounded;
    Condition condition;
    return condition.getResult(move.condition, &probe, nullptr);
}

// One pass of scripted input: letters pressed, and the walk or duck held.
struct passInput {
    std::string letters;
    int walk = 0;       // +1 toward the facing at the walk's start, -1 away
    bool duck = false;  // down held
};

// What one activity of the rotation does, pass by pass.
struct activity {
    std::string name;
    std::deque<passInput> passes;
    const moveInfo* move = nullptr;  // the move it performs, if any
};

std::vector<activity> rotation(const moveSet& moves) {
    std::vector<activity> all;
    activity walk{"walk forward", {}, nullptr};
    for (int i = 0; i < 12; ++i) walk.passes.push_back(passInput{"", +1, false});
    all.push_back(walk);
    activity back{"walk back", {}, nullptr};
    for (int i = 0; i < 12; ++i) back.passes.push_back(passInput{"", -1, false});
    all.push_back(back);
    activity duck{"duck", {}, nullptr};
    for (int i = 0; i < 10; ++i) duck.passes.push_back(passInput{"", 0, true});
    all.push_back(duck);
    activity jump{"jump", {}, nullptr};
    jump.passes.push_back(passInput{"U", 0, false});
    all.push_back(jump);
    for (const moveInfo& move : moves.moves) {
        if (move.command == kFireballCommand || move.command.empty()) continue;
        activity act{move.name, {}, &move};
        // A move that only comes out in the air is typed a few steps into a jump.
        if (!conditionHolds(move, true) && conditionHolds(move, false)) {
            act.passes.push_back(passInput{"U", 0, false});
            for (int i = 0; i < 4; ++i) act.passes.push_back(passInput{});
        }
        for (char letter : move.command) act.passes.push_back(passInput{std::string(1, letter), 0, false});
        all.push_back(act);
    }
    return all;
}

}  // namespace

TEST(Soak, TwentyThousandPassesOfPlayKeepParticlesAndMemoryBounded) {
    ASSERT_EQ(0, chdir(sourceDir().c_str()));  // the folder that holds "data"
    ASSERT_EQ(0, SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO));
    clockSet(1000);
    OutputLog log;
    log.begin();
    objects = new gameScene;
    loadPolicy startUp = gamePolicy();
    startScene(*objects, false, startUp);
    log.scan();
    ASSERT_NE(nullptr, objects->content.back) << "the bundled background loads";
    particleInfo* fireball = nullptr;
    const moveInfo* throwMove = nullptr;
    std::vector<activity> acts = rotation(objects->content.moves);
    ASSERT_GE(acts.size(), 8u);
    // The definition and moves looked for, in the sets in use (a reload makes new ones).
    auto findContent = [&] {
        fireball = objects->content.defs.findParticle("fireball1");
        throwMove = nullptr;
        for (const moveInfo& move : objects->content.moves.moves)
            if (move.command == kFireballCommand) throwMove = &move;
        for (activity& act : acts)
            if (act.move) act.move = objects->content.moves.returnMove(act.name);
    };
    findContent();
    ASSERT_NE(nullptr, fireball);
    ASSERT_NE(nullptr, throwMove) << "the bundled moves have the fireball's command";

    // Particles launched and removed are counted from here on.
    long addsBefore = log.adds();
    long killsBefore = log.kills();
    long launchesBefore = log.frameLaunches + log.deathLaunches;
    int liveBefore = objects->pList.size();

    int pass = 0;
    auto step = [&] {
        clockAdvance(kPassMs);
        runPass(*objects);
        ++pass;
    };
    // Runs passes without input until the particles are gone and the
    // fighter stands still; memory is compared at such moments.
    auto settle = [&] {
        for (int i = 0; i < 400 && (objects->pList.size() > 0 || !fighterFree()); ++i) step();
    };

    // The start-up fireball flies while the fighter falls onto the floor.
    while (!objects->player().grounded && pass < 200) step();
    ASSERT_TRUE(objects->player().grounded);

    std::map<std::string, int> started;  // activities whose move or motion came out
    int fireballsTyped = 0, throwsStarted = 0, fireballsLaunched = 0, busyAtCycle = 0;
    int mostParticles = 0;
    std::vector<size_t> memory;  // heap in use after each 1,000 passes, quiet
    size_t next = 0;  // next activity of the rotation
    std::deque<passInput> plan;
    const activity* current = nullptr;
    SDLKey walkKey = SDLK_UNKNOWN;
    int scripted = 0;
    bool cameOut = false;
    std::vector<int> startOffsets;
    // The test's own records do not grow the heap between the measurements.
    startOffsets.reserve(kPasses / kCycle + 1);
    memory.reserve(kPasses / 1000 + 1);

    for (scripted = 0; scripted < kPasses; ++scripted) {
        int offset = scripted % kCycle;
        if (offset == 0) {
            // The fireball: the whole command in one pass, the fighter on the floor.
            plan.clear();
            current = nullptr;
            if (!fighterFree()) ++busyAtCycle;
            for (const char* c = kFireballCommand; *c; ++c) press(*c);
            ++fireballsTyped;
        } else if (!current && fighterFree()) {
            // The next activity starts once the throw is over.
            current = &acts[next];
            next = (next + 1) % acts.size();
            plan = current->passes;
            cameOut = false;
            startOffsets.push_back(offset);
            // A walk's arrow must be older than the buffer when the next fireball is typed.
            if (!plan.empty() && plan.front().walk != 0) {
                EXPECT_LE(offset + kQuietPasses, kCycle) << "a walk too close to the next fireball";
            }
        }

        // This pass's input of the activity.
        passInput input;
        if (!plan.empty()) {
            input = plan.front();
            plan.pop_front();
        }
        for (char letter : input.letters) press(letter);
        if (input.walk != 0 && walkKey == SDLK_UNKNOWN) {
            walkKey = keyOf(input.walk > 0 ? 'R' : 'L');
            push(SDL_KEYDOWN, walkKey);
        }
        if (input.walk == 0 && walkKey != SDLK_UNKNOWN) {
            push(SDL_KEYUP, walkKey);
            hold(walkKey, false);
            walkKey = SDLK_UNKNOWN;
        }
        if (walkKey != SDLK_UNKNOWN) hold(walkKey, true);
        bool ducking = SDL_GetKeyState(nullptr)[SDLK_DOWN] != 0;
        if (input.duck && !ducking) push(SDL_KEYDOWN, SDLK_DOWN);
        if (!input.duck && ducking) push(SDL_KEYUP, SDLK_DOWN);
        hold(SDLK_DOWN, input.duck);

        const moveInfo* before = objects->player().currentMove;
        step();

        // What came out of this pass.
        if (objects->player().currentMove && objects->player().currentMove != before && objects->player().currentMove == throwMove)
            ++throwsStarted;
        if (current && !cameOut) {
            bool walkedOn = input.walk != 0 && objects->player().action == "walk" && objects->player().dir == (walkKey == SDLK_RIGHT);
            bool ducked = input.duck && objects->player().action == "duck";
            bool jumped = input.letters == "U" && !objects->player().grounded;
            bool moved = current->move && objects->player().currentMove == current->move;
            if (current->move ? moved : (walkedOn || ducked || jumped)) {
                cameOut = true;
                ++started[current->name];
            }
        }
        for (partNode* node = objects->pList.head; node; node = node->next)
            if (node->part->info == fireball && node->part->startTime == objects->control.now) ++fireballsLaunched;
        mostParticles = std::max(mostParticles, objects->pList.size());

        if (scripted % 1000 == 999) {
            log.scan();
            EXPECT_EQ(log.adds() - addsBefore - (log.kills() - killsBefore), objects->pList.size() - liveBefore)
                << "particles added and removed do not match the list at pass " << pass;
        }
        if (scripted % 1000 == 999) {
            settle();
            for (int i = 0; i < kReloadsEach; ++i) {
                push(SDL_KEYDOWN, SDLK_F5);
                step();
            }
            findContent();
            // Measured with fresh sets: frames drawn since the last reload
            // carry SDL's packed copies, which would blur the figure.
            memory.push_back(heapInUse());
        }
    }
    hold(SDLK_LEFT, false);
    hold(SDLK_RIGHT, false);
    hold(SDLK_DOWN, false);
    settle();
    log.scan();
    log.end();

    std::printf("passes: %d (%d scripted), fireballs typed %d, throws %d, fireballs launched %d, most particles %d\n",
                pass, scripted, fireballsTyped, throwsStarted, fireballsLaunched, mostParticles);
    std::printf("particles added %ld (%ld by frames, %ld by deaths), removed %ld\n", log.adds() - addsBefore,
                log.frameLaunches, log.deathLaunches, log.kills() - killsBefore);
    std::printf("reloads %ld (%ld refused), particles they removed %ld\n", log.reloads, log.reloadsRefused,
                log.removedByReloads);
    std::printf("heap in use every 1,000 passes:");
    for (size_t bytes : memory) std::printf(" %zu", bytes);
    std::printf("\n");
    for (const activity& act : acts) std::printf("  %-14s %d\n", act.name.c_str(), started[act.name]);
    std::printf("activity start offsets: %d..%d\n", *std::min_element(startOffsets.begin(), startOffsets.end()),
                *std::max_element(startOffsets.begin(), startOffsets.end()));

    EXPECT_GE(pass, 20000);
    EXPECT_EQ(kPasses / 1000 * kReloadsEach, log.reloads);
    EXPECT_EQ(0, log.reloadsRefused);
    // Every fireball came out: the fighter was free at each cycle's start.
    EXPECT_EQ(0, busyAtCycle) << "an activity was still running when its cycle's fireball was typed";
    EXPECT_EQ(fireballsTyped, throwsStarted);
    EXPECT_EQ(fireballsTyped, fireballsLaunched);
    // Every activity, each bundled move among them, came out again and again.
    for (const activity& act : acts) EXPECT_GE(started[act.name], 10) << act.name;
    // A thrown fireball and its three death particles, a rising flame's
    // sparks: a few at a time, never a pile.
    EXPECT_GE(mostParticles, 4);
    EXPECT_LE(mostParticles, 12);
    // Every launched particle was removed, each once.
    EXPECT_EQ(0, objects->pList.size());
    EXPECT_EQ(log.adds() - addsBefore + liveBefore, log.kills() - killsBefore);
    // Each one was launched by a move's frame or by a particle's death.
    EXPECT_EQ(log.adds() - addsBefore, log.frameLaunches + log.deathLaunches - launchesBefore);
    EXPECT_GT(log.deathLaunches, 0L) << "no fireball lived to launch its death particles";
    EXPECT_GE(log.frameLaunches, static_cast<long>(fireballsLaunched));
    // The heap in the same quiet state after 1,000 passes and at the end.
    // Early on it also shrinks: SDL packs a colour-keyed mirrored frame the
    // first time it is drawn. Once every frame has been shown (by pass
    // 2,000) it must stay where it is.
    ASSERT_EQ(static_cast<size_t>(kPasses / 1000), memory.size());
    // SDL unpacks and repacks a frame now and then: a few kilobytes either way.
    const size_t margin = 16 * 1024;
    EXPECT_LE(memory.back(), memory.front() + margin);
    for (size_t i = 2; i < memory.size(); ++i)
        EXPECT_LE(memory[i], memory[1] + margin) << "the heap grew by pass " << (i + 1) * 1000;
}
