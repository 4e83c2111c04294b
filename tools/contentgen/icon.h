#pragma once
// The desktop icon: the fighter thrusting a fireball from both palms, made
// from the same drawing as his frames, so it is the same on every build.
#include <cstdint>
#include <string>
#include <vector>

// `size` x `size` pixels, RGBA, top row first; transparent around him.
std::vector<uint8_t> iconPixels(int size);
// Writes iconPixels(size) as a PNG file; false (and a message) on failure.
bool writeIcon(const std::string& path, int size);
