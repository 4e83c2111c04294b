// Hits in the match, tick by tick, on small sets written on the spot:
// fighters' hit boxes against collision boxes facing both ways, once per
// start of a move, the freeze and the reeling, the push-back at the screen's
// side, particles' hit events, the training keys, and the hit file.
#include <gtest/gtest.h>

#include <vector>

#include "data/hitData.h"
#include "shell/scene.h"
#include "sprites/clock.h"
#include "testSupport.h"

namespace {
struct Frame {
    Uint32 rgb;
    int w = 40, h = 60, offX = 10, offY = 60, pause = 10;
    frameBox col{}, hit{};
    int hitActive = 0;
};

void writeSet(const std::string& dir, const std::vector<Frame>& frames) {
    std::string info = "FILES: " + std::to_string(frames.size()) + "\n";
    auto box = [](const frameBox& b) {
        return std::to_string(b.left) + " " + std::to_string(b.top) + " " + std::to_string(b.right) + " " +
               std::to_string(b.bottom) + "\n";
    };
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        std::string file = "f" + std::to_string(i) + ".bmp";
        writeBmp(dir + "/" + file, f.w, f.h, f.rgb);
        info += file + " " + std::to_string(f.pause) + " 255 0 255\n" + std::to_string(f.offX) + " " +
                std::to_string(f.offY) + "\n" + box(f.col) + box(f.hit) + std::to_string(f.hitActive) +
                "\n0\n0\n0 0\n0 0\nNULL\n0\n0 0\n0\nnone\n";
    }
    writeFile(dir + "/info", info);
}

// Settings of a particle that lives forever, with its death and hit lists.
std::string settings(const std::string& death, const std::string& player, const std::string& enemy,
                     const std::string& target) {
    auto list = [](const std::string& entries) {
        int n = 0;
        for (char c : entries) n += c == '\n';
        return std::to_string(n) + "\n" + entries;
    };
    return "0\n0\n0\n0\n0\n" + list(death) + list(player) + list(enemy) + list(target) + "0\n";
}

// Every fighter stands in a 40x60 frame anchored at (10, 60) with the body
// (5, 0)-(25, 60); the jab's live hit box is (30, 10)-(40, 20). Mirrored,
// the anchor is at 30, the body (15, 0)-(35, 60) and the hit box (0, 10)-(10, 20).
class Hits : public testing::Test {
protected:
    static std::string folder;
    std::unique_ptr<gameScene> scene;
    tickEvents events;

    static void SetUpTestSuite() {
        testScreen();
        folder = makeTempDir("hits");
        std::string dir = folder + "/data/Burn";
        Frame stand{0x2020c0};
        stand.col = {5, 0, 25, 60};
        writeSet(dir + "/standing", {stand});
        writeSet(dir + "/walk", {stand});
        writeSet(dir + "/duck", {stand});
        writeSet(dir + "/inAir", {stand});
        Frame hurt = stand;
        hurt.rgb = 0xc02020;
        writeSet(dir + "/hurt", {hurt});
        writeSet(dir + "/blank", {{0xff00ff, 60, 80}});
        writeFile(dir + "/info", "ANIMS: 6\nstanding\nwalk\nduck\ninAir\nhurt\nblank\n");
        Frame poke = stand;
        poke.hit = {30, 10, 40, 20};
        poke.hitActive = 1;
        writeSet(dir + "/jab", {poke, stand});
        writeFile(dir + "/jab/hit", "damage = 7\nhitstop = 100\nhitstun = 300\npushback = 30\n");
        writeFile(dir + "/moveset", "ANIMS: 1\njab\nA\n0\nNULL\n0\n0\nNULL\n0\n0\n0\nnull\n");

        std::string root = folder + "/data/particle/";
        writeFile(root + "default", "PARTS: 6\nshot\ntargeted\nember\na\nb\nc\n");
        const struct { const char* name; std::string settings; } kinds[] = {
            {"shot", settings("a 0 0\n", "a 0 0\n", "b 0 0\nb 3 0\n", "c 0 0\n")},
            {"targeted", settings("", "", "", "c 0 0\n")},
            {"ember", settings("a 0 0\n", "", "", "")},
            {"a", settings("", "", "", "")},
            {"b", settings("", "", "", "")},
            {"c", settings("", "", "", "")},
        };
        for (const auto& kind : kinds) {
            writeFile(root + kind.name + "/particle", kind.settings);
            writeFile(root + kind.name + "/info", particleFrameInfo(0));
            writeBmp(root + kind.name + "/f.bmp", 20, 10, 0xffff00);
        }
        writeFile(root + "shot/hit", "damage = 4\nhitstop = 0\nhitstun = 200\npushback = 10\n");
    }

