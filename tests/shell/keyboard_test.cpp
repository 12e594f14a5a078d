// Keyboard play through the window procedure: the cell cursor, and keys that make the clicks' moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game/moves.h"
#include "internal.h"
#include "platform_test_audio.h"
#include "shell/spoken.h"
#include "support/cues.h"
#include "support/game_window.h"
#include "support/screen.h"

namespace {

using testing_support::CellAt;
using testing_support::Cues;
using testing_support::GameWindowTest;
using testing_support::SetBoard;
using testing_support::ShowsChar;
using testing_support::Snapshot;

// Bombs at (2, 0), (5, 1) and (3, 3); every other cell is safe.
const std::vector<std::string> kBoard = {
    "..b.......", ".....b....", "..........", "...b......", "..........",
    "..........", "..........", "..........", "..........", "..........",
};

// Which of a tile's pixels the frame covers: 0 black on the tile's edge, 1 white in the two rings
// inside it, 2 none.
int RingOf(int dx, int dy) {
    const int depth = std::min({dx, dy, 15 - dx, 15 - dy});
    return depth == 0 ? 0 : depth <= 2 ? 1 : 2;
}

double Luminance(BYTE index) {
    const PALETTEENTRY& e = platform::SystemPalette()[index];
    return (0.2126 * e.peRed + 0.7152 * e.peGreen + 0.0722 * e.peBlue) / 255.0;
}

struct KeyboardTest : GameWindowTest {
    HACCEL accel = nullptr;
    int entries = 0;  // name-entry dialogs opened

    void SetUp() override {
        GameWindowTest::SetUp();
        accel = LoadAcceleratorsA(GetModuleHandleA(nullptr), "ACCEL");
        platform_test::SetDialogHandler([this](HWND dialog) {
            ++entries;
            EndDialog(dialog, 1);
            return INT_PTR{1};
        });
        platform_test::RecordSounds(true);
    }
    void TearDown() override {
        platform_test::RecordSounds(false);
        GameWindowTest::TearDown();
    }

