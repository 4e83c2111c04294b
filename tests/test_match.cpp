// The match rules on the bundled content, tick by tick: hits that trade,
// fighters a hit holds, push-back in full, frame timing from the move's
// start, the spark's owner, and a state that restores to the same bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <iterator>
#include <memory>

#include "match/matchTick.h"
#include "platform/files.h"
#include "shell/matchContentBuilder.h"
#include "shell/scene.h"
#include "testSupport.h"

namespace {
class Match : public testing::Test {
protected:
    static std::unique_ptr<sceneContent> loaded;
    static matchContent content;
    matchState state{};
    tickEvents events;

    static void SetUpTestSuite() {
        std::string folder = makeTempDir("match");
        ASSERT_TRUE(placeBundledData(folder));
        ASSERT_TRUE(changeFolder(folder));
        loaded.reset(new sceneContent);
        testing::internal::CaptureStdout();
        loadContent(*loaded, allContentParts, testScreen(), gameLoading());
        testing::internal::GetCapturedStdout();
        content = burnAgainstBurn(*loaded);
    }

    static matchContent burnAgainstBurn(const sceneContent& from) {
        characterSource sides[kSides] = {{"Burn", &from.anims, &from.moves}, {"Burn", &from.anims, &from.moves}};
        return buildMatchContent(sides, from.defs, from.sounds.get(), "");
    }

    // Both fighters on the floor at x0 and x1, facing each other.
    void start(int x0, int x1, const matchContent& with = content) {
        matchStart at;
        at.x[0] = x0;
        at.x[1] = x1;
        at.launchStart = false;
        state = startMatch(with, at);
    }

    void run(int ticks, uint8_t side0 = 0, uint8_t side1 = 0) {
        uint8_t inputs[kSides] = {side0, side1};
        for (int i = 0; i < ticks; ++i) stepMatch(state, content, inputs, events);
    }

