// Frame data: the rules on frame sets made on the spot, the bundled moves
// against figures worked out by hand from their info files, and the
// README's moves table against fightscene-check --frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "data/frameData.h"
#include "data/moveSet.h"
#include "fighter/Fighter.h"
#include "testSupport.h"

namespace {

// One frame: pause, hit active, particle lines, moveX, moveY.
struct frameSpec {
    int pause, hitActive;
    std::vector<std::string> particles;
    int moveX, moveY;
};

std::string launchesText(const moveFrameData& data) {
    std::string text;
    for (const particleLaunch& launch : data.launches) text += launch.line + " @" + std::to_string(launch.atMs) + ";";
    return text;
}

// startup/active/recovery/total ms, travel/lift px, launches.
std::string summary(const moveFrameData& d) {
    return std::to_string(d.startupMs) + "/" + std::to_string(d.activeMs) + "/" + std::to_string(d.recoveryMs) +
           "/" + std::to_string(d.totalMs) + " " + std::to_string(d.travel) + "/" + std::to_string(d.lift) + " " +
           launchesText(d);
}

TEST(FrameData, FollowsTheFramesAsTheFighterShowsThem) {
    const struct { const char* what; std::vector<frameSpec> frames; float speed; const char* figures; } cases[] = {
        {"a gap between active frames counts as active; the speed scales every frame; a negative pause is over "
         "at once",
         {{10, 0, {}, 0, 0}, {10, 1, {}, 0, 0}, {-9, 0, {}, 0, 0}, {10, 2, {}, 0, 0}, {20, 0, {}, 0, 0}}, 1.5f,
         "15/30/30/75 0/0 "},
        {"a repeated first particle line launches once, again after a frame without lines; a negative moveY "
         "lifts nothing",
         {{10, 1, {"a 1 2", "b 0 0"}, 2, 1}, {10, 0, {"a 1 2"}, -1, -3}, {10, 0, {}, 0, 0}, {10, 0, {"a 1 2"}, 3, 0}},
         3.0f, "0/30/90/120 12/3 a 1 2 @0;b 0 0 @0;a 1 2 @90;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CSpriteBase set;
        set.built = 1;
        set.numFrames = static_cast<int>(c.frames.size());
        for (const frameSpec& spec : c.frames) {
            frameInfo frame, mirrored;
            frame.pause = spec.pause;
            frame.hitActive = spec.hitActive;
            frame.particles = spec.particles;
            frame.numParticles = static_cast<int>(spec.particles.size());
            frame.moveX = spec.moveX;
            frame.moveY = spec.moveY;
            frame.image = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0, 0, 0, 0);
            mirrored.image = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0, 0, 0, 0);
            set.frames.push_back(frame);
            set.mirror.push_back(mirrored);
        }
        EXPECT_EQ(summary(frameDataOf(set, c.speed, kStepMs)), c.figures);
        // Without an image the frame can't show: the move never starts or stalls.
        releaseSurface(set.frames.back().image);
        set.frames.back().image = nullptr;
        EXPECT_EQ(startupText(frameDataOf(set, c.speed, kStepMs)), "frames not loaded");
    }
    CSpriteBase none;
    EXPECT_EQ(startupText(frameDataOf(none, kFighterSpeed, kStepMs)), "frames not loaded");
}

