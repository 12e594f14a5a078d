// Reading the PCM samples out of a RIFF WAVE image in memory, never past the image's end.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "windef.h"

namespace platform::audio {

// A RIFF header that claims more than this is taken for garbage, not for a sound.
constexpr std::size_t kMaxWavBytes = std::size_t{16} << 20;

struct Wav {
    int channels = 0;       // 1 or 2
    int sampleRate = 0;     // frames per second, 8000 to 384000
    int bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
    std::span<const BYTE> samples;  // whole frames, inside the parsed image
};

// The image's length from its 12-byte RIFF WAVE header (8 + the RIFF size), or 0 when the header
// is not one or claims more than kMaxWavBytes. Reads exactly 12 bytes.
std::size_t WavImageSize(const BYTE* header);

// The PCM content of a well-formed image, or nothing. The image ends where its RIFF size says;
// bytes of the span beyond that are ignored, and a RIFF size beyond the span refuses the image.
std::optional<Wav> ParseWav(std::span<const BYTE> image);

}  // namespace platform::audio
