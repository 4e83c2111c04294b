// Frame data: the rules on small frame sets made on the spot, the bundled
// moves against figures worked out by hand from their info files, and the
// README's moves table against fightscene-check --frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/frameData.h"
#include "data/moveSet.h"
#include "testSupport.h"

namespace {

struct frameSpec {
    int pause;
    int hitActive;
    std::vector<std::string> particles;
    int moveX;
    int moveY;
};

// A loaded-looking set whose frames are 1x1 images with the given data.
void buildSet(CSpriteBase& set, const std::vector<frameSpec>& specs, bool lastImageMissing = false) {
    set.built = 1;
    set.numFrames = static_cast<int>(specs.size());
    set.frames.resize(specs.size());
    set.mirror.resize(specs.size());
    for (size_t i = 0; i < specs.size(); ++i) {
        frameInfo& frame = set.frames[i];
        frame.pause = specs[i].pause;
        frame.hitActive = specs[i].hitActive;
        frame.particles = specs[i].particles;
        frame.numParticles = static_cast<int>(specs[i].particles.size());
        frame.moveX = specs[i].moveX;
        frame.moveY = specs[i].moveY;
        if (lastImageMissing && i + 1 == specs.size()) continue;
        frame.image = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
        set.mirror[i].image = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0xff0000, 0xff00, 0xff, 0);
    }
}

std::string launchesText(const moveFrameData& data) {
    std::string text;
    for (const particleLaunch& launch : data.launches)
        text += (text.empty() ? "" : "; ") + launch.line + " @" + std::to_string(launch.atMs);
    return text;
}

struct ruleCase {
    const char* what;
    std::vector<frameSpec> frames;
    bool lastImageMissing;
    float speed;
    bool loaded, hits;
    int startup, active, recovery, total, travel, lift;
    const char* launches;
};

TEST(FrameData, FollowsTheFramesAsTheFighterShowsThem) {
    testScreen();
    const ruleCase cases[] = {
        {"one active frame in the middle", {{10, 0, {}, 0, 0}, {20, 1, {}, 0, 0}, {5, 0, {}, 0, 0}}, false, 3.0f,
         true, true, 30, 60, 15, 105, 0, 0, ""},
        {"a gap between active frames counts as active",
         {{10, 1, {}, 0, 0}, {10, 0, {}, 0, 0}, {10, 2, {}, 0, 0}, {10, 0, {}, 0, 0}}, false, 3.0f, true, true, 0,
         90, 30, 120, 0, 0, ""},
        {"no active hit box", {{10, 0, {}, 0, 0}, {10, 0, {}, 0, 0}}, false, 3.0f, true, false, 0, 0, 0, 60, 0, 0,
         ""},
        {"the speed factor scales every frame", {{10, 0, {}, 0, 0}, {20, 1, {}, 0, 0}}, false, 1.5f, true, true, 15,
         30, 0, 45, 0, 0, ""},
        {"a negative pause is over at once", {{-40, 0, {}, 0, 0}, {10, 1, {}, 0, 0}}, false, 3.0f, true, true, 0, 30,
         0, 30, 0, 0, ""},
        {"travel and lift per 10 ms step; a negative moveY lifts nothing",
         {{10, 0, {}, 2, 1}, {10, 0, {}, -1, -3}, {20, 0, {}, 3, 0}}, false, 3.0f, true, false, 0, 0, 0, 120, 21, 3,
         ""},
        {"a repeated first particle line launches once; after a frame without lines it launches again",
         {{10, 0, {"a 1 2", "b 0 0"}, 0, 0}, {10, 0, {"a 1 2"}, 0, 0}, {10, 0, {}, 0, 0}, {10, 0, {"a 1 2"}, 0, 0}},
         false, 3.0f, true, false, 0, 0, 0, 120, 0, 0, "a 1 2 @0; b 0 0 @0; a 1 2 @90"},
        {"a missing image: frames not loaded", {{10, 1, {}, 0, 0}, {10, 0, {}, 0, 0}}, true, 3.0f, false, true, 0,
         30, 30, 60, 0, 0, ""},
    };
    for (const ruleCase& c : cases) {
        SCOPED_TRACE(c.what);
        CSpriteBase set;
        buildSet(set, c.frames, c.lastImageMissing);
        moveFrameData data = frameDataOf(set, c.speed);
        EXPECT_EQ(data.framesLoaded, c.loaded);
        EXPECT_EQ(data.hits, c.hits);
        EXPECT_EQ(data.startupMs, c.startup);
        EXPECT_EQ(data.activeMs, c.active);
        EXPECT_EQ(data.recoveryMs, c.recovery);
        EXPECT_EQ(data.totalMs, c.total);
        EXPECT_EQ(data.travel, c.travel);
        EXPECT_EQ(data.lift, c.lift);
        EXPECT_EQ(launchesText(data), c.launches);
    }
    CSpriteBase empty;
    EXPECT_EQ(startupText(frameDataOf(empty)), "frames not loaded");
}

struct bundledCase {
    const char* move;
    const char* startup;
    const char* active;
    const char* recovery;
    int total, travel, lift;
    const char* launches;
};

