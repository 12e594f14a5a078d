// sndPlaySoundA on SDL2's audio: one device, one queue, and each cue replaces what is queued.
//
// SDL's audio thread wakes for every device buffer (about 11 ms) for as long as a device is open,
// paused or not. So the device is open only while cues sound: a cue opens it, and a closer thread
// that sleeps until the queue should have played out closes it a little later, when nothing more
// was queued. SDL itself is loaded with the first cue (sdl_library.h).
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include <dlfcn.h>

#include "audio.h"
#include "mmsystem.h"
#include "platform_test_audio.h"
#include "sdl_library.h"
#include "wav.h"

namespace {

using platform::audio::SdlLibrary;
using platform::audio::Wav;
using Clock = std::chrono::steady_clock;

constexpr int kDeviceRate = 48000;
constexpr Uint16 kDeviceFrames = 512;  // about 11 ms per buffer at 48 kHz
constexpr std::size_t kMaxCachedCues = 64;
constexpr auto kSyncGrace = std::chrono::milliseconds(1000);
// Once the queue has run dry the device still plays its last buffer or two (11 ms each); then it
// closes. Short, since the clock's cue sounds every second in play.
constexpr auto kCloseAfterQueueEmpty = std::chrono::milliseconds(25);

// One WAV image, converted into the device's format when it first plays on a device of that format.
struct Cue {
    std::vector<BYTE> image;  // a copy, to tell a reused buffer from the image seen before
    std::optional<Wav> wav;   // inside image
    std::vector<Uint8> pcm;
    SDL_AudioSpec pcmFormat{};  // the device format pcm was converted for; freq 0 before that
};

struct Audio {
    enum class State { Untried, Ready, Silent } state = State::Untried;  // Ready: SDL's audio runs
    const SdlLibrary* sdl = nullptr;
    bool noDevice = false;  // a device failed to open: the process stays silent, as without a driver
    std::unordered_map<const void*, Cue> cues;
    bool recording = false;
    std::vector<platform_test::SoundCall> recorded;

