#pragma once

// Conversion between the interleaved little-endian sample bytes of a WAV file and planar float
// channels. Integer samples map to floats by a scale of 2^(bits - 1) in both directions; written as
// integers, floats beyond full scale are clipped and NaN becomes silence.

#include "WavFormat.h"

// `bytes` holds `frames` frames of `format`; `channels` receives format.channels planar channels.
void decodeWavSamples(const WavFormat& format, const unsigned char* bytes, int frames, float* const* channels);

// The reverse: `bytes` receives `frames` frames, format.bytesPerFrame() bytes each.
void encodeWavSamples(const WavFormat& format, const float* const* channels, int frames, unsigned char* bytes);
