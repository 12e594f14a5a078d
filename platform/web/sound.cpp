// sndPlaySoundA on the page's WebAudio: each cue's samples are read here once and handed over as
// floats; one cue sounds at a time, and a new one stops the one that sounds.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "mmsystem.h"
#include "page.h"
#include "platform_test_audio.h"
#include "wav.h"

namespace {

using platform::audio::ParseWav;
using platform::audio::WavImageSize;

struct Cue {
    std::vector<BYTE> image;  // a copy, to tell a reused buffer from the image seen before
    std::vector<float> planar;
    int frames = 0;
    int channels = 0;
    int rate = 0;
    int key = 0;  // the page's name for its decoded buffer
};

struct Sound {
    std::unordered_map<const void*, Cue> cues;
    int nextKey = 0;
    bool recording = false;
    std::vector<platform_test::SoundCall> recorded;
};

Sound& Service() {
    static Sound sound;
    return sound;
}

// The cue of that image, read again when the bytes behind the pointer changed; null when the
// image is no sound that can be played.
const Cue* Prepare(Sound& sound, const BYTE* bytes) {
    const std::size_t size = WavImageSize(bytes);
    if (size == 0) return nullptr;
    Cue& cue = sound.cues[bytes];
    if (cue.image.size() == size && std::memcmp(cue.image.data(), bytes, size) == 0) return &cue;
    if (cue.key) zum_sound_forget(cue.key);
    cue = Cue{};
    const auto wav = ParseWav(std::span<const BYTE>(bytes, size));
    if (!wav) {
        sound.cues.erase(bytes);
        return nullptr;
    }
    cue.image.assign(bytes, bytes + size);
    const int bytesPerSample = wav->bitsPerSample / 8;
    cue.channels = wav->channels;
    cue.rate = wav->sampleRate;
    cue.frames = static_cast<int>(wav->samples.size() / (bytesPerSample * wav->channels));
    cue.planar.resize(static_cast<std::size_t>(cue.frames) * cue.channels);
    const BYTE* s = wav->samples.data();
    for (int f = 0; f < cue.frames; ++f)
        for (int c = 0; c < cue.channels; ++c, s += bytesPerSample) {
            // 8-bit samples are unsigned around 128; 16-bit ones signed little-endian.
            const float v = bytesPerSample == 1
                                ? (s[0] - 128) / 128.0f
                                : static_cast<std::int16_t>(s[0] | (s[1] << 8)) / 32768.0f;
            cue.planar[static_cast<std::size_t>(c) * cue.frames + f] = v;
        }
    cue.key = ++sound.nextKey;
    return &cue;
}

}  // namespace

BOOL sndPlaySoundA(LPCSTR sound, UINT flags) {
    Sound& service = Service();
    if (service.recording) service.recorded.push_back({sound, flags, sound == nullptr});
    if (sound == nullptr) {
        zum_sound_stop();
        return TRUE;
    }
    if ((flags & SND_MEMORY) == 0) return FALSE;  // the game plays only from memory
    const Cue* cue = Prepare(service, reinterpret_cast<const BYTE*>(sound));
    zum_sound_stop();
    if (!cue) return FALSE;
    if (cue->frames > 0) zum_sound_play(cue->key, cue->planar.data(), cue->frames, cue->channels, cue->rate);
    return TRUE;
}

namespace platform_test {

void RecordSounds(bool on) { Service().recording = on; }
std::vector<SoundCall> RecordedSounds() { return Service().recorded; }
void ClearRecordedSounds() { Service().recorded.clear(); }

}  // namespace platform_test
