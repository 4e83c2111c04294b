// Sound effects, synthesised: filtered noise with envelopes, pitch sweeps
// and crackle, written as 44100 Hz 16-bit stereo WAV files.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "contentgen.h"
#include "noise.h"

namespace {
const int kRate = 44100;
const float kPi = 3.14159265f;

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(float seconds) : left(size_t(seconds * kRate), 0.0f), right(left.size(), 0.0f) {}
    size_t size() const { return left.size(); }
    // Adds a mono sample at `pan` (-1 left .. 1 right), equal power.
    void add(size_t i, float v, float pan = 0) {
        float a = (pan + 1) * kPi / 4;
        left[i] += v * std::cos(a) * 1.41421356f;
        right[i] += v * std::sin(a) * 1.41421356f;
    }
};

// Chamberlin state-variable filter: low, band and high pass at once.
struct Svf {
    float low = 0, band = 0;
    float step(float x, float cutoff, float q) {
        float f = 2.0f * std::sin(kPi * std::min(cutoff, kRate / 7.0f) / kRate);
        low += f * band;
        float high = x - low - q * band;
        band += f * high;
        return band;
    }
};

struct OnePole {
    float y = 0;
    float low(float x, float cutoff) {
        float a = 1.0f - std::exp(-2.0f * kPi * cutoff / kRate);
        y += a * (x - y);
        return y;
    }
};

float white(Rng& rng) { return rng.range(-1.0f, 1.0f); }

// Attack then exponential decay, in seconds.
float envelope(float t, float attack, float decay) {
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// A rise and fall shaped like half a sine over `length` seconds.
float swell(float t, float length, float peakAt) {
    if (t <= 0 || t >= length) return 0;
    if (t < peakAt) return std::sin(0.5f * kPi * t / peakAt);
    return std::cos(0.5f * kPi * (t - peakAt) / (length - peakAt));
}

// Scales to `peak` of full scale, fades the last 4 ms, and makes the bytes.
std::vector<uint8_t> wavBytes(Stereo& s, float peak) {
    float most = 1e-6f;
    for (size_t i = 0; i < s.size(); ++i) most = std::max(most, std::max(std::fabs(s.left[i]), std::fabs(s.right[i])));
    float gain = peak / most;
    size_t fade = kRate * 4 / 1000;
    std::vector<uint8_t> out;
    auto put16 = [&out](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xffff);
        put16(v >> 16);
    };
    uint32_t dataBytes = uint32_t(s.size() * 4);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(1);  // PCM
    put16(2);
    put32(kRate);
    put32(kRate * 4);
    put16(4);
    put16(16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(dataBytes);
    for (size_t i = 0; i < s.size(); ++i) {
        float tail = i + fade > s.size() ? float(s.size() - i) / fade : 1.0f;
        for (float v : {s.left[i], s.right[i]}) {
            long q = std::lround(std::max(-1.0f, std::min(1.0f, v * gain * tail)) * 32767.0f);
            put16(uint32_t(int16_t(q)) & 0xffff);
        }
    }
    return out;
}

// The push-off of a jump: a springy rising pulse tone over a puff of air.
Stereo jump() {
    Stereo s(0.22f);
    Rng rng(11);
    OnePole tone, puff;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float freq = 170.0f * std::pow(3.2f, std::min(1.0f, t / 0.15f));
        phase += freq / kRate;
        phase -= std::floor(phase);
        float pulse = phase < 0.3f ? 1.0f : -0.45f;
        float v = tone.low(pulse, 2400) * envelope(t, 0.004f, 0.075f);
        v += puff.low(white(rng), 900) * envelope(t, 0.002f, 0.02f) * 1.6f;
        s.add(i, v, 0.0f);
    }
    return s;
}

// Air torn by a fast limb: band-passed noise sweeping up then down, moving
// across the stereo field.
Stereo whoosh(float seconds, float lowHz, float highHz, float q, uint32_t seed) {
    Stereo s(seconds);
    Rng rng(seed);
    Svf left, right, left2, right2;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float u = t / seconds;
        float centre = lowHz + (highHz - lowHz) * std::sin(kPi * std::min(1.0f, u * 1.15f));
        float shared = white(rng);
        // Two band-passes in a row keep the band narrow enough to hear it move.
        float a = left2.step(left.step(0.7f * shared + 0.3f * white(rng), centre, q), centre, q);
        float b = right2.step(right.step(0.7f * shared + 0.3f * white(rng), centre * 1.06f, q), centre * 1.06f, q);
        float env = swell(t, seconds, seconds * 0.3f);
        float pan = -0.6f + 1.2f * u;
        s.left[i] += a * env * (1.0f - 0.4f * pan);
        s.right[i] += b * env * (1.0f + 0.4f * pan);
    }
    return s;
}

