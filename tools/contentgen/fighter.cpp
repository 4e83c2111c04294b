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
const float kThigh = 31, kShin = 29, kUpperArm = 21, kForearm = 20, kFistReach = 4.5f;
const float kTorso = 38;

struct Skeleton {
    Vec pelvis, up, fwd, neck, headCentre, headUp;
    Vec shoulderNear, shoulderFar, hipNear, hipFar;
    Vec elbowNear, elbowFar, wristNear, wristFar, fistNear, fistFar;
    Vec kneeNear, kneeFar, ankleNear, ankleFar;
};

float ankleClearance(float toe);

Skeleton build(const Pose& pose) {
    Skeleton s;
    s.pelvis = pose.pelvis;
    s.up = rotate(Vec{0, 1}, -pose.lean);
    s.fwd = forwardOf(s.up);
    s.neck = s.pelvis + s.up * kTorso;
    // The head stays more upright than the torso.
    s.headUp = rotate(Vec{0, 1}, -(pose.lean * 0.45f + pose.headTilt));
    s.headCentre = s.neck + s.headUp * 13.5f;
    s.shoulderNear = local(s.neck, s.fwd, s.up, -4.5f, -4.5f);
    s.shoulderFar = local(s.neck, s.fwd, s.up, 4.5f, -4.5f);
    s.hipNear = local(s.pelvis, s.fwd, s.up, -4, -3);
    s.hipFar = local(s.pelvis, s.fwd, s.up, 4, -3);

    Vec reach;
    s.elbowNear = solveJoint(s.shoulderNear, pose.handNear, kUpperArm, kForearm + kFistReach, pose.elbowNear, reach);
    s.fistNear = reach;
    s.wristNear = s.elbowNear + unit(reach - s.elbowNear) * kForearm;
    s.elbowFar = solveJoint(s.shoulderFar, pose.handFar, kUpperArm, kForearm + kFistReach, pose.elbowFar, reach);
    s.fistFar = reach;
    s.wristFar = s.elbowFar + unit(reach - s.elbowFar) * kForearm;
    Vec footNear = pose.footNear, footFar = pose.footFar;
    footNear.y = std::max(footNear.y, ankleClearance(pose.toeNear));
    footFar.y = std::max(footFar.y, ankleClearance(pose.toeFar));
    s.kneeNear = solveJoint(s.hipNear, footNear, kThigh, kShin, pose.kneeNear, s.ankleNear);
    s.kneeFar = solveJoint(s.hipFar, footFar, kThigh, kShin, pose.kneeFar, s.ankleFar);
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

void drawLeg(Canvas& cv, Vec hip, Vec knee, Vec ankle, float toe, bool far, Part thigh, Part shin, Part foot) {
    capsule(cv, hip, knee, 9.0f, 7.6f, flat(Pants), far, thigh);
    Vec down = unit(ankle - knee);
    capsule(cv, knee, ankle - down * 3.0f, 7.8f, 6.6f, flat(Pants), far, shin);
    capsule(cv, ankle - down * 6.5f, ankle, 5.4f, 4.8f, flat(Wrap), far, shin);
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

void drawArm(Canvas& cv, Vec shoulder, Vec elbow, Vec wrist, Vec fist, Hand shape, bool far, Part arm, Part hand) {
    capsule(cv, shoulder, shoulder, 6.6f, 6.6f, flat(Skin), far, arm);
    capsule(cv, shoulder, elbow, 6.0f, 4.6f, flat(Skin), far, arm);
    capsule(cv, elbow, wrist, 4.8f, 3.9f, flat(Skin), far, arm);
    drawHand(cv, wrist, fist, shape, far, hand);
}

void drawTorso(Canvas& cv, const Skeleton& s, bool turned) {
    auto at = [&](float v, float u) { return local(s.pelvis, s.fwd, s.up, v, u); };
    std::vector<Vec> pts = {at(-12.5f, -13), at(11.5f, -13), at(10.5f, 8),   at(12.5f, 24), at(9, 35),
                            at(4, 39),       at(-5, 39),     at(-11.5f, 34), at(-12.5f, 24), at(-10.5f, 8)};
    Vec pelvis = s.pelvis, fwd = s.fwd, up = s.up;
    polygon(cv, pts, 11.0f,
            [=](Vec p) {
                Vec q = p - pelvis;
                float v = dot(q, fwd), u = dot(q, up);
                if (u > -1.5f && u < 5.0f) return Paint{Belt};
                if (turned) return Paint{Top};
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

void drawHead(Canvas& cv, const Skeleton& s, bool turned) {
    Vec c = s.headCentre, up = s.headUp, fwd = headForward(s, turned);
    auto at = [&](float a, float b) { return c + fwd * a + up * b; };
    // Neck first, under the jaw.
    capsule(cv, s.neck - s.up * 2.0f, c - up * 6.0f, 4.8f, 4.4f, flat(Skin), false, HeadPart);
    // Spikes of hair behind and above the skull.
    const float spikes[][6] = {{-9, 5, -2, 10, -15.5f, 13},
                               {-5, 9, 2, 10.5f, -7, 18},
                               {0, 10, 6, 8.5f, 4.5f, 16.5f},
                               {-10, 1, -8, 8, -17.5f, 4.5f},
                               {4, 9, 9.5f, 5, 12, 10}};
    for (const auto& sp : spikes) {
        std::vector<Vec> tri = {at(sp[0], sp[1]), at(sp[2], sp[3]), at(sp[4], sp[5])};
        polygon(cv, tri, 3.0f, flat(Hair), false, HeadPart);
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
                if (b > 3.2f && b < 6.4f) return Paint{Band};
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

void boxOf(const Canvas& cv, std::initializer_list<Part> parts, int box[4]) {
    boundingBox(kFrameW, kFrameH, [&](int c, int r) {
        Part owner = Part(cv.owner[r * kFrameW + c]);
        return std::find(parts.begin(), parts.end(), owner) != parts.end();
    }, box);
}
}  // namespace

std::vector<Rgb> fighterPalette(Look look) {
    const uint32_t(&ramps)[MaterialCount][6] = look == Look::Dummy ? kDummyRamps : kBurnRamps;
    std::vector<Rgb> palette{Rgb{255, 0, 255}};
    for (int m = 0; m < MaterialCount; ++m)
        for (int level = 0; level < 6; ++level) palette.push_back(hexRgb(ramps[m][level]));
    return palette;
}

IndexedImage blankFrame(Look look) { return IndexedImage(kFrameW, kFrameH, fighterPalette(look)); }

FighterFrame renderFighter(const Pose& pose, Look look) {
    Canvas cv(look);
    Skeleton s = build(pose);
    bool turned = pose.turned;

    if (pose.trail > 0) {
        Vec tip = pose.strike == Strike::NearFoot   ? s.ankleNear
                  : pose.strike == Strike::FarFoot  ? s.ankleFar
                  : pose.strike == Strike::FarFist  ? s.fistFar
                                                    : s.fistNear;
        drawSmear(cv, pose.trailFrom, tip, pose.trailBend, 4.5f * pose.trail);
    }
    drawHeadbandTails(cv, s, pose.tail, turned);
    // Back to front: far arm, legs, torso, head, near arm. A turned fighter
    // shows its back, so the arms trade places in depth.
    auto nearArm = [&](bool far) {
        drawArm(cv, s.shoulderNear, s.elbowNear, s.wristNear, s.fistNear, pose.shapeNear, far, NearArm, NearFist);
    };
    auto farArm = [&](bool far) {
        drawArm(cv, s.shoulderFar, s.elbowFar, s.wristFar, s.fistFar, pose.shapeFar, far, FarArm, FarFist);
    };
    if (turned) nearArm(true);
    else farArm(true);
    drawLeg(cv, s.hipFar, s.kneeFar, s.ankleFar, pose.toeFar, true, FarThigh, FarShin, FarFoot);
    drawLeg(cv, s.hipNear, s.kneeNear, s.ankleNear, pose.toeNear, false, NearThigh, NearShin, NearFoot);
    drawTorso(cv, s, turned);
    if (!turned) drawBeltEnds(cv, s, pose.tail);
    drawHead(cv, s, turned);
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
