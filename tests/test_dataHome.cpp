// Where the game finds "data": beside the program first, else in the
// installed share folder relative to the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/dataHome.h"
#include "testSupport.h"

TEST(DataHome, BesideTheProgramFirstThenTheInstalledShareFolder) {
    const std::string installed = "/games/../share/games/fightscene";
    struct layout {
        const char* name;
        std::vector<std::string> folders;  // made under the root
        std::vector<std::string> files;    // made under the root
        std::string expected;              // under the root
    };
    const layout layouts[] = {
        {"build tree", {"/games/data"}, {}, "/games"},
        {"installed", {"/share/games/fightscene/data"}, {}, installed},
        {"both: beside wins", {"/games/data", "/share/games/fightscene/data"}, {}, "/games"},
        {"neither", {"/share/games/fightscene"}, {}, "/games"},
        {"a file named data is no folder", {"/share/games/fightscene/data"}, {"/games/data"}, installed},
        {"installed data a file", {}, {"/share/games/fightscene/data"}, "/games"},
    };
    for (const layout& l : layouts) {
        std::string root = makeTempDir("datahome");
        makeDirs(root + "/games");
        for (const std::string& folder : l.folders) makeDirs(root + folder);
        for (const std::string& file : l.files) writeFile(root + file, "");
        EXPECT_EQ(root + l.expected, dataHomeOf(root + "/games")) << l.name;
    }
}

TEST(DataHome, AProgramWithoutAFolderLooksInTheWorkingFolder) {
    std::string root = makeTempDir("datahome");
    makeDirs(root + "/bin");
    makeDirs(root + "/share/games/fightscene/data");
    inFolder(root + "/bin", [] { EXPECT_EQ("./../share/games/fightscene", dataHomeOf("")); });
    makeDirs(root + "/bin/data");
    inFolder(root + "/bin", [] { EXPECT_EQ("", dataHomeOf("")); });
}
