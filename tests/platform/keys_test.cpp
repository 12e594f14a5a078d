// The key table and key messages that the Qt window and the page share.
#include <gtest/gtest.h>

#include <string_view>

#include "platform/core/keys.h"

namespace {

struct Named {
    std::string_view name;
    WPARAM vk;
};

TEST(Keys, NamesGiveTheirVirtualKeys) {
    const Named cases[] = {
        {"a", 'A'},       {"Z", 'Z'},           {"7", '7'},        {"F1", VK_F1},     {"F24", VK_F1 + 23},
        {"F25", 0},       {"F0", 0},            {"F01", 0},        {"Fx", 0},         {"Enter", VK_RETURN},
        {" ", VK_SPACE},  {"Alt", VK_MENU},     {"ArrowLeft", VK_LEFT}, {"Delete", 0x2E}, {"PageUp", 0x21},
        {"", 0},          {"!", 0},             {"enter", 0},      {"é", 0},          {"Dead", 0},
    };
    for (const Named& c : cases) EXPECT_EQ(platform::VirtualKeyNamed(c.name), c.vk) << "'" << c.name << "'";
}

struct Stroke {
    WPARAM vk;
    bool down, shift, control, alt;
    UINT message;
    DWORD modifiers;
};

TEST(Keys, AltMakesASystemKeyAndCountsAsHeldOnItsOwnKey) {
    const Stroke cases[] = {
        {'N', true, false, true, false, WM_KEYDOWN, MK_CONTROL},
        {'N', false, true, false, false, WM_KEYUP, MK_SHIFT},
        {'G', true, false, false, true, WM_SYSKEYDOWN, MK_ALT},
        {'G', false, false, false, true, WM_SYSKEYUP, MK_ALT},
        {VK_MENU, true, false, false, false, WM_SYSKEYDOWN, MK_ALT},
        {VK_MENU, false, false, false, false, WM_SYSKEYUP, MK_ALT},
        {VK_LEFT, true, true, true, true, WM_SYSKEYDOWN, MK_SHIFT | MK_CONTROL | MK_ALT},
    };
    for (const Stroke& c : cases) {
        const DWORD modifiers = platform::KeyModifiers(c.vk, c.shift, c.control, c.alt);
        EXPECT_EQ(modifiers, c.modifiers) << c.vk;
        EXPECT_EQ(platform::KeyMessage(c.down, modifiers), c.message) << c.vk;
    }
}

}  // namespace
