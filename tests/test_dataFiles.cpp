// Data files open only when they are regular files: a pipe, a device or a
// folder in a data folder must not block the start-up or be read forever.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/textFile.h"
#include "testSupport.h"

namespace {
// Ends the test program if a call blocks: a hang then shows as a failure.
struct Watchdog {
    Watchdog() { alarm(10); }
    ~Watchdog() { alarm(0); }
};
}  // namespace

TEST(DataFiles, RegularFilesAndLinksToThemOpen) {
    std::string dir = makeTempDir("datafile");
    writeFile(dir + "/info", "FILES: 0\n");
    ASSERT_EQ(0, symlink((dir + "/info").c_str(), (dir + "/link").c_str()));
    for (const char* name : {"/info", "/link"}) {
        int fd = openDataFile((dir + name).c_str());
        ASSERT_GE(fd, 0) << name;
        char text[9] = {};
        EXPECT_EQ(8, read(fd, text, 8)) << name;
        EXPECT_STREQ("FILES: 0", text);
        close(fd);
    }
    std::FILE* stream = openDataStream((dir + "/info").c_str());
    ASSERT_NE(nullptr, stream);
    EXPECT_EQ('F', std::fgetc(stream));
    std::fclose(stream);
}

TEST(DataFiles, MissingFilesAndFoldersAreRefused) {
    std::string dir = makeTempDir("datafile");
    errno = 0;
    EXPECT_EQ(-1, openDataFile((dir + "/none").c_str()));
    EXPECT_EQ(ENOENT, errno);
    EXPECT_EQ(-1, openDataFile(dir.c_str()));
    EXPECT_EQ(EISDIR, errno);
    EXPECT_EQ(nullptr, openDataStream(dir.c_str()));
}

TEST(DataFiles, PipesAndDevicesAreRefusedWithoutWaiting) {
    Watchdog watchdog;
    std::string dir = makeTempDir("datafile");
    std::string pipe = dir + "/info";
    ASSERT_EQ(0, mkfifo(pipe.c_str(), 0644));
    // Opening a pipe for reading used to wait for a writer that never came.
    EXPECT_EQ(-1, openDataFile(pipe.c_str()));
    EXPECT_EQ(EINVAL, errno);
    // A link to an endless device was read line by line forever.
    ASSERT_EQ(0, symlink("/dev/zero", (dir + "/zero").c_str()));
    EXPECT_EQ(-1, openDataFile((dir + "/zero").c_str()));
    EXPECT_EQ(EINVAL, errno);

    TextFile file;
    EXPECT_FALSE(file.open(pipe));
    EXPECT_FALSE(file.open(dir + "/zero"));
    EXPECT_FALSE(file.open(dir));
}
