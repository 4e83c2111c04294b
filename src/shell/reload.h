#pragma once
// Loading the scene's content again while it runs: on F5, or by itself
// when files under "data" change (--watch).
#include "shell/scene.h"

// Starts watching "data" for changes; prints whether it can.
void watchData(dataWatch& watch);
// True once files under "data" changed and then stayed quiet for a moment,
// by the engine's clock. False when not watching. When watching stops for
// good it prints why, once, and watches no more.
bool dataSettled(dataWatch& watch);
// Loads everything the scene reads from "data" beside the content in use.
// When it all loaded without a report, the new content replaces the old:
// the live particles are removed, the fighter keeps his place and facing
// and stands, and the new background is painted once. Otherwise the
// reports are printed and the scene goes on with what it had. True when
// the new content is in use.
bool reloadScene(gameScene& scene);
