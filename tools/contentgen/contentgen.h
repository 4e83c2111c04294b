#pragma once
// The parts of the bundled content, each written into the output folder.
#include "output.h"

// data/Burn: the animation list, the move set and every frame folder.
void writeCharacter(Output& out);
// data/particle: the list "default" and one folder per particle.
void writeParticles(Output& out);
// data/soundSet and data/Tor/sound: the sound folders, each a list file
// `sound` and its WAV files.
void writeSounds(Output& out);
// data/tBG2.bmp: the scene behind the fighter.
void writeBackground(Output& out);