// A blow: a thump whose pitch falls from base + drop to base, a smack of
// band-passed noise and a high crack, each under its own envelope, driven
// into saturation.
struct BlowShape {
    float seconds;
    unsigned seed;
    float base, drop, dropTime;             // the thump's pitch, Hz, and its fall, s
    float thumpAttack, thumpDecay, thumpGain;
    float smackFreq, smackQ, smackAttack, smackDecay, smackGain;
    float crackFreq, crackAttack, crackDecay, crackGain;
    float drive;
};

Stereo blow(const BlowShape& b) {
    Stereo s(b.seconds);
    Rng rng(b.seed);
    Svf smack;
    OnePole crack;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float freq = b.base + b.drop * std::exp(-t / b.dropTime);
        phase += freq / kRate;
        float thump = std::sin(2 * kPi * phase) * envelope(t, b.thumpAttack, b.thumpDecay);
        float n = white(rng);
        float mid = smack.step(n, b.smackFreq, b.smackQ) * envelope(t, b.smackAttack, b.smackDecay) * b.smackGain;
        float high = (n - crack.low(n, b.crackFreq)) * envelope(t, b.crackAttack, b.crackDecay) * b.crackGain;
        float v = std::tanh((thump * b.thumpGain + mid + high) * b.drive);
        s.add(i, v, 0.0f);
    }
    return s;
}

// A blow landing: a falling-pitch thump, a smack of mid noise and a crack.
Stereo impact() {
    return blow({0.32f, 31, 45.0f, 125.0f, 0.035f, 0.002f, 0.09f, 1.2f, 1100, 0.9f, 0.001f, 0.035f, 1.4f, 3000,
                 0.0005f, 0.012f, 0.8f, 1.6f});
}

// Fire gathering and thrown: rising roar of noise with crackle and a
// climbing, wavering tone.
Stereo cast() {
    Stereo s(0.5f);
    Rng rng(41);
    OnePole roarL, roarR, roarL2, roarR2;
    Svf body;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float cutoff = 300.0f + 3200.0f * std::min(1.0f, t / 0.22f);
        float env = swell(t, 0.5f, 0.16f);
        float shared = white(rng);
        float a = roarL2.low(roarL.low(0.8f * shared + 0.2f * white(rng), cutoff), cutoff);
        float b = roarR2.low(roarR.low(0.8f * shared + 0.2f * white(rng), cutoff * 0.9f), cutoff * 0.9f);
        float crackle = rng.unit() < 0.002f ? rng.range(-1.0f, 1.0f) * 0.8f : 0.0f;
        float freq = 220.0f * std::pow(2.0f, std::min(1.0f, t / 0.2f) * 1.6f) * (1.0f + 0.03f * std::sin(t * 2 * kPi * 14));
        phase += freq / kRate;
        float tone = body.step(std::sin(2 * kPi * phase) + 0.4f * std::sin(4 * kPi * phase), freq, 0.5f);
        s.left[i] += (a * 1.6f + tone * 0.45f + crackle) * env;
        s.right[i] += (b * 1.6f + tone * 0.45f + crackle * 0.7f) * env;
    }
    return s;
}

// An explosion: noise through a closing low-pass, a deep rumble, crackle.
Stereo burst() {
    Stereo s(0.6f);
    Rng rng(51);
    OnePole l1, l2, r1, r2;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float cutoff = 180.0f + 5200.0f * std::exp(-t / 0.07f);
        float env = envelope(t, 0.003f, 0.17f);
        float shared = white(rng);
        float a = l2.low(l1.low(0.75f * shared + 0.25f * white(rng), cutoff), cutoff);
        float b = r2.low(r1.low(0.75f * shared + 0.25f * white(rng), cutoff), cutoff);
        phase += (52.0f + 30.0f * std::exp(-t / 0.05f)) / kRate;
        float rumble = std::sin(2 * kPi * phase) * envelope(t, 0.005f, 0.2f);
        float crackle = t > 0.05f && rng.unit() < 0.002f ? rng.range(-1.0f, 1.0f) * 0.9f * env : 0.0f;
        s.left[i] += std::tanh((a * 2.2f + rumble * 0.9f) * env * 2.0f) + crackle;
        s.right[i] += std::tanh((b * 2.2f + rumble * 0.9f) * env * 2.0f) + crackle * 0.6f;
    }
    return s;
}

