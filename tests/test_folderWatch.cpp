// Change notices for a folder tree: what counts as a change, in the folder,
// in its subfolders and in subfolders made after the watch began, and what
// (reading, nothing at all) does not.
#include <gtest/gtest.h>
#include <utime.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/folderWatch.h"
#include "platform/platform.h"
#include "testSupport.h"

namespace {
struct step {
    const char* what;
    std::function<void(const std::string& root)> act;
    bool changed;  // what folderChanged says right after
};

struct watchCase {
    const char* name;
    std::vector<step> steps;
};
}  // namespace

TEST(FolderWatch, ChangesAnywhereUnderTheFolderAreSeenOnceAndReadsAreNot) {
    auto nothing = [](const std::string&) {};
    const std::vector<watchCase> cases = {
        {"quiet", {{"nothing", nothing, false}}},
        {"reading", {{"read a file", [](const std::string& r) { readFile(r + "/Burn/info"); }, false}}},
        {"rewrite in the folder",
         {{"rewrite", [](const std::string& r) { writeFile(r + "/tBG2.bmp", "new"); }, true},
          {"nothing more", nothing, false}}},
        {"rewrite in a subfolder",
         {{"rewrite", [](const std::string& r) { writeFile(r + "/Burn/standing/info", "FILES: 0\n"); }, true}}},
        {"remove", {{"remove", [](const std::string& r) { std::remove((r + "/Burn/info").c_str()); }, true}}},
        {"save by rename",
         {{"write beside", [](const std::string& r) { writeFile(r + "/Burn/info.new", "ANIMS: 0\n"); }, true},
          {"rename over",
           [](const std::string& r) { std::filesystem::rename(r + "/Burn/info.new", r + "/Burn/info"); },
           true}}},
        {"touch", {{"touch", [](const std::string& r) { utime((r + "/Burn/info").c_str(), nullptr); }, true}}},
        {"new subfolder",
         {{"make a folder", [](const std::string& r) { makeFolders(r + "/Tor"); }, true},
          {"write in it", [](const std::string& r) { writeFile(r + "/Tor/sound", "SOUNDS: 0\n"); }, true},
          {"nothing more", nothing, false}}},
    };
    for (const watchCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string root = makeTempDir("watch") + "/data";
        writeFile(root + "/tBG2.bmp", "old");
        writeFile(root + "/Burn/info", "ANIMS: 1\nstanding\n");
        writeFile(root + "/Burn/standing/info", "FILES: 1\n");
        std::string problem;
        folderWatch* watch = watchFolder(root.c_str(), problem);
        ASSERT_NE(nullptr, watch) << problem;
        for (const step& s : c.steps) {
            s.act(root);
            EXPECT_EQ(s.changed, folderChanged(watch)) << s.what;
        }
        unwatchFolder(watch);
    }
}

TEST(FolderWatch, MissingFolderIsRefusedWithAReason) {
    std::string problem;
    folderWatch* watch = watchFolder((makeTempDir("watch") + "/nothing").c_str(), problem);
    EXPECT_EQ(nullptr, watch);
    EXPECT_NE(std::string::npos, problem.find("No such file")) << problem;
    EXPECT_FALSE(folderChanged(nullptr));
    unwatchFolder(nullptr);
}
