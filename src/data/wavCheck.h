#pragma once
// A look at a WAV file's chunks before SDL decodes and converts it: SDL 1.2
// crashes on some headers (no channels, very low sample rates overrun its
// list of conversion steps), so a broken or crafted file is refused with a
// reason instead.
#include <SDL/SDL_mixer.h>

#include <cstddef>
#include <string>

// Sample rates accepted, in hertz: the mixer runs at 44100 and SDL converts
// these with few enough steps and a buffer that fits in an int.
const unsigned kMinWavRate = 8000;
const unsigned kMaxWavRate = 192000;
// Largest sound data accepted, in bytes.
const unsigned kMaxWavData = 16u << 20;

// True when `data` (the whole file, `size` bytes) is a WAV file SDL can load
// safely, read the way SDL reads it: "RIFF" and "WAVE", then chunks with no
// padding, "fact" and "LIST" chunks before the "fmt " chunk, any chunks
// between it and the "data" chunk, every chunk inside the file; plain PCM,
// 1 or 2 channels, 8 or 16 bits, kMinWavRate..kMaxWavRate hertz, at most
// kMaxWavData bytes of sound. Otherwise `reason` says what is wrong.
bool checkWav(const unsigned char* data, size_t size, std::string& reason);

// Reads the WAV file `path`, checks it and loads it with SDL_mixer. Null with
// `reason` set when the file can't be opened ("can't be opened"), fails the
// check or can't be loaded. `opened` is false in the first case; `passed`
// is true when only SDL_mixer failed (as it does with no audio device).
Mix_Chunk* loadCheckedWav(const char* path, std::string& reason, bool& opened, bool& passed);
