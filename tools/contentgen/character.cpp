// The character "Burn" and the training partner "Dummy": their animations,
// their moves, the moves' frame data and what each blow does when it lands.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "character.h"
#include "contentgen.h"

namespace {
const float kPi = 3.14159265f;

std::string frameFile(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame%02d.bmp", i);
    return name;
}
}  // namespace

void writeFrameSet(Output& out, const std::string& folder, const std::string& title,
                   const std::vector<FrameDef>& defs, Look look) {
    std::vector<FrameBlock> blocks;
    for (size_t i = 0; i < defs.size(); ++i) {
        const FrameDef& d = defs[i];
        FrameBlock block;
        block.note = d.note;
        block.file = frameFile(int(i));
        block.pause = d.pause;
        block.offsetX = kAnchorX;
        block.offsetY = kAnchorY;
        block.sound = d.sound;
        block.particles = d.particles;
        block.moveX = d.moveX;
        block.moveY = d.moveY;
        if (d.blank) {
            out.write(folder + "/" + block.file, bmpBytes(blankFrame(look)));
        } else {
            FighterFrame frame = renderFighter(d.pose, look);
            for (int k = 0; k < 4; ++k) {
                block.colBox[k] = frame.colBox[k];
                block.hitBox[k] = frame.hitBox[k];
            }
            block.hitActive = d.pose.strike != Strike::None ? 1 : 0;
            out.write(folder + "/" + block.file, bmpBytes(frame.image));
        }
        blocks.push_back(block);
    }
    out.writeText(folder + "/info", infoText(title, blocks));
}

void writeAnimations(Output& out, const std::string& folder, const std::vector<AnimDef>& anims, Look look) {
    std::string list = "ANIMS: " + std::to_string(anims.size()) + "\n";
    for (const AnimDef& a : anims) {
        list += std::string(a.name) + "\n";
        writeFrameSet(out, folder + "/" + a.name, a.title, a.frames, look);
    }
    out.writeText(folder + "/info", list);
}

FrameDef blankFrameDef() {
    FrameDef empty;
    empty.blank = true;
    empty.pause = 100;
    empty.note = "nothing but the colour key";
    return empty;
}

std::string movesetEntry(const std::string& name, const std::string& command, const std::string& condition) {
    // name, command, eight reserved values, condition
    return name + "\n" + command + "\n0\nNULL\n0\n0\nNULL\n0\n0\n0\n" + condition + "\n";
}

// --- Animations ---

