#include "data/moveSet.h"

#include <cstdio>

#include "data/textFile.h"

namespace {
// Lines of one move block in the moveset file.
const int kLinesPerMove = 11;
// Longest word a field of the format holds.
const size_t kMaxWord = 79;

// A word field: the first word of the line, or "" (and a message) when it is
// over the format's limit.
std::string wordField(const TextFile& file, const std::string& line, const char* what, bool& fits) {
    std::string word = firstWord(line);
    if (!wordFits(file, word, kMaxWord, what)) {
        fits = false;
        return std::string();
    }
    return word;
}

int intField(const TextFile& file, const std::string& line) {
    int value = 0;
    scanInt(line, value);
    expectNumbers(file, line, 1, "move value");
    return value;
}
}  // namespace

int moveSet::loadAll(const char* characterFolder, loadPolicy& policy) {
    folder = characterFolder ? characterFolder : "";
    moves.clear();
    count = 0;

    std::string path = folder + "/moveset";
    if (!pathFits(nullptr, path, policy)) return 1;
    TextFile file(policy);
    if (!file.open(path)) {
        reportOpenFailure(path, policy);
        return 1;
    }

    std::string line;
    int announced = 0;
    bool headerRead = file.readLine(line) && scanHeader(line, "ANIMS:", announced);
    if (!headerRead) {
        file.report("no move count (\"ANIMS: n\"); no moves read");
        announced = 0;
    }
    // Never allocate more moves than the rest of the file can describe.
    // Trusted: read, and the file holds every block it announces.
    bool countTrusted =
        holdCount(file, announced, kLinesPerMove, "negative move count; no moves read",
                  [](int count, long room) {
                      return "announces " + std::to_string(count) + " moves but holds only " + std::to_string(room);
                  }) &&
        headerRead;
    moves.resize(announced);
    count = announced;

    int loaded = 0;
    for (int i = 0; i < announced; ++i) {
        moveInfo& move = moves[i];
        bool fits = true;  // false once a field is over its limit: the move can't start
        bool complete = true;
        std::string line;
        int nameLine = 0;
        // Each field is taken as soon as its line is read, so a message names that line.
        for (int n = 0; n < kLinesPerMove; ++n) {
            if (!file.readLine(line)) {
                complete = false;
                break;
            }
            switch (n) {
            case 0: {
                nameLine = file.line();
                move.line = nameLine;
                std::string name = wordField(file, line, "move name", fits);
                if (!name.empty()) expectName(file, name, "move name");
                std::printf("Lets Rock!: %s\n", name.c_str());
                if (name.empty()) {
                    if (fits) file.report("move without a name; its frames are not read");
                    move.name.clear();
                } else if (!pathFits(&file, folder + "/" + name, file.policy())) {
                    fits = false;
                    move.name.clear();
                } else {
                    loadAnim(i, name, policy);
                    std::printf("Loaded!\n");
                }
                break;
            }
            case 1:
                move.commandLine = file.line();
                move.command = wordField(file, line, "move command", fits);
                if (fits) expectName(file, move.command, "move command");
                std::printf("Command: %s\n", move.command.c_str());
                break;
            case 2: move.reservedInt1 = intField(file, line); break;
            case 3: move.reservedText1 = wordField(file, line, "move text", fits); break;
            case 4: move.reservedInt2 = intField(file, line); break;
            case 5: move.reservedBool1 = intField(file, line) == 1; break;
            case 6: move.reservedText2 = wordField(file, line, "move text", fits); break;
            case 7: move.reservedInt3 = intField(file, line); break;
            case 8: move.reservedBool2 = intField(file, line) == 1; break;
            case 9: move.reservedBool3 = intField(file, line) == 1; break;
            default:
                move.conditionLine = file.line();
                move.condition = line;
                std::printf("Condition: %s\n", move.condition.c_str());
                break;
            }
            std::fflush(stdout);
        }
        if (!complete) {
            // Pieces of over-long lines never leave fewer reads than lines,
            // so this only guards a file that changes while it is read.
            file.reportAt(nameLine, "move block ends with the file; move dropped");
            move.animation.release();
            break;
        }
        // A rejected field leaves the move out of every command list.
        if (!fits) move.command.clear();
        ++loaded;
    }
    if (loaded < announced) {
        // Shrinking keeps the records in place; nothing points at them yet.
        moves.resize(loaded);
        count = loaded;
    } else if (countTrusted) {
        reportUnreadLines(file, "move block", false);
    }
    file.close();
    return 1;
}

void moveSet::loadAnim(int index, std::string name, loadPolicy& policy) {
    if (index < 0 || index >= static_cast<int>(moves.size())) return;
    moveInfo& move = moves[index];
    move.name = name;
    std::string path = folder + "/" + name;
    std::printf("load folder %s\n", path.c_str());
    std::fflush(stdout);
    if (name.empty() || !pathFits(nullptr, path, policy)) return;
    move.animation.initR(path.c_str(), policy);
    readHitData(path, move.hit, policy);
}

int moveSet::find(std::string name) {
    if (moves.empty()) return -1;
    for (size_t i = 0; i < moves.size(); ++i) {
        if (moves[i].name == name) return static_cast<int>(i);
    }
    return 0;
}

moveInfo* moveSet::returnMove(std::string name) {
    int index = find(name);
    return index < 0 ? nullptr : &moves[index];
}

CSpriteBase* moveSet::returnAnimation(std::string name) {
    moveInfo* move = returnMove(name);
    return move ? &move->animation : nullptr;
}

moveNode* moveSet::returnMoveList(std::string key) {
    std::printf("lets make a list, total is : %d\n", count);
    moveNode* head = nullptr;
    moveNode* tail = nullptr;
    for (moveInfo& move : moves) {
        std::printf("check move %s %s\n", move.name.c_str(), move.command.c_str());
        if (key.empty() || move.command.empty() || move.command.back() != key[0]) continue;
        std::printf("%s based Attack\n", key.c_str());
        moveNode* node = new moveNode;
        node->move = &move;
        if (!head) {
            head = node;
            std::printf("head added\n");
            std::printf("%s %s\n", move.name.c_str(), move.command.c_str());
        } else {
            std::printf("new tailbit added\n");
            tail->next = node;
        }
        tail = node;
    }
    std::fflush(stdout);
    return head;
}
