#pragma once

// The RIFF/WAVE structure around the samples: finding them in a file that is read, and the header
// the writer puts before them.

#include <cstdint>
#include <istream>
#include <vector>

#include "Outcome.h"
#include "WavFormat.h"

struct WavLayout {
    WavFormat format;
    std::uint64_t dataOffset = 0;  // where the first frame starts in the file
    std::int64_t frames = 0;
};

// Walks the chunks of a file of `fileSize` bytes up to its data chunk, skipping the chunks it does
// not need. Takes PCM of 16, 24 or 32 bits and float of 32 or 64 bits, plain or in the extensible
// format. The size in the RIFF header is not relied on, as writers often leave it wrong. A failure
// says what is wrong with the file, as a clause such as "it is truncated ...".
Expected<WavLayout> readWavLayout(std::istream& file, std::uint64_t fileSize);

// The header of a file of `frames` frames whose samples follow it directly. Its length depends only on
// the format, so a writer can rewrite it in place once it knows the number of frames. The extensible
// format is used for more than two channels and for PCM of more than 16 bits.
std::vector<unsigned char> makeWavHeader(const WavFormat& format, std::int64_t frames);

// The most sample bytes a file of this format can hold: every size in it must fit in 32 bits.
std::uint64_t largestWavDataBytes(const WavFormat& format);
