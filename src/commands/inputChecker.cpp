// The commands room: key presses become letters, and the buffered letters
// are searched for a move whose command and condition match.
#include "commands/inputChecker.h"

#include <cstdio>

#include "commands/Condition.h"
#include "fighter/Fighter.h"

extern const int kInputDelay = 60;

namespace {
void freeMoveList(moveNode* node) {
    while (node) {
        moveNode* next = node->next;
        delete node;
        node = next;
    }
}
}  // namespace

inputChecker::inputChecker(moveSet* moves, Fighter* who) {
    std::printf("Lets start this up\n");
    std::fflush(stdout);
    head = nullptr;
    inputCount = 0;
    getMoveLists(moves);
    fighter = who;
}

inputChecker::~inputChecker() {
    while (head) {
        inputNode* next = head->next;
        delete head;
        head = next;
    }
    freeMoveList(aList);
    freeMoveList(bList);
    freeMoveList(cList);
}

void inputChecker::getMoveLists(moveSet* moves) {
    freeMoveList(aList);
    freeMoveList(bList);
    freeMoveList(cList);
    aList = bList = cList = nullptr;
    std::printf("A LIST TIME!!!\n");
    std::fflush(stdout);
    if (moves) aList = moves->returnMoveList("A");
    std::printf("B LIST TIME!!!\n");
    std::fflush(stdout);
    if (moves) bList = moves->returnMoveList("B");
    std::printf("C LIST TIME!!!\n");
    std::fflush(stdout);
    if (moves) cList = moves->returnMoveList("C");
}

void inputChecker::acceptInput(inputKeys press) {
    inputNode* node = new inputNode;
    node->time = press.time;
    node->key = press.key;
    node->action = press.action;
    if (!head) {
        head = node;
    } else {
        inputNode* last = head;
        while (last->next) last = last->next;
        last->next = node;
    }
    ++inputCount;
    journalEntry entry;
    entry.time = press.time;
    entry.key = press.key;
    remember(entry);
}

void inputChecker::remember(journalEntry entry) {
    if (!journalOn) return;
    journal.push_back(std::move(entry));
    while (journal.size() > kJournalLength) journal.pop_front();
}

moveInfo* inputChecker::update(int now) {
    if (!head) return nullptr;
    shaveOff(now);
    return findButton();
}

void inputChecker::shaveOff(int now) {
    if (inputCount <= 0) return;
    const long long limit = static_cast<long long>(kInputDelay) * 10;
    // Only entries with a younger successor may go: the youngest press always
    // stays, so a lone old direction waits for the next key.
    inputNode* previous = nullptr;
    inputNode* node = head;
    while (node && node->next) {
        if (static_cast<long long>(now) - node->time > limit) {
            std::printf("Lets try deleting!\n");
            inputNode* next = node->next;
            if (previous)
                previous->next = next;
            else
                head = next;
            delete node;
            --inputCount;
            node = next;
        } else {
            previous = node;
            node = node->next;
        }
    }
    std::fflush(stdout);
}

moveInfo* inputChecker::findButton() {
    std::string keys;
    int position = 0;
    int buttonTime = 0;
    int number = 0;
    for (inputNode* node = head; node; node = node->next) {
        ++number;
        keys += node->key;
        if (node->key == 'A' || node->key == 'B' || node->key == 'C') {
            position = number;
            buttonTime = node->time;
        }
    }
    // Directions alone wait in the buffer for a button.
    if (position == 0) return nullptr;
    return checkList(position, buttonTime, keys);
}

moveInfo* inputChecker::checkList(int position, int time, std::string keys) {
    char button = position >= 1 && position <= static_cast<int>(keys.size()) ? keys[position - 1] : 0;
    moveNode* list = nullptr;
    if (button == 'A') {
        list = aList;
    } else if (button == 'B') {
        list = bList;
        std::printf("Ready are we? with %c\n", button);
    } else if (button == 'C') {
        list = cList;
    }

    // The answer for the journal, one verdict per move tried.
    journalEntry answer;
    answer.time = time;
    answer.button = button;
    answer.keys = keys;
    auto judge = [&](const moveInfo* move, verdict outcome) {
        if (!journalOn) return;
        moveVerdict said;
        said.name = move->name;
        said.command = move->command;
        said.condition = move->condition;
        said.outcome = outcome;
        if (outcome == verdict::recognised) said.timing = frameDataOf(move->animation, kFighterSpeed, kStepMs);
        answer.verdicts.push_back(std::move(said));
    };

    for (moveNode* node = list; node; node = node->next) {
        moveInfo* move = node->move;
        std::printf("Not empty, lucky!\n");
        std::printf("searched %s|| Against %s\n", move->command.c_str(), keys.c_str());
        if (move->command.empty() || keys.find(move->command) == std::string::npos) {
            judge(move, verdict::notTyped);
            std::printf("Next -> \n");
            continue;
        }
        std::printf("Found a move!\n");
        // A move without frames to show can never start.
        if (!move->animation.drawable(0)) {
            judge(move, verdict::framesNotLoaded);
            std::printf("Next -> \n");
            continue;
        }
        if (move->condition != "null") {
            std::printf("Condition much!\n");
            std::fflush(stdout);
            Condition condition;
            if (!condition.getResult(move->condition, fighter, target)) {
                judge(move, verdict::conditionFalse);
                std::printf("Next -> \n");
                continue;
            }
        }
        judge(move, verdict::recognised);
        remember(std::move(answer));
        std::printf("Have Move - %s!\n", move->name.c_str());
        deleteList();
        return move;
    }
    remember(std::move(answer));
    deleteList();
    std::printf("Got nothing\n");
    std::fflush(stdout);
    return nullptr;
}

void inputChecker::deleteList() {
    std::printf("DELETING HAHAHAHA\n");
    std::fflush(stdout);
    while (head) {
        inputNode* next = head->next;
        delete head;
        head = next;
    }
    inputCount = 0;
}

void inputChecker::print() {
    std::printf("Printing\n");
    for (inputNode* node = head; node; node = node->next)
        std::printf("Info: %c %d %s\n", node->key, node->time, node->action.c_str());
    std::fflush(stdout);
}

void inputChecker::printB() {
    std::printf("====================\n");
    std::printf("B LIST\n");
    std::printf("====================\n");
    for (moveNode* node = bList; node; node = node->next) std::printf("Move: %s\n", node->move->name.c_str());
    std::fflush(stdout);
}
