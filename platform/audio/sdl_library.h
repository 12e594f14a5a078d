// SDL2's audio calls, loaded with dlopen at the first cue, so that SDL and the sound libraries it
// brings (PulseAudio, ALSA, libsndfile...) are not mapped while the game starts.
#pragma once

#include <SDL.h>

namespace platform::audio {

struct SdlLibrary {
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_QueueAudio) QueueAudio;
    decltype(&SDL_ClearQueuedAudio) ClearQueuedAudio;
    decltype(&SDL_GetQueuedAudioSize) GetQueuedAudioSize;
    decltype(&SDL_NewAudioStream) NewAudioStream;
    decltype(&SDL_AudioStreamPut) AudioStreamPut;
    decltype(&SDL_AudioStreamFlush) AudioStreamFlush;
    decltype(&SDL_AudioStreamAvailable) AudioStreamAvailable;
    decltype(&SDL_AudioStreamGet) AudioStreamGet;
    decltype(&SDL_FreeAudioStream) FreeAudioStream;
};

// The library's calls, loaded on the first call; null when SDL2 or one of its calls is missing.
// The library stays loaded for the life of the process.
const SdlLibrary* LoadSdl();

}  // namespace platform::audio
