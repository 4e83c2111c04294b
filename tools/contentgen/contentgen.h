#pragma once
// The parts of the bundled content, each written into the output folder.
#include <string>

#include "fighter.h"
#include "frameInfo.h"
#include "output.h"

// A character folder (data/Burn, data/Dummy): the animation list, the move
// set, every frame folder and each move's hit file, in `look`'s colours.
void writeCharacter(Output& out, const std::string& folder, Look look);
// The fireball's blow. The flameThrow's palms never touch; the fireball they
// throw does, so the move's hit file and the particle's carry these values.
constexpr HitValues kFireballHit{10, 90, 260, 24};
// The second character, data/Gale: laid out like Burn's, with its own
// figure, animations (guard, duckGuard and ko besides) and moves, and a
// `stats` file.
void writeGale(Output& out);
// Gale's wind blade, thrown by galeGust, hits with these values.
constexpr HitValues kGustHit{9, 90, 250, 22};
constexpr GuardValues kGustGuard{"mid", 160, 0, 3};
// data/particle: the list "default" and one folder per particle.
void writeParticles(Output& out);
// Gale's particles: the list "Gale" and their folders under data/particle.
void writeGaleParticles(Output& out);
// data/soundSet, data/Tor/sound, data/Gale/sound and data/versus/sound: the
// sound folders, each a list file `sound` and its WAV files.
void writeSounds(Output& out);
// data/tBG2.bmp: the scene behind the fighter.
void writeBackground(Output& out);