// The burning uppercut: a flame roar climbing in pitch over a low growl.
Stereo rising() {
    Stereo s(0.42f);
    Rng rng(61);
    Svf flameL, flameR, flameL2, flameR2;
    OnePole growlFilter;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float u = t / 0.42f;
        float centre = 350.0f + 2300.0f * u;
        float env = swell(t, 0.42f, 0.1f);
        float shared = white(rng);
        float a = flameL2.step(flameL.step(0.7f * shared + 0.3f * white(rng), centre, 0.8f), centre, 0.8f);
        float b = flameR2.step(flameR.step(0.7f * shared + 0.3f * white(rng), centre * 1.08f, 0.8f), centre * 1.08f, 0.8f);
        phase += (95.0f + 180.0f * u) / kRate;
        phase -= std::floor(phase);
        float growl = growlFilter.low(phase < 0.5f ? 1.0f : -1.0f, 700) * 0.35f;
        float crackle = rng.unit() < 0.003f ? rng.range(-1.0f, 1.0f) * 0.5f : 0.0f;
        s.left[i] += (a * 1.3f + growl + crackle) * env;
        s.right[i] += (b * 1.3f + growl + crackle) * env;
    }
    return s;
}

// A blow connecting: shorter and harder than `impact`. A deep thump that
// drops in pitch, a slap of mid noise, and a bright crack on the first
// milliseconds, driven into saturation so it cuts through the music.
Stereo hit() {
    return blow({0.12f, 81, 52.0f, 150.0f, 0.018f, 0.0015f, 0.045f, 1.3f, 1500, 0.8f, 0.0008f, 0.018f, 1.6f, 4500,
                 0.0003f, 0.006f, 1.4f, 1.5f});
}

// A light footfall: a muffled tap.
Stereo step() {
    Stereo s(0.07f);
    Rng rng(71);
    OnePole soft;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        phase += 95.0f / kRate;
        float v = soft.low(white(rng), 650) * envelope(t, 0.001f, 0.012f) * 2.0f;
        v += std::sin(2 * kPi * phase) * envelope(t, 0.002f, 0.018f) * 0.6f;
        s.add(i, v, 0.0f);
    }
    return s;
}

// --- Gale's sounds ---

// An open hand slapping home: little thump, a sharp smack.
Stereo galePalm() {
    return blow({0.14f, 91, 90.0f, 160.0f, 0.012f, 0.001f, 0.03f, 0.8f, 2200, 0.6f, 0.0005f, 0.02f, 1.8f, 5000,
                 0.0003f, 0.008f, 1.2f, 1.4f});
}

// The wind blade thrown: a howl of noise whose band climbs, over a whistle
// gliding up, both swelling then blowing away to the right.
Stereo galeGust() {
    const float seconds = 0.6f;
    Stereo s(seconds);
    Rng rng(95);
    Svf howlL, howlR, howlL2, howlR2;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float u = t / seconds;
        float centre = 500.0f + 1600.0f * std::sin(0.5f * kPi * std::min(1.0f, u * 1.4f));
        float env = swell(t, seconds, 0.18f);
        float shared = white(rng);
        float a = howlL2.step(howlL.step(0.7f * shared + 0.3f * white(rng), centre, 0.35f), centre, 0.35f);
        float b = howlR2.step(howlR.step(0.7f * shared + 0.3f * white(rng), centre * 1.05f, 0.35f), centre * 1.05f,
                              0.35f);
        float freq = 700.0f + 900.0f * std::min(1.0f, u * 1.8f) + 25.0f * std::sin(t * 2 * kPi * 9);
        phase += freq / kRate;
        float whistle = std::sin(2 * kPi * phase) * 0.18f * swell(t, seconds * 0.8f, 0.12f);
        float pan = -0.5f + 1.1f * u;
        s.left[i] += (a + whistle) * env * (1.0f - 0.5f * pan);
        s.right[i] += (b + whistle) * env * (1.0f + 0.5f * pan);
    }
    return s;
}