namespace {
// The guard: weight low, lead fist forward, rear fist by the chin.
// `breath` from 0 (out) to 1 (in) lifts the chest and shoulders.
Pose stance(float breath, float tail) {
    Pose p;
    p.pelvis = v(-3, 57.5f + breath * 0.8f);
    p.lean = 10 - breath * 1.5f;
    p.handNear = v(17, 91 + breath * 2.0f);
    p.handFar = v(31, 99 + breath * 2.0f);
    p.footNear = v(-21, 5.5f);
    p.footFar = v(18, 5.5f);
    p.toeNear = 0;
    p.tail = tail;
    return p;
}

std::vector<FrameDef> standing() {
    // Frame 0 is a brief lead-in, so an action started from here rarely
    // finds the fighter on frame 0.
    const float breath[] = {0.5f, 1.0f, 0.5f, 0.0f};
    const int pause[] = {8, 90, 80, 90};
    std::vector<FrameDef> frames;
    for (int i = 0; i < 4; ++i) {
        FrameDef f;
        f.pose = stance(breath[i], std::sin(i * kPi / 2) * 0.6f);
        f.pause = pause[i];
        f.note = i == 0 ? "lead-in, between breaths" : i == 1 ? "breathing in" : i == 2 ? "halfway" : "breathing out";
        frames.push_back(f);
    }
    return frames;
}

// One foot over the running cycle, t in [0, 1): half the time on the floor
// sliding back under the body, half swinging forward through the air.
void runFoot(float t, float& x, float& y, float& toe) {
    const float stride = 60;
    t -= std::floor(t);
    if (t < 0.5f) {
        float u = t / 0.5f;
        x = stride / 2 - stride * u;
        y = 5.5f;
        toe = u > 0.75f ? (u - 0.75f) * 60.0f * -1.0f : 0.0f;
    } else {
        float u = (t - 0.5f) / 0.5f;
        float s = u * u * (3 - 2 * u);
        x = -stride / 2 + stride * s;
        y = 5.5f + 20.0f * std::sin(kPi * u) * (u < 0.5f ? 1.0f : 0.8f);
        toe = u < 0.4f ? -25.0f + u * 40.0f : 10.0f * (1.0f - u);
    }
}

Pose runPose(float t) {
    Pose p;
    float bounce = std::cos(4 * kPi * t);
    p.pelvis = v(2, 59.5f + 2.5f * bounce);
    p.lean = 15;
    float nx, ny, nt, fx, fy, ft;
    runFoot(t, nx, ny, nt);
    runFoot(t + 0.5f, fx, fy, ft);
    p.footNear = v(nx, ny);
    p.footFar = v(fx, fy);
    p.toeNear = nt;
    p.toeFar = ft;
    // Arms swing against the legs, elbows bent.
    float kn = -nx / 30.0f, kf = -fx / 30.0f;
    p.handNear = v(8 + 22 * kn, 78 + 10 * std::max(0.0f, kn) - 4 * std::max(0.0f, -kn) + 2.5f * bounce);
    p.handFar = v(12 + 22 * kf, 80 + 10 * std::max(0.0f, kf) - 4 * std::max(0.0f, -kf) + 2.5f * bounce);
    p.tail = -0.6f + 0.4f * std::sin(2 * kPi * t * 2);
    return p;
}

}  // namespace

std::vector<FrameDef> walk() {
    // Eight phases; phase 0 is split between a brief lead-in (frame 0) and
    // the last frame, so the cycle keeps an even beat.
    std::vector<FrameDef> frames;
    for (int i = 0; i <= 8; ++i) {
        FrameDef f;
        int phase = i % 8;
        f.pose = runPose(phase / 8.0f);
        f.pause = i == 0 ? 5 : i == 8 ? 12 : 17;
        if (i == 4 || i == 8) f.sound = "step";
        std::ostringstream note;
        note << "stride phase " << phase << " of 8" << (i == 0 ? ", lead-in" : "");
        if (i == 4 || i == 8) note << ", foot lands";
        f.note = note.str();
        frames.push_back(f);
    }
    return frames;
}

namespace {
Pose crouch(float breath, float tail) {
    Pose p;
    p.pelvis = v(-4, 33.5f + breath * 0.8f);
    p.lean = 22 - breath * 2;
    p.headTilt = -14;
    p.handNear = v(17, 66 + breath * 1.5f);
    p.handFar = v(30, 71 + breath * 1.5f);
    p.footNear = v(-20, 5.5f);
    p.footFar = v(21, 5.5f);
    p.toeNear = 0;
    p.tail = tail;
    return p;
}

std::vector<FrameDef> duck() {
    std::vector<FrameDef> frames;
    const float breath[] = {0.5f, 1.0f, 0.0f};
    const int pause[] = {8, 90, 90};
    for (int i = 0; i < 3; ++i) {
        FrameDef f;
        f.pose = crouch(breath[i], -0.3f + 0.3f * i);
        f.pause = pause[i];
        f.note = i == 0 ? "crouched guard, lead-in" : "crouched guard, breathing";
        frames.push_back(f);
    }
    return frames;
}

}  // namespace

