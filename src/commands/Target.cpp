#include "commands/Target.h"

void Target::setTarget(Fighter* fighter) { target = fighter; }

Fighter* Target::returnTarget() { return target; }