    int moveIndex(const char* name) const {
        const std::vector<matchMove>& moves = content.characters[0].moves;
        for (size_t i = 0; i < moves.size(); ++i)
            if (moves[i].name == name) return static_cast<int>(i);
        return -1;
    }
    int lines(const std::string& line) const {
        int n = 0;
        for (const std::string& said : events.lines) n += said == line;
        return n;
    }
};
std::unique_ptr<sceneContent> Match::loaded;
matchContent Match::content;

TEST_F(Match, MirroredJabsThatMeetBothHit) {
    start(360, 440);
    run(1, inputA, inputA);
    run(10);
    EXPECT_EQ(lines("hit: jab, damage 5"), 2);
    EXPECT_TRUE(state.fighters[0].reeling);
    EXPECT_TRUE(state.fighters[1].reeling);
}

TEST_F(Match, AHitHoldsTheFighterUntilTheStunIsOver) {
    start(360, 440);
    run(1, inputA, 0);
    run(6);
    ASSERT_TRUE(state.fighters[1].reeling);
    int y = state.fighters[1].y;
    // Up and a walk during the freeze and the stun: no jump, no step; the presses stay buffered.
    run(1, 0, inputUp | inputForward);
    run(2, 0, inputForward);
    EXPECT_EQ(state.fighters[1].y, y);
    EXPECT_TRUE(state.fighters[1].grounded);
    EXPECT_NE(state.fighters[1].pose, poseInAir);
    EXPECT_EQ(state.commands[1].count, 2);
    // Once the stun is over the held walk walks.
    while (state.fighters[1].reeling) run(1, 0, inputForward);
    int x = state.fighters[1].x;
    run(1, 0, inputForward);
    EXPECT_EQ(state.fighters[1].x, x - 3);
}

TEST_F(Match, AFighterStruckInTheAirReelsUntilItLands) {
    start(360, 440);
    run(1, inputA, inputUp);
    while (!events.hitLanded && state.tick < 20) run(1);
    const fighterState& partner = state.fighters[1];
    ASSERT_TRUE(partner.reeling && !partner.grounded) << "the jab meets the partner in the air";
    bool stunOverInTheAir = false;
    while (!partner.grounded && state.tick < 200) {
        run(1);
        stunOverInTheAir = stunOverInTheAir || (state.tick >= partner.stunUntil && !partner.grounded);
        if (!partner.grounded) {
            EXPECT_TRUE(partner.reeling && partner.pose == poseHurt) << "tick " << state.tick;
        }
    }
    ASSERT_TRUE(stunOverInTheAir) << "the stun ran out before the landing";
    // On the floor the reel ends and the partner stands, without a walk.
    EXPECT_EQ(partner.pose, poseStanding);
    EXPECT_FALSE(partner.reeling);
    EXPECT_EQ(lines("walk"), 0);
}

TEST_F(Match, PushBackIsAppliedInFullOverTheStun) {
    start(360, 440);
    run(1, inputA, 0);
    int pushed = 0;
    int before = state.fighters[1].x;
    for (int i = 0; i < 60; ++i) {
        run(1);
        pushed = state.fighters[1].x - before;
    }
    EXPECT_EQ(lines("hit: jab, damage 5"), 1);
    EXPECT_EQ(pushed, 14);
    EXPECT_EQ(state.fighters[0].x, 360) << "the attacker stays put away from the edge";
}

TEST_F(Match, AMoveCountsItsFramesFromItsOwnStart) {
    start(200, 600);
    // The walk's frames have run a while: the jab's first frame still shows whole.
    run(7, inputBack, 0);
    run(1, inputA, 0);
    int jab = moveIndex("jab");
    ASSERT_EQ(state.fighters[0].move, jab);
    int started = state.tick;
    int firstLive = -1;
    for (int i = 0; i < 20 && firstLive < 0; ++i) {
        run(1);
        if (!hitBoxOf(content, 0, state.fighters[0]).empty()) firstLive = state.tick;
    }
    // 12 x 3 ms of startup: live in the first tick that reaches 36 ms.
    EXPECT_EQ((firstLive - started) * kTickMs, 40);
}

TEST_F(Match, AHitSparkWithHitEntriesGivesOneHit) {
    matchContent sparking = content;
    ASSERT_GE(sparking.sparkDef, 0);
    matchParticleDef& spark = sparking.particles[static_cast<size_t>(sparking.sparkDef)];
    launchSpec again;
    again.def = sparking.sparkDef;
    spark.onHitEnemy = {again};
    spark.lifeMs = 1000;
    std::swap(content, sparking);
    start(360, 440);
    run(1, inputA, 0);
    run(100);
    std::swap(content, sparking);
    EXPECT_EQ(lines("hit: jab, damage 5"), 1);
    EXPECT_EQ(lines("particle hit: OnHitEnemy, damage 10"), 0);
}

TEST_F(Match, AParticleHitPushesOnlyTheDefender) {
    // A fireball into a partner in the corner: the thrower far away stays where it is.
    start(400, 790);
    run(1, inputDown, 0);
    run(1, inputDown | inputForward, 0);
    run(1, inputForward, 0);
    run(1, inputA | inputForward, 0);
    int x = state.fighters[0].x;
    bool hit = false;
    for (int i = 0; i < 300; ++i) {
        run(1);
        hit = hit || events.hitLanded;
    }
    ASSERT_TRUE(hit) << "the fireball did not reach the partner";
    EXPECT_EQ(state.fighters[0].x, x);
}

TEST_F(Match, ARestoredStateStepsToTheSameBytes) {
    start(300, 500);
    const uint8_t script[][2] = {{inputForward, 0}, {inputDown, inputUp}, {inputDown | inputForward, 0},
                                 {inputForward | inputA, inputB}, {0, inputUp}, {inputC, 0}};
    matchState saved = state;
    uint64_t sums[2] = {};
    for (uint64_t& sum : sums) {
        state = saved;
        for (int i = 0; i < 300; ++i) run(1, script[(i / 7) % 6][0], script[(i / 7) % 6][1]);
        sum = matchChecksum(state);
    }
    EXPECT_EQ(sums[0], sums[1]);
    matchState other = state;
    other.particles[3].y += 1;
    EXPECT_EQ(firstDifference(state, other), "particles[3].y: " + std::to_string(state.particles[3].y) + " != " +
                                                 std::to_string(state.particles[3].y + 1));
}

// True when `file` (under src/) or anything it includes in quotes includes an SDL header.
bool reachesSDL(const std::string& file, std::set<std::string>& seen) {
    if (!seen.insert(file).second) return false;
    std::ifstream in(sourceDir() + "/src/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("#include", 0) != 0) continue;
        if (line.find("SDL") != std::string::npos) return true;
        size_t open = line.find('"');
        if (open != std::string::npos && reachesSDL(line.substr(open + 1, line.find('"', open + 1) - open - 1), seen))
            return true;
    }
    return false;
}

TEST(MatchRoom, ReachesNoSDLHeader) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(sourceDir() + "/src/match")) {
        std::set<std::string> seen;
        EXPECT_FALSE(reachesSDL("match/" + entry.path().filename().string(), seen)) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 6);
}
}  // namespace

// --- Versus ---

class Versus : public Match {
protected:
    matchContent rules = content;

    void SetUp() override {
        rules.rules.versus = true;
        rules.rules.introTicks = 5;
        rules.rules.outroTicks = 5;
    }
    // Round 1's fight, the fighters at x0 and x1.
    void fight(int x0, int x1) {
        start(x0, x1, rules);
        tick(rules.rules.introTicks);
        ASSERT_EQ(state.round.phase, phaseFight);
    }
    void tick(int ticks, uint8_t side0 = 0, uint8_t side1 = 0) {
        uint8_t inputs[kSides] = {side0, side1};
        for (int i = 0; i < ticks; ++i) stepMatch(state, rules, inputs, events);
    }
    std::vector<std::string> said(const std::string& start) const {
        std::vector<std::string> found;
        for (const std::string& line : events.lines)
            if (line.compare(0, start.size(), start) == 0) found.push_back(line);
        return found;
    }
};

