// A fresh game process for a test: platform reset, zeroed state, no records file, the window up.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "game/game_state.h"
#include "platform_test.h"
#include "resource.h"
#include "shell/main_window.h"
#include "shell/title.h"

namespace testing_support {

inline std::filesystem::path ConfigFolder() {
    return std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "zum32";
}

inline void FreshProcess() {
    platform_test::Reset();
    std::memset(&GameState, 0, sizeof GameState);
    ScreenState = Title;
    titleFrame = 0;
    std::error_code ec;
    std::filesystem::remove_all(ConfigFolder(), ec);
}

// Client pixel (x, y) as a mouse message's lParam.
inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The pixel of board cell (c, r) at the current level, offset inside the tile.
inline LPARAM CellAt(int c, int r, int dx = 8, int dy = 8) {
    const int m = kClueMargin[GameState.level];
    return At(16 * (m + c) + dx, 16 * (m + r) + dy);
}

struct GameWindowTest : testing::Test {
    HWND window = nullptr;

    void SetUp() override {
        FreshProcess();
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_NE(RegisterMainClass(instance), 0);
        window = CreateMainWindow(instance, SW_SHOWNORMAL);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { platform_test::Reset(); }

    LRESULT Command(int id) { return SendMessageA(window, WM_COMMAND, id, 0); }
    LRESULT Tick(UINT_PTR id) { return platform_test::FireTimer(window, id); }
    void Paint() {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    // Starts a game at a level with a board fixed by the calendar time.
    void StartAt(int level, std::int32_t calendar = 1000) {
        GameState.level = level;
        platform_test::SetCalendarTime(calendar);
        Command(CMD_START);
        UpdateWindow(window);
    }
};

}  // namespace testing_support
