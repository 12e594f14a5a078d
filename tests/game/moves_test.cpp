// Opening and flagging cells and the explosion sequence, through the window procedure.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/moves.h"
#include "render/end_screens.h"
#include "support/cues.h"
#include "support/game_window.h"
#include "support/screen.h"

namespace {

using testing_support::CellAt;
using testing_support::Cues;
using testing_support::ShowsChar;
using Strings = std::vector<std::string>;

struct MovesTest : testing_support::GameWindowTest {
    void SetUp() override {
        GameWindowTest::SetUp();
        platform_test::RecordSounds(true);
        StartAt(1);
        Cues();
    }
    void TearDown() override {
        platform_test::RecordSounds(false);
        GameWindowTest::TearDown();
    }

    // A level-1 board with the given bombs, topped up to 30 from the bottom rows.
    void Board(const std::set<std::pair<int, int>>& bombs, const std::set<std::pair<int, int>>& keepSafe = {}) {
        std::vector<std::string> rows(10, std::string(10, '.'));
        int count = 0;
        for (auto [c, r] : bombs) rows[r][c] = 'b', ++count;
        for (int r = 9; r >= 0 && count < 30; --r)
            for (int c = 9; c >= 0 && count < 30; --c) {
                bool nearSpecial = false;
                for (auto [bc, br] : bombs) nearSpecial |= std::abs(bc - c) <= 1 && std::abs(br - r) <= 1;
                if (rows[r][c] == '.' && !nearSpecial && !keepSafe.count({c, r})) rows[r][c] = 'b', ++count;
            }
        ASSERT_EQ(count, 30);
        testing_support::SetBoard(rows);
        Paint();
    }

    void Left(int c, int r) { SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CellAt(c, r)); }
    void Right(int c, int r) { SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CellAt(c, r)); }
    bool IsBomb(int c, int r) { return GameState.bombGrid[c][r] == '1'; }
    bool IsOpen(int c, int r) { return GameState.openGrid[c][r] == '1'; }
    bool IsFlagged(int c, int r) { return GameState.flagGrid[c][r] == '1'; }
    bool CellShows(int c, int r, const Sprite& s) {
        POINT at = CellOrigin(c, r);
        return ShowsChar(window, at.x, at.y, s);
    }

    // The rules' invariants for the board in play.
    void ExpectInvariants() {
        const int n = kBoardSize[GameState.level];
        int bombs = 0, openedSafe = 0;
        for (int c = 0; c < n; ++c)
            for (int r = 0; r < n; ++r) {
                bombs += IsBomb(c, r);
                ASSERT_FALSE(IsOpen(c, r) && IsFlagged(c, r)) << c << "," << r;
                openedSafe += IsOpen(c, r) && !IsBomb(c, r);
            }
        EXPECT_EQ(bombs, kBombCount[GameState.level]);
        EXPECT_EQ(GameState.openedCount, openedSafe);
        EXPECT_LE(GameState.bombsHit, 5);
        if (ScreenState == Exploding) {
            EXPECT_TRUE(IsOpen(GameState.explodedCol, GameState.explodedRow));
            EXPECT_TRUE(IsBomb(GameState.explodedCol, GameState.explodedRow));
        }
    }

    // Runs the four explosion ticks, checking the invariants after each.
    void Explode() {
        for (int tick = 1; tick <= 4; ++tick) {
            ASSERT_EQ(ScreenState, Exploding);
            Tick(TIMER_EXPLOSION);
            ExpectInvariants();
        }
    }

    // Board cells and clue margins on screen equal what a full repaint draws.
    void ExpectScreenMatchesRepaint() {
        std::string before = testing_support::Snapshot(window);
        std::int8_t state = ScreenState;
        ScreenState = Playing;
        Paint();
        ScreenState = state;
        std::string after = testing_support::Snapshot(window);
        const int m = kClueMargin[GameState.level];
        const int side = 16 * (m + kBoardSize[GameState.level]);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                if (x < 16 * m && y < 16 * m) continue;  // the corner panel may lag
                ASSERT_EQ(before[y * side + x], after[y * side + x]) << x << "," << y;
            }
    }

    void OpenAllSafeBut(const std::set<std::pair<int, int>>& leave) {
        for (int c = 0; c < 10; ++c)
            for (int r = 0; r < 10; ++r)
                if (!IsBomb(c, r) && !leave.count({c, r})) Left(c, r);
    }
};