TEST(FrameData, BundledMovesEqualTheFiguresWorkedOutByHand) {
    testScreen();
    moveSet moves;
    inFolder(sourceDir(), [&] { moves.loadAll("data/Burn"); });
    // Each frame lasts pause x 3 ms; 60 Hz frames are ms x 0.06; one
    // movement step per 10 ms carries the fighter moveX pixels.
    const bundledCase cases[] = {
        // risingFlame/info: pauses 6 20 20 25 30 20 -> 18 60 60 75 90 60 ms.
        // Frames 2 and 3 are active: startup 18 + 60 = 78 ms (4.68 f),
        // active 60 + 75 = 135 ms (8.1 f), recovery 90 + 60 = 150 ms (9.0 f),
        // total 363 ms. moveX 3 for 6 steps, 2 for 7.5 steps: 18 + 15 = 33 px;
        // moveY 4 on both: 24 + 30 = 54 px up. Frame 3 launches ember and
        // cinder when it shows, at 18 + 60 + 60 = 138 ms.
        {"risingFlame", "78 ms (4.7 f)", "135 ms (8.1 f)", "150 ms (9.0 f)", 363, 33, 54,
         "ember 20 138 @138; cinder 10 132 @138"},
        // flameThrow/info: pauses 8 35 40 50 25 -> 24 105 120 150 75 ms,
        // total 474 ms; no frame has hit active 1; no moveX or moveY;
        // frame 2 launches fireball1 at 24 + 105 = 129 ms.
        {"flameThrow", "no active hit box", "-", "-", 474, 0, 0, "fireball1 80 80 @129"},
        // dashPunch/info: pauses 15 20 30 25 -> 45 60 90 75 ms; frame 2
        // active: startup 105 ms (6.3 f), active 90 ms (5.4 f), recovery
        // 75 ms (4.5 f); moveX 4 7 5 1 over 4.5 6 9 7.5 steps:
        // 18 + 42 + 45 + 7.5 = 112.5, rounded 113 px.
        {"dashPunch", "105 ms (6.3 f)", "90 ms (5.4 f)", "75 ms (4.5 f)", 270, 113, 0, ""},
    };
    for (const bundledCase& c : cases) {
        SCOPED_TRACE(c.move);
        moveInfo* move = moves.returnMove(c.move);
        ASSERT_TRUE(move);
        ASSERT_EQ(move->name, c.move);
        moveFrameData data = frameDataOf(move->animation);
        EXPECT_EQ(startupText(data), c.startup);
        EXPECT_EQ(activeText(data), c.active);
        EXPECT_EQ(recoveryText(data), c.recovery);
        EXPECT_EQ(data.totalMs, c.total);
        EXPECT_EQ(data.travel, c.travel);
        EXPECT_EQ(data.lift, c.lift);
        EXPECT_EQ(launchesText(data), c.launches);
    }
}

// Cells of a Markdown or tool table row, trimmed.
std::vector<std::string> cellsOf(const std::string& row, const std::string& separator) {
    std::vector<std::string> cells;
    size_t at = 0;
    while (at <= row.size()) {
        size_t next = row.find(separator, at);
        std::string cell = row.substr(at, next == std::string::npos ? std::string::npos : next - at);
        size_t first = cell.find_first_not_of(' '), last = cell.find_last_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
        if (next == std::string::npos) break;
        at = next + separator.size();
    }
    return cells;
}

TEST(FrameData, ReadmeMovesTableEqualsTheCheckersTable) {
    std::string command = buildDir() + "/tools/fightscene-check --frames '" + sourceDir() + "/data' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_TRUE(pipe);
    std::vector<std::vector<std::string>> tool;
    char line[1024];
    while (fgets(line, sizeof line, pipe)) {
        std::string text = line;
        if (!text.empty() && text.back() == '\n') text.pop_back();
        tool.push_back(cellsOf(text, "  "));
    }
    ASSERT_EQ(pclose(pipe), 0);
    // Cells are separated by at least two blanks: drop the empty ones.
    for (auto& row : tool) {
        std::vector<std::string> kept;
        for (const std::string& cell : row)
            if (!cell.empty()) kept.push_back(cell);
        row = kept;
    }
    ASSERT_GE(tool.size(), 3u);
    ASSERT_EQ(tool[1][0], "move");  // tool[0] says how the figures are taken

    std::ifstream readme(sourceDir() + "/README.md");
    std::vector<std::vector<std::string>> table;
    std::string text;
    bool inTable = false;
    while (std::getline(readme, text)) {
        if (text.rfind("| Move |", 0) == 0) inTable = true;
        else if (inTable && text.rfind("|", 0) != 0) break;
        if (inTable && text.rfind("|---", 0) != 0) table.push_back(cellsOf(text.substr(1, text.size() - 2), "|"));
    }
    ASSERT_GE(table.size(), 2u);
    const std::vector<std::string>& header = table[0];
    auto column = [&](const char* name) {
        for (size_t c = 0; c < header.size(); ++c)
            if (header[c] == name) return static_cast<int>(c);
        return -1;
    };
    int startup = column("Startup"), active = column("Active"), recovery = column("Recovery");
    ASSERT_GE(startup, 0);
    ASSERT_GE(active, 0);
    ASSERT_GE(recovery, 0);
    // Both tables list the moves in the order of the move file.
    ASSERT_EQ(table.size() - 1, tool.size() - 2);
    for (size_t i = 1; i < table.size(); ++i) {
        const std::vector<std::string>& row = table[i];
        const std::vector<std::string>& figures = tool[i + 1];
        SCOPED_TRACE(row[0] + " / " + figures[0]);
        ASSERT_GE(figures.size(), 4u);
        EXPECT_EQ(row[startup], figures[1]);
        EXPECT_EQ(row[active], figures[2]);
        EXPECT_EQ(row[recovery], figures[3]);
    }
}

}  // namespace
