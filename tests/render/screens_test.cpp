// What the play, cleared, game-over and title screens show, pixel for pixel against the sheets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/moves.h"
#include "render/end_screens.h"
#include "render/status.h"
#include "support/game_window.h"
#include "support/screen.h"

namespace {

using testing_support::GameWindowTest;
using testing_support::SetBoard;
using testing_support::Shows;
using testing_support::ShowsChar;

struct ScreensTest : GameWindowTest {
    void ExpectClock(int value) {
        const PanelPos pos = kClockPos[GameState.level];
        const int digits[] = {value / 1000, value / 100 % 10, value / 10 % 10, value % 10};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(ShowsChar(window, pos.x + 16 * i, pos.y, SPR_CLOCK_DIGIT[digits[i]]))
                << "clock digit " << i << " of " << value;
    }
    void ExpectCount(int y, int value) {
        const int x = kCounterX[GameState.level];
        const int digits[] = {value / 100, value / 10 % 10, value % 10};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(ShowsChar(window, x + 16 * i, y, SPR_COUNT_DIGIT[digits[i]]))
                << "count digit " << i << " of " << value;
    }
    void ExpectCounters(int closed, int opened) {
        ExpectCount(kClosedCounterY[GameState.level], closed);
        ExpectCount(kOpenedCounterY[GameState.level], opened);
    }
    // Icons of the bomb row: count of them showing sprite, ground elsewhere.
    void ExpectBombRow(int icons, const Sprite& icon) {
        const int level = GameState.level;
        const PanelPos pos = kBombRowPos[level];
        for (int i = 0; i < 4; ++i) {
            if (i < icons) {
                EXPECT_TRUE(ShowsChar(window, pos.x + 16 * i, pos.y, icon)) << "icon " << i;
            } else if (pos.x % 16 == 0) {
                EXPECT_TRUE(ShowsChar(window, pos.x + 16 * i, pos.y, SPR_BOMB_ROW_BG)) << "ground " << i;
            }
        }
    }
};

const std::vector<std::string> kLevelOneBoard = {
    "..b...bb..",  // runs 2, 3, 2
    ".b.b.b.b.b",  // five runs of 1
    "..........",  // one run of 10
    "bbbbbbbbbb",  // none
    "bbbbbbbbbb", "bbbbbbbbbb", "bbbbbbbbbb", "bbbbbbbbbb", "bbbbbbbbbb", "bbbbbbbbbb",
};

TEST_F(ScreensTest, ClueMarginsRunFromTheOuterEdge) {
    StartAt(1);
    SetBoard(kLevelOneBoard);
    Paint();
    const int m = 5;
    auto rowTile = [&](int r, int j) { return std::pair{16 * j, 16 * (m + r)}; };
    const std::vector<std::vector<int>> rows = {
        {2, 3, 2, 0, 0}, {1, 1, 1, 1, 1}, {10, 0, 0, 0, 0}, {0, 0, 0, 0, 0}};
    for (int r = 0; r < 4; ++r)
        for (int j = 0; j < m; ++j) {
            auto [x, y] = rowTile(r, j);
            EXPECT_TRUE(ShowsChar(window, x, y, SPR_ROW_CLUE[rows[r][j]])) << r << "," << j;
        }
    // Column 0 reads safe, safe, safe, then bombs: one run of 3 at the top edge.
    EXPECT_TRUE(ShowsChar(window, 16 * m, 0, SPR_COL_CLUE[3]));
    for (int j = 1; j < m; ++j) EXPECT_TRUE(ShowsChar(window, 16 * m, 16 * j, SPR_COL_CLUE[0]));
    for (int c = 0; c < 10; ++c)
        for (int r = 0; r < 10; ++r) {
            POINT at = CellOrigin(c, r);
            ASSERT_TRUE(ShowsChar(window, at.x, at.y, SPR_CLOSED));
        }
}

TEST_F(ScreensTest, BoardCellsShowOpenFlaggedAndBombTiles) {
    StartAt(1);
    SetBoard(kLevelOneBoard);
    GameState.openGrid[0][0] = '1';
    GameState.openGrid[2][0] = '1';  // a bomb
    GameState.flagGrid[1][0] = '1';
    GameState.openGrid[3][0] = '1';  // opened and flagged draws as opened
    GameState.flagGrid[3][0] = '1';
    Paint();
    EXPECT_TRUE(ShowsChar(window, CellOrigin(0, 0).x, CellOrigin(0, 0).y, SPR_OPEN));
    EXPECT_TRUE(ShowsChar(window, CellOrigin(1, 0).x, CellOrigin(1, 0).y, SPR_FLAG));
    EXPECT_TRUE(ShowsChar(window, CellOrigin(2, 0).x, CellOrigin(2, 0).y, SPR_OPEN_BOMB));
    EXPECT_TRUE(ShowsChar(window, CellOrigin(3, 0).x, CellOrigin(3, 0).y, SPR_OPEN));
    ScreenState = Cleared;
    Paint();
    EXPECT_TRUE(ShowsChar(window, CellOrigin(0, 0).x, CellOrigin(0, 0).y, SPR_CLEAR_OPEN));
    EXPECT_TRUE(ShowsChar(window, CellOrigin(2, 0).x, CellOrigin(2, 0).y, SPR_CLEAR_BOMB));
    EXPECT_TRUE(ShowsChar(window, CellOrigin(1, 0).x, CellOrigin(1, 0).y, SPR_FLAG));
}

TEST_F(ScreensTest, LevelThreeRightAfterStart) {
    StartAt(3);
    SIZE client = platform_test::ClientSize(window);
    EXPECT_EQ(client.cx, 480);
    EXPECT_EQ(client.cy, 480);
    ExpectClock(0);
    ExpectCounters(400, 0);
    ExpectBombRow(0, SPR_BOMB_ROW[0]);
    EXPECT_TRUE(ShowsChar(window, 32, 32, SPR_ICON_CLOSED));
    EXPECT_TRUE(ShowsChar(window, 32, 64, SPR_ICON_OPEN));
    EXPECT_TRUE(ShowsChar(window, 112, 32, SPR_COUNT_UNIT));
    EXPECT_TRUE(ShowsChar(window, 96, 144, SPR_CLOCK_UNIT_WIDE));
    EXPECT_TRUE(ShowsChar(window, 144, 144, SPR_CLOCK_BG));
    EXPECT_TRUE(ShowsChar(window, 0, 0, SPR_CORNER_BG));
}

TEST_F(ScreensTest, CountersAtEveryLevel) {
    StartAt(1);
    ExpectCounters(100, 0);
    EXPECT_TRUE(ShowsChar(window, 64, 64, SPR_CLOCK_UNIT));
    GameState.openedCount = 37;
    GameState.bombsHit = 2;
    Paint();
    ExpectCounters(61, 37);
    StartAt(2);
    ExpectCounters(225, 0);
    EXPECT_TRUE(ShowsChar(window, 96, 48, SPR_COUNT_UNIT));
}

TEST_F(ScreensTest, BombRowAnimatesThirteenSteps) {
    StartAt(1);
    Tick(TIMER_BOMBROW);
    ExpectBombRow(0, SPR_BOMB_ROW[0]);
    GameState.bombsHit = 4;
    const int icons[] = {0, 0, 0, 0, 0, 1, 2, 1, 2, 3, 4, 5, 6};
    GameState.bombRowFrame = 1;
    for (int frame = 1; frame <= 13; ++frame) {
        Tick(TIMER_BOMBROW);
        ExpectBombRow(4, SPR_BOMB_ROW[icons[frame - 1]]);
        EXPECT_EQ(GameState.bombRowFrame, frame == 13 ? 1 : frame + 1);
    }
}

TEST_F(ScreensTest, ClockShowsTheCountBeforeEachTick) {
    StartAt(2);
    Tick(TIMER_CLOCK);
    Tick(TIMER_CLOCK);
    Tick(TIMER_CLOCK);
    ExpectClock(2);
    EXPECT_EQ(GameState.clockSeconds, 3);
    Paint();
    ExpectClock(3);
    GameState.clockSeconds = 9999;
    Tick(TIMER_CLOCK);
    ExpectClock(9999);
    EXPECT_EQ(GameState.clockSeconds, 9999);
}

TEST_F(ScreensTest, EndScreensKeepThePlayScreenOutsideTheLettering) {
    for (int level = 1; level <= 3; ++level) {
        StartAt(level);
        const int expectedX[] = {0, 24, 88, 144};
        EXPECT_EQ(BannerX(), expectedX[level]);
    }
    StartAt(3);
    const std::string play = testing_support::Snapshot(window);
    int sw = 0, sh = 0;
    const BYTE* sub = platform_test::BitmapPixels(GameState.subBitmap, &sw, &sh);
    ASSERT_NE(sub, nullptr);
    struct Case {
        std::int8_t state;
        Sprite banner, mask;
    };
    for (const Case& k : {Case{Cleared, SPR_CLEAR_BANNER, SPR_CLEAR_BANNER_MASK},
                          Case{GameOver, SPR_OVER_BANNER, SPR_OVER_BANNER_MASK}}) {
        ScreenState = k.state;
        GameState.bombsHit = k.state == GameOver ? 5 : 0;
        Paint();
        int w = 0, h = 0;
        const BYTE* fb = platform_test::Framebuffer(window, &w, &h);
        int lettering = 0;
        for (int dy = 0; dy < 48; ++dy)
            for (int dx = 0; dx < 192; ++dx) {
                int x = 144 + dx, y = 32 + dy;
                BYTE mask = sub[(k.mask.y + dy) * sw + k.mask.x + dx];
                BYTE picture = sub[(k.banner.y + dy) * sw + k.banner.x + dx];
                if (mask == 255)
                    ASSERT_EQ(fb[y * w + x], static_cast<BYTE>(play[y * w + x])) << dx << "," << dy;
                else {
                    ASSERT_EQ(mask, 0);
                    ASSERT_EQ(fb[y * w + x], picture);
                    ++lettering;
                }
            }
        EXPECT_GT(lettering, 500);
        std::uint64_t first = testing_support::ScreenHash(window);
        Paint();
        EXPECT_EQ(testing_support::ScreenHash(window), first);
    }
}

TEST_F(ScreensTest, EndScreensShowStillIconsAndHideUnhitBombs) {
    StartAt(2);
    int bc = -1, br = -1;
    for (int c = 0; c < 15 && bc < 0; ++c)
        for (int r = 0; r < 15 && bc < 0; ++r)
            if (GameState.bombGrid[c][r] == '1') bc = c, br = r;
    ScreenState = Cleared;
    GameState.bombsHit = 3;
    Paint();
    ExpectBombRow(3, SPR_BOMB_ROW[0]);
    POINT at = CellOrigin(bc, br);
    EXPECT_TRUE(ShowsChar(window, at.x, at.y, SPR_CLOSED));
    ScreenState = GameOver;
    GameState.bombsHit = 5;
    GameState.openGrid[bc][br] = '1';
    Paint();
    ExpectBombRow(4, SPR_BOMB_ROW[0]);
    EXPECT_TRUE(ShowsChar(window, at.x, at.y, SPR_OPEN_BOMB));
    ScreenState = Cleared;
    GameState.bombsHit = 0;
    Paint();
    ExpectBombRow(0, SPR_BOMB_ROW[0]);
}

TEST_F(ScreensTest, TitleCompositionAndAnimationOrder) {
    HBITMAP title = GameState.titleBitmap;
    auto expectFrame = [&](int f) {
        EXPECT_TRUE(Shows(window, 245, 64, title, SPR_TITLE_ANIM[f])) << "frame " << f;
    };
    Paint();
    EXPECT_TRUE(ShowsChar(window, 0, 0, SPR_CLOSED));
    EXPECT_TRUE(ShowsChar(window, 352, 352, SPR_CLOSED));
    EXPECT_TRUE(ShowsChar(window, 80, 288, SPR_TITLE_EDGE));
    EXPECT_TRUE(ShowsChar(window, 80, 304, SPR_TITLE_CAPTION));
    EXPECT_TRUE(ShowsChar(window, 80, 320, SPR_TITLE_EDGE));
    // The shadow block shows as a band right of and below the picture.
    Sprite band{SPR_OPEN.x + 8, SPR_OPEN.y, 8, 16};
    EXPECT_TRUE(ShowsChar(window, 328, 48, band));
    Sprite pictureTop{0, 0, 200, 24};
    EXPECT_TRUE(Shows(window, 40, 40, title, pictureTop));
    expectFrame(1);
    for (int tick = 0; tick < 10; ++tick) {
        Tick(TIMER_TITLE);
        expectFrame(tick % 8);
        EXPECT_EQ(ScreenState, Title);
    }
    // A repaint in mid-cycle shows frame 1 and leaves the cycle where it was.
    std::int8_t before = titleFrame;
    Paint();
    expectFrame(1);
    EXPECT_EQ(titleFrame, before);
    // After a game and the return, the first tick draws frame 0 again.
    Command(CMD_START);
    Command(CMD_TITLE);
    UpdateWindow(window);
    expectFrame(1);
    Tick(TIMER_TITLE);
    expectFrame(0);
}

}  // namespace

namespace {

TEST_F(ScreensTest, DrawingAfterAnEndScreenStillTakesCellsFromTheSpriteSheet) {
    StartAt(1);
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    DrawClearedScreen(GameState.charBitmap, GameState.subBitmap, dc, memory, 0);
    // The end screen left the banner sheet selected; the flag must still come from the cells.
    ScreenState = Busy;
    ToggleFlag(1, 1, GameState.charBitmap, dc, memory);
    ScreenState = Playing;
    POINT at = CellOrigin(1, 1);
    EXPECT_TRUE(ShowsChar(window, at.x, at.y, SPR_FLAG));
    SelectObject(memory, GameState.subBitmap);
    DrawCounters(GameState.charBitmap, dc, memory);
    ExpectCounters(100, 0);
    DeleteDC(memory);
    ReleaseDC(window, dc);
}

}  // namespace
