#pragma once
// The scene's target fighter, handed to every condition evaluation.
class Fighter;

class Target {
public:
    Fighter* target = nullptr;  // borrowed

    void setTarget(Fighter* fighter);
    Fighter* returnTarget();
};
