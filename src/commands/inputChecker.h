#pragma once
// Recognises command sequences in the stream of key presses: the letters of
// the last 600 ms form a word, searched when a button arrives.
#include <string>

#include "data/moveSet.h"

class Fighter;
class Target;

// One key press as the player control hands it over.
struct inputKeys {
    int time = 0;        // clock of the pass in which the key went down, milliseconds
    char key = 0;        // 'A' 'B' 'C' 'U' 'D' 'R' 'L'
    std::string action;  // the fighter's action at the press
};

// One buffered press; `next` is the younger one.
struct inputNode {
    int time = 0;
    char key = 0;
    std::string action;
    inputNode* next = nullptr;
};

// Age limit of a buffered press, in tens of milliseconds.
extern const int inputDelay;

class inputChecker {
public:
    inputNode* head = nullptr;   // oldest press; owned
    int inputCount = 0;
    moveNode* aList = nullptr;   // moves ending in A, file order; owned nodes
    moveNode* bList = nullptr;
    moveNode* cList = nullptr;
    Fighter* fighter = nullptr;  // borrowed
    Target* target = nullptr;    // borrowed; set by start-up

    inputChecker(moveSet* moves, Fighter* fighter);
    ~inputChecker();
    inputChecker(const inputChecker&) = delete;
    inputChecker& operator=(const inputChecker&) = delete;

    void getMoveLists(moveSet* moves);
    void acceptInput(inputKeys press);
    // Drops old presses and searches when a button is buffered.
    moveInfo* update(int now);
    moveInfo* findButton();
    moveInfo* checkList(int position, int time, std::string keys);
    void shaveOff(int now);
    void deleteList();
    void print();
    void printB();
};
