// Start and end of the sound service, for the process entry; sndPlaySoundA starts it by itself too.
#pragma once

namespace platform {

// Opens the audio device once; when that fails the process stays silent, without a message.
void InitAudio();

// Closes the device; later cues are silent. Runs by itself at exit once the device is open.
void ShutdownAudio();

}  // namespace platform