// A move's or animation's first frame is timed from the previous frame
// change, so it may be skipped; the jump's first frame lasts long enough to
// be seen (and heard) whatever came before it.
std::vector<FrameDef> inAir() {
    std::vector<FrameDef> frames;
    FrameDef rise;
    rise.pose.pelvis = v(0, 66);
    rise.pose.lean = 10;
    rise.pose.headTilt = -8;
    rise.pose.handNear = v(6, 112);
    rise.pose.handFar = v(22, 116);
    rise.pose.elbowNear = -1;
    rise.pose.footNear = v(-10, 20);
    rise.pose.footFar = v(10, 34);
    rise.pose.toeNear = -35;
    rise.pose.toeFar = -20;
    rise.pose.tail = -1;
    rise.pause = 100;
    rise.sound = "jump";
    rise.note = "springing up, one knee high";
    frames.push_back(rise);

    FrameDef tuck;
    tuck.pose.pelvis = v(0, 66);
    tuck.pose.lean = 16;
    tuck.pose.handNear = v(16, 96);
    tuck.pose.handFar = v(28, 102);
    tuck.pose.footNear = v(-6, 36);
    tuck.pose.footFar = v(12, 42);
    tuck.pose.toeNear = -20;
    tuck.pose.toeFar = -10;
    tuck.pose.tail = -0.4f;
    tuck.pause = 70;
    tuck.note = "knees tucked at the top";
    frames.push_back(tuck);

    FrameDef fall;
    fall.pose.pelvis = v(0, 64);
    fall.pose.lean = 8;
    fall.pose.handNear = v(-6, 98);
    fall.pose.handFar = v(34, 104);
    fall.pose.footNear = v(-14, 14);
    fall.pose.footFar = v(14, 20);
    fall.pose.toeNear = -18;
    fall.pose.toeFar = 0;
    fall.pose.tail = 0.8f;
    fall.pause = 150;
    fall.note = "legs reaching for the floor";
    frames.push_back(fall);
    return frames;
}

// Reeling from a blow taken in the face: the head snaps back, the body folds
// over the hurt, then straightens toward the guard. The pauses add up to more
// than the longest hitstun, so the recoil never starts over within one hit.
std::vector<FrameDef> hurt() {
    std::vector<FrameDef> frames;
    FrameDef struck;
    struck.pose = stance(0.5f, 0.4f);
    struck.pose.pelvis = v(-5, 57);
    struck.pose.lean = 2;
    struck.pose.headTilt = -14;
    struck.pose.handNear = v(12, 86);
    struck.pose.handFar = v(24, 94);
    struck.pause = 3;
    struck.note = "struck (brief: timed from the previous frame change)";
    frames.push_back(struck);

    FrameDef snapped;
    snapped.pose.pelvis = v(-9, 56);
    snapped.pose.lean = -20;
    snapped.pose.headTilt = -30;
    snapped.pose.handNear = v(-44, 66);
    snapped.pose.elbowNear = 1;
    snapped.pose.handFar = v(-6, 68);
    snapped.pose.footNear = v(-30, 5.5f);
    snapped.pose.footFar = v(14, 5.5f);
    snapped.pose.toeFar = 22;
    snapped.pose.tail = 1;
    snapped.pause = 30;
    snapped.note = "head snapped back, the near arm flung behind, rocking onto the front heel";
    frames.push_back(snapped);

    FrameDef bent;
    bent.pose.pelvis = v(-8, 50);
    bent.pose.lean = 34;
    bent.pose.headTilt = 16;
    bent.pose.handNear = v(8, 60);
    bent.pose.handFar = v(18, 64);
    bent.pose.footNear = v(-26, 5.5f);
    bent.pose.footFar = v(12, 5.5f);
    bent.pose.tail = -0.6f;
    bent.pause = 45;
    bent.note = "doubled over, knees giving";
    frames.push_back(bent);

    FrameDef recovering;
    recovering.pose = stance(0.5f, 0.2f);
    recovering.pose.pelvis = v(-6, 54);
    recovering.pose.lean = 18;
    recovering.pose.headTilt = 4;
    recovering.pose.handNear = v(12, 80);
    recovering.pose.handFar = v(22, 86);
    recovering.pose.footNear = v(-23, 5.5f);
    recovering.pause = 70;
    recovering.note = "straightening, the guard coming back up";
    frames.push_back(recovering);
    return frames;
}

