// A move's condition text, evaluated by Condition::getResult for a fighter
// on the floor, one in the air, and no fighter.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "commands/Condition.h"
#include "commands/Target.h"
#include "fighter/Fighter.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = asText(data, size);
    Fighter fighter;
    Target target;
    target.setTarget(&fighter);

    fighter.grounded = true;
    Condition onFloor;
    bool floorResult = onFloor.getResult(text, &fighter, &target);
    fighter.grounded = false;
    Condition inAir;
    bool airResult = inAir.getResult(text, &fighter, &target);
    Condition nobody;
    bool nobodyResult = nobody.getResult(text, nullptr, &target);

    // The words are the text's first three, as a stream reads them.
    std::istringstream words(text);
    std::string expected[3];
    for (int i = 0; i < 3 && words >> expected[i]; ++i) {
    }
    for (int i = 0; i < 3; ++i)
        if (onFloor.bits[i] != expected[i] || inAir.bits[i] != expected[i]) fail("the words are not the text's");

    // "ground" conditions hold in exactly one of the two states; others never.
    if (expected[0] == "ground") {
        if (floorResult == airResult) fail("a ground condition holds on the floor and in the air alike");
        if (floorResult != (expected[2] == "true")) fail("ground = true does not follow the floor");
    } else if (floorResult || airResult) {
        fail("a condition without the subject ground holds");
    }
    if (nobodyResult) fail("a condition holds with no fighter");
    return 0;
}
