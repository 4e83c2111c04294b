#pragma once
// Seeded randomness and smooth noise: every run draws the same numbers.
#include <cstdint>

// A small xorshift generator; the same seed always gives the same sequence.
class Rng {
public:
    explicit Rng(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // Uniform in [0, 1).
    float unit() { return float(next() >> 8) / 16777216.0f; }
    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

private:
    uint32_t state;
};

// Hash of a lattice point to [0, 1).
float hash2(int x, int y, uint32_t seed);
// Smoothly interpolated lattice noise in [0, 1).
float valueNoise(float x, float y, uint32_t seed);
// Sum of `octaves` noise layers, each twice as fine and half as strong; in [0, 1).
float fbm(float x, float y, int octaves, uint32_t seed);
// 4x4 ordered-dither threshold in [0, 1) for pixel (x, y).
float bayer4(int x, int y);