// --- Moves ---

namespace {
std::vector<FrameDef> risingFlame() {
    std::vector<FrameDef> frames;
    FrameDef lead;
    lead.pose = crouch(0.5f, 0.2f);
    lead.pose.pelvis = v(-2, 44);
    lead.pose.handNear = v(6, 60);
    lead.pause = 6;
    lead.note = "sinking (brief: timed from the previous frame change)";
    frames.push_back(lead);

    FrameDef f0;
    f0.pose = crouch(0.5f, 0.2f);
    f0.pose.pelvis = v(0, 36);
    f0.pose.lean = 28;
    f0.pose.handNear = v(-2, 44);
    f0.pose.handFar = v(30, 72);
    f0.pose.flame = 0.35f;
    f0.pose.seed = 3;
    f0.pause = 20;
    f0.note = "coiled low, fist smouldering";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose.pelvis = v(4, 60);
    f1.pose.lean = 8;
    f1.pose.headTilt = -10;
    f1.pose.handNear = v(28, 110);
    f1.pose.elbowNear = -1;
    f1.pose.handFar = v(6, 74);
    f1.pose.footNear = v(-12, 10);
    f1.pose.footFar = v(16, 5.5f);
    f1.pose.toeNear = -30;
    f1.pose.flame = 0.7f;
    f1.pose.seed = 5;
    f1.pose.strike = Strike::NearFist;
    f1.pose.trail = 0.8f;
    f1.pose.trailFrom = v(4, 52);
    f1.pose.trailBend = 10;
    f1.pose.tail = -0.9f;
    f1.pause = 20;
    f1.moveX = 3;
    f1.moveY = 4;
    f1.sound = "rising";
    f1.note = "launch: the burning fist drives up";
    frames.push_back(f1);

    FrameDef f2;
    f2.pose.pelvis = v(2, 52);
    f2.pose.lean = -4;
    f2.pose.headTilt = -22;
    f2.pose.handNear = v(16, 130);
    f2.pose.elbowNear = 1;
    f2.pose.handFar = v(-6, 72);
    f2.pose.footNear = v(-12, 16);
    f2.pose.footFar = v(8, 2);
    f2.pose.toeNear = -30;
    f2.pose.toeFar = -40;
    f2.pose.flame = 0.6f;
    f2.pose.seed = 8;
    f2.pose.strike = Strike::NearFist;
    f2.pose.tail = -1.0f;
    f2.pause = 25;
    f2.moveX = 2;
    f2.moveY = 4;
    f2.sound = "burst";
    f2.particles = {"ember 20 138", "cinder 10 132"};
    f2.note = "full reach, the flame bursts and throws sparks";
    frames.push_back(f2);

    FrameDef f3 = f2;
    f3.pose.handNear = v(14, 127);
    f3.pose.footNear = v(-10, 18);
    f3.pose.footFar = v(8, 8);
    f3.pose.flame = 0.45f;
    f3.pose.seed = 11;
    f3.pose.strike = Strike::None;
    f3.pose.tail = 0.4f;
    f3.pause = 30;
    f3.moveX = 0;
    f3.moveY = 0;
    f3.sound = "NULL";
    f3.particles.clear();
    f3.note = "hanging at the top";
    frames.push_back(f3);

    FrameDef f4;
    f4.pose = stance(0.5f, 0.8f);
    f4.pose.pelvis = v(-2, 64);
    f4.pose.handNear = v(14, 110);
    f4.pose.elbowNear = 1;
    f4.pose.footNear = v(-16, 16);
    f4.pose.footFar = v(16, 10);
    f4.pose.toeNear = -20;
    f4.pause = 20;
    f4.note = "coming down";
    frames.push_back(f4);
    return frames;
}

std::vector<FrameDef> flameThrow() {
    std::vector<FrameDef> frames;
    FrameDef lead;
    lead.pose = stance(0.5f, 0.2f);
    lead.pose.pelvis = v(-4, 56);
    lead.pose.handNear = v(-4, 80);
    lead.pose.handFar = v(4, 86);
    lead.pose.shapeNear = Hand::Palm;
    lead.pose.shapeFar = Hand::Palm;
    lead.pause = 8;
    lead.note = "hands going back (brief: timed from the previous frame change)";
    frames.push_back(lead);

    FrameDef f0;
    f0.pose.pelvis = v(-6, 55);
    f0.pose.lean = 4;
    f0.pose.headTilt = 4;
    f0.pose.handNear = v(-22, 72);
    f0.pose.handFar = v(-18, 80);
    f0.pose.shapeNear = Hand::Palm;
    f0.pose.shapeFar = Hand::Palm;
    f0.pose.footNear = v(-24, 5.5f);
    f0.pose.footFar = v(20, 5.5f);
    f0.pose.palmFire = 0.5f;
    f0.pose.seed = 21;
    f0.pause = 35;
    f0.note = "hands drawn back, the fire gathers";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose.pelvis = v(4, 54);
    f1.pose.lean = 16;
    f1.pose.handNear = v(62, 82);
    f1.pose.handFar = v(64, 90);
    f1.pose.elbowNear = -1;
    f1.pose.shapeNear = Hand::Palm;
    f1.pose.shapeFar = Hand::Palm;
    f1.pose.footNear = v(-30, 5.5f);
    f1.pose.footFar = v(28, 5.5f);
    f1.pose.toeNear = 0;
    f1.pose.palmFire = 0.6f;
    f1.pose.seed = 23;
    f1.pose.tail = -0.8f;
    f1.pause = 40;
    f1.sound = "cast";
    f1.particles = {"fireball1 80 80"};
    f1.note = "both palms thrust: the fireball leaves the hands";
    frames.push_back(f1);

    FrameDef f2 = f1;
    f2.pose.handNear = v(60, 81);
    f2.pose.handFar = v(63, 89);
    f2.pose.palmFire = 0;
    f2.pose.tail = -0.3f;
    f2.pause = 50;
    f2.sound = "NULL";
    f2.particles.clear();
    f2.note = "holding the push";
    frames.push_back(f2);

    FrameDef f3;
    f3.pose = stance(0.5f, 0.3f);
    f3.pose.pelvis = v(0, 56);
    f3.pose.handNear = v(26, 88);
    f3.pose.handFar = v(40, 96);
    f3.pause = 25;
    f3.note = "back to guard";
    frames.push_back(f3);
    return frames;
}

std::vector<FrameDef> dashPunch() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = stance(0.5f, -0.5f);
    f0.pose.pelvis = v(2, 55);
    f0.pose.lean = 18;
    f0.pose.handNear = v(4, 88);
    f0.pose.footNear = v(-16, 5.5f);
    f0.pose.footFar = v(24, 5.5f);
    f0.pause = 15;
    f0.moveX = 4;
    f0.note = "leaning in";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose.pelvis = v(6, 52);
    f1.pose.lean = 22;
    f1.pose.handNear = v(-10, 82);
    f1.pose.handFar = v(36, 96);
    f1.pose.footNear = v(-34, 9);
    f1.pose.footFar = v(30, 5.5f);
    f1.pose.toeNear = -30;
    f1.pose.tail = -1;
    f1.pause = 20;
    f1.moveX = 7;
    f1.sound = "swoosh";
    f1.note = "lunging step, rear fist cocked";
    frames.push_back(f1);

