// The sound cues a test heard, by name, from the sound service's log.
#pragma once

#include <string>
#include <vector>

#include "platform_test_audio.h"
#include "windows.h"

namespace testing_support {

inline std::string CueName(const void* bytes) {
    static const char* const kCues[] = {"BOMB", "FLAG", "MENU", "OK", "OPEN", "OVER", "START", "TIME"};
    for (const char* name : kCues) {
        HRSRC res = FindResourceA(GetModuleHandleA(nullptr), name, "WAV");
        if (res && LockResource(LoadResource(GetModuleHandleA(nullptr), res)) == bytes) return name;
    }
    return "?";
}

// Names of the cues played since the log was last cleared; every play must follow a stop.
inline std::vector<std::string> Cues() {
    std::vector<std::string> names;
    bool stopped = false;
    for (const auto& call : platform_test::RecordedSounds()) {
        if (call.stop) {
            stopped = true;
            continue;
        }
        names.push_back(stopped ? CueName(call.bytes) : "unstopped " + CueName(call.bytes));
        stopped = false;
    }
    platform_test::ClearRecordedSounds();
    return names;
}

}  // namespace testing_support
