// The authoring tools' shared code: the replay of a key script, the frame
// sheet and finding the data folder. This file: the replay.
#include "replay.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "authoring/dataFolder.h"
#include "authoring/netRun.h"
#include "sprites/clock.h"
#include "platform/files.h"
#include "data/dataHome.h"
#include "platform/platform.h"
#include "data/textFile.h"
#include "input/keyRecording.h"
#include "input/recordingFile.h"
#include "shell/reload.h"
#include "shell/scene.h"

namespace {
std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const char* kindName(replayEvent::Kind kind) {
    switch (kind) {
    case replayEvent::Down: return "down";
    case replayEvent::Up: return "up";
    case replayEvent::Tap: return "tap";
    case replayEvent::Shot: return "shot";
    case replayEvent::Copy: return "copy";
    case replayEvent::End: return "end";
    }
    return "?";
}

// "shots/after.bmp" as "shots/after-2.bmp".
std::string numbered(std::string path, int copy) {
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
    return path.insert(dot, "-" + std::to_string(copy));
}

// Replaces the bytes of `to` by those of `from`, in place, as an editor saves.
bool copyFile(const std::string& from, const std::string& to, std::string& problem) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) {
        problem = from + " can't be read";
        return false;
    }
    std::string bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
    std::fclose(in);
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (!out) {
        problem = to + " can't be written";
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    written = std::fclose(out) == 0 && written;
    if (!written) problem = to + " was not written whole";
    return written;
}

void pushKey(int key, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    event.key.keysym.mod = KMOD_NONE;
    SDL_PushEvent(&event);
    // The game reads held arrows from the key state, which pushed events don't touch.
    SDL_GetKeyState(nullptr)[key] = down ? 1 : 0;
}

// The game reads its content as "data/..." from the working folder: enter
// the folder that holds the data folder, or a scratch folder with a link
// named "data" when the data folder has another name.
struct dataEntrance {
    std::string scratch;  // the scratch folder made, removed on leaving
    std::string saved;

    bool enter(const std::string& data) {
        saved = currentFolder();
        return enterDataParent(data, scratch);
    }

    void leave() {
        if (!saved.empty() && !changeFolder(saved)) std::perror("chdir");
        removeDataScratch(scratch);
        scratch.clear();
    }
};
}  // namespace

bool readScript(const std::string& script, const std::string& folder, std::vector<replayEvent>& events,
                loadPolicy& policy) {
    events.clear();
    TextFile file(policy);
    if (!file.open(script)) {
        file.reportAt(0, "cannot open the script");
        return false;
    }
    bool good = true;
    auto bad = [&](const std::string& message) {
        file.report(message);
        good = false;
    };
    int previous = 0;
    int longLines = 0;  // reported by the reader
    std::string line;
    while (file.readUncommentedLine(line, longLines)) {
        std::vector<std::string> words = splitWords(line, 5);
        if (words.empty()) continue;

        replayEvent event;
        event.line = file.line();
        if (!readScriptTime(words[0], previous, event.time)) {
            bad("expected a time in milliseconds (\"1200\" or \"+50\"), found \"" + words[0] + "\"");
            continue;
        }
        previous = event.time;
        if (words.size() < 2) {
            bad("expected down, up, tap, shot, copy or end after the time");
            continue;
        }
        std::string verb = lowered(words[1]);
        size_t wanted = 3;
        if (verb == "down") {
            event.kind = replayEvent::Down;
        } else if (verb == "up") {
            event.kind = replayEvent::Up;
        } else if (verb == "tap") {
            event.kind = replayEvent::Tap;
        } else if (verb == "shot") {
            event.kind = replayEvent::Shot;
        } else if (verb == "copy") {
            event.kind = replayEvent::Copy;
            wanted = 4;
        } else if (verb == "end") {
            event.kind = replayEvent::End;
            wanted = 2;
        } else {
            bad("unknown event \"" + words[1] + "\"; expected down, up, tap, shot, copy or end");
            continue;
        }
        if (words.size() < wanted) {
            bad(verb == "shot"   ? "shot needs a file name"
                : verb == "copy" ? "copy needs the file to copy and the file it replaces"
                                 : verb + " needs a key name");
            continue;
        }
        if (words.size() > wanted) {
            bad("unexpected \"" + words[wanted] + "\" after " + verb);
            continue;
        }
        if (wanted == 3) event.word = words[2];
        if (event.kind == replayEvent::Copy) {
            event.word = words[2] + " " + words[3];
            event.source = pathFrom(folder, words[2]);
            event.path = pathFrom(folder, words[3]);
            if (!pathFits(&file, event.source, policy) || !pathFits(&file, event.path, policy)) {
                good = false;
                continue;
            }
        } else if (event.kind == replayEvent::Shot) {
            event.path = pathFrom(folder, event.word);
            if (!pathFits(&file, event.path, policy)) {
                good = false;
                continue;
            }
        } else if (event.kind != replayEvent::End) {
            recordedInput input;
            if (inputByName(event.word, input)) {  // a recording's input, keyed when it is due
                event.input = static_cast<int>(input);
                events.push_back(event);
                continue;
            }
            event.key = keyByName(event.word);
            if (event.key == 0) {
                bad("unknown key \"" + event.word + "\" (SDL key names: Left Right Up Down z x c j Escape ...)");
                continue;
            }
        }
        events.push_back(event);
    }
    if (longLines > 0) good = false;
    std::stable_sort(events.begin(), events.end(),
                     [](const replayEvent& a, const replayEvent& b) { return a.time < b.time; });
    return good;
}

