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
#include "platform/files.h"
#include "testSupport.h"

namespace {
// Windows hands its notices over a moment after the change, and one change
// may come in several: there a change is waited for, and what follows it
// taken too. Linux queues them at the change itself.
// Windows also keeps a folder that is open (the watch holds every folder
// of the tree open) from being removed until it is closed.
#ifdef _WIN32
const int kNoticeWaitMs = 1000;
const int kNoticeTrailMs = 100;
const bool kWatchedFoldersCanBeRemoved = false;
#else
const int kNoticeWaitMs = 0;
const int kNoticeTrailMs = 0;
const bool kWatchedFoldersCanBeRemoved = true;
#endif

// What folderChanged says once the system had time to say it.
bool changedByNow(folderWatch* watch) {
    bool changed = folderChanged(watch, 0);
    for (int waited = 0; !changed && waited < kNoticeWaitMs; waited += 10) {
        SDL_Delay(10);
        changed = folderChanged(watch, 0);
    }
    for (int waited = 0; changed && waited < kNoticeTrailMs; waited += 10) {
        SDL_Delay(10);
        folderChanged(watch, 0);
    }
    return changed;
}

void rename(const std::string& from, const std::string& to) { std::filesystem::rename(from, to); }

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
    std::vector<watchCase> cases = {
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
        {"subfolder renamed, then changed",
         {{"rename", [](const std::string& r) { rename(r + "/Burn", r + "/Fire"); }, true},
          {"write in it", [](const std::string& r) { writeFile(r + "/Fire/standing/info", "FILES: 2\n"); }, true},
          {"make a folder in it", [](const std::string& r) { makeFolders(r + "/Fire/duck"); }, true},
          {"write in the new one", [](const std::string& r) { writeFile(r + "/Fire/duck/info", "FILES: 0\n"); },
           true},
          {"nothing more", nothing, false}}},
        {"the folder itself replaced by another",
         {{"make another beside", [](const std::string& r) { writeFile(r + ".new/Burn/info", "ANIMS: 0\n"); }, false},
          {"rename it away", [](const std::string& r) { rename(r, r + ".old"); }, true},
          {"rename the other in", [](const std::string& r) { rename(r + ".new", r); }, true},
          {"write in the new one", [](const std::string& r) { writeFile(r + "/Burn/info", "ANIMS: 2\n"); }, true},
          {"write in the old one", [](const std::string& r) { writeFile(r + ".old/Burn/info", "ANIMS: 3\n"); },
           false}}},
        {"editors' swap and backup files",
         {{"vim's swap", [](const std::string& r) { writeFile(r + "/Burn/.info.swp", "swap"); }, false},
          {"emacs' autosave", [](const std::string& r) { writeFile(r + "/Burn/#info#", "save"); }, false},
          {"a backup", [](const std::string& r) { writeFile(r + "/Burn/info~", "ANIMS: 1\n"); }, false},
          {"a scratch file", [](const std::string& r) { writeFile(r + "/Burn/info.TMP", "ANIMS: 1\n"); }, false},
          {"a swap without a dot", [](const std::string& r) { writeFile(r + "/info.swp", "swap"); }, false},
          {"removed again",
           [](const std::string& r) {
               for (const char* name : {"/Burn/.info.swp", "/Burn/#info#", "/Burn/info~", "/Burn/info.TMP",
                                        "/info.swp"})
                   std::remove((r + name).c_str());
           },
           false},
          {"the file itself", [](const std::string& r) { writeFile(r + "/Burn/info", "ANIMS: 0\n"); }, true}}},
    };
    if (kWatchedFoldersCanBeRemoved)
        cases.push_back({"the folder itself removed and made again",
                         {{"remove", [](const std::string& r) { std::filesystem::remove_all(r); }, true},
                          {"nothing more", nothing, false},
                          {"make it again", [](const std::string& r) { writeFile(r + "/Burn/info", "ANIMS: 0\n"); },
                           true},
                          {"write in it", [](const std::string& r) { writeFile(r + "/tBG2.bmp", "newer"); }, true}}});
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
            EXPECT_EQ(s.changed, changedByNow(watch)) << s.what;
            EXPECT_EQ("", watchStopped(watch)) << s.what;
        }
        unwatchFolder(watch);
    }
}

TEST(FolderWatch, WatchingStopsWithAReasonWhenTheFolderAboveIsGone) {
    if (!kWatchedFoldersCanBeRemoved) GTEST_SKIP() << "the system keeps watched folders from being removed";
    std::string above = makeTempDir("watch") + "/game";
    writeFile(above + "/data/Burn/info", "ANIMS: 0\n");
    std::string problem;
    folderWatch* watch = watchFolder((above + "/data").c_str(), problem);
    ASSERT_NE(nullptr, watch) << problem;
    std::error_code failed;
    std::filesystem::remove_all(above, failed);
    ASSERT_FALSE(failed) << failed.message();
    EXPECT_TRUE(changedByNow(watch));
    EXPECT_NE("", watchStopped(watch));
    EXPECT_FALSE(folderChanged(watch, 0)) << "nothing more once stopped";
    unwatchFolder(watch);
}

TEST(FolderWatch, EditorScratchNamesAreToldApart) {
    for (const char* name : {".info.swp", ".#info", "#info#", "info~", "info.swp", "frame01.bmp.tmp", "X.TMP", ".git"})
        EXPECT_TRUE(isEditorScratch(name)) << name;
    for (const char* name : {"info", "frame01.bmp", "moveset", "swp", "tmp", "a.swp.bmp", "info#", ""})
        EXPECT_FALSE(isEditorScratch(name)) << name;
}

TEST(FolderWatch, MissingFolderIsRefusedWithAReason) {
    std::string problem;
    folderWatch* watch = watchFolder((makeTempDir("watch") + "/nothing").c_str(), problem);
    EXPECT_EQ(nullptr, watch);
    EXPECT_NE(std::string::npos, problem.find("No such file")) << problem;
    EXPECT_FALSE(folderChanged(nullptr, 0));
    unwatchFolder(nullptr);
}
