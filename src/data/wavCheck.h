#pragma once
// A look at a WAV file's chunks before SDL decodes and converts it: SDL 1.2
// crashes on some headers (no channels, rates that overrun its list of
// conversion steps, ADPCM blocks that don't match their header), so a broken
// or crafted file is refused with a reason instead.
#include <SDL/SDL_mixer.h>

#include <cstddef>
#include <string>

// Largest sound data accepted, in bytes, as the file holds it.
const unsigned kMaxWavData = 16u << 20;
// Largest buffer SDL may convert a sound in (the decoded sound grown to the
// mixer's 44100 Hz, 16-bit stereo), in bytes. SDL_mixer sizes it in an int.
const unsigned kMaxWavConverted = 512u << 20;

// True when `data` (the whole file, `size` bytes) is a WAV file SDL can load
// safely, read the way SDL reads it: "RIFF" and "WAVE", then chunks with no
// padding, "fact" and "LIST" chunks before the "fmt " chunk, any chunks
// between it and the "data" chunk, every chunk inside the file; PCM of 8 or
// 16 bits in 1, 2, 4 or 6 channels, or MS or IMA ADPCM (4 bits, 1 or 2
// channels, blocks as their header says); any rate SDL converts to the
// mixer's 44100 Hz within its 9 conversion steps; at most kMaxWavData bytes
// of sound, growing to at most kMaxWavConverted. Otherwise `reason` says
// what is wrong.
bool checkWav(const unsigned char* data, size_t size, std::string& reason);

// Reads the WAV file `path`, checks it and loads it with SDL_mixer. Null with
// `reason` set when the file can't be opened ("can't be opened"), fails the
// check or can't be loaded. `opened` is false in the first case; `passed`
// is true when only SDL_mixer failed (as it does with no audio device).
Mix_Chunk* loadCheckedWav(const char* path, std::string& reason, bool& opened, bool& passed);