    FrameDef f2;
    f2.pose.pelvis = v(8, 51);
    f2.pose.lean = 20;
    f2.pose.headTilt = -6;
    f2.pose.handNear = v(76, 93);
    f2.pose.handFar = v(12, 86);
    f2.pose.footNear = v(-36, 5.5f);
    f2.pose.footFar = v(34, 5.5f);
    f2.pose.toeNear = 0;
    f2.pose.strike = Strike::NearFist;
    f2.pose.trail = 0.6f;
    f2.pose.trailFrom = v(14, 84);
    f2.pose.trailBend = 3;
    f2.pose.tail = -0.9f;
    f2.pause = 30;
    f2.moveX = 5;
    f2.sound = "impact";
    f2.note = "straight punch lands";
    frames.push_back(f2);

    FrameDef f3;
    f3.pose = stance(0.5f, 0.4f);
    f3.pose.pelvis = v(2, 55);
    f3.pose.handNear = v(30, 92);
    f3.pause = 25;
    f3.moveX = 1;
    f3.note = "recovering";
    frames.push_back(f3);
    return frames;
}

std::vector<FrameDef> jab() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = stance(0.5f, 0);
    f0.pose.handFar = v(28, 96);
    f0.pose.lean = 12;
    f0.pause = 12;
    f0.note = "shoulder turns";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose = stance(0.5f, -0.6f);
    f1.pose.pelvis = v(0, 57);
    f1.pose.lean = 14;
    f1.pose.handFar = v(66, 101);
    f1.pose.handNear = v(16, 93);
    f1.pose.strike = Strike::FarFist;
    f1.pause = 25;
    f1.sound = "whoosh";
    f1.note = "lead fist snaps out";
    frames.push_back(f1);

    FrameDef f2;
    f2.pose = stance(0.5f, 0.2f);
    f2.pose.handFar = v(40, 99);
    f2.pause = 18;
    f2.note = "pulled back";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> flyingKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose.pelvis = v(0, 66);
    f0.pose.lean = -6;
    f0.pose.handNear = v(-6, 96);
    f0.pose.handFar = v(22, 104);
    f0.pose.footNear = v(14, 40);
    f0.pose.footFar = v(-8, 30);
    f0.pose.toeNear = 10;
    f0.pose.toeFar = -30;
    f0.pose.tail = -0.5f;
    f0.pause = 20;
    f0.moveY = 1;
    f0.note = "chambered in the air; hovering, so the kick never ends on the floor";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose.pelvis = v(-10, 76);
    f1.pose.lean = -38;
    f1.pose.headTilt = 30;
    f1.pose.handNear = v(-50, 92);
    f1.pose.handFar = v(6, 100);
    f1.pose.elbowNear = -1;
    f1.pose.footNear = v(50, 44);
    f1.pose.footFar = v(-30, 58);
    f1.pose.toeNear = 50;
    f1.pose.toeFar = -40;
    f1.pose.strike = Strike::NearFoot;
    f1.pose.trail = 0.8f;
    f1.pose.trailFrom = v(8, 40);
    f1.pose.trailBend = -8;
    f1.pose.tail = -1;
    f1.pause = 40;
    f1.moveX = 5;
    f1.moveY = 1;
    f1.sound = "whoosh";
    f1.note = "flying kick, foot first, gliding forward";
    frames.push_back(f1);

    FrameDef f2 = f1;
    f2.pose.footNear = v(46, 36);
    f2.pose.footFar = v(-24, 48);
    f2.pose.trail = 0;
    f2.pose.strike = Strike::NearFoot;
    f2.pose.tail = -0.4f;
    f2.pause = 12;
    f2.moveX = 3;
    f2.moveY = 0;
    f2.sound = "NULL";
    f2.note = "the kick drops";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> sweep() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = crouch(0.5f, 0);
    f0.pose.pelvis = v(-6, 30);
    f0.pose.lean = 30;
    f0.pose.handFar = v(24, 20);
    f0.pose.elbowFar = 1;
    f0.pause = 15;
    f0.note = "dropping low, a hand to the floor";
    frames.push_back(f0);

    FrameDef f1;
    f1.pose.pelvis = v(-18, 22);
    f1.pose.lean = 42;
    f1.pose.headTilt = -36;
    f1.pose.handNear = v(-4, 42);
    f1.pose.handFar = v(8, 10);
    f1.pose.elbowFar = 1;
    f1.pose.footNear = v(60, 7);
    f1.pose.footFar = v(-30, 5.5f);
    f1.pose.kneeNear = 1;
    f1.pose.toeNear = 70;
    f1.pose.strike = Strike::NearFoot;
    f1.pose.trail = 0.7f;
    f1.pose.trailFrom = v(-10, 8);
    f1.pose.trailBend = -10;
    f1.pose.tail = 0.9f;
    f1.pause = 30;
    f1.moveX = 1;
    f1.sound = "swoosh";
    f1.note = "the leg sweeps along the floor";
    frames.push_back(f1);

    FrameDef f2;
    f2.pose = crouch(0.5f, 0.4f);
    f2.pause = 20;
    f2.note = "back into the crouch";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> frontKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = stance(0.5f, 0);
    f0.pose.pelvis = v(-4, 60);
    f0.pose.lean = 2;
    f0.pose.footNear = v(8, 46);
    f0.pose.footFar = v(2, 5.5f);
    f0.pose.toeNear = -10;
    f0.pose.handNear = v(6, 94);
    f0.pause = 15;
    f0.note = "knee up";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(-8, 61);
    f1.pose.lean = -10;
    f1.pose.headTilt = 6;
    f1.pose.footNear = v(58, 70);
    f1.pose.footFar = v(-2, 5.5f);
    f1.pose.toeNear = 35;
    f1.pose.handNear = v(-8, 88);
    f1.pose.handFar = v(20, 98);
    f1.pose.strike = Strike::NearFoot;
    f1.pose.trail = 0.7f;
    f1.pose.trailFrom = v(10, 40);
    f1.pose.trailBend = -10;
    f1.pose.tail = -0.7f;
    f1.pause = 30;
    f1.sound = "whoosh";
    f1.note = "snap kick at chest height";
    frames.push_back(f1);

    FrameDef f2 = f0;
    f2.pose.footNear = v(12, 40);
    f2.pose.tail = 0.3f;
    f2.pause = 15;
    f2.note = "re-chamber";
    frames.push_back(f2);
    return frames;
}

