// Scripted replays through the window procedure, dumped as text and compared with golden files.
// ZUM32_UPDATE_GOLDEN=1 rewrites the expected files after a deliberate change.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/cues.h"
#include "support/game_window.h"
#include "support/screen.h"

namespace testing_support {

inline std::string GoldenPath(const std::string& name) {
    return std::string(ZUM32_SOURCE_DIR) + "/tests/golden/" + name;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Plays a script: level L | time T | start | title | paint | tick ID | left C R | right C R |
// drag C R | palette (a change made by the other window); '#' starts a comment. afterEach runs
// after every event, with its line, and collects nothing itself.
struct Replay {
    HWND window = nullptr;
    HWND other = nullptr;
    std::function<void()> paint;
    std::string cues;

    void Run(const std::string& script, const std::function<void(const std::string&)>& afterEach = {}) {
        std::istringstream in(script);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line.substr(0, line.find('#')));
            std::string event;
            if (!(words >> event)) continue;
            int a = 0, b = 0;
            words >> a >> b;
            if (event == "level") GameState.level = a;
            else if (event == "time") platform_test::SetCalendarTime(a);
            else if (event == "start") SendMessageA(window, WM_COMMAND, CMD_START, 0);
            else if (event == "title") SendMessageA(window, WM_COMMAND, CMD_TITLE, 0);
            else if (event == "paint") paint();
            else if (event == "tick") platform_test::FireTimer(window, static_cast<UINT_PTR>(a));
            else if (event == "left") SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CellAt(a, b));
            else if (event == "right") SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CellAt(a, b));
            else if (event == "drag") SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, CellAt(a, b));
            else if (event == "palette")
                SendMessageA(window, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(other), 0);
            else FAIL() << "unknown event: " << line;
            if (afterEach) afterEach(line);
            for (const std::string& cue : Cues()) cues += cue + " ";
        }
    }

    // The state, the board as letters, the cues heard and a hash of the screen.
    std::string Dump(bool withStoredTime) const {
        std::ostringstream out;
        const int n = kBoardSize[GameState.level];
        out << "state " << int(ScreenState) << " level " << GameState.level << " clock "
            << GameState.clockSeconds << " opened " << GameState.openedCount << " bombsHit "
            << GameState.bombsHit;
        if (withStoredTime) out << " stored " << GameState.records[GameState.level - 1].times[5];
        out << "\n";
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c) {
                bool bomb = GameState.bombGrid[c][r] == '1';
                bool open = GameState.openGrid[c][r] == '1';
                bool flag = GameState.flagGrid[c][r] == '1';
                out << (open ? (bomb ? 'X' : 'o') : flag ? 'F' : bomb ? 'b' : '.');
            }
            out << "\n";
        }
        out << "cues " << cues << "\n";
        char hash[32];
        std::snprintf(hash, sizeof hash, "%016llx",
                      static_cast<unsigned long long>(ScreenHash(window)));
        out << "screen " << hash << "\n";
        return out.str();
    }
};

// Compares a dump with tests/golden/<name>, or rewrites that file when asked to.
inline void ExpectGolden(const std::string& name, const std::string& dump) {
    if (std::getenv("ZUM32_UPDATE_GOLDEN")) {
        std::ofstream(GoldenPath(name), std::ios::binary) << dump;
        GTEST_SKIP() << "golden file rewritten";
    }
    std::string expected = ReadFile(GoldenPath(name));
    ASSERT_FALSE(expected.empty()) << "no golden file: run once with ZUM32_UPDATE_GOLDEN=1";
    EXPECT_EQ(dump, expected);
}

}  // namespace testing_support
