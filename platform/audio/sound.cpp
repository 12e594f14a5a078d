// sndPlaySoundA on SDL2's audio: one device, one queue, and each cue replaces what is queued.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "audio.h"
#include "mmsystem.h"
#include "platform_test_audio.h"
#include "wav.h"

namespace {

using platform::audio::Wav;

constexpr int kDeviceRate = 48000;
constexpr Uint16 kDeviceFrames = 512;  // about 11 ms per buffer at 48 kHz
constexpr std::size_t kMaxCachedCues = 64;
constexpr Uint32 kSyncGraceMs = 1000;

// One WAV image, converted once into the device's format.
struct Cue {
    std::vector<BYTE> image;  // a copy, to tell a reused buffer from the image seen before
    std::vector<Uint8> pcm;
    bool playable = false;
};

struct Audio {
    enum class State { Untried, Open, Silent } state = State::Untried;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec output{};  // what the device really plays
    std::unordered_map<const void*, Cue> cues;
    bool recording = false;
    std::vector<platform_test::SoundCall> recorded;
};

// Never destroyed, so that a cue requested from another static destructor finds silence, not a corpse.
Audio& Service() {
    static Audio* audio = new Audio;
    return *audio;
}

void ShutdownAtExit() { platform::ShutdownAudio(); }

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// alsa-lib writes its complaints (no sound card, say) to stderr. SDL opens the same library with
// dlopen, so a handler set here silences it for SDL too. The library stays loaded for good.
void SilenceAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;
    }
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) {
        set(IgnoreAlsaError);
    }
}

std::vector<Uint8> Convert(const Wav& wav, const SDL_AudioSpec& to) {
    std::vector<Uint8> out;
    if (wav.samples.empty()) {
        return out;
    }
    SDL_AudioFormat from = wav.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioStream* stream = SDL_NewAudioStream(from, static_cast<Uint8>(wav.channels), wav.sampleRate,
                                                 to.format, to.channels, to.freq);
    if (stream == nullptr) {
        return out;
    }
    if (SDL_AudioStreamPut(stream, wav.samples.data(), static_cast<int>(wav.samples.size())) == 0 &&
        SDL_AudioStreamFlush(stream) == 0) {
        out.resize(static_cast<std::size_t>(SDL_AudioStreamAvailable(stream)));
        int got = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
        out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    SDL_FreeAudioStream(stream);
    return out;
}

// The cue for an image, parsed and converted on first sight; null when the image is refused.
const Cue* Prepare(Audio& audio, const BYTE* image) {
    std::size_t size = platform::audio::WavImageSize(image);
    if (size == 0) {
        return nullptr;
    }
    auto found = audio.cues.find(image);
    if (found != audio.cues.end() && found->second.image.size() == size &&
        std::memcmp(found->second.image.data(), image, size) == 0) {
        return found->second.playable ? &found->second : nullptr;
    }
    if (audio.cues.size() >= kMaxCachedCues) {
        audio.cues.clear();
    }
    Cue& cue = audio.cues[image];
    cue.image.assign(image, image + size);
    cue.pcm.clear();
    std::optional<Wav> wav = platform::audio::ParseWav(cue.image);
    cue.playable = wav.has_value();
    if (wav && audio.state == Audio::State::Open) {
        cue.pcm = Convert(*wav, audio.output);
    }
    return cue.playable ? &cue : nullptr;
}

void StopCue(Audio& audio) {
    if (audio.state == Audio::State::Open) {
        SDL_ClearQueuedAudio(audio.device);
    }
}

// Synchronous play: wait for the queue to drain, but never much longer than the cue itself.
void WaitUntilPlayed(const Audio& audio, const Cue& cue) {
    std::size_t bytesPerSecond = static_cast<std::size_t>(audio.output.freq) * audio.output.channels *
                                 SDL_AUDIO_BITSIZE(audio.output.format) / 8;
    Uint32 limit = static_cast<Uint32>(cue.pcm.size() * 1000 / bytesPerSecond) + kSyncGraceMs;
    Uint32 start = SDL_GetTicks();
    while (SDL_GetQueuedAudioSize(audio.device) > 0 && SDL_GetTicks() - start < limit) {
        SDL_Delay(2);
    }
}

}  // namespace

namespace platform {

void InitAudio() {
    Audio& audio = Service();
    if (audio.state != Audio::State::Untried) {
        return;
    }
    audio.state = Audio::State::Silent;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "zum32");
    SilenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    audio.device = SDL_OpenAudioDevice(nullptr, 0, &want, &audio.output,
                                       SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (audio.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_PauseAudioDevice(audio.device, 0);
    audio.state = Audio::State::Open;
    std::atexit(ShutdownAtExit);
}

void ShutdownAudio() {
    Audio& audio = Service();
    if (audio.state == Audio::State::Open) {
        SDL_CloseAudioDevice(audio.device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audio.device = 0;
    }
    audio.state = Audio::State::Silent;
    audio.cues.clear();
}

}  // namespace platform

BOOL sndPlaySoundA(LPCSTR sound, UINT flags) {
    Audio& audio = Service();
    if (audio.recording) {
        audio.recorded.push_back({sound, flags, sound == nullptr});
    }
    platform::InitAudio();
    if (sound == nullptr) {
        StopCue(audio);
        return TRUE;
    }
    if ((flags & SND_MEMORY) == 0) {
        return FALSE;  // the game plays only from memory; sounds by file name are not offered
    }
    const Cue* cue = Prepare(audio, reinterpret_cast<const BYTE*>(sound));
    StopCue(audio);
    if (cue == nullptr) {
        return FALSE;
    }
    if (audio.state == Audio::State::Open && !cue->pcm.empty()) {
        SDL_QueueAudio(audio.device, cue->pcm.data(), static_cast<Uint32>(cue->pcm.size()));
        if ((flags & SND_ASYNC) == 0) {
            WaitUntilPlayed(audio, *cue);
        }
    }
    return TRUE;
}

namespace platform_test {

void RecordSounds(bool on) { Service().recording = on; }

std::vector<SoundCall> RecordedSounds() { return Service().recorded; }

void ClearRecordedSounds() { Service().recorded.clear(); }

bool AudioDeviceOpen() { return Service().state == Audio::State::Open; }

std::size_t QueuedAudioBytes() {
    const Audio& audio = Service();
    return audio.state == Audio::State::Open ? SDL_GetQueuedAudioSize(audio.device) : 0;
}

}  // namespace platform_test
