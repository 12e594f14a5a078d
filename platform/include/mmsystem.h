// Multimedia: one sound cue at a time, played from a WAV image in memory.
#pragma once

#include "windef.h"

constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_NODEFAULT = 0x0002;
constexpr UINT SND_MEMORY = 0x0004;

// With SND_ASYNC | SND_MEMORY plays the image without blocking; null stops the cue that sounds.
// Without an audio device nothing plays and TRUE is still returned.
BOOL sndPlaySoundA(LPCSTR sound, UINT flags);
