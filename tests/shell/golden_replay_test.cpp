// Golden replays: a scripted game through the window procedure against a stored dump.
// ZUM32_UPDATE_GOLDEN=1 rewrites the expected files after a deliberate change.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/cues.h"
#include "support/game_window.h"
#include "support/screen.h"

namespace {

std::string GoldenPath(const std::string& name) {
    return std::string(ZUM32_SOURCE_DIR) + "/tests/golden/" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct GoldenReplayTest : testing_support::GameWindowTest {
    std::string cues;

    void Run(const std::string& script) {
        std::istringstream in(script);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string event;
            if (!(words >> event) || event[0] == '#') continue;
            int a = 0, b = 0;
            words >> a >> b;
            if (event == "level") GameState.level = a;
            else if (event == "time") platform_test::SetCalendarTime(a);
            else if (event == "start") Command(CMD_START);
            else if (event == "title") Command(CMD_TITLE);
            else if (event == "paint") Paint();
            else if (event == "tick") Tick(static_cast<UINT_PTR>(a));
            else if (event == "left") SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, testing_support::CellAt(a, b));
            else if (event == "right") SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, testing_support::CellAt(a, b));
            else if (event == "drag") SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, testing_support::CellAt(a, b));
            else FAIL() << "unknown event: " << line;
            for (const std::string& cue : testing_support::Cues()) cues += cue + " ";
        }
    }

    std::string Dump() {
        std::ostringstream out;
        const int n = kBoardSize[GameState.level];
        out << "state " << int(ScreenState) << " level " << GameState.level << " clock "
            << GameState.clockSeconds << " opened " << GameState.openedCount << " bombsHit "
            << GameState.bombsHit << " stored " << GameState.records[GameState.level - 1].times[5]
            << "\n";
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
                      static_cast<unsigned long long>(testing_support::ScreenHash(window)));
        out << "screen " << hash << "\n";
        return out.str();
    }
};

TEST_F(GoldenReplayTest, LevelOneFromStartToClear) {
    platform_test::RecordSounds(true);
    platform_test::ClearRecordedSounds();
    Run(ReadFile(GoldenPath("level1_clear.script")));
    platform_test::RecordSounds(false);
    EXPECT_EQ(ScreenState, Cleared);
    std::string dump = Dump();
    if (std::getenv("ZUM32_UPDATE_GOLDEN")) {
        std::ofstream(GoldenPath("level1_clear.expected"), std::ios::binary) << dump;
        GTEST_SKIP() << "golden file rewritten";
    }
    std::string expected = ReadFile(GoldenPath("level1_clear.expected"));
    ASSERT_FALSE(expected.empty()) << "no golden file: run once with ZUM32_UPDATE_GOLDEN=1";
    EXPECT_EQ(dump, expected);
}

}  // namespace