bool repeatScript(std::vector<replayEvent>& events, int times, int step, std::string& problem) {
    if (times <= 1 || events.empty()) return true;
    long long period = events.back().time + static_cast<long long>(step);
    for (const replayEvent& event : events)
        if (event.kind == replayEvent::End) {
            period = event.time;
            break;
        }
    if (period * times > INT_MAX) {
        problem = std::to_string(times) + " copies of " + std::to_string(period) + " ms pass the clock's range";
        return false;
    }
    std::vector<replayEvent> once;
    for (const replayEvent& event : events)
        if (event.time <= period && event.kind != replayEvent::End) once.push_back(event);
    std::vector<replayEvent> all;
    all.reserve(once.size() * static_cast<size_t>(times) + 1);
    for (int copy = 0; copy < times; ++copy) {
        for (replayEvent event : once) {
            event.time += static_cast<int>(period * copy);
            if (event.kind == replayEvent::Shot) {
                event.path = numbered(event.path, copy + 1);
                event.word = numbered(event.word, copy + 1);
            }
            all.push_back(event);
        }
    }
    replayEvent end;
    end.kind = replayEvent::End;
    end.time = static_cast<int>(period * times);
    all.push_back(end);
    events.swap(all);
    return true;
}

namespace {
// The key that gives a recorded input to the player: its bound key, forward
// and back judged by the facing at the press; a release lets go of the key
// its press pressed.
int inputKey(gameScene& scene, const replayEvent& event, std::map<int, int>& held) {
    if (event.kind == replayEvent::Up && held.count(event.input)) {
        int key = held[event.input];
        held.erase(event.input);
        return key;
    }
    padAction action = actionOfInput(static_cast<recordedInput>(event.input), scene.player().dir);
    int key = boundKey(scene.bindings, action);
    if (event.kind == replayEvent::Down) held[event.input] = key;
    return key;
}

// Standard output sent to a scratch file for the length of a run, then
// echoed; if the process ends inside the run, what was caught is echoed then.
struct outputCapture {
    int saved = -1;
    std::string folder;
    std::string path;

    static outputCapture*& active() {
        static outputCapture* current = nullptr;
        return current;
    }
    static void atExit() {
        if (active()) active()->finish();
    }

    bool start() {
        folder = makeTempFolder("fightscene-transcript");
        if (folder.empty()) return false;
        path = folder + "/transcript";
        saved = redirectOutput(1, path.c_str());
        if (saved < 0) {
            std::remove(path.c_str());
            removeFolder(folder);
            return false;
        }
        static bool registered = false;
        if (!registered) std::atexit(atExit);
        registered = true;
        active() = this;
        return true;
    }

    std::string finish() {
        if (saved < 0) return "";
        restoreOutput(1, saved);
        saved = -1;
        active() = nullptr;
        std::string text;
        if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            size_t got;
            while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
            std::fclose(file);
        }
        std::remove(path.c_str());
        removeFolder(folder);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return text;
    }
};

// 0 when `got` equals the file `expected` line for line; 3 otherwise, with
// the first difference on standard error.
int compareTranscript(const std::string& got, const std::string& expected) {
    std::FILE* file = std::fopen(expected.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "fightscene-replay: cannot open the expected transcript %s\n", expected.c_str());
        return 2;
    }
    std::string wanted;
    char buffer[4096];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) wanted.append(buffer, read);
    std::fclose(file);
    std::vector<std::string> a = splitLines(wanted);
    std::vector<std::string> b = splitLines(got);
    for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
        if (i < a.size() && i < b.size() && a[i] == b[i]) continue;
        std::fprintf(stderr, "%s:%zu: the run differs from here\n  expected: %s\n  got:      %s\n", expected.c_str(),
                     i + 1, i < a.size() ? a[i].c_str() : "(the end of the transcript)",
                     i < b.size() ? b[i].c_str() : "(the end of the run)");
        return 3;
    }
    std::fprintf(stderr, "fightscene-replay: the run matches %s (%zu lines)\n", expected.c_str(), a.size());
    return 0;
}

