// Hits: fighters' hit boxes against collision boxes facing both ways, once
// per start of a move, the freeze and the reeling on the set clock, the
// push-back at the screen's side, particles' hit events, and the hit file.
#include <gtest/gtest.h>

#include <vector>

#include "data/hitData.h"
#include "particles/particleInfo.h"
#include "shell/hits.h"
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
    static animationSet anims;
    static moveInfo jab;
    std::unique_ptr<gameScene> scene;

    static void SetUpTestSuite() {
        testScreen();
        folder = makeTempDir("hits");
        std::string dir = folder + "/burn";
        Frame stand{0x2020c0};
        stand.col = {5, 0, 25, 60};
        writeSet(dir + "/standing", {stand});
        writeSet(dir + "/walk", {stand});
        Frame hurt = stand;
        hurt.rgb = 0xc02020;
        writeSet(dir + "/hurt", {hurt});
        writeSet(dir + "/blank", {{0xff00ff, 60, 80}});
        writeFile(dir + "/info", "ANIMS: 4\nstanding\nwalk\nhurt\nblank\n");
        anims.loadAll(dir.c_str(), gameLoading());
        Frame poke = stand;
        poke.hit = {30, 10, 40, 20};
        poke.hitActive = 1;
        writeSet(dir + "/jab", {poke, stand});
        writeFile(dir + "/jab/hit", "damage = 7\nhitstop = 100\nhitstun = 300\npushback = 30\n");
        jab.name = "jab";
        jab.animation.initR((dir + "/jab").c_str(), gameLoading());
        readHitData(dir + "/jab", jab.hit, gameLoading());

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

    void SetUp() override {
        clockSet(1000);
        scene.reset(new gameScene);
        scene->screen = testScreen();
        loadParticleList(scene->content.defs, folder);
        clockSet(1000);
        scene->fighters.emplace_back();
        for (Fighter& f : scene->fighters) stand(f, 400, true);
        scene->target.setTarget(&partner());
    }
    void TearDown() override {
        startCapture();
        scene.reset();
        stopCapture();
    }

    Fighter& player() { return scene->player(); }
    Fighter& partner() { return scene->partner(); }
    void stand(Fighter& f, int x, bool right) {
        startCapture();
        f.initS(&anims, testScreen());
        f.changeAnim("standing");
        stopCapture();
        f.speed = 3.0f;
        f.x = x;
        f.y = kGroundLevel;
        f.dir = right;
        f.grounded = true;
        f.airActions = 2;
        f.lastTick = static_cast<int>(clockTicks());
    }
    void startJab(Fighter& f) {
        startCapture();
        f.changeAction(&jab);
        stopCapture();
        f.lastTick = static_cast<int>(clockTicks());
    }
    bool hits(Fighter& a, Fighter& d) {
        startCapture();
        bool landed = fighterHits(*scene, a, d, static_cast<int>(clockTicks()));
        stopCapture();
        return landed;
    }
    std::string step() {
        startCapture();
        stepHits(*scene);
        return stopCapture();
    }
    particle* launch(const std::string& spec, Fighter* owner, bool right = true) {
        startCapture();
        scene->pList.addParticleD(spec, right, nullptr, &scene->content.defs, testScreen(), 1000);
        stopCapture();
        particle* made = scene->pList.head->part;
        made->owner = owner;
        return made;
    }
    std::vector<std::string> names() {
        std::vector<std::string> all;
        for (partNode* node = scene->pList.head; node; node = node->next)
            for (partInfoNode* def = scene->content.defs.head; def; def = def->next)
                if (&def->info == node->part->info) all.push_back(def->name);
        return all;
    }
};
std::string Hits::folder;
animationSet Hits::anims;
moveInfo Hits::jab;
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
        stand(player(), 400, c.attackerRight);
        stand(partner(), c.defender, !c.attackerRight);
        startJab(player());
        EXPECT_EQ(hits(player(), partner()), c.hit);
        EXPECT_EQ(partner().reeling, c.hit);
        EXPECT_EQ(partner().action, c.hit ? "hurt" : "standing");
    }
}

TEST_F(Hits, AMoveHitsEachDefenderOncePerStart) {
    stand(partner(), 430, false);
    startJab(player());
    EXPECT_TRUE(hits(player(), partner()));
    EXPECT_FALSE(hits(player(), partner()));
    // Once the hitstop is over the boxes still overlap; still no second hit.
    clockSet(1200);
    EXPECT_FALSE(hits(player(), partner()));
    startJab(player());
    EXPECT_TRUE(hits(player(), partner()));
    EXPECT_EQ(scene->panel.comboHits, 2);
    EXPECT_EQ(scene->panel.comboDamage, 14);
}

