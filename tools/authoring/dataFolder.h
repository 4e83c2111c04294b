#pragma once
// Where the tools find the game's "data" folder when none is named.
#include <string>

// The data folder a tool reads when none is given: "data" in the working
// folder, else in the game's data home (beside the executable, or the
// installed share folder), else beside the executable's folder (a build
// tree's tools). "" when there is none. The working directory is kept.
std::string defaultDataFolder(const char* argv0);
