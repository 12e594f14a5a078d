// The main window's state machine, driven through its window procedure.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "game/generate.h"
#include "game/random.h"
#include "support/game_window.h"

namespace {

using testing_support::At;
using testing_support::CellAt;
using testing_support::GameWindowTest;

std::vector<UINT_PTR> RunningTimers(HWND window) {
    std::vector<UINT_PTR> ids;
    for (const auto& t : platform_test::Timers(window)) ids.push_back(t.id);
    return ids;
}

bool PropertiesGreyed(HWND window) {
    return platform_test::MenuItemState(window, CMD_PROPERTY) == (MF_GRAYED | MF_DISABLED);
}

TEST_F(GameWindowTest, StartsOnTheTitleAtTheTitleSize) {
    EXPECT_EQ(platform_test::WindowText(window), "ずむのタイル32");
    EXPECT_EQ(ScreenState, Title);
    EXPECT_EQ(GameState.level, 2);  // what a first start gives
    SIZE client = platform_test::ClientSize(window);
    EXPECT_EQ(client.cx, 368);
    EXPECT_EQ(client.cy, 368);
    ASSERT_EQ(platform_test::Timers(window).size(), 1u);
    EXPECT_EQ(platform_test::Timers(window)[0].id, 1u);
    EXPECT_EQ(platform_test::Timers(window)[0].periodMs, 128u);
    EXPECT_EQ(platform_test::MenuItemState(window, CMD_PROPERTY), 0u);
    EXPECT_FALSE(platform_test::IsInvalid(window));  // UpdateWindow painted at once
}

TEST_F(GameWindowTest, StartFromEveryStateBeginsANewGame) {
    const std::int8_t states[] = {Title, Playing, Exploding, Cleared, GameOver};
    const int sides[] = {0, 240, 368, 480};
    for (int level = 1; level <= 3; ++level) {
        for (std::int8_t from : states) {
            ScreenState = from;
            GameState.level = level;
            GameState.clockSeconds = 77;
            GameState.openedCount = 12;
            GameState.bombsHit = 3;
            GameState.bombRowFrame = 9;
            GameState.explosionFrame = 2;
            Command(CMD_START);
            EXPECT_EQ(ScreenState, Playing);
            EXPECT_EQ(GameState.clockSeconds, 0);
            EXPECT_EQ(GameState.openedCount, 0);
            EXPECT_EQ(GameState.bombsHit, 0);
            EXPECT_EQ(GameState.bombRowFrame, 1);
            EXPECT_EQ(GameState.explosionFrame, 0);
            EXPECT_EQ(RunningTimers(window), (std::vector<UINT_PTR>{2, 3, 4}));
            auto timers = platform_test::Timers(window);
            EXPECT_EQ(timers[0].periodMs, 1000u);
            EXPECT_EQ(timers[1].periodMs, 100u);
            EXPECT_EQ(timers[2].periodMs, 60u);
            EXPECT_TRUE(PropertiesGreyed(window));
            SIZE client = platform_test::ClientSize(window);
            EXPECT_EQ(client.cx, sides[level]);
            EXPECT_EQ(client.cy, sides[level]);
            EXPECT_TRUE(platform_test::IsInvalid(window));
            UpdateWindow(window);
        }
    }
}

TEST_F(GameWindowTest, StartSeedsFromTheCalendarModulo65535) {
    const std::int32_t times[] = {1000, 1000 + 65535, -1};
    std::vector<std::vector<char>> boards;
    for (std::int32_t t : times) {
        platform_test::SetCalendarTime(t);
        Command(CMD_START);
        boards.emplace_back(&GameState.bombGrid[0][0], &GameState.bombGrid[0][0] + 400);
    }
    EXPECT_EQ(boards[0], boards[1]);
    EXPECT_NE(boards[0], boards[2]);
    // The third board came from the state with all 32 bits set.
    std::memset(&GameState.bombGrid, 0, sizeof GameState.bombGrid);
    SeedRandom(0xFFFFFFFFu);
    GeneratePuzzle();
    EXPECT_EQ(boards[2], std::vector<char>(&GameState.bombGrid[0][0], &GameState.bombGrid[0][0] + 400));
}

TEST_F(GameWindowTest, ReturnToTitleRestoresTheTitle) {
    StartAt(3);
    titleFrame = 5;
    Command(CMD_TITLE);
    EXPECT_EQ(ScreenState, Title);
    EXPECT_EQ(titleFrame, 0);
    EXPECT_EQ(RunningTimers(window), (std::vector<UINT_PTR>{1}));
    EXPECT_EQ(platform_test::MenuItemState(window, CMD_PROPERTY), 0u);
    EXPECT_EQ(platform_test::ClientSize(window).cx, 368);
    EXPECT_EQ(platform_test::ClientSize(window).cy, 368);
    // Start leaves the animation frame where it was; only the return resets it.
    titleFrame = 4;
    Command(CMD_START);
    EXPECT_EQ(titleFrame, 4);
}

TEST_F(GameWindowTest, PropertiesAreGreyedFromStartUntilTheTitle) {
    int opened = 0;
    platform_test::SetDialogHandler([&](HWND dialog) {
        ++opened;
        EndDialog(dialog, 1);
        return INT_PTR{1};
    });
    HACCEL accel = LoadAcceleratorsA(GetModuleHandleA(nullptr), "ACCEL");
    ASSERT_NE(accel, nullptr);
    platform_test::KeyDown(window, 'P', MK_CONTROL);
    platform_test::PumpMessages(accel);
    EXPECT_EQ(opened, 1);

    StartAt(2);
    platform_test::KeyDown(window, 'P', MK_CONTROL);
    platform_test::PumpMessages(accel);
    EXPECT_EQ(opened, 1);
    // Records, help and about stay available during a game.
    Command(CMD_RECORDS);
    Command(CMD_ABOUT);
    EXPECT_EQ(opened, 3);
    Command(CMD_HELP);
    ASSERT_FALSE(platform_test::HelpCalls().empty());
    EXPECT_EQ(platform_test::HelpCalls().back().file, "ZUM32.HLP");
    EXPECT_EQ(platform_test::HelpCalls().back().command, HELP_CONTENTS);

    platform_test::KeyDown(window, 'T', MK_CONTROL);
    platform_test::PumpMessages(accel);
    EXPECT_EQ(ScreenState, Title);
    platform_test::KeyDown(window, 'P', MK_CONTROL);
    platform_test::PumpMessages(accel);
    EXPECT_EQ(opened, 4);
    // Ctrl+N starts; N alone or with Shift does not.
    platform_test::KeyDown(window, 'N', 0);
    platform_test::KeyDown(window, 'N', MK_CONTROL | MK_SHIFT);
    platform_test::PumpMessages(accel);
    EXPECT_EQ(ScreenState, Title);
    platform_test::KeyDown(window, 'N', MK_CONTROL);
    platform_test::PumpMessages(accel);
    EXPECT_EQ(ScreenState, Playing);
}

TEST_F(GameWindowTest, ClockAndBombRowTicksActOnlyWhilePlaying) {
    StartAt(1);
    Tick(TIMER_CLOCK);
    Tick(TIMER_BOMBROW);
    EXPECT_EQ(GameState.clockSeconds, 1);
    EXPECT_EQ(GameState.bombRowFrame, 2);
    const std::int8_t others[] = {Title, Exploding, Cleared, GameOver, Busy};
    for (std::int8_t state : others) {
        ScreenState = state;
        GameState.explosionFrame = 0;
        GameState.explodedCol = 0;
        GameState.explodedRow = 0;
        Tick(TIMER_CLOCK);
        Tick(TIMER_BOMBROW);
        EXPECT_EQ(GameState.clockSeconds, 1);
        EXPECT_EQ(GameState.bombRowFrame, 2);
    }
    // The explosion timer does nothing outside an explosion.
    ScreenState = Playing;
    Tick(TIMER_EXPLOSION);
    EXPECT_EQ(GameState.explosionFrame, 0);
}

TEST_F(GameWindowTest, HitTestAtTheBoardsFirstPixel) {
    struct Board {
        int first, edge, size;  // pixels, as the design gives them
    };
    const Board boards[] = {{}, {80, 240, 10}, {128, 368, 15}, {160, 480, 20}};
    for (int level = 1; level <= 3; ++level) {
        StartAt(level);
        const int first = boards[level].first;
        // Past the board's right edge is beyond it, also for the right button.
        const int edge = boards[level].edge;
        SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, At(edge, first + 16));
        EXPECT_EQ(GameState.clickedCol, boards[level].size);
        EXPECT_EQ(GameState.clickedRow, 1);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(first - 1, first));
        EXPECT_EQ(GameState.clickedCol, -1);
        EXPECT_EQ(GameState.clickedRow, 0);
        EXPECT_EQ(GameState.openGrid[0][0], '0');
        EXPECT_EQ(ScreenState, Playing);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(first, first));
        EXPECT_EQ(GameState.clickedCol, 0);
        EXPECT_EQ(GameState.clickedRow, 0);
        EXPECT_EQ(GameState.openGrid[0][0], '1');
    }
}

