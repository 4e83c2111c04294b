// Data files open only when they are regular files: a pipe, a device or a
// folder in a data folder must not block the start-up or be read forever.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "data/textFile.h"
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

    TextFile file(gameLoading());
    EXPECT_FALSE(file.open(pipe));
    EXPECT_FALSE(file.open(dir + "/zero"));
    EXPECT_FALSE(file.open(dir));
}

// A data file is read whole by its descriptor: as much as is asked for, or
// up to its end.
TEST(DataFiles, ReadsAsMuchAsAskedOrToTheEnd) {
    std::string dir = makeTempDir("datafile");
    const struct {
        size_t fileBytes;
        size_t asked;
        size_t read;
    } cases[] = {{0, 16, 0}, {1, 1, 1}, {26678, 26678, 26678}, {26678, 1000, 1000}, {70000, 100000, 70000}};
    for (const auto& c : cases) {
        std::string bytes(c.fileBytes, '\0');
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
        writeFile(dir + "/f", bytes);
        int fd = openDataFile((dir + "/f").c_str());
        ASSERT_GE(fd, 0);
        std::string buffer(c.asked, 'x');
        EXPECT_EQ(c.read, readDataFile(fd, &buffer[0], c.asked)) << c.fileBytes << " bytes, " << c.asked << " asked";
        EXPECT_EQ(bytes.substr(0, c.read), buffer.substr(0, c.read)) << c.fileBytes << " bytes, " << c.asked << " asked";
        closeDataFile(fd);
    }
}
