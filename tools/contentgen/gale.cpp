// The second character, "Gale": a tall, long-limbed kicker who fights with
// open hands and throws the wind. Poses are written for Burn's measures and
// stretched onto Gale's longer figure when drawn.
#include <cmath>

#include "character.h"
#include "contentgen.h"

namespace {
// Upright and light on the feet, both hands open: the lead palm held out.
Pose galeStance(float breath, float tail) {
    Pose p;
    p.pelvis = v(-2, 58.5f + breath * 0.8f);
    p.lean = 5 - breath;
    p.handNear = v(14, 96 + breath * 2.0f);
    p.handFar = v(36, 104 + breath * 2.0f);
    p.shapeNear = Hand::Palm;
    p.shapeFar = Hand::Palm;
    p.footNear = v(-19, 5.5f);
    p.footFar = v(17, 5.5f);
    p.tail = tail;
    return p;
}

Pose galeCrouch(float breath, float tail) {
    Pose p = galeStance(breath, tail);
    p.pelvis = v(-4, 34 + breath * 0.8f);
    p.lean = 18 - breath * 2;
    p.headTilt = -12;
    p.handNear = v(16, 68 + breath * 1.5f);
    p.handFar = v(32, 74 + breath * 1.5f);
    p.footNear = v(-20, 5.5f);
    p.footFar = v(21, 5.5f);
    return p;
}

// Breathing in a stance: a brief lead-in, then in, halfway and out.
std::vector<FrameDef> breathing(Pose (*pose)(float, float), const char* what) {
    const float breath[] = {0.5f, 1.0f, 0.5f, 0.0f};
    const int pause[] = {8, 90, 80, 90};
    std::vector<FrameDef> frames;
    for (int i = 0; i < 4; ++i) {
        FrameDef f;
        f.pose = pose(breath[i], -0.6f + 0.4f * std::sin(i * 1.6f));
        f.pause = pause[i];
        f.note = std::string(what) + (i == 0 ? ", lead-in" : ", breathing");
        frames.push_back(f);
    }
    return frames;
}

std::vector<FrameDef> standing() { return breathing(galeStance, "open-handed stance"); }
std::vector<FrameDef> duck() { return breathing(galeCrouch, "crouched, hands open"); }

// Forearms crossed before the face, `low` in the crouch.
std::vector<FrameDef> guarding(bool low) {
    std::vector<FrameDef> frames;
    for (int i = 0; i < 2; ++i) {
        FrameDef f;
        f.pose = low ? galeCrouch(0.5f, -0.3f) : galeStance(0.5f, -0.3f);
        f.pose.lean = low ? 14 : 0;
        f.pose.headTilt = 10;
        f.pose.pelvis.x -= 2;
        f.pose.shapeNear = f.pose.shapeFar = Hand::Fist;
        float top = low ? 74 : 98;
        f.pose.handNear = v(30 - i, top - 2);
        f.pose.handFar = v(24 - i, top + 5);
        f.pause = i == 0 ? 8 : 100;
        f.pose.tail = i == 0 ? -0.3f : 0.1f;
        f.note = i == 0 ? "arms snap up, crossed (brief lead-in)" : "braced behind the crossed arms";
        frames.push_back(f);
    }
    return frames;
}

std::vector<FrameDef> ko() {
    std::vector<FrameDef> frames;
    FrameDef struck;
    struck.pose = galeStance(0.5f, 0.6f);
    struck.pose.lean = -14;
    struck.pose.headTilt = -26;
    struck.pose.handNear = v(-20, 80);
    struck.pose.handFar = v(4, 96);
    struck.pause = 6;
    struck.note = "struck (brief: timed from the previous frame change)";
    frames.push_back(struck);

    FrameDef reeling;
    reeling.pose.pelvis = v(-6, 52);
    reeling.pose.lean = -34;
    reeling.pose.headTilt = -22;
    reeling.pose.handNear = v(-36, 90);
    reeling.pose.handFar = v(-14, 104);
    reeling.pose.elbowNear = 1;
    reeling.pose.footNear = v(-24, 5.5f);
    reeling.pose.footFar = v(18, 20);
    reeling.pose.toeFar = 20;
    reeling.pose.tail = 1;
    reeling.pause = 40;
    reeling.note = "knocked off the feet, arms flung back";
    frames.push_back(reeling);

    FrameDef falling;
    falling.pose.pelvis = v(2, 30);
    falling.pose.lean = -62;
    falling.pose.headTilt = -26;
    falling.pose.handNear = v(-40, 64);
    falling.pose.handFar = v(-22, 74);
    falling.pose.footNear = v(38, 30);
    falling.pose.footFar = v(30, 14);
    falling.pose.toeNear = 30;
    falling.pose.tail = 0.6f;
    falling.pause = 45;
    falling.note = "falling backward, the feet leaving the floor";
    frames.push_back(falling);

    FrameDef landing;
    landing.pose.pelvis = v(8, 12);
    landing.pose.lean = -84;
    landing.pose.headTilt = -40;
    landing.pose.handNear = v(-22, 26);
    landing.pose.handFar = v(-40, 34);
    landing.pose.footNear = v(42, 22);
    landing.pose.footFar = v(50, 12);
    landing.pose.toeNear = 30;
    landing.pose.tail = -0.2f;
    landing.pause = 30;
    landing.sound = "galeFall";
    landing.note = "slammed onto the back, the legs bouncing";
    frames.push_back(landing);

    FrameDef lying = landing;
    lying.pose.pelvis = v(8, 10);
    lying.pose.lean = -90;
    lying.pose.headTilt = -49;
    lying.pose.handNear = v(-8, 8);
    lying.pose.handFar = v(-40, 12);
    lying.pose.footNear = v(36, 5.5f);
    lying.pose.footFar = v(50, 5.5f);
    lying.pose.toeNear = 0;
    lying.pose.toeFar = 20;
    lying.pose.tail = 0.5f;
    lying.pause = 1000;
    lying.sound = "NULL";
    lying.note = "lying still, one knee up: held";
    frames.push_back(lying);
    return frames;
}

// --- Moves ---

std::vector<FrameDef> palm() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = galeStance(0.5f, 0);
    f0.pose.handFar = v(26, 100);
    f0.pose.lean = 8;
    f0.pause = 10;
    f0.note = "the lead hand draws in";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(2, 57);
    f1.pose.lean = 12;
    f1.pose.handFar = v(68, 102);
    f1.pose.handNear = v(12, 92);
    f1.pose.strike = Strike::FarFist;
    f1.pose.trail = 0.4f;
    f1.pose.trailFrom = v(30, 96);
    f1.pose.tail = -0.8f;
    f1.pause = 22;
    f1.sound = "galePalm";
    f1.note = "the palm snaps out";
    frames.push_back(f1);