std::vector<FrameDef> spinKick() {
    std::vector<FrameDef> frames;
    FrameDef f0;
    f0.pose = stance(0.5f, 0);
    f0.pose.lean = 6;
    f0.pose.turned = true;
    f0.pose.handNear = v(-14, 92);
    f0.pose.handFar = v(4, 96);
    f0.pose.footNear = v(-12, 5.5f);
    f0.pose.footFar = v(14, 5.5f);
    f0.pause = 15;
    f0.moveX = 2;
    f0.note = "turning the back";
    frames.push_back(f0);

    FrameDef f1 = f0;
    f1.pose.pelvis = v(0, 64);
    f1.pose.footNear = v(-30, 40);
    f1.pose.footFar = v(4, 5.5f);
    f1.pose.toeNear = -60;
    f1.pose.tail = 1;
    f1.pause = 15;
    f1.moveX = 4;
    f1.sound = "swoosh";
    f1.note = "spinning, the heel swings round";
    frames.push_back(f1);

    FrameDef f2;
    f2.pose.pelvis = v(-10, 64);
    f2.pose.lean = -24;
    f2.pose.headTilt = 10;
    f2.pose.handNear = v(-30, 86);
    f2.pose.handFar = v(8, 100);
    f2.pose.footNear = v(62, 104);
    f2.pose.footFar = v(-4, 5.5f);
    f2.pose.toeNear = 70;
    f2.pose.strike = Strike::NearFoot;
    f2.pose.trail = 1.0f;
    f2.pose.trailFrom = v(-30, 50);
    f2.pose.trailBend = 26;
    f2.pose.tail = 1;
    f2.pause = 30;
    f2.moveX = 3;
    f2.sound = "impact";
    f2.note = "heel strikes at head height";
    frames.push_back(f2);

    FrameDef f3;
    f3.pose = stance(0.5f, 0.5f);
    f3.pose.footNear = v(-12, 16);
    f3.pose.toeNear = -20;
    f3.pause = 20;
    f3.note = "landing back in guard";
    frames.push_back(f3);
    return frames;
}