TEST(FrameData, BundledMovesEqualTheFiguresWorkedOutByHand) {
    testScreen();
    moveSet moves;
    inFolder(sourceDir(), [&] { moves.loadAll("data/Burn", gameLoading()); });
    // A frame lasts pause x 3 ms; 60 Hz frames are ms x 0.06; a movement
    // step every 10 ms carries the fighter moveX pixels.
    const struct { const char *move, *startup, *active, *recovery, *figures; } cases[] = {
        // risingFlame/info: pauses 6 20 20 25 30 20 -> 18 60 60 75 90 60 ms;
        // frames 2 and 3 active: startup 18 + 60 = 78 ms (4.68 f), active
        // 60 + 75 = 135 ms (8.1 f), recovery 90 + 60 = 150 ms (9.0 f), total
        // 363. moveX 3 over 6 steps and 2 over 7.5: 18 + 15 = 33 px; moveY 4
        // on both: 24 + 30 = 54 px up. Frame 3 launches ember and cinder
        // when it shows, at 18 + 60 + 60 = 138 ms.
        {"risingFlame", "78 ms (4.7 f)", "135 ms (8.1 f)", "150 ms (9.0 f)",
         "78/135/150/363 33/54 ember 20 138 @138;cinder 10 132 @138;"},
        // flameThrow/info: pauses 8 35 40 50 25 -> 24 105 120 150 75 ms,
        // total 474; no frame has hit active 1; no motion; frame 2 launches
        // fireball1 at 24 + 105 = 129 ms.
        {"flameThrow", "no active hit box", "-", "-", "0/0/0/474 0/0 fireball1 80 80 @129;"},
        // dashPunch/info: pauses 15 20 30 25 -> 45 60 90 75 ms; frame 2
        // active: startup 105 ms (6.3 f), active 90 (5.4 f), recovery 75
        // (4.5 f); moveX 4 7 5 1 over 4.5 6 9 7.5 steps: 112.5, rounded 113 px.
        {"dashPunch", "105 ms (6.3 f)", "90 ms (5.4 f)", "75 ms (4.5 f)", "105/90/75/270 113/0 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.move);
        moveInfo* move = moves.returnMove(c.move);
        ASSERT_EQ(move->name, c.move);
        moveFrameData data = frameDataOf(move->animation, kFighterSpeed, kStepMs);
        EXPECT_EQ(startupText(data), c.startup);
        EXPECT_EQ(activeText(data), c.active);
        EXPECT_EQ(recoveryText(data), c.recovery);
        EXPECT_EQ(summary(data), c.figures);
    }
}

// The trimmed cells of a table row: `separator` splits it.
std::vector<std::string> cellsOf(const std::string& row, const std::regex& separator) {
    std::vector<std::string> cells;
    for (std::sregex_token_iterator at(row.begin(), row.end(), separator, -1), end; at != end; ++at) {
        std::string cell = std::regex_replace(at->str(), std::regex("^ +| +$"), "");
        if (!cell.empty()) cells.push_back(cell);
    }
    return cells;
}

TEST(FrameData, ReadmeMovesTableEqualsTheCheckersTable) {
    std::string command = toolCommand("fightscene-check") + " --frames \"" + sourceDir() + "/data\"";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_TRUE(pipe);
    std::vector<std::vector<std::string>> tool;  // after the header: one row per move, file order
    char line[1024];
    while (fgets(line, sizeof line, pipe)) tool.push_back(cellsOf(line, std::regex("  +|\n")));
    ASSERT_EQ(pclose(pipe), 0);
    ASSERT_GE(tool.size(), 3u);
    ASSERT_EQ(tool[1][0], "move");
    tool.erase(tool.begin(), tool.begin() + 2);

    std::ifstream readme(sourceDir() + "/README.md");
    std::vector<std::vector<std::string>> table;  // the header, then one row per move, file order
    for (std::string text; std::getline(readme, text);) {
        if (!table.empty() && text.rfind("|", 0) != 0) break;
        if (text.rfind("| Move |", 0) == 0 || (!table.empty() && text.rfind("|---", 0) != 0))
            table.push_back(cellsOf(text, std::regex("\\|")));
    }
    ASSERT_EQ(table.size(), tool.size() + 1);
    // README's column and the tool's column that must agree.
    const struct { const char* readme; size_t tool; } wanted[] = {
        {"Startup", 1}, {"Active", 2}, {"Recovery", 3}, {"Damage", 4}, {"On hit", 5},
    };
    for (size_t i = 0; i < tool.size(); ++i) {
        SCOPED_TRACE(table[i + 1][0] + " / " + tool[i][0]);
        for (const auto& w : wanted) {
            size_t column = std::find(table[0].begin(), table[0].end(), w.readme) - table[0].begin();
            ASSERT_LT(column, table[i + 1].size()) << w.readme;
            ASSERT_LT(w.tool, tool[i].size());
            EXPECT_EQ(table[i + 1][column], tool[i][w.tool]);
        }
    }
}

}  // namespace

TEST(FrameData, AdvantageOnHitCountsTheHitstopOnBothSidesAndTheRestOfTheMove) {
    moveFrameData jab;
    jab.framesLoaded = true;
    jab.hits = true;
    jab.startupMs = 36;
    jab.totalMs = 165;
    moveFrameData whiff = jab;
    whiff.hits = false;
    hitData light;
    light.damage = 5;
    light.hitstop = 70;
    light.hitstun = 200;
    hitData slow = light;
    slow.hitstun = 100;
    const struct { const moveFrameData* data; const hitData* hit; int ms; const char* text; const char* damage; } cases[] = {
        // defender free at 36 + 70 + 200, the jab's end at 165 + 70
        {&jab, &light, 71, "+71 ms (+4.3 f)", "5"},
        {&jab, &slow, -29, "-29 ms (-1.7 f)", "5"},
        {&whiff, &light, 71, "-", "-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(advantageOnHit(*c.data, *c.hit), c.ms);
        EXPECT_EQ(onHitText(*c.data, *c.hit), c.text);
        EXPECT_EQ(damageText(*c.data, *c.hit), c.damage);
    }
}
