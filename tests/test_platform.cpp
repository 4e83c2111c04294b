// The platform layer's folders, files, environment and output redirection,
// the same on every system it builds for.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "platform/files.h"
#include "data/dataHome.h"
#include "platform/platform.h"
#include "testSupport.h"

TEST(Platform, FoldersAndFilesAreToldApartAndListedInOrder) {
    std::string dir = makeTempDir("platform");
    writeFile(dir + "/b.txt", "12345");
    writeFile(dir + "/a.bmp", "");
    ASSERT_TRUE(makeFolders(dir + "/sub/deeper"));
    EXPECT_EQ((std::vector<std::string>{"a.bmp", "b.txt", "sub"}), listFolder(dir));
    EXPECT_TRUE(listFolder(dir + "/missing").empty());

    struct Case {
        std::string path;
        bool folder;
        int listError;  // errno when the folder can't be listed, else 0
        long long size;
    };
    const Case cases[] = {
        {dir, true, 0, -2},
        {dir + "/sub/deeper", true, 0, -2},
        {dir + "/b.txt", false, ENOTDIR, 5},
        {dir + "/a.bmp", false, ENOTDIR, 0},
        {dir + "/missing", false, ENOENT, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.folder, isFolder(c.path)) << c.path;
        errno = 0;
        EXPECT_EQ(c.listError == 0, canListFolder(c.path)) << c.path;
        if (c.listError) {
            EXPECT_EQ(c.listError, errno) << c.path;
        }
        if (c.size != -2) {
            EXPECT_EQ(c.size, fileSize(c.path.c_str())) << c.path;
        }
    }
    // A file in the way of a folder to be made.
    EXPECT_FALSE(makeFolders(dir + "/b.txt/inside"));
}

TEST(Platform, TheWorkingFolderCanBeAnyDataFolder) {
    std::string dir = makeTempDir("platform");
    writeFile(dir + "/data/info.txt", "bundled");
    writeFile(dir + "/content/info.txt", "other");
    std::string saved = currentFolder();
    ASSERT_FALSE(saved.empty());
    // A folder of another name is entered through a link. Wine makes none
    // (while saying it did): there it must be refused, with nothing left behind.
#ifdef _WIN32
    const bool links = linkFolder(dir + "/content", dir + "/probe");
#else
    const bool links = true;
#endif

    struct Case {
        std::string folder;
        bool enters;
        bool scratchMade;
        std::string seen;  // data/info.txt once inside
    };
    const Case cases[] = {
        {dir + "/data", true, false, "bundled"},
        {dir + "/data/", true, false, "bundled"},
        {dir + "/content", links, links, links ? "other" : ""},
        {dir + "/missing", false, false, ""},
    };
    for (const Case& c : cases) {
        std::string scratch;
        EXPECT_EQ(c.enters, enterDataParent(c.folder, scratch)) << c.folder;
        EXPECT_EQ(c.scratchMade, !scratch.empty()) << c.folder;
        if (c.enters) {
            EXPECT_EQ(c.seen, readFile("data/info.txt")) << c.folder;
        }
        ASSERT_TRUE(changeFolder(saved));
        removeDataScratch(scratch);
        if (!scratch.empty()) {
            EXPECT_FALSE(isFolder(scratch)) << c.folder;
        }
    }
    // The folder linked to is left whole.
    EXPECT_EQ("other", readFile(dir + "/content/info.txt"));
    EXPECT_EQ(fullPath(dir + "/data"), fullPath(dir + "/content/../data"));
}

TEST(Platform, EnvironmentIsSetOrKept) {
    struct Case {
        const char* value;
        bool replace;
        const char* seen;
    };
    const Case steps[] = {
        {"first", false, "first"},
        {"second", false, "first"},
        {"third", true, "third"},
    };
    for (const Case& step : steps) {
        setEnvironment("FIGHTSCENE_PLATFORM_TEST", step.value, step.replace);
        const char* seen = std::getenv("FIGHTSCENE_PLATFORM_TEST");
        ASSERT_NE(nullptr, seen);
        EXPECT_STREQ(step.seen, seen) << step.value;
    }
}

TEST(Platform, StandardOutputGoesIntoAFileOrNowhereAndComesBack) {
    std::string dir = makeTempDir("platform");
    std::string path = dir + "/out.txt";
    struct Case {
        const char* target;  // null: nowhere
        std::string inFile;
    };
    const Case cases[] = {{path.c_str(), "into the file\n"}, {nullptr, "into the file\n"}};
    for (const Case& c : cases) {
        int saved = redirectOutput(1, c.target);
        ASSERT_GE(saved, 0);
        std::printf("into the file\n");
        restoreOutput(1, saved);
        EXPECT_EQ(c.inFile, readFile(path));
    }
    startCapture();
    std::printf("back\n");
    EXPECT_EQ("back\n", stopCapture());
}