TEST_F(Hits, AHitCutsOffTheDefendersMove) {
    stand(partner(), 430, false);
    startJab(partner());
    startJab(player());
    EXPECT_TRUE(hits(player(), partner()));
    EXPECT_EQ(partner().currentMove, nullptr);
    EXPECT_FALSE(partner().returnBusy());
}

TEST_F(Hits, FreezeThenReelThenStandToTheMillisecond) {
    stand(partner(), 430, false);
    startJab(player());
    ASSERT_TRUE(hits(player(), partner()));  // at 1000: hitstop 100, hitstun 300
    for (Fighter* f : {&player(), &partner()}) {
        EXPECT_TRUE(f->frozen(1099));
        EXPECT_FALSE(f->frozen(1100));
    }
    // The jab's first frame shows 30 ms; the freeze holds it 100 ms more.
    startCapture();
    clockSet(1130);
    player().draw();
    EXPECT_EQ(player().frame, 0);
    clockSet(1131);
    player().draw();
    EXPECT_EQ(player().frame, 1);
    // No slide while frozen; then hurt until 1400, standing from then.
    clockSet(1099);
    partner().reactStep(1099);
    EXPECT_EQ(partner().x, 430);
    partner().reactStep(1399);
    EXPECT_EQ(partner().action, "hurt");
    EXPECT_TRUE(partner().held(1399));
    partner().reactStep(1400);
    stopCapture();
    EXPECT_EQ(partner().action, "standing");
    EXPECT_FALSE(partner().held(1400));
    EXPECT_EQ(scene->panel.lastDamage, 7);
    // Free at 1400 against the jab's end at 1000 + 30 + 100 + 30.
    EXPECT_EQ(scene->panel.advantageMs, 1400 - 1160);
}

TEST_F(Hits, PushBackSlidesAwayAndIsHeldAtTheScreensSide) {
    // hitstun 300 ms gives 30 steps of 1 px.
    const struct { int attacker, defender, defenderEnd, attackerEnd; } cases[] = {
        {400, 430, 460, 400},  // slides the whole 30 px
        {780, 790, 800, 760},  // 10 px to the side, the attacker gives the other 20
        {20, 10, 0, 40},       // the same at the left side
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "defender at " << c.defender);
        SetUp();
        bool right = c.defender > c.attacker;
        stand(player(), c.attacker, right);
        stand(partner(), c.defender, !right);
        hitData hit;
        startCapture();
        landHit(*scene, hit, &player(), true, partner(), screenBox(), right, 1000);
        for (int now = 1000; now <= 1500; now += 10) partner().reactStep(now);
        stopCapture();
        EXPECT_EQ(partner().x, c.defenderEnd);
        EXPECT_EQ(player().x, c.attackerEnd);
    }
}

