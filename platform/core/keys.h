// The keys that every back end passes to the game: their virtual keys by name, the message a
// press or release is queued as, and the accelerators that the game has loaded.
#pragma once

#include <string_view>
#include <vector>

#include "windows.h"

namespace platform {

// The virtual key of a key named as the web's keyboard events name it: one letter or digit,
// F1 to F24, or Enter, Escape, Tab, Backspace, " ", Shift, Control, Alt, PageUp, PageDown, End,
// Home, ArrowLeft, ArrowUp, ArrowRight, ArrowDown, Insert, Delete; 0 for any other key.
WPARAM VirtualKeyNamed(std::string_view name);

// The MK_SHIFT, MK_CONTROL and MK_ALT bits queued with a key; Alt's own key counts as held.
DWORD KeyModifiers(WPARAM vk, bool shift, bool control, bool alt);

// WM_KEYDOWN or WM_KEYUP, or their WM_SYS forms while Alt is held.
UINT KeyMessage(bool down, DWORD modifiers);

// Queues a press or release of vk for hwnd, as the player's input.
void QueueKey(HWND hwnd, WPARAM vk, bool down, DWORD modifiers, DWORD time);

struct AcceleratorKey {
    WPARAM vk;
    DWORD modifiers;  // MK_SHIFT, MK_CONTROL, MK_ALT
};

// The keys of every accelerator table the game has loaded.
std::vector<AcceleratorKey> LoadedAcceleratorKeys();

}  // namespace platform
