#pragma once
// The one scene: its display, its floor and side limits, and the colours of
// the debugging boxes. The engine, the tools and the tests take them from
// here (the fighter's pace is the fighter's own, in fighter/Fighter.h).
#include <SDL/SDL.h>

// --- The display ---
const int kScreenWidth = 800;  // pixels
const int kScreenHeight = 600;
const int kScreenBits = 32;    // bits per pixel

// --- The world ---
// Anchor y of a fighter standing on the floor; a falling particle rests with
// its lower box edge there.
const int kGroundLevel = 530;
// Leftmost and rightmost anchor x of a fighter; a particle dies beyond them
// by a margin.
const int kBoundaryXLeft = 0;
const int kBoundaryXRight = kScreenWidth;

// --- Debugging boxes: raw pixel values on the 32-bit display ---
const Uint32 kCollisionBoxColour = 0xffcc00;  // a fighter's collision box
const Uint32 kHitBoxColour = 0xff0000;        // a fighter's live hit box
const Uint32 kSpriteBoxColour = 0xff0000;     // a plain sprite's collision box
const Uint32 kAnchorMarkColour = 0xcc;        // 4x2 mark just above the anchor (a sprite's corner)