    // Through the queue and the accelerator table, as the message loop takes a key.
    void Key(WPARAM vk, DWORD modifiers = 0) {
        platform_test::KeyDown(window, vk, modifiers);
        platform_test::PumpMessages(accel);
    }
    void CursorTo(int c, int r) {
        if (!GameState.cursorShown) Key(VK_RIGHT);
        while (GameState.cursorCol < c) Key(VK_RIGHT);
        while (GameState.cursorCol > c) Key(VK_LEFT);
        while (GameState.cursorRow < r) Key(VK_DOWN);
        while (GameState.cursorRow > r) Key(VK_UP);
    }
    void NewGame() {
        StartAt(1);
        SetBoard(kBoard);
        Paint();
        Cues();
    }
    // What a move can change, the cursor aside.
    std::string State() const {
        std::ostringstream out;
        const GameStateRecord& g = GameState;
        out << int(ScreenState) << " opened " << g.openedCount << " hit " << g.bombsHit
            << " frame " << g.explosionFrame << " clicked " << g.clickedCol << "," << g.clickedRow
            << " stored " << g.records[0].times[5] << " entries " << entries << "\n";
        out << std::string(&g.openGrid[0][0], 400) << "\n" << std::string(&g.flagGrid[0][0], 400);
        return out.str();
    }
    std::string Cursor() const {
        return std::to_string(GameState.cursorShown) + " at " + std::to_string(GameState.cursorCol) +
               "," + std::to_string(GameState.cursorRow);
    }
    // Pixel value at client (x, y) of a snapshot.
    BYTE At(const std::string& shot, int x, int y) const {
        return static_cast<BYTE>(shot[static_cast<std::size_t>(y) * platform_test::ClientSize(window).cx + x]);
    }
    // The frame on cell (c, r) of shot, over the tile that plain shows there; plain elsewhere.
    void ExpectFramedCopy(const std::string& shot, const std::string& plain, int c, int r) {
        ASSERT_EQ(shot.size(), plain.size());
        const POINT at = CellOrigin(c, r);
        const int w = platform_test::ClientSize(window).cx;
        int wrong = 0;
        for (std::size_t i = 0; i < shot.size(); ++i) {
            const int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
            const int dx = x - at.x, dy = y - at.y;
            const bool inTile = dx >= 0 && dx < 16 && dy >= 0 && dy < 16;
            const int ring = inTile ? RingOf(dx, dy) : 2;
            const BYTE want = ring == 0 ? 0 : ring == 1 ? 255 : static_cast<BYTE>(plain[i]);
            if (static_cast<BYTE>(shot[i]) != want && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << " of the cursor on " << c << "," << r;
        }
        EXPECT_EQ(wrong, 0);
    }
};

// Each key's move and the matching click on the same board: the same state, cues and screen, but
// for the frame that a key leaves on its cell.
TEST_F(KeyboardTest, KeysMakeTheMovesOfTheMatchingClicks) {
    struct Case {
        const char* what;
        int c, r;        // the cell moved on
        WPARAM key;      // pressed on the cell, or a Shift+arrow that enters it
        UINT mouse;      // the matching mouse message on the cell
        int ticks;       // explosion steps afterwards
        int opened;      // safe cells opened before the move
        bool framed;     // the frame is on the cell afterwards
        std::vector<std::string> cues;
    };
    const Case cases[] = {
        {"Space opens a safe cell", 4, 2, VK_SPACE, WM_LBUTTONDOWN, 0, 0, true, {"OPEN"}},
        {"Return opens a safe cell", 0, 9, VK_RETURN, WM_LBUTTONDOWN, 0, 0, true, {"OPEN"}},
        {"F flags a closed cell", 9, 9, 'F', WM_RBUTTONDOWN, 0, 0, true, {"FLAG"}},
        {"Shift+Right opens the cell entered, as a drag", 6, 5, VK_RIGHT, WM_MOUSEMOVE, 0, 0, true,
         {"OPEN"}},
        {"Shift+Up onto a bomb", 5, 1, VK_UP, WM_MOUSEMOVE, 4, 0, true, {"BOMB"}},
        {"Space on a bomb and its explosion", 3, 3, VK_SPACE, WM_LBUTTONDOWN, 4, 0, true, {"BOMB"}},
        {"Space on the last safe cell and the name entry", 7, 7, VK_SPACE, WM_LBUTTONDOWN, 0, 69,
         false, {"OPEN", "OK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto play = [&](const std::function<void()>& move) {
            entries = 0;
            NewGame();
            GameState.openedCount = c.opened;
            move();
            for (int i = 0; i < c.ticks; ++i) Tick(TIMER_EXPLOSION);
            platform_test::PumpMessages(accel);  // the posted name entry
        };
        play([&] {
            const WPARAM buttons = c.mouse == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
            SendMessageA(window, c.mouse, buttons, CellAt(c.c, c.r));
        });
        const std::string clickState = State();
        EXPECT_EQ(Cues(), c.cues);
        EXPECT_EQ(entries, ScreenState == Cleared ? 1 : 0);
        const std::string clickScreen = Snapshot(window);
        EXPECT_EQ(GameState.cursorShown, 0);

        play([&] {
            const bool shifted = c.key >= VK_LEFT && c.key <= VK_DOWN;
            const int dc = c.key == VK_RIGHT ? -1 : c.key == VK_LEFT ? 1 : 0;
            const int dr = c.key == VK_DOWN ? -1 : c.key == VK_UP ? 1 : 0;
            CursorTo(shifted ? c.c + dc : c.c, shifted ? c.r + dr : c.r);
            EXPECT_TRUE(Cues().empty()) << "the cursor moves in silence";
            Key(c.key, shifted ? MK_SHIFT : 0);
        });
        EXPECT_EQ(State(), clickState);
        EXPECT_EQ(Cues(), c.cues);
        if (c.framed)
            ExpectFramedCopy(Snapshot(window), clickScreen, c.c, c.r);
        else
            EXPECT_EQ(Snapshot(window), clickScreen);
    }
}

TEST_F(KeyboardTest, TheFrameReadsOnEveryTileAndLeavesItWholeWhenItMoves) {
    struct Case {
        const char* what;
        char open, bomb, flag;
        Sprite tile;
    };
    const Case cases[] = {
        {"closed", '0', '0', '0', SPR_CLOSED},
        {"opened", '1', '0', '0', SPR_OPEN},
        {"flagged", '0', '1', '1', SPR_FLAG},
        {"hit bomb", '1', '1', '0', SPR_OPEN_BOMB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewGame();
        GameState.openGrid[1][1] = c.open;
        GameState.bombGrid[1][1] = c.bomb;
        GameState.flagGrid[1][1] = c.flag;
        Paint();
        const std::string plain = Snapshot(window);
        CursorTo(1, 1);
        ExpectFramedCopy(Snapshot(window), plain, 1, 1);
        // Black on the edge or white inside it stands out from the tile beneath.
        const POINT at = CellOrigin(1, 1);
        double contrast[2] = {0, 0};
        int count[2] = {0, 0};
        for (int dy = 0; dy < 16; ++dy)
            for (int dx = 0; dx < 16; ++dx) {
                const int ring = RingOf(dx, dy);
                if (ring == 2) continue;
                const double beneath = Luminance(At(plain, at.x + dx, at.y + dy));
                contrast[ring] += ring == 0 ? beneath - Luminance(0) : Luminance(255) - beneath;
                ++count[ring];
            }
        EXPECT_GE(std::max(contrast[0] / count[0], contrast[1] / count[1]), 0.4);
        // A full repaint keeps the frame while it is shown.
        Paint();
        ExpectFramedCopy(Snapshot(window), plain, 1, 1);
        Key(VK_RIGHT);
        EXPECT_TRUE(ShowsChar(window, at.x, at.y, c.tile));
        ExpectFramedCopy(Snapshot(window), plain, 2, 1);
    }
}

TEST_F(KeyboardTest, TheFirstArrowShowsTheCursorTopLeftAndTheEdgesStopIt) {
    for (int level : {1, 3}) {
        SCOPED_TRACE(level);
        StartAt(level);
        const int last = kBoardSize[level] - 1;
        struct Step {
            WPARAM key;
            int col, row;
        };
        // Every arrow shows it first; then each moves a cell and stops at its edge.
        for (WPARAM first : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
            Command(CMD_START);
            Key(first);
            EXPECT_EQ(GameState.cursorShown, 1);
            EXPECT_EQ(GameState.cursorCol, 0);
            EXPECT_EQ(GameState.cursorRow, 0);
        }
        const Step steps[] = {{VK_LEFT, 0, 0}, {VK_UP, 0, 0}, {VK_RIGHT, 1, 0}, {VK_DOWN, 1, 1}};
        for (const Step& s : steps) {
            Key(s.key);
            EXPECT_EQ(GameState.cursorCol, s.col);
            EXPECT_EQ(GameState.cursorRow, s.row);
        }
        for (int i = 0; i < 25; ++i) Key(VK_RIGHT);
        for (int i = 0; i < 25; ++i) Key(VK_DOWN);
        EXPECT_EQ(GameState.cursorCol, last);
        EXPECT_EQ(GameState.cursorRow, last);
        // Shift+arrow against the edge enters no cell, so opens none.
        const int opened = GameState.openedCount;
        const char before = GameState.openGrid[last][last];
        Key(VK_RIGHT, MK_SHIFT);
        Key(VK_DOWN, MK_SHIFT);
        EXPECT_EQ(GameState.openedCount, opened);
        EXPECT_EQ(GameState.openGrid[last][last], before);
        EXPECT_EQ(ScreenState, Playing);
    }
}

TEST_F(KeyboardTest, KeysDoNothingOutsidePlayOrWithoutTheCursor) {
    const WPARAM keys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_SPACE, VK_RETURN, 'F'};
    auto pressAll = [&] {
        for (WPARAM k : keys) {
            Key(k);
            Key(k, MK_SHIFT);
        }
    };
    // Space, Return and F before the first arrow of a game: no cell is under a cursor yet.
    NewGame();
    Key(VK_SPACE);
    Key(VK_RETURN);
    Key('F');
    EXPECT_EQ(GameState.openedCount, 0);
    EXPECT_EQ(GameState.flagGrid[0][0], '0');
    EXPECT_TRUE(Cues().empty());

    const std::int8_t states[] = {Title, Exploding, Cleared, GameOver, Busy};
    for (std::int8_t state : states) {
        SCOPED_TRACE(int(state));
        NewGame();
        CursorTo(2, 2);
        const std::string before = State() + Cursor();
        const std::string screen = Snapshot(window);
        ScreenState = state;
        pressAll();
        EXPECT_EQ(ScreenState, state);
        ScreenState = Playing;
        EXPECT_EQ(State() + Cursor(), before);
        EXPECT_EQ(Snapshot(window), screen);
        EXPECT_TRUE(Cues().empty());
    }
}

TEST_F(KeyboardTest, ClicksStartAndTheTitleHideTheCursor) {
    NewGame();
    const std::string plain = Snapshot(window);
    CursorTo(4, 4);
    // A click in the clue margin is no click on the board: the frame stays.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, testing_support::At(3, 3));
    EXPECT_EQ(GameState.cursorShown, 1);
    SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, CellAt(9, 9));
    EXPECT_EQ(GameState.cursorShown, 0);
    const POINT at = CellOrigin(4, 4);
    EXPECT_TRUE(ShowsChar(window, at.x, at.y, SPR_CLOSED));
    Paint();  // a full repaint draws no hidden frame
    EXPECT_TRUE(ShowsChar(window, at.x, at.y, SPR_CLOSED));
    // The next arrow brings it back on the cell clicked.
    Key(VK_LEFT);
    EXPECT_EQ(GameState.cursorShown, 1);
    EXPECT_EQ(GameState.cursorCol, 9);
    EXPECT_EQ(GameState.cursorRow, 9);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, CellAt(8, 8));  // a drag hides it too
    EXPECT_EQ(GameState.cursorShown, 0);

