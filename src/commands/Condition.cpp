#include "commands/Condition.h"

#include <cstdio>
#include <sstream>

#include "fighter/Fighter.h"

bool Condition::getResult(std::string text, Fighter* who, Target* aim) {
    fighter = who;
    target = aim;

    // Subject, relation, value: words past the third take no part in any rule.
    for (std::string& bit : bits) bit.clear();
    std::istringstream words(text);
    std::string word;
    for (int i = 0; i < 3 && words >> word; ++i) {
        bits[i] = word;
        std::printf("BIT[%d]: %s\n", i, word.c_str());
    }
    std::fflush(stdout);

    if (bits[0] != "ground") return false;
    return ground();
}

bool Condition::ground() {
    if (!fighter) return false;
    // The relation word is never examined: "ground = true" and "ground is true" agree.
    return bits[2] == "true" ? fighter->grounded : !fighter->grounded;
}
