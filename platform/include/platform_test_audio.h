// Test hooks of the sound service: a log of sndPlaySoundA calls and a look at the device queue.
#pragma once

#include <cstddef>
#include <vector>

#include "windef.h"

namespace platform_test {

struct SoundCall {
    const void* bytes;  // the sound argument as passed
    UINT flags;
    bool stop;          // a null sound: stops the cue that sounds

    bool operator==(const SoundCall&) const = default;
};

// While on, every sndPlaySoundA call is logged; it still plays as usual.
void RecordSounds(bool on);
std::vector<SoundCall> RecordedSounds();
void ClearRecordedSounds();

// True once SDL's audio has started with a driver, until shutdown.
bool AudioReady();

// True while the device is open: from a cue until shortly after the last one has played.
bool AudioDeviceOpen();

// Bytes of device-format audio still waiting in the queue; 0 without a device.
std::size_t QueuedAudioBytes();

}  // namespace platform_test
