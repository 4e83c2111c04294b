// fightscene-check [--keys FILE] [DATA_FOLDER]: loads every file the game
// reads at start-up through the game's own loaders, collects what they
// report, then checks the loaded objects for what the game would get wrong,
// and prints one "path:line: error|warning: message" line per problem and a
// summary. The key file is the one the game would read: this user's own
// (fightscene/keys.txt in the user's settings folder), else the "keys.txt"
// beside the data folder, when there is one; or FILE.
// fightscene-check --frames [DATA_FOLDER]: prints the frame data of every
// move instead, one row per move, then the problems loading met, if any.
// fightscene-check --moves [DATA_FOLDER]: the same with each move's command,
// the moveset line it starts on and its condition, as the game reads them.
// Exit status: 0 without errors, 1 with errors, 2 on a usage mistake.
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "authoring/dataFolder.h"
#include "commands/Condition.h"
#include "commands/Target.h"
#include "data/animationSet.h"
#include "data/frameData.h"
#include "data/moveSet.h"
#include "data/characterStats.h"
#include "data/soundSet.h"
#include "fighter/Fighter.h"
#include "particles/partInfoList.h"
#include "sprites/sceneGeometry.h"
#include "platform/files.h"
#include "data/dataHome.h"
#include "platform/platform.h"
#include "data/textFile.h"
#include "input/keyFile.h"
#include "shell/optionTable.h"
#include "shell/scene.h"
#include "sprites/CSpriteBase.h"