// Standing guards high and mid, crouching low and mid; a guarded hit takes nothing.
TEST_F(Versus, GuardByHeightAndStance) {
    const struct {
        int guard;
        uint8_t held;
        bool guarded;
    } cases[] = {{guardMid, inputBack, true},  {guardMid, inputBack | inputDown, true}, {guardMid, 0, false},
                 {guardLow, inputBack, false}, {guardLow, inputBack | inputDown, true}, {guardHigh, inputBack, true},
                 {guardHigh, inputBack | inputDown, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("guard " + std::to_string(c.guard) + ", held " + std::to_string(c.held));
        for (matchCharacter& character : rules.characters) character.moves[moveIndex("jab")].hit.guard = c.guard;
        events.clear();
        fight(360, 440);
        tick(1, inputA, c.held);
        tick(12, 0, c.held);
        EXPECT_EQ(said("guarded: jab").size(), c.guarded ? 1u : 0u);
        EXPECT_EQ(state.fighters[1].health, c.guarded ? 100 : 95);
        EXPECT_EQ(state.fighters[1].guarding != 0, c.guarded && fighterHeld(state.fighters[1], state.tick));
    }
}

// A jab that launches would juggle for ever: each hit is scaled down, and
// after three hits in one jump the rest miss until the defender lands.
TEST_F(Versus, ScalingAndTheJuggleLimitEndACombo) {
    hitData& jab = rules.characters[0].moves[moveIndex("jab")].hit;
    jab.launch = 9;
    jab.pushback = 0;  // the defender stays in reach
    fight(380, 430);
    int mostTaken = 0;
    for (int i = 0; i < 300; ++i) {
        tick(1, i % 2 ? inputA : 0);
        mostTaken = std::max(mostTaken, state.fighters[1].comboTaken);
        EXPECT_LE(state.fighters[1].airHits, 3);
    }
    std::vector<std::string> hits = said("hit: jab");
    ASSERT_GE(hits.size(), 5u);
    EXPECT_EQ(mostTaken, 4) << "the launch and three hits in the air";
    // Once it lands, the next jab starts a combo of its own.
    const char* damages[] = {"hit: jab, damage 5", "hit: jab, damage 5", "hit: jab, damage 4", "hit: jab, damage 3",
                             "hit: jab, damage 5"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(hits[static_cast<size_t>(i)], damages[i]);
}

// KOs, time over and draws score the rounds; two wins end the match, and A
// after it starts a new one.
TEST_F(Versus, RoundsEndByKOTimeOverOrDrawAndTwoWinsTheMatch) {
    fight(360, 440);
    state.fighters[1].health = 5;
    tick(1, inputA);
    while (state.round.phase == phaseFight && state.tick < 50) tick(1);
    EXPECT_EQ(said("KO: "), std::vector<std::string>{"KO: P1 Burn wins round 1"});
    EXPECT_TRUE(state.fighters[1].knockedOut);
    tick(rules.rules.outroTicks + rules.rules.introTicks + 1);
    EXPECT_EQ(said("round "), (std::vector<std::string>{"round 1", "round 2"}));
    EXPECT_EQ(state.fighters[1].health, 100);
    // Both out at once: a draw; then the timer runs out on a fighter behind.
    EXPECT_EQ(state.fighters[0].x, 150);
    state.fighters[0].x = 360;
    state.fighters[1].x = 440;
    state.fighters[0].health = state.fighters[1].health = 5;
    tick(1, inputA, inputA);
    tick(12);
    EXPECT_EQ(said("draw: "), std::vector<std::string>{"draw: round 2"});
    rules.rules.roundTicks = 30;
    tick(rules.rules.outroTicks + rules.rules.introTicks + 1);
    state.fighters[0].health = 40;
    tick(30);
    EXPECT_EQ(said("time over: "), std::vector<std::string>{"time over: P2 Burn wins round 3"});
    EXPECT_EQ(said("match: "), std::vector<std::string>{});
    tick(rules.rules.outroTicks + rules.rules.introTicks + 1);
    state.fighters[0].health = 1;
    tick(30);
    EXPECT_EQ(said("match: "), std::vector<std::string>{"match: P2 Burn wins 2-1"});
    EXPECT_EQ(state.round.phase, phaseMatchOver);
    // No input counts now; a press of A after a second is a rematch.
    tick(100, inputForward);
    tick(1, inputA);
    EXPECT_EQ(state.round.number, 1);
    EXPECT_EQ(state.round.wins[0] + state.round.wins[1] + state.round.draws, 0);
}

// Three drawn rounds are a draw game.
TEST_F(Versus, ThreeDrawsAreADrawGame) {
    rules.rules.roundTicks = 20;
    fight(150, 650);
    tick(3 * (rules.rules.introTicks + 20 + rules.rules.outroTicks) + 3);
    EXPECT_EQ(said("draw: "), (std::vector<std::string>{"draw: round 1", "draw: round 2", "draw: round 3"}));
    EXPECT_EQ(said("match: "), std::vector<std::string>{"match: draw game"});
}