    FrameDef f2 = f0;
    f2.pose.handFar = v(44, 103);
    f2.pose.tail = 0.2f;
    f2.pause = 18;
    f2.note = "back to the stance";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> longKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = galeStance(0.5f, 0);
    f0.pose.pelvis = v(-4, 60);
    f0.pose.footNear = v(10, 44);
    f0.pose.footFar = v(2, 5.5f);
    f0.pose.toeNear = -10;
    f0.pause = 15;
    f0.note = "knee up";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(-10, 60);
    f1.pose.lean = -20;
    f1.pose.headTilt = 10;
    f1.pose.footNear = v(66, 66);
    f1.pose.footFar = v(-4, 5.5f);
    f1.pose.toeNear = 20;
    f1.pose.handNear = v(-14, 88);
    f1.pose.handFar = v(18, 100);
    f1.pose.strike = Strike::NearFoot;
    f1.pose.trail = 0.6f;
    f1.pose.trailFrom = v(12, 42);
    f1.pose.trailBend = -8;
    f1.pose.tail = -0.9f;
    f1.pause = 32;
    f1.moveX = 1;
    f1.sound = "galeKick";
    f1.note = "the leg thrusts out straight at the chest";
    frames.push_back(f1);

    FrameDef f2 = f0;
    f2.pose.footNear = v(14, 38);
    f2.pose.tail = 0.3f;
    f2.pause = 18;
    f2.note = "re-chamber";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> axeKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = galeStance(0.5f, 0);
    f0.pose.lean = 0;
    f0.pose.footNear = v(6, 30);
    f0.pose.kneeNear = 1;
    f0.pause = 15;
    f0.note = "weight onto the back foot";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(-6, 62);
    f1.pose.lean = -14;
    f1.pose.headTilt = 8;
    f1.pose.footNear = v(28, 104);
    f1.pose.kneeNear = -1;
    f1.pose.toeNear = 60;
    f1.pose.footFar = v(-2, 5.5f);
    f1.pose.handNear = v(-16, 90);
    f1.pose.handFar = v(20, 96);
    f1.pose.tail = 0.8f;
    f1.pause = 22;
    f1.moveX = 2;
    f1.sound = "whoosh";
    f1.note = "the heel swung up high";
    frames.push_back(f1);