    // The scene's content from the folder, and a training match over it.
    void SetUp() override {
        scene.reset(new gameScene);
        scene->screen = testScreen();
        scene->training = true;
        std::string dir = folder + "/data/Burn";
        startCapture();
        scene->content.anims.loadAll(dir.c_str(), gameLoading());
        scene->content.moves.loadAll(dir.c_str(), gameLoading());
        stopCapture();
        loadParticleList(scene->content.defs, folder);
        scene->match.reset(new matchSession);
        scene->match->start(*scene, 1000);
    }
    void TearDown() override {
        startCapture();
        scene.reset();
        stopCapture();
    }

    matchState& state() { return scene->match->state; }
    fighterState& fighter(int side) { return state().fighters[side]; }
    void stand(int side, int x, bool right) {
        fighterState& f = fighter(side);
        f.x = x;
        f.facingRight = right;
    }
    void startJab(int side) {
        fighterState& f = fighter(side);
        f.move = 0;
        f.frame = 0;
        f.frameMs = 0;
        f.hitMask = 0;
    }
    // One tick with no input; what it printed.
    std::string tick(uint8_t player = 0) {
        uint8_t inputs[kSides] = {player, 0};
        events.clear();
        stepMatch(state(), scene->match->content, inputs, events);
        std::string said;
        for (const std::string& line : events.lines) said += line + "\n";
        return said;
    }
    bool jabLands() { return tick().find("hit: jab, damage 7") != std::string::npos; }
    // A particle of `name` with its image corner at (x, y).
    void launch(const std::string& name, int x, int y, int owner) {
        const std::vector<matchParticleDef>& defs = scene->match->content.particles;
        particleState& part = state().particles[state().particleCount++];
        part = particleState{};
        for (size_t i = 0; i < defs.size(); ++i)
            if (defs[i].name == name) part.def = static_cast<int32_t>(i);
        part.x = x;
        part.y = y;
        part.facingRight = 1;
        part.owner = owner;
        part.spared = -1;
    }
    std::vector<std::string> names() {
        std::vector<std::string> all;
        for (int i = 0; i < state().particleCount; ++i)
            all.push_back(scene->match->content.particles[static_cast<size_t>(state().particles[i].def)].name);
        return all;
    }
};
std::string Hits::folder;
}  // namespace

TEST_F(Hits, LandExactlyWhileTheBoxesShareAPixelFacingEitherWay) {
    // Facing right at 400 the hit box covers x 420..429; a defender facing
    // left at d has its body on d-15..d+4. Facing left at 400 the hit box
    // covers 370..379; a defender facing right has its body on d-5..d+14.
    const struct { bool attackerRight; int defender; bool hit; } cases[] = {
        {true, 415, false}, {true, 416, true}, {true, 444, true}, {true, 445, false},
        {false, 355, false}, {false, 356, true}, {false, 384, true}, {false, 385, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.attackerRight ? "right" : "left") << " defender at " << c.defender);
        SetUp();
        stand(0, 400, c.attackerRight);
        stand(1, c.defender, !c.attackerRight);
        startJab(0);
        EXPECT_EQ(jabLands(), c.hit);
        EXPECT_EQ(fighter(1).reeling != 0, c.hit);
        EXPECT_EQ(fighter(1).pose, c.hit ? poseHurt : poseStanding);
    }
}

