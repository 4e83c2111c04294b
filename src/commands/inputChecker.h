#pragma once
// Recognises command sequences in the stream of key presses: the letters of
// the last 600 ms form a word, searched when a button arrives.
#include <deque>
#include <string>
#include <vector>

#include "data/frameData.h"
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
extern const int kInputDelay;

// What a search found about one move of the list it searched.
enum class verdict { notTyped, framesNotLoaded, conditionFalse, recognised };

// One move tried by a search, copied so that the journal outlives the set.
struct moveVerdict {
    std::string name;
    std::string command;
    std::string condition;
    verdict outcome = verdict::notTyped;
    moveFrameData timing;  // recognised: the move's frame data
};

// A press as it was buffered, or the answer of a search.
struct journalEntry {
    int time = 0;        // clock of the press, or of the button searched, ms
    char key = 0;        // the press's letter; 0 for an answer
    char button = 0;     // answer: the button whose list was searched
    std::string keys;    // answer: the letters searched
    std::vector<moveVerdict> verdicts;  // answer: the moves tried, in file order
};

// Entries the journal keeps.
const size_t kJournalLength = 32;

class inputChecker {
public:
    inputNode* head = nullptr;   // oldest press; owned
    int inputCount = 0;
    moveNode* aList = nullptr;   // moves ending in A, file order; owned nodes
    moveNode* bList = nullptr;
    moveNode* cList = nullptr;
    Fighter* fighter = nullptr;  // borrowed
    Target* target = nullptr;    // borrowed; set by start-up
    bool journalOn = false;      // keep the journal (the input display turns it on)
    std::deque<journalEntry> journal;  // newest last, at most kJournalLength

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

    // Adds an entry to the journal while it is on, dropping the oldest.
    void remember(journalEntry entry);
};