    FrameDef f2 = f1;
    f2.pose.pelvis = v(0, 58);
    f2.pose.lean = 14;
    f2.pose.headTilt = 0;
    f2.pose.footNear = v(52, 88);
    f2.pose.kneeNear = 1;
    f2.pose.toeNear = -20;
    f2.pose.strike = Strike::NearFoot;
    f2.pose.trail = 1.0f;
    f2.pose.trailFrom = v(24, 106);
    f2.pose.trailBend = -16;
    f2.pose.tail = -1;
    f2.pause = 30;
    f2.moveX = 2;
    f2.sound = "impact";
    f2.note = "the heel chops down on the head";
    frames.push_back(f2);

    FrameDef f3;
    f3.pose = galeStance(0.5f, 0.4f);
    f3.pose.footNear = v(-8, 14);
    f3.pose.toeNear = -20;
    f3.pause = 25;
    f3.note = "the foot comes back";
    frames.push_back(f3);
    return frames;
}

std::vector<FrameDef> lowKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = galeCrouch(0.5f, 0);
    f0.pose.footNear = v(-8, 12);
    f0.pause = 12;
    f0.note = "crouched, the foot drawn in";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(-8, 32);
    f1.pose.lean = 24;
    f1.pose.footNear = v(62, 8);
    f1.pose.toeNear = 60;
    f1.pose.strike = Strike::NearFoot;
    f1.pose.tail = -0.8f;
    f1.pause = 24;
    f1.sound = "galeKick";
    f1.note = "a stab at the shin";
    frames.push_back(f1);

    FrameDef f2 = f0;
    f2.pose.footNear = v(-14, 8);
    f2.pose.tail = 0.3f;
    f2.pause = 16;
    f2.note = "back into the crouch";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> sweep() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = galeCrouch(0.5f, 0);
    f0.pose.pelvis = v(-6, 28);
    f0.pose.lean = 30;
    f0.pose.handFar = v(22, 18);
    f0.pose.elbowFar = 1;
    f0.pause = 15;
    f0.note = "dropping low on one hand";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose.pelvis = v(-16, 22);
    f1.pose.lean = 44;
    f1.pose.headTilt = -36;
    f1.pose.handNear = v(-4, 40);
    f1.pose.handFar = v(8, 10);
    f1.pose.elbowFar = 1;
    f1.pose.footNear = v(58, 7);
    f1.pose.footFar = v(-30, 5.5f);
    f1.pose.toeNear = 70;
    f1.pose.strike = Strike::NearFoot;
    f1.pose.trail = 0.8f;
    f1.pose.trailFrom = v(-12, 8);
    f1.pose.trailBend = -10;
    f1.pose.tail = 0.9f;
    f1.pause = 24;
    f1.moveX = 1;
    f1.sound = "galeSweep";
    f1.note = "the leg sweeps along the floor";
    frames.push_back(f1);

    FrameDef f2 = f1;
    f2.pose.pelvis = v(-14, 26);
    f2.pose.lean = 30;
    f2.pose.footNear = v(56, 30);
    f2.pose.toeNear = 40;
    f2.pose.trail = 0.6f;
    f2.pose.trailFrom = v(40, 6);
    f2.pose.trailBend = 8;
    f2.pose.tail = 1;
    f2.pause = 20;
    f2.moveX = 0;
    f2.sound = "NULL";
    f2.note = "the sweep rises, scooping the legs up";
    frames.push_back(f2);

    FrameDef f3;
    f3.pose = galeCrouch(0.5f, 0.4f);
    f3.pause = 28;
    f3.note = "back into the crouch";
    frames.push_back(f3);
    return frames;
}