int runScene(const replayOptions& options) {
    if (options.step < 1) {
        std::fprintf(stderr, "fightscene-replay: the step must be at least 1 ms\n");
        return 2;
    }
    std::string here = currentFolder();
    std::string data = pathFrom(here, options.data);
    if (!isFolder(data)) {
        std::fprintf(stderr, "fightscene-replay: no data folder at %s\n", data.c_str());
        return 2;
    }
    // Headless unless the caller chose the drivers.
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    installQuitSignals();
    if (startVideoAndAudio() < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    // Video stays up until the process ends: the sounds are freed with the
    // scene, before the mixer closes (see below).

    std::vector<replayEvent> events;
    loadPolicy scriptReading = gamePolicy();
    if (!readScript(options.script, here, events, scriptReading)) return 2;
    std::string problem;
    if (!repeatScript(events, options.repeat, options.step, problem)) {
        std::fprintf(stderr, "fightscene-replay: %s\n", problem.c_str());
        return 2;
    }
    dataEntrance entrance;
    if (!entrance.enter(data)) {
        std::fprintf(stderr, "fightscene-replay: cannot enter the data folder %s\n", data.c_str());
        entrance.leave();
        return 2;
    }

    versusSetup versus = options.match;
    // A joiner plays the host's characters: they are looked for once the host named them.
    if (versus.versus && options.net.role != netplaySetup::join && !findCharacters(versus, problem)) {
        std::fprintf(stderr, "fightscene-replay: %s\n", problem.c_str());
        entrance.leave();
        return 1;
    }

    // Start-up at clock 0; every pass then moves the clock on by one step.
    // Netplay greets first, and its clock goes on from there.
    clockSet(0);
    // On the heap: each side holds match states by the dozen, too much for a Windows stack.
    std::unique_ptr<netRun> owned(new netRun);
    netRun& net = *owned;
    net.setup = options.net;
    if (!net.setup.replayFile.empty()) net.setup.replayFile = pathFrom(here, net.setup.replayFile);
    net.pair = options.netPair;
    net.firstCpuLevel = options.cpu2;
    net.plantDesyncAt = options.plantDesync;
    int netEndMs = 0;  // the script's end: both sides end the match there alike
    for (const replayEvent& event : events) netEndMs = std::max(netEndMs, event.time);
    if (net.on()) {
        if (!net.greet(versus)) {
            int status = net.greetingFailed();
            entrance.leave();
            return status;
        }
        if (!findCharacters(versus, problem)) {
            net.giveUp("netplay: " + problem);
            int status = net.greetingFailed();
            entrance.leave();
            return status;
        }
    }
    std::unique_ptr<gameScene> scene(new gameScene);
    scene->training = options.training;
    scene->versus = versus;
    // Without a --record-file the recording is the run's own: the player's
    // recording.txt is neither read nor written.
    scene->trainer.recordFile = pathFrom(here, options.recordFile);
    scene->trainer.keptInMemory = options.recordFile.empty();
    loadPolicy startUp = gamePolicy();
    startScene(*scene, false, startUp);
    if (options.watch) watchData(scene->watch);
    if (scene->match) scene->match->syncDepth = options.syncDepth;
    if (net.on()) net.attach(*scene, netEndMs);

    bool hasEnd = false;
    for (const replayEvent& event : events) hasEnd = hasEnd || event.kind == replayEvent::End;
    auto mark = [&](long long clock, const std::string& text) {
        if (options.marks) std::printf("replay %lld: %s\n", clock, text.c_str());
    };

    int status = 0;
    long long clock = 0;
    long long passes = 0;
    size_t next = 0;
    std::vector<int> tapped;  // keys tapped in the previous pass, released in this one
    std::map<int, int> inputKeys;  // the key each held recorded input pressed, by input
    bool going = !events.empty();
    while (going) {
        clockAdvance(static_cast<Uint32>(options.step));
        clock += options.step;
        ++passes;
        for (int key : tapped) pushKey(key, false);
        tapped.clear();

        size_t due = next;
        while (due < events.size() && events[due].time <= clock) ++due;
        for (size_t i = next; i < due; ++i) {
            const replayEvent& event = events[i];
            if (event.kind == replayEvent::Shot || event.kind == replayEvent::End) continue;
            mark(clock, std::string(kindName(event.kind)) + " " + event.word);
            if (event.kind == replayEvent::Copy) {
                std::string problem;
                if (!copyFile(event.source, event.path, problem)) {
                    printContentMessage(options.script, event.line, "cannot copy: " + problem);
                    status = 2;
                }
                continue;
            }
            int key = event.input < 0 ? event.key : inputKey(*scene, event, inputKeys);
            pushKey(key, event.kind != replayEvent::Up);
            if (event.kind == replayEvent::Tap) tapped.push_back(key);
        }

        going = runPass(*scene);
        if (!going && !net.on()) mark(clock, "the game quit");
        if (net.on()) going = net.afterPass(*scene, clock);
        if (options.afterPass && !options.afterPass(*scene, passes)) {
            status = 4;
            going = false;
        }

        // Screenshots show the pass just drawn.
        for (size_t i = next; i < due; ++i) {
            const replayEvent& event = events[i];
            // Over the network the shots of the end show the state both sides agree on.
            if (event.kind == replayEvent::Shot && !(net.on() && event.time >= netEndMs)) {
                mark(clock, "shot " + event.word);
                if (SDL_SaveBMP(scene->screen, event.path.c_str()) != 0) {
                    printContentMessage(options.script, event.line,
                                  "cannot save the shot to " + event.path + ": " + SDL_GetError());
                    status = 2;
                }
            } else if (event.kind == replayEvent::End && !net.on()) {
                going = false;
            }
        }
        next = due;
        if (next == events.size() && !hasEnd && !net.on()) going = false;
    }
    if (net.on()) {
        status = std::max(status, net.finish(*scene, versus, options.checksum));
        for (const replayEvent& event : events)
            if (event.kind == replayEvent::Shot && event.time >= netEndMs &&
                SDL_SaveBMP(scene->screen, event.path.c_str()) != 0) {
                printContentMessage(options.script, event.line, "cannot save the shot to " + event.path);
                status = 2;
            }
    }
    mark(clock, "end after " + std::to_string(passes) + " passes");
    if (scene->match && options.checksum && !net.on())
        printChecksum(scene->match->state);
    std::fflush(stdout);
    if (scene->match && options.syncDepth > 0) {
        const matchSession& match = *scene->match;
        if (!match.syncFailure.empty()) {
            std::fprintf(stderr, "fightscene-replay: sync test at %d: %s\n", options.syncDepth, match.syncFailure.c_str());
            if (status == 0) status = 5;
        } else {
            std::fprintf(stderr, "fightscene-replay: sync test at %d: %lld ticks stepped again, all alike\n",
                         options.syncDepth, match.syncChecks);
        }
    }
    entrance.leave();
    // The sounds go before the mixer, and the mixer's thread stops here.
    scene.reset();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return status;
}
}  // namespace