TEST_F(GameWindowTest, DragOpensOnlyWithTheLeftButtonAlone) {
    StartAt(1);
    // A cell that is safe, so the drag does not start an explosion.
    int c = 0, r = 0;
    while (GameState.bombGrid[c][r] == '1') c++;
    const WPARAM refused[] = {MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_CONTROL, MK_LBUTTON | MK_RBUTTON,
                              MK_LBUTTON | MK_MBUTTON, 0, MK_RBUTTON};
    for (WPARAM keys : refused) {
        SendMessageA(window, WM_MOUSEMOVE, keys, CellAt(c, r));
        EXPECT_EQ(GameState.openGrid[c][r], '0') << keys;
    }
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, CellAt(c, r));
    EXPECT_EQ(GameState.openGrid[c][r], '1');
    EXPECT_EQ(GameState.openedCount, 1);
}

TEST_F(GameWindowTest, ClicksOutsidePlayingChangeNothing) {
    StartAt(1);
    GameState.clickedCol = 7;
    GameState.clickedRow = 8;
    const std::int8_t states[] = {Title, Exploding, Cleared, GameOver};
    for (std::int8_t state : states) {
        ScreenState = state;
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CellAt(1, 1));
        SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CellAt(2, 2));
        SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, CellAt(3, 3));
        EXPECT_EQ(GameState.clickedCol, 7);
        EXPECT_EQ(GameState.clickedRow, 8);
        EXPECT_EQ(ScreenState, state);
    }
    EXPECT_EQ(GameState.openedCount, 0);
}