TEST_F(MovesTest, OpenedAndFlaggedCellsIgnoreTheLeftButton) {
    Board({{5, 5}});
    Left(0, 0);
    EXPECT_TRUE(IsOpen(0, 0));
    EXPECT_TRUE(CellShows(0, 0, SPR_OPEN));
    EXPECT_EQ(GameState.openedCount, 1);
    EXPECT_EQ(Cues(), Strings{"OPEN"});
    std::string screen = testing_support::Snapshot(window);
    Left(0, 0);
    Right(0, 0);
    Right(1, 0);
    Cues();
    Left(1, 0);
    EXPECT_FALSE(IsOpen(1, 0));
    EXPECT_EQ(GameState.openedCount, 1);
    EXPECT_EQ(Cues(), Strings{});
    EXPECT_EQ(ScreenState, Playing);
    EXPECT_TRUE(CellShows(0, 0, SPR_OPEN));
    ExpectInvariants();
}

TEST_F(MovesTest, FlagsGoOnWithACueAndComeOffSilently) {
    Board({{5, 5}});
    Right(2, 2);
    EXPECT_TRUE(IsFlagged(2, 2));
    EXPECT_TRUE(CellShows(2, 2, SPR_FLAG));
    EXPECT_EQ(Cues(), Strings{"FLAG"});
    EXPECT_EQ(ScreenState, Playing);
    Right(2, 2);
    EXPECT_FALSE(IsFlagged(2, 2));
    EXPECT_TRUE(CellShows(2, 2, SPR_CLOSED));
    EXPECT_EQ(Cues(), Strings{});
    // Flags are unlimited and count nowhere.
    for (int c = 0; c < 10; ++c) Right(c, 9);
    EXPECT_EQ(GameState.openedCount, 0);
    ExpectInvariants();
    // A right click on an opened cell changes nothing.
    Left(0, 0);
    Cues();
    std::string before = testing_support::Snapshot(window);
    Right(0, 0);
    EXPECT_FALSE(IsFlagged(0, 0));
    EXPECT_EQ(testing_support::Snapshot(window), before);
    EXPECT_EQ(Cues(), Strings{});
}

TEST_F(MovesTest, TheSeventiethSafeCellClearsLevelOne) {
    Board({{5, 5}}, {{0, 0}});
    OpenAllSafeBut({{0, 0}});
    EXPECT_EQ(GameState.openedCount, 69);
    EXPECT_EQ(ScreenState, Playing);
    Cues();
    GameState.clockSeconds = 42;
    Left(0, 0);
    EXPECT_EQ(Cues(), (Strings{"OPEN", "OK"}));
    EXPECT_EQ(ScreenState, Cleared);
    EXPECT_TRUE(platform_test::Timers(window).empty());
    EXPECT_EQ(GameState.records[0].times[5], 41);
    EXPECT_TRUE(CellShows(0, 0, SPR_CLEAR_OPEN));
    EXPECT_TRUE(testing_support::ShowsMasked(window, 24, 32, GameState.subBitmap,
                                             SPR_CLEAR_BANNER, SPR_CLEAR_BANNER_MASK));
    ExpectInvariants();
    // The empty table's fifth time is 9999, so the name entry follows.
    std::string caption;
    platform_test::SetDialogHandler([&](HWND dialog) {
        caption = platform_test::WindowText(dialog);
        EndDialog(dialog, 1);
        return INT_PTR{1};
    });
    platform_test::PumpMessages();
    EXPECT_EQ(caption, "HI-SCORE!!");
}

