// Reading the PCM samples out of a RIFF WAVE image in memory, never past the image's end.
#include "wav.h"

#include <cstdint>
#include <cstring>

namespace platform::audio {
namespace {

constexpr std::size_t kRiffHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::uint32_t kMinFmtBytes = 16;
// Below the lowest rate of real recordings a few bytes would convert into minutes of output.
constexpr std::uint32_t kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 384000;  // beyond any real recording; keeps the arithmetic small
constexpr std::uint16_t kFormatPcm = 1;

std::uint16_t Le16(const BYTE* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t Le32(const BYTE* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool IsTag(const BYTE* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

struct Format {
    int channels;
    int sampleRate;
    int bitsPerSample;
    std::size_t blockAlign;
};

std::optional<Format> ReadFormat(const BYTE* body, std::uint32_t size) {
    if (size < kMinFmtBytes || Le16(body) != kFormatPcm) {
        return std::nullopt;
    }
    Format f{Le16(body + 2), 0, Le16(body + 14), Le16(body + 12)};
    std::uint32_t rate = Le32(body + 4);
    if (f.channels < 1 || f.channels > 2 || rate < kMinSampleRate || rate > kMaxSampleRate ||
        (f.bitsPerSample != 8 && f.bitsPerSample != 16) ||
        f.blockAlign != static_cast<std::size_t>(f.channels * f.bitsPerSample / 8)) {
        return std::nullopt;
    }
    f.sampleRate = static_cast<int>(rate);
    return f;
}

}  // namespace

std::size_t WavImageSize(const BYTE* header) {
    if (header == nullptr || !IsTag(header, "RIFF")) {
        return 0;
    }
    std::uint32_t riffSize = Le32(header + 4);
    if (riffSize < 4 || riffSize > kMaxWavBytes - 8 || !IsTag(header + 8, "WAVE")) {
        return 0;
    }
    return std::size_t{8} + riffSize;
}

std::optional<Wav> ParseWav(std::span<const BYTE> image) {
    if (image.size() < kRiffHeaderBytes) {
        return std::nullopt;
    }
    const std::size_t end = WavImageSize(image.data());
    if (end == 0 || end > image.size()) {
        return std::nullopt;
    }
    const BYTE* base = image.data();
    std::optional<Format> format;
    std::optional<std::span<const BYTE>> data;
    // The chunks must tile the RIFF body exactly; only the last one may lack its pad byte.
    std::size_t pos = kRiffHeaderBytes;
    while (pos < end) {
        if (end - pos < kChunkHeaderBytes) {
            return std::nullopt;
        }
        const BYTE* header = base + pos;
        const std::uint32_t size = Le32(header + 4);
        if (size > end - pos - kChunkHeaderBytes) {
            return std::nullopt;
        }
        const BYTE* body = header + kChunkHeaderBytes;
        if (IsTag(header, "fmt ")) {
            if (format || !(format = ReadFormat(body, size))) {
                return std::nullopt;
            }
        } else if (IsTag(header, "data")) {
            if (data) {
                return std::nullopt;
            }
            data = std::span<const BYTE>(body, size);
        }
        pos += kChunkHeaderBytes + size;
        if (size % 2 != 0 && pos < end) {
            ++pos;
        }
    }
    if (!format || !data || data->size() % format->blockAlign != 0) {
        return std::nullopt;
    }
    return Wav{format->channels, format->sampleRate, format->bitsPerSample, *data};
}

}  // namespace platform::audio
