// The bounded line reader and the field readers every loader shares.
#include <gtest/gtest.h>

#include "data/textFile.h"
#include "testSupport.h"

namespace {
std::vector<std::string> readAll(const std::string& content, std::vector<int>* lines = nullptr) {
    std::string path = makeTempDir("text") + "/file";
    writeFile(path, content);
    TextFile file(gameLoading());
    EXPECT_TRUE(file.open(path));
    std::vector<std::string> pieces;
    std::string piece;
    startCapture();
    while (file.readLine(piece)) {
        pieces.push_back(piece);
        if (lines) lines->push_back(file.line());
    }
    stopCapture();
    return pieces;
}

// Opens a new file `name` holding `content` and reads its first line. The path.
std::string openPastFirstLine(TextFile& file, const char* name, const std::string& content) {
    std::string path = makeTempDir("text") + "/" + name;
    writeFile(path, content);
    EXPECT_TRUE(file.open(path));
    std::string piece;
    file.readLine(piece);
    return path;
}
}  // namespace

TEST(TextFileReading, CrlfAndLfGiveTheSamePieces) {
    std::vector<std::string> lf = readAll("FILES: 2\nabc\n\nlast");
    std::vector<std::string> crlf = readAll("FILES: 2\r\nabc\r\n\r\nlast");
    EXPECT_EQ(lf, crlf);
    EXPECT_EQ((std::vector<std::string>{"FILES: 2", "abc", "", "last"}), lf);
    // A carriage return that ends no line stays in the text.
    EXPECT_EQ((std::vector<std::string>{"a\rb"}), readAll("a\rb\n"));
}

TEST(TextFileReading, LongLinesComeInPiecesOf254CountingTheTerminator) {
    std::string fits(253, 'a');
    std::string over(300, 'b');
    std::vector<int> lines;
    std::vector<std::string> pieces = readAll(fits + "\n" + over + "\nnext\n", &lines);
    ASSERT_EQ(4u, pieces.size());
    EXPECT_EQ(fits, pieces[0]);
    EXPECT_EQ(std::string(254, 'b'), pieces[1]);
    EXPECT_EQ(std::string(46, 'b'), pieces[2]);
    EXPECT_EQ("next", pieces[3]);
    EXPECT_EQ((std::vector<int>{1, 2, 2, 3}), lines);
    // The CRLF twin of a 253-character line still fits in one piece.
    EXPECT_EQ((std::vector<std::string>{fits, "x"}), readAll(fits + "\r\nx"));
    // 254 characters and a terminator: the terminator alone is the next piece.
    EXPECT_EQ((std::vector<std::string>{std::string(254, 'c'), "", "y"}), readAll(std::string(254, 'c') + "\ny"));
    // Where the file ends: a full piece there is the whole line (no second
    // piece, no report), and a last carriage return stays in the text.
    lines.clear();
    EXPECT_EQ((std::vector<std::string>{"h", std::string(254, 'd')}), readAll("h\n" + std::string(254, 'd'), &lines));
    EXPECT_EQ((std::vector<int>{1, 2}), lines);
    EXPECT_EQ((std::vector<std::string>{"h", "a\r"}), readAll("h\na\r"));
}

TEST(TextFileReading, LongLineIsReportedWithFileAndLine) {
    std::string path = makeTempDir("text") + "/list";
    writeFile(path, "one\n" + std::string(400, 'z') + "\n");
    TextFile file(gameLoading());
    ASSERT_TRUE(file.open(path));
    std::string piece;
    startCapture();
    while (file.readLine(piece)) {
    }
    std::string out = stopCapture();
    EXPECT_EQ(path + ":2: line longer than 254 characters; read in pieces\n", out);
}

TEST(TextFileReading, LinesLeftCountsWithoutMoving) {
    TextFile file(gameLoading());
    std::string path = openPastFirstLine(file, "count", "h\na\nb\nc");
    EXPECT_EQ(3, file.linesLeft());
    std::string piece;
    file.readLine(piece);
    EXPECT_EQ("a", piece);
    EXPECT_FALSE(file.open(path + "-missing"));
}