TEST_F(MovesTest, OnlyATimeBelowTheFifthBestAsksForAName) {
    struct Case {
        std::int32_t fifth, clock, stored;
        bool entry;
    };
    // A clear before the second tick stores 1, which must still beat the fifth best.
    for (const Case& k : {Case{50, 50, 49, false}, Case{50, 49, 48, true}, Case{50, 1, 1, true},
                          Case{50, 0, 1, true}, Case{2, 0, 1, true}, Case{1, 0, 1, false},
                          Case{1, 1, 1, false}}) {
        StartAt(1);
        Board({{5, 5}}, {{0, 0}});
        GameState.records[0].times[4] = k.fifth;
        OpenAllSafeBut({{0, 0}});
        GameState.clockSeconds = k.clock;
        Left(0, 0);
        ASSERT_EQ(ScreenState, Cleared);
        EXPECT_EQ(GameState.records[0].times[5], k.stored) << k.clock;
        int dialogs = 0;
        platform_test::SetDialogHandler([&](HWND dialog) {
            ++dialogs;
            EndDialog(dialog, 1);
            return INT_PTR{1};
        });
        platform_test::PumpMessages();
        EXPECT_EQ(dialogs, k.entry ? 1 : 0) << k.clock;
    }
}

TEST_F(MovesTest, ExplosionsOpenTheirNeighbours) {
    struct Case {
        int c, r, neighbours;
    };
    for (const Case& k : {Case{0, 0, 3}, Case{9, 4, 5}, Case{4, 3, 8}}) {
        StartAt(1);
        Board({{k.c, k.r}});
        Cues();
        std::string before = testing_support::Snapshot(window);
        Left(k.c, k.r);
        EXPECT_EQ(ScreenState, Exploding);
        EXPECT_TRUE(CellShows(k.c, k.r, SPR_OPEN_BOMB));
        EXPECT_EQ(GameState.explosionFrame, 0);
        EXPECT_EQ(Cues(), Strings{});
        ExpectInvariants();

        Tick(TIMER_EXPLOSION);
        EXPECT_EQ(Cues(), Strings{"BOMB"});
        EXPECT_NE(GameState.saveUnderDC, nullptr);
        // Ticks of the clock and the bomb row during the explosion are lost.
        Tick(TIMER_CLOCK);
        Tick(TIMER_BOMBROW);
        EXPECT_EQ(GameState.clockSeconds, 0);
        EXPECT_EQ(GameState.bombRowFrame, 1);
        EXPECT_EQ(Cues(), Strings{});
        Tick(TIMER_EXPLOSION);
        Tick(TIMER_EXPLOSION);
        EXPECT_EQ(ScreenState, Exploding);
        Tick(TIMER_EXPLOSION);
        EXPECT_EQ(ScreenState, Playing);
        EXPECT_EQ(GameState.saveUnderDC, nullptr);
        EXPECT_EQ(GameState.bombsHit, 1);
        EXPECT_EQ(GameState.openedCount, k.neighbours);
        EXPECT_EQ(GameState.explosionFrame, 0);
        ExpectInvariants();
        ExpectScreenMatchesRepaint();
        // Pixels of the square outside the board are as they were.
        const int m = 16 * kClueMargin[1];
        POINT at = CellOrigin(k.c, k.r);
        for (int y = at.y - 16; y < at.y + 32; ++y)
            for (int x = at.x - 16; x < at.x + 32; ++x)
                if ((x < m || y < m) && x >= 0 && y >= 0 && x < 240 && y < 240) {
                    ASSERT_EQ(testing_support::Snapshot(window)[y * 240 + x], before[y * 240 + x]);
                }
    }
}

TEST_F(MovesTest, FlagsDoNotProtectNeighbours) {
    Board({{4, 4}, {5, 4}});
    Right(3, 3);
    Right(5, 4);  // a flagged neighbour bomb
    Left(4, 4);
    Explode();
    EXPECT_TRUE(IsOpen(3, 3));
    EXPECT_FALSE(IsFlagged(3, 3));
    EXPECT_TRUE(CellShows(3, 3, SPR_OPEN));
    EXPECT_TRUE(IsOpen(5, 4));
    EXPECT_FALSE(IsFlagged(5, 4));
    EXPECT_TRUE(CellShows(5, 4, SPR_OPEN_BOMB));
    EXPECT_EQ(GameState.bombsHit, 1);
    EXPECT_EQ(GameState.openedCount, 7);
    // The neighbour bomb stays counted as closed.
    EXPECT_EQ(kCellCount[1] - GameState.openedCount - GameState.bombsHit, 92);
}