namespace {

// --- What start-up reads (the game's fixed paths, for the messages) ---
const char* const kCharacter = "data/Burn";
const char* const kParticleList = "default";
const char* const kParticleFolder = "data/particle/";
const char* const kStartParticle = "fireball1";
// Animations the fighter and the player control ask for by name.
const char* const kNeededAnimations[] = {"walk", "standing", "duck", "inAir", "blank"};
const char* const kEventNames[] = {"OnDeath", "OnHitPlayer", "OnHitEnemy", "OnHitTarget", "OnHitAlly"};

// --- Problems ---

struct problem {
    std::string file;  // as the loaders name it, "data/..."
    int line;          // 0: the file as a whole
    bool error;
    std::string message;
};

std::vector<problem> problems;
std::set<std::string> filesReported;  // files some message is about
std::set<std::string> filesUnopened;  // files that could not be opened
std::string shownRoot;                // how "data" is shown in the output
std::string keysOpened;               // the key file as it was opened
std::string keysShown;                // and as it is shown in the output
bool printed = false;
bool soundsLoaded = false;            // false without an audio device

void add(const std::string& file, int line, bool error, const std::string& message) {
    problems.push_back({file, line, error, message});
    filesReported.insert(file);
}
void error(const std::string& file, int line, const std::string& message) { add(file, line, true, message); }
void warning(const std::string& file, int line, const std::string& message) { add(file, line, false, message); }

// Everything the loaders report stops the game from using some data as meant.
void collect(const std::string& file, int line, const std::string& message) {
    if (message == "cannot be opened") filesUnopened.insert(file);
    error(file, line, message);
}

std::string shown(const std::string& file) {
    if (!keysOpened.empty() && file == keysOpened) return keysShown;
    if (file.compare(0, 5, "data/") == 0) return shownRoot + file.substr(4);
    if (file == "data") return shownRoot;
    return file;
}

// --- Standard output of the loaders goes nowhere while they run ---

int savedOut = -1;
int savedErr = -1;

void silence() {
    std::fflush(stdout);
    std::fflush(stderr);
    savedOut = redirectOutput(1, nullptr);
    savedErr = redirectOutput(2, nullptr);
}

void speak() {
    std::fflush(stdout);
    std::fflush(stderr);
    restoreOutput(1, savedOut);
    restoreOutput(2, savedErr);
    savedOut = savedErr = -1;
}

int printProblems() {
    printed = true;
    // Grouped by file, in the order the files came up, then by line.
    std::map<std::string, size_t> fileOrder;
    for (const problem& p : problems) fileOrder.emplace(p.file, fileOrder.size());
    std::stable_sort(problems.begin(), problems.end(), [&](const problem& a, const problem& b) {
        size_t fa = fileOrder[a.file], fb = fileOrder[b.file];
        return fa != fb ? fa < fb : a.line < b.line;
    });
    int errors = 0, warnings = 0;
    std::set<std::string> seen;
    for (const problem& p : problems) {
        std::string where = shown(p.file) + (p.line > 0 ? ":" + std::to_string(p.line) : std::string()) + ": ";
        std::string text = where + (p.error ? "error: " : "warning: ") + p.message;
        if (!seen.insert(text).second) continue;
        std::printf("%s\n", text.c_str());
        (p.error ? errors : warnings) += 1;
    }
    std::printf("%d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
    std::fflush(stdout);
    return errors > 0 ? 1 : 0;
}

// A loader that still ends the process leaves what was found so far.
void onExit() {
    if (printed) return;
    speak();
    error("data", 0, "loading ended the process early; the problems above were found before that");
    printProblems();
}

// --- Frame sets ---

std::string sizeText(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

bool boxEmpty(const frameBox& box) { return box.left == 0 && box.top == 0 && box.right == 0 && box.bottom == 0; }

void checkBox(const std::string& info, int line, const char* what, const frameBox& box, int w, int h) {
    std::string text = std::to_string(box.left) + " " + std::to_string(box.top) + " " + std::to_string(box.right) +
                       " " + std::to_string(box.bottom);
    if (box.right < box.left || box.bottom < box.top)
        warning(info, line, std::string(what) + " " + text + " is inverted: its right or bottom edge comes first");
    else if (box.left < 0 || box.top < 0 || box.right > w || box.bottom > h)
        warning(info, line, std::string(what) + " " + text + " reaches outside the " + sizeText(w, h) + " frame");
}

// What every frame set must hold, whoever draws it.
void checkFrameSet(const CSpriteBase& set, const std::string& folder) {
    std::string info = folder + "/info";
    if (!set.built) return;  // not opened: reported already
    if (set.numFrames <= 0) {
        if (!filesReported.count(info)) error(info, 1, "no frames: nothing of this set can be drawn");
        return;
    }
    for (int i = 0; i < set.numFrames && i < static_cast<int>(set.frames.size()); ++i) {
        const frameInfo& frame = set.frames[i];
        if (!frame.image) continue;
        int w = frame.image->w, h = frame.image->h;
        int at = frame.infoLine;
        if (w > set.width || h > set.height)
            error(info, at,
                  "frame is " + sizeText(w, h) + ", larger than the set's last frame (" +
                      sizeText(set.width, set.height) +
                      "), the size saved and restored under it: it leaves traces on the background");
        else if (w != set.width || h != set.height)
            warning(info, at,
                    "frame is " + sizeText(w, h) + " but the set's last frame is " +
                        sizeText(set.width, set.height));
        if (frame.offsetX < 0 || frame.offsetX > w || frame.offsetY < 0 || frame.offsetY > h)
            warning(info, frame.anchorLine,
                    "anchor " + std::to_string(frame.offsetX) + " " + std::to_string(frame.offsetY) +
                        " is outside the " + sizeText(w, h) + " frame");
        if (!boxEmpty(frame.colBox)) checkBox(info, frame.colBoxLine, "collision box", frame.colBox, w, h);
        if (frame.hitActive >= 1 || !boxEmpty(frame.hitBox))
            checkBox(info, frame.hitBoxLine, "hit box", frame.hitBox, w, h);
    }
}

// A spawn string: a definition's name and two offsets. Returns the name.
std::string checkSpawn(const std::string& file, int line, const std::string& text, partInfoList& defs,
                       bool launched, const char* what) {
    std::vector<std::string> words = splitWords(text, 3);
    std::string name = words.empty() ? std::string() : words[0];
    if (name.empty() || name == "NULL") return name;
    if (!defs.findParticle(name)) {
        if (launched)
            error(file, line, std::string(what) + " names no particle definition: \"" + name + "\"");
        else
            warning(file, line, std::string(what) + " names no particle definition: \"" + name + "\"");
    }
    if (words.size() < 3)
        warning(file, line, std::string(what) + " \"" + text + "\" lacks an offset; 0 is used");
    else if (!isNumberWord(words[1]) || !isNumberWord(words[2]))
        error(file, line, std::string(what) + " \"" + text + "\": the offsets must be two numbers");
    return name;
}

// Sounds and particle lines of the frames the fighter shows.
void checkFighterFrames(const CSpriteBase& set, const std::string& folder, soundSet& sounds, partInfoList& defs) {
    std::string info = folder + "/info";
    for (int i = 0; i < set.numFrames && i < static_cast<int>(set.frames.size()); ++i) {
        const frameInfo& frame = set.frames[i];
        if (!frame.image) continue;
        if (soundsLoaded && !frame.sound.empty() && frame.sound != "NULL" && !sounds.find(frame.sound))
            error(info, frame.soundLine, "sound \"" + frame.sound + "\" is in no sound list");
        for (size_t j = 0; j < frame.particles.size(); ++j) {
            int line = frame.particleLines[j];
            if (checkSpawn(info, line, frame.particles[j], defs, true, "particle line") == "NULL")
                warning(info, line, "particle line NULL launches nothing; lower the count instead");
        }
    }
}

// --- Moves ---

// Where a condition holds, as the game evaluates it: bit 0 on the floor,
// bit 1 in the air. `read` keeps the words the evaluation read.
int conditionMask(const std::string& text, Condition& read) {
    if (text == "null") return 3;
    Fighter standing, flying;
    standing.grounded = true;
    flying.grounded = false;
    Target target;
    int mask = 0;
    if (read.getResult(text, &standing, &target)) mask |= 1;
    if (read.getResult(text, &flying, &target)) mask |= 2;
    return mask;
}

void checkCondition(const std::string& file, int line, const std::string& text, const Condition& read) {
    if (text == "null") return;
    std::string quoted = "condition \"" + text + "\"";
    if (read.bits[0].empty()) {
        error(file, line, "condition is empty: it never holds, so the move never starts (write null for none)");
    } else if (read.bits[0] == "null") {
        error(file, line, quoted + " is not just null: it is evaluated, never holds, and the move never starts");
    } else if (read.bits[0] != "ground") {
        error(file, line,
              quoted + " is not understood: \"" + read.bits[0] +
                  "\" is no subject (only ground is), so the move never starts");
    } else {
        if (read.bits[2] != "true" && read.bits[2] != "false")
            warning(file, line,
                    quoted + ": the value is neither true nor false, so it holds only in the air");
        if (splitWords(text, 4).size() > 3) warning(file, line, quoted + ": words after the third are ignored");
    }
}

void checkMoves(moveSet& moves) {
    std::string file = moves.folder + "/moveset";
    std::vector<int> masks(moves.moves.size(), 0);
    for (size_t i = 0; i < moves.moves.size(); ++i) {
        const moveInfo& move = moves.moves[i];
        if (move.name.empty() || move.line <= 0) continue;
        Condition read;
        masks[i] = conditionMask(move.condition, read);
        checkCondition(file, move.conditionLine, move.condition, read);

        const std::string& command = move.command;
        if (command.empty()) continue;  // reported by the loader
        size_t odd = command.find_first_not_of("ABCUDLR");
        if (odd != std::string::npos) {
            error(file, move.commandLine,
                  "command \"" + command + "\" holds \"" + command.substr(odd, 1) +
                      "\", which no key gives (A B C U D L R)");
            continue;
        }
        char button = command.back();
        if (button != 'A' && button != 'B' && button != 'C') {
            error(file, move.commandLine,
                  "command \"" + command +
                      "\" does not end with a button (A, B or C): the move can never be performed");
            continue;
        }
        // Earlier moves on the same button whose command stands inside this
        // one are found first whenever this one is typed.
        int covered = 0;
        std::string earlier;
        for (size_t e = 0; e < i; ++e) {
            const moveInfo& before = moves.moves[e];
            if (before.command.empty() || before.command.back() != button || masks[e] == 0) continue;
            if (command.find(before.command) == std::string::npos) continue;
            covered |= masks[e];
            earlier += (earlier.empty() ? "" : ", ") + before.name + " (\"" + before.command + "\", line " +
                       std::to_string(before.line) + ")";
        }
        if (masks[i] != 0 && (masks[i] & ~covered) == 0)
            error(file, move.commandLine,
                  "command \"" + command + "\" can never win: the earlier " + earlier +
                      " occurs inside it and is found first");
    }
}

// --- The character ---

void checkCharacter(animationSet& anims, moveSet& moves, soundSet& sounds, partInfoList& defs) {
    std::string list = anims.folder + "/info";
    if (!filesUnopened.count(list)) {
        for (const char* needed : kNeededAnimations) {
            bool found = false;
            for (const animInfo& anim : anims.anims) found = found || anim.name == needed;
            if (!found)
                error(list, 0, std::string("no \"") + needed + "\" animation: the fighter needs it");
        }
    }
    for (animInfo& anim : anims.anims) {
        if (anim.name.empty()) continue;
        std::string folder = anims.folder + "/" + anim.name;
        checkFrameSet(anim.frameSet, folder);
        checkFighterFrames(anim.frameSet, folder, sounds, defs);
    }
    for (moveInfo& move : moves.moves) {
        if (move.name.empty()) continue;
        std::string folder = moves.folder + "/" + move.name;
        checkFrameSet(move.animation, folder);
        checkFighterFrames(move.animation, folder, sounds, defs);
    }
    checkMoves(moves);

    // The fighter saves the background under every frame into a copy of
    // the first "blank" frame.
    const animInfo* blank = nullptr;
    for (const animInfo& anim : anims.anims)
        if (!blank && anim.name == "blank") blank = &anim;
    if (!blank || !blank->frameSet.drawable(0)) return;
    const frameInfo& saver = blank->frameSet.frames[0];
    int bw = saver.image->w, bh = saver.image->h;
    auto compare = [&](const CSpriteBase& set, const std::string& name) {
        for (int i = 0; i < set.numFrames && i < static_cast<int>(set.frames.size()); ++i) {
            const frameInfo& frame = set.frames[i];
            if (!frame.image || (frame.image->w <= bw && frame.image->h <= bh)) continue;
            error(anims.folder + "/blank/info", saver.infoLine,
                  "blank frame is " + sizeText(bw, bh) + ", smaller than a frame of \"" + name + "\" (" +
                      sizeText(frame.image->w, frame.image->h) + ", " + anims.folder + "/" + name + "/info:" +
                      std::to_string(frame.infoLine) + "): the background under it is not saved whole");
            return;
        }
    };
    for (const animInfo& anim : anims.anims) compare(anim.frameSet, anim.name);
    for (const moveInfo& move : moves.moves) compare(move.animation, move.name);
}

// --- Particles ---

void checkParticles(partInfoList& defs) {
    std::string list = std::string(kParticleFolder) + kParticleList;
    if (filesUnopened.count(list)) return;
    std::vector<const partInfoNode*> nodes;
    for (const partInfoNode* node = defs.head; node; node = node->next) nodes.push_back(node);
    std::reverse(nodes.begin(), nodes.end());  // the list keeps the newest first
    for (const partInfoNode* node : nodes) {
        const particleInfo& info = node->info;
        std::string folder = kParticleFolder + node->name;
        if (info.base) checkFrameSet(*info.base, folder);
        std::string settings = folder + "/particle";
        if (filesUnopened.count(settings)) continue;
        const std::vector<std::string>* events[] = {&info.onDeath, &info.onHitPlayer, &info.onHitEnemy,
                                                    &info.onHitTarget, &info.onHitAlly};
        for (int e = 0; e < 5; ++e) {
            const std::vector<std::string>& entries = *events[e];
            std::string what = std::string(kEventNames[e]) + " entry";
            for (size_t j = 0; j < entries.size(); ++j) {
                int line = info.eventEntryLines[e][j];
                // Only death is ever raised, and only when its first entry is not NULL.
                bool launched = e == 0 && entries[0] != "NULL";
                checkSpawn(settings, line, entries[j], defs, launched, what.c_str());
                if (e == 0 && j > 0 && !launched)
                    warning(settings, line,
                            "OnDeath entry never launched: the first entry is NULL, so death launches nothing");
            }
        }
    }
    if (!defs.findParticle(kStartParticle))
        error(list, 0,
              std::string("no \"") + kStartParticle + "\" definition: the particle launched at start-up shows nothing");
}

// --- What a character brings to versus ---

// Every character folder's "stats", its particle list "data/particle/NAME"
// and its sound folder, each when there, and "data/versus/sound": read as
// versus reads them, what they report collected.
void checkVersusFiles(SDL_Surface* screen, loadPolicy& checking) {
    for (const std::string& name : listFolder("data")) {
        std::string folder = "data/" + name;
        if (fileSize((folder + "/info").c_str()) < 0) continue;
        int health = kDefaultHealth;
        readCharacterStats(folder, health, checking);
        if (fileSize((kParticleFolder + name).c_str()) >= 0) {
            partInfoList own;
            own.addList(name.c_str(), screen, checking);
        }
        if (soundsLoaded && isFolder(folder + "/sound")) soundSet().addToList((folder + "/sound").c_str(), checking);
    }
    if (soundsLoaded && isFolder("data/versus/sound")) soundSet().addToList("data/versus/sound", checking);
}

// --- The data folder ---

// The game reads "keys.txt" from its own folder, the one that holds "data".
std::string keyFileBeside(const std::string& dataFolder) {
    size_t slash = dataFolder.find_last_of('/');
    if (slash == std::string::npos) return kKeyFile;
    return dataFolder.substr(0, slash + 1) + kKeyFile;
}

// Reads the key file as the game does; what it reports is collected. A
// missing file is a problem only when it was asked for by name.
void checkKeyFile(bool named, loadPolicy& checking) {
    if (keysOpened.empty() || fileSize(keysOpened.c_str()) < 0) {
        if (named) error(keysOpened, 0, "no such file");
        return;
    }
    keyBindings bindings;
    bindPlayerKeys(bindings);
    loadKeyFile(keysOpened, bindings, checking);
}

// --- Tables of the moves ---

typedef std::vector<std::vector<std::string>> table;

// `rows` with each column padded to its widest cell.
void printTable(const table& rows) {
    std::vector<size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    for (const auto& row : rows) {
        std::string line;
        for (size_t c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c] + std::string(widths[c] - row[c].size() + 2, ' ') : row[c];
        std::printf("%s\n", line.c_str());
    }
}

// One row per move, in file order: its frame data.
void printFrameTable(moveSet& moves) {
    table rows = {{"move", "startup", "active", "recovery", "damage", "on hit", "total", "travel", "particles"}};
    for (const moveInfo& move : moves.moves) {
        if (move.name.empty()) continue;
        moveFrameData data = frameDataOf(move.animation, kFighterSpeed, kStepMs);
        std::string total = data.framesLoaded ? timingText(data.totalMs) : "-";
        std::string travel = "-";
        std::string particles;
        if (data.framesLoaded) {
            travel = std::to_string(data.travel) + " px";
            if (data.lift > 0) travel += ", up " + std::to_string(data.lift) + " px";
            for (const particleLaunch& launch : data.launches) {
                std::vector<std::string> words = splitWords(launch.line, 1);
                std::string name = words.empty() ? launch.line : words[0];
                particles += (particles.empty() ? "" : ", ") + name + " at " + std::to_string(launch.atMs) + " ms";
            }
        }
        rows.push_back({move.name, startupText(data), activeText(data), recoveryText(data),
                        damageText(data, move.hit), onHitText(data, move.hit), total, travel,
                        particles.empty() ? "-" : particles});
    }
    std::printf("frame data at speed %.1f: a frame lasts its pause x %.1f ms; f: frames at 60 Hz; "
                "travel at one movement step per %d ms\n",
                kFighterSpeed, kFighterSpeed, kStepMs);
    printTable(rows);
}

// One row per move, in file order: its command, the line of the moveset it
// starts on, and its condition (last: it has spaces).
void printMoveTable(moveSet& moves) {
    table rows = {{"move", "command", "where", "condition"}};
    std::string file = shown(std::string(kCharacter) + "/moveset");
    for (const moveInfo& move : moves.moves) {
        if (move.name.empty()) continue;
        rows.push_back({move.name, move.command.empty() ? "-" : move.command, file + ":" + std::to_string(move.line),
                        move.condition.empty() ? "-" : move.condition});
    }
    printTable(rows);
}

// The moves alone, loaded as start-up loads them, then their table and the
// problems loading met, if any.
int moveReport(void (*printRows)(moveSet&), loadPolicy& checking) {
    sceneContent content;
    silence();
    loadContent(content, movesPart, nullptr, checking);
    speak();
    printRows(content.moves);
    std::fflush(stdout);
    if (problems.empty()) {
        printed = true;
        return 0;
    }
    return printProblems();
}

// --- The command line ---

struct checkChoices {
    void (*moveTable)(moveSet&) = nullptr;  // --frames or --moves: that table instead of the checks
    bool keysNamed = false;                 // --keys named the key file
    std::string keys;                       // that file, as given
    bool help = false;
};

bool chooseTable(checkChoices& chosen, void (*table)(moveSet&), std::string& problem) {
    if (chosen.moveTable) {
        problem = "one table at a time";
        return false;
    }
    chosen.moveTable = table;
    return true;
}
bool chooseFrames(checkChoices& chosen, const char*, std::string& problem) {
    return chooseTable(chosen, printFrameTable, problem);
}
bool chooseMoves(checkChoices& chosen, const char*, std::string& problem) {
    return chooseTable(chosen, printMoveTable, problem);
}
bool setKeys(checkChoices& chosen, const char* value, std::string& problem) {
    if (chosen.keysNamed) {
        problem = "given twice";
        return false;
    }
    chosen.keysNamed = true;
    chosen.keys = value;
    return true;
}

const optionSpec<checkChoices> kOptions[] = {
    {"--frames", nullptr, "print the frame data of every move instead of checking", chooseFrames},
    {"--moves", nullptr, "print every move's command, moveset line and condition instead", chooseMoves},
    {"--keys", "FILE", "check FILE as the key file", setKeys},
    {"--help", nullptr, "print the usage", setFlag<checkChoices, &checkChoices::help>},
    {"-h", nullptr, "the same", setFlag<checkChoices, &checkChoices::help>},
};

void usage() { std::fprintf(stderr, "usage: fightscene-check [--frames | --moves] [--keys FILE] [DATA_FOLDER]\n"); }

}  // namespace

int main(int argc, char* argv[]) {
    checkChoices chosen;
    operandList operands;  // the data folder
    operands.most = 1;
    std::string mistake;  // the usage says enough
    if (!readOptions(kOptions, argc, argv, chosen, operands, mistake)) {
        usage();
        return 2;
    }
    if (chosen.help) {
        usage();
        return 0;
    }
    void (*moveTable)(moveSet&) = chosen.moveTable;
    bool keysNamed = chosen.keysNamed;
    std::string dataFolder = operands.words.empty() ? defaultDataFolder(argv[0]) : operands.words[0];
    while (dataFolder.size() > 1 && dataFolder.back() == '/') dataFolder.pop_back();
    shownRoot = dataFolder;
    keysShown = keysNamed ? chosen.keys : findKeyFile(keyFileBeside(dataFolder));
    // Opened after the working folder changes, so made absolute here.
    std::string here = currentFolder();
    bool keysAbsolute = keysShown.empty() || std::filesystem::path(keysShown).is_absolute();
    keysOpened = keysAbsolute || here.empty() ? keysShown : here + "/" + keysShown;
    if (!isFolder(dataFolder)) {
        error("data", 0, "no such folder");
        return printProblems();
    }
    std::string scratch;
    if (!enterDataParent(dataFolder, scratch)) {
        removeDataScratch(scratch);
        error("data", 0, "the folder can't be entered");
        return printProblems();
    }

    // Headless: frame sets are converted for a display that is never shown.
    setEnvironment("SDL_VIDEODRIVER", "dummy", true);
    setEnvironment("SDL_AUDIODRIVER", "dummy", true);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        std::fprintf(stderr, "fightscene-check: SDL can't start: %s\n", SDL_GetError());
        removeDataScratch(scratch);
        return 2;
    }
    bool audio = Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048) >= 0;
    SDL_Surface* screen = SDL_SetVideoMode(kScreenWidth, kScreenHeight, 32, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "fightscene-check: no display: %s\n", SDL_GetError());
        removeDataScratch(scratch);
        return 2;
    }

    // Every message is collected, and a bitmap that can't be read is a problem
    // like any other rather than the end.
    loadPolicy checking = keepGoingPolicy();
    checking.listener = collect;
    std::atexit(onExit);

    int status;
    if (moveTable) {
        status = moveReport(moveTable, checking);
    } else {
        sceneContent content;
        silence();
        // All that start-up loads, in its order, and the training partner;
        // the sounds only with a device to load them for.
        soundsLoaded = audio;
        unsigned parts = allContentParts | partnerPart;
        loadContent(content, audio ? parts : parts & ~soundsPart, screen, checking);
        if (!content.sounds) content.sounds.reset(new soundSet());

        checkCharacter(content.anims, content.moves, *content.sounds, content.defs);
        checkParticles(content.defs);
        checkVersusFiles(screen, checking);
        SDL_Surface* back = content.back;
        if (back && (back->w < kScreenWidth || back->h < kScreenHeight))
            warning("data/tBG2.bmp", 0,
                    "background is " + sizeText(back->w, back->h) + ", smaller than the " +
                        sizeText(kScreenWidth, kScreenHeight) + " screen");
        checkKeyFile(keysNamed, checking);
        speak();
        if (!audio) warning("data", 0, "no audio device: the sound lists were not checked");
        status = printProblems();
    }
    removeDataScratch(scratch);
    return status;
}
