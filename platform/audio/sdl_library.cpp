// Loading SDL2 by its run-time name and resolving the audio calls the sound service uses.
#include "sdl_library.h"

#include <dlfcn.h>

namespace platform::audio {

namespace {

template <typename Function>
bool Resolve(void* library, const char* name, Function& to) {
    to = reinterpret_cast<Function>(dlsym(library, name));
    return to != nullptr;
}

bool ResolveAll(void* library, SdlLibrary& sdl) {
    return Resolve(library, "SDL_SetHint", sdl.SetHint) &&
           Resolve(library, "SDL_InitSubSystem", sdl.InitSubSystem) &&
           Resolve(library, "SDL_QuitSubSystem", sdl.QuitSubSystem) &&
           Resolve(library, "SDL_OpenAudioDevice", sdl.OpenAudioDevice) &&
           Resolve(library, "SDL_CloseAudioDevice", sdl.CloseAudioDevice) &&
           Resolve(library, "SDL_PauseAudioDevice", sdl.PauseAudioDevice) &&
           Resolve(library, "SDL_QueueAudio", sdl.QueueAudio) &&
           Resolve(library, "SDL_ClearQueuedAudio", sdl.ClearQueuedAudio) &&
           Resolve(library, "SDL_GetQueuedAudioSize", sdl.GetQueuedAudioSize) &&
           Resolve(library, "SDL_NewAudioStream", sdl.NewAudioStream) &&
           Resolve(library, "SDL_AudioStreamPut", sdl.AudioStreamPut) &&
           Resolve(library, "SDL_AudioStreamFlush", sdl.AudioStreamFlush) &&
           Resolve(library, "SDL_AudioStreamAvailable", sdl.AudioStreamAvailable) &&
           Resolve(library, "SDL_AudioStreamGet", sdl.AudioStreamGet) &&
           Resolve(library, "SDL_FreeAudioStream", sdl.FreeAudioStream);
}

const SdlLibrary* Load() {
    void* library = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return nullptr;
    }
    static SdlLibrary sdl;
    if (!ResolveAll(library, sdl)) {
        dlclose(library);
        return nullptr;
    }
    return &sdl;
}

}  // namespace

const SdlLibrary* LoadSdl() {
    static const SdlLibrary* loaded = Load();
    return loaded;
}

}  // namespace platform::audio
