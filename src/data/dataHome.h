#pragma once
// Where the game's "data" is installed, and how a data folder of any name
// becomes the "data" that the fixed "data/..." paths read.
#include <string>

// The folder holding the "data" a program in `programFolder` reads: that
// folder itself when "data" is beside the program (a build or an unpacked
// copy), else the installed share folder relative to it,
// "../share/games/fightscene" (the game in /usr/games, the tools in
// /usr/bin). `programFolder` itself when neither holds a "data" folder, so
// that the loaders report the missing files there.
std::string dataHomeOf(const std::string& programFolder);
// dataHomeOf the folder holding the running executable ("" when that is the
// working folder).
std::string dataHomeOfProgram(const char* argv0);
// Makes dataHomeOfProgram(argv0) the working directory, so the fixed
// relative data paths work from wherever the program is started. Returns
// false when the folder can't be entered.
bool enterDataHome(const char* argv0);

// Makes the working directory a folder whose "data" is `dataFolder`, as the
// fixed "data/..." paths expect: its parent when it is named "data", else a
// new scratch folder (returned in `scratch`) holding a link named "data".
bool enterDataParent(const std::string& dataFolder, std::string& scratch);
// Removes the scratch folder of enterDataParent and its link, if one was made.
void removeDataScratch(const std::string& scratch);