TEST_F(Hits, AMoveHitsEachDefenderOncePerStartAndCutsOffTheDefendersMove) {
    stand(0, 400, true);
    stand(1, 430, false);
    startJab(1);
    startJab(0);
    EXPECT_TRUE(jabLands());
    EXPECT_EQ(fighter(1).move, -1) << "the hit cut the defender's jab off";
    // The boxes overlap on through the freeze; still no second hit.
    for (int i = 0; i < 12; ++i) EXPECT_FALSE(jabLands());
    startJab(0);
    EXPECT_TRUE(jabLands());
    EXPECT_EQ(state().panel.comboHits, 2);
    EXPECT_EQ(state().panel.comboDamage, 14);
}

TEST_F(Hits, FreezeThenReelThenStandToTheTick) {
    stand(0, 400, true);
    stand(1, 430, false);
    startJab(0);
    ASSERT_TRUE(jabLands());  // hitstop 100 ms, hitstun 300 ms
    int hitAt = state().tick;
    // Both frozen ten ticks: the jab's first frame (30 ms, 10 shown) waits, the defender does not slide.
    for (int i = 0; i < 10; ++i) tick();
    EXPECT_EQ(fighter(0).frame, 0);
    EXPECT_EQ(fighter(1).x, 430);
    tick();
    tick();
    EXPECT_EQ(fighter(0).frame, 1) << "the first frame shows its whole 30 ms around the freeze";
    // Hurt to the end of the stun, standing from then.
    while (state().tick < hitAt + 40) tick();
    EXPECT_EQ(fighter(1).pose, poseHurt);
    EXPECT_TRUE(fighterHeld(fighter(1), state().tick));
    tick();
    EXPECT_EQ(fighter(1).pose, poseStanding);
    EXPECT_FALSE(fighterHeld(fighter(1), state().tick));
    EXPECT_EQ(state().panel.lastDamage, 7);
    // Free after 400 ms against the jab's end: 100 frozen, then 20 + 30 of its frames.
    EXPECT_EQ(state().panel.advantageMs, 400 - 150);
}

TEST_F(Hits, PushBackSlidesAwayAndIsHeldAtTheScreensSide) {
    // hitstun 300 ms gives 30 ticks of 1 px.
    const struct { int attacker, defender, defenderEnd, attackerEnd; } cases[] = {
        {400, 430, 460, 400},  // slides the whole 30 px
        {770, 790, 800, 750},  // 10 px to the side, the attacker gives the other 20
        {30, 10, 0, 50},       // the same at the left side
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "defender at " << c.defender);
        SetUp();
        bool right = c.defender > c.attacker;
        stand(0, c.attacker, right);
        stand(1, c.defender, !right);
        startJab(0);
        ASSERT_TRUE(jabLands());
        for (int i = 0; i < 60; ++i) tick();
        EXPECT_EQ(fighter(1).x, c.defenderEnd);
        EXPECT_EQ(fighter(0).x, c.attackerEnd);
    }
}