TEST_F(Hits, ParticlesRaiseTheirHitEventsInOrderAndLaunchTheirEntries) {
    // Body of a fighter facing right at 400: x 395..414, y 470..529. A
    // particle spawned at (400, 500) covers 395..414, 496..505.
    const struct {
        const char* name;
        bool ownedByPlayer;  // else by the partner
        bool onPlayer;       // else on the partner, the Target
        std::vector<std::string> events;
        std::vector<std::string> launched;  // the list's front after the step
        int damage;   // the shot's own hit file: 4 damage, no freeze; else the defaults
        bool frozen;
    } cases[] = {
        {"shot", false, true, {"OnHitPlayer", "OnHitEnemy"}, {"b", "b", "a"}, 4, false},
        {"shot", true, false, {"OnHitEnemy", "OnHitTarget"}, {"c", "b", "b"}, 4, false},
        {"targeted", true, false, {"OnHitTarget"}, {"c"}, 10, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Fighter& owner = c.ownedByPlayer ? player() : partner();
        Fighter& struck = c.onPlayer ? player() : partner();
        owner.x = 100;
        particle* part = launch(std::string(c.name) + " 400 500", &owner);
        EXPECT_EQ(hitEventsOn(*scene, *part, struck), c.events);
        std::string out = step();
        EXPECT_EQ(names(), c.launched);
        for (partNode* node = scene->pList.head; node; node = node->next)
            EXPECT_EQ(node->part->owner, &owner) << "launched particles belong to the owner";
        EXPECT_EQ(out.find("in here bad boy"), std::string::npos) << "OnDeath is not launched";
        EXPECT_TRUE(struck.reeling);
        EXPECT_NE(out.find("damage " + std::to_string(c.damage) + "\n"), std::string::npos) << out;
        // The panel tells only of hits on the partner.
        EXPECT_EQ(scene->panel.lastDamage, c.onPlayer ? 0 : c.damage);
        EXPECT_EQ(struck.frozen(1000), c.frozen);
    }
}

TEST_F(Hits, ParticlesWithoutHitEntriesAndOnTheirOwnerFlyThrough) {
    const struct { const char* name; bool ownedByStruck; } cases[] = {
        {"ember", false},    // no hit entries
        {"targeted", false}, // OnHitTarget only, touching the player, who is not the Target
        {"shot", true},      // everything, but on its owner
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        player().x = 100;
        Fighter& struck = c.ownedByStruck ? partner() : player();
        struck.x = 400;
        partner().x = c.ownedByStruck ? 400 : 700;
        particle* part = launch(std::string(c.name) + " 400 500", &partner());
        step();
        EXPECT_FALSE(part->dead);
        EXPECT_EQ(scene->pList.size(), 1);
        EXPECT_FALSE(struck.reeling);
        EXPECT_FALSE(scene->panel.anyHit);
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
    scene->training = true;
    fillSurface(testScreen(), 0);
    // Mid-fight: the player in the air behind the partner, the partner reeling
    // from a combo, a particle on screen.
    partner().x = 300;
    player().x = 280;
    startJab(player());
    ASSERT_TRUE(hits(player(), partner()));
    player().x = 500;
    player().y = 200;
    player().grounded = false;
    player().airActions = 0;
    scene->panel.recordHit(7, true, 0, 1000);
    launch("shot 100 100", &player());
    scene->trainer.recording.length = 500;
    scene->trainer.playback.start(scene->trainer.recording, 200);
    scene->control.now = 1000;
    scene->trainer.stance = partnerStance::jump;
    startCapture();
    DrawSprites(*scene);
    stopCapture();
    auto yellow = [] {
        int count = 0;
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) count += pixelAt(testScreen(), x, y) == 0xffff00;
        return count;
    };
    ASSERT_GT(yellow(), 0) << "the particle is drawn";

    // Without training the key does nothing.
    scene->training = false;
    startCapture();
    actOn(*scene, playerRequest::reset);
    stopCapture();
    EXPECT_EQ(500, player().x);
    scene->training = true;
    startCapture();
    actOn(*scene, playerRequest::reset);
    DrawSprites(*scene);
    stopCapture();

    EXPECT_EQ(0, yellow()) << "the particle's image is wiped with it";
    EXPECT_EQ(0, scene->pList.size());
    const struct { Fighter* fighter; int x; bool right; } rows[] = {
        {&player(), kPlayerX, true},  // the two face each other
        {&partner(), kPartnerX, false},
    };
    for (const auto& row : rows) {
        const Fighter& f = *row.fighter;
        EXPECT_EQ(row.x, f.x);
        EXPECT_EQ(kGroundLevel, f.y);
        EXPECT_EQ(row.right, f.dir);
        EXPECT_TRUE(f.grounded);
        EXPECT_EQ(2, f.airActions);
        EXPECT_FALSE(f.reeling);
        EXPECT_FALSE(f.frozen(1000));
        EXPECT_EQ(nullptr, f.currentMove);
        EXPECT_EQ("standing", f.action);
    }
    EXPECT_EQ(0, scene->panel.comboHits);
    EXPECT_EQ(0, scene->panel.comboDamage);
    EXPECT_EQ(500, scene->trainer.recording.length);
    EXPECT_EQ(partnerStance::jump, scene->trainer.stance);
    EXPECT_TRUE(scene->trainer.playback.playing);
    EXPECT_EQ(1000, scene->trainer.playback.loopStartedAt) << "the playback starts again with the fighters";
}

TEST_F(Hits, StanceKeyCyclesThePartnerThroughStandCrouchAndJumpAgainOnEachLanding) {
    scene->training = true;
    // Presses of the stance key, then two seconds of movement steps.
    const struct { int presses; const char* shown; bool ducks; int takeOffs; } rows[] = {
        {0, "stand", false, 0},
        {1, "crouch", true, 0},
        {2, "jump", false, 2},
        {3, "stand", false, 0},
    };
    for (const auto& row : rows) {
        SetUp();
        scene->training = true;
        startCapture();
        wirePartnerControl(*scene);
        for (int press = 0; press < row.presses; ++press) actOn(*scene, playerRequest::stance);
        stopCapture();
        EXPECT_EQ("stance " + std::string(row.shown), scene->panel.lines()[1]) << row.presses;
        bool ducked = false, wasGrounded = true;
        int takeOffs = 0;
        for (int at = 1010; at <= 3000; at += 10) {
            clockSet(static_cast<Uint32>(at));
            startCapture();
            scene->partnerControl.update();
            drivePartner(*scene);
            stopCapture();
            ducked = ducked || partner().action == "duck";
            takeOffs += wasGrounded && !partner().grounded;
            wasGrounded = partner().grounded;
        }
        EXPECT_EQ(row.ducks, ducked) << row.presses;
        EXPECT_LE(row.takeOffs, takeOffs) << row.presses << ": jumps again after landing";
        if (!row.takeOffs) {
            EXPECT_EQ(0, takeOffs) << row.presses;
        }
    }
}