    // Shared with the closer thread.
    std::mutex lock;
    std::condition_variable wake;
    SDL_AudioDeviceID device = 0;  // 0 while closed
    bool closing = false;          // the closer thread is closing the last device
    SDL_AudioSpec output{};        // what the open device really plays
    Clock::time_point closeAt;
    bool stopping = false;
    std::thread closer;
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

Clock::duration PlayingTime(std::size_t bytes, const SDL_AudioSpec& format) {
    std::size_t bytesPerSecond = static_cast<std::size_t>(format.freq) * format.channels *
                                 SDL_AUDIO_BITSIZE(format.format) / 8;
    return std::chrono::microseconds(bytes * 1000000 / bytesPerSecond);
}

bool SameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}

std::vector<Uint8> Convert(const SdlLibrary& sdl, const Wav& wav, const SDL_AudioSpec& to) {
    std::vector<Uint8> out;
    if (wav.samples.empty()) {
        return out;
    }
    SDL_AudioFormat from = wav.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    SDL_AudioStream* stream = sdl.NewAudioStream(from, static_cast<Uint8>(wav.channels), wav.sampleRate,
                                                 to.format, to.channels, to.freq);
    if (stream == nullptr) {
        return out;
    }
    if (sdl.AudioStreamPut(stream, wav.samples.data(), static_cast<int>(wav.samples.size())) == 0 &&
        sdl.AudioStreamFlush(stream) == 0) {
        out.resize(static_cast<std::size_t>(sdl.AudioStreamAvailable(stream)));
        int got = sdl.AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
        out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    sdl.FreeAudioStream(stream);
    return out;
}

// The cue for an image, parsed on first sight; null when the image is refused.
Cue* Prepare(Audio& audio, const BYTE* image) {
    std::size_t size = platform::audio::WavImageSize(image);
    if (size == 0) {
        return nullptr;
    }
    auto found = audio.cues.find(image);
    if (found != audio.cues.end() && found->second.image.size() == size &&
        std::memcmp(found->second.image.data(), image, size) == 0) {
        return found->second.wav ? &found->second : nullptr;
    }
    if (audio.cues.size() >= kMaxCachedCues) {
        audio.cues.clear();
    }
    Cue& cue = audio.cues[image];
    cue = Cue{};
    cue.image.assign(image, image + size);
    cue.wav = platform::audio::ParseWav(cue.image);
    return cue.wav ? &cue : nullptr;
}

void StopCue(Audio& audio) {
    std::lock_guard held(audio.lock);
    if (audio.device != 0) {
        audio.sdl->ClearQueuedAudio(audio.device);
    }
}

// Opens the device unless it is open; false when none can be opened. Called with the lock held.
bool OpenDevice(Audio& audio, std::unique_lock<std::mutex>& held) {
    if (audio.device != 0) {
        return true;
    }
    // Drivers with one output (SDL's dummy) refuse a second device while the last one closes.
    audio.wake.wait(held, [&] { return !audio.closing; });
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    audio.device = audio.sdl->OpenAudioDevice(nullptr, 0, &want, &audio.output,
                                              SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (audio.device == 0) {
        return false;
    }
    audio.sdl->PauseAudioDevice(audio.device, 0);
    return true;
}

// Sleeps while the device is closed; once it is open, wakes when its queue should have played out
// and closes it if nothing more came. The close runs unlocked, since a driver may take a buffer's
// time or two to let its last samples out; only a driver with a single output makes a cue wait.
void CloseWhenQuiet(Audio& audio) {
    std::unique_lock held(audio.lock);
    while (!audio.stopping) {
        if (audio.device == 0) {
            audio.wake.wait(held);
            continue;
        }
        if (Clock::now() < audio.closeAt) {
            audio.wake.wait_until(held, audio.closeAt);
            continue;
        }
        Uint32 queued = audio.sdl->GetQueuedAudioSize(audio.device);
        if (queued > 0) {
            audio.closeAt = Clock::now() + PlayingTime(queued, audio.output) + kCloseAfterQueueEmpty;
            continue;
        }
        SDL_AudioDeviceID closing = audio.device;
        audio.device = 0;
        audio.closing = true;
        held.unlock();
        audio.sdl->CloseAudioDevice(closing);
        held.lock();
        audio.closing = false;
        audio.wake.notify_all();
    }
}

// Synchronous play: wait for the queue to drain, but never much longer than the cue itself.
void WaitUntilPlayed(Audio& audio, Clock::duration length) {
    const Clock::time_point limit = Clock::now() + length + kSyncGrace;
    for (;;) {
        {
            std::lock_guard held(audio.lock);
            if (audio.device == 0 || audio.sdl->GetQueuedAudioSize(audio.device) == 0) {
                return;
            }
        }
        if (Clock::now() >= limit) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
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
    audio.sdl = audio::LoadSdl();
    if (audio.sdl == nullptr) {
        return;
    }
    audio.sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    audio.sdl->SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "zum32");
    SilenceAlsa();
    if (audio.sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    audio.state = Audio::State::Ready;
    audio.closer = std::thread(CloseWhenQuiet, std::ref(audio));
    std::atexit(ShutdownAtExit);
}

void ShutdownAudio() {
    Audio& audio = Service();
    if (audio.state == Audio::State::Ready) {
        {
            std::lock_guard held(audio.lock);
            audio.stopping = true;
        }
        audio.wake.notify_all();
        audio.closer.join();
        if (audio.device != 0) {
            audio.sdl->CloseAudioDevice(audio.device);
            audio.device = 0;
        }
        audio.sdl->QuitSubSystem(SDL_INIT_AUDIO);
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
    const bool ready = audio.state == Audio::State::Ready;
    if (sound == nullptr) {
        if (ready) StopCue(audio);
        return TRUE;
    }
    if ((flags & SND_MEMORY) == 0) {
        return FALSE;  // the game plays only from memory; sounds by file name are not offered
    }
    Cue* cue = Prepare(audio, reinterpret_cast<const BYTE*>(sound));
    if (ready) StopCue(audio);
    if (cue == nullptr) {
        return FALSE;
    }
    if (!ready || audio.noDevice || cue->wav->samples.empty()) {
        return TRUE;
    }
    Clock::duration length{};
    bool wakeCloser = false;
    {
        std::unique_lock held(audio.lock);
        wakeCloser = audio.device == 0;
        if (!OpenDevice(audio, held)) {
            audio.noDevice = true;  // not tried again at every cue: ALSA's probing takes a while
            return TRUE;
        }
        if (!SameFormat(cue->pcmFormat, audio.output)) {
            cue->pcm = Convert(*audio.sdl, *cue->wav, audio.output);
            cue->pcmFormat = audio.output;
        }
        if (!cue->pcm.empty()) {
            audio.sdl->QueueAudio(audio.device, cue->pcm.data(), static_cast<Uint32>(cue->pcm.size()));
            length = PlayingTime(cue->pcm.size(), audio.output);
        }
        const Clock::time_point closeAt = Clock::now() + length + kCloseAfterQueueEmpty;
        wakeCloser = wakeCloser || closeAt < audio.closeAt;
        audio.closeAt = closeAt;
    }
    // A closer waiting for an earlier close than this cue's looks again then by itself; one
    // waiting for a device to open, or for a later close than this cue needs, is told.
    if (wakeCloser) audio.wake.notify_all();
    if ((flags & SND_ASYNC) == 0) {
        WaitUntilPlayed(audio, length);
    }
    return TRUE;
}

namespace platform_test {

void RecordSounds(bool on) { Service().recording = on; }

std::vector<SoundCall> RecordedSounds() { return Service().recorded; }

void ClearRecordedSounds() { Service().recorded.clear(); }

bool AudioReady() { return Service().state == Audio::State::Ready; }

bool AudioDeviceOpen() {
    Audio& audio = Service();
    std::lock_guard held(audio.lock);
    return audio.device != 0 || audio.closing;
}

std::size_t QueuedAudioBytes() {
    Audio& audio = Service();
    std::lock_guard held(audio.lock);
    return audio.device != 0 ? audio.sdl->GetQueuedAudioSize(audio.device) : 0;
}

}  // namespace platform_test