TEST_F(MovesTest, OverlappingExplosionsRestoreWhatTheyFound) {
    // (4, 4) opens as a neighbour of the first; the second square overlaps the first at it.
    Board({{3, 3}, {4, 4}, {5, 5}});
    Left(3, 3);
    Explode();
    Left(5, 5);
    Explode();
    EXPECT_EQ(GameState.bombsHit, 2);
    ExpectScreenMatchesRepaint();
}

TEST_F(MovesTest, StartOrTitleInMidExplosionAbandonsIt) {
    for (int command : {CMD_START, CMD_TITLE}) {
        StartAt(1);
        Board({{4, 4}});
        Left(4, 4);
        Tick(TIMER_EXPLOSION);
        Tick(TIMER_EXPLOSION);
        ASSERT_NE(GameState.saveUnderDC, nullptr);
        Command(command);
        EXPECT_EQ(GameState.saveUnderDC, nullptr);
        EXPECT_EQ(GameState.saveUnderBitmap, nullptr);
        EXPECT_EQ(GameState.bombsHit, 0);
        Tick(TIMER_EXPLOSION);
        EXPECT_EQ(GameState.bombsHit, 0);
    }
}

TEST_F(MovesTest, TheFifthBombEndsTheGame) {
    Board({{4, 4}});
    GameState.bombsHit = 4;
    Left(4, 4);
    Cues();
    for (int tick = 1; tick <= 3; ++tick) Tick(TIMER_EXPLOSION);
    EXPECT_EQ(ScreenState, Exploding);
    Tick(TIMER_EXPLOSION);
    EXPECT_EQ(Cues(), (Strings{"BOMB", "OVER"}));
    EXPECT_EQ(ScreenState, GameOver);
    EXPECT_EQ(GameState.bombsHit, 5);
    EXPECT_TRUE(platform_test::Timers(window).empty());
    EXPECT_EQ(platform_test::MenuItemState(window, CMD_PROPERTY), MF_GRAYED | MF_DISABLED);
    EXPECT_TRUE(platform_test::IsInvalid(window));
    UpdateWindow(window);
    EXPECT_TRUE(CellShows(4, 4, SPR_OPEN_BOMB));
    // The fourth bomb only finishes its explosion.
    StartAt(1);
    Board({{4, 4}});
    GameState.bombsHit = 3;
    Left(4, 4);
    Explode();
    EXPECT_EQ(ScreenState, Playing);
    EXPECT_EQ(GameState.bombsHit, 4);
}

TEST_F(MovesTest, AnExplosionThatOpensTheLastSafeCellsClearsTheBoard) {
    Board({{4, 4}});
    std::set<std::pair<int, int>> around;
    for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr)
            if (dc || dr) around.insert({4 + dc, 4 + dr});
    OpenAllSafeBut(around);
    ASSERT_EQ(GameState.openedCount, 62);
    GameState.clockSeconds = 30;
    Left(4, 4);
    Cues();
    Explode();
    EXPECT_EQ(GameState.openedCount, 70);
    EXPECT_EQ(Cues(), (Strings{"BOMB", "OK"}));
    EXPECT_EQ(ScreenState, Cleared);
    EXPECT_TRUE(platform_test::Timers(window).empty());
    EXPECT_EQ(GameState.records[0].times[5], 29);
    EXPECT_TRUE(CellShows(4, 4, SPR_CLEAR_BOMB));

    // When the same explosion is the fifth bomb, the game is over instead.
    StartAt(1);
    Board({{4, 4}});
    OpenAllSafeBut(around);
    GameState.bombsHit = 4;
    Left(4, 4);
    Explode();
    EXPECT_EQ(ScreenState, GameOver);
}

}  // namespace