// A low sweep: a deep whoosh with the scrape of a heel along the floor.
Stereo galeSweep() {
    Stereo s = whoosh(0.36f, 260, 1200, 0.7f, 93);
    Rng rng(97);
    OnePole grit;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float rough = rng.unit() < 0.08f ? white(rng) : 0.0f;
        float scrape = grit.low(rough * 2.5f + white(rng) * 0.2f, 3000) * swell(t, 0.3f, 0.08f) * 0.6f;
        s.add(i, scrape, -0.2f);
    }
    return s;
}

// A body hitting the floor: a deep, dull thud.
Stereo galeFall() {
    return blow({0.3f, 94, 40.0f, 70.0f, 0.05f, 0.003f, 0.12f, 1.4f, 600, 0.9f, 0.002f, 0.05f, 1.0f, 2000, 0.001f,
                 0.01f, 0.3f, 1.3f});
}

// --- The match's sounds ---

// A blow taken on the guard: a dull thud and the wooden clack of forearms.
Stereo block() {
    return blow({0.16f, 101, 70.0f, 90.0f, 0.02f, 0.001f, 0.05f, 1.0f, 850, 0.25f, 0.0005f, 0.03f, 2.0f, 3500,
                 0.0003f, 0.004f, 0.3f, 1.3f});
}

// The round's gong: a mallet's knock, then inharmonic partials ringing
// down, each side a little detuned so it shimmers.
Stereo gong() {
    const float seconds = 0.95f;
    Stereo s(seconds);
    Rng rng(103);
    OnePole mallet;
    const float ratio[] = {1.0f, 1.52f, 2.0f, 2.76f, 3.5f, 5.4f};
    const float level[] = {1.0f, 0.6f, 0.5f, 0.4f, 0.25f, 0.15f};
    const float decay[] = {0.9f, 0.6f, 0.5f, 0.35f, 0.25f, 0.15f};
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float l = 0, r = 0;
        for (int k = 0; k < 6; ++k) {
            float f = 196.0f * ratio[k];
            float e = level[k] * envelope(t, 0.004f, decay[k]);
            l += std::sin(2 * kPi * f * t) * e;
            r += std::sin(2 * kPi * f * 1.004f * t) * e;
        }
        float knock = mallet.low(white(rng), 1200) * envelope(t, 0.001f, 0.015f) * 3.0f;
        float out = std::min(1.0f, (seconds - t) / 0.2f);  // let the ring die out
        s.left[i] += (l + knock) * out;
        s.right[i] += (r + knock) * out;
    }
    return s;
}

// The call to fight: a short bright sting, a grace note then a major chord
// of buzzing saw tones whose filter opens and closes.
Stereo fight() {
    const float seconds = 0.55f;
    Stereo s(seconds);
    const float grace[] = {392.0f, 493.9f};
    const float chord[] = {523.3f, 659.3f, 784.0f, 1046.5f};
    Svf toneL, toneR;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float v = 0;
        if (t < 0.07f) {
            for (float f : grace) v += 2.0f * (f * t - std::floor(f * t)) - 1.0f;
            v *= 0.5f * envelope(t, 0.003f, 0.05f);
        } else {
            float u = t - 0.07f;
            for (float f : chord) v += 2.0f * (f * u - std::floor(f * u)) - 1.0f;
            v *= 0.4f * envelope(u, 0.006f, 0.2f);
        }
        float cutoff = 900.0f + 4200.0f * envelope(t, 0.08f, 0.15f);
        // Driven, so the stab sounds as loud as the hits around it.
        s.left[i] += std::tanh(2.5f * (toneL.step(v, cutoff, 0.6f) * 0.9f + v * 0.25f));
        s.right[i] += std::tanh(2.5f * (toneR.step(v, cutoff * 1.04f, 0.6f) * 0.9f + v * 0.25f));
    }
    return s;
}

