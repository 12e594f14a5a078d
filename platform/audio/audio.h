// Start and end of the sound service, for the process entry; sndPlaySoundA starts it by itself too.
#pragma once

namespace platform {

// Loads SDL and starts its audio once; when that fails the process stays silent, without a
// message. The device itself opens with a cue and closes soon after the last one has played.
void InitAudio();

// Closes the device and ends SDL's audio; later cues are silent. Runs by itself at exit once
// InitAudio has started the audio.
void ShutdownAudio();

}  // namespace platform