std::vector<FrameDef> airKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose.pelvis = v(0, 66);
    f0.pose.lean = 4;
    f0.pose.handNear = v(-4, 100);
    f0.pose.handFar = v(24, 106);
    f0.pose.shapeNear = f0.pose.shapeFar = Hand::Palm;
    f0.pose.footNear = v(10, 40);
    f0.pose.footFar = v(-8, 32);
    f0.pose.toeNear = 10;
    f0.pose.toeFar = -30;
    f0.pose.tail = 0.8f;
    f0.pause = 18;
    f0.moveY = 1;
    f0.note = "knees drawn up in the air; hovering, so the kick never ends on the floor";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(-8, 74);
    f1.pose.lean = -30;
    f1.pose.headTilt = 26;
    f1.pose.handNear = v(-44, 98);
    f1.pose.handFar = v(4, 104);
    f1.pose.footNear = v(48, 34);
    f1.pose.footFar = v(-24, 56);
    f1.pose.toeNear = 50;
    f1.pose.strike = Strike::NearFoot;
    f1.pose.trail = 0.7f;
    f1.pose.trailFrom = v(8, 44);
    f1.pose.trailBend = -6;
    f1.pose.tail = 1;
    f1.pause = 36;
    f1.moveX = 4;
    f1.moveY = 1;
    f1.sound = "galeKick";
    f1.note = "the leg stabs down and ahead";
    frames.push_back(f1);

    FrameDef f2 = f1;
    f2.pose.footNear = v(44, 28);
    f2.pose.trail = 0;
    f2.pose.tail = 0.5f;
    f2.pause = 12;
    f2.moveX = 2;
    f2.moveY = 0;
    f2.sound = "NULL";
    f2.note = "the kick drops";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> gust() {
    std::vector<FrameDef> frames;
    FrameDef lead;
    lead.pose = galeStance(0.5f, 0.2f);
    lead.pose.handNear = v(-2, 84);
    lead.pose.handFar = v(8, 90);
    lead.pause = 8;
    lead.note = "hands sweeping back (brief: timed from the previous frame change)";
    frames.push_back(lead);

    FrameDef f0 = lead;
    f0.pose.pelvis = v(-6, 56);
    f0.pose.lean = 0;
    f0.pose.handNear = v(-24, 78);
    f0.pose.handFar = v(-14, 96);
    f0.pose.footNear = v(-24, 5.5f);
    f0.pose.footFar = v(20, 5.5f);
    f0.pose.palmFire = 0.5f;
    f0.pose.seed = 31;
    f0.pose.tail = 0.8f;
    f0.pause = 35;
    f0.note = "the wind gathers between the hands";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(4, 55);
    f1.pose.lean = 14;
    f1.pose.handNear = v(60, 86);
    f1.pose.handFar = v(64, 96);
    f1.pose.footNear = v(-30, 5.5f);
    f1.pose.footFar = v(28, 5.5f);
    f1.pose.palmFire = 0.6f;
    f1.pose.seed = 33;
    f1.pose.trail = 0.5f;
    f1.pose.trailFrom = v(-10, 92);
    f1.pose.trailBend = 14;
    f1.pose.strike = Strike::None;
    f1.pose.tail = -1;
    f1.pause = 40;
    f1.sound = "galeGust";
    f1.particles = {"gust 84 96"};
    f1.note = "both palms sweep forward: the wind blade flies";
    frames.push_back(f1);

    FrameDef f2 = f1;
    f2.pose.palmFire = 0;
    f2.pose.trail = 0;
    f2.pose.tail = -0.4f;
    f2.pause = 45;
    f2.sound = "NULL";
    f2.particles.clear();
    f2.note = "holding the push";
    frames.push_back(f2);

    FrameDef f3;
    f3.pose = galeStance(0.5f, 0.3f);
    f3.pause = 25;
    f3.note = "back to the stance";
    frames.push_back(f3);
    return frames;
}