// The whole program through WinMain: the loop ends with code 0 by Exit or by the close box.
struct WinMainTest : testing::Test {
    void SetUp() override { testing_support::FreshProcess(); }
    void TearDown() override { platform_test::Reset(); }

    int RunWith(UINT msg, WPARAM wParam) {
        int step = 0;
        platform_test::SetIdleHandler([&]() {
            HWND w = platform_test::FindWindowByClass("ZUM32");
            if (!w || step > 0) return false;
            ++step;
            PostMessageA(w, msg, wParam, 0);
            return true;
        });
        return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    }
};

TEST_F(WinMainTest, ExitEndsTheLoopWithCodeZero) {
    EXPECT_EQ(RunWith(WM_COMMAND, CMD_EXIT), 0);
    EXPECT_EQ(platform_test::QuitCode(), 0);
    ASSERT_FALSE(platform_test::HelpCalls().empty());
    EXPECT_EQ(platform_test::HelpCalls().back().file, "ZOZAR.HLP");
    EXPECT_EQ(platform_test::HelpCalls().back().command, HELP_QUIT);
}

TEST_F(WinMainTest, TheCloseBoxEndsTheLoopWithCodeZero) {
    EXPECT_EQ(RunWith(WM_CLOSE, 0), 0);
    EXPECT_EQ(platform_test::QuitCode(), 0);
    EXPECT_EQ(platform_test::FindWindowByClass("ZUM32"), nullptr);
}

TEST_F(WinMainTest, FirstStartAsksThreeTimesBeforeTheLoop) {
    EXPECT_EQ(RunWith(WM_COMMAND, CMD_EXIT), 0);
    auto boxes = platform_test::MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "初級のデータがありません。\n新規に作成します。");
    EXPECT_EQ(boxes[1].text, "中級のデータがありません。\n新規に作成します。");
    EXPECT_EQ(boxes[2].text, "上級のデータがありません。\n新規に作成します。");
    for (const auto& box : boxes) {
        EXPECT_EQ(box.caption, "ずむのタイル32");
        EXPECT_EQ(box.type, MB_OK | MB_ICONSTOP);
    }
}

}  // namespace