TEST(TextFields, NumbersReadLikeScanfWithoutOverflow) {
    int value = 42;
    EXPECT_TRUE(scanInt("  -17 apples", value));
    EXPECT_EQ(-17, value);
    EXPECT_TRUE(scanInt("+5", value));
    EXPECT_EQ(5, value);
    EXPECT_TRUE(scanInt("12abc", value));
    EXPECT_EQ(12, value);
    EXPECT_TRUE(scanInt("99999999999999999999", value));
    EXPECT_EQ(2147483647, value);
    EXPECT_TRUE(scanInt("-99999999999999999999", value));
    EXPECT_EQ(-2147483647 - 1, value);
    value = 42;
    EXPECT_FALSE(scanInt("x1", value));
    EXPECT_FALSE(scanInt("", value));
    EXPECT_FALSE(scanInt("-", value));
    EXPECT_EQ(42, value);
}

TEST(TextFields, HeadersWordsAndLimits) {
    int count = 0;
    EXPECT_TRUE(scanHeader("FILES: 3", "FILES:", count));
    EXPECT_EQ(3, count);
    EXPECT_TRUE(scanHeader("ANIMS:7", "ANIMS:", count));
    EXPECT_EQ(7, count);
    EXPECT_TRUE(scanHeader("SOUNDS:\t 2 trailing", "SOUNDS:", count));
    EXPECT_EQ(2, count);
    EXPECT_FALSE(scanHeader(" FILES: 3", "FILES:", count));
    EXPECT_FALSE(scanHeader("FILES 3", "FILES:", count));
    EXPECT_FALSE(scanHeader("files: 3", "FILES:", count));
    EXPECT_FALSE(scanHeader("FILES: x", "FILES:", count));

    EXPECT_EQ("walk", firstWord("  walk  extra"));
    EXPECT_EQ("", firstWord(" \t "));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), splitWords("a b\tc d e", 3));

    TextFile file(gameLoading());
    std::string path = openPastFirstLine(file, "limits", "line\n");
    startCapture();
    EXPECT_TRUE(wordFits(file, std::string(79, 'w'), 79, "name"));
    EXPECT_FALSE(wordFits(file, std::string(80, 'w'), 79, "name"));
    EXPECT_TRUE(pathFits(&file, std::string(255, 'p'), gameLoading()));
    EXPECT_FALSE(pathFits(&file, std::string(256, 'p'), gameLoading()));
    std::string out = stopCapture();
    EXPECT_NE(std::string::npos, out.find(path + ":1: name longer than 79 characters"));
    EXPECT_NE(std::string::npos, out.find(path + ":1: path longer than 255 characters"));
}

// A count is held within what the rest of the file can hold: a negative
// one is 0, one beyond the lines left is cut; each change is reported.
TEST(TextCounts, HeldWithinTheFileAndReported) {
    const struct {
        int count;
        long linesPerItem;
        int held;
        bool unchanged;
        const char* report;
    } cases[] = {
        {3, 1, 3, true, ""},
        {0, 1, 0, true, ""},
        {4, 1, 3, false, ":1: 4 but 3\n"},
        {2, 2, 1, false, ":1: 2 but 1\n"},
        {1, 2, 1, true, ""},
        {-5, 1, 0, false, ":1: negative\n"},
        {2147483647, 1, 3, false, ":1: 2147483647 but 3\n"},
    };
    for (const auto& c : cases) {
        TextFile file(gameLoading());
        std::string path = openPastFirstLine(file, "list", "COUNT\na\nb\nc\n");
        int count = c.count;
        startCapture();
        bool unchanged = holdCount(file, count, c.linesPerItem, "negative", [](int n, long room) {
            return std::to_string(n) + " but " + std::to_string(room);
        });
        std::string out = stopCapture();
        EXPECT_EQ(c.held, count) << c.count;
        EXPECT_EQ(c.unchanged, unchanged) << c.count;
        EXPECT_EQ(c.report[0] ? path + c.report : std::string(), out) << c.count;
    }
}
