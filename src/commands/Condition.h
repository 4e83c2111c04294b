#pragma once
// Evaluates a move's condition text, such as "ground = true", for a fighter.
#include <string>

class Fighter;
class Target;

class Condition {
public:
    std::string bits[3];         // first three words of the text
    Fighter* fighter = nullptr;  // borrowed
    Target* target = nullptr;    // borrowed; no rule reads it

    bool getResult(std::string text, Fighter* fighter, Target* target);
    // The ground rule on the stored words, without testing the first word.
    bool ground();
};
