// The keys that every back end passes to the game.
#include "keys.h"

#include "internal.h"

namespace platform {
namespace {

struct NamedKey {
    std::string_view name;
    WPARAM vk;
};

constexpr NamedKey kNamedKeys[] = {
    {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE},   {"Tab", VK_TAB},         {"Backspace", VK_BACK},
    {" ", VK_SPACE},      {"Shift", VK_SHIFT},     {"Control", VK_CONTROL}, {"Alt", VK_MENU},
    {"PageUp", 0x21},     {"PageDown", 0x22},      {"End", 0x23},           {"Home", 0x24},
    {"ArrowLeft", VK_LEFT}, {"ArrowUp", VK_UP},    {"ArrowRight", VK_RIGHT}, {"ArrowDown", VK_DOWN},
    {"Insert", 0x2D},     {"Delete", 0x2E},
};

}  // namespace

WPARAM VirtualKeyNamed(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<WPARAM>(c);
        if (c >= 'a' && c <= 'z') return static_cast<WPARAM>(c - 'a' + 'A');
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int number = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return 0;
            number = number * 10 + (c - '0');
        }
        return number >= 1 && number <= 24 && name[1] != '0' ? VK_F1 + (number - 1) : 0;
    }
    for (const NamedKey& key : kNamedKeys)
        if (key.name == name) return key.vk;
    return 0;
}

DWORD KeyModifiers(WPARAM vk, bool shift, bool control, bool alt) {
    return (shift ? MK_SHIFT : 0) | (control ? MK_CONTROL : 0) | (alt || vk == VK_MENU ? MK_ALT : 0);
}

UINT KeyMessage(bool down, DWORD modifiers) {
    const bool system = modifiers & MK_ALT;
    return down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
}

void QueueKey(HWND hwnd, WPARAM vk, bool down, DWORD modifiers, DWORD time) {
    QueueInput(MSG{hwnd, KeyMessage(down, modifiers), vk, 0, time, POINT{0, 0}, modifiers});
}

}  // namespace platform
