// The content generator: draws, synthesises and writes the bundled data
// deterministically. This file: the fighter's figure.
#include "fighter.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "noise.h"

namespace {
const float kPi = 3.14159265f;

Vec operator+(Vec a, Vec b) { return Vec{a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return Vec{a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, float k) { return Vec{a.x * k, a.y * k}; }
float dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
float length(Vec a) { return std::sqrt(dot(a, a)); }
Vec unit(Vec a) {
    float l = length(a);
    return l > 1e-6f ? a * (1.0f / l) : Vec{0, -1};
}
// Counter-clockwise rotation (y points up).
Vec rotate(Vec v, float degrees) {
    float r = degrees * kPi / 180.0f, c = std::cos(r), s = std::sin(r);
    return Vec{v.x * c - v.y * s, v.x * s + v.y * c};
}
// The forward axis of a body part whose up axis is `up`.
Vec forwardOf(Vec up) { return Vec{up.y, -up.x}; }
Vec local(Vec origin, Vec fwd, Vec up, float along, float upward) {
    return origin + fwd * along + up * upward;
}

// --- Materials: six shades each, the darkest being the outline ---
enum Material { Skin, Top, Pants, Belt, Hair, Band, Wrap, Boot, Fire, Eye, Smear, MaterialCount };

const uint32_t kBurnRamps[MaterialCount][6] = {
    {0x3a1c12, 0x7c4630, 0xa9683f, 0xcf8b58, 0xe9ac78, 0xf8d0a2},  // skin
    {0x2c080b, 0x6c1015, 0x9e1b1f, 0xcc3128, 0xea5636, 0xff875a},  // gi top, fire red
    {0x0c0e20, 0x1a1f40, 0x283262, 0x3a4886, 0x5064aa, 0x7689cc},  // pants, indigo
    {0x08080a, 0x18181e, 0x26262f, 0x363643, 0x4b4b5a, 0x666678},  // belt
    {0x0c0705, 0x22140d, 0x382216, 0x513321, 0x6a472e, 0x876142},  // hair
    {0x3a2806, 0x7a5810, 0xb5861a, 0xdcac2e, 0xf2cf4e, 0xfff08a},  // headband, gold
    {0x39332e, 0x6c6157, 0x988a7c, 0xc2b4a4, 0xe0d4c4, 0xfaf3e8},  // hand and ankle wraps
    {0x1c1009, 0x3b2414, 0x583720, 0x764d2e, 0x966841, 0xb4885e},  // shoes
    {0x5a0800, 0xa01e00, 0xe04c00, 0xff8e10, 0xffd040, 0xfff8c8},  // fire
    {0x101018, 0x30303c, 0x808090, 0xb8b8c4, 0xdcdce4, 0xfafaff},  // eyes
    {0x6078a0, 0x8ca0c4, 0xb0c0dc, 0xccd8ec, 0xe2eaf6, 0xf6f9ff},  // motion smear
};

// The training partner: cool colours throughout, so it never reads as Burn.
// Its fire and the eyes stay as Burn's, matching the shared particles.
const uint32_t kDummyRamps[MaterialCount][6] = {
    {0x1a202c, 0x3a4456, 0x566276, 0x728296, 0x94a4b8, 0xbccad8},  // skin, grey mannequin
    {0x061826, 0x0c3450, 0x14507a, 0x226ea4, 0x3890c8, 0x62b4e4},  // gi top, steel blue
    {0x0a0c10, 0x1a1e26, 0x2a303c, 0x3c4454, 0x525c70, 0x6c788e},  // pants, slate
    {0x2a2e34, 0x5a6068, 0x8a929c, 0xb4bcc6, 0xd4dae2, 0xf0f4f8},  // belt, white
    {0x0a0e14, 0x1a222e, 0x2a3644, 0x3c4a5c, 0x506276, 0x687c92},  // hair, dark slate
    {0x06282c, 0x0c5058, 0x14808a, 0x20aab4, 0x48d0d6, 0x90f0f0},  // headband, cyan
    {0x2c3238, 0x545e68, 0x7c8894, 0xa4b0bc, 0xc8d2dc, 0xeaf0f6},  // hand and ankle wraps
    {0x080a14, 0x141a2c, 0x222a44, 0x32405e, 0x46567a, 0x5e7096},  // shoes, navy
    {0x5a0800, 0xa01e00, 0xe04c00, 0xff8e10, 0xffd040, 0xfff8c8},  // fire
    {0x101018, 0x30303c, 0x808090, 0xb8b8c4, 0xdcdce4, 0xfafaff},  // eyes
    {0x6078a0, 0x8ca0c4, 0xb0c0dc, 0xccd8ec, 0xe2eaf6, 0xf6f9ff},  // motion smear
};

// Gale: a teal coat, a white scarf, dark hair and pale wind in place of fire.
const uint32_t kGaleRamps[MaterialCount][6] = {
    {0x3c2620, 0x7a5446, 0xb08270, 0xd4a690, 0xecc8b0, 0xfbe6d4},  // skin, fair
    {0x041e22, 0x0a3e44, 0x125e64, 0x1c8088, 0x30a4a8, 0x5cc8c4},  // coat, teal
    {0x0a0e12, 0x182028, 0x26303a, 0x36424e, 0x4a5866, 0x627282},  // trousers, slate
    {0x06080e, 0x101628, 0x1a2240, 0x263058, 0x344274, 0x485890},  // sash, navy
    {0x06060e, 0x121428, 0x1e2240, 0x2c3258, 0x3e4674, 0x566092},  // hair, blue-black
    {0x3c4a48, 0x7a8c88, 0xaebebc, 0xd2e0dc, 0xeaf4f0, 0xffffff},  // scarf, white
    {0x30383c, 0x5e6a70, 0x8c9aa0, 0xb8c4c8, 0xdae2e4, 0xf4f8f8},  // gloves and ankle wraps
    {0x060a0c, 0x121a1e, 0x1e2a30, 0x2c3c44, 0x3e525c, 0x566c78},  // boots
    {0x0a3a48, 0x146878, 0x2898a8, 0x58c4d0, 0xa0e4ec, 0xecffff},  // wind
    {0x101018, 0x30303c, 0x808090, 0xb8b8c4, 0xdcdce4, 0xfafaff},  // eyes
    {0x4890a0, 0x70b0bc, 0x98ccd4, 0xbce0e6, 0xd8eef2, 0xf2fcfd},  // motion smear
};

uint8_t colourIndex(int material, int level) { return uint8_t(1 + material * 6 + level); }

enum Part : uint8_t {
    NoPart,
    Tails,
    FarArm,
    FarFist,
    FarThigh,
    FarShin,
    FarFoot,
    NearThigh,
    NearShin,
    NearFoot,
    TorsoPart,
    HeadPart,
    NearArm,
    NearFist,
    FlamePart,
    SmearPart,
};

struct Paint {
    int material;
    int level = -1;  // fixed shade, or -1 for lit shading
};

using Sdf = std::function<float(Vec)>;
using PaintFn = std::function<Paint(Vec)>;

float sdCapsule(Vec p, Vec a, Vec b, float ra, float rb) {
    Vec ab = b - a;
    float l2 = dot(ab, ab);
    float t = l2 > 0 ? std::min(1.0f, std::max(0.0f, dot(p - a, ab) / l2)) : 0.0f;
    return length(p - (a + ab * t)) - (ra + (rb - ra) * t);
}

float sdEllipse(Vec p, Vec c, float rx, float ry, Vec axis) {
    Vec q = p - c;
    Vec across = forwardOf(axis);  // axis is the rx direction's normal
    float u = dot(q, across) / rx, v = dot(q, axis) / ry;
    return (std::sqrt(u * u + v * v) - 1.0f) * std::min(rx, ry);
}

// Signed distance to a simple polygon (negative inside).
float sdPolygon(Vec p, const std::vector<Vec>& pts) {
    float d = dot(p - pts[0], p - pts[0]);
    float sign = 1.0f;
    size_t n = pts.size();
    for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        Vec e = pts[j] - pts[i], w = p - pts[i];
        float t = std::min(1.0f, std::max(0.0f, dot(w, e) / dot(e, e)));
        Vec b = w - e * t;
        d = std::min(d, dot(b, b));
        bool c1 = p.y >= pts[i].y, c2 = p.y < pts[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sign = -sign;
    }
    return sign * std::sqrt(d);
}

struct Canvas {
    IndexedImage image;
    std::vector<uint8_t> owner;
    explicit Canvas(Look look)
        : image(kFrameW, kFrameH, fighterPalette(look)), owner(size_t(kFrameW) * kFrameH, NoPart) {}

    static Vec centre(int col, int row) { return Vec{col + 0.5f - kAnchorX, kAnchorY - (row + 0.5f)}; }
    static int column(float x) { return int(std::floor(x + kAnchorX)); }
    static int row(float y) { return int(std::floor(kAnchorY - y)); }

    // Nothing is drawn below the floor the fighter stands on.
    void put(int col, int r, uint8_t index, Part part) {
        if (col < 0 || r < 0 || col >= kFrameW || r >= kAnchorY) return;
        image.pixels[r * kFrameW + col] = index;
        owner[r * kFrameW + col] = part;
    }
    void putAt(Vec p, int material, int level, Part part) { put(column(p.x), row(p.y), colourIndex(material, level), part); }

    // Fills a shape inside the pose-space box [lo, hi], shading it as a
    // rounded solid `depth` pixels thick, lit from the front and above.
    void fill(const Sdf& sdf, Vec lo, Vec hi, float depth, const PaintFn& paint, bool far, Part part) {
        static const Vec3 light = normalised(0.45f, 0.72f, 0.55f);
        int c0 = std::max(0, column(lo.x) - 1), c1 = std::min(kFrameW - 1, column(hi.x) + 1);
        int r0 = std::max(0, row(hi.y) - 1), r1 = std::min(kFrameH - 1, row(lo.y) + 1);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                Vec p = centre(c, r);
                float s = sdf(p);
                if (s >= 0) continue;
                Paint paintHere = paint(p);
                int level;
                if (paintHere.level >= 0) {
                    level = paintHere.level;
                } else if (s > -1.0f) {
                    level = 0;
                } else {
                    float e = 0.5f;
                    Vec g = unit(Vec{sdf(p + Vec{e, 0}) - sdf(p - Vec{e, 0}), sdf(p + Vec{0, e}) - sdf(p - Vec{0, e})});
                    float h = std::min(1.0f, -s / depth);
                    float side = 1.0f - h;
                    float nz = std::sqrt(std::max(0.0f, 1.0f - side * side));
                    float lit = g.x * side * light.x + g.y * side * light.y + nz * light.z;
                    level = lit < 0.05f ? 1 : lit < 0.42f ? 2 : lit < 0.7f ? 3 : lit < 0.9f ? 4 : 5;
                    if (far) level = std::max(1, level - 1);
                }
                put(c, r, colourIndex(paintHere.material, level), part);
            }
    }

    struct Vec3 {
        float x, y, z;
    };
    static Vec3 normalised(float x, float y, float z) {
        float l = std::sqrt(x * x + y * y + z * z);
        return Vec3{x / l, y / l, z / l};
    }
};

PaintFn flat(int material) {
    return [material](Vec) { return Paint{material}; };
}

void capsule(Canvas& cv, Vec a, Vec b, float ra, float rb, const PaintFn& paint, bool far, Part part) {
    float r = std::max(ra, rb);
    Vec lo{std::min(a.x, b.x) - r, std::min(a.y, b.y) - r}, hi{std::max(a.x, b.x) + r, std::max(a.y, b.y) + r};
    cv.fill([=](Vec p) { return sdCapsule(p, a, b, ra, rb); }, lo, hi, std::max(ra, rb) * 0.9f, paint, far, part);
}

void polygon(Canvas& cv, const std::vector<Vec>& pts, float depth, const PaintFn& paint, bool far, Part part) {
    Vec lo = pts[0], hi = pts[0];
    for (Vec p : pts) {
        lo = Vec{std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = Vec{std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
    cv.fill([&pts](Vec p) { return sdPolygon(p, pts); }, lo, hi, depth, paint, far, part);
}

// Two-bone reach: the middle joint for a chain root -> target, bending
// counter-clockwise when `bend` is +1. `end` gets the reachable end point.
Vec solveJoint(Vec root, Vec target, float l1, float l2, float bend, Vec& end) {
    Vec d = target - root;
    float dist = std::min(l1 + l2 - 0.01f, std::max(std::fabs(l1 - l2) + 0.01f, length(d)));
    Vec dir = unit(d);
    end = root + dir * dist;
    float cosA = (l1 * l1 + dist * dist - l2 * l2) / (2 * l1 * dist);
    float a = std::acos(std::min(1.0f, std::max(-1.0f, cosA))) * 180.0f / kPi;
    return root + rotate(dir, bend * a) * l1;
}

// --- Body measures, pixels ---
const float kFistReach = 4.5f;

// A body's measures and dress. Poses are written for Burn's measures; a
// longer figure stretches them (see `stretched`).
struct Figure {
    float thigh, shin, upperArm, forearm, torso;
    float girth;     // scales the widths of limbs and torso
    bool windswept;  // scarf, coat tails and tied hair instead of headband, belt ends and spikes
};
const Figure kBrawler{31, 29, 21, 20, 38, 1.0f, false};
const Figure kGaleFigure{37, 35, 25, 24, 43, 0.84f, true};

const Figure& figureOf(Look look) { return look == Look::Gale ? kGaleFigure : kBrawler; }

struct Skeleton {
    Vec pelvis, up, fwd, neck, headCentre, headUp;
    Vec shoulderNear, shoulderFar, hipNear, hipFar;
    Vec elbowNear, elbowFar, wristNear, wristFar, fistNear, fistFar;
    Vec kneeNear, kneeFar, ankleNear, ankleFar;
};

float ankleClearance(float toe);

// `pose` moved onto a figure of other measures: heights and strides grow with
// the legs, the hands keep their places relative to the neck, grown with the arms.
Pose stretched(const Pose& pose, const Figure& fig) {
    float legs = (fig.thigh + fig.shin) / (kBrawler.thigh + kBrawler.shin);
    float arms = (fig.upperArm + fig.forearm) / (kBrawler.upperArm + kBrawler.forearm);
    Vec up = rotate(Vec{0, 1}, -pose.lean);
    Vec oldNeck = pose.pelvis + up * kBrawler.torso;
    Pose p = pose;
    p.pelvis = Vec{pose.pelvis.x * legs, 5.5f + (pose.pelvis.y - 5.5f) * legs};
    Vec neck = p.pelvis + up * fig.torso;
    p.handNear = neck + (pose.handNear - oldNeck) * arms;
    p.handFar = neck + (pose.handFar - oldNeck) * arms;
    p.footNear = Vec{pose.footNear.x * legs, 5.5f + (pose.footNear.y - 5.5f) * legs};
    p.footFar = Vec{pose.footFar.x * legs, 5.5f + (pose.footFar.y - 5.5f) * legs};
    p.trailFrom = Vec{pose.trailFrom.x * legs, pose.trailFrom.y * legs};
    return p;
}

Skeleton build(const Pose& pose, const Figure& fig) {
    Skeleton s;
    s.pelvis = pose.pelvis;
    s.up = rotate(Vec{0, 1}, -pose.lean);
    s.fwd = forwardOf(s.up);
    s.neck = s.pelvis + s.up * fig.torso;
    // The head stays more upright than the torso.
    s.headUp = rotate(Vec{0, 1}, -(pose.lean * 0.45f + pose.headTilt));
    s.headCentre = s.neck + s.headUp * 13.5f;
    s.shoulderNear = local(s.neck, s.fwd, s.up, -4.5f, -4.5f);
    s.shoulderFar = local(s.neck, s.fwd, s.up, 4.5f, -4.5f);
    s.hipNear = local(s.pelvis, s.fwd, s.up, -4, -3);
    s.hipFar = local(s.pelvis, s.fwd, s.up, 4, -3);

    Vec reach;
    s.elbowNear =
        solveJoint(s.shoulderNear, pose.handNear, fig.upperArm, fig.forearm + kFistReach, pose.elbowNear, reach);
    s.fistNear = reach;
    s.wristNear = s.elbowNear + unit(reach - s.elbowNear) * fig.forearm;
    s.elbowFar = solveJoint(s.shoulderFar, pose.handFar, fig.upperArm, fig.forearm + kFistReach, pose.elbowFar, reach);
    s.fistFar = reach;
    s.wristFar = s.elbowFar + unit(reach - s.elbowFar) * fig.forearm;
    Vec footNear = pose.footNear, footFar = pose.footFar;
    footNear.y = std::max(footNear.y, ankleClearance(pose.toeNear));
    footFar.y = std::max(footFar.y, ankleClearance(pose.toeFar));
    s.kneeNear = solveJoint(s.hipNear, footNear, fig.thigh, fig.shin, pose.kneeNear, s.ankleNear);
    s.kneeFar = solveJoint(s.hipFar, footFar, fig.thigh, fig.shin, pose.kneeFar, s.ankleFar);
    return s;
}

const Vec kFootShape[] = {{-5.5f, -5.5f}, {-6.2f, -1.5f}, {-3.5f, 2.5f}, {3, 2},
                          {8, -0.5f},     {13, -2.5f},    {14.5f, -4.3f}, {13.5f, -5.5f}};

// How high the ankle must be for a foot turned by `toe` to rest on the
// floor: a pointed foot stands on its toes, a raised one on its heel.
float ankleClearance(float toe) {
    float lowest = 0;
    for (Vec v : kFootShape) lowest = std::min(lowest, rotate(v, toe).y);
    return -lowest;
}

void drawFoot(Canvas& cv, Vec ankle, float toe, bool far, Part part) {
    std::vector<Vec> pts;
    for (Vec v : kFootShape) pts.push_back(ankle + rotate(v, toe));
    polygon(cv, pts, 3.5f, flat(Boot), far, part);
}

void drawLeg(Canvas& cv, float g, Vec hip, Vec knee, Vec ankle, float toe, bool far, Part thigh, Part shin, Part foot) {
    capsule(cv, hip, knee, 9.0f * g, 7.6f * g, flat(Pants), far, thigh);
    Vec down = unit(ankle - knee);
    capsule(cv, knee, ankle - down * 3.0f, 7.8f * g, 6.6f * g, flat(Pants), far, shin);
    capsule(cv, ankle - down * 6.5f, ankle, 5.4f * g, 4.8f * g, flat(Wrap), far, shin);
    drawFoot(cv, ankle, toe, far, foot);
}

void drawHand(Canvas& cv, Vec wrist, Vec fist, Hand shape, bool far, Part part) {
    Vec dir = unit(fist - wrist);
    if (shape == Hand::Palm) {
        // An open hand pushed forward, fingers up.
        Vec centre = wrist + dir * 5.0f;
        cv.fill([=](Vec p) { return sdEllipse(p, centre, 4.6f, 6.6f, dir); }, centre - Vec{8, 8},
                centre + Vec{8, 8}, 4.0f, flat(Skin), far, part);
        Vec thumb = wrist + dir * 2.5f + forwardOf(dir) * -4.0f;
        capsule(cv, wrist + dir * 2.0f, thumb, 2.2f, 1.8f, flat(Skin), far, part);
        capsule(cv, wrist - dir * 2.5f, wrist + dir * 0.5f, 4.3f, 4.3f, flat(Wrap), far, part);
        return;
    }
    capsule(cv, wrist - dir * 2.5f, wrist + dir * 0.5f, 4.4f, 4.4f, flat(Wrap), far, part);
    Vec centre = wrist + dir * 4.0f;
    Vec across = forwardOf(dir);
    cv.fill(
        [=](Vec p) { return sdEllipse(p, centre, 5.2f, 6.0f, across); }, centre - Vec{8, 8}, centre + Vec{8, 8},
        4.5f,
        [=](Vec p) {
            // The fold of the fingers across the fist.
            float along = dot(p - centre, dir), side = dot(p - centre, across);
            if (std::fabs(along - 1.0f) < 0.55f && std::fabs(side) < 3.5f) return Paint{Wrap, far ? 1 : 2};
            return Paint{Wrap};
        },
        far, part);
}

void drawArm(Canvas& cv, const Figure& fig, Vec shoulder, Vec elbow, Vec wrist, Vec fist, Hand shape, bool far,
             Part arm, Part hand) {
    // Gale's sleeves are the coat's, down to the wrist.
    float g = fig.girth;
    int sleeve = fig.windswept ? Top : Skin;
    capsule(cv, shoulder, shoulder, 6.6f * g, 6.6f * g, flat(sleeve), far, arm);
    capsule(cv, shoulder, elbow, 6.0f * g, 4.6f * g, flat(sleeve), far, arm);
    capsule(cv, elbow, wrist, 4.8f * g, 3.9f * g, flat(sleeve), far, arm);
    drawHand(cv, wrist, fist, shape, far, hand);
}

void drawTorso(Canvas& cv, const Figure& fig, const Skeleton& s, bool turned) {
    float g = fig.girth, h = fig.torso / kBrawler.torso;
    auto at = [&](float v, float u) { return local(s.pelvis, s.fwd, s.up, v * g, u * h); };
    std::vector<Vec> pts = {at(-12.5f, -13), at(11.5f, -13), at(10.5f, 8),   at(12.5f, 24), at(9, 35),
                            at(4, 39),       at(-5, 39),     at(-11.5f, 34), at(-12.5f, 24), at(-10.5f, 8)};
    Vec pelvis = s.pelvis, fwd = s.fwd, up = s.up;
    bool coat = fig.windswept;
    polygon(cv, pts, 11.0f,
            [=](Vec p) {
                Vec q = p - pelvis;
                float v = dot(q, fwd), u = dot(q, up);
                if (u > -1.5f && u < 5.0f) return Paint{Belt};
                if (turned) return Paint{Top};
                if (coat) {
                    // Buttoned to the throat; the flap closes on a slant.
                    float flap = sdCapsule(Vec{v, u}, Vec{7.5f, 40}, Vec{-2, 6}, 0.5f, 0.5f);
                    if (flap < 0) return Paint{Top, 1};
                    return Paint{Top};
                }
                // The open collar shows the chest.
                float collar = 23.5f + 1.5f * std::fabs(v - 4.5f);
                if (u > collar) return Paint{Skin};
                if (u > collar - 1.2f) return Paint{Top, 1};
                // The lapel runs from the collar down to the belt.
                float lapel = sdCapsule(Vec{v, u}, Vec{4.5f, 23.5f}, Vec{-7, 5}, 0.5f, 0.5f);
                if (lapel < 0) return Paint{Top, 1};
                // The skirt of the jacket is split at the side.
                if (u < -2.0f && std::fabs(v + 1.0f) < 0.5f) return Paint{Top, 1};
                return Paint{Top};
            },
            false, TorsoPart);
}

void drawBeltEnds(Canvas& cv, const Skeleton& s, float tail) {
    auto at = [&](float v, float u) { return local(s.pelvis, s.fwd, s.up, v, u); };
    capsule(cv, at(9, 1.5f), at(12 + 2.5f * tail, -12), 2.3f, 1.9f, flat(Belt), false, TorsoPart);
    capsule(cv, at(8, 1.5f), at(6.5f + 2.0f * tail, -10), 2.1f, 1.8f, flat(Belt), false, TorsoPart);
    capsule(cv, at(9.5f, 1.8f), at(9.5f, 1.8f), 3.4f, 3.4f, flat(Belt), false, TorsoPart);
}

// The head's forward axis: a turned fighter looks back over its shoulder.
Vec headForward(const Skeleton& s, bool turned) { return forwardOf(s.headUp) * (turned ? -1.0f : 1.0f); }

void drawHeadbandTails(Canvas& cv, const Skeleton& s, float tail, bool turned) {
    Vec fwd = headForward(s, turned);
    Vec knot = s.headCentre - fwd * 9.5f + s.headUp * 5.0f;
    for (int i = 0; i < 2; ++i) {
        float sway = tail * 14.0f + i * 16.0f;
        Vec d1 = rotate(fwd * -1.0f + s.headUp * -0.25f, (turned ? 1.0f : -1.0f) * (sway - 6.0f));
        Vec mid = knot + d1 * 8.0f;
        Vec d2 = rotate(d1, (turned ? 1.0f : -1.0f) * (i == 0 ? -22.0f : 18.0f) * (0.5f + tail));
        capsule(cv, knot, mid, 2.3f, 2.0f, flat(Band), i == 1, Tails);
        capsule(cv, mid, mid + d2 * (7.0f + 2.0f * i), 2.0f, 1.4f, flat(Band), i == 1, Tails);
    }
}

void drawHead(Canvas& cv, const Skeleton& s, bool turned, bool windswept) {
    Vec c = s.headCentre, up = s.headUp, fwd = headForward(s, turned);
    auto at = [&](float a, float b) { return c + fwd * a + up * b; };
    // Neck first, under the jaw.
    capsule(cv, s.neck - s.up * 2.0f, c - up * 6.0f, 4.8f, 4.4f, flat(Skin), false, HeadPart);
    // Spikes of hair behind and above the skull, or locks swept back to the tie.
    const float spikes[][6] = {{-9, 5, -2, 10, -15.5f, 13},
                               {-5, 9, 2, 10.5f, -7, 18},
                               {0, 10, 6, 8.5f, 4.5f, 16.5f},
                               {-10, 1, -8, 8, -17.5f, 4.5f},
                               {4, 9, 9.5f, 5, 12, 10}};
    const float locks[][6] = {{-6, 9, 8, 9, -16, 7.5f}, {-9, 3, -3, 10.5f, -17, 3}, {5, 8.5f, 11, 3, 8, 10.5f}};
    if (windswept) {
        for (const auto& lk : locks) {
            std::vector<Vec> tri = {at(lk[0], lk[1]), at(lk[2], lk[3]), at(lk[4], lk[5])};
            polygon(cv, tri, 3.0f, flat(Hair), false, HeadPart);
        }
    } else {
        for (const auto& sp : spikes) {
            std::vector<Vec> tri = {at(sp[0], sp[1]), at(sp[2], sp[3]), at(sp[4], sp[5])};
            polygon(cv, tri, 3.0f, flat(Hair), false, HeadPart);
        }
    }
    Vec jaw = at(3.5f, -5.0f), nose = at(10.3f, -1.2f);
    Sdf head = [=](Vec p) {
        float d = length(p - c) - 10.5f;
        d = std::min(d, sdEllipse(p, jaw, 7.3f, 6.4f, up));
        return std::min(d, length(p - nose) - 1.8f);
    };
    cv.fill(head, c - Vec{14, 14}, c + Vec{14, 14}, 9.0f,
            [=](Vec p) {
                float a = dot(p - c, fwd), b = dot(p - c, up);
                if (b > 3.2f && b < 6.4f) return Paint{windswept ? Hair : Band};
                if (b >= 6.4f) return Paint{Hair};
                if (a < -3.5f && b > -7.5f) return Paint{Hair};
                return Paint{Skin};
            },
            false, HeadPart);
    // Ear, eye, brow and mouth, placed pixel by pixel.
    Vec ear = at(-1.5f, -1.0f);
    cv.fill([=](Vec p) { return sdEllipse(p, ear, 2.2f, 3.0f, up); }, ear - Vec{4, 4}, ear + Vec{4, 4}, 2.0f,
            flat(Skin), false, HeadPart);
    int ahead = turned ? -1 : 1;
    Vec eye = at(5.8f, 0.6f);
    int ex = Canvas::column(eye.x), ey = Canvas::row(eye.y);
    cv.put(ex, ey, colourIndex(Eye, 5), HeadPart);
    cv.put(ex + ahead, ey, colourIndex(Eye, 0), HeadPart);
    cv.put(ex - ahead, ey - 2, colourIndex(Hair, 0), HeadPart);
    cv.put(ex, ey - 2, colourIndex(Hair, 0), HeadPart);
    cv.put(ex + ahead, ey - 1, colourIndex(Hair, 0), HeadPart);
    cv.put(ex + 2 * ahead, ey - 1, colourIndex(Hair, 0), HeadPart);
    Vec mouth = at(7.6f, -6.6f);
    int mx = Canvas::column(mouth.x), my = Canvas::row(mouth.y);
    cv.put(mx, my, colourIndex(Skin, 1), HeadPart);
    cv.put(mx - ahead, my, colourIndex(Skin, 1), HeadPart);
}

// Fire licking upward around `centre`; `size` is its radius in pixels.
void drawFlame(Canvas& cv, Vec centre, float size, unsigned seed) {
    Vec lo = centre - Vec{size * 1.4f, size * 1.2f}, hi = centre + Vec{size * 1.4f, size * 2.2f};
    int c0 = std::max(0, Canvas::column(lo.x)), c1 = std::min(kFrameW - 1, Canvas::column(hi.x));
    int r0 = std::max(0, Canvas::row(hi.y)), r1 = std::min(kFrameH - 1, Canvas::row(lo.y));
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            Vec p = Canvas::centre(c, r);
            Vec q = p - centre;
            // Flames stretch upward and flicker with the noise.
            q.y = q.y > 0 ? q.y * 0.55f : q.y * 1.15f;
            float n = fbm(p.x * 0.16f, p.y * 0.16f - seed * 1.7f, 3, 77u + seed);
            float heat = 1.0f - length(q) / (size * (0.62f + 0.7f * n));
            if (heat <= 0) continue;
            int level;
            if (heat > 0.72f) level = 5;
            else if (heat > 0.52f) level = 4;
            else if (heat > 0.34f) level = 3;
            else if (heat > 0.18f) level = 2;
            else if (bayer4(c, r) < heat / 0.18f) level = 1;
            else continue;
            cv.put(c, r, colourIndex(Fire, level), FlamePart);
        }
}

// A dithered arc of air behind a fast limb, from `from` bulging by `bend`.
void drawSmear(Canvas& cv, Vec from, Vec to, float bend, float width) {
    Vec mid = (from + to) * 0.5f + forwardOf(unit(to - from)) * bend;
    const int steps = 24;
    Vec prev = from;
    for (int i = 1; i <= steps; ++i) {
        float t = float(i) / steps;
        Vec p = from * ((1 - t) * (1 - t)) + mid * (2 * (1 - t) * t) + to * (t * t);
        float r0 = 0.8f + width * (t - 1.0f / steps), r1 = 0.8f + width * t;
        Vec a = prev, b = p;
        Vec lo{std::min(a.x, b.x) - r1, std::min(a.y, b.y) - r1}, hi{std::max(a.x, b.x) + r1, std::max(a.y, b.y) + r1};
        for (int r = std::max(0, Canvas::row(hi.y)); r <= std::min(kFrameH - 1, Canvas::row(lo.y)); ++r)
            for (int c = std::max(0, Canvas::column(lo.x)); c <= std::min(kFrameW - 1, Canvas::column(hi.x)); ++c) {
                float s = sdCapsule(Canvas::centre(c, r), a, b, r0, r1);
                if (s >= 0 || bayer4(c, r) > 0.35f + 0.5f * t) continue;
                cv.put(c, r, colourIndex(Smear, s < -1.2f ? 5 : 3), SmearPart);
            }
        prev = p;
    }
}

// A chain of segments from `root` along `dir`, each turned `curl` degrees
// more than the one before, plus a ripple that travels down it with `tail`.
void drawStreamer(Canvas& cv, Vec root, Vec dir, int segments, float segment, float curl, float tail, float r0,
                  float r1, int material, bool far, Part part) {
    std::vector<Vec> joints{root};
    for (int i = 0; i < segments; ++i) {
        float ripple = 7.0f * std::sin(i * 0.9f + tail * 2.5f);
        joints.push_back(joints.back() + rotate(dir, curl * i + ripple) * segment);
    }
    // One shape, so no outline shows between the segments.
    Sdf chain = [=](Vec p) {
        float d = 1e9f;
        for (int i = 0; i < segments; ++i) {
            float t0 = float(i) / segments, t1 = float(i + 1) / segments;
            d = std::min(d, sdCapsule(p, joints[i], joints[i + 1], r0 + (r1 - r0) * t0, r0 + (r1 - r0) * t1));
        }
        return d;
    };
    Vec lo = root, hi = root;
    for (Vec j : joints) {
        lo = Vec{std::min(lo.x, j.x - r0), std::min(lo.y, j.y - r0)};
        hi = Vec{std::max(hi.x, j.x + r0), std::max(hi.y, j.y + r0)};
    }
    cv.fill(chain, lo, hi, r0 * 0.9f, flat(material), far, part);
}

// Gale's scarf: two long ends streaming back from the nape, under the
// wind's sway `tail`.
void drawScarfEnds(Canvas& cv, const Skeleton& s, float tail, bool turned) {
    Vec fwd = headForward(s, turned);
    Vec nape = s.neck - fwd * 5.0f + s.up * 1.0f;
    float down = turned ? -1.0f : 1.0f;  // turning this way from "straight back" droops
    Vec back = rotate(fwd * -1.0f, down * (4.0f + 10.0f * tail));
    drawStreamer(cv, nape, back, 8, 6.5f, down * 2.5f, tail, 4.2f, 3.0f, Band, true, Tails);
    drawStreamer(cv, nape, rotate(back, down * 14.0f), 6, 6.5f, down * 3.5f, tail + 0.7f, 4.0f, 2.8f, Band, false,
                 Tails);
}

// Gale's tied hair: a tail falling from the back of the head.
void drawHairTail(Canvas& cv, const Skeleton& s, float tail, bool turned) {
    Vec fwd = headForward(s, turned);
    Vec tie = s.headCentre - fwd * 9.0f + s.headUp * 4.0f;
    float down = turned ? -1.0f : 1.0f;
    Vec back = rotate(fwd * -1.0f, down * (30.0f + 10.0f * tail));
    drawStreamer(cv, tie, back, 5, 5.5f, down * 7.0f, tail + 1.4f, 3.2f, 1.4f, Hair, false, Tails);
}

// Gale's coat: tails hanging from the sash behind the legs, to the knees.
void drawCoatTails(Canvas& cv, const Skeleton& s, float tail) {
    auto at = [&](float v, float u) { return local(s.pelvis, s.fwd, s.up, v, u); };
    float sway = -8.0f * tail;  // a forward wind (tail below 0) blows them back
    std::vector<Vec> pts = {at(-10, 0), at(6, 0), at(4 + sway * 0.5f, -22), at(-2 + sway, -42), at(-12 + sway, -44),
                            at(-17 + sway, -34)};
    polygon(cv, pts, 6.0f, flat(Top), true, Tails);
}

// The scarf wound about the throat, up to the chin.
void drawScarfWrap(Canvas& cv, const Skeleton& s) {
    capsule(cv, s.neck - s.fwd * 5.0f + s.up * 0.5f, s.neck + s.fwd * 4.5f + s.up * 1.0f, 5.2f, 4.8f, flat(Band), false,
            TorsoPart);
}

void boxOf(const Canvas& cv, std::initializer_list<Part> parts, int box[4]) {
    boundingBox(kFrameW, kFrameH, [&](int c, int r) {
        Part owner = Part(cv.owner[r * kFrameW + c]);
        return std::find(parts.begin(), parts.end(), owner) != parts.end();
    }, box);
}
}  // namespace

std::vector<Rgb> fighterPalette(Look look) {
    const uint32_t(&ramps)[MaterialCount][6] =
        look == Look::Dummy ? kDummyRamps : look == Look::Gale ? kGaleRamps : kBurnRamps;
    std::vector<Rgb> palette{Rgb{255, 0, 255}};
    for (int m = 0; m < MaterialCount; ++m)
        for (int level = 0; level < 6; ++level) palette.push_back(hexRgb(ramps[m][level]));
    return palette;
}

IndexedImage blankFrame(Look look) { return IndexedImage(kFrameW, kFrameH, fighterPalette(look)); }

FighterFrame renderFighter(const Pose& given, Look look) {
    Canvas cv(look);
    const Figure& fig = figureOf(look);
    const Pose pose = fig.windswept ? stretched(given, fig) : given;
    Skeleton s = build(pose, fig);
    bool turned = pose.turned;

    if (pose.trail > 0) {
        Vec tip = pose.strike == Strike::NearFoot   ? s.ankleNear
                  : pose.strike == Strike::FarFoot  ? s.ankleFar
                  : pose.strike == Strike::FarFist  ? s.fistFar
                                                    : s.fistNear;
        drawSmear(cv, pose.trailFrom, tip, pose.trailBend, 4.5f * pose.trail);
    }
    if (fig.windswept) {
        drawScarfEnds(cv, s, pose.tail, turned);
        drawHairTail(cv, s, pose.tail, turned);
    } else {
        drawHeadbandTails(cv, s, pose.tail, turned);
    }
    // Back to front: far arm, legs, torso, head, near arm. A turned fighter
    // shows its back, so the arms trade places in depth.
    auto nearArm = [&](bool far) {
        drawArm(cv, fig, s.shoulderNear, s.elbowNear, s.wristNear, s.fistNear, pose.shapeNear, far, NearArm, NearFist);
    };
    auto farArm = [&](bool far) {
        drawArm(cv, fig, s.shoulderFar, s.elbowFar, s.wristFar, s.fistFar, pose.shapeFar, far, FarArm, FarFist);
    };
    if (turned) nearArm(true);
    else farArm(true);
    if (fig.windswept) drawCoatTails(cv, s, pose.tail);
    float g = fig.girth;
    drawLeg(cv, g, s.hipFar, s.kneeFar, s.ankleFar, pose.toeFar, true, FarThigh, FarShin, FarFoot);
    drawLeg(cv, g, s.hipNear, s.kneeNear, s.ankleNear, pose.toeNear, false, NearThigh, NearShin, NearFoot);
    drawTorso(cv, fig, s, turned);
    if (!turned && !fig.windswept) drawBeltEnds(cv, s, pose.tail);
    drawHead(cv, s, turned, fig.windswept);
    if (fig.windswept) drawScarfWrap(cv, s);
    if (pose.palmFire > 0) {
        Vec between = (s.fistNear + s.fistFar) * 0.5f + Vec{4, 0};
        drawFlame(cv, between, 4.0f + 7.0f * pose.palmFire, pose.seed);
    }
    if (pose.flame > 0) drawFlame(cv, s.fistNear + Vec{0, 2}, 5.0f + 9.0f * pose.flame, pose.seed);
    if (turned) farArm(false);
    else nearArm(false);

    FighterFrame frame{cv.image, {0, 0, 0, 0}, {0, 0, 0, 0}};
    // The body without the arms is what can be hit; a kicking leg's shin and
    // foot are the strike, not the body.
    bool nearKicks = pose.strike == Strike::NearFoot, farKicks = pose.strike == Strike::FarFoot;
    if (nearKicks)
        boxOf(cv, {TorsoPart, HeadPart, NearThigh, FarThigh, FarShin, FarFoot}, frame.colBox);
    else if (farKicks)
        boxOf(cv, {TorsoPart, HeadPart, NearThigh, NearShin, NearFoot, FarThigh}, frame.colBox);
    else
        boxOf(cv, {TorsoPart, HeadPart, NearThigh, NearShin, NearFoot, FarThigh, FarShin, FarFoot}, frame.colBox);
    switch (pose.strike) {
    case Strike::None: break;
    case Strike::NearFist: boxOf(cv, {NearFist, FlamePart}, frame.hitBox); break;
    case Strike::FarFist: boxOf(cv, {FarFist}, frame.hitBox); break;
    case Strike::NearFoot: boxOf(cv, {NearShin, NearFoot}, frame.hitBox); break;
    case Strike::FarFoot: boxOf(cv, {FarShin, FarFoot}, frame.hitBox); break;
    case Strike::Palms: boxOf(cv, {NearFist, FarFist, FlamePart}, frame.hitBox); break;
    }
    return frame;
}
