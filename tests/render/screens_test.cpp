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

// Where the design puts things at levels 1 to 3, written out here rather than taken from the
// drawing code's tables, so that a wrong constant there cannot pass.
struct Layout {
    int board;                      // the first cell's pixel, across and down
    int clockX, clockY;             // the thousands digit
    int counterX, closedY, openedY;  // the hundreds digits
    int bombX, bombY;               // the first bomb icon
    int bannerX;                    // the banner's top is 32 at every level
};
constexpr Layout kLayout[] = {{},
                              {80, 0, 64, 32, 0, 16, 8, 40, 24},
                              {128, 16, 112, 48, 16, 48, 32, 80, 88},
                              {160, 32, 144, 64, 32, 64, 48, 112, 144}};

POINT Cell(int c, int r) {
    const int board = kLayout[GameState.level].board;
    return POINT{board + 16 * c, board + 16 * r};
}

struct ScreensTest : GameWindowTest {
    void ExpectClock(int value) {
        const Layout& at = kLayout[GameState.level];
        const int digits[] = {value / 1000, value / 100 % 10, value / 10 % 10, value % 10};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(ShowsChar(window, at.clockX + 16 * i, at.clockY, SPR_CLOCK_DIGIT[digits[i]]))
                << "clock digit " << i << " of " << value;
    }
    void ExpectCount(int y, int value) {
        const int x = kLayout[GameState.level].counterX;
        const int digits[] = {value / 100, value / 10 % 10, value % 10};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(ShowsChar(window, x + 16 * i, y, SPR_COUNT_DIGIT[digits[i]]))
                << "count digit " << i << " of " << value;
    }
    void ExpectCounters(int closed, int opened) {
        ExpectCount(kLayout[GameState.level].closedY, closed);
        ExpectCount(kLayout[GameState.level].openedY, opened);
    }
    // Icons of the bomb row: count of them showing sprite, ground elsewhere.
    void ExpectBombRow(int icons, const Sprite& icon) {
        const Layout& at = kLayout[GameState.level];
        for (int i = 0; i < 4; ++i) {
            if (i < icons) {
                EXPECT_TRUE(ShowsChar(window, at.bombX + 16 * i, at.bombY, icon)) << "icon " << i;
            } else if (at.bombX % 16 == 0) {
                EXPECT_TRUE(ShowsChar(window, at.bombX + 16 * i, at.bombY, SPR_BOMB_ROW_BG))
                    << "ground " << i;
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
            POINT at = Cell(c, r);
            ASSERT_TRUE(ShowsChar(window, at.x, at.y, SPR_CLOSED));
        }
    // At level 3 the margins are ten tiles deep; a board without bombs has one run of 20 a line.
    StartAt(3);
    SetBoard(std::vector<std::string>(20, std::string(20, '.')));
    Paint();
    EXPECT_TRUE(ShowsChar(window, 0, 160, SPR_ROW_CLUE[20]));
    EXPECT_TRUE(ShowsChar(window, 144, 464, SPR_ROW_CLUE[0]));
    EXPECT_TRUE(ShowsChar(window, 160, 0, SPR_COL_CLUE[20]));
    EXPECT_TRUE(ShowsChar(window, 464, 144, SPR_COL_CLUE[0]));
    EXPECT_TRUE(ShowsChar(window, 160, 160, SPR_CLOSED));
    EXPECT_TRUE(ShowsChar(window, 464, 464, SPR_CLOSED));
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
    EXPECT_TRUE(ShowsChar(window, Cell(0, 0).x, Cell(0, 0).y, SPR_OPEN));
    EXPECT_TRUE(ShowsChar(window, Cell(1, 0).x, Cell(1, 0).y, SPR_FLAG));
    EXPECT_TRUE(ShowsChar(window, Cell(2, 0).x, Cell(2, 0).y, SPR_OPEN_BOMB));
    EXPECT_TRUE(ShowsChar(window, Cell(3, 0).x, Cell(3, 0).y, SPR_OPEN));
    ScreenState = Cleared;
    Paint();
    EXPECT_TRUE(ShowsChar(window, Cell(0, 0).x, Cell(0, 0).y, SPR_CLEAR_OPEN));
    EXPECT_TRUE(ShowsChar(window, Cell(2, 0).x, Cell(2, 0).y, SPR_CLEAR_BOMB));
    EXPECT_TRUE(ShowsChar(window, Cell(1, 0).x, Cell(1, 0).y, SPR_FLAG));
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
    struct Case {
        std::int8_t state;
        Sprite banner, mask;
    };
    for (int level = 1; level <= 3; ++level) {
        StartAt(level);
        const int bannerX = kLayout[level].bannerX;
        EXPECT_EQ(BannerX(), bannerX);
        const std::string play = testing_support::Snapshot(window);
        int sw = 0, sh = 0;
        const BYTE* sub = platform_test::BitmapPixels(GameState.subBitmap, &sw, &sh);
        ASSERT_NE(sub, nullptr);
        for (const Case& k : {Case{Cleared, SPR_CLEAR_BANNER, SPR_CLEAR_BANNER_MASK},
                              Case{GameOver, SPR_OVER_BANNER, SPR_OVER_BANNER_MASK}}) {
            SCOPED_TRACE("level " + std::to_string(level) + " state " + std::to_string(k.state));
            // No bomb hit: the bomb row, which the level-1 banner crosses, stays as in play.
            ScreenState = k.state;
            Paint();
            int w = 0, h = 0;
            const BYTE* fb = platform_test::Framebuffer(window, &w, &h);
            int lettering = 0;
            for (int dy = 0; dy < 48; ++dy)
                for (int dx = 0; dx < 192; ++dx) {
                    const int x = bannerX + dx, y = 32 + dy;
                    const BYTE mask = sub[(k.mask.y + dy) * sw + k.mask.x + dx];
                    const BYTE picture = sub[(k.banner.y + dy) * sw + k.banner.x + dx];
                    if (mask == 255) {
                        ASSERT_EQ(fb[y * w + x], static_cast<BYTE>(play[y * w + x])) << dx << "," << dy;
                    } else {
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
    POINT at = Cell(bc, br);
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
    POINT at = Cell(1, 1);
    EXPECT_TRUE(ShowsChar(window, at.x, at.y, SPR_FLAG));
    SelectObject(memory, GameState.subBitmap);
    DrawCounters(GameState.charBitmap, dc, memory);
    ExpectCounters(100, 0);
    DeleteDC(memory);
    ReleaseDC(window, dc);
}

}  // namespace