// A knock-out: the heaviest impact, then a low boom rolling away.
Stereo ko() {
    const float seconds = 0.95f;
    Stereo s = blow({seconds, 107, 42.0f, 110.0f, 0.05f, 0.002f, 0.12f, 1.4f, 900, 0.9f, 0.001f, 0.05f, 1.5f, 3000,
                     0.0005f, 0.015f, 0.8f, 1.8f});
    Rng rng(109);
    OnePole rumbleL, rumbleR;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        phase += (34.0f + 20.0f * std::exp(-t / 0.15f)) / kRate;
        float boom = std::sin(2 * kPi * phase) * envelope(t, 0.02f, 0.35f) * 0.9f;
        float env = envelope(t, 0.03f, 0.3f) * std::min(1.0f, (seconds - t) / 0.2f);
        s.left[i] += boom + rumbleL.low(white(rng), 220) * env * 2.0f;
        s.right[i] += boom + rumbleR.low(white(rng), 200) * env * 2.0f;
    }
    return s;
}

// Time over: a harsh buzzer, two square tones beating against each other.
Stereo timeover() {
    const float seconds = 0.75f;
    Stereo s(seconds);
    OnePole soften;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = float(i) / kRate;
        float a = std::sin(2 * kPi * 155.0f * t) > 0 ? 1.0f : -1.0f;
        float b = std::sin(2 * kPi * 161.0f * t) > 0 ? 1.0f : -1.0f;
        float env = std::min(1.0f, t / 0.01f) * std::min(1.0f, (seconds - t) / 0.06f);
        s.add(i, soften.low((a + b) * 0.5f, 2400) * env, 0.0f);
    }
    return s;
}

void writeSound(Output& out, const std::string& folder, const std::string& name, Stereo sound, float peak) {
    out.write(folder + "/" + name + ".wav", wavBytes(sound, peak));
}
}  // namespace

void writeSounds(Output& out) {
    // Common effects, loaded first.
    writeSound(out, "soundSet", "jump", jump(), 0.55f);
    writeSound(out, "soundSet", "whoosh", whoosh(0.28f, 700, 2600, 1.0f, 21), 0.6f);
    writeSound(out, "soundSet", "impact", impact(), 0.85f);
    writeSound(out, "soundSet", "burst", burst(), 0.85f);
    writeSound(out, "soundSet", "step", step(), 0.28f);
    // Last, so looking up any of the others passes the same entries as before.
    writeSound(out, "soundSet", "hit", hit(), 0.85f);
    out.writeText("soundSet/sound", "SOUNDS: 6\njump\nwhoosh\nimpact\nburst\nstep\nhit\n");

    // The character's own, in the sound folder "Tor/sound" (its list is
    // Tor/sound/sound). Its "whoosh" is already loaded from the common set,
    // so start-up skips it here.
    writeSound(out, "Tor/sound", "cast", cast(), 0.75f);
    writeSound(out, "Tor/sound", "rising", rising(), 0.7f);
    writeSound(out, "Tor/sound", "swoosh", whoosh(0.36f, 320, 1500, 0.8f, 22), 0.7f);
    writeSound(out, "Tor/sound", "whoosh", whoosh(0.26f, 800, 3000, 1.1f, 23), 0.6f);
    out.writeText("Tor/sound/sound", "SOUNDS: 4\ncast\nrising\nswoosh\nwhoosh\n");

    // Gale's own, named so they never clash with another list's.
    writeSound(out, "Gale/sound", "galePalm", galePalm(), 0.75f);
    writeSound(out, "Gale/sound", "galeKick", whoosh(0.3f, 520, 2300, 0.9f, 92), 0.6f);
    writeSound(out, "Gale/sound", "galeGust", galeGust(), 0.7f);
    writeSound(out, "Gale/sound", "galeSweep", galeSweep(), 0.7f);
    writeSound(out, "Gale/sound", "galeFall", galeFall(), 0.8f);
    out.writeText("Gale/sound/sound", "SOUNDS: 5\ngalePalm\ngaleKick\ngaleGust\ngaleSweep\ngaleFall\n");

    // The match's: a guarded blow, the round's start, the call to fight, a
    // knock-out and the clock running out.
    writeSound(out, "versus/sound", "block", block(), 0.8f);
    writeSound(out, "versus/sound", "round", gong(), 0.75f);
    writeSound(out, "versus/sound", "fight", fight(), 0.7f);
    writeSound(out, "versus/sound", "ko", ko(), 0.9f);
    writeSound(out, "versus/sound", "timeover", timeover(), 0.6f);
    out.writeText("versus/sound/sound", "SOUNDS: 5\nblock\nround\nfight\nko\ntimeover\n");
}
