// Key-letter sequences with times fed to the input checker over a small move
// set like the bundled one, as the player control feeds it: presses, then
// update with the pass's clock. Times mostly run forward as the game gives
// them, sometimes backward. What update answers is checked against the
// recognition rules: the last button's list, file order, the command inside
// the buffered word, a drawable move, a condition that holds, and an empty
// buffer after every search.
//
// Input: pairs of bytes. First byte: bits 0-2 pick the letter (A B C U D R L,
// 7 a letter that is no key), bit 6 ends the pass (update is called), bit 7
// toggles the fighter between floor and air. Second byte: the time step in
// milliseconds (0..223), or 224..255 for a step back of up to 3.1 s.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/Condition.h"
#include "commands/Target.h"
#include "commands/inputChecker.h"
#include "data/moveSet.h"
#include "fighter/Fighter.h"
#include "fuzzSupport.h"

namespace {
moveSet* moves = nullptr;  // loaded once

const char* const kMoveset =
    "ANIMS: 10\n"
    "risingFlame\nRDRA\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground = true\n"
    "flameThrow\nDRA\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground = true\n"
    "dashPunch\nRA\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground = true\n"
    "jab\nA\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nnull\n"
    "flyingKick\nB\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground = false\n"
    "sweep\nDB\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground = true\n"
    "frontKick\nB\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground = true\n"
    "spinKick\nC\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nnull\n"
    "noFrames\nLLC\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nnull\n"
    "upper\nURC\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nground is true\n";


int bufferLength(const inputChecker& checker) {
    int n = 0;
    for (inputNode* node = checker.head; node; node = node->next) ++n;
    return n;
}

// The move the rules pick for `keys` (the buffer's letters after the age
// step), or null.
moveInfo* expectedMove(const inputChecker& checker, const std::string& keys, Fighter* fighter, Target* target) {
    size_t last = keys.find_last_of("ABC");
    if (last == std::string::npos) return nullptr;
    char button = keys[last];
    moveNode* list = button == 'A' ? checker.aList : button == 'B' ? checker.bList : checker.cList;
    for (; list; list = list->next) {
        moveInfo* move = list->move;
        if (move->command.empty() || keys.find(move->command) == std::string::npos) continue;
        if (!move->animation.drawable(0)) continue;
        if (move->condition != "null") {
            Condition condition;
            if (!condition.getResult(move->condition, fighter, target)) continue;
        }
        return move;
    }
    return nullptr;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string folder = quietStart("char");
    writeCharacterFolders(folder);
    writeText(folder + "/moveset", kMoveset);
    moves = new moveSet;
    moves->loadAll(folder.c_str(), quietLoading());
    if (moves->count != 10) fail("the move set did not load");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char letters[] = {'A', 'B', 'C', 'U', 'D', 'R', 'L', 'X'};
    Fighter fighter;
    fighter.grounded = true;
    fighter.action = "walk";
    Target target;
    target.setTarget(&fighter);
    inputChecker checker(moves, &fighter);
    checker.target = &target;

    int now = 1000;
    if (checker.update(now) != nullptr) fail("update of an empty buffer answered a move");
    for (size_t i = 0; i + 1 < size; i += 2) {
        uint8_t control = data[i];
        uint8_t step = data[i + 1];
        now += step < 224 ? step : -100 * (step - 223);
        if (control & 0x80) fighter.grounded = !fighter.grounded;

        inputKeys press;
        press.time = now;
        press.key = letters[control & 7];
        press.action = fighter.action;
        checker.acceptInput(press);
        if (checker.inputCount != bufferLength(checker)) fail("inputCount is not the buffer's length");
        if (!(control & 0x40)) continue;

        // End of the pass: the age step, then the search.
        checker.shaveOff(now);
        std::string keys;
        for (inputNode* node = checker.head; node; node = node->next) keys += node->key;
        moveInfo* expected = expectedMove(checker, keys, &fighter, &target);
        moveInfo* answer = checker.update(now);
        if (answer != expected) fail("update answered another move than the rules pick");
        if (keys.find_first_of("ABC") != std::string::npos && (checker.head || checker.inputCount != 0))
            fail("a search left presses in the buffer");
        if (checker.inputCount != bufferLength(checker)) fail("inputCount is not the buffer's length");
    }
    checker.print();
    return 0;
}
