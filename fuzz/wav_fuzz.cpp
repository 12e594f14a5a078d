// libFuzzer target: any bytes as a WAV image, through the parser and sndPlaySoundA on the dummy device.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mmsystem.h"
#include "platform/audio/wav.h"

namespace {

using platform::audio::ParseWav;
using platform::audio::Wav;
using platform::audio::WavImageSize;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "wav_fuzz: %s\n", what);
    std::abort();
}

void CheckParsed(const Wav& wav, const BYTE* image, std::size_t size) {
    if (wav.channels < 1 || wav.channels > 2) Fail("channel count out of range");
    if (wav.bitsPerSample != 8 && wav.bitsPerSample != 16) Fail("sample size out of range");
    if (wav.sampleRate < 1) Fail("sample rate out of range");
    const std::size_t frame = static_cast<std::size_t>(wav.channels * wav.bitsPerSample / 8);
    if (wav.samples.size() % frame != 0) Fail("samples are not whole frames");
    if (!wav.samples.empty() &&
        (wav.samples.data() < image || wav.samples.data() + wav.samples.size() > image + size))
        Fail("samples lie outside the image");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // a device that plays into nothing, without a sound card
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<Wav> wav = ParseWav(std::span<const BYTE>(data, size));
    if (wav) CheckParsed(*wav, data, size);

    // sndPlaySoundA learns the image's length from its RIFF header, so only a whole image may
    // be handed to it; the image gets an allocation of its own length so that any read past it
    // is caught.
    if (size < 12) return 0;
    const std::size_t imageSize = WavImageSize(data);
    if (imageSize == 0 || imageSize > size) {
        if (wav) Fail("an image with a broken header was parsed");
        return 0;
    }
    std::vector<BYTE> image(data, data + imageSize);
    const bool parsed = ParseWav(image).has_value();
    const BOOL played = sndPlaySoundA(reinterpret_cast<LPCSTR>(image.data()), SND_ASYNC | SND_MEMORY);
    if ((played != FALSE) != parsed) Fail("sndPlaySoundA and the parser disagree");
    sndPlaySoundA(nullptr, 0);
    return 0;
}