struct GaleMove {
    const char* name;
    const char* command;
    const char* condition;
    std::vector<FrameDef> (*frames)();
    HitValues hit;      // damage, hitstop ms, hitstun ms, pushback px
    GuardValues guard;  // guard, blockstun ms, launch px per tick, juggle
    const char* feel;   // the hit file's opening comment
};

// File order decides ties: "DRA" before "A", the air kick before the ground
// moves of B, "DB" before "B" and "DC" before "C". Every guarded hit holds
// the defender shorter than it would reel, so blocking pays.
const GaleMove kGaleMoves[] = {
    {"galeGust", "DRA", "ground = true", gust, kGustHit, kGustGuard,
     "galeGust: the palms never strike; the wind blade (particle gust) hits with these values"},
    {"galePalm", "A", "null", palm, {5, 70, 200, 14}, {"mid", 120, 0, 3}, "galePalm: a quick open-hand strike"},
    {"galeAirKick", "B", "ground = false", airKick, {10, 100, 260, 24}, {"high", 170, 0, 3},
     "galeAirKick: a kick stabbing down from a jump, guarded standing"},
    {"galeLowKick", "DB", "ground = true", lowKick, {6, 75, 210, 16}, {"low", 130, 0, 3},
     "galeLowKick: a crouching stab at the shin, guarded crouching"},
    {"galeLongKick", "B", "ground = true", longKick, {9, 90, 250, 24}, {"mid", 160, 0, 3},
     "galeLongKick: a straight thrust of the long leg"},
    {"galeSweep", "DC", "ground = true", sweep, {12, 110, 300, 20}, {"low", 190, 14, 3},
     "galeSweep: a low sweep that throws the defender into the air"},
    {"galeAxeKick", "C", "null", axeKick, {15, 120, 320, 30}, {"high", 200, 0, 3},
     "galeAxeKick: the heel falls from above, an overhead guarded standing"},
};
}  // namespace

void writeGale(Output& out) {
    const std::string folder = "Gale";
    // The first animation stands in for unknown names.
    std::vector<AnimDef> anims = {
        {"standing", standing(), "standing: open-handed stance, breathing"},
        {"walk", walk(), "walk: running stride, 3 pixels per movement step"},
        {"duck", duck(), "duck: crouched, hands open"},
        {"inAir", inAir(), "inAir: jump, from take-off to the fall"},
        {"blank", {blankFrameDef()}, "blank: the size of every frame, fully colour-keyed"},
        {"hurt", hurt(), "hurt: reeling from a blow, for the hitstun"},
        {"guard", guarding(false), "guard: standing guard, forearms crossed before the face"},
        {"duckGuard", guarding(true), "duckGuard: crouching guard, forearms crossed"},
        {"ko", ko(), "ko: knocked down, ending on the back, the last frame held"},
    };
    writeAnimations(out, folder, anims, Look::Gale);

    std::string moveset = "ANIMS: " + std::to_string(sizeof kGaleMoves / sizeof kGaleMoves[0]) + "\n";
    for (const GaleMove& m : kGaleMoves) {
        moveset += movesetEntry(m.name, m.command, m.condition);
        writeFrameSet(out, folder + "/" + m.name, std::string(m.name) + ": " + m.command + ", " + m.condition,
                      m.frames(), Look::Gale);
        out.writeText(folder + "/" + m.name + "/hit", hitText(m.feel, m.hit, m.guard));
    }
    out.writeText(folder + "/moveset", moveset);
    out.writeText(folder + "/stats", "# Gale: what the match's rules read\n# health in points\nhealth = 100\n");
}