int runReplay(const replayOptions& given) {
    if (given.expect.empty()) return runScene(given);
    replayOptions options = given;
    options.expect = pathFrom(currentFolder(), options.expect);
    outputCapture capture;
    if (!capture.start()) {
        std::fprintf(stderr, "fightscene-replay: cannot catch the output to compare it\n");
        return 2;
    }
    int status = runScene(options);
    std::string transcript = capture.finish();
    if (status != 0) return status;
    return compareTranscript(transcript, options.expect);
}

int playNetReplay(const std::string& file, const std::string& dataFolder) {
    std::string here = currentFolder();
    std::string path = pathFrom(here, file);
    std::string data = pathFrom(here, dataFolder);
    versusSetup versus;
    std::vector<uint8_t> inputs;
    std::string problem;
    if (!readNetReplay(path, versus, inputs, problem)) {
        std::fprintf(stderr, "fightscene-replay: %s\n", problem.c_str());
        return 2;
    }
    setEnvironment("SDL_VIDEODRIVER", "dummy", false);
    setEnvironment("SDL_AUDIODRIVER", "dummy", false);
    if (startVideoAndAudio() < 0) {
        std::printf("Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    dataEntrance entrance;
    if (!entrance.enter(data) || !findCharacters(versus, problem)) {
        std::fprintf(stderr, "fightscene-replay: %s\n", problem.empty() ? data.c_str() : problem.c_str());
        entrance.leave();
        return 2;
    }
    clockSet(0);
    std::unique_ptr<gameScene> scene(new gameScene);
    scene->versus = versus;
    loadPolicy startUp = gamePolicy();
    startScene(*scene, false, startUp);
    matchSession& match = *scene->match;
    // The confirmed inputs, stepped one tick after the other as both sides confirmed them.
    tickEvents events;
    for (size_t at = 0; at + 1 < inputs.size(); at += 2) {
        stepMatch(match.state, match.content, &inputs[at], events);
        for (const std::string& line : events.lines) std::printf("%s\n", line.c_str());
        events.clear();
    }
    printChecksum(match.state);
    entrance.leave();
    scene.reset();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
}

void printChecksum(const matchState& state, const char* who) {
    std::printf("checksum%s %016llx at tick %d\n", who, static_cast<unsigned long long>(matchChecksum(state)),
                state.tick);
}