struct MoveDef {
    const char* name;
    const char* command;
    const char* condition;
    std::vector<FrameDef> (*frames)();
    HitValues hit;    // damage, hitstop ms, hitstun ms, pushback px
    const char* feel;  // the hit file's opening comment
};

// File order decides ties: a command whose tail is another command stands
// before it ("RDRA" before "DRA" before "RA" before "A"), and the air-only
// kick is tried before the ground moves of the same button.
// The blows rise with the effort: the jab is the lightest touch, the rising
// flame the heaviest, and a heavier blow also stops, stuns and pushes longer.
// The hitstun leaves the attacker free first after any of them (about 70 to
// 170 ms sooner, the move's active time after contact and its recovery
// against the defender's hitstun); a low sweep pushes less than its weight.
const MoveDef kMoves[] = {
    {"risingFlame", "RDRA", "ground = true", risingFlame, {18, 140, 420, 44},
     "risingFlame: the burning uppercut, the heaviest blow"},
    {"flameThrow", "DRA", "ground = true", flameThrow, kFireballHit,
     "flameThrow: the palms never strike; the fireball (particle fireball1) hits with these values"},
    {"dashPunch", "RA", "ground = true", dashPunch, {12, 110, 290, 32}, "dashPunch: a lunging straight punch"},
    {"jab", "A", "null", jab, {5, 70, 200, 14}, "jab: a quick poke, the lightest blow"},
    {"flyingKick", "B", "ground = false", flyingKick, {11, 100, 270, 26}, "flyingKick: a kick from the air"},
    {"sweep", "DB", "ground = true", sweep, {9, 90, 250, 18}, "sweep: a low kick along the floor"},
    {"frontKick", "B", "ground = true", frontKick, {8, 85, 240, 20}, "frontKick: a snap kick to the chest"},
    {"spinKick", "C", "null", spinKick, {14, 120, 320, 38}, "spinKick: a spinning heel to the head"},
};
}  // namespace

void writeCharacter(Output& out, const std::string& folder, Look look) {
    // The first animation stands in for unknown names.
    std::vector<AnimDef> anims = {
        {"standing", standing(), "standing: fighting stance, breathing"},
        {"walk", walk(), "walk: running stride, 3 pixels per movement step"},
        {"duck", duck(), "duck: crouched guard"},
        {"inAir", inAir(), "inAir: jump, from take-off to the fall"},
        {"blank", {blankFrameDef()}, "blank: the size of every frame, fully colour-keyed"},
        {"hurt", hurt(), "hurt: reeling from a blow, for the hitstun"},
    };
    writeAnimations(out, folder, anims, look);

    std::string moveset = "ANIMS: " + std::to_string(sizeof kMoves / sizeof kMoves[0]) + "\n";
    for (const MoveDef& m : kMoves) {
        moveset += movesetEntry(m.name, m.command, m.condition);
        writeFrameSet(out, folder + "/" + m.name, std::string(m.name) + ": " + m.command + ", " + m.condition,
                      m.frames(), look);
        out.writeText(folder + "/" + m.name + "/hit", hitText(m.feel, m.hit));
    }
    out.writeText(folder + "/moveset", moveset);
}