    // What hides the frame, and the cell where the next arrow shows it again.
    struct Case {
        const char* what;
        int command;  // or 0: a left click on cell (c, r)
        int c, r;
    };
    const Case cases[] = {
        {"Start", CMD_START, 0, 0},
        {"Return to title", CMD_TITLE, 0, 0},
        {"a left click on a board cell", 0, 6, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewGame();
        CursorTo(4, 4);
        if (c.command != 0) {
            Command(c.command);
            EXPECT_EQ(GameState.cursorShown, 0);
            Command(CMD_START);
            UpdateWindow(window);
            SetBoard(kBoard);
            Paint();
            EXPECT_EQ(Snapshot(window), plain);
        } else {
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CellAt(c.c, c.r));
            EXPECT_EQ(GameState.cursorShown, 0);
        }
        Key(VK_DOWN);
        EXPECT_EQ(GameState.cursorCol, c.c);
        EXPECT_EQ(GameState.cursorRow, c.r);
    }
}

// Opened cells are said when their move is over, by count; a clear says the time its record keeps.
TEST_F(KeyboardTest, OpenedCellsAreSaidWhenTheirMoveIsOver) {
    struct Case { const char* what; std::function<void()> move; UINT end; WPARAM endKey; std::string said; };
    const Case cases[] = {
        {"Shift+Right three times",
         [&] { CursorTo(6, 6), Key(VK_RIGHT, MK_SHIFT), Key(VK_RIGHT, MK_SHIFT), Key(VK_RIGHT, MK_SHIFT); },
         WM_KEYUP, VK_SHIFT, "3マス開きました"},
        {"a drag over three cells",
         [&] { for (int c = 6; c < 9; ++c) SendMessageA(window, c == 6 ? WM_LBUTTONDOWN : WM_MOUSEMOVE, MK_LBUTTON, CellAt(c, 6)); },
         WM_LBUTTONUP, 0, "3マス開きました"},
        {"the last safe cell at the field's 42nd second",
         [&] { GameState.openedCount = 69, GameState.clockSeconds = 42, CursorTo(7, 7); },
         WM_KEYDOWN, VK_SPACE, "クリア！ 時間 41秒。Ctrl+N で次のゲームを始めます。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewGame();
        c.move();
        EXPECT_EQ(platform::AccessibleChildText(window, 101), "") << "said before the move's end";
        SendMessageA(window, c.end, c.endKey, CellAt(8, 6));
        const int side = platform::AccessibleBoardSide(window);
        EXPECT_EQ(platform::AccessibleChildText(window, side * side + 1), c.said);
        EXPECT_EQ(GameState.records[0].times[5], ScreenState == Cleared ? 41 : 0);
    }
}

}  // namespace