TEST_F(Hits, ParticlesRaiseTheirHitEventsInOrderAndLaunchTheirEntries) {
    // Body of a fighter facing right at 400: x 395..414, y 470..529. A
    // particle with its corner at (395, 496) covers 395..414, 496..505.
    const struct {
        const char* name;
        int owner;
        int struck;
        const char* line;
        std::vector<std::string> launched;  // in the order launched
        int damage;   // the shot's own hit file: 4 damage, no freeze; else the defaults
        bool frozen;
    } cases[] = {
        // The player is the partner's target, as the partner is the player's.
        {"shot", 1, 0, "particle hit: OnHitPlayer OnHitEnemy OnHitTarget, damage 4", {"a", "b", "b", "c"}, 4, false},
        {"shot", 0, 1, "particle hit: OnHitEnemy OnHitTarget, damage 4", {"b", "b", "c"}, 4, false},
        {"targeted", 0, 1, "particle hit: OnHitTarget, damage 10", {"c"}, 10, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SetUp();
        stand(c.owner, 100, true);
        stand(c.struck, 400, true);
        launch(c.name, 395, 496, c.owner);
        EXPECT_EQ(tick(), std::string(c.line) + "\nhurt\n");
        EXPECT_EQ(names(), c.launched) << "OnDeath is not launched";
        for (int i = 0; i < state().particleCount; ++i)
            EXPECT_EQ(state().particles[i].owner, c.owner) << "launched particles belong to the owner";
        EXPECT_TRUE(fighter(c.struck).reeling);
        // The panel tells only of hits on the partner.
        EXPECT_EQ(state().panel.lastDamage, c.struck == 1 ? c.damage : 0);
        EXPECT_EQ(state().tick < fighter(c.struck).frozenUntil - 1, c.frozen);
    }
}

TEST_F(Hits, ParticlesWithoutHitEntriesNoOnesOrOnTheirOwnerFlyThrough) {
    const struct { const char* name; int owner; int struck; } cases[] = {
        {"ember", 1, 0},      // no hit entries
        {"targeted", -1, 0},  // OnHitTarget only, of no one's, so aimed at the partner, touching the player
        {"shot", 1, 1},       // everything, but on its owner
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        stand(1 - c.struck, 100, true);
        stand(c.struck, 400, true);
        launch(c.name, 395, 496, c.owner);
        tick();
        EXPECT_EQ(state().particleCount, 1);
        EXPECT_FALSE(fighter(c.struck).reeling);
        EXPECT_FALSE(state().panel.anyHit);
    }
}

TEST(HitFile, ReadsItsKeysAndReportsEachBadLineWithItsPlace) {
    const struct {
        std::string text;
        hitData want;
        std::vector<std::string> messages;
    } cases[] = {
        {"# a poke\n\ndamage = 6\n  hitstop=80  \nhitstun = 220 # short\npushback = 18\n", {6, 80, 220, 18}, {}},
        {"damage = 12\n", {12, 100, 300, 30}, {}},
        {"guard = low\nblockstun = 120\nlaunch = 9\njuggle = 2\n", {10, 100, 300, 30, guardLow, 120, 9, 2}, {}},
        {"guard = high\nguard = overhead\n", {10, 100, 300, 30, guardHigh}, {":2: guard: expected mid, high or low"}},
        {"damage 6\nspeed = 3\nhitstun = -5\nhitstop = 100001\npushback = 2x\n",
         {10, 100, 300, 30},
         {":1: expected \"key = value\"", ":2: unknown key \"speed\"", ":3: hitstun: expected a whole number",
          ":4: hitstop: expected a whole number", ":5: pushback: expected a whole number"}},
    };
    for (const auto& c : cases) {
        std::string dir = makeTempDir("hitfile");
        writeFile(dir + "/hit", c.text);
        std::vector<std::string> heard;
        loadPolicy policy = keepGoingPolicy();
        policy.listener = [&](const std::string& file, int line, const std::string& message) {
            heard.push_back(file + ":" + std::to_string(line) + ": " + message);
        };
        hitData hit;
        EXPECT_TRUE(readHitData(dir, hit, policy));
        EXPECT_EQ(hit.damage, c.want.damage);
        EXPECT_EQ(hit.hitstop, c.want.hitstop);
        EXPECT_EQ(hit.hitstun, c.want.hitstun);
        EXPECT_EQ(hit.pushback, c.want.pushback);
        EXPECT_EQ(hit.guard, c.want.guard);
        EXPECT_EQ(hit.blockstun, c.want.blockstun);
        EXPECT_EQ(hit.launch, c.want.launch);
        EXPECT_EQ(hit.juggle, c.want.juggle);
        ASSERT_EQ(heard.size(), c.messages.size());
        for (size_t i = 0; i < heard.size(); ++i) {
            EXPECT_EQ(heard[i].find(dir + "/hit"), 0u) << heard[i];
            EXPECT_NE(heard[i].find(c.messages[i]), std::string::npos) << heard[i];
        }
    }
    // No file: the defaults, and not a word.
    hitData none;
    loadPolicy quiet = keepGoingPolicy();
    startCapture();
    EXPECT_FALSE(readHitData(makeTempDir("nohit"), none, quiet));
    EXPECT_EQ(stopCapture(), "");
    EXPECT_EQ(quiet.reported, 0);
    EXPECT_EQ(none.damage, 10);
}

TEST_F(Hits, ResetKeyPutsTheFightersBackAndWipesTheParticlesButKeepsTheRecordingAndStance) {
    // Mid-fight: the player in the air behind the partner, the partner reeling
    // from a combo, a particle flying.
    stand(0, 280, true);
    stand(1, 300, false);
    startJab(0);
    ASSERT_TRUE(jabLands());
    fighter(0).x = 500;
    fighter(0).y = 200;
    fighter(0).grounded = 0;
    fighter(0).airActions = 0;
    launch("ember", 100, 100, 0);
    scene->trainer.recording.length = 500;
    scene->trainer.playback.start(scene->trainer.recording, 200);
    scene->control.now = 1000;
    scene->trainer.stance = partnerStance::jump;
    startCapture();
    actOn(*scene, playerRequest::reset);
    stopCapture();

    EXPECT_EQ(0, state().particleCount);
    const struct { int side; int x; bool right; } rows[] = {{0, kPlayerX, true}, {1, kPartnerX, false}};
    for (const auto& row : rows) {
        const fighterState& f = fighter(row.side);
        EXPECT_EQ(row.x, f.x);
        EXPECT_EQ(kGroundLevel, f.y);
        EXPECT_EQ(row.right, f.facingRight != 0) << "facing each other";
        EXPECT_TRUE(f.grounded);
        EXPECT_EQ(2, f.airActions);
        EXPECT_FALSE(fighterHeld(f, state().tick + 1));
        EXPECT_EQ(-1, f.move);
        EXPECT_EQ(poseStanding, f.pose);
    }
    EXPECT_EQ(0, state().panel.comboHits);
    EXPECT_EQ(0, state().panel.comboDamage);
    EXPECT_EQ(7, state().panel.lastDamage) << "the last hit stays on the panel";
    EXPECT_EQ(500, scene->trainer.recording.length);
    EXPECT_EQ(partnerStance::jump, scene->trainer.stance);
    EXPECT_TRUE(scene->trainer.playback.playing);
    EXPECT_EQ(1000, scene->trainer.playback.loopStartedAt) << "the playback starts again with the fighters";
}

TEST_F(Hits, StanceKeyCyclesThePartnerThroughStandCrouchJumpAgainOnEachLandingAndGuard) {
    // Presses of the stance key, then two seconds of ticks.
    const struct { int presses; const char* shown; bool ducks; int takeOffs; bool holdsBack = false; } rows[] = {
        {0, "stand", false, 0},
        {1, "crouch", true, 0},
        {2, "jump", false, 2},
        {3, "guard", false, 0, true},
        {4, "stand", false, 0},
    };
    for (const auto& row : rows) {
        SetUp();
        startCapture();
        for (int press = 0; press < row.presses; ++press) actOn(*scene, playerRequest::stance);
        stopCapture();
        EXPECT_EQ("stance " + std::string(row.shown), scene->panel.lines()[1]) << row.presses;
        bool ducked = false, wasGrounded = true;
        int takeOffs = 0;
        for (Uint32 at = 1010; at <= 3000; at += 10) {
            scene->match->runTicks(*scene, at);
            ducked = ducked || fighter(1).pose == poseDuck;
            takeOffs += wasGrounded && !fighter(1).grounded;
            wasGrounded = fighter(1).grounded != 0;
        }
        EXPECT_EQ(row.ducks, ducked) << row.presses;
        // The last tick's input: back, away from the way the partner faced; the next stance lets it go.
        EXPECT_EQ(row.holdsBack ? inputBack : 0, fighter(1).held & (inputBack | inputForward)) << row.presses;
        if (row.holdsBack) {
            actOn(*scene, playerRequest::stance);
            scene->match->runTicks(*scene, 3010);
            EXPECT_EQ(0, fighter(1).held & (inputBack | inputForward)) << "let go";
        }
        EXPECT_LE(row.takeOffs, takeOffs) << row.presses << ": jumps again after landing";
        if (!row.takeOffs) {
            EXPECT_EQ(0, takeOffs) << row.presses;
        }
    }
}
